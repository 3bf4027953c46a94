// The open-station list: one entry per open chart window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalog/Station.h"

namespace nimbrel {
namespace {

StationList OpenStations(std::vector<std::string> icaoCodes) {
  StationList list;
  for (std::string& icao : icaoCodes) list.emplace_back().icao = std::move(icao);
  return list;
}

std::vector<std::string> Codes(const StationList& list) {
  std::vector<std::string> codes;
  for (const Station& s : list) codes.push_back(s.icao);
  return codes;
}

TEST(OpenStations, ClosingOneOfTwoWindowsOfAStationKeepsOneEntry) {
  StationList open = OpenStations({"EDDF", "LSZH", "EDDF"});
  EXPECT_TRUE(removeOpenStation(open, "EDDF"));
  EXPECT_EQ(Codes(open), (std::vector<std::string>{"LSZH", "EDDF"}));
  EXPECT_TRUE(removeOpenStation(open, "EDDF"));
  EXPECT_FALSE(removeOpenStation(open, "EDDF"));
  EXPECT_EQ(Codes(open), (std::vector<std::string>{"LSZH"}));
}

TEST(OpenStations, RemovalMatchesTheCodeByteForByte) {
  StationList open = OpenStations({"EDDF"});
  for (const char* other : {"eddf", "EDD", "EDDF ", ""}) EXPECT_FALSE(removeOpenStation(open, other)) << other;
  EXPECT_EQ(Codes(open), (std::vector<std::string>{"EDDF"}));
}

}  // namespace
}  // namespace nimbrel
