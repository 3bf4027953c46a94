// Speed of the station list reader and the searches, and the memory the
// loaded catalogue takes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "map/MapProjection.h"
#include "catalog/StationListReader.h"
#include "catalog/StationSearch.h"

namespace nimbrel {
namespace {

std::string ReadAll(const char* path) {
  std::string text;
  if (!std::filesystem::exists(path) || !readStationListFile(path, text)) return {};
  return text;
}

// A list of exactly `size` bytes: station lines with LF ends, the tail
// filled with a comment line.
std::string SyntheticList(std::size_t size) {
  std::string text;
  text.reserve(size);
  char line[128];
  for (int i = 0; text.size() + 84 <= size; ++i) {
    std::snprintf(line, sizeof line,
                  "%-2s %-16.16s  %-4s  %-3s   %05d  %02d %02d%c  %03d %02d%c  %4d   X     T         %d %-2s\n", "XX",
                  std::string("STATION/").append(std::to_string(i)).c_str(), std::string("K").append(std::to_string(100 + i % 900)).c_str(), "ABC",
                  i % 100000, i % 90, i % 60, i % 2 ? 'N' : 'S', i % 180, (i * 7) % 60, i % 3 ? 'W' : 'E', i % 3000,
                  i % 10, "US");
    text += line;
  }
  if (text.size() < size) {
    text.append(size - text.size() - 1, '!');
    text += '\n';
  }
  return text;
}

StationList SyntheticStations(int count) {
  StationList stations;
  stations.reserve(count);
  for (int i = 0; i < count; ++i) {
    Station& s = stations.emplace_back();
    s.name = std::string("STATION NUMBER ").append(std::to_string(i));
    s.icao = std::string("K").append(std::to_string(100 + i % 900));
    s.mapLongitude = (i * 37 % 3600) / 10.0;
    s.mapColatitude = (i * 53 % 1800) / 10.0;
    s.hasPosition = true;
  }
  return stations;
}

// A temporary current folder holding a Stations.txt, the old folder restored after.
class ListFolder {
 public:
  explicit ListFolder(const std::string& text) {
    previous = std::filesystem::current_path();
    folder = std::filesystem::temp_directory_path() / ("nimbrel_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "Stations.txt", std::ios::binary) << text;
    std::filesystem::current_path(folder);
  }
  ~ListFolder() {
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
  }

 private:
  std::filesystem::path previous;
  std::filesystem::path folder;
};

// The main window's start-up load: the working folder's list read in one
// piece and parsed into an emptied station list.
bool LoadStations(StationList& stations) {
  std::string text;
  if (!readStationListFile(kStationListFileName, text)) return false;
  stations.clear();
  parseStationList(text, stations);
  return true;
}

// The heap blocks of a station's texts; short ones live inside the string.
double TextHeapBytes(const Station& s) {
  double bytes = 0;
  for (const std::string* t :
       {&s.cd, &s.name, &s.icao, &s.iata, &s.synop, &s.latText, &s.lonText, &s.elevText, &s.country})
    if (t->capacity() > 15) bytes += static_cast<double>(t->capacity() + 1);
  return bytes;
}

long ResidentBytes() {
  long pages = 0;
  long resident = 0;
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
  std::fclose(statm);
  return resident * sysconf(_SC_PAGESIZE);
}

// Heap and array bytes the loaded list holds, and how much the process grew;
// registered first so that no earlier benchmark has left freed heap behind.
void BM_CatalogueMemory(benchmark::State& state) {
  const std::string text = ReadAll(NIMBREL_STATIONS_LIST);
  if (text.empty()) return state.SkipWithError("no data: no shared station list");
  ListFolder folder(text);
  double held = 0;
  double growth = 0;
  for (auto _ : state) {
    StationList stations;
    const long before = ResidentBytes();
    if (!LoadStations(stations)) return state.SkipWithError("the list could not be read");
    growth = static_cast<double>(ResidentBytes() - before);
    held = static_cast<double>(stations.capacity()) * sizeof(Station);
    for (const Station& s : stations) held += TextHeapBytes(s);
  }
  state.counters["heldMB"] = held / 1e6;
  state.counters["rssGrowthMB"] = growth / 1e6;
}
BENCHMARK(BM_CatalogueMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

void ParseText(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    StationList stations;
    parseStationList(text, stations);
    benchmark::DoNotOptimize(stations.size());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}

void LoadText(benchmark::State& state, const std::string& text) {
  ListFolder folder(text);
  StationList stations;
  for (auto _ : state) {
    if (!LoadStations(stations)) {
      state.SkipWithError("the list could not be read");
      break;
    }
    benchmark::DoNotOptimize(stations.size());
  }
  state.counters["stations"] = static_cast<double>(stations.size());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}

void BM_ParseSharedList(benchmark::State& state) {
  const std::string text = ReadAll(NIMBREL_STATIONS_LIST);
  if (text.empty()) return state.SkipWithError("no data: no shared station list");
  ParseText(state, text);
}
BENCHMARK(BM_ParseSharedList)->Unit(benchmark::kMillisecond);

void BM_LoadStationsSharedList(benchmark::State& state) {
  const std::string text = ReadAll(NIMBREL_STATIONS_LIST);
  if (text.empty()) return state.SkipWithError("no data: no shared station list");
  LoadText(state, text);
}
BENCHMARK(BM_LoadStationsSharedList)->Unit(benchmark::kMillisecond);

void BM_ParseSynthetic1MB(benchmark::State& state) { ParseText(state, SyntheticList(1000000)); }
BENCHMARK(BM_ParseSynthetic1MB)->Unit(benchmark::kMillisecond);

void BM_LoadStationsSynthetic1MB(benchmark::State& state) { LoadText(state, SyntheticList(1000000)); }
BENCHMARK(BM_LoadStationsSynthetic1MB)->Unit(benchmark::kMillisecond);

void BM_FindStationsNoMatch10k(benchmark::State& state) {
  const StationList stations = SyntheticStations(10000);
  std::size_t found = 0;
  for (auto _ : state) {
    StationList result = findStations("Nowhere at all", stations);
    found = result.size();
    benchmark::DoNotOptimize(result.data());
  }
  if (found != 0) state.SkipWithError("the query should match nothing");
}
BENCHMARK(BM_FindStationsNoMatch10k)->Unit(benchmark::kMicrosecond);

// A double-click on the map: the pixel to a map point, then the stations
// around it.
void BM_FindNearestStations10k(benchmark::State& state) {
  const StationList stations = SyntheticStations(10000);
  std::size_t found = 0;
  for (auto _ : state) {
    const std::optional<MapPoint> point = MapProjection::toMapPoint(270, 120);
    if (!point) {
      state.SkipWithError("the pixel is off the map");
      break;
    }
    StationList result = nearestStations(stations, point->mapLongitude, point->mapColatitude, 90.0);
    found = result.size();
    benchmark::DoNotOptimize(result.data());
  }
  state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(BM_FindNearestStations10k)->Unit(benchmark::kMicrosecond);


}  // namespace
}  // namespace nimbrel

BENCHMARK_MAIN();
