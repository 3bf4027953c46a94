// Any bytes as the whole world's METAR cache, plain or gzipped (cut where
// the input says): the reader must not crash or run away, what it keeps must
// hold together, and the weather layer must draw and describe it.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "map/StationPixelIndex.h"
#include "charts/WeatherLayer.h"
#include "observations/MetarCache.h"

namespace {

class NullPainter : public nimbrel::Painter {
 public:
  void rect(const nimbrel::Rect&) override {}
  void ellipse(const nimbrel::Rect&) override {}
  void fillRect(const nimbrel::Rect&, nimbrel::Colour) override {}
  void line(nimbrel::Point, nimbrel::Point) override {}
  void pixel(nimbrel::Point, nimbrel::Colour) override {}
  void text(nimbrel::Point, std::string_view, nimbrel::Align) override {}
  nimbrel::Size textSize(std::string_view text) override { return {static_cast<int>(text.size()) * 6, 12}; }
  void image(std::string_view, nimbrel::Point) override {}
};

std::string gzipped(std::string_view text) {
  z_stream stream{};
  if (deflateInit2(&stream, 1, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) __builtin_trap();
  std::string out(deflateBound(&stream, text.size()) + 64, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  stream.avail_in = static_cast<uInt>(text.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  if (deflate(&stream, Z_FINISH) != Z_STREAM_END) __builtin_trap();
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

nimbrel::Station at(const char* icao, double longitude, double latitude) {
  nimbrel::Station s;
  s.icao = icao;
  s.name = icao;
  s.mapLongitude = 180.0 + longitude;
  s.mapColatitude = 90.0 - latitude;
  s.hasPosition = true;
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace nimbrel;
  static const StationList catalogue = {at("LIRF", 12.2, 41.8), at("CYBW", -114.4, 51.1), at("KJFK", -73.8, 40.6),
                                        at("EGLL", -0.5, 51.5),  at("LSZH", 8.5, 47.5),    at("YSSY", 151.2, -33.9)};
  // First byte: bit 0 gzips the rest, the other bits cut the gzip stream
  // short by that many bytes; a bit of the second byte sets a small ceiling,
  // else the program's own.
  if (size < 2) return 0;
  const bool gzip = data[0] & 1;
  const std::size_t cut = data[0] >> 1;
  const std::size_t ceiling = data[1] & 1 ? 4096 : kDefaultInflateCeiling;
  const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
  std::string download = gzip ? gzipped(rest) : std::string(rest);
  if (gzip) download.resize(download.size() - std::min(cut, download.size()));

  const WeatherSnapshot snapshot =
      readMetarCache(download, catalogue, MetarCacheOptions{ceiling, UtcDateTime{2026, 9, 16, 8, 0}});
  if (snapshot.skippedCount > snapshot.reportCount || snapshot.stations.size() > catalogue.size() ||
      static_cast<int>(snapshot.stations.size()) + snapshot.unknownStationCount + snapshot.skippedCount >
          snapshot.reportCount)
    __builtin_trap();
  for (std::size_t i = 0; i < snapshot.stations.size(); ++i) {
    const StationWeather& w = snapshot.stations[i];
    if (w.station >= catalogue.size() || (i > 0 && snapshot.stations[i - 1].station >= w.station)) __builtin_trap();
    if (w.observedMinutes > snapshot.newestMinutes || snapshot.forStation(w.station) != &w) __builtin_trap();
    if (weatherTooltip(catalogue[w.station], w, snapshot.newestMinutes,
                       data[1] & 2 ? unitPreset(UnitPreset::kUs) : DisplayUnits{}).empty()) __builtin_trap();
  }
  if (currentWeatherStatusText(snapshot, data[1] & 8).empty()) __builtin_trap();
  NullPainter nothing;
  drawWeatherLayer(nothing, catalogue, snapshot, data[1] & 4 ? WeatherColouring::kTemperature : WeatherColouring::kFlightCategory,
                   catalogue);
  StationPixelIndex index;
  index.build(catalogue, snapshot.stationIndices());
  const int hovered = index.nearest(data[1], size % 341);
  if (hovered >= 0 && snapshot.forStation(static_cast<std::size_t>(hovered)) == nullptr) __builtin_trap();
  return 0;
}
