// Any bytes as a station list and a report page, through the whole path a
// window takes: the map with open stations, the rows of a chart, the export
// text and a paint. Undefined behaviour is caught by the sanitizers; the
// export must hold one row per observation.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "base/DrawContext.h"
#include "base/Settings.h"
#include "map/MapProjection.h"
#include "catalog/StationListReader.h"
#include "catalog/StationSearch.h"
#include "charts/Chart.h"
#include "charts/StationChart.h"
#include "charts/WorldMapDrawing.h"
#include "observations/ReportPage.h"
#include "stationchart/MeteodataFile.h"

namespace {

// Checks every coordinate it is handed against the pixel range a window has.
class CheckingDrawContext : public nimbrel::DrawContext {
 public:
  void rectangle(int l, int t, int r, int b) override { check(l, t, r, b); }
  void ellipse(int l, int t, int r, int b) override { check(l, t, r, b); }
  void moveTo(int x, int y) override { check(x, y); }
  void lineTo(int x, int y) override { check(x, y); }
  void textOut(int x, int y, const std::string&) override { check(x, y); }
  unsigned setTextAlign(unsigned align) override { return std::exchange(textAlign, align); }
  nimbrel::Colour setTextColor(nimbrel::Colour c) override { return std::exchange(text, c); }
  nimbrel::Colour setBkColor(nimbrel::Colour c) override { return std::exchange(background, c); }
  nimbrel::Pen selectPen(const nimbrel::Pen& p) override { return std::exchange(pen, p); }
  nimbrel::Pen getCurrentPen() const override { return pen; }
  nimbrel::FontSpec selectFont(const nimbrel::FontSpec& f) override { return std::exchange(font, f); }
  nimbrel::Size getTextExtent(const std::string& s) override {
    return {static_cast<int>(s.size() > 100000 ? 100000 : s.size()) * 7, 14};
  }
  void fillSolidRect(int x, int y, int w, int h, nimbrel::Colour) override { check(x, y, w, h); }
  void setPixel(int x, int y, nimbrel::Colour) override { check(x, y); }
  void drawBitmap(int, int x, int y) override { check(x, y); }

 private:
  // Coordinates a drawing computes stay far from the int limits, so sums
  // of a few of them can never overflow.
  template <typename... Ints>
  static void check(Ints... values) {
    for (int v : {values...})
      if (v < -(1 << 28) || v > (1 << 28)) __builtin_trap();
  }
  unsigned textAlign = 0;
  nimbrel::Colour text = 0, background = 0;
  nimbrel::Pen pen;
  nimbrel::FontSpec font;
};

class FixedOwner : public nimbrel::ChartOwner {
 public:
  nimbrel::Rect getClientRect() const override { return {0, 0, 650, 670}; }
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
  CheckingDrawContext dc;
  nimbrel::drawAllStationPoints(dc, stations);
  nimbrel::drawOpenStationMarks(dc, stations);
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
    nimbrel::addObservationRow(chart, "12:00", it->temperature, it->pressure, it->windSpeed, it->windDirection);
  nimbrel::paintStationChart(chart, dc, observations.empty() ? 0.0 : observations.front().windDirection,
                             observations.empty() ? 0.0 : observations.front().windSpeed);
  return 0;
}
