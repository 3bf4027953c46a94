#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <future>
#include <string>
#include <thread>
#include <utility>

#include "catalog/StationListReader.h"
#include "support/StationListLines.h"
#include "support/TempFolder.h"

namespace nimbrel {
namespace {

using test::LineFields;
using test::NamedLine;
using test::StationLine;
using test::TempFolder;

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
  ASSERT_EQ(stations.size(), 1u);
  const Station& s = stations[0];
  EXPECT_EQ(s.cd, "ZZ");
  EXPECT_EQ(s.name, "SAMPLE FIELD");
  EXPECT_EQ(s.icao, "ZZZZ");
  EXPECT_EQ(s.iata, "ZZZ");
  EXPECT_EQ(s.synop, "ZZZZZ");
  EXPECT_EQ(s.latText, "12 34N");
  EXPECT_EQ(s.lonText, "056 07W");
  EXPECT_EQ(s.elevText, "89");
  EXPECT_EQ(s.metarFlag, 'X');
  EXPECT_EQ(s.nexradFlag, ' ');
  EXPECT_EQ(s.aviationFlag, ' ');
  EXPECT_EQ(s.upperAirFlag, ' ');
  EXPECT_EQ(s.autoFlag, 'A');
  EXPECT_EQ(s.officeFlag, ' ');
  EXPECT_EQ(s.plotPriority, '5');
  EXPECT_EQ(s.country, "QQ");
  EXPECT_DOUBLE_EQ(s.mapColatitude, 90.0 - (12.0 + 34.0 * kMinute));
  EXPECT_NEAR(s.mapColatitude, 77.4333, 1e-4);
  EXPECT_NEAR(s.mapLongitude, 123.8833, 1e-4);
  EXPECT_EQ(s.elevation, 89.0);
  EXPECT_TRUE(s.hasPosition);
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
  ASSERT_EQ(stations.size(), 2u);
  EXPECT_EQ(stations[0].cd, "!-");
  EXPECT_EQ(stations[1].name, "SAMPLE FIELD");
  EXPECT_EQ(stations[1].country, "QQ");
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
  ASSERT_EQ(a.size(), 3u);
  ASSERT_EQ(b.size(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(a[i], b[i]) << i;
}

TEST(StationListReader, TextsAreTrimmedAndSlashesReplaced) {
  LineFields f;
  f.name = "\tA/B\\C  ";
  f.icao = " AB";
  f.cd = " X";
  const Station s = Parse(StationLine(f))[0];
  EXPECT_EQ(s.name, "A_B_C");
  EXPECT_EQ(s.icao, "AB");
  EXPECT_EQ(s.cd, "X");
  // A name that fills its whole column keeps all 17 characters.
  f.name = "ABCDEFGHIJKLMNOPQ";
  EXPECT_EQ(Parse(StationLine(f))[0].name, "ABCDEFGHIJKLMNOPQ");
  // Control characters never reach a table or an export's file name, and
  // a station without a name goes by its code.
  f.name = "A\x01" "B\x1B[2J\x7F";
  EXPECT_EQ(Parse(StationLine(f))[0].name, "A_B_[2J_");
  f.name = "   ";
  f.icao = "KJFK";
  EXPECT_EQ(Parse(StationLine(f))[0].name, "KJFK");
  // The code standing in for a name is cleaned the same way (the code
  // itself stays as the list has it).
  f.icao = "K/\\\x01";
  const Station coded = Parse(StationLine(f))[0];
  EXPECT_EQ(coded.name, "K___");
  EXPECT_EQ(coded.icao, "K/\\\x01");
}

TEST(StationListReader, HemisphereRules) {
  auto positionOf = [](const std::string& lat, const std::string& lon) {
    LineFields f;
    f.lat = lat;
    f.lon = lon;
    return Parse(StationLine(f))[0];
  };
  EXPECT_EQ(positionOf("05 30S", "000 00E").mapColatitude, 95.5);
  EXPECT_EQ(positionOf("05 30S", "000 00E").mapLongitude, 180.0);
  EXPECT_EQ(positionOf("05 30N", "000 00W").mapLongitude, 180.0);
  EXPECT_EQ(positionOf("05 30N", "000 00W").mapColatitude, 84.5);
  // Only an upper-case N or W counts: anything else is south or east.
  EXPECT_DOUBLE_EQ(positionOf("12 34n", "056 07w").mapColatitude, 90.0 + 12.0 + 34.0 * kMinute);
  EXPECT_DOUBLE_EQ(positionOf("12 34n", "056 07w").mapLongitude, 180.0 + 56.0 + 7.0 * kMinute);
  EXPECT_DOUBLE_EQ(positionOf("90 00S", "180 00E").mapLongitude, 360.0);
  EXPECT_DOUBLE_EQ(positionOf("90 00S", "180 00E").mapColatitude, 180.0);
  // Malformed columns read as numbers the C library's way: no number gives 0.
  const Station odd = positionOf("xx yyN", "abc");
  EXPECT_EQ(odd.mapColatitude, 90.0);
  EXPECT_EQ(odd.mapLongitude, 180.0);
}

// Plain digits are read directly, anything else as the C library reads a
// number: both must give the same values.
TEST(StationListReader, FieldsThatAreNotPlainDigitsReadAsNumbers) {
  const std::pair<const char*, double> elevations[] = {
      {"  89", 89.0}, {"0089", 89.0}, {" -50", -50.0}, {"  +7", 7.0},  {"12.5", 12.5}, {" 1e3", 1000.0},
      {"0x1A", 26.0}, {" inf", 0.0},  {" nan", 0.0},   {" abc", 0.0},  {"7 m", 7.0},   {"    ", 0.0},
  };
  for (const auto& [text, value] : elevations) {
    LineFields f;
    f.elev = text;
    EXPECT_EQ(Parse(StationLine(f))[0].elevation, value) << '"' << text << '"';
  }
  const std::pair<const char*, double> latitudes[] = {
      {"12 34N", 12.0 + 34.0 * kMinute}, {"1e 3.N", 1.0 + 3.0 * kMinute}, {"+1 -3N", 1.0 - 3.0 * kMinute},
      {"00 06N", 6.0 * kMinute},
  };
  for (const auto& [text, value] : latitudes) {
    LineFields f;
    f.lat = text;
    EXPECT_DOUBLE_EQ(Parse(StationLine(f))[0].mapColatitude, 90.0 - value) << text;
  }
}

TEST(StationListReader, PositionsOffTheGlobeAreNoPositions) {
  // Such a station stays in the tables but is never drawn or found near a
  // map point; its map coordinates are not left at some far-off value.
  struct Case {
    const char* lat;
    const char* lon;
    bool hasPosition;
  };
  const Case cases[] = {
      {"90 00N", "180 00E", true},  {"00 00S", "000 00W", true},  {"89 59S", "179 59W", true},
      {"90 01N", "000 00E", false}, {"91 00S", "000 00E", false}, {"99 99N", "000 00E", false},
      {"00 00N", "180 01W", false}, {"00 00N", "999 00E", false}, {"-5 00N", "000 00E", false},
      {"00 00N", "-10 00E", false}, {"", "000 00E", false},       {"00 00N", "", false},
  };
  for (const Case& c : cases) {
    LineFields f;
    f.lat = c.lat;
    f.lon = c.lon;
    const Station s = Parse(StationLine(f))[0];
    EXPECT_EQ(s.hasPosition, c.hasPosition) << c.lat << " " << c.lon;
    if (!s.hasPosition) {
      EXPECT_EQ(s.mapLongitude, 0.0) << c.lat << " " << c.lon;
      EXPECT_EQ(s.mapColatitude, 0.0) << c.lat << " " << c.lon;
    }
  }
}

TEST(StationListReader, WhereTheTextBeginsAndEnds) {
  const std::string line = StationLine();
  EXPECT_EQ(Parse("").size(), 0u);
  EXPECT_EQ(Parse("\n" + line + "\n").size(), 1u);       // a leading empty line
  EXPECT_EQ(Parse(line + "\n" + line).size(), 2u);      // the last line has no line feed
  EXPECT_EQ(Parse(line + "\n" + line + "\r").size(), 2u);
  EXPECT_EQ(Parse(line).size(), 1u);
  EXPECT_EQ(Parse(line + "\n\n\n").size(), 1u);
}

TEST(StationListReader, AppendsInFileOrderDuplicatesIncluded) {
  StationList stations;
  stations.emplace_back();
  const int added = parseStationList(NamedLine("ONE", "AAAA") + "\n" + NamedLine("TWO", "BBBB") + "\n" +
                                         NamedLine("ONE", "AAAA") + "\n",
                                     stations);
  EXPECT_EQ(added, 3);
  ASSERT_EQ(stations.size(), 4u);
  EXPECT_EQ(stations[1].name, "ONE");
  EXPECT_EQ(stations[2].name, "TWO");
  EXPECT_EQ(stations[3], stations[1]);
}

class StationListFile : public ::testing::Test {
 protected:
  std::string Write(const std::string& bytes) { return folder.Write("list.txt", bytes).string(); }
  TempFolder folder;
};

TEST_F(StationListFile, ReadsAtMostTheLimitSaysSoAndStopsAtAZeroByte) {
  // Whole lines up to the limit; the next station line is cut at the limit
  // and the ones after it are never read, which the reader says.
  const std::string line = StationLine() + "\n";
  const std::size_t whole = kStationListReadLimit / line.size();
  std::string bytes;
  for (std::size_t i = 0; i < whole; ++i) bytes += line;
  // Exactly at the limit is nothing cut.
  std::string text;
  bool cut = true;
  const std::string full = bytes + std::string(kStationListReadLimit - bytes.size(), ' ');
  ASSERT_TRUE(readStationListFile(Write(full), text, &cut));
  EXPECT_FALSE(cut);
  for (int i = 0; i < 5; ++i) bytes += line;
  ASSERT_TRUE(readStationListFile(Write(bytes), text, &cut));
  EXPECT_TRUE(cut);
  EXPECT_EQ(text.size(), kStationListReadLimit);
  EXPECT_EQ(Parse(text).size(), whole);
  // A real list of 2 MB, twice the old limit, is read whole.
  std::string real;
  while (real.size() < (std::size_t{2} << 20)) real += line;
  ASSERT_TRUE(readStationListFile(Write(real), text, &cut));
  EXPECT_FALSE(cut);
  EXPECT_EQ(text.size(), real.size());

  ASSERT_TRUE(readStationListFile(Write(line + line + std::string(1, '\0') + line), text));
  EXPECT_EQ(text, line + line);
  EXPECT_EQ(Parse(text).size(), 2u);
}

TEST_F(StationListFile, ReadsAStreamWithoutASizeWhole) {
  // A pipe has no size to go by: the text grows as it arrives.
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  std::FILE* reading = fdopen(ends[0], "rb");
  ASSERT_NE(reading, nullptr);
  const std::string line = StationLine() + "\n";
  std::string bytes;
  while (bytes.size() < 300000) bytes += line;
  std::thread writer([&] {
    for (std::size_t done = 0; done < bytes.size();) {
      const ssize_t wrote = ::write(ends[1], bytes.data() + done, bytes.size() - done);
      if (wrote <= 0) break;
      done += static_cast<std::size_t>(wrote);
    }
    ::close(ends[1]);
  });
  std::string text;
  const bool read = readStationList(reading, text);
  writer.join();
  std::fclose(reading);
  ASSERT_TRUE(read);
  EXPECT_EQ(text, bytes);
}

TEST_F(StationListFile, AFifoUnderTheListsNameIsRefusedWithoutWaitingForAWriter) {
  const std::string fifo = (folder / "Stations.txt").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  auto reading = std::async(std::launch::async, [&] {
    std::string text = "kept";
    const bool read = readStationListFile(fifo, text);
    return read || text != "kept";
  });
  if (reading.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    // Give the blocked reader a writer so the test can end, then fail.
    const int unblock = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (unblock >= 0) ::close(unblock);
    ADD_FAILURE() << "reading a FIFO blocked";
  }
  EXPECT_FALSE(reading.get());
}

TEST_F(StationListFile, MissingOrUnreadableFileFails) {
  std::string text = "kept";
  EXPECT_FALSE(readStationListFile((folder / "absent.txt").string(), text));
  EXPECT_FALSE(readStationListFile(folder.Path().string(), text));  // a folder is no list
  EXPECT_EQ(text, "kept");
  ASSERT_TRUE(readStationListFile(Write(""), text));
  EXPECT_EQ(text, "");
}

TEST(StationListReader, RealStationList) {
  std::string text;
  if (!std::filesystem::exists(NIMBREL_SHARED_STATIONS) || !readStationListFile(NIMBREL_SHARED_STATIONS, text))
    GTEST_SKIP() << "no shared station list at " << NIMBREL_SHARED_STATIONS;
  ASSERT_EQ(text.size(), 782752u);
  const StationList stations = Parse(text);
  ASSERT_EQ(stations.size(), 9145u);
  int withoutIcao = 0;
  int withUnderscore = 0;
  for (const Station& s : stations) {
    withoutIcao += s.icao.empty() ? 1 : 0;
    EXPECT_EQ(s.name.find_first_of("/\\"), std::string::npos) << s.name;
    withUnderscore += s.name.find('_') != std::string::npos ? 1 : 0;
    EXPECT_TRUE(s.hasPosition) << s.name;
    EXPECT_GE(s.mapLongitude, 0.0);
    EXPECT_LE(s.mapLongitude, 360.0);
    EXPECT_GE(s.mapColatitude, 0.0);
    EXPECT_LE(s.mapColatitude, 180.0);
  }
  EXPECT_EQ(withoutIcao, 206);
  EXPECT_GE(withUnderscore, 1912);
  const Station& first = stations[0];
  EXPECT_EQ(first.icao, "PADK");
  EXPECT_EQ(first.name, "ADAK NAS");
  EXPECT_DOUBLE_EQ(first.mapLongitude, 180.0 - (176.0 + 39.0 * kMinute));
  EXPECT_DOUBLE_EQ(first.mapColatitude, 90.0 - (51.0 + 53.0 * kMinute));
  EXPECT_EQ(first.elevation, 4.0);
}

}  // namespace
}  // namespace nimbrel
