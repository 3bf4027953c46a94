// The "Go to" field's ranking: exact codes first, then names by how they
// hold the text, then ICAO codes that start with it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalog/GoToIndex.h"

namespace nimbrel {
namespace {

Station Make(const char* name, const char* icao, const char* iata, bool placed = true) {
  Station s;
  s.name = name;
  s.icao = icao;
  s.iata = iata;
  s.hasPosition = placed;
  return s;
}

std::vector<std::string> Icaos(const GoToIndex& index, const StationList& list, const char* typed,
                               std::size_t limit = 12) {
  std::vector<std::string> out;
  for (const std::size_t i : index.matches(typed, limit)) out.push_back(list[i].icao);
  return out;
}

TEST(GoToIndex, RanksCodesThenNamesWithoutCase) {
  const StationList list = {
      Make("RESOLUTE CS", "CYRB", "YRB"),
      Make("PARIS/LE BOURGET", "LFPB", "LBG"),
      Make("LONDON/HEATHROW", "EGLL", "LHR"),
      Make("EAST LONDON", "FAEL", "ELS"),
      Make("LONDON CITY", "EGLC", "LCY"),
      Make("LHR TEST SITE", "XLHR", ""),    // a name that starts with another's IATA code
      Make("PARIS/CHARLES DE GAULLE", "LFPG", "CDG"),
      Make("NOWHERE", "EGLZ", "", false),   // no position: nowhere to go
      Make("RESOLUTE", "CYRS", ""),
      Make("BRESOLUTEX", "ZZZZ", ""),
  };
  const GoToIndex index(list);
  EXPECT_EQ(index.size(), list.size() - 1);
  const struct {
    const char* typed;
    std::vector<std::string> expected;
  } cases[] = {
      // Exact ICAO before exact IATA before names, whatever the list order.
      {"egll", {"EGLL"}},
      {"LHR", {"EGLL", "XLHR"}},
      {"lcy", {"EGLC"}},
      // Names that start with the text, then names that hold it, list order within each.
      {"london", {"EGLL", "EGLC", "FAEL"}},
      {"  London  ", {"EGLL", "EGLC", "FAEL"}},
      {"resolute", {"CYRB", "CYRS", "ZZZZ"}},
      {"paris/", {"LFPB", "LFPG"}},
      {"de gaulle", {"LFPG"}},
      // An ICAO code that starts with the text comes after every name.
      {"EGL", {"EGLL", "EGLC"}},
      {"lf", {"LFPB", "LFPG"}},
      // A station is listed once, at its best rank ("CDG" is its IATA and in no name).
      {"cdg", {"LFPG"}},
      {"xlhr", {"XLHR"}},
      {"egl z", {}},
      {"", {}},
      {"   ", {}},
      {"no such place", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Icaos(index, list, c.typed), c.expected) << "\"" << c.typed << "\"";
}

// The limit keeps the best, not the first found.
TEST(GoToIndex, TheLimitKeepsTheBestRanks) {
  StationList list;
  for (int i = 0; i < 30; ++i) list.push_back(Make(("AIRFIELD NEAR KORD " + std::to_string(i)).c_str(), "", ""));
  list.push_back(Make("KORD CARGO", "XXXA", ""));
  list.push_back(Make("CHICAGO O'HARE", "KORD", "ORD"));
  const GoToIndex index(list);
  const std::vector<std::size_t> found = index.matches("kord", 3);
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(list[found[0]].icao, "KORD");
  EXPECT_EQ(list[found[1]].icao, "XXXA");
  EXPECT_EQ(list[found[2]].name, "AIRFIELD NEAR KORD 0");
  EXPECT_EQ(index.matches("kord", 100).size(), 32u);
  EXPECT_TRUE(index.matches("kord", 0).empty());
}

}  // namespace
}  // namespace nimbrel
