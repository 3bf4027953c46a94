// The station list writer: positions to degrees and minutes, a station's
// columns, and a file the reader takes back station for station.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "catalog/StationListReader.h"
#include "catalog/StationListWriter.h"
#include "support/ReadFile.h"

namespace nimbrel {
namespace {

TEST(StationListWriter, PositionsToTheNearestMinute) {
  struct Case {
    double degrees;
    std::string latitude, longitude;
  } cases[] = {
      {47.48, "47 29N", "047 29E"},
      {-8.53, "08 32S", "008 32W"},
      {-122.12116, "", "122 07W"},       // no latitude beyond 90
      {59.9999, "60 00N", "060 00E"},    // 59.99' rounds to the next degree
      {-0.001, "00 00N", "000 00E"},     // rounds to nothing: no southern zero
      {90.0, "90 00N", "090 00E"},
      {-180.0, "", "180 00W"},
      {180.5, "", ""},
      {NAN, "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(latitudeText(c.degrees), c.latitude) << c.degrees;
    EXPECT_EQ(longitudeText(c.degrees), c.longitude) << c.degrees;
  }
}

TEST(StationListWriter, ColumnsCutAndElevationRightAligned) {
  Station s;
  s.cd = "CA";
  s.name = "A NAME LONGER THAN SIXTEEN";
  s.icao = "KHWD";
  s.iata = "HWD";
  s.synop = "72493";
  s.latText = "37 40N";
  s.lonText = "122 07W";
  s.elevText = "9";
  s.metarFlag = 'X';
  s.aviationFlag = 'T';
  s.country = "US";
  EXPECT_EQ(stationLine(s), "CA A NAME LONGER TH KHWD  HWD   72493  37 40N  122 07W    9   X     T            US");
  s.elevText = "-12";
  EXPECT_EQ(stationLine(s).substr(55, 4), " -12");
}

// The shipped list read, written and read again gives the same stations,
// and comment lines of any length never pass for stations.
TEST(StationListWriter, ShippedListSurvivesAWriteAndARead) {
  StationList shipped;
  parseStationList(test::ReadAll(std::string(NIMBREL_SOURCE_DIR) + "/data/Stations.txt"), shipped);
  ASSERT_GT(shipped.size(), 5000u);
  const std::string comment = "first line\n\n" + std::string(81, 'x') + "\n" + std::string(200, 'y');
  const std::string text = stationListText(shipped, comment);
  StationList again;
  EXPECT_EQ(parseStationList(text, again), static_cast<int>(shipped.size()));
  EXPECT_EQ(again, shipped);
  EXPECT_TRUE(text.starts_with("! first line\n!\n! xxx"));
}

}  // namespace
}  // namespace nimbrel
