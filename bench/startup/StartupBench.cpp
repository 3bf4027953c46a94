// Times whole processes: the viewer from start to its first painted world
// map (on the shipped station list), and a bare Qt window program.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

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
    return dir;
  }();
  return folder;
}

bool RunToEnd(const std::vector<std::string>& command) {
  std::vector<char*> argv;
  for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void Run(benchmark::State& state, const std::vector<std::string>& command) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  std::filesystem::current_path(WorkFolder());
  for (auto _ : state) {
    if (!RunToEnd(command)) {
      state.SkipWithError("the program did not end cleanly");
      break;
    }
  }
}

void BM_StartupToFirstWorldMapPaint(benchmark::State& state) {
  Run(state, {NIMBREL_PROGRAM, "--quit-after-first-paint"});
}

void BM_BareQtWindowToFirstPaint(benchmark::State& state) { Run(state, {BARE_WINDOW_PROGRAM}); }

void BM_BareQtMainWindowToFirstPaint(benchmark::State& state) { Run(state, {BARE_MAIN_WINDOW_PROGRAM}); }

}  // namespace

BENCHMARK(BM_BareQtWindowToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_BareQtMainWindowToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_StartupToFirstWorldMapPaint)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK_MAIN();
