// Finding stations by a part of their name or ICAO code, and around a map
// point. Each search returns its own list: a result table searched again
// keeps what it showed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalog/StationSearch.h"

namespace nimbrel {
namespace {

Station At(double mapLongitude, double mapColatitude, const std::string& name, const std::string& icao = "") {
  Station s;
  s.name = name;
  s.icao = icao;
  s.mapLongitude = mapLongitude;
  s.mapColatitude = mapColatitude;
  s.hasPosition = true;
  return s;
}

std::vector<std::string> Names(const StationList& list) {
  std::vector<std::string> names;
  for (const Station& s : list) names.push_back(s.name);
  return names;
}

struct MapCoordinates {
  double mapLongitude;
  double mapColatitude;
};

MapCoordinates PointAt(double mapLongitude, double mapColatitude) { return {mapLongitude, mapColatitude}; }

StationList Nearest(const StationList& all, MapCoordinates point, double minutes) {
  return nearestStations(all, point.mapLongitude, point.mapColatitude, minutes);
}

class StationSearch : public ::testing::Test {
 protected:
  const StationList all = {At(1, 1, "ZURICH", "LSZH"), At(1, 1, "BERN", "LSZB"), At(1, 1, "Bazurka", "XXXX"),
                           At(1, 1, "GENEVA", "LSGG"), At(1, 1, "\xC9TEL", "EEEE")};
};

TEST_F(StationSearch, NameOrIcaoCodeWithoutCaseInListOrder) {
  const struct {
    const char* query;
    std::vector<std::string> found;
  } cases[] = {
      {"zur", {"ZURICH", "Bazurka"}},
      {"ZUR", {"ZURICH", "Bazurka"}},
      {"zUr", {"ZURICH", "Bazurka"}},
      {"zb", {"BERN"}},  // by its code only
      {"lsgg", {"GENEVA"}},
      {"", {"ZURICH", "BERN", "Bazurka", "GENEVA", "\xC9TEL"}},
      {"\xC9te", {"\xC9TEL"}},  // bytes above 127 match only themselves
      {"\xE9te", {}},
      {"nowhere", {}},
      {"ZURICHX", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Names(findStations(c.query, all)), c.found) << c.query;
    const Station* first = findFirstStation(c.query, all);
    if (c.found.empty()) {
      EXPECT_EQ(first, nullptr) << c.query;
    } else {
      ASSERT_NE(first, nullptr) << c.query;
      EXPECT_EQ(first->name, c.found.front()) << c.query;
    }
  }
}

TEST_F(StationSearch, FirstMatchPointsIntoTheSearchedList) {
  const Station* first = findFirstStation("zurich", all);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, &all[0]);
  EXPECT_EQ(findStations("GENEVA", all).front(), all[3]);  // a whole copy, every field
}

// A recent entry names one station: its whole name wins over a longer name
// listed before it, a code over a name that holds it; else the first match.
TEST(NamedStation, AWholeNameThenACodeThenTheFirstThatHoldsIt) {
  const StationList all = {At(1, 1, "RESOLUTE CS", "CWRU"), At(1, 1, "RESOLUTE", "CYRB"),
                           At(1, 1, "BERNINA", "LSZB"),     At(1, 1, "LSZB", "XXXX"),
                           At(1, 1, "Bern", "BERN"),        At(1, 1, "EGLL HEATHROW", "EGKK"),
                           At(1, 1, "LONDON", "EGLL")};
  const struct {
    const char* query;
    const char* name;  // null: none
  } cases[] = {
      {"RESOLUTE", "RESOLUTE"},      // not RESOLUTE CS, listed first
      {"resolute", "RESOLUTE"},      // without case, as the substring rule
      {"RESOLUTE C", "RESOLUTE CS"},  // no whole name: the first that holds it
      {"RESOLUT", "RESOLUTE CS"},
      {"LSZB", "LSZB"},              // a whole name before a code
      {"bern", "Bern"},              // a whole name after a longer one that holds it
      {"EGLL", "LONDON"},            // a code before a name that holds it
      {"CYRB", "RESOLUTE"},
      {"OLUTE CS", "RESOLUTE CS"},
      {"RESOLUTE CS ", nullptr},
      {"", "RESOLUTE CS"},
  };
  for (const auto& c : cases) {
    const Station* found = findNamedStation(c.query, all);
    if (c.name == nullptr) {
      EXPECT_EQ(found, nullptr) << c.query;
      continue;
    }
    ASSERT_NE(found, nullptr) << c.query;
    EXPECT_EQ(found->name, c.name) << c.query;
    EXPECT_GE(found, all.data());
    EXPECT_LT(found, all.data() + all.size());
  }
}

TEST_F(StationSearch, NoStationMessageLowersOnlyAsciiLetters) {
  EXPECT_EQ(noStationMessage("NoWhere"), "No station \"nowhere\" in a list.");
  EXPECT_EQ(noStationMessage("\xC9TE"), "No station \"\xC9te\" in a list.");
  EXPECT_EQ(noStationMessage(""), "No station \"\" in a list.");
}

TEST(NearestStations, AStrictSquareInMapDegreesWithoutWrapping) {
  // The map's top-left corner is map longitude 0, map colatitude 0.
  const StationList all = {At(1.5, 0.0, "EDGE X"), At(0.0, 1.5, "EDGE Y"), At(1.49, 1.49, "CORNER"),
                           At(0.0, 0.0, "ON POINT"), At(359.9, 0.0, "ACROSS THE EDGE")};
  const struct {
    MapCoordinates point;
    double minutes;
    std::vector<std::string> found;
  } cases[] = {
      {PointAt(0, 0), 90.0, {"CORNER", "ON POINT"}},
      {PointAt(0, 0), 0.0, {}},
      {PointAt(0, 0), -90.0, {}},
      {PointAt(0, 0), 91.0, {"EDGE X", "EDGE Y", "CORNER", "ON POINT"}},
      // The right edge does not see stations across the left one either.
      {PointAt(360, 0), 600.0, {"ACROSS THE EDGE"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Names(Nearest(all, c.point, c.minutes)), c.found)
        << c.point.mapLongitude << " " << c.minutes;
}

TEST(NearestStations, AStationWithoutAPositionIsNeverFound) {
  Station nowhere = At(0.0, 0.0, "NOWHERE");
  nowhere.hasPosition = false;
  const StationList all = {nowhere, At(0.5, 0.5, "HERE")};
  EXPECT_EQ(Names(Nearest(all, PointAt(0, 0), 90.0)), (std::vector<std::string>{"HERE"}));
  EXPECT_EQ(Names(Nearest(all, PointAt(0, 0), 1e9)), (std::vector<std::string>{"HERE"}));
}

TEST(NearestStations, TheResultIsSearchedOnItsOwn) {
  const StationList all = {At(10.0, 10.0, "NEAR ONE", "AAAA"), At(10.5, 10.5, "NEAR TWO", "BBBB"),
                           At(100.0, 100.0, "FAR ONE", "CCCC")};
  const StationList nearest = Nearest(all, PointAt(10.1, 10.1), 90.0);
  ASSERT_EQ(Names(nearest), (std::vector<std::string>{"NEAR ONE", "NEAR TWO"}));
  EXPECT_EQ(Names(findStations("two", nearest)), (std::vector<std::string>{"NEAR TWO"}));
  EXPECT_EQ(Names(findStations("far", nearest)), (std::vector<std::string>{}));
  EXPECT_EQ(Names(findStations("one", nearest)), (std::vector<std::string>{"NEAR ONE"}));
  EXPECT_EQ(nearest.size(), 2u);  // searching a result leaves it as it was
}

TEST(NearestStations, MessageShowsTheDistanceWithTwoDecimals) {
  EXPECT_EQ(noNearestStationMessage(90.0), "Not found any station in a distance of 90.00 minutes around clicked point.");
  EXPECT_EQ(noNearestStationMessage(12.5), "Not found any station in a distance of 12.50 minutes around clicked point.");
}

}  // namespace
}  // namespace nimbrel
