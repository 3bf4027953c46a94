// Budget: how the forecasts fared over 30 days of one station, from the
// report store, at most 20 ms: the reports read and decoded, the TAFs read
// and decoded, every hour judged.
//
// The reports are 30 real days of KTPA (August 2020, /work/shared/data);
// the TAFs, four a day, are made here in the usual form (a FM change, a
// TEMPO and a PROB30 group), since no real TAFs of those days are at hand.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "metar/GzipLines.h"
#include "metar/UtcDateTime.h"
#include "observations/ForecastVerification.h"
#include "observations/MetarSource.h"
#include "reportstore/ReportStore.h"

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

constexpr int kDays = 30;
const std::string kStationFile = std::string(NIMBREL_SHARED_METAR) + "/ktpa-2020-2021.txt.gz";

std::string DayHour(std::int64_t seconds) {
  const UtcDateTime t = UtcDateTime::fromEpochMinutes(seconds / 60);
  char text[8];
  std::snprintf(text, sizeof text, "%02d%02d", t.day, t.hour);
  return text;
}

struct StationStore {
  fs::path folder = fs::temp_directory_path() / "nimbrel-verification-bench";
  std::unique_ptr<ReportStore> store;
  std::int64_t from = 0;
  std::int64_t to = 0;
  std::size_t reports = 0;

  StationStore() {
    fs::remove_all(folder);
    ReportStoreOptions options;
    options.retentionDays = 365;
    // Kept from the first report on, whatever today's date.
    store = std::make_unique<ReportStore>(folder / "reports.sqlite", options, [] { return std::int64_t{1596240000}; });
    test::GzipLines lines(kStationFile);
    std::vector<StoredMetar> metars;
    std::string line;
    while (lines.next(line)) {
      int y, mo, d, h, mi;
      if (line.size() < 14 || std::sscanf(line.c_str(), "%4d%2d%2d%2d%2d", &y, &mo, &d, &h, &mi) != 5) continue;
      if (auto report = storedMetar(line.substr(13), UtcDateTime{y, mo, d, h, mi})) {
        if (from == 0) from = report->observedAt - report->observedAt % 86400;
        if (report->observedAt >= from + kDays * 86400) break;
        metars.push_back(std::move(*report));
      }
    }
    to = from + kDays * 86400;
    reports = metars.size();
    store->putMetars(metars);
    std::vector<StoredForecast> tafs;
    for (std::int64_t issue = from - 6 * 3600 + 2400; issue < to; issue += 6 * 3600) {
      const std::int64_t start = issue - 2400 + 3600;
      const std::string taf = "TAF KTPA " + DayHour(issue) + "40Z " + DayHour(start) + "/" + DayHour(start + 30 * 3600) +
                              " 09008KT P6SM SCT035 FM" + DayHour(start + 8 * 3600) + "00 24010KT P6SM VCTS SCT030CB " +
                              "TEMPO " + DayHour(start + 9 * 3600) + "/" + DayHour(start + 12 * 3600) +
                              " 3SM TSRA BKN015CB FM" + DayHour(start + 14 * 3600) + "00 VRB04KT P6SM FEW040 " +
                              "PROB30 " + DayHour(start + 20 * 3600) + "/" + DayHour(start + 24 * 3600) + " 2SM BR OVC008";
      tafs.push_back(StoredForecast{"KTPA", issue, taf});
    }
    store->putForecasts(tafs);
  }
  ~StationStore() {
    store.reset();
    fs::remove_all(folder);
  }
};

void BM_VerifyThirtyDaysFromTheStore(benchmark::State& state) {
  StationStore kept;
  Station station;
  station.icao = "KTPA";
  int judged = 0;
  for (auto _ : state) {
    const ObservationList observed =
        MetarSource::readStored(station, kept.store->metars("KTPA", kept.from, kept.to)).observations;
    const std::vector<IssuedForecast> forecasts =
        MetarSource::readStoredForecasts(*kept.store, "KTPA", kept.from - MetarSource::kLongestTafSeconds, kept.to);
    const ForecastVerification verification = verifyForecasts(forecasts, observed, kept.from, kept.to);
    judged = verification.judged;
    benchmark::DoNotOptimize(verification.right);
  }
  state.counters["reports"] = static_cast<double>(kept.reports);
  state.counters["judged"] = judged;
}
BENCHMARK(BM_VerifyThirtyDaysFromTheStore)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nimbrel

BENCHMARK_MAIN();
