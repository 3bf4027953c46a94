#include <gtest/gtest.h>

#include "catalog/MapProjection.h"
#include "support/FakeMainFrame.h"
#include "views/FindCommand.h"

namespace nimbrel {
namespace {

using test::FakeMainFrame;

class FindCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    catalogue.mainFrame = &frame;
    catalogue.stations = &frame.allStations;
    catalogue.currentRecord = &frame.currentRecord;
    for (auto [name, icao] : {std::pair{"ZURICH", "LSZH"}, {"FRANKFURT MAIN", "EDDF"}, {"ZURS", "LOZS"}}) {
      Station s;
      s.name() = name;
      s.icao() = icao;
      frame.allStations.add(s);
    }
  }
  void TearDown() override { lastFindText.clear(); }
  FakeMainFrame frame;
  StationCatalog catalogue;
};

TEST_F(FindCommandTest, EmptyTextListsEveryStationInANearestStationsTable) {
  lastFindText.clear();
  EXPECT_EQ(findAndShowStations(frame, catalogue, frame.allStations), 3);
  EXPECT_EQ(frame.resultStations.getSize(), 3);
  ASSERT_EQ(frame.windows.size(), 1u);
  EXPECT_EQ(frame.windows[0].kind, 2);
  EXPECT_EQ(frame.windows[0].title, "Nearest stations");
}

TEST_F(FindCommandTest, SearchesTheGivenListForTheLastFindText) {
  lastFindText = "zur";
  EXPECT_EQ(findAndShowStations(frame, catalogue, frame.allStations), 2);
  ASSERT_EQ(frame.resultStations.getSize(), 2);
  EXPECT_EQ(frame.resultStations.getAt(0).icao(), "LSZH");
  EXPECT_EQ(frame.resultStations.getAt(1).icao(), "LOZS");

  StationList only;
  only.add(frame.allStations.getAt(1));
  lastFindText = "eddf";
  EXPECT_EQ(findAndShowStations(frame, catalogue, only), 1);
  EXPECT_EQ(frame.windows.size(), 2u);
}

TEST_F(FindCommandTest, NoMatchOpensNothing) {
  lastFindText = "nowhere";
  EXPECT_EQ(findAndShowStations(frame, catalogue, frame.allStations), 0);
  EXPECT_TRUE(frame.windows.empty());
  EXPECT_EQ(frame.messages.size(), 1u);
}

}  // namespace
}  // namespace nimbrel
