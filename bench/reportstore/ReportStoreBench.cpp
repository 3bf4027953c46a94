// Budgets: one world download of 5,000 reports, most already stored, at
// most 50 ms of the worker's time; a station's 15 days read at most 5 ms;
// a chart of 720 stored reports to its rows (the paint of 720 rows is
// bench_charts' BM_DrawChart720Rows) within 15 ms together; 30 days of the
// whole world (about 4 million reports) within 500 MB; a prune of a large
// store holds the write lock at most 100 ms at a time.
//
// The reports are the real NOAA cycle files of 13-14 November 2010 (a day and a half,
// /work/shared/data), repeated day after day for the longer spans: the
// store holds real report texts, only their dates are moved.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/UserPort.h"
#include "metar/GzipLines.h"
#include "metar/UtcDateTime.h"
#include "observations/MetarSource.h"
#include "reportstore/ReportStore.h"
#include "stationchart/StationChartModel.h"

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

const std::string kDayFile = "/work/shared/data/metar/noaa-cycles-2010-11-14.txt.gz";
constexpr std::int64_t kDay = 24 * 3600;

// The day's reports, each dated by the cycle line before it.
const std::vector<StoredMetar>& RealDay() {
  static const std::vector<StoredMetar> day = [] {
    std::vector<StoredMetar> reports;
    test::GzipLines lines(kDayFile);
    std::string line;
    UtcDateTime anchor{2010, 11, 14, 0, 0};
    while (lines.next(line)) {
      int y, mo, d, h, mi;
      if (std::sscanf(line.c_str(), "%4d/%2d/%2d %2d:%2d", &y, &mo, &d, &h, &mi) == 5 && line.size() == 16) {
        anchor = UtcDateTime{y, mo, d, h, mi};
        continue;
      }
      if (auto report = storedMetar(line, anchor, ReportOrigin::kWorldFile)) reports.push_back(std::move(*report));
    }
    return reports;
  }();
  return day;
}

// The real day moved by whole days.
std::vector<StoredMetar> Shifted(const std::vector<StoredMetar>& day, int days) {
  std::vector<StoredMetar> moved = day;
  for (StoredMetar& r : moved) r.observedAt += days * kDay;
  return moved;
}

// A quick run (NIMBREL_BENCH_QUICK set, as the CI's smoke run does) keeps
// the big stores to two days: it shows the benchmarks work, not their
// figures.
int DaysOf(int full) { return std::getenv("NIMBREL_BENCH_QUICK") != nullptr ? std::min(full, 2) : full; }

// A store of `days` days, built once per run in a temporary folder.
struct BigStore {
  fs::path folder;
  std::unique_ptr<ReportStore> store;
  std::int64_t reports = 0;
  std::int64_t newest = 0;

  explicit BigStore(int days) {
    folder = fs::temp_directory_path() / ("nimbrel-store-bench-" + std::to_string(days));
    fs::remove_all(folder);
    ReportStoreOptions options;
    options.retentionDays = 365;
    options.sizeLimitBytes = std::uint64_t{1} << 40;
    store = std::make_unique<ReportStore>(folder / "reports.sqlite", options);
    for (int d = 0; d < days; ++d) {
      const std::vector<StoredMetar> reportsOfDay = Shifted(RealDay(), d - days + 1);
      // A day in pieces the size of a world download.
      for (std::size_t at = 0; at < reportsOfDay.size(); at += 5000) {
        const std::size_t n = std::min<std::size_t>(5000, reportsOfDay.size() - at);
        reports += store->putMetars(std::span(reportsOfDay).subspan(at, n)).value_or(0);
      }
    }
    newest = store->info().newest;
  }
  ~BigStore() {
    store.reset();
    fs::remove_all(folder);
  }
};

bool HaveData(benchmark::State& state) {
  if (!RealDay().empty()) return true;
  state.SkipWithError(("no data: no real day of reports at " + kDayFile).c_str());
  return false;
}

// The station with the most reports in the day.
std::string BusiestStation() {
  std::map<std::string, int> counts;
  for (const StoredMetar& r : RealDay()) ++counts[r.station];
  std::string best;
  int most = 0;
  for (const auto& [station, count] : counts)
    if (count > most) most = count, best = station;
  return best;
}

// A world download: the newest report of every station in the last hour of
// the day (about 4,500), most already stored, topped up with reports of the
// hour before that are not, to 5,000.
void BM_StoreWorldDownload(benchmark::State& state) {
  if (!HaveData(state)) return;
  BigStore big(2);
  std::vector<StoredMetar> download;
  std::map<std::string, StoredMetar> newest;
  const std::vector<StoredMetar> today = Shifted(RealDay(), 0);
  // The cycle files run from the 13th 00Z to the 14th 13Z.
  const std::int64_t dayEnd = UtcDateTime{2010, 11, 14, 13, 0}.epochMinutes() * 60;
  for (const StoredMetar& r : today)
    if (r.observedAt > dayEnd - 3600 && r.observedAt <= dayEnd) newest[r.station] = r;
  for (auto& [station, r] : newest) download.push_back(r);
  for (const StoredMetar& r : Shifted(RealDay(), 1))
    if (download.size() < 5000) download.push_back(r);  // tomorrow's: new to the store
  std::int64_t round = 0;
  for (auto _ : state) {
    // The new ones are new every time.
    state.PauseTiming();
    for (std::size_t i = newest.size(); i < download.size(); ++i) download[i].observedAt += kDay;
    ++round;
    state.ResumeTiming();
    benchmark::DoNotOptimize(big.store->putMetars(download));
  }
  state.counters["reports"] = static_cast<double>(download.size());
  state.counters["new"] = static_cast<double>(download.size() - newest.size());
}
BENCHMARK(BM_StoreWorldDownload)->Unit(benchmark::kMillisecond)->Iterations(20);

// A big store: 15 days of the whole world's real day (3 million reports).
BigStore& Fifteen() {
  static BigStore big(DaysOf(15));
  return big;
}

// A station's 15 days read from it: the rows alone, and decoded as a
// chart takes them.
void BM_ReadStation15Days(benchmark::State& state) {
  if (!HaveData(state)) return;
  BigStore& big = Fifteen();
  const std::string station = BusiestStation();
  std::size_t rows = 0;
  for (auto _ : state) {
    const std::vector<StoredMetar> reports = big.store->metars(station, big.newest - 15 * kDay, big.newest);
    rows = reports.size();
    if (state.range(0) == 1) benchmark::DoNotOptimize(MetarSource::readStored(Station{}, reports));
    benchmark::DoNotOptimize(reports);
  }
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["store_reports"] = static_cast<double>(big.reports);
}
BENCHMARK(BM_ReadStation15Days)->Arg(0)->Arg(1)->ArgName("decoded")->Unit(benchmark::kMillisecond);

class QuietPort : public UserPort {
 public:
  void showMessage(const std::string&) override {}
  void setStatusText(const std::string&) override {}
  void beginWaitCursor() override {}
  void endWaitCursor() override {}
  std::time_t currentTime() override { return now; }
  std::time_t now = 0;
};

// Holds work meant for a worker and what is posted back, each run when
// told; downloads never answer.
class HeldFetcher : public AsyncPageFetcher {
 public:
  struct Ticket : FetchTicket {
    void cancel() override {}
  };
  std::unique_ptr<FetchTicket> start(const std::string&, int, Work) override { return std::make_unique<Ticket>(); }
  std::unique_ptr<FetchTicket> post(std::function<void()> done) override {
    posted.push_back(std::move(done));
    return std::make_unique<Ticket>();
  }
  std::unique_ptr<FetchTicket> run(std::function<std::function<void()>()> work) override {
    working.push_back(std::move(work));
    return std::make_unique<Ticket>();
  }
  void runWorkers() {
    auto now = std::move(working);
    working.clear();
    for (auto& w : now) posted.push_back(w());
  }
  void runPosted() {
    auto now = std::move(posted);
    posted.clear();
    for (auto& f : now) f();
  }
  std::vector<std::function<std::function<void()>()>> working;
  std::vector<std::function<void()>> posted;
};

// A chart of the past 720 hours from the store, a report every half hour
// (1,440): the time on the user-interface thread (asking, then making the
// chart's rows from the decoded reports), with the worker's reading and
// decoding counted apart.
void BM_Chart720HoursFromStore(benchmark::State& state) {
  const fs::path folder = fs::temp_directory_path() / "nimbrel-store-bench-720";
  fs::remove_all(folder);
  auto store = std::make_shared<ReportStore>(folder / "reports.sqlite");
  const std::int64_t now = 1796644800;  // 2026-12-07T12:00Z
  constexpr int kReports = 1440;
  std::vector<StoredMetar> reports;
  for (int i = 0; i < kReports; ++i) {
    const std::int64_t at = now - i * 1800;
    const UtcDateTime t = UtcDateTime::fromEpochMinutes(at / 60);
    char raw[96];
    std::snprintf(raw, sizeof raw, "KBOS %02d%02d%02dZ 31014G22KT 10SM FEW050 BKN250 %02d/M06 A30%02d", t.day, t.hour,
                  t.minute, i % 20, i % 40 + 10);
    reports.push_back(StoredMetar{"KBOS", at, raw, ReportOrigin::kChart, false});
  }
  store->putMetars(reports);
  HeldFetcher fetcher;
  MetarSource source(fetcher, [now] { return now + 60; });
  source.setStore(store);
  QuietPort port;
  port.now = now + 60;
  Settings settings;
  settings.pastHours = 720;
  Station station;
  station.name = "BOSTON";
  station.icao = "KBOS";
  using Clock = std::chrono::steady_clock;
  double workerSeconds = 0;
  for (auto _ : state) {
    const auto asked = Clock::now();
    StationChartModel model(station, settings, source, port, nullptr);
    model.load([](LoadOutcome) {});
    const auto worker = Clock::now();
    fetcher.runWorkers();
    const auto back = Clock::now();
    fetcher.runPosted();
    const auto done = Clock::now();
    state.SetIterationTime(std::chrono::duration<double>((worker - asked) + (done - back)).count());
    workerSeconds += std::chrono::duration<double>(back - worker).count();
    if (model.chart->getRowCount() != kReports) state.SkipWithError("not every report became a row");
  }
  state.counters["worker_ms"] = benchmark::Counter(workerSeconds * 1000 / static_cast<double>(state.iterations()));
  fs::remove_all(folder);
}
BENCHMARK(BM_Chart720HoursFromStore)->UseManualTime()->Unit(benchmark::kMillisecond);

// The bytes a report takes in a large store, and so 30 days of the world.
void BM_StoreSizePerReport(benchmark::State& state) {
  if (!HaveData(state)) return;
  BigStore& big = Fifteen();
  for (auto _ : state) benchmark::DoNotOptimize(big.store->info());
  const StoreInfo info = big.store->info();
  const double perReport = static_cast<double>(info.fileBytes) / static_cast<double>(info.reports);
  state.counters["reports"] = static_cast<double>(info.reports);
  state.counters["file_MB"] = static_cast<double>(info.fileBytes) / (1 << 20);
  state.counters["bytes_per_report"] = perReport;
  state.counters["MB_for_4M"] = perReport * 4e6 / (1 << 20);
}
BENCHMARK(BM_StoreSizePerReport)->Unit(benchmark::kMillisecond)->Iterations(1);

// A day's prune of a large store: the days past the retention removed in
// batches. The longest batch is the longest a chart's or the weather
// layer's write waits for the lock.
void BM_PruneLongestLockHold(benchmark::State& state) {
  if (!HaveData(state)) return;
  const int days = DaysOf(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path folder = fs::temp_directory_path() / "nimbrel-store-bench-prune";
    fs::remove_all(folder);
    double longest = 0;
    std::int64_t removed = 0;
    int batches = 0;
    {
      ReportStoreOptions options;
      options.retentionDays = 2;
      options.sizeLimitBytes = std::uint64_t{1} << 40;
      auto last = std::chrono::steady_clock::now();
      options.betweenPruneBatches = [&] {
        const auto at = std::chrono::steady_clock::now();
        longest = std::max(longest, std::chrono::duration<double, std::milli>(at - last).count());
        last = at;
        ++batches;
      };
      const std::int64_t newest = RealDay().back().observedAt;
      ReportStore store(folder / "reports.sqlite", options, [newest] { return newest; });
      for (int d = 0; d < days; ++d) {
        const std::vector<StoredMetar> reportsOfDay = Shifted(RealDay(), d - days + 1);
        for (std::size_t at = 0; at < reportsOfDay.size(); at += 5000)
          store.putMetars(std::span(reportsOfDay).subspan(at, std::min<std::size_t>(5000, reportsOfDay.size() - at)));
      }
      state.ResumeTiming();
      last = std::chrono::steady_clock::now();
      removed = store.prune();
      state.PauseTiming();
    }
    fs::remove_all(folder);
    state.counters["removed"] = static_cast<double>(removed);
    state.counters["batches"] = batches;
    state.counters["longest_hold_ms"] = longest;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PruneLongestLockHold)->Arg(6)->ArgName("days")->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace nimbrel

BENCHMARK_MAIN();
