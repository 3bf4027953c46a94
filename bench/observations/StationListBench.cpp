// "Update Station List" on its worker: a service station file of 10,000
// stations (gzipped JSON) read, converted, compared with the shipped list
// and written to a file. Plain: the sample's fields; padded: each station
// with some 150 more bytes that compress badly, so the download is 1-2 MB.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "SampleApiJson.h"
#include "SampleService.h"
#include "catalog/StationListReader.h"
#include "observations/ServiceStationList.h"
#include "stationchart/MeteodataFile.h"

namespace {

std::string ReadText(const std::string& path) {
  std::string text;
  nimbrel::readStationListFile(path, text);
  return text;
}

// The shipped stations, then made-up ones beside them up to `count`.
std::string ServiceFile(std::size_t count, bool padded) {
  std::vector<nimbrel::sample::SampleStation> stations =
      nimbrel::sample::readSampleStations(ReadText(std::string(NIMBREL_SOURCE_DIR) + "/data/Stations.txt"));
  const std::size_t shipped = stations.size();
  for (std::size_t i = 0; stations.size() < count; ++i) {
    nimbrel::sample::SampleStation extra = stations[i % shipped];
    // Codes of the Q block, which no country uses.
    extra.icao = {'Q', static_cast<char>('A' + i / 676 % 26), static_cast<char>('A' + i / 26 % 26),
                  static_cast<char>('A' + i % 26)};
    extra.latitude += 0.1;
    stations.push_back(extra);
  }
  std::string json = nimbrel::sample::stationsCacheJson(stations);
  if (padded) {
    std::mt19937 random(7);
    std::string out;
    out.reserve(json.size() + count * 170);
    for (char c : json) {
      if (c == '{') {
        out += "{\"remark\":\"";
        for (int i = 0; i < 150; ++i) out += static_cast<char>('a' + random() % 26);
        out += "\",";
        continue;
      }
      out += c;
    }
    json = std::move(out);
  }
  return nimbrel::sample::gzipped(json);
}

void BM_UpdateStationList(benchmark::State& state) {
  nimbrel::FetchResult fetched;
  fetched.status = nimbrel::FetchStatus::kOk;
  fetched.body = ServiceFile(10000, state.range(0) != 0);
  nimbrel::StationList current;
  nimbrel::parseStationList(ReadText(std::string(NIMBREL_SOURCE_DIR) + "/data/Stations.txt"), current);
  const std::filesystem::path target =
      std::filesystem::temp_directory_path() / ("nimbrel-bench-stations-" + std::to_string(::getpid()) + ".txt");
  std::size_t stations = 0;
  for (auto _ : state) {
    const nimbrel::StationListUpdate update = nimbrel::prepareStationListUpdate(fetched, current, "bench");
    if (!update.accepted || nimbrel::replaceFile(target, update.text) != nimbrel::FileReplacement::kReplaced) {
      state.SkipWithError("the update was refused or not written");
      break;
    }
    stations = update.stations.size();
  }
  std::filesystem::remove(target);
  state.counters["stations"] = static_cast<double>(stations);
  state.counters["download_kB"] = static_cast<double>(fetched.body.size()) / 1000.0;
}
BENCHMARK(BM_UpdateStationList)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The reading alone: unpacking and JSON.
void BM_ReadServiceStations(benchmark::State& state) {
  const std::string download = ServiceFile(10000, state.range(0) != 0);
  for (auto _ : state) benchmark::DoNotOptimize(nimbrel::readServiceStations(download));
}
BENCHMARK(BM_ReadServiceStations)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
