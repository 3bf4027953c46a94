// Decoding the whole real day of METARs in the process, the report tool's
// whole-process time and peak memory on the same data, and the real TAFs.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "metar/MetarDecoder.h"
#include "metar/TafDecoder.h"

extern char** environ;

namespace {

const std::string kWholeDay = std::string(NIMBREL_SHARED_METAR) + "/noaa-cycles-2010-11-14.txt.gz";

// The day's lines, read once through gzip.
const std::vector<std::string>& WholeDay() {
  static const std::vector<std::string> lines = [] {
    std::vector<std::string> read;
    if (!std::filesystem::exists(kWholeDay)) return read;
    std::FILE* pipe = popen(("gzip -dc '" + kWholeDay + "'").c_str(), "r");
    if (pipe == nullptr) return read;
    char* line = nullptr;
    std::size_t capacity = 0;
    ssize_t got = 0;
    while ((got = getline(&line, &capacity, pipe)) > 0) {
      std::string text(line, static_cast<std::size_t>(got));
      while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
      read.push_back(std::move(text));
    }
    std::free(line);
    pclose(pipe);
    return read;
  }();
  return lines;
}

void BM_DecodeWholeDay(benchmark::State& state) {
  const std::vector<std::string>& lines = WholeDay();
  if (lines.empty()) {
    state.SkipWithError("no data: the shared whole-day file is absent");
    return;
  }
  const nimbrel::UtcDateTime anchor{2010, 11, 14, 23, 59};
  std::size_t ok = 0;
  for (auto _ : state) {
    ok = 0;
    for (const std::string& line : lines) {
      const nimbrel::MetarReport report = nimbrel::decodeMetar(line, anchor);
      ok += report.status == nimbrel::MetarStatus::Ok;
      benchmark::DoNotOptimize(report);
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lines.size()));
  state.counters["reports_per_s"] =
      benchmark::Counter(static_cast<double>(lines.size()), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["ok"] = static_cast<double>(ok);
}
BENCHMARK(BM_DecodeWholeDay)->Unit(benchmark::kMillisecond);

// A report of many groups that look ahead or repeat, of 10,000 to a million
// characters: the time per character must stay flat when decoding is linear.
void BM_DecodeHostileInput(benchmark::State& state) {
  const char* pieces[] = {"1 ", "WS ", "TEMPO ", "FM ", "ZZZZZ ", "R26/ ", "M/ ", "//// ", "9999 ", "-SH "};
  std::string body = "KXXX 141200Z ";
  std::size_t count = 0;
  while (body.size() < static_cast<std::size_t>(state.range(0))) body += pieces[count++ % std::size(pieces)];
  const nimbrel::UtcDateTime anchor{2010, 11, 14, 23, 59};
  for (auto _ : state) benchmark::DoNotOptimize(nimbrel::decodeMetar(body, anchor));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(body.size()));
}
BENCHMARK(BM_DecodeHostileInput)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Runs a program with its output to /dev/null; the wall time in seconds.
bool Spawn(std::vector<std::string> arguments, double& seconds) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return false;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return false;
  seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The tool's peak resident set in kB, by /usr/bin/time: our own rusage of a
// spawned child would count this process's pages shared until its exec.
long PeakKb(const std::string& file) {
  if (!std::filesystem::exists("/usr/bin/time")) return -1;
  const std::string report = file + ".rss";
  double seconds = 0;
  if (!Spawn({"/usr/bin/time", "-f", "%M", "-o", report, NIMBREL_REPORT_TOOL, "metar", file}, seconds)) return -1;
  long kb = -1;
  std::ifstream(report) >> kb;
  std::filesystem::remove(report);
  return kb;
}

// A file of the day's first `count` lines, under a time line for the anchor.
std::string WriteLines(std::size_t count) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("nimbrel_bench_metar_" + std::to_string(count) + ".txt")).string();
  std::ofstream out(path, std::ios::binary);
  out << "2010/11/14 23:59\n";
  const std::vector<std::string>& lines = WholeDay();
  for (std::size_t i = 0; i < count && i < lines.size(); ++i) out << lines[i] << '\n';
  return path;
}

void BM_ToolProcess(benchmark::State& state) {
  if (WholeDay().empty()) {
    state.SkipWithError("no data: the shared whole-day file is absent");
    return;
  }
  const std::string path = WriteLines(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    double seconds = 0;
    if (!Spawn({NIMBREL_REPORT_TOOL, "metar", path}, seconds)) {
      state.SkipWithError("the tool failed");
      break;
    }
    state.SetIterationTime(seconds);
  }
  const long peakKb = PeakKb(path);
  std::filesystem::remove(path);
  state.counters["lines"] = static_cast<double>(state.range(0));
  if (peakKb > 0) state.counters["peak_rss_MB"] = peakKb / 1024.0;
}
BENCHMARK(BM_ToolProcess)->Arg(20000)->Arg(200054)->UseManualTime()->Unit(benchmark::kMillisecond);

// The 361 real TAFs of the test data, all of them per iteration.
void BM_DecodeRealTafs(benchmark::State& state) {
  std::ifstream in(std::string(NIMBREL_SOURCE_DIR) + "/tests/fixtures/metar/real-reports-taf.tsv");
  std::vector<std::pair<nimbrel::UtcDateTime, std::string>> tafs;
  std::string line;
  std::getline(in, line);  // the header
  while (std::getline(in, line)) {
    const std::size_t tab = line.find('\t');
    if (tab != 10) continue;
    const nimbrel::UtcDateTime date{std::stoi(line.substr(0, 4)), std::stoi(line.substr(5, 2)),
                                    std::stoi(line.substr(8, 2)), 12, 0};
    tafs.emplace_back(date, line.substr(tab + 1));
  }
  if (tafs.size() != 361) {
    state.SkipWithError("the TAF test data is missing or changed");
    return;
  }
  std::size_t groups = 0;
  for (auto _ : state) {
    groups = 0;
    for (const auto& [anchor, text] : tafs) {
      const nimbrel::TafReport taf = nimbrel::decodeTaf(text, anchor);
      groups += taf.groups.size();
      benchmark::DoNotOptimize(taf);
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * tafs.size()));
  state.counters["groups"] = static_cast<double>(groups);
}
BENCHMARK(BM_DecodeRealTafs)->Unit(benchmark::kMicrosecond);

// The longest validity and a megabyte of change groups, decoded and laid
// out hour by hour: the kept groups and hours are capped, so the time is too.
void BM_DecodeHostileTaf(benchmark::State& state) {
  std::string body = "TAF KXXX 010000Z 0100/0206 ";
  const char* pieces[] = {"BECMG ", "PROB30 ", "TEMPO 0100/0206 ", "FM011300 ", "ZZZ ", "1 ", "TX15/0118Z ",
                          "WS020/27045KT "};
  std::size_t n = 0;
  while (body.size() < 1'000'000) body += pieces[n++ % std::size(pieces)];
  for (auto _ : state) {
    const nimbrel::TafReport taf = nimbrel::decodeTaf(body, nimbrel::UtcDateTime{2018, 8, 1, 0, 0});
    benchmark::DoNotOptimize(nimbrel::timeline(taf));
  }
}
BENCHMARK(BM_DecodeHostileTaf)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
