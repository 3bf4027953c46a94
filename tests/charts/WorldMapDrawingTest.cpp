// The world map's picture, station points and open-station marks, checked
// call by call.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include <limits>
#include <ostream>
#include <vector>

#include "charts/WorldMapDrawing.h"
#include "support/PlacedStation.h"
#include "support/RecordingPainter.h"

namespace nimbrel {
namespace {

using test::RecordingPainter;

// The calls of the map drawing, as (operation, arguments, colour).
struct MapCall {
  std::string op;
  std::vector<int> args;
  Colour colour = 0;
  bool operator==(const MapCall&) const = default;
};

std::vector<MapCall> MapCalls(const RecordingPainter& painter) {
  std::vector<MapCall> out;
  for (const auto& call : painter.calls) out.push_back({call.op, call.args, call.colour});
  return out;
}

void PrintTo(const MapCall& call, std::ostream* os) {
  *os << call.op << "(";
  for (int a : call.args) *os << a << " ";
  *os << ") colour " << call.colour;
}

using test::StationAt;

Station Nowhere(const std::string& icao) {
  // As the reader leaves a station whose position is off the globe.
  Station s;
  s.icao = icao;
  return s;
}

TEST(WorldMapDrawing, ThePictureUnscaledAtTheOrigin) {
  RecordingPainter painter;
  drawMapPicture(painter);
  EXPECT_EQ(MapCalls(painter), (std::vector<MapCall>{{"Image", {0, 0}, 0}}));
  EXPECT_EQ(painter.calls.front().text, "worldmap");
}

TEST(WorldMapDrawing, PointsFollowTheProjectionAtTheMapCorners) {
  RecordingPainter painter;
  drawAllStationPoints(painter, {StationAt("NULL", 0.0, 0.0), StationAt("NWCR", -180.0, 90.0),
                            StationAt("SECR", 180.0, -90.0)});
  const std::vector<MapCall> expected = {
      {"Pixel", {269, 169}, rgb(255, 0, 0)},
      {"Pixel", {20, 45}, rgb(255, 0, 0)},
      {"Pixel", {519, 294}, rgb(255, 0, 0)},
  };
  EXPECT_EQ(MapCalls(painter), expected);
}

TEST(WorldMapDrawing, OpenStationMarksAreBlueSquaresAroundThePoint) {
  RecordingPainter painter;
  drawOpenStationMarks(painter, {StationAt("NULL", 0.0, 0.0), StationAt("NWCR", -180.0, 90.0)});
  const std::vector<MapCall> expected = {
      {"FillRect", {267, 167, 4, 4}, rgb(0, 0, 255)},
      {"FillRect", {18, 43, 4, 4}, rgb(0, 0, 255)},
  };
  EXPECT_EQ(MapCalls(painter), expected);
}

TEST(WorldMapDrawing, AStationWithoutAPositionIsNeitherPointNorMark) {
  const StationList stations = {Nowhere("AAAA"), StationAt("BBBB", 10.0, 10.0), Nowhere("CCCC")};
  RecordingPainter painter;
  drawAllStationPoints(painter, stations);
  drawOpenStationMarks(painter, stations);
  ASSERT_EQ(painter.calls.size(), 2u);
  EXPECT_EQ(painter.calls[0].op, "Pixel");
  EXPECT_EQ(painter.calls[1].op, "FillRect");
  // It still counts in the catalogue.
  EXPECT_EQ(totalStationsText(stations), "Total stations: 3");
}

TEST(WorldMapDrawing, FarOffCoordinatesStayOffTheMap) {
  // Whatever a position holds, nothing lands on the map's own pixels by
  // wrapping round.
  const double inf = std::numeric_limits<double>::infinity();
  RecordingPainter painter;
  drawOpenStationMarks(painter, {StationAt("FARR", 1e300, 0.0), StationAt("INFN", inf, -inf)});
  ASSERT_EQ(painter.calls.size(), 2u);
  EXPECT_GT(painter.calls[0].args[0], kWorldMapWidth);
  EXPECT_GT(painter.calls[1].args[0], kWorldMapWidth);
  EXPECT_GT(painter.calls[1].args[1], kWorldMapHeight);
}

TEST(WorldMapDrawing, TotalStationsText) {
  EXPECT_EQ(totalStationsText({}), "Total stations: 0");
  EXPECT_EQ(totalStationsText(StationList(5645)), "Total stations: 5645");
}


std::string ReadMapFile(const char* name) {
  std::ifstream in(std::string(NIMBREL_MAP_DATA) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(VectorMap, TheShippedScalesReadWholeAndGrowFinerWithinTheirBudget) {
  std::size_t previous = 0, bytes = 0, memory = 0;
  for (const char* name : {"map110.bin", "map50.bin", "map10.bin"}) {
    SCOPED_TRACE(name);
    const std::string file = ReadMapFile(name);
    bytes += file.size();
    VectorMap map;
    std::string error;
    ASSERT_TRUE(map.read(file, error)) << error;
    for (MapLayerKind kind : {MapLayerKind::kLand, MapLayerKind::kCoastline, MapLayerKind::kBorder}) {
      ASSERT_NE(map.layer(kind), nullptr);
      EXPECT_FALSE(map.layer(kind)->chunks.empty());
    }
    EXPECT_GT(map.pointCount(), previous * 2);
    previous = map.pointCount();
    memory += map.memoryBytes();
  }
  EXPECT_LE(bytes, 6u << 20);
  EXPECT_LE(memory, 40u << 20);
}

TEST(VectorMap, DamagedDataIsRefusedWithAReason) {
  const std::string good = ReadMapFile("map110.bin");
  ASSERT_GT(good.size(), 1000u);
  // The first land cell's east edge moved onto its west edge: its points fall outside.
  std::string narrowed = good;
  narrowed.replace(21, 4, good.substr(13, 4));
  const std::string cases[] = {
      "", "NMV2" + good.substr(4), good.substr(0, 9), good.substr(0, good.size() / 2), good.substr(0, good.size() - 1),
      good + '\0', narrowed, std::string("NMV1\xff\xff\xff\xff", 8),
  };
  for (const std::string& bytes : cases) {
    VectorMap map;
    std::string error;
    EXPECT_FALSE(map.read(bytes, error)) << bytes.size();
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(map.pointCount(), 0u);
  }
}

TEST(VectorMap, OnlyChunksInViewAreProjectedAndTheyReachIntoIt) {
  VectorMap map;
  std::string error;
  ASSERT_TRUE(map.read(ReadMapFile("map10.bin"), error)) << error;
  MapViewport view;
  view.setSize(1200, 800);
  const PointF eastUs = view.toView(180.0 - 77.0, 90.0 - 38.0);
  view.zoomAbout(64.0, eastUs.x, eastUs.y);
  EXPECT_EQ(mapScaleFor(view), 2);
  const VectorLayer& coast = *map.layer(MapLayerKind::kCoastline);
  std::size_t visited = 0;
  forEachChunkInView(coast, view, [&](const ProjectedChunk& chunk) {
    ++visited;
    bool inside = false;
    for (const PointF& p : chunk.points) inside |= p.x >= -2 && p.y >= -2 && p.x <= 1202 && p.y <= 802;
    EXPECT_TRUE(inside || chunk.points.size() >= 2);
  });
  EXPECT_GT(visited, 0u);
  EXPECT_LT(visited * 50, coast.chunks.size());
}

// Odd-even over the rings of the filled chunks holding the point: inside the layer's fill.
bool FilledAt(const VectorLayer& layer, double longitude, double latitude) {
  const double x = longitude * 10000, y = latitude * 10000;
  bool inside = false;
  for (const VectorLayer::Chunk& chunk : layer.chunks) {
    if (x < chunk.west || x > chunk.east || y < chunk.south || y > chunk.north) continue;
    for (std::uint32_t r = chunk.firstRing; r < chunk.firstRing + chunk.ringCount; ++r) {
      const std::uint32_t first = layer.ringStart[r], end = layer.ringStart[r + 1];
      for (std::uint32_t i = first, j = end - 1; i < end; j = i++) {
        const double xi = layer.points[2 * i], yi = layer.points[2 * i + 1];
        const double xj = layer.points[2 * j], yj = layer.points[2 * j + 1];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
      }
    }
  }
  return inside;
}

TEST(VectorMap, EveryScaleHasTheLakesWithTheirIslandsAndTheStateBorders) {
  for (const char* name : {"map110.bin", "map50.bin", "map10.bin"}) {
    SCOPED_TRACE(name);
    VectorMap map;
    std::string error;
    ASSERT_TRUE(map.read(ReadMapFile(name), error)) << error;
    for (MapLayerKind kind : {MapLayerKind::kLake, MapLayerKind::kLakeShore, MapLayerKind::kDivisionBorder})
      ASSERT_NE(map.layer(kind), nullptr);
    const VectorLayer& lakes = *map.layer(MapLayerKind::kLake);
    EXPECT_TRUE(FilledAt(lakes, -87.5, 47.7));   // Lake Superior
    EXPECT_TRUE(FilledAt(lakes, 32.8, -1.0));    // Lake Victoria
    EXPECT_FALSE(FilledAt(lakes, -82.2, 45.8));  // Manitoulin Island, in Lake Huron
    EXPECT_FALSE(FilledAt(lakes, -100.0, 40.0)); // Nebraska
    // The Colorado-Utah line is a state border; the 49th parallel west of the lakes is not.
    const VectorLayer& states = *map.layer(MapLayerKind::kDivisionBorder);
    int colorado = 0, parallel = 0;
    for (std::size_t p = 0; p < states.points.size(); p += 2) {
      const std::int32_t x = states.points[p], y = states.points[p + 1];
      colorado += x > -1091000 && x < -1090000 && y > 380000 && y < 400000;
      parallel += x > -1200000 && x < -1000000 && std::abs(y - 490000) < 50;
    }
    EXPECT_GT(colorado, 0);
    EXPECT_EQ(parallel, 0);
  }
}

// Natural Earth cuts its rings along the 180th meridian and the pole; those
// cuts are no coast, and no line may jump across the map from edge to edge.
TEST(VectorMap, NoOutlineRunsAlongOrJumpsAcrossTheAntimeridian) {
  constexpr std::int32_t kEdge = 1800000, kPole = 899000;
  for (const char* name : {"map110.bin", "map50.bin", "map10.bin"}) {
    SCOPED_TRACE(name);
    VectorMap map;
    std::string error;
    ASSERT_TRUE(map.read(ReadMapFile(name), error)) << error;
    for (MapLayerKind kind : {MapLayerKind::kCoastline, MapLayerKind::kBorder, MapLayerKind::kLakeShore,
                              MapLayerKind::kDivisionBorder}) {
      const VectorLayer& layer = *map.layer(kind);
      int alongCut = 0, jumps = 0, reachingEdge = 0;
      for (std::size_t r = 0; r + 1 < layer.ringStart.size(); ++r)
        for (std::uint32_t p = layer.ringStart[r]; p + 1 < layer.ringStart[r + 1]; ++p) {
          const std::int32_t x0 = layer.points[2 * p], y0 = layer.points[2 * p + 1];
          const std::int32_t x1 = layer.points[2 * p + 2], y1 = layer.points[2 * p + 3];
          alongCut += (std::abs(x0) == kEdge && x0 == x1) || (std::abs(y0) > kPole && std::abs(y1) > kPole);
          jumps += std::abs(x1 - x0) > kEdge;
          reachingEdge += std::abs(x1) == kEdge;
        }
      EXPECT_EQ(alongCut, 0) << static_cast<int>(kind);
      EXPECT_EQ(jumps, 0) << static_cast<int>(kind);
      // Chukotka's and Antarctica's coasts go on to the edge rather than stop short of it.
      if (kind == MapLayerKind::kCoastline) {
        EXPECT_GE(reachingEdge, 4);
      }
    }
  }
}

TEST(WorldMapDrawing, StateBordersAreDrawnFromFourTimesUnderTheCountryBorders) {
  const struct {
    double zoom;
    bool states;
  } cases[] = {{1.0, false}, {2.0, false}, {3.9, false}, {4.0, true}, {64.0, true}};
  for (const auto& c : cases) {
    MapViewport view;
    view.setSize(1200, 800);
    view.zoomAboutCentre(c.zoom);
    std::vector<MapLayerKind> kinds;
    for (const MapLayerStyle& style : mapLayersFor(view)) kinds.push_back(style.kind);
    const auto at = [&](MapLayerKind k) { return std::find(kinds.begin(), kinds.end(), k) - kinds.begin(); };
    EXPECT_EQ(at(MapLayerKind::kDivisionBorder) < static_cast<long>(kinds.size()), c.states) << c.zoom;
    EXPECT_LT(at(MapLayerKind::kLand), at(MapLayerKind::kLake));
    EXPECT_LT(at(MapLayerKind::kLake), at(MapLayerKind::kLakeShore));
    if (c.states) {
      EXPECT_LT(at(MapLayerKind::kDivisionBorder), at(MapLayerKind::kBorder));
    }
  }
}

TEST(WorldMapDrawing, TheGraticuleStepFollowsTheZoom) {
  const struct {
    double zoom;
    int step;
  } cases[] = {{1.0, 30}, {8.0, 10}, {16.0, 5}, {64.0, 1}};
  for (const auto& c : cases) {
    MapViewport view;
    view.zoomAboutCentre(c.zoom);
    EXPECT_EQ(graticuleStep(view), c.step) << c.zoom;
    test::RecordingPainter painter;
    drawGraticule(painter, view);
    EXPECT_FALSE(painter.Texts().empty());
  }
}

}  // namespace
}  // namespace nimbrel
