// Budgets: opening a station's chart (check fetch, full fetch, parse,
// set-up, rows, first paint) at most 50 ms with 60 past hours, not counting
// the service's own time, which BM_ServicePages measures so it can be taken
// off; one refresh tick at most 10 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include "SampleService.h"
#include "charts/Chart.h"
#include "observations/CurlPageFetcher.h"
#include "observations/ReportPageSource.h"
#include "ui/Application.h"
#include "ui/ChartOpener.h"
#include "ui/MainWindow.h"
#include "services/Session.h"
#include "ui/StationChartView.h"

namespace nimbrel {
namespace {

MainWindow* window = nullptr;
Session* session = nullptr;
// The main window's parts, found by their names as the tests find them.
QMdiArea* AreaOf(const QObject* frame) { return frame->findChild<QMdiArea*>(QStringLiteral("childWindowArea")); }
[[maybe_unused]] ChartOpener& OpenerOf(const QObject* frame) {
  return *frame->findChild<ChartOpener*>(QStringLiteral("chartOpener"));
}
sample::SampleService* service = nullptr;
Station chosen;
std::string serviceHost;
// 12:00 UTC on 7 December 2026: the pages do not change between runs.
constexpr std::time_t kNow = 1796644800;
// The service's clock, moved on by the refresh ticks so that each finds a
// newer report.
std::time_t serviceNow = kNow;

// Paints of one widget, so a run can show that every open was painted.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

void CloseCharts() {
  for (QMdiSubWindow* sub : AreaOf(window)->subWindowList()) {
    if (qobject_cast<StationChartView*>(sub->widget()) != nullptr) delete sub;
  }
  QCoreApplication::processEvents();
}

// Runs the event loop until done() holds or 30 s passed: the downloads
// come back through it.
template <typename Done>
bool PumpUntil(Done done) {
  QElapsedTimer clock;
  clock.start();
  // Wakes the waiting loop now and then, so the time limit is looked at.
  QTimer heartbeat;
  heartbeat.start(100);
  while (!done()) {
    if (clock.elapsed() > 30000) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  return true;
}

// Opens the chart, waits until it is open and paints it once; null when
// no window opened.
StationChartView* OpenChart(PaintCounter& counter) {
  StationChartView* view = nullptr;
  const auto connection =
      QObject::connect(window, &MainWindow::stationChartOpened, [&view](StationChartView* opened) { view = opened; });
  window->openStationChart(chosen);
  PumpUntil([&] { return view != nullptr || OpenerOf(window).openingCount() == 0; });
  QObject::disconnect(connection);
  if (view == nullptr) return nullptr;
  view->refreshTimer()->stop();  // ticks only where a benchmark asks for them
  view->installEventFilter(&counter);
  view->repaint();
  return view;
}

void BM_OpenStationChart(benchmark::State& state) {
  const int hours = static_cast<int>(state.range(0));
  {
    Settings s = session->settings();
    s.pastHours = hours;
    session->applySettings(s);
  }
  PaintCounter counter;
  int rows = 0;
  for (auto _ : state) {
    StationChartView* view = OpenChart(counter);
    if (view == nullptr) {
      state.SkipWithError("no chart window");
      break;
    }
    state.PauseTiming();
    rows = view->chart()->getRowCount();
    CloseCharts();
    state.ResumeTiming();
  }
  state.counters["rows"] = rows;
  state.counters["paints"] = benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
  {
    Settings s = session->settings();
    s.pastHours = 6;
    session->applySettings(s);
  }
}

// What the service spends making the two pages of one opening.
void BM_ServicePages(benchmark::State& state) {
  char hoursStr[32];
  std::snprintf(hoursStr, sizeof hoursStr, "past+%d+hours", static_cast<int>(state.range(0)));
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string check = service->reportPageFor(chosen.icao, "most+recent+only");
    const std::string full = service->reportPageFor(chosen.icao, hoursStr);
    bytes = check.size() + full.size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

// The full fetch and parse alone, through the program's own fetcher.
void BM_FetchAndParse(benchmark::State& state) {
  const int hours = static_cast<int>(state.range(0));
  char hoursStr[32];
  std::snprintf(hoursStr, sizeof hoursStr, "past+%d+hours", hours);
  CurlPageFetcher fetcher;
  const std::string url = meteodataUrl(serviceHost, chosen.icao, hoursStr);
  std::size_t reports = 0;
  for (auto _ : state) {
    const PageReading reading = readPageResult(chosen, fetcher.fetch(url, meteodataBufferSize(hours)));
    if (!reading.ok()) {
      state.SkipWithError("no reports");
      break;
    }
    reports = reading.observations.size();
  }
  state.counters["reports"] = static_cast<double>(reports);
}

// One paint of an open chart.
void BM_RepaintChart(benchmark::State& state) {
  {
    Settings s = session->settings();
    s.pastHours = static_cast<int>(state.range(0));
    session->applySettings(s);
  }
  PaintCounter counter;
  StationChartView* view = OpenChart(counter);
  {
    Settings s = session->settings();
    s.pastHours = 6;
    session->applySettings(s);
  }
  if (view == nullptr) {
    state.SkipWithError("no chart window");
    return;
  }
  for (auto _ : state) view->repaint();
  CloseCharts();
}

// A tick (most recent report, one more row, through the worker thread and
// back) and the paint it asks for. The service's clock moves on by one
// report interval before each tick. The window is opened afresh every 50
// ticks so the chart keeps a day's rows.
void BM_RefreshTick(benchmark::State& state) {
  const int interval = sample::reportIntervalMinutes(chosen.icao);
  PaintCounter counter;
  StationChartView* view = OpenChart(counter);
  int ticks = 0;
  for (auto _ : state) {
    if (view == nullptr) {
      state.SkipWithError("no chart window");
      break;
    }
    const int before = view->chart()->getRowCount();
    state.PauseTiming();
    serviceNow += interval * 60;
    service->setNow(serviceNow);
    state.ResumeTiming();
    view->refresh();
    if (!PumpUntil([&] { return !view->chartModel().isBusy(); })) {
      state.SkipWithError("the tick never came back");
      break;
    }
    view->repaint();
    if (view->chart()->getRowCount() != before + 1) {
      state.SkipWithError("the tick appended no row");
      break;
    }
    if (++ticks % 50 == 0) {
      state.PauseTiming();
      CloseCharts();
      view = OpenChart(counter);
      state.ResumeTiming();
    }
  }
  CloseCharts();
  serviceNow = kNow;
  service->setNow(kNow);
}

// A chart's closing work, which every close does: the station goes on top
// of the recent list, the File menu's entries are renamed and the open
// maps are asked to repaint their marks.
void BM_RecentListAdd(benchmark::State& state) {
  for (auto _ : state) {
    session->stations().addRecent(chosen.name);
    session->stations().removeOpenStation(chosen.icao);
  }
  QCoreApplication::processEvents();
}

BENCHMARK(BM_OpenStationChart)->Arg(6)->Arg(24)->Arg(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ServicePages)->Arg(6)->Arg(24)->Arg(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FetchAndParse)->Arg(6)->Arg(24)->Arg(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintChart)->Arg(6)->Arg(24)->Arg(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshTick)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecentListAdd)->Unit(benchmark::kMillisecond);

std::string readFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace
}  // namespace nimbrel

int main(int argc, char** argv) {
  using namespace nimbrel;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The recent list goes to a private settings folder, not the user's.
  QTemporaryDir folder;
  setenv("XDG_CONFIG_HOME", QFile::encodeName(folder.path()).constData(), 1);
  setenv("XDG_DATA_HOME", QFile::encodeName(folder.path()).constData(), 1);  // the report store too
  Application application(argc, argv);

  const std::string list = readFile(QStringLiteral(NIMBREL_SOURCE_DIR "/data/Stations.txt"));
  if (list.empty()) {
    std::fprintf(stderr, "bench_station_window: no data/Stations.txt\n");
    return 1;
  }
  sample::SampleService sampleService(list);
  sampleService.setNow(kNow);
  if (!sampleService.start(0)) return 1;
  service = &sampleService;

  const QString previous = QDir::currentPath();
  QDir::setCurrent(folder.path());
  QFile::copy(QStringLiteral(NIMBREL_SOURCE_DIR "/data/Stations.txt"), QStringLiteral("Stations.txt"));
  auto session = std::make_unique<Session>();
  auto mainWindow = std::make_unique<MainWindow>(*session);
  window = mainWindow.get();
  nimbrel::session = session.get();
  // A message here means a chart found no data: it is shown, not waited on.
  window->messageHook = [](const std::string& text) { std::fprintf(stderr, "message: %s\n", text.c_str()); };
  session->setReportSource(ReportSource::kReportPages);
  serviceHost = "127.0.0.1:" + std::to_string(sampleService.listeningPort());
  session->setServiceHost(serviceHost);
  window->start();
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();

  // The worst case: a station reporting every 20 minutes, 180 reports in 60 hours.
  for (const Station& s : session->allStations()) {
    if (sample::reportIntervalMinutes(s.icao) == 20) {
      chosen = s;
      break;
    }
  }
  if (chosen.icao.empty()) return 1;
  std::fprintf(stderr, "station: %s (%s)\n", chosen.name.c_str(), chosen.icao.c_str());

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  window->close();
  window = nullptr;
  nimbrel::session = nullptr;
  mainWindow.reset();
  sampleService.stop();
  QDir::setCurrent(previous);
  return 0;
}
