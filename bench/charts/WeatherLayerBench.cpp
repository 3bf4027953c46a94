// The map's current-weather layer without Qt: a 5,000-report cache file
// (real reports of 14 Nov 2010) inflated, read, decoded, matched to the
// catalogue and coloured; the layer drawn for 10,000 coloured stations into
// a painter that draws nothing; and one hover lookup.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "map/StationPixelIndex.h"
#include "charts/WeatherLayer.h"
#include "observations/MetarCache.h"
#include "SampleApiJson.h"

namespace nimbrel {
namespace {

const std::string kWholeDay = std::string(NIMBREL_SHARED_METAR) + "/noaa-cycles-2010-11-14.txt.gz";
constexpr std::size_t kReports = 5000;

std::vector<std::string> DayLines() {
  std::vector<std::string> lines;
  gzFile file = gzopen(kWholeDay.c_str(), "rb");
  if (file == nullptr) return lines;
  char buffer[4096];
  while (gzgets(file, buffer, sizeof buffer) != nullptr) {
    std::string line(buffer);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    lines.push_back(std::move(line));
  }
  gzclose(file);
  return lines;
}

Station At(std::string icao, double mapLongitude, double mapColatitude) {
  Station s;
  s.icao = std::move(icao);
  s.name = "STATION " + s.icao;
  s.mapLongitude = mapLongitude;
  s.mapColatitude = mapColatitude;
  s.hasPosition = true;
  return s;
}

struct CacheFile {
  std::string gz;
  StationList catalogue;  // 10,000 stations, every reporting one among them
};

// The day's last report of each station, newest lines first, then earlier
// ones, to 5,000 rows of the service's full 44-column form.
const CacheFile& Cache() {
  static const CacheFile cache = [] {
    CacheFile file;
    const std::vector<std::string> lines = DayLines();
    if (lines.empty()) return file;
    std::string csv =
        "No errors\nNo warnings\n5 ms\ndata source=metars\n5000 results\n"
        "raw_text,station_id,observation_time,latitude,longitude,temp_c,dewpoint_c,wind_dir_degrees,wind_speed_kt,"
        "wind_gust_kt,visibility_statute_mi,altim_in_hg,sea_level_pressure_mb,corrected,auto,auto_station,"
        "maintenance_indicator_on,no_signal,lightning_sensor_off,freezing_rain_sensor_off,present_weather_sensor_off,"
        "wx_string,sky_cover,cloud_base_ft_agl,sky_cover,cloud_base_ft_agl,sky_cover,cloud_base_ft_agl,sky_cover,"
        "cloud_base_ft_agl,flight_category,three_hr_pressure_tendency_mb,maxT_c,minT_c,maxT24hr_c,minT24hr_c,"
        "precip_in,pcp3hr_in,pcp6hr_in,pcp24hr_in,snow_in,vert_vis_ft,metar_type,elevation_m\n";
    std::set<std::string> seen;
    std::vector<const std::string*> chosen, later;
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
      if (line->size() < 12 || (*line)[4] != ' ' || (*line)[11] != 'Z') continue;
      (seen.insert(line->substr(0, 4)).second ? chosen : later).push_back(&*line);
    }
    for (const std::string* line : later) {
      if (chosen.size() >= kReports) break;
      chosen.push_back(line);
    }
    chosen.resize(std::min(chosen.size(), kReports));
    for (const std::string* line : chosen) {
      const std::string icao = line->substr(0, 4);
      const std::string time = "2010-11-" + line->substr(5, 2) + "T" + line->substr(7, 2) + ":" + line->substr(9, 2) +
                               ":00Z";
      csv += "\"" + *line + "\"," + icao + "," + time +
             ",47.46,8.55,8.0,3.0,240,8,,10.0,30.15,1021.0,,,TRUE,TRUE,,,,,,,FEW,3000,BKN,8000,,,,,VFR,,,,,,,,,,,,"
             "METAR,432.0\n";
    }
    file.gz = sample::gzipped(csv);
    std::mt19937 random(3);
    std::uniform_real_distribution<double> longitude(0.0, 360.0), colatitude(20.0, 160.0);
    for (const std::string& icao : seen) file.catalogue.push_back(At(icao, longitude(random), colatitude(random)));
    for (int i = 0; file.catalogue.size() < 10000; ++i)
      file.catalogue.push_back(At("X" + std::to_string(i), longitude(random), colatitude(random)));
    return file;
  }();
  return cache;
}

void BM_ReadAndColourCache5000(benchmark::State& state) {
  const CacheFile& cache = Cache();
  if (cache.gz.empty()) {
    state.SkipWithError("no data: the shared whole-day file is absent");
    return;
  }
  const MetarCacheOptions options{kDefaultInflateCeiling, UtcDateTime{2010, 11, 14, 23, 59}};
  std::size_t stations = 0;
  int skipped = 0;
  for (auto _ : state) {
    const WeatherSnapshot snapshot = readMetarCache(cache.gz, cache.catalogue, options);
    Colour mix = 0;
    for (const StationWeather& w : snapshot.stations)
      mix ^= weatherPointColour(w, WeatherColouring::kFlightCategory) ^ weatherPointColour(w, WeatherColouring::kTemperature);
    benchmark::DoNotOptimize(mix);
    stations = snapshot.stations.size();
    skipped = snapshot.skippedCount;
  }
  state.counters["stations"] = static_cast<double>(stations);
  state.counters["skipped"] = skipped;
  state.counters["gzip_bytes"] = static_cast<double>(cache.gz.size());
}
BENCHMARK(BM_ReadAndColourCache5000)->Unit(benchmark::kMillisecond);

void BM_InflateCache5000(benchmark::State& state) {
  const CacheFile& cache = Cache();
  if (cache.gz.empty()) {
    state.SkipWithError("no data: the shared whole-day file is absent");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(inflateDownload(cache.gz).text.size());
}
BENCHMARK(BM_InflateCache5000)->Unit(benchmark::kMillisecond);

// Draws nothing: the layer's own work.
class NullPainter : public Painter {
 public:
  void rect(const Rect&) override {}
  void ellipse(const Rect&) override {}
  void fillRect(const Rect& area, Colour colour) override { sink += static_cast<std::uint64_t>(area.left) + colour; }
  void line(Point, Point) override {}
  void pixel(Point at, Colour colour) override { sink += static_cast<std::uint64_t>(at.x) + colour; }
  void text(Point, std::string_view, Align) override {}
  Size textSize(std::string_view text) override { return Size{static_cast<int>(text.size()) * 6, 12}; }
  void image(std::string_view, Point) override {}
  std::uint64_t sink = 0;
};

struct TenThousand {
  StationList catalogue;
  WeatherSnapshot snapshot;
};

const TenThousand& Stations10000() {
  static const TenThousand data = [] {
    TenThousand d;
    std::mt19937 random(5);
    std::uniform_real_distribution<double> longitude(0.0, 360.0), colatitude(0.0, 180.0), celsius(-45.0, 48.0);
    for (int i = 0; i < 10000; ++i) {
      d.catalogue.push_back(At("S" + std::to_string(i), longitude(random), colatitude(random)));
      StationWeather w;
      w.station = static_cast<std::size_t>(i);
      w.category = static_cast<FlightCategory>(i % 5);
      w.temperatureC = celsius(random);
      d.snapshot.stations.push_back(w);
    }
    return d;
  }();
  return data;
}

void BM_DrawLayer10000(benchmark::State& state) {
  const TenThousand& data = Stations10000();
  const StationList open = {data.catalogue[10], data.catalogue[20]};
  const auto colouring = state.range(0) ? WeatherColouring::kTemperature : WeatherColouring::kFlightCategory;
  NullPainter nothing;
  for (auto _ : state) drawWeatherLayer(nothing, data.catalogue, data.snapshot, colouring, open);
  benchmark::DoNotOptimize(nothing.sink);
}
BENCHMARK(BM_DrawLayer10000)->Arg(0)->Arg(1)->ArgName("temperature")->Unit(benchmark::kMillisecond);

void BM_BuildHoverIndex10000(benchmark::State& state) {
  const TenThousand& data = Stations10000();
  const std::vector<std::size_t> indices = data.snapshot.stationIndices();
  for (auto _ : state) {
    StationPixelIndex index;
    index.build(data.catalogue, indices);
    benchmark::DoNotOptimize(index.size());
  }
}
BENCHMARK(BM_BuildHoverIndex10000)->Unit(benchmark::kMicrosecond);

void BM_HoverLookup10000(benchmark::State& state) {
  const TenThousand& data = Stations10000();
  StationPixelIndex index;
  index.build(data.catalogue);
  std::mt19937 random(9);
  std::uniform_int_distribution<int> x(0, 539), y(0, 340);
  std::vector<std::pair<int, int>> points(1024);
  for (auto& p : points) p = {x(random), y(random)};
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& [px, py] = points[i++ & 1023];
    benchmark::DoNotOptimize(index.nearest(px, py));
  }
}
BENCHMARK(BM_HoverLookup10000)->Unit(benchmark::kNanosecond);

}  // namespace
}  // namespace nimbrel

BENCHMARK_MAIN();
