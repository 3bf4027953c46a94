// Frame-budget figures of the map and table windows: each should take at
// most 16 ms with 10,000 stations, and at most twelve times that with 100,000.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

#include "ui/MainWindow.h"
#include "ui/Application.h"
#include "ui/StationTableView.h"
#include "ui/WorldMapView.h"

namespace nimbrel {
namespace {

// Names of capitals and blanks like the catalogue's, coordinates anywhere.
void FillStations(int count) {
  MainWindow* frame = getMainFrame();
  StationList& all = frame->allStations();
  all.removeAll();
  all.reserve(count);
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> letter('A', 'Z');
  std::uniform_int_distribution<int> length(4, 24);
  std::uniform_real_distribution<double> longitude(0.0, 360.0);
  std::uniform_real_distribution<double> colatitude(0.0, 180.0);
  std::uniform_int_distribution<int> elevation(-50, 4000);
  for (int i = 0; i < count; ++i) {
    Station s;
    const int n = length(random);
    for (int k = 0; k < n; ++k) s.name() += (k % 7 == 6) ? ' ' : static_cast<char>(letter(random));
    for (int k = 0; k < 4; ++k) s.icao() += static_cast<char>(letter(random));
    s.iata() = s.icao().substr(1);
    s.mapLongitude() = longitude(random);
    s.mapColatitude() = colatitude(random);
    char text[32];
    std::snprintf(text, sizeof text, "%02d %02dN", static_cast<int>(s.mapColatitude()) % 90, i % 60);
    s.latText() = text;
    std::snprintf(text, sizeof text, "%03d %02dE", static_cast<int>(s.mapLongitude()) % 180, i % 60);
    s.lonText() = text;
    s.elevText() = std::to_string(elevation(random));
    s.cy() = s.icao().substr(0, 2);
    s.cd() = s.icao().substr(2, 2);
    all.add(s);
  }
}

void CloseTables() {
  for (QMdiSubWindow* sub : getMainFrame()->MdiArea()->subWindowList()) {
    if (qobject_cast<StationTableView*>(sub->widget()) != nullptr) delete sub;
  }
  QCoreApplication::processEvents();
}

StationTableView* OpenAllStationsTable() {
  MainWindow* frame = getMainFrame();
  if (!frame->openWindow(3, "All stations")) return nullptr;
  return qobject_cast<StationTableView*>(frame->MdiArea()->subWindowList().back()->widget());
}

WorldMapView* WorldMap() {
  for (QMdiSubWindow* sub : getMainFrame()->MdiArea()->subWindowList()) {
    if (auto* view = qobject_cast<WorldMapView*>(sub->widget())) return view;
  }
  return nullptr;
}

void BM_OpenAllStationsToFirstPaint(benchmark::State& state) {
  FillStations(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    StationTableView* table = OpenAllStationsTable();
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
  FillStations(static_cast<int>(state.range(0)));
  StationTableView* table = OpenAllStationsTable();
  if (table == nullptr) {
    state.SkipWithError("no table window");
    return;
  }
  const int column = static_cast<int>(state.range(1));
  table->parentWidget()->repaint();
  // Every click reverses the direction, so each one is a real re-sort.
  for (auto _ : state) {
    table->onColumnClick(column);
    table->Grid()->viewport()->repaint();
    table->Grid()->horizontalHeader()->viewport()->repaint();
  }
  CloseTables();
}

void BM_WorldMapRepaintWithAllStations(benchmark::State& state) {
  FillStations(static_cast<int>(state.range(0)));
  WorldMapView* map = WorldMap();
  if (map == nullptr) {
    state.SkipWithError("no world map");
    return;
  }
  MainWindow* frame = getMainFrame();
  frame->openStations().removeAll();
  for (int i = 0; i < 10; ++i) frame->openStations().add(frame->allStations().getAt(i));
  map->markAllStations = true;
  for (auto _ : state) {
    map->repaint();
    QCoreApplication::processEvents();  // the status text of the paint
  }
  map->markAllStations = false;
  frame->openStations().removeAll();
}

BENCHMARK(BM_OpenAllStationsToFirstPaint)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColumnResortToRepaint)
    ->Args({10000, 0})
    ->Args({100000, 0})
    ->Args({10000, 3})
    ->Args({100000, 3})
    ->Args({10000, 6})
    ->Args({100000, 6})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorldMapRepaintWithAllStations)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nimbrel

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  // An empty folder: no station list, its message answered silently.
  QTemporaryDir folder;
  const QString previous = QDir::currentPath();
  QDir::setCurrent(folder.path());
  nimbrel::MainWindow::messageHook = [](const std::string&) {};
  auto app = std::make_unique<nimbrel::CNimbrelApp>();
  if (!app->initInstance(nimbrel::CCommandLine{})) return 1;
  QCoreApplication::processEvents();

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  app->exitInstance();
  app.reset();
  QDir::setCurrent(previous);
  return 0;
}
