// Frame-budget figures of the map and table windows: each should take at
// most 16 ms with 10,000 stations, and at most twelve times that with 100,000.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "SampleService.h"
#include "base/DisplayUnits.h"
#include "base/Settings.h"
#include "catalog/StationListReader.h"
#include "charts/WorldMapDrawing.h"
#include "ui/Application.h"
#include "ui/ChartOpener.h"
#include "ui/MainWindow.h"
#include "services/Session.h"
#include "services/StationListUpdater.h"
#include "ui/QtPainter.h"
#include "ui/StationChartView.h"
#include "ui/StationTableView.h"
#include "ui/WorldMapView.h"

namespace nimbrel {
namespace {

MainWindow* window = nullptr;
Session* session = nullptr;
// The main window's parts, found by their names as the tests find them.
QMdiArea* AreaOf(const QObject* frame) { return frame->findChild<QMdiArea*>(QStringLiteral("childWindowArea")); }
[[maybe_unused]] ChartOpener& OpenerOf(const QObject* frame) {
  return *frame->findChild<ChartOpener*>(QStringLiteral("chartOpener"));
}
// The client size MainWindow gives the "All stations" table.
constexpr QSize kAllStationsClientSize(501, 608);
// The list file is read up to 1,000,000 bytes, about 11,900 station lines:
// the main window's own list is the smaller size, the larger one is handed
// to a table directly.
constexpr int kListStations = 10000;

// Station-list lines: names of capitals and blanks like the catalogue's,
// positions anywhere, each field in its fixed column.
std::string SyntheticListText(int count) {
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> letter('A', 'Z');
  std::uniform_int_distribution<int> length(4, 17);
  std::uniform_int_distribution<int> latitude(0, 89);
  std::uniform_int_distribution<int> longitude(0, 179);
  std::uniform_int_distribution<int> minute(0, 59);
  std::uniform_int_distribution<int> side(0, 1);
  std::uniform_int_distribution<int> elevation(-50, 4000);
  std::string text;
  text.reserve(static_cast<std::size_t>(count) * 84);
  char line[128];
  for (int i = 0; i < count; ++i) {
    std::string name;
    const int n = length(random);
    for (int k = 0; k < n; ++k) name += (k % 7 == 6) ? ' ' : static_cast<char>(letter(random));
    std::string icao;
    for (int k = 0; k < 4; ++k) icao += static_cast<char>(letter(random));
    char lat[16];
    char lon[16];
    std::snprintf(lat, sizeof lat, "%02d %02d%c", latitude(random), minute(random), side(random) ? 'N' : 'S');
    std::snprintf(lon, sizeof lon, "%03d %02d%c", longitude(random), minute(random), side(random) ? 'E' : 'W');
    std::snprintf(line, sizeof line, "%-2.2s %-17.17s%-4.4s  %-3.3s   %05d  %-6.6s  %-7.7s %4d   X  %c  %c  %c  %c  %c %c %-2.2s\n",
                  icao.substr(2, 2).c_str(), name.c_str(), icao.c_str(), icao.substr(1).c_str(), i % 100000, lat, lon,
                  elevation(random), ' ', 'V', ' ', 'A', ' ', '7', icao.substr(0, 2).c_str());
    text += line;
  }
  return text;
}

StationList SyntheticStations(int count) {
  StationList stations;
  parseStationList(SyntheticListText(count), stations);
  return stations;
}

// Shared as the main window shares its own list with "All stations".
std::shared_ptr<const StationList> LargeList() {
  static const auto large = std::make_shared<const StationList>(SyntheticStations(100000));
  return large;
}

const StationList& StationsOfSize(int count) {
  if (count == static_cast<int>(session->allStations().size())) return session->allStations();
  return *LargeList();
}

void CloseTables() {
  for (QMdiSubWindow* sub : AreaOf(window)->subWindowList()) {
    if (qobject_cast<StationTableView*>(sub->widget()) != nullptr) delete sub;
  }
  QCoreApplication::processEvents();
}

// The "Show all stations" command; the larger list goes the same way with
// the command's title and size.
StationTableView* OpenAllStationsTable(int count) {
  if (count == static_cast<int>(session->allStations().size())) return window->openAllStationsTable();
  return window->openStationTable("All stations", LargeList(), kAllStationsClientSize);
}

WorldMapView* WorldMap() {
  for (QMdiSubWindow* sub : AreaOf(window)->subWindowList()) {
    if (auto* view = qobject_cast<WorldMapView*>(sub->widget())) return view;
  }
  return nullptr;
}

void BM_OpenAllStationsToFirstPaint(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  StationsOfSize(count);  // made before the timing
  for (auto _ : state) {
    StationTableView* table = OpenAllStationsTable(count);
    if (table == nullptr) {
      state.SkipWithError("no table window");
      break;
    }
    table->parentWidget()->repaint();
    state.PauseTiming();
    CloseTables();
    state.ResumeTiming();
  }
}

void BM_ColumnResortToRepaint(benchmark::State& state) {
  StationTableView* table = OpenAllStationsTable(static_cast<int>(state.range(0)));
  if (table == nullptr) {
    state.SkipWithError("no table window");
    return;
  }
  const int column = static_cast<int>(state.range(1));
  table->parentWidget()->repaint();
  // Every click reverses the direction, so each one is a real re-sort.
  for (auto _ : state) {
    table->onColumnClick(column);
    table->grid()->viewport()->repaint();
    table->grid()->horizontalHeader()->viewport()->repaint();
  }
  CloseTables();
}

// The world map window with "Mark all stations" on and eleven open stations,
// on the main window's own list.
void BM_WorldMapRepaintWithAllStations(benchmark::State& state) {
  if (state.range(0) != static_cast<int>(session->allStations().size())) {
    state.SkipWithError("only the main window's own list reaches the map");
    return;
  }
  WorldMapView* map = WorldMap();
  if (map == nullptr) {
    state.SkipWithError("no world map");
    return;
  }
  AreaOf(window)->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(map->parentWidget()));
  map->setMarkAllStations(true);
  for (auto _ : state) {
    map->repaint();
    QCoreApplication::processEvents();  // the status text of the paint
  }
  map->setMarkAllStations(false);
  state.counters["open"] = static_cast<double>(session->openStations().size());
}

// The same drawing without the window, into a map-sized picture: the only
// way to the larger list, which no station list file can hold.
void BM_WorldMapDrawingWithAllStations(benchmark::State& state) {
  const StationList& stations = StationsOfSize(static_cast<int>(state.range(0)));
  QImage image(550, 350, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&image);
    QtPainter onImage(painter);
    drawMapPicture(onImage);
    drawAllStationPoints(onImage, stations);
    drawOpenStationMarks(onImage, session->openStations());
    benchmark::DoNotOptimize(totalStationsText(stations));
  }
}

BENCHMARK(BM_OpenAllStationsToFirstPaint)->Arg(kListStations)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColumnResortToRepaint)
    ->Args({kListStations, 0})
    ->Args({100000, 0})
    ->Args({kListStations, 3})
    ->Args({100000, 3})
    ->Args({kListStations, 6})
    ->Args({100000, 6})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorldMapRepaintWithAllStations)->Arg(kListStations)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorldMapDrawingWithAllStations)->Arg(kListStations)->Arg(100000)->Unit(benchmark::kMillisecond);

// "Update Station List" on the user-interface thread: the new catalogue of
// 10,000 stations taken by the maps, the weather feed and an open "All
// stations" table, then the table's repaint. Two lists take turns.
void BM_ReloadCatalogueWithOpenTable(benchmark::State& state) {
  const std::shared_ptr<const StationList> original = session->catalogue();
  auto other = std::make_shared<StationList>(*original);
  for (std::size_t i = 0; i < other->size(); i += 50) (*other)[i].elevText = "1";
  const std::shared_ptr<const StationList> lists[] = {other, original};
  StationTableView* table = OpenAllStationsTable(kListStations);
  if (table == nullptr) {
    state.SkipWithError("no table window");
    return;
  }
  // As the command takes a new list: into the session, whose signal the open windows follow.
  auto take = [](std::shared_ptr<const StationList> next) { session->stations().setCatalogue(next); };
  int turn = 0;
  for (auto _ : state) {
    take(lists[turn++ % 2]);
    table->grid()->viewport()->repaint();
  }
  take(original);
  CloseTables();
}
BENCHMARK(BM_ReloadCatalogueWithOpenTable)->Unit(benchmark::kMillisecond);

// A new unit set (0) or Time UTC switched (1) from Parameters with eleven
// charts and the map open: the settings taken and every window repainted,
// axes included, which must fit in a frame.
void BM_ChangeUnitsRepaintsEveryWindow(benchmark::State& state) {
  const Settings original = session->settings();
  Settings changed = original;
  if (state.range(0) == 0)
    changed.units = unitPreset(UnitPreset::kUs);
  else
    changed.timeUtc = !original.timeUtc;
  const Settings choices[] = {changed, original};
  int turn = 0;
  for (auto _ : state) {
    session->applySettings(choices[turn++ % 2]);
    for (QMdiSubWindow* sub : AreaOf(window)->subWindowList()) sub->widget()->repaint();
  }
  session->applySettings(original);
  state.counters["charts"] = static_cast<double>(session->openStations().size());
}
BENCHMARK(BM_ChangeUnitsRepaintsEveryWindow)->Arg(0)->Arg(1)->ArgName("timeUtc")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nimbrel

int main(int argc, char** argv) {
  using namespace nimbrel;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The station list and the recent list live in a private folder.
  QTemporaryDir folder;
  setenv("XDG_CONFIG_HOME", QFile::encodeName(folder.path()).constData(), 1);
  setenv("XDG_DATA_HOME", QFile::encodeName(folder.path()).constData(), 1);  // the report store too
  Application application(argc, argv);

  const std::string list = SyntheticListText(kListStations);
  const QString previous = QDir::currentPath();
  QDir::setCurrent(folder.path());
  std::ofstream(kStationListFileName, std::ios::binary) << list;
  // The sample service serves the same stations, so that eleven of them can
  // be opened and marked on the map.
  sample::SampleService service(list);
  if (!service.start(0)) return 1;

  auto session = std::make_unique<Session>();
  auto mainWindow = std::make_unique<MainWindow>(*session);
  window = mainWindow.get();
  nimbrel::session = session.get();
  window->messageHook = [](const std::string&) {};
  session->setReportSource(ReportSource::kReportPages);
  session->setServiceHost("127.0.0.1:" + std::to_string(service.listeningPort()));
  window->start();
  QCoreApplication::processEvents();
  if (static_cast<int>(session->allStations().size()) != kListStations) {
    std::fprintf(stderr, "bench_views: the list held %zu stations\n", session->allStations().size());
    return 1;
  }
  const StationList& all = session->allStations();
  // No refresh tick may fall inside a measurement.
  QObject::connect(window, &MainWindow::stationChartOpened,
                   [](StationChartView* chart) { chart->refreshTimer()->stop(); });
  // The charts open once their reports are in, through the event loop.
  constexpr std::size_t kCharts = 11;
  QElapsedTimer clock;
  clock.start();
  QTimer heartbeat;  // wakes the waiting loop, so the time limit is looked at
  heartbeat.start(100);
  for (std::size_t i = 0; i < all.size() && session->openStations().size() < kCharts; ++i) {
    window->openStationChart(all[i]);
    while (OpenerOf(window).openingCount() > 0 && clock.elapsed() < 60000)
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  heartbeat.stop();
  QCoreApplication::processEvents();
  if (session->openStations().size() < kCharts) {
    std::fprintf(stderr, "bench_views: only %zu charts opened\n", session->openStations().size());
    return 1;
  }

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  window->close();
  window = nullptr;
  nimbrel::session = nullptr;
  mainWindow.reset();
  service.stop();
  QDir::setCurrent(previous);
  return 0;
}
