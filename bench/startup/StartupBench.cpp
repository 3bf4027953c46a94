// Times whole processes: the viewer from start to its first painted world
// map (on the shipped station list), beside two yardsticks timed the same
// way: a bare 800 x 800 main window that paints no text, and the same window
// with a menu bar and a status text, as every desktop program has them.
// The viewer's budget: at most twice the bare main window, the counter
// ratio_to_bare_main_window of the runs taken in turns.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

std::filesystem::path WorkFolder() {
  static const std::filesystem::path folder = [] {
    auto dir = std::filesystem::temp_directory_path() / "nimbrel-startup-bench";
    std::filesystem::create_directories(dir);
    const std::filesystem::path list = std::filesystem::path(NIMBREL_SOURCE_DIR) / "data" / "Stations.txt";
    if (std::filesystem::exists(list)) {
      std::filesystem::copy_file(list, dir / "Stations.txt", std::filesystem::copy_options::overwrite_existing);
    }
    // The programs keep their settings and report store here, not in the
    // home folder of whoever runs the benchmark.
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    setenv("XDG_DATA_HOME", dir.c_str(), 1);
    return dir;
  }();
  return folder;
}

struct Timing {
  bool ok = false;
  double toFirstPaint = 0.0;  // seconds from the spawn to the "first paint" line
  double toExit = 0.0;        // seconds from the spawn to the process's end
};

// Runs the program with its standard output on a pipe, and times the line
// it prints once its first window has painted, and its end.
Timing RunOnce(const std::vector<std::string>& command) {
  Timing timing;
  std::vector<char*> argv;
  for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
  argv.push_back(nullptr);
  int out[2];
  if (pipe(out) != 0) return timing;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (rc != 0) {
    close(out[0]);
    return timing;
  }
  std::string output;
  char buffer[256];
  ssize_t got = 0;
  while (output.find("first paint") == std::string::npos && (got = read(out[0], buffer, sizeof buffer)) > 0) {
    output.append(buffer, static_cast<std::size_t>(got));
  }
  const auto painted = std::chrono::steady_clock::now();
  while (read(out[0], buffer, sizeof buffer) > 0) {
  }
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  const auto ended = std::chrono::steady_clock::now();
  timing.ok = output.find("first paint") != std::string::npos && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  timing.toFirstPaint = std::chrono::duration<double>(painted - start).count();
  timing.toExit = std::chrono::duration<double>(ended - start).count();
  return timing;
}

// The iteration time is start-up to the first paint; the whole process,
// teardown included, is the counter "whole_process_ms".
void Run(benchmark::State& state, const std::vector<std::string>& command) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  std::filesystem::current_path(WorkFolder());
  double wholeProcess = 0.0;
  for (auto _ : state) {
    const Timing timing = RunOnce(command);
    if (!timing.ok) {
      state.SkipWithError("the program did not paint and end cleanly");
      break;
    }
    state.SetIterationTime(timing.toFirstPaint);
    wholeProcess += timing.toExit;
  }
  if (state.iterations() > 0) {
    state.counters["whole_process_ms"] = 1000.0 * wholeProcess / static_cast<double>(state.iterations());
  }
}

void BM_StartupToFirstWorldMapPaint(benchmark::State& state) {
  Run(state, {NIMBREL_PROGRAM, "--quit-after-first-paint"});
}

void BM_BareQtWindowToFirstPaint(benchmark::State& state) { Run(state, {BARE_WINDOW_PROGRAM}); }

void BM_BareQtMainWindowToFirstPaint(benchmark::State& state) { Run(state, {BARE_MAIN_WINDOW_PROGRAM}); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n == 0 ? 0.0 : (n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0);
}

// The three programs taken in turns, so a machine that speeds up or slows
// down over the run weighs on all of them alike: the medians and the ratios
// of the viewer to each yardstick are the counters.
void BM_StartupRatiosTakenInTurns(benchmark::State& state) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  std::filesystem::current_path(WorkFolder());
  const std::vector<std::vector<std::string>> programs = {
      {BARE_WINDOW_PROGRAM}, {BARE_MAIN_WINDOW_PROGRAM}, {NIMBREL_PROGRAM, "--quit-after-first-paint"}};
  std::vector<std::vector<double>> times(programs.size());
  for (auto _ : state) {
    for (int round = 0; round < 40; ++round) {
      for (std::size_t i = 0; i < programs.size(); ++i) {
        const Timing timing = RunOnce(programs[i]);
        if (!timing.ok) {
          state.SkipWithError("a program did not paint and end cleanly");
          return;
        }
        times[i].push_back(1000.0 * timing.toFirstPaint);
      }
    }
  }
  const double bare = Median(times[0]);
  const double bareMain = Median(times[1]);
  const double viewer = Median(times[2]);
  state.counters["bare_window_ms"] = bare;
  state.counters["bare_main_window_ms"] = bareMain;
  state.counters["nimbrel_ms"] = viewer;
  state.counters["ratio_to_bare_window"] = bare > 0 ? viewer / bare : 0;
  state.counters["ratio_to_bare_main_window"] = bareMain > 0 ? viewer / bareMain : 0;
}

}  // namespace

BENCHMARK(BM_BareQtWindowToFirstPaint)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);
BENCHMARK(BM_BareQtMainWindowToFirstPaint)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);
BENCHMARK(BM_StartupToFirstWorldMapPaint)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);
BENCHMARK(BM_StartupRatiosTakenInTurns)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_MAIN();
