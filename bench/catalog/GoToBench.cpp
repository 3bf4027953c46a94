// The "Go to" field's suggestions a keystroke: at most 1 ms over 10,000
// stations and 10 ms over 100,000. Each keystroke of a few typed texts (a
// code, a name's start, a part inside names, nothing found) is one search
// of the whole catalogue; the real list is used too when it is there.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "catalog/GoToIndex.h"
#include "catalog/StationListReader.h"

namespace nimbrel {
namespace {

// Names of words like the catalogue's ("SAN JOSE/INTL"), codes distinct.
StationList Synthetic(int count) {
  std::mt19937 random(99);
  std::uniform_int_distribution<int> letter('A', 'Z'), length(3, 9), words(1, 3);
  StationList list;
  list.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    Station s;
    for (int w = words(random); w > 0; --w) {
      if (!s.name.empty()) s.name += w % 2 ? " " : "/";
      for (int n = length(random); n > 0; --n) s.name += static_cast<char>(letter(random));
    }
    int code = i;
    s.icao.assign(4, 'A');
    for (int k = 3; k >= 0; --k, code /= 26) s.icao[static_cast<std::size_t>(k)] = static_cast<char>('A' + code % 26);
    s.iata = s.icao.substr(1);
    s.hasPosition = true;
    list.push_back(std::move(s));
  }
  return list;
}

// Every prefix of each text, as typed key by key.
std::vector<std::string> Keystrokes() {
  std::vector<std::string> typed;
  for (const std::string text : {"kord", "san jose", "ort", "qqxz zz"})
    for (std::size_t n = 1; n <= text.size(); ++n) typed.push_back(text.substr(0, n));
  return typed;
}

void Run(benchmark::State& state, const StationList& list, double budgetMs) {
  const GoToIndex index(list);
  const std::vector<std::string> typed = Keystrokes();
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(index.matches(typed[next], 12));
    next = next + 1 == typed.size() ? 0 : next + 1;
  }
  state.counters["stations"] = static_cast<double>(index.size());
  state.counters["budget_ms"] = budgetMs;
}

void BM_GoToKeystroke(benchmark::State& state) {
  const StationList list = Synthetic(static_cast<int>(state.range(0)));
  Run(state, list, state.range(0) > 10000 ? 10.0 : 1.0);
}

// Building the index: once a catalogue, on the first keystroke.
void BM_GoToIndexBuild(benchmark::State& state) {
  const StationList list = Synthetic(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(GoToIndex(list).size());
}

void BM_GoToKeystrokeRealList(benchmark::State& state) {
  StationList list;
  std::string text;
  if (!std::filesystem::exists(NIMBREL_STATIONS_LIST) || !readStationListFile(NIMBREL_STATIONS_LIST, text)) {
    state.SkipWithError("no data: no station list");
    return;
  }
  parseStationList(text, list);
  Run(state, list, 1.0);
}

BENCHMARK(BM_GoToKeystroke)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GoToIndexBuild)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GoToKeystrokeRealList)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace nimbrel

BENCHMARK_MAIN();
