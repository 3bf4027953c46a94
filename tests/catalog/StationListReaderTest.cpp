#include <gtest/gtest.h>

#include <sys/stat.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "StationListLines.h"
#include "catalog/StationListReader.h"

namespace nimbrel {
namespace {

using test::LineFields;
using test::NamedLine;
using test::StationLine;

constexpr double kMinute = 1.0 / 60.0;

StationList Parse(const std::string& text) {
  StationList stations;
  parseStationList(text, stations);
  return stations;
}

TEST(StationListReader, WorkedExampleLine) {
  const std::string line = "ZZ SAMPLE FIELD     ZZZZ  ZZZ   ZZZZZ  12 34N  056 07W   89   X           A    5 QQ";
  ASSERT_EQ(line.size(), 83u);
  const StationList stations = Parse(line + "\n");
  ASSERT_EQ(stations.getSize(), 1);
  const Station& s = stations.getAt(0);
  EXPECT_EQ(s.cd(), "ZZ");
  EXPECT_EQ(s.name(), "SAMPLE FIELD");
  EXPECT_EQ(s.icao(), "ZZZZ");
  EXPECT_EQ(s.iata(), "ZZZ");
  EXPECT_EQ(s.texts[4], "ZZZZZ");
  EXPECT_EQ(s.latText(), "12 34N");
  EXPECT_EQ(s.lonText(), "056 07W");
  EXPECT_EQ(s.elevText(), "89");
  EXPECT_EQ(s.texts[8], "X");
  EXPECT_EQ(s.texts[9], "");
  EXPECT_EQ(s.texts[10], "");
  EXPECT_EQ(s.texts[11], "");
  EXPECT_EQ(s.texts[12], "A");
  EXPECT_EQ(s.texts[13], "");
  EXPECT_EQ(s.texts[14], "5");
  EXPECT_EQ(s.cy(), "QQ");
  EXPECT_DOUBLE_EQ(s.mapColatitude(), 90.0 - (12.0 + 34.0 * kMinute));
  EXPECT_NEAR(s.mapColatitude(), 77.4333, 1e-4);
  EXPECT_NEAR(s.mapLongitude(), 123.8833, 1e-4);
  EXPECT_EQ(s.elevation(), 89.0);
  // Nothing but the station elements is set.
  for (bool flag : s.flags) EXPECT_FALSE(flag);
  for (auto i : s.ints) EXPECT_EQ(i, 0);
  EXPECT_EQ(s.nearestMinutes(), 0.0);
}

TEST(StationListReader, LineLengthsDecideWhatIsAStation) {
  const std::string station = StationLine();
  const std::string comment = "!" + std::string(82, '-');  // 83 characters: read as a station too
  const std::string text = station.substr(0, 82) + "\n" +  // 82: skipped
                           station + "  \n" +              // 85: skipped
                           comment + "\n" +                 // 83: read
                           station + "\r\n" +               // 84 with its carriage return: read
                           "CD  STATION         ICAO\n" + "\n";
  const StationList stations = Parse(text);
  ASSERT_EQ(stations.getSize(), 2);
  EXPECT_EQ(stations.getAt(0).cd(), "!-");
  EXPECT_EQ(stations.getAt(1).name(), "SAMPLE FIELD");
  EXPECT_EQ(stations.getAt(1).cy(), "QQ");
}

TEST(StationListReader, CrLfAndLfGiveTheSameStations) {
  std::string lf;
  std::string crlf;
  const std::string header = "! a comment line of the list";
  lf += header + "\n";
  crlf += header + "\r\n";
  for (const char* name : {"ALPHA", "BRAVO/WEST", "CHARLIE"}) {
    lf += NamedLine(name, "KABC") + "\n";
    crlf += NamedLine(name, "KABC") + "\r\n";
  }
  const StationList a = Parse(lf);
  const StationList b = Parse(crlf);
  ASSERT_EQ(a.getSize(), 3);
  ASSERT_EQ(b.getSize(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(a.getAt(i), b.getAt(i)) << i;
}

TEST(StationListReader, TextsAreTrimmedAndSlashesReplaced) {
  LineFields f;
  f.name = "\tA/B\\C  ";
  f.icao = " AB";
  f.cd = " X";
  const Station s = Parse(StationLine(f)).getAt(0);
  EXPECT_EQ(s.name(), "A_B_C");
  EXPECT_EQ(s.icao(), "AB");
  EXPECT_EQ(s.cd(), "X");
  // A name that fills its whole column keeps all 17 characters.
  f.name = "ABCDEFGHIJKLMNOPQ";
  EXPECT_EQ(Parse(StationLine(f)).getAt(0).name(), "ABCDEFGHIJKLMNOPQ");
}

TEST(StationListReader, HemisphereRules) {
  auto positionOf = [](const std::string& lat, const std::string& lon) {
    LineFields f;
    f.lat = lat;
    f.lon = lon;
    return Parse(StationLine(f)).getAt(0);
  };
  EXPECT_EQ(positionOf("05 30S", "000 00E").mapColatitude(), 95.5);
  EXPECT_EQ(positionOf("05 30S", "000 00E").mapLongitude(), 180.0);
  EXPECT_EQ(positionOf("05 30N", "000 00W").mapLongitude(), 180.0);
  EXPECT_EQ(positionOf("05 30N", "000 00W").mapColatitude(), 84.5);
  // Only an upper-case N or W counts: anything else is south or east.
  EXPECT_DOUBLE_EQ(positionOf("12 34n", "056 07w").mapColatitude(), 90.0 + 12.0 + 34.0 * kMinute);
  EXPECT_DOUBLE_EQ(positionOf("12 34n", "056 07w").mapLongitude(), 180.0 + 56.0 + 7.0 * kMinute);
  EXPECT_DOUBLE_EQ(positionOf("90 00S", "180 00E").mapLongitude(), 360.0);
  EXPECT_DOUBLE_EQ(positionOf("90 00S", "180 00E").mapColatitude(), 180.0);
  // Malformed columns read as numbers the C library's way: no number gives 0.
  const Station odd = positionOf("xx yyN", "abc");
  EXPECT_EQ(odd.mapColatitude(), 90.0);
  EXPECT_EQ(odd.mapLongitude(), 180.0);
}

TEST(StationListReader, ReadNumberFollowsAtof) {
  EXPECT_EQ(readNumber("89"), 89.0);
  EXPECT_EQ(readNumber("-12"), -12.0);
  EXPECT_EQ(readNumber("+7"), 7.0);
  EXPECT_EQ(readNumber("  42m"), 42.0);
  EXPECT_EQ(readNumber("1.5"), 1.5);
  EXPECT_EQ(readNumber("2e2"), 200.0);
  EXPECT_EQ(readNumber("12e"), 12.0);
  EXPECT_EQ(readNumber("0x10"), 16.0);
  EXPECT_EQ(readNumber("abc"), 0.0);
  EXPECT_EQ(readNumber(""), 0.0);
  EXPECT_EQ(readNumber("-"), 0.0);
  EXPECT_EQ(readNumber("1234567890123456789"), 1234567890123456789.0);
  // A view is read only up to its end, not up to the next zero byte.
  EXPECT_EQ(readNumber(std::string_view("12345").substr(0, 2)), 12.0);
}

TEST(StationListReader, ReadNumberIgnoresTheProcessLocale) {
  // The Qt application adopts the user's locale; a decimal comma must not change the list.
  const char* comma = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"})
    if ((comma = std::setlocale(LC_NUMERIC, name)) != nullptr) break;
  if (comma == nullptr) GTEST_SKIP() << "no locale with a decimal comma installed";
  const double point = readNumber("1.5");
  const double withComma = readNumber("1,5");
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(point, 1.5);
  EXPECT_EQ(withComma, 1.0);
}

TEST(StationListReader, WhereTheTextBeginsAndEnds) {
  const std::string line = StationLine();
  EXPECT_EQ(Parse("").getSize(), 0);
  EXPECT_EQ(Parse("\n" + line + "\n").getSize(), 1);       // a leading empty line
  EXPECT_EQ(Parse(line + "\n" + line).getSize(), 2);      // the last line has no line feed
  EXPECT_EQ(Parse(line + "\n" + line + "\r").getSize(), 2);
  EXPECT_EQ(Parse(line).getSize(), 1);
  EXPECT_EQ(Parse(line + "\n\n\n").getSize(), 1);
}

TEST(StationListReader, AppendsInFileOrderDuplicatesIncluded) {
  StationList stations;
  stations.add(Station{});
  const int added = parseStationList(NamedLine("ONE", "AAAA") + "\n" + NamedLine("TWO", "BBBB") + "\n" +
                                         NamedLine("ONE", "AAAA") + "\n",
                                     stations);
  EXPECT_EQ(added, 3);
  ASSERT_EQ(stations.getSize(), 4);
  EXPECT_EQ(stations.getAt(1).name(), "ONE");
  EXPECT_EQ(stations.getAt(2).name(), "TWO");
  EXPECT_EQ(stations.getAt(3), stations.getAt(1));
}

class TempFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("nimbrel_reader_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string Write(const std::string& bytes) {
    const auto path = dir / "list.txt";
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }
  std::filesystem::path dir;
};

TEST_F(TempFile, ReadsAtMostTheLimitAndStopsAtAZeroByte) {
  // 11,904 lines of 84 bytes fill 999,936 bytes; the next station line is cut
  // at byte 1,000,000 and the ones after it are never read.
  const std::string line = StationLine() + "\n";
  std::string bytes;
  for (int i = 0; i < 11904; ++i) bytes += line;
  ASSERT_EQ(bytes.size(), 999936u);
  for (int i = 0; i < 5; ++i) bytes += line;
  std::string text;
  ASSERT_TRUE(readStationListFile(Write(bytes), text));
  EXPECT_EQ(text.size(), kStationListReadLimit);
  EXPECT_EQ(Parse(text).getSize(), 11904);

  ASSERT_TRUE(readStationListFile(Write(line + line + std::string(1, '\0') + line), text));
  EXPECT_EQ(text, line + line);
  EXPECT_EQ(Parse(text).getSize(), 2);
}

TEST_F(TempFile, ReadsAStreamWithoutASizeWhole) {
  // A pipe has no size to go by: the text grows as it arrives.
  const std::string fifo = (dir / "stations.fifo").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string line = StationLine() + "\n";
  std::string bytes;
  while (bytes.size() < 300000) bytes += line;
  std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << bytes; });
  std::string text;
  const bool read = readStationListFile(fifo, text);
  writer.join();
  ASSERT_TRUE(read);
  EXPECT_EQ(text, bytes);
}

TEST_F(TempFile, MissingOrUnreadableFileFails) {
  std::string text = "kept";
  EXPECT_FALSE(readStationListFile((dir / "absent.txt").string(), text));
  EXPECT_FALSE(readStationListFile(dir.string(), text));  // a folder opens but cannot be read
  EXPECT_EQ(text, "kept");
  ASSERT_TRUE(readStationListFile(Write(""), text));
  EXPECT_EQ(text, "");
}

TEST(StationListReader, RealStationList) {
  std::string text;
  if (!std::filesystem::exists(NIMBREL_STATIONS_LIST) || !readStationListFile(NIMBREL_STATIONS_LIST, text))
    GTEST_SKIP() << "no shared station list at " << NIMBREL_STATIONS_LIST;
  ASSERT_EQ(text.size(), 782752u);
  const StationList stations = Parse(text);
  ASSERT_EQ(stations.getSize(), 9145);
  int withoutIcao = 0;
  int withUnderscore = 0;
  for (const Station& s : stations) {
    withoutIcao += s.icao().empty() ? 1 : 0;
    EXPECT_EQ(s.name().find_first_of("/\\"), std::string::npos) << s.name();
    withUnderscore += s.name().find('_') != std::string::npos ? 1 : 0;
    EXPECT_GE(s.mapLongitude(), 0.0);
    EXPECT_LE(s.mapLongitude(), 360.0);
    EXPECT_GE(s.mapColatitude(), 0.0);
    EXPECT_LE(s.mapColatitude(), 180.0);
  }
  EXPECT_EQ(withoutIcao, 206);
  EXPECT_GE(withUnderscore, 1912);
  const Station& first = stations.getAt(0);
  EXPECT_EQ(first.icao(), "PADK");
  EXPECT_EQ(first.name(), "ADAK NAS");
  EXPECT_DOUBLE_EQ(first.mapLongitude(), 180.0 - (176.0 + 39.0 * kMinute));
  EXPECT_DOUBLE_EQ(first.mapColatitude(), 90.0 - (51.0 + 53.0 * kMinute));
  EXPECT_EQ(first.elevation(), 4.0);
}

}  // namespace
}  // namespace nimbrel
