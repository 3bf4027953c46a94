// The world map's current-weather layer: point colours drawn at the
// stations' pixels, the legend's corner, the hover index, and the texts.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "map/MapProjection.h"
#include "map/StationPixelIndex.h"
#include "catalog/StationListReader.h"
#include "charts/WeatherLayer.h"
#include "charts/WorldMapDrawing.h"
#include "support/PlacedStation.h"
#include "support/RecordingPainter.h"
#include "support/ZoneScope.h"

// Cases name only the weather values they set; the rest keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace nimbrel {
namespace {

constexpr Colour kMapBackground = rgb(255, 255, 0);

// A picture of the map's size: fills, pixels and rectangles land in it, so
// what a pixel shows after everything is drawn can be read back.
class ImageContext : public test::RecordingPainter {
 public:
  ImageContext() : pixels(std::size_t{kWorldMapWidth} * kWorldMapHeight, kMapBackground) {}
  void fillRect(const Rect& area, Colour colour) override {
    RecordingPainter::fillRect(area, colour);
    for (int py = area.top; py < area.bottom; ++py)
      for (int px = area.left; px < area.right; ++px) put(px, py, colour);
  }
  void pixel(Point at, Colour colour) override {
    RecordingPainter::pixel(at, colour);
    put(at.x, at.y, colour);
  }
  void rect(const Rect& r) override {
    RecordingPainter::rect(r);
    for (int py = r.top; py < r.bottom; ++py)
      for (int px = r.left; px < r.right; ++px)
        put(px, py, py == r.top || py == r.bottom - 1 || px == r.left || px == r.right - 1 ? pen().colour : brush());
  }
  Colour at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * kWorldMapWidth + x]; }

 private:
  void put(int x, int y, Colour colour) {
    if (x >= 0 && y >= 0 && x < kWorldMapWidth && y < kWorldMapHeight)
      pixels[static_cast<std::size_t>(y) * kWorldMapWidth + x] = colour;
  }
  std::vector<Colour> pixels;
};

using test::StationAt;

Pixel PixelOf(const Station& s) { return MapProjection::toPixel(s.mapLongitude, s.mapColatitude); }

StationWeather WeatherOf(std::size_t station, FlightCategory category, std::optional<double> celsius) {
  StationWeather w;
  w.station = station;
  w.category = category;
  w.temperatureC = celsius;
  return w;
}

double Distance(Colour a, Colour b) {
  const double dr = redOf(a) - redOf(b), dg = greenOf(a) - greenOf(b), db = blueOf(a) - blueOf(b);
  return std::sqrt(dr * dr + dg * dg + db * db);
}

TEST(WeatherLayer, PointsShowTheirStationsWeatherAtTheirPixels) {
  // Zurich VFR, Chicago IFR, Sydney no report (grey, never a category's
  // red), Tokyo VFR and open.
  const StationList catalogue = {StationAt("LSZH", 8.5, 47.5), StationAt("KORD", -87.9, 42.0),
                                 StationAt("YSSY", 151.2, -33.9), StationAt("RJTT", 139.8, 35.5)};
  WeatherSnapshot snapshot;
  snapshot.stations = {WeatherOf(0, FlightCategory::VFR, 8.0), WeatherOf(1, FlightCategory::IFR, -3.0),
                       WeatherOf(3, FlightCategory::VFR, 30.0)};
  const StationList open = {catalogue[3]};
  struct Case {
    WeatherColouring colouring;
    std::vector<Colour> expected;  // per catalogue station, at its pixel and around it
  };
  const Case cases[] = {
      {WeatherColouring::kFlightCategory, {kVfrColour, kIfrColour, kNoValueColour, kOpenStationColour}},
      {WeatherColouring::kTemperature,
       {temperatureColour(8.0), temperatureColour(-3.0), kNoValueColour, kOpenStationColour}},
  };
  for (const Case& c : cases) {
    ImageContext image;
    drawWeatherLayer(image, catalogue, snapshot, c.colouring, open);
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
      SCOPED_TRACE(catalogue[i].icao);
      const Pixel p = PixelOf(catalogue[i]);
      EXPECT_EQ(image.at(p.x, p.y), c.expected[i]);
      // A report fills the 3 x 3 square; without one, the pixel alone.
      const bool point = snapshot.forStation(i) != nullptr;
      EXPECT_EQ(image.at(p.x + 1, p.y + 1), point ? c.expected[i] : kMapBackground);
      EXPECT_EQ(image.at(p.x - 1, p.y), point ? c.expected[i] : kMapBackground);
      EXPECT_EQ(image.at(p.x + 2, p.y + 2), kMapBackground);
    }
  }
}

TEST(WeatherLayer, PointsHaveADarkRimThatShowsOnLand) {
  const StationList catalogue = {StationAt("EDDF", 8.6, 50.0)};
  WeatherSnapshot snapshot;
  snapshot.stations = {WeatherOf(0, FlightCategory::VFR, 20.0)};
  ImageContext image;
  drawWeatherLayer(image, catalogue, snapshot, WeatherColouring::kTemperature, {});
  const Pixel p = PixelOf(catalogue[0]);
  // The yellowish 20 degree point is ringed by a dark rim; the corners stay land.
  for (const auto& [dx, dy] : {std::pair{2, 0}, {-2, 1}, {0, 2}, {-1, -2}}) {
    EXPECT_LT(Distance(image.at(p.x + dx, p.y + dy), rgb(0, 0, 0)), 80.0) << dx << "," << dy;
  }
  EXPECT_EQ(image.at(p.x + 2, p.y - 2), kMapBackground);
}

// Points two pixels apart overlap by their rims: the later report's point
// lies on top, whatever the colours (the painter gets runs of one colour).
TEST(WeatherLayer, OverlappingPointsLieInTheReportsOrder) {
  // Stations eastward from 10 E on one parallel, at the first longitude
  // of each second pixel.
  StationList catalogue;
  Station s = StationAt("K200", 10.0, 20.0);
  const Pixel first = PixelOf(s);
  for (int k = 0; k < 4; ++k) {
    while (PixelOf(s).x < first.x + 2 * k) s.mapLongitude += 0.01;
    ASSERT_EQ(PixelOf(s).x, first.x + 2 * k);
    catalogue.push_back(s);
  }
  WeatherSnapshot snapshot;
  snapshot.stations = {WeatherOf(0, FlightCategory::VFR, 0.0), WeatherOf(1, FlightCategory::VFR, 0.0),
                       WeatherOf(2, FlightCategory::IFR, 0.0), WeatherOf(3, FlightCategory::VFR, 0.0)};
  ImageContext image;
  drawWeatherLayer(image, catalogue, snapshot, WeatherColouring::kFlightCategory, {});
  const int x = first.x, y = first.y;
  // Each centre is under the next point's rim; the last one shows whole.
  for (const int dx : {0, 2, 4}) {
    EXPECT_LT(Distance(image.at(x + dx, y), rgb(0, 0, 0)), 80.0) << dx;
  }
  EXPECT_EQ(image.at(x + 3, y), kIfrColour);
  EXPECT_EQ(image.at(x + 5, y), kVfrColour);
  EXPECT_EQ(image.at(x + 6, y), kVfrColour);
}

TEST(WeatherLayer, GreedyPlacementKeepsNoOverlapAndTheFirstWins) {
  // Boxes of a random crowd: kept ones never overlap, and each dropped one
  // overlaps one kept before it.
  std::vector<Rect> boxes;
  unsigned seed = 7;
  auto next = [&seed](int n) { seed = seed * 1103515245u + 12345u; return static_cast<int>((seed >> 8) % n); };
  for (int i = 0; i < 400; ++i) {
    const int x = next(600), y = next(400);
    boxes.push_back(Rect{x - 70, y - 20, x - 70 + 10 + next(40), y - 20 + 6 + next(12)});
  }
  const std::vector<bool> kept = placeWithoutOverlap(boxes);
  auto overlap = [](const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
  };
  int keptCount = 0;
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    keptCount += kept[i];
    bool blocked = false;
    for (std::size_t j = 0; j < i; ++j) {
      if (kept[j] && overlap(boxes[i], boxes[j])) blocked = true;
    }
    EXPECT_EQ(kept[i], !blocked) << i;
  }
  EXPECT_GT(keptCount, 20);
  EXPECT_LT(keptCount, 400);
}

TEST(WeatherLayer, ZoomedInTheWorseCategoryWinsTheLabelAndFarStationsGetPlots) {
  // Two neighbours a few pixels apart at 8x: one label, the IFR one's.
  const StationList crowd = {StationAt("AAAA", 8.50, 47.5), StationAt("BBBB", 8.52, 47.5)};
  WeatherSnapshot both;
  both.stations = {WeatherOf(0, FlightCategory::VFR, 8.0), WeatherOf(1, FlightCategory::IFR, 8.0)};
  MapViewport view;
  view.setSize(800, 600);
  const PointF zurich = view.toView(crowd[0].mapLongitude, crowd[0].mapColatitude);
  view.zoomAbout(8.0, zurich.x, zurich.y);
  ImageContext labels;
  drawWeatherLayer(labels, crowd, both, WeatherColouring::kFlightCategory, {}, true, view);
  EXPECT_EQ(labels.FindText("AAAA"), nullptr);
  EXPECT_NE(labels.FindText("BBBB"), nullptr);

  // At 64x stations far apart are plots: the ICAO code, temperature and dew
  // point, and a barb for 15 kt from 270 (a staff, one barb, one half barb).
  const StationList apart = {StationAt("CCCC", 8.0, 47.0), StationAt("DDDD", 9.0, 47.0)};
  WeatherSnapshot windy;
  windy.stations = {WeatherOf(0, FlightCategory::MVFR, 12.0), WeatherOf(1, FlightCategory::VFR, -3.0)};
  windy.stations[0].dewPointC = 7.0;
  windy.stations[0].windDirectionDeg = 270;
  windy.stations[0].windSpeedKt = 15.0;
  windy.stations[1].windSpeedKt = 0.0;
  view.showWholeWorld();
  const PointF middle = view.toView(apart[0].mapLongitude + 0.5, apart[0].mapColatitude);
  view.zoomAbout(64.0, middle.x, middle.y);
  ImageContext plots;
  drawWeatherLayer(plots, apart, windy, WeatherColouring::kFlightCategory, {}, true, view);
  for (const char* text : {"CCCC", "DDDD", "12", "7", "-3"}) EXPECT_NE(plots.FindText(text), nullptr) << text;
  const Pixel c = view.toPixel(apart[0].mapLongitude, apart[0].mapColatitude);
  // The staff runs west from the circle; the feathers leave its far end.
  int westward = 0, feathers = 0;
  for (const auto& seg : plots.Segments()) {
    if (seg.y0 == c.y && seg.y1 == c.y && seg.x1 < c.x - 20) ++westward;
    if (seg.x0 < c.x - 15 && seg.y1 != seg.y0) ++feathers;
  }
  EXPECT_EQ(westward, 1);
  EXPECT_EQ(feathers, 2);
  // Calm: the open circle around the other station.
  EXPECT_EQ(plots.Calls("Ellipse").size(), 1u);
}

TEST(WeatherLayer, CategoryColoursAreDistinctAndUnknownIsGrey) {
  const FlightCategory all[] = {FlightCategory::VFR, FlightCategory::MVFR, FlightCategory::IFR,
                                FlightCategory::LIFR};
  for (FlightCategory a : all) {
    EXPECT_NE(flightCategoryColour(a), kNoValueColour);
    EXPECT_GT(Distance(flightCategoryColour(a), kMapBackground), 150.0) << flightCategoryText(a);
    for (FlightCategory b : all) {
      if (a != b) {
        EXPECT_GT(Distance(flightCategoryColour(a), flightCategoryColour(b)), 100.0);
      }
    }
  }
  EXPECT_EQ(flightCategoryColour(FlightCategory::Unknown), kNoValueColour);
  EXPECT_EQ(weatherPointColour(WeatherOf(0, FlightCategory::VFR, std::nullopt), WeatherColouring::kTemperature),
            kNoValueColour);
}

TEST(WeatherLayer, TheTemperatureScaleIsFixedClampedSmoothAndReadable) {
  EXPECT_EQ(temperatureColour(-60.0), temperatureColour(kTemperatureScaleMinC));
  EXPECT_EQ(temperatureColour(60.0), temperatureColour(kTemperatureScaleMaxC));
  EXPECT_EQ(temperatureColour(std::nan("")), kNoValueColour);
  for (double c = kTemperatureScaleMinC; c < kTemperatureScaleMaxC; c += 0.25) {
    SCOPED_TRACE(c);
    // No jumps within a degree, a visible change over ten, and never close to the yellow land.
    EXPECT_LT(Distance(temperatureColour(c), temperatureColour(c + 0.25)), 12.0);
    if (c + 10.0 <= kTemperatureScaleMaxC) {
      EXPECT_GT(Distance(temperatureColour(c), temperatureColour(c + 10.0)), 60.0);
    }
    EXPECT_GT(Distance(temperatureColour(c), kMapBackground), 90.0);
  }
  // Cold is blue-ish, hot is red-ish.
  EXPECT_GT(blueOf(temperatureColour(-25.0)), redOf(temperatureColour(-25.0)));
  EXPECT_GT(redOf(temperatureColour(35.0)), blueOf(temperatureColour(35.0)));
}

TEST(WeatherLayer, TheLegendTakesTheFirstCornerWithoutStations) {
  const Size legend{60, 50};
  const Rect lowerLeft{22, 243, 82, 293}, lowerRight{458, 243, 518, 293}, upperLeft{22, 47, 82, 97},
      upperRight{458, 47, 518, 97};
  struct Case {
    const char* name;
    StationList stations;
    Rect expected;
  };
  const Case cases[] = {
      {"none", {}, lowerLeft},
      {"one in the lower left", {StationAt("A", -170.0, -60.0)}, lowerRight},
      {"one just outside the lower left, its point reaching in", {StationAt("A", -180.0 + 61.0 * 360 / 499, -60.0)},
       lowerRight},
      {"both lower corners", {StationAt("A", -170.0, -60.0), StationAt("B", 170.0, -60.0)}, upperLeft},
      {"all but the upper right",
       {StationAt("A", -170.0, -60.0), StationAt("B", 170.0, -60.0), StationAt("C", -170.0, 80.0)},
       upperRight},
      {"all four: the fewest",
       {StationAt("A", -170.0, -60.0), StationAt("A2", -169.0, -61.0), StationAt("B", 170.0, -60.0),
        StationAt("C", -170.0, 80.0), StationAt("D", 170.0, 80.0), StationAt("D2", 169.0, 79.0)},
       lowerRight},
  };
  for (const Case& c : cases) EXPECT_EQ(chooseLegendCorner(c.stations, legend), c.expected) << c.name;
}

TEST(WeatherLayer, TheLegendCoversNoStationOfTheRealList) {
  std::string text;
  if (!readStationListFile(NIMBREL_SHARED_STATIONS, text)) GTEST_SKIP() << "no shared station list";
  StationList catalogue;
  ASSERT_GT(parseStationList(text, catalogue), 1000);
  WeatherSnapshot snapshot;
  for (std::size_t i = 0; i < catalogue.size(); i += 3) snapshot.stations.push_back(WeatherOf(i, FlightCategory::MVFR, 0.0));
  for (const WeatherColouring colouring : {WeatherColouring::kFlightCategory, WeatherColouring::kTemperature}) {
    ImageContext image;
    drawWeatherLayer(image, catalogue, snapshot, colouring, {});
    const auto boxes = image.Calls("Rect");
    ASSERT_EQ(boxes.size(), 1u);
    const Rect box{boxes[0]->args[0], boxes[0]->args[1], boxes[0]->args[2], boxes[0]->args[3]};
    EXPECT_GT(box.width(), 20);
    EXPECT_GT(box.height(), 20);
    for (const Station& s : catalogue) {
      if (!s.hasPosition) continue;
      const Pixel p = PixelOf(s);
      EXPECT_FALSE(p.x >= box.left - 1 && p.x < box.right + 1 && p.y >= box.top - 1 && p.y < box.bottom + 1)
          << s.icao << " under the legend";
    }
  }
}

TEST(WeatherLayer, TheLegendShowsTheCurrentColouring) {
  ImageContext categories;
  drawWeatherLayer(categories, {}, {}, WeatherColouring::kFlightCategory, {});
  std::vector<Colour> swatches;
  for (const auto* call : categories.Calls("FillRect")) swatches.push_back(call->colour);
  EXPECT_EQ(swatches, (std::vector<Colour>{kVfrColour, kMvfrColour, kIfrColour, kLifrColour, kNoValueColour}));
  EXPECT_EQ(categories.Texts(), (std::vector<std::string>{"VFR", "MVFR", "IFR", "LIFR", "unknown"}));

  for (const bool metric : {true, false}) {
    ImageContext temperatures;
    drawWeatherLayer(temperatures, {}, {}, WeatherColouring::kTemperature, {}, metric);
    const auto bar = temperatures.Calls("FillRect");
    ASSERT_EQ(bar.size(), 86u);
    EXPECT_EQ(bar.front()->colour, temperatureColour(kTemperatureScaleMinC));
    EXPECT_EQ(bar.back()->colour, temperatureColour(kTemperatureScaleMaxC));
    const std::vector<std::string> texts = temperatures.Texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), metric ? "Temperature \xB0" "C" : "Temperature \xB0" "F");
    // The 0 °C or 32 °F label stands over the bar's column of its temperature.
    const auto* zero = temperatures.FindText(metric ? "0" : "40");
    ASSERT_NE(zero, nullptr);
    const double celsius = metric ? 0.0 : (40.0 - 32.0) / 1.8;
    EXPECT_EQ(zero->args[0], bar.front()->args[0] + std::lround(celsius - kTemperatureScaleMinC));
  }
}

TEST(StationPixelIndex, FindsTheNearestWithinTheRadiusAndNothingBeyond) {
  // Stations by pixel: build them at map coordinates that land on exact pixels.
  auto at = [](int x, int y) {
    Station s;
    s.hasPosition = true;
    s.mapLongitude = (x - MapProjection::kLeft + 0.5) / 1.386111111111111;
    s.mapColatitude = (y - MapProjection::kTop + 0.5) / 1.3833333333333333;
    return s;
  };
  const StationList stations = {at(100, 100), at(108, 100), at(300, 200), at(20, 45), at(519, 294), at(104, 100)};
  ASSERT_EQ(PixelOf(stations[1]), (Pixel{108, 100}));
  ASSERT_EQ(PixelOf(stations[4]), (Pixel{519, 294}));
  StationPixelIndex index;
  index.build(stations);
  struct Case {
    int x, y, expected;
  };
  const Case cases[] = {
      {100, 100, 0}, {97, 100, 0},  {96, 100, 0},   {95, 100, -1},  {100, 96, 0},   {100, 95, -1},
      {97, 97, -1},  {98, 97, 0},   {104, 100, 5},  {105, 100, 5},  {107, 100, 1},  {300, 204, 2},
      {303, 203, -1}, {16, 45, 3},  {15, 45, -1},   {523, 294, 4},  {0, 0, -1},     {-100000, 100, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(index.nearest(c.x, c.y), c.expected) << c.x << "," << c.y;
  EXPECT_EQ(index.nearest(102, 100), 0) << "a tie goes to the lower index";
  EXPECT_EQ(index.nearest(106, 100), 1) << "a tie goes to the lower index";
  EXPECT_EQ(index.nearest(112, 100, 10), 1) << "a wider radius";
  // Only the stations asked for.
  const std::vector<std::size_t> some = {1, 2};
  index.build(stations, some);
  EXPECT_EQ(index.nearest(100, 100), -1);
  EXPECT_EQ(index.nearest(106, 100), 1);
}

TEST(StationPixelIndex, AgreesWithLookingAtEveryStation) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> longitude(0.0, 360.0), colatitude(0.0, 180.0);
  StationList stations(3000);
  for (Station& s : stations) {
    s.hasPosition = true;
    s.mapLongitude = longitude(random);
    s.mapColatitude = colatitude(random);
  }
  StationPixelIndex index;
  index.build(stations);
  std::uniform_int_distribution<int> x(0, kWorldMapWidth), y(0, kWorldMapHeight);
  for (int query = 0; query < 3000; ++query) {
    const int qx = x(random), qy = y(random);
    int expected = -1;
    long best = 16;
    for (std::size_t i = 0; i < stations.size(); ++i) {
      const Pixel p = PixelOf(stations[i]);
      const long d = long(p.x - qx) * (p.x - qx) + long(p.y - qy) * (p.y - qy);
      if (d < best || (d == best && expected < 0)) {
        best = d;
        expected = static_cast<int>(i);
      }
    }
    ASSERT_EQ(index.nearest(qx, qy), expected) << qx << "," << qy;
  }
}

// Each value once in the user's units, the default ones (m/s) included:
// only a report's own "or more" is worded so, a 10SM is ten miles.
TEST(WeatherLayer, TooltipFollowsTheUnits) {
  const double mile = 1609.344;
  Station zurich = StationAt("LSZH", 8.5, 47.5);
  zurich.name = "ZURICH";
  StationWeather w;
  w.rawReport = "LSZH 071420Z 24015G28KT 4000 -RA BKN012 OVC030 08/03 Q1021";
  w.observedMinutes = 1000000;
  w.temperatureC = 8.0;
  w.windDirectionDeg = 240;
  w.windSpeedKt = 15.0;
  w.windGustKt = 28.0;
  w.visibilityM = 4000.0;
  w.ceilingFt = 1200;
  w.category = FlightCategory::MVFR;
  EXPECT_EQ(weatherTooltip(zurich, w, 1000037, DisplayUnits{}),
            "ZURICH (LSZH)\n37 min ago\nLSZH 071420Z 24015G28KT 4000 -RA BKN012 OVC030 08/03 Q1021\n"
            "Temperature: 8.0\xB0" "C\nWind: 240\xB0 at 7.7 m/s gusting to 14.4 m/s\n"
            "Visibility: 4000 m\nCeiling: 366 m\nCategory: MVFR");

  StationWeather plain = w;
  plain.rawReport.clear();
  StationWeather calm;
  calm.temperatureC = -4.7;
  calm.windSpeedKt = 0.0;
  calm.visibilityM = 10000.0;
  calm.visibilityMoreThan = true;
  StationWeather tenMiles;
  tenMiles.windSpeedKt = 3.0;
  tenMiles.visibilityM = 10 * mile;
  tenMiles.category = FlightCategory::VFR;
  StationWeather fog;
  fog.visibilityM = 0.25 * mile;
  fog.visibilityLessThan = true;
  fog.ceilingFt = 100;
  fog.category = FlightCategory::LIFR;
  const struct {
    const char* name;
    const StationWeather& weather;
    DisplayUnits units;
    const char* lines;  // temperature, wind, visibility, ceiling, category
  } cases[] = {
      {"nothing reported", StationWeather{}, DisplayUnits{},
       "Temperature: not reported\nWind: not reported\nVisibility: not reported\nCeiling: none\nCategory: unknown"},
      {"aviation", plain, unitPreset(UnitPreset::kAviation),
       "Temperature: 8.0\xB0" "C\nWind: 240\xB0 at 15 kt gusting to 28 kt\nVisibility: 4000 m\nCeiling: 1200 ft\n"
       "Category: MVFR"},
      {"US", plain, unitPreset(UnitPreset::kUs),
       "Temperature: 46.4\xB0" "F\nWind: 240\xB0 at 17 mph gusting to 32 mph\nVisibility: 2 1/2 SM\n"
       "Ceiling: 1200 ft\nCategory: MVFR"},
      {"metric, calm and 9999", calm, unitPreset(UnitPreset::kMetric),
       "Temperature: -4.7\xB0" "C\nWind: calm\nVisibility: 10 km or more\nCeiling: none\nCategory: unknown"},
      {"statute miles, 9999", calm, unitPreset(UnitPreset::kAviation, true),
       "Temperature: -4.7\xB0" "C\nWind: calm\nVisibility: 6 SM or more\nCeiling: none\nCategory: unknown"},
      {"10SM in US units", tenMiles, unitPreset(UnitPreset::kUs),
       "Temperature: not reported\nWind: variable at 3 mph\nVisibility: 10 SM\nCeiling: none\nCategory: VFR"},
      {"10SM in metric", tenMiles, unitPreset(UnitPreset::kMetric),
       "Temperature: not reported\nWind: variable at 6 km/h\nVisibility: 16 km\nCeiling: none\nCategory: VFR"},
      {"M1/4SM fog in metric", fog, unitPreset(UnitPreset::kMetric),
       "Temperature: not reported\nWind: not reported\nVisibility: less than 400 m\nCeiling: 30 m\nCategory: LIFR"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(weatherTooltip(StationAt("XXXX", 0, 0), c.weather, 0, c.units),
              "STATION XXXX (XXXX)\njust now\n\n" + std::string(c.lines))
        << c.name;
}

TEST(WeatherLayer, AgesAndThousands) {
  const std::pair<std::int64_t, const char*> ages[] = {
      {-5, "just now"}, {0, "just now"}, {1, "1 min ago"}, {119, "119 min ago"},
      {120, "2 h ago"}, {185, "3 h 5 min ago"}, {3 * 24 * 60 + 10, "3 days ago"},
  };
  for (const auto& [minutes, text] : ages) EXPECT_EQ(reportAgeText(minutes), text);
  const std::pair<long long, const char*> numbers[] = {
      {0, "0"}, {999, "999"}, {1000, "1,000"}, {4512, "4,512"}, {1234567, "1,234,567"}, {-1234, "-1,234"},
  };
  for (const auto& [value, text] : numbers) EXPECT_EQ(withThousands(value), text);
}

TEST(WeatherLayer, StatusText) {
  WeatherSnapshot snapshot;
  EXPECT_EQ(currentWeatherStatusText(snapshot, true), "Current weather: no reports");
  snapshot.stations.resize(4512);
  snapshot.newestMinutes = 1000 * 1440 + 14 * 60 + 50;
  EXPECT_EQ(currentWeatherStatusText(snapshot, true), "Current weather: 4,512 stations, reports up to 14:50 UTC");
  snapshot.stations.resize(1);
  snapshot.skippedCount = 1234;
  snapshot.problem = "the download was cut short";
  EXPECT_EQ(currentWeatherStatusText(snapshot, true),
            "Current weather: 1 station, reports up to 14:50 UTC, 1,234 reports skipped (the download was cut short)");
}

// What a user hides leaves the map in the picture and in a zoomed view alike:
// hidden categories, hidden ages, and with "unknown" the grey stations
// without a report too; nothing else moves.
TEST(WeatherLayer, TheFilterLeavesOutWhatItHides) {
  // Zurich VFR 20 min old, Chicago IFR 2 h old, Sydney no report, Tokyo
  // without a category 4 h old.
  const StationList catalogue = {StationAt("LSZH", 8.5, 47.5), StationAt("KORD", -87.9, 42.0),
                                 StationAt("YSSY", 151.2, -33.9), StationAt("RJTT", 139.8, 35.5)};
  const std::int64_t now = 1000000;
  WeatherSnapshot snapshot;
  snapshot.stations = {WeatherOf(0, FlightCategory::VFR, 8.0), WeatherOf(1, FlightCategory::IFR, -3.0),
                       WeatherOf(3, FlightCategory::Unknown, 30.0)};
  snapshot.stations[0].observedMinutes = now - 20;
  snapshot.stations[1].observedMinutes = now - 120;
  snapshot.stations[2].observedMinutes = now - 240;
  const struct {
    const char* name;
    MapFilter filter;
    std::vector<bool> shown;  // per catalogue station
  } cases[] = {
      {"nothing hidden", {}, {true, true, true, true}},
      {"VFR hidden", {kMapVfr, 0}, {false, true, true, true}},
      {"IFR and LIFR hidden", {kMapIfr | kMapLifr, 0}, {true, false, true, true}},
      {"unknown hidden, with no report", {kMapUnknown, 0}, {true, true, false, false}},
      {"older than 1 h", {0, 1}, {true, false, true, false}},
      // Exactly 2 h old is not older than 2 h; the menu offers 3 h.
      {"older than 3 h", {0, 3}, {true, true, true, false}},
      {"all categories", {kMapAllCategories, 0}, {false, false, false, false}},
  };
  MapViewport zoomed;
  zoomed.zoomAboutCentre(1.0001);  // a view, not the picture
  ASSERT_FALSE(zoomed.showsPicture());
  for (const auto& c : cases) {
    for (const bool picture : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (picture ? ", picture" : ", view"));
      ImageContext image;
      if (picture)
        drawWeatherLayer(image, catalogue, snapshot, WeatherColouring::kFlightCategory, {}, true, c.filter, now);
      else
        drawWeatherLayer(image, catalogue, snapshot, WeatherColouring::kFlightCategory, {}, true, zoomed, c.filter,
                         now);
      for (std::size_t i = 0; i < catalogue.size(); ++i) {
        const Pixel p = picture ? PixelOf(catalogue[i])
                                : zoomed.toPixel(catalogue[i].mapLongitude, catalogue[i].mapColatitude);
        const Colour expected = i == 0 ? kVfrColour : i == 1 ? kIfrColour : kNoValueColour;
        EXPECT_EQ(image.at(p.x, p.y), c.shown[i] ? expected : kMapBackground) << catalogue[i].icao;
      }
    }
    for (const StationWeather& w : snapshot.stations)
      EXPECT_EQ(filterShows(c.filter, w, now), c.shown[w.station]) << c.name << " " << catalogue[w.station].icao;
  }
}

TEST(WeatherLayer, TheLegendSaysWhatIsHidden) {
  struct Case {
    MapFilter filter;
    WeatherColouring colouring;
    std::vector<std::string> texts;  // what the legend writes, in order
  };
  const Case cases[] = {
      {{}, WeatherColouring::kFlightCategory, {"VFR", "MVFR", "IFR", "LIFR", "unknown"}},
      {{kMapMvfr | kMapUnknown, 0},
       WeatherColouring::kFlightCategory,
       {"VFR", "MVFR hidden", "IFR", "LIFR", "unknown hidden"}},
      {{kMapVfr, 3},
       WeatherColouring::kFlightCategory,
       {"older than 3 h hidden", "VFR hidden", "MVFR", "IFR", "LIFR", "unknown"}},
      {{kMapVfr | kMapLifr, 1}, WeatherColouring::kTemperature, {"Hidden: VFR, LIFR; older than 1 h"}},
      {{0, 3}, WeatherColouring::kTemperature, {"Hidden: older than 3 h"}},
  };
  for (const Case& c : cases) {
    ImageContext image;
    drawWeatherLayer(image, {}, {}, c.colouring, {}, true, c.filter, 0);
    std::vector<std::string> texts = image.Texts();
    if (c.colouring == WeatherColouring::kTemperature) {
      // The title and the scale's labels stay; the hidden line comes first.
      ASSERT_GE(texts.size(), 2u);
      EXPECT_EQ(texts[1], "Temperature \xB0" "C");
      texts.resize(1);
    }
    EXPECT_EQ(texts, c.texts) << mapFilterSettingText(c.filter);
    // A hidden category keeps an outline of its colour, not a filled swatch.
    if (c.colouring == WeatherColouring::kFlightCategory) {
      std::vector<Colour> filled;
      for (const auto* call : image.Calls("FillRect")) filled.push_back(call->colour);
      std::vector<Colour> expected;
      for (const auto& [bit, colour] : {std::pair{kMapVfr, kVfrColour}, {kMapMvfr, kMvfrColour}, {kMapIfr, kIfrColour},
                                        {kMapLifr, kLifrColour}, {kMapUnknown, kNoValueColour}})
        if (!(c.filter.hiddenCategories & bit)) expected.push_back(colour);
      EXPECT_EQ(filled, expected);
    }
  }
  // The box grows to hold a longer line, so nothing is cut off.
  ImageContext measure;
  EXPECT_GT(weatherLegendSize(measure, WeatherColouring::kFlightCategory, true, {kMapMvfr, 3}).height,
            weatherLegendSize(measure, WeatherColouring::kFlightCategory, true, {}).height);
}

TEST(WeatherLayer, TheBadgeSaysWhenThereIsNoCurrentWeather) {
  test::ZoneScope zone("Asia/Kolkata");
  const std::int64_t newest = 20000 * 1440 + 23 * 60 + 45;  // 23:45 UTC
  auto snapshot = [&](bool offline, bool failed, std::size_t count) {
    WeatherSnapshot s;
    s.offline = offline;
    s.downloadFailed = failed;
    s.stations.resize(count);
    s.newestMinutes = newest;
    return s;
  };
  const struct {
    const char* name;
    WeatherSnapshot snapshot;
    bool timeUtc;
    const char* text;
  } cases[] = {
      {"a download", snapshot(false, false, 12), true, ""},
      {"stored reports", snapshot(true, true, 12), true, "Offline: reports up to 23:45 UTC"},
      {"stored reports, local time", snapshot(true, true, 12), false, "Offline: reports up to 05:15 IST"},
      {"a later download failed", snapshot(false, true, 12), true, "Offline: reports up to 23:45 UTC"},
      {"nothing at all", snapshot(false, true, 0), true, "No current weather"},
      {"an empty store", snapshot(true, true, 0), false, "No current weather"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(noCurrentWeatherText(c.snapshot, c.timeUtc), c.text) << c.name;
    test::RecordingPainter painter;
    drawMapBadge(painter, c.text, 550);
    EXPECT_EQ(painter.Texts(), *c.text ? std::vector<std::string>{c.text} : std::vector<std::string>{}) << c.name;
  }
}

}  // namespace
}  // namespace nimbrel
