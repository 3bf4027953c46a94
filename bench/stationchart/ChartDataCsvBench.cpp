// Budget: the CSV of 30 days of one station (about 1,440 reports) at most
// 20 ms. The reports are KTPA's real ones from the shared data folder,
// decoded once beforehand as a chart holds them.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "metar/MetarDecoder.h"
#include "observations/MetarObservation.h"
#include "stationchart/ChartDataCsv.h"

namespace nimbrel {
namespace {

constexpr std::size_t kReports = 1440;

// Newest first; empty when the shared data folder is absent.
const ObservationList& Reports() {
  static const ObservationList list = [] {
    ObservationList reports;
    const std::string path = std::string(NIMBREL_SHARED_METAR) + "/ktpa-2020-2021.txt.gz";
    gzFile file = gzopen(path.c_str(), "rb");
    if (file == nullptr) return reports;
    char line[1024];
    while (reports.size() < kReports && gzgets(file, line, sizeof line) != nullptr) {
      std::string text(line);
      int y, mo, d, h, mi;
      if (text.size() < 20 || std::sscanf(text.c_str(), "%4d%2d%2d%2d%2d", &y, &mo, &d, &h, &mi) != 5) continue;
      const std::string raw = text.substr(13, text.find_last_not_of("= \r\n") - 12);
      const MetarReport report = decodeMetar(raw, UtcDateTime{y, mo, d, h, mi});
      if (report.status == MetarStatus::Rejected) continue;
      reports.insert(reports.begin(), toObservation(report, raw));
    }
    gzclose(file);
    return reports;
  }();
  return list;
}

Settings Aviation() {
  Settings settings;
  settings.units = unitPreset(UnitPreset::kAviation, true);
  return settings;
}

void BM_ChartDataCsvText(benchmark::State& state) {
  const ObservationList& reports = Reports();
  if (reports.empty()) {
    state.SkipWithError("no data: no shared KTPA data");
    return;
  }
  const Settings settings = Aviation();
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string text = chartDataCsv(reports, settings);
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["reports"] = static_cast<double>(reports.size());
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ChartDataCsvText)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// The whole export: the text, a temporary file synced, the rename.
void BM_ChartDataCsvFile(benchmark::State& state) {
  const ObservationList& reports = Reports();
  if (reports.empty()) {
    state.SkipWithError("no data: no shared KTPA data");
    return;
  }
  const Settings settings = Aviation();
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "nimbrel-bench-chart-data.csv";
  for (auto _ : state) {
    const CsvWriteResult written = writeChartDataCsv(path, reports, settings);
    if (!written.ok) state.SkipWithError(written.message.c_str());
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_ChartDataCsvFile)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace nimbrel

BENCHMARK_MAIN();
