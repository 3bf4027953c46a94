#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "catalog/MapProjection.h"
#include "support/FakeMainFrame.h"
#include "support/RecordingDrawContext.h"
#include "charts/WorldMapDrawing.h"

namespace nimbrel {
namespace {

using test::FakeMainFrame;
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

Station stationAt(const std::string& icao, double longitude, double latitude) {
  Station s;
  s.name() = "STATION " + icao;
  s.icao() = icao;
  s.mapLongitude() = 180.0 + longitude;
  s.mapColatitude() = 90.0 - latitude;
  return s;
}

class WorldMapDrawingTest : public ::testing::Test {
 protected:
  FakeMainFrame frame;
  RecordingDrawContext dc;
  std::string messageText;
};

TEST_F(WorldMapDrawingTest, PointsFollowTheProjectionAtTheMapCorners) {
  frame.allStations.add(stationAt("NULL", 0.0, 0.0));
  frame.allStations.add(stationAt("NWCR", -180.0, 90.0));
  frame.allStations.add(stationAt("SECR", 180.0, -90.0));
  drawAllStationPoints(dc, frame, messageText);

  const std::vector<MapCall> expected = {
      {"SetPixel", {269, 169}, rgb(255, 0, 0)},
      {"SetPixel", {20, 45}, rgb(255, 0, 0)},
      {"SetPixel", {519, 294}, rgb(255, 0, 0)},
  };
  EXPECT_EQ(MapCalls(dc), expected);
}

TEST_F(WorldMapDrawingTest, AllStationPointsReportTheirCountInsideAWaitCursor) {
  for (int i = 0; i < 5; ++i) frame.allStations.add(stationAt("S" + std::to_string(i), i * 10.0, i * 5.0));
  drawAllStationPoints(dc, frame, messageText);

  EXPECT_EQ(dc.Calls("SetPixel").size(), 5u);
  EXPECT_EQ(messageText, "Total stations: 5");
  ASSERT_EQ(frame.statusTexts.size(), 1u);
  EXPECT_EQ(frame.statusTexts.back(), "Total stations: 5");
  EXPECT_EQ(frame.waitBegins, 1);
  EXPECT_EQ(frame.waitCount, 0);
}

TEST_F(WorldMapDrawingTest, NoStationsStillReportsZero) {
  drawAllStationPoints(dc, frame, messageText);
  EXPECT_TRUE(dc.calls.empty());
  ASSERT_EQ(frame.statusTexts.size(), 1u);
  EXPECT_EQ(frame.statusTexts.back(), "Total stations: 0");
}

TEST_F(WorldMapDrawingTest, OpenStationMarksAreBlueSquaresAroundThePoint) {
  StationList open;
  open.add(stationAt("NULL", 0.0, 0.0));
  open.add(stationAt("NWCR", -180.0, 90.0));
  drawOpenStationMarks(dc, open);

  const std::vector<MapCall> expected = {
      {"FillSolidRect", {267, 167, 4, 4}, rgb(0, 0, 255)},
      {"FillSolidRect", {18, 43, 4, 4}, rgb(0, 0, 255)},
  };
  EXPECT_EQ(MapCalls(dc), expected);
}

TEST_F(WorldMapDrawingTest, WholeMapDrawsPictureThenPointsThenMarks) {
  frame.allStations.add(stationAt("AAAA", 10.0, 10.0));
  frame.allStations.add(stationAt("BBBB", 20.0, 20.0));
  frame.openStations.add(stationAt("AAAA", 10.0, 10.0));
  drawWorldMap(dc, frame, true, messageText);

  ASSERT_EQ(dc.calls.size(), 4u);
  EXPECT_EQ(MapCalls(dc)[0], (MapCall{"DrawBitmap", {130, 0, 0}, 0}));
  EXPECT_EQ(dc.calls[1].op, "SetPixel");
  EXPECT_EQ(dc.calls[2].op, "SetPixel");
  EXPECT_EQ(dc.calls[3].op, "FillSolidRect");
  EXPECT_EQ(frame.statusTexts.back(), "Total stations: 2");
}

TEST_F(WorldMapDrawingTest, WithoutMarkAllOnlyPictureAndMarksAndNoStatusText) {
  frame.allStations.add(stationAt("AAAA", 10.0, 10.0));
  frame.openStations.add(stationAt("AAAA", 10.0, 10.0));
  drawWorldMap(dc, frame, false, messageText);

  ASSERT_EQ(dc.calls.size(), 2u);
  EXPECT_EQ(dc.calls[0].op, "DrawBitmap");
  EXPECT_EQ(dc.calls[1].op, "FillSolidRect");
  EXPECT_TRUE(frame.statusTexts.empty());
  EXPECT_TRUE(messageText.empty());
}

TEST(OpenStationList, ClosingOneOfTwoWindowsOfAStationKeepsOneMark) {
  StationList open;
  open.add(stationAt("EDDF", 8.5, 50.0));
  open.add(stationAt("LSZH", 8.5, 47.5));
  open.add(stationAt("EDDF", 8.5, 50.0));

  EXPECT_TRUE(removeOpenStation(open, "EDDF"));
  ASSERT_EQ(open.getSize(), 2);
  EXPECT_EQ(open.getAt(0).icao(), "LSZH");
  EXPECT_EQ(open.getAt(1).icao(), "EDDF");

  RecordingDrawContext dc;
  drawOpenStationMarks(dc, open);
  EXPECT_EQ(dc.Calls("FillSolidRect").size(), 2u);

  EXPECT_TRUE(removeOpenStation(open, "EDDF"));
  EXPECT_FALSE(removeOpenStation(open, "EDDF"));
  ASSERT_EQ(open.getSize(), 1);
  EXPECT_EQ(open.getAt(0).icao(), "LSZH");
}

TEST(OpenStationList, RemovalMatchesTheCodeByteForByte) {
  StationList open;
  open.add(stationAt("EDDF", 8.5, 50.0));
  EXPECT_FALSE(removeOpenStation(open, "eddf"));
  EXPECT_FALSE(removeOpenStation(open, "EDD"));
  EXPECT_FALSE(removeOpenStation(open, "EDDF "));
  EXPECT_EQ(open.getSize(), 1);
}

class MapCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    catalogue.mainFrame = &frame;
    catalogue.stations = &frame.allStations;
    catalogue.currentRecord = &frame.currentRecord;
    frame.allStations.add(stationAt("NULL", 0.0, 0.0));
    frame.allStations.add(stationAt("NEAR", 1.0, 1.0));
    frame.allStations.add(stationAt("FARR", 40.0, 40.0));
  }
  FakeMainFrame frame;
  StationCatalog catalogue;
  std::string messageText;
};

TEST_F(MapCommandTest, DoubleClickNearStationsOpensANearestStationsTable) {
  const Pixel p = StationCatalog::mapToPixel(180.0, 90.0);
  EXPECT_TRUE(showNearestStations(frame, catalogue, p.x, p.y, messageText));

  ASSERT_EQ(frame.windows.size(), 1u);
  EXPECT_EQ(frame.windows[0].kind, 2);
  EXPECT_EQ(frame.windows[0].title, "Nearest stations");
  ASSERT_EQ(frame.resultStations.getSize(), 2);
  EXPECT_EQ(frame.resultStations.getAt(0).icao(), "NULL");
  EXPECT_EQ(frame.resultStations.getAt(1).icao(), "NEAR");
  EXPECT_TRUE(frame.messages.empty());
  EXPECT_EQ(frame.waitCount, 0);
}

TEST_F(MapCommandTest, DoubleClickFindingNothingShowsTheDistanceWithTwoDecimals) {
  int waitCountAtMessage = -1;
  frame.onMessage = [&](const std::string&) { waitCountAtMessage = frame.waitCount; };
  const Pixel p = StationCatalog::mapToPixel(300.0, 150.0);
  EXPECT_FALSE(showNearestStations(frame, catalogue, p.x, p.y, messageText));

  EXPECT_TRUE(frame.windows.empty());
  ASSERT_EQ(frame.messages.size(), 1u);
  EXPECT_EQ(frame.messages[0], "Not found any station in a distance of 90.00 minutes around clicked point.");
  EXPECT_EQ(messageText, frame.messages[0]);
  EXPECT_EQ(waitCountAtMessage, 0) << "the wait cursor ends before the message box";
}

TEST_F(MapCommandTest, DoubleClickUsesTheNearestMinutesSetting) {
  frame.currentRecord.nearestMinutes() = 12.5;
  // Outside the map rectangle nothing is found, whatever the distance.
  EXPECT_FALSE(showNearestStations(frame, catalogue, 5, 5, messageText));
  ASSERT_EQ(frame.messages.size(), 1u);
  EXPECT_EQ(frame.messages[0], "Not found any station in a distance of 12.50 minutes around clicked point.");
}

TEST_F(MapCommandTest, ShowAllStationsOpensTheAllStationsTable) {
  showAllStations(frame);
  ASSERT_EQ(frame.windows.size(), 1u);
  EXPECT_EQ(frame.windows[0].kind, 3);
  EXPECT_EQ(frame.windows[0].title, "All stations");
  EXPECT_EQ(frame.waitBegins, 1);
  EXPECT_EQ(frame.waitCount, 0);
}

}  // namespace
}  // namespace nimbrel
