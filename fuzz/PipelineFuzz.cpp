// Any bytes as a station list and a report page, through the whole path a
// window takes: the map with open stations, the rows of a chart, the export
// text and a paint. Undefined behaviour is caught by the sanitizers; the
// export must hold one row per observation.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Painter.h"
#include "base/Settings.h"
#include "map/MapProjection.h"
#include "catalog/StationListReader.h"
#include "catalog/StationSearch.h"
#include "charts/Chart.h"
#include "charts/WorldMapDrawing.h"
#include "observations/ReportPage.h"
#include "stationchart/MeteodataFile.h"
#include "stationchart/StationChart.h"

namespace {

// Checks every coordinate it is handed against the pixel range a window has.
class CheckingPainter : public nimbrel::Painter {
 public:
  void rect(const nimbrel::Rect& r) override { check(r.left, r.top, r.right, r.bottom); }
  void ellipse(const nimbrel::Rect& r) override { check(r.left, r.top, r.right, r.bottom); }
  void fillRect(const nimbrel::Rect& r, nimbrel::Colour) override { check(r.left, r.top, r.right, r.bottom); }
  void line(nimbrel::Point from, nimbrel::Point to) override { check(from.x, from.y, to.x, to.y); }
  void pixel(nimbrel::Point at, nimbrel::Colour) override { check(at.x, at.y); }
  void text(nimbrel::Point at, std::string_view, nimbrel::Align) override { check(at.x, at.y); }
  nimbrel::Size textSize(std::string_view s) override {
    return {static_cast<int>(s.size() > 100000 ? 100000 : s.size()) * 7, 14};
  }
  void image(std::string_view, nimbrel::Point at) override { check(at.x, at.y); }

 private:
  // Coordinates a drawing computes stay far from the int limits, so sums
  // of a few of them can never overflow.
  template <typename... Ints>
  static void check(Ints... values) {
    for (int v : {values...})
      if (v < -(1 << 28) || v > (1 << 28)) __builtin_trap();
  }
};

class FixedOwner : public nimbrel::ChartOwner {
 public:
  nimbrel::Rect clientRect() const override { return {0, 0, 650, 670}; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // The station list up to the first "\x01", the page after it.
  const std::size_t cut = input.find('\x01');
  const std::string_view listText = input.substr(0, cut);
  const std::string_view page = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);

  nimbrel::StationList stations;
  nimbrel::parseStationList(listText, stations);
  CheckingPainter painter;
  nimbrel::drawAllStationPoints(painter, stations);
  nimbrel::drawOpenStationMarks(painter, stations);
  if (const auto point = nimbrel::MapProjection::toMapPoint(270, 170))
    (void)nimbrel::nearestStations(stations, point->mapLongitude, point->mapColatitude, 90.0);

  nimbrel::ObservationList observations;
  nimbrel::readReportPage(page, &observations);
  const std::string exported = nimbrel::formatMeteodata(observations);
  std::size_t lines = 0;
  for (std::size_t at = exported.find("\r\n"); at != std::string::npos; at = exported.find("\r\n", at + 2)) ++lines;
  if (lines != observations.size() + 3) __builtin_trap();

  FixedOwner owner;
  nimbrel::Chart chart(&owner);
  const nimbrel::Station station = stations.empty() ? nimbrel::Station{} : stations.front();
  nimbrel::setupStationChart(chart, station, nimbrel::Settings{}, 30);
  for (auto it = observations.rbegin(); it != observations.rend(); ++it)
    nimbrel::addObservationRow(chart, "12:00", it->temperature, it->pressure - 1000.0, it->windSpeed,
                               it->windDirection);
  nimbrel::paintStationChart(chart, painter, observations.empty() ? 0.0 : observations.front().windDirection,
                             observations.empty() ? 0.0 : observations.front().windSpeed);
  return 0;
}
