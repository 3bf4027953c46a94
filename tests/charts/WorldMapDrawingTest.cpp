// The world map's picture, station points and open-station marks, checked
// call by call.
#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <vector>

#include "charts/WorldMapDrawing.h"
#include "support/RecordingDrawContext.h"

namespace nimbrel {
namespace {

using test::RecordingDrawContext;

// The calls of the map drawing, as (operation, arguments, colour).
struct MapCall {
  std::string op;
  std::vector<int> args;
  Colour colour = 0;
  bool operator==(const MapCall&) const = default;
};

std::vector<MapCall> MapCalls(const RecordingDrawContext& dc) {
  std::vector<MapCall> out;
  for (const auto& call : dc.calls) out.push_back({call.op, call.args, call.colour});
  return out;
}

void PrintTo(const MapCall& call, std::ostream* os) {
  *os << call.op << "(";
  for (int a : call.args) *os << a << " ";
  *os << ") colour " << call.colour;
}

Station StationAt(const std::string& icao, double longitude, double latitude) {
  Station s;
  s.name = "STATION " + icao;
  s.icao = icao;
  s.mapLongitude = 180.0 + longitude;
  s.mapColatitude = 90.0 - latitude;
  s.hasPosition = true;
  return s;
}

Station Nowhere(const std::string& icao) {
  // As the reader leaves a station whose position is off the globe.
  Station s;
  s.icao = icao;
  return s;
}

TEST(WorldMapDrawing, ThePictureUnscaledAtTheOrigin) {
  RecordingDrawContext dc;
  drawMapPicture(dc);
  EXPECT_EQ(MapCalls(dc), (std::vector<MapCall>{{"DrawBitmap", {kWorldMapPicture, 0, 0}, 0}}));
}

TEST(WorldMapDrawing, PointsFollowTheProjectionAtTheMapCorners) {
  RecordingDrawContext dc;
  drawAllStationPoints(dc, {StationAt("NULL", 0.0, 0.0), StationAt("NWCR", -180.0, 90.0),
                            StationAt("SECR", 180.0, -90.0)});
  const std::vector<MapCall> expected = {
      {"SetPixel", {269, 169}, rgb(255, 0, 0)},
      {"SetPixel", {20, 45}, rgb(255, 0, 0)},
      {"SetPixel", {519, 294}, rgb(255, 0, 0)},
  };
  EXPECT_EQ(MapCalls(dc), expected);
}

TEST(WorldMapDrawing, OpenStationMarksAreBlueSquaresAroundThePoint) {
  RecordingDrawContext dc;
  drawOpenStationMarks(dc, {StationAt("NULL", 0.0, 0.0), StationAt("NWCR", -180.0, 90.0)});
  const std::vector<MapCall> expected = {
      {"FillSolidRect", {267, 167, 4, 4}, rgb(0, 0, 255)},
      {"FillSolidRect", {18, 43, 4, 4}, rgb(0, 0, 255)},
  };
  EXPECT_EQ(MapCalls(dc), expected);
}

TEST(WorldMapDrawing, AStationWithoutAPositionIsNeitherPointNorMark) {
  const StationList stations = {Nowhere("AAAA"), StationAt("BBBB", 10.0, 10.0), Nowhere("CCCC")};
  RecordingDrawContext dc;
  drawAllStationPoints(dc, stations);
  drawOpenStationMarks(dc, stations);
  ASSERT_EQ(dc.calls.size(), 2u);
  EXPECT_EQ(dc.calls[0].op, "SetPixel");
  EXPECT_EQ(dc.calls[1].op, "FillSolidRect");
  // It still counts in the catalogue.
  EXPECT_EQ(totalStationsText(stations), "Total stations: 3");
}

TEST(WorldMapDrawing, FarOffCoordinatesStayOffTheMap) {
  // Whatever a position holds, nothing lands on the map's own pixels by
  // wrapping round.
  const double inf = std::numeric_limits<double>::infinity();
  RecordingDrawContext dc;
  drawOpenStationMarks(dc, {StationAt("FARR", 1e300, 0.0), StationAt("INFN", inf, -inf)});
  ASSERT_EQ(dc.calls.size(), 2u);
  EXPECT_GT(dc.calls[0].args[0], kWorldMapWidth);
  EXPECT_GT(dc.calls[1].args[0], kWorldMapWidth);
  EXPECT_GT(dc.calls[1].args[1], kWorldMapHeight);
}

TEST(WorldMapDrawing, TotalStationsText) {
  EXPECT_EQ(totalStationsText({}), "Total stations: 0");
  EXPECT_EQ(totalStationsText(StationList(5645)), "Total stations: 5645");
}

}  // namespace
}  // namespace nimbrel
