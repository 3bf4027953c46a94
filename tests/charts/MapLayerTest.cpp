// The map window's layers: the stack's order and hit test, and each layer
// on every copy of a world that wraps; stacked, they draw what the single
// weather drawing drew.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "charts/MapLayer.h"
#include "charts/WeatherLayer.h"
#include "charts/WorldMapDrawing.h"
#include "map/MapProjection.h"
#include "support/PlacedStation.h"
#include "support/RecordingPainter.h"

namespace nimbrel {
namespace {

using test::StationAt;

StationWeather WeatherOf(std::size_t station, FlightCategory category) {
  StationWeather w;
  w.station = station;
  w.category = category;
  w.temperatureC = 20.0;
  return w;
}

MapViewport Sized(int width, int height, double zoom = 1.0) {
  MapViewport view;
  view.setSize(width, height);
  view.zoomAboutCentre(zoom);
  return view;
}

// The pixels of a station on each copy of the world inside the window.
std::vector<Pixel> CopyPixels(const MapViewport& view, const Station& s) {
  std::vector<Pixel> pixels;
  for (const MapViewport& copy : copiesInView(view)) {
    const Pixel p = copy.pixelOnFirstCopy(s.mapLongitude, s.mapColatitude);
    if (p.x >= 0 && p.x < view.width() && p.y >= 0 && p.y < view.height()) pixels.push_back(p);
  }
  return pixels;
}

// A layer that writes its name into a shared log and answers the hit test
// with a fixed station.
class LoggingLayer : public MapLayer {
 public:
  LoggingLayer(std::string name, std::vector<std::string>& log, int answer) : name(std::move(name)), log(log), answer(answer) {}
  void draw(Painter&, const MapFrame&) override { log.push_back("draw " + name); }
  int stationAt(const MapFrame&, int, int, int) const override {
    log.push_back("ask " + name);
    return answer;
  }
  void invalidate() override { log.push_back("invalidate " + name); }

 private:
  std::string name;
  std::vector<std::string>& log;
  int answer;
};

TEST(MapLayerStack, DrawsBottomFirstAndAsksFromTheTop) {
  std::vector<std::string> log;
  MapLayerStack stack;
  stack.add(std::make_unique<LoggingLayer>("base", log, 7));
  stack.add(std::make_unique<LoggingLayer>("points", log, -1));
  stack.add(std::make_unique<LoggingLayer>("top", log, -1));
  const MapViewport view;
  const MapContent content;
  test::RecordingPainter painter;
  stack.draw(painter, MapFrame{view, content});
  EXPECT_EQ(log, (std::vector<std::string>{"draw base", "draw points", "draw top"}));
  log.clear();
  // The topmost layer with an answer gives it; the ones below are not asked.
  EXPECT_EQ(stack.stationAt(MapFrame{view, content}, 10, 10, 4), 7);
  EXPECT_EQ(log, (std::vector<std::string>{"ask top", "ask points", "ask base"}));
  stack.add(std::make_unique<LoggingLayer>("card", log, 2));
  log.clear();
  EXPECT_EQ(stack.stationAt(MapFrame{view, content}, 10, 10, 4), 2);
  EXPECT_EQ(log, (std::vector<std::string>{"ask card"}));
  log.clear();
  stack.invalidate();
  EXPECT_EQ(log.size(), 4u);
}

// The window's standard stack, as WorldMapView builds it above the base map.
struct StandardStack {
  StandardStack() {
    stack.add(std::make_unique<GraticuleLayer>());
    stack.add(std::make_unique<StationPointsLayer>());
    weather = &stack.add(std::make_unique<WeatherPointsLayer>());
    stack.add(std::make_unique<OpenStationMarksLayer>());
    stack.add(std::make_unique<WeatherLegendLayer>());
    stack.add(std::make_unique<SelectionLayer>());
  }
  MapLayerStack stack;
  WeatherPointsLayer* weather = nullptr;
};

// Stacked, the weather's layers draw call for call what drawWeatherLayer
// drew (and the picture's pixels with it), whatever the view.
TEST(MapLayers, StackedTheyDrawWhatTheWeatherDrawingDrew) {
  const StationList catalogue = {StationAt("LSZH", 8.5, 47.5), StationAt("KORD", -87.9, 42.0),
                                 StationAt("YSSY", 151.2, -33.9), StationAt("NFFN", 177.4, -17.8)};
  WeatherSnapshot snapshot;
  snapshot.stations = {WeatherOf(0, FlightCategory::VFR), WeatherOf(1, FlightCategory::IFR),
                       WeatherOf(3, FlightCategory::LIFR)};
  const StationList open = {catalogue[2]};
  const struct {
    const char* name;
    MapViewport view;
  } views[] = {{"picture", MapViewport()}, {"wide", Sized(1920, 400)}, {"zoomed", Sized(800, 600, 8.0)}};
  for (const auto& v : views) {
    for (const WeatherColouring colouring : {WeatherColouring::kFlightCategory, WeatherColouring::kTemperature}) {
      SCOPED_TRACE(v.name);
      test::RecordingPainter direct, stacked;
      drawWeatherLayer(direct, catalogue, snapshot, colouring, open, true, v.view);
      MapLayerStack stack;
      stack.add(std::make_unique<WeatherPointsLayer>());
      stack.add(std::make_unique<OpenStationMarksLayer>());
      stack.add(std::make_unique<WeatherLegendLayer>());
      MapContent content;
      content.catalogue = &catalogue;
      content.openStations = &open;
      content.weather = &snapshot;
      content.colouring = colouring;
      stack.draw(stacked, MapFrame{v.view, content});
      ASSERT_EQ(stacked.calls.size(), direct.calls.size());
      for (std::size_t i = 0; i < direct.calls.size(); ++i) {
        EXPECT_EQ(stacked.calls[i].op, direct.calls[i].op) << i;
        EXPECT_EQ(stacked.calls[i].args, direct.calls[i].args) << i;
        EXPECT_EQ(stacked.calls[i].colour, direct.calls[i].colour) << i;
      }
    }
  }
}

// On a window wider than the world every layer draws every copy: each
// station's point, open mark and selection frame once a copy, the legend once.
TEST(MapLayers, EveryCopyOfTheWorldHoldsEveryStation) {
  const StationList catalogue = {StationAt("NFFN", 177.4, -17.8), StationAt("PADK", -176.6, 51.9),
                                 StationAt("LSZH", 8.5, 47.5)};
  WeatherSnapshot snapshot;
  snapshot.stations = {WeatherOf(0, FlightCategory::IFR), WeatherOf(2, FlightCategory::VFR)};
  const StationList open = {catalogue[1]};
  const struct {
    const char* name;
    MapViewport view;
    std::size_t fijiCopies;
  } views[] = {
      {"whole world, wide", Sized(1920, 400), 4},
      {"at two, wide", Sized(1920, 500, 2.0), 2},
  };
  for (const auto& v : views) {
    SCOPED_TRACE(v.name);
    ASSERT_EQ(CopyPixels(v.view, catalogue[0]).size(), v.fijiCopies);
    StandardStack layers;
    MapContent content;
    content.catalogue = &catalogue;
    content.openStations = &open;
    content.selected = 0;
    content.markAll = true;

    // Without weather: every station a red pixel on each copy, the open one marked.
    test::RecordingPainter plain;
    layers.stack.draw(plain, MapFrame{v.view, content});
    for (const Station& s : catalogue) {
      for (const Pixel& p : CopyPixels(v.view, s)) {
        const auto pixels = plain.Calls("Pixel");
        EXPECT_TRUE(std::any_of(pixels.begin(), pixels.end(), [&](const test::DrawCall* c) {
          return c->args == std::vector<int>{p.x, p.y} && c->colour == kStationPointColour;
        })) << s.icao << " at " << p.x;
      }
    }
    const auto fills = [](const test::RecordingPainter& painter, Colour colour) {
      std::vector<std::vector<int>> found;
      for (const test::DrawCall* c : painter.Calls("FillRect"))
        if (c->colour == colour) found.push_back(c->args);
      return found;
    };
    std::vector<std::vector<int>> marks;
    for (const Pixel& p : CopyPixels(v.view, open[0])) marks.push_back({p.x - 2, p.y - 2, 4, 4});
    EXPECT_EQ(fills(plain, kOpenStationColour), marks);

    // With weather: the points' 3 x 3 squares on each copy, one legend.
    content.weather = &snapshot;
    content.markAll = false;
    test::RecordingPainter painter;
    layers.stack.draw(painter, MapFrame{v.view, content});
    for (const auto& [station, colour] : {std::pair{std::size_t{0}, kIfrColour}, {std::size_t{2}, kVfrColour}}) {
      const auto squares = fills(painter, colour);
      for (const Pixel& p : CopyPixels(v.view, catalogue[station])) {
        EXPECT_NE(std::find(squares.begin(), squares.end(), std::vector<int>{p.x - 1, p.y - 1, 3, 3}), squares.end())
            << catalogue[station].icao << " at " << p.x;
      }
    }
    const std::vector<std::string> texts = painter.Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "VFR"), 1) << "one legend";
    // The selection's frame: four bars around each copy of Fiji.
    EXPECT_EQ(fills(painter, rgb(0, 0, 0)).size(), 4 * v.fijiCopies);
    // The card hangs from the copy nearest the window's centre.
    const std::optional<Pixel> anchor = SelectionLayer::anchor(MapFrame{v.view, content});
    ASSERT_TRUE(anchor);
    for (const Pixel& p : CopyPixels(v.view, catalogue[0]))
      EXPECT_LE(std::abs(anchor->x - v.view.width() / 2), std::abs(p.x - v.view.width() / 2));

    // The hit test: each copy of a station with weather answers; the one
    // without weather does not, nor anything without the weather shown.
    for (const Pixel& p : CopyPixels(v.view, catalogue[0]))
      EXPECT_EQ(layers.stack.stationAt(MapFrame{v.view, content}, p.x, p.y, 4), 0) << p.x;
    for (const Pixel& p : CopyPixels(v.view, catalogue[1]))
      EXPECT_EQ(layers.stack.stationAt(MapFrame{v.view, content}, p.x, p.y, 4), -1) << p.x;
    content.weather = nullptr;
    layers.stack.invalidate();
    const Pixel fiji = CopyPixels(v.view, catalogue[0]).front();
    EXPECT_EQ(layers.stack.stationAt(MapFrame{v.view, content}, fiji.x, fiji.y, 4), -1);
  }
}

// The graticule on a wrapping view: a meridian and its label once where two
// copies meet, none twice at one place.
TEST(MapLayers, TheGraticuleLabelsEachLineOnceAcrossTheSeams) {
  for (const auto& [width, zoom] : {std::pair{1920, 1.0}, {1920, 2.0}, {800, 8.0}}) {
    SCOPED_TRACE(testing::Message() << width << " at " << zoom);
    MapViewport view = Sized(width, 500, zoom);
    // The line at 180 in the middle of the window.
    const PointF line = view.toView(360.0, 90.0);
    view.panBy(width / 2.0 - line.x, 0);
    test::RecordingPainter painter;
    GraticuleLayer graticule;
    const MapContent content;
    graticule.draw(painter, MapFrame{view, content});
    std::map<std::pair<int, int>, int> at;
    for (const test::DrawCall* c : painter.Calls("Text")) ++at[{c->args[0], c->args[1]}];
    for (const auto& [where, count] : at) EXPECT_EQ(count, 1) << where.first << "," << where.second;
    const std::vector<std::string> texts = painter.Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "180W"), view.firstCopy() < 0 ? 0 : 1);
    EXPECT_GE(std::count(texts.begin(), texts.end(), "180"), 1);
    // Meridians run the window's height over every copy: some left and right of the middle.
    int left = 0, right = 0;
    for (const test::DrawCall* c : painter.Calls("Line"))
      if (c->args[0] == c->args[2]) (c->args[0] < width / 2 ? left : right)++;
    EXPECT_GT(left, 0);
    EXPECT_GT(right, 0);
  }
}

}  // namespace
}  // namespace nimbrel
