// The "Watched stations" window's repaint with 50 rows: at most 4 ms
// (median), whatever the units, with some rows below their minima.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "metar/MetarDecoder.h"
#include "metar/TafDecoder.h"
#include "observations/MetarCache.h"
#include "ui/Application.h"
#include "ui/WatchStationsView.h"
#include "ui/WatchTableModel.h"

namespace nimbrel {
namespace {

constexpr int kRows = 50;
const UtcDateTime kNow{2026, 12, 8, 14, 0};

// Fifty stations of every category, wind, age and forecast, some below
// the minima, as a busy morning's list looks.
std::vector<WatchRow> Rows(const DisplayUnits& units) {
  const char* const weather[] = {"24012KT 9999 FEW040 12/05 Q1015", "31025G38KT 4000 -RA BKN008 08/07 Q0998",
                                 "VRB02KT 1200 BR OVC003 03/03 Q1021", "05008KT 8000 BKN025 M04/M09 Q1030",
                                 "00000KT CAVOK 21/11 Q1012"};
  const MinimaSet minima = readMinima("* ceiling=1000 visibility=5000 gust=35\n").minima;
  std::vector<WatchRow> rows;
  for (int i = 0; i < kRows; ++i) {
    char code[5];
    std::snprintf(code, sizeof code, "K%03d", i);
    WatchInput input;
    input.station.icao = code;
    input.station.name = std::string("Municipal Airport ") + code;
    const auto report = [&](int minutesAgo, int kind) {
      const UtcDateTime at = UtcDateTime::fromEpochMinutes(kNow.epochMinutes() - minutesAgo);
      char time[8];
      std::snprintf(time, sizeof time, "%02d%02d%02dZ", at.day, at.hour, at.minute);
      const std::string raw = std::string(code) + " " + time + " " + weather[kind % 5];
      return weatherOf(decodeMetar(raw, kNow), raw, 0);
    };
    input.current = report(5 + i * 7, i);
    input.previous = report(65 + i * 7, i + (i % 3));
    input.taf =
        decodeTaf(std::string("TAF ") + code + " 081100Z 0812/0912 24020KT 6000 BKN012 BECMG 0815/0817 9999 SCT030",
                  UtcDateTime{2026, 12, 8, 11, 0});
    rows.push_back(watchRow(input, minima, kNow.epochMinutes(), units, i % 2 == 0));
  }
  return rows;
}

WatchStationsView* view = nullptr;

// The whole window: field, buttons, header and table.
void BM_WatchWindowRepaint(benchmark::State& state) {
  const UnitPreset presets[] = {UnitPreset::kAviation, UnitPreset::kMetric, UnitPreset::kUs};
  view->setRows(Rows(state.range(0) < 0 ? DisplayUnits{} : unitPreset(presets[state.range(0)])));
  view->repaint();
  for (auto _ : state) view->repaint();
}
BENCHMARK(BM_WatchWindowRepaint)
    ->Arg(-1)
    ->Arg(0)
    ->Arg(2)
    ->ArgName("preset")
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// A sort by another column and the repaint that shows it.
void BM_WatchWindowSortToRepaint(benchmark::State& state) {
  view->setRows(Rows(unitPreset(UnitPreset::kAviation)));
  int column = 0;
  for (auto _ : state) {
    view->table()->sortByColumn(column, Qt::AscendingOrder);
    view->repaint();
    column = (column + 1) % kWatchColumnCount;
  }
}
BENCHMARK(BM_WatchWindowSortToRepaint)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

// The table's own repaint, as new weather brings it.
void BM_WatchTableRepaint(benchmark::State& state) {
  view->setRows(Rows(unitPreset(UnitPreset::kAviation)));
  for (auto _ : state) view->table()->viewport()->repaint();
}
BENCHMARK(BM_WatchTableRepaint)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nimbrel

int main(int argc, char** argv) {
  using namespace nimbrel;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  Application application(argc, argv);
  // The window maximised in a program window of 1200 x 800: every column
  // and about 27 of the rows in sight.
  auto window = std::make_unique<WatchStationsView>(std::make_shared<const StationList>());
  window->resize(1180, 640);
  window->show();
  QCoreApplication::processEvents();
  view = window.get();

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  view = nullptr;
  return 0;
}
