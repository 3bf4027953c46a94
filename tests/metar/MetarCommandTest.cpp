// nimbrel-report metar as a whole process: its columns, the three anchor
// forms, and its exit codes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "metar/UtcDateTime.h"
#include "support/RunTool.h"

namespace nimbrel {
namespace {

using test::RunTool;
using test::Split;
using test::ToolRun;

// Today's columns first and in their old order, then the whole decoding.
const char* const kHeader =
    "station\ttime\twind_dir\twind_kt\tgust_kt\tvisibility_m\ttemp_c\tdewpoint_c\trh_pct\tpressure_hpa\tceiling_ft\t"
    "category\tstatus\tweather\tclouds\trvr\twind_variable\tslp_hpa\tflags\tundecoded\treason";

class MetarCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    path = std::filesystem::temp_directory_path() /
           ("nimbrel_metar_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt");
  }
  void TearDown() override { std::filesystem::remove(path); }

  std::vector<std::string> run(const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
    const ToolRun result = RunTool("metar '" + path.string() + "'");
    EXPECT_EQ(result.exitCode, 0);
    std::vector<std::string> lines = Split(result.out, '\n');
    EXPECT_EQ(lines.back(), "");  // every line ends with a line feed
    lines.pop_back();
    return lines;
  }

  std::filesystem::path path;
};

TEST_F(MetarCommand, WritesOneLinePerReportInTheColumnOrder) {
  const std::vector<std::string> lines = run(
      "2010/11/14 12:30\n"
      "KFFO 141158Z 30008G18KT 4SM -SN FEW014 OVC019 M05/M07 A2996 RMK AO1A SLP159 T10471072\n"
      "\r\n"
      "EGLL 141150Z 00000KT CAVOK 10/05 Q1013 NOSIG=\r\n"
      "KXXX 141155Z VRB03KT 1/2SM FG VV002 05/05 A2992 XYZZY\n"
      "AAXX 14001 40650 42960 03206 10288\n"
      "LFBF 141200Z AUTO /////KT //// // ///////// M/M Q////\n");
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], kHeader);
  EXPECT_EQ(lines[1],
            "KFFO\t2010-11-14T11:58Z\t300\t8.0\t18.0\t6437\t-4.7\t-7.2\t83\t1014.6\t1900\tMVFR\tok\t"
            "light snow\tFEW014 OVC019\t\t\t1015.9\t\t\t");
  EXPECT_EQ(lines[2], "EGLL\t2010-11-14T11:50Z\t0\t0.0\t\t10000\t10.0\t5.0\t71\t1013.0\t\tVFR\tok\t\t\t\t\t\t\t\t");
  EXPECT_EQ(lines[3],
            "KXXX\t2010-11-14T11:55Z\tVRB\t3.0\t\t805\t5.0\t5.0\t100\t1013.2\t200\tLIFR\tpartial\tfog\tVV002\t\t\t\t\t"
            "XYZZY\t");
  EXPECT_EQ(lines[4], "\t\t\t\t\t\t\t\t\t\t\t\trejected\t\t\t\t\t\t\t\tno valid day and time after the station");
  EXPECT_EQ(lines[5], "LFBF\t2010-11-14T12:00Z\t\t\t\t\t\t\t\t\t\t\tok\t\t\t\t\t\tAUTO\t\t");
}

TEST_F(MetarCommand, WritesTheWholeDecodingAndOneRowPerReportOfALine) {
  std::ofstream(path, std::ios::binary)
      << "2010/11/14 12:30\n"
         "SPECI KXXX 141155Z COR 18010G20KT 180V240 1 1/2SM R09/0600V1000FT -RA BR FEW005 BKN010CB 05/04 A2992 RERA "
         "XYZZY RMK SLP132\n"
         "KXXX 141150Z AUTO 27010KT 10SM CLR 05/01 RMK AO2 SLP015 METAR KXYZ 141150Z NIL=\n";
  const ToolRun run = RunTool("metar --no-header '" + path.string() + "'");
  ASSERT_EQ(run.exitCode, 0);
  const std::vector<std::string> lines = Split(run.out, '\n');
  ASSERT_EQ(lines.size(), 4u);  // no header, three reports, the empty rest
  EXPECT_EQ(lines[0],
            "KXXX\t2010-11-14T11:55Z\t180\t10.0\t20.0\t2414\t5.0\t4.0\t93\t1013.2\t1000\tIFR\tpartial\t"
            "light rain;mist;recent rain\tFEW005 BKN010CB\tR09/0600V1000FT\t180-240\t1013.2\tCOR SPECI\tXYZZY\t");
  // Sea-level pressure stands in for a missing altimeter setting, and says so.
  EXPECT_EQ(lines[1],
            "KXXX\t2010-11-14T11:50Z\t270\t10.0\t\t16093\t5.0\t1.0\t75\t1001.5\t\tVFR\tok\t\tCLR\t\t\t1001.5\t"
            "AUTO PRESSURE_FROM_SLP\t\t");
  EXPECT_EQ(lines[2], "KXYZ\t2010-11-14T11:50Z\t\t\t\t\t\t\t\t\t\t\tnil\t\t\t\t\t\tNIL\t\t");
  for (const std::string& line : lines) {
    if (!line.empty()) {
      EXPECT_EQ(Split(line, '\t').size(), Split(kHeader, '\t').size()) << line;
    }
  }
}

TEST_F(MetarCommand, TakesTheAnchorFromTimeLinesStampsOrTheClock) {
  const std::vector<std::string> lines = run(
      "2010/12/01 00:10\n"
      "KXXX 302350Z 27010KT 10SM CLR 05/01 A2992\n"
      "202101010005 METAR KXXX 312355Z 27010KT 10SM CLR 05/01 A2992 $=\n"
      "KXXX 010000Z 27010KT 10SM CLR 05/01 A2992\n");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(Split(lines[1], '\t')[1], "2010-11-30T23:50Z");
  EXPECT_EQ(Split(lines[2], '\t')[1], "2020-12-31T23:55Z");  // its own stamp
  EXPECT_EQ(Split(lines[3], '\t')[1], "2010-12-01T00:00Z");  // the time line still holds

  // With no time line, the report is dated from the clock.
  const UtcDateTime now = UtcDateTime::now();
  char dayTime[16];
  std::snprintf(dayTime, sizeof dayTime, "%02d%02d%02dZ", now.day, now.hour, now.minute);
  const std::vector<std::string> current = run(std::string("KXXX ") + dayTime + " 27010KT 10SM CLR 05/01 A2992\n");
  ASSERT_EQ(current.size(), 2u);
  const std::string time = Split(current[1], '\t')[1];
  const UtcDateTime after = UtcDateTime::now();
  EXPECT_TRUE(time == now.toString() || time == after.toString()) << time;
}

TEST_F(MetarCommand, WritesNumbersWithAPointInAnyLocale) {
  // The tool inherits a decimal-comma locale (ignored by the C library when
  // not generated on this machine, in which case this shows nothing new).
  const char* before = std::getenv("LC_ALL");
  const std::string saved = before ? before : "";
  setenv("LC_ALL", "de_DE.UTF-8", 1);
  const std::vector<std::string> lines = run("2010/11/14 12:30\nKXXX 141155Z 27010KT 10SM CLR 05/01 A2992\n");
  if (before) setenv("LC_ALL", saved.c_str(), 1);
  else unsetenv("LC_ALL");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], "KXXX\t2010-11-14T11:55Z\t270\t10.0\t\t16093\t5.0\t1.0\t75\t1013.2\t\tVFR\tok\t\tCLR\t\t\t\t\t\t");
}

TEST_F(MetarCommand, ReadsStandardInput) {
  std::ofstream(path, std::ios::binary) << "2010/11/14 12:30\nKXXX 141155Z 27010KT 10SM CLR 05/01 A2992\n";
  const ToolRun result = RunTool("metar - < '" + path.string() + "'");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out,
            std::string(kHeader) +
                "\nKXXX\t2010-11-14T11:55Z\t270\t10.0\t\t16093\t5.0\t1.0\t75\t1013.2\t\tVFR\tok\t\tCLR\t\t\t\t\t\t\n");
}

// What is read is bounded whatever the input: over-long lines are skipped,
// what is not a regular file is refused at once, a read error exits 2.
TEST_F(MetarCommand, ReadsWithBoundedMemoryAndRefusesWhatIsNoFile) {
  const std::string report = "KXXX 141155Z 27010KT 10SM CLR 05/01 A2992\n";
  const std::string longLine(70'000, 'A');
  const std::filesystem::path fifo = path.string() + ".fifo";
  const std::filesystem::path errors = path.string() + ".err";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);  // nobody ever writes to it
  const struct {
    std::string what;
    std::string content;  // written to the file when `file` is empty
    std::string file;
    int exitCode;
    std::size_t rows;
    std::string message;  // on standard error
  } cases[] = {
      {"an over-long line among others", report + longLine + "\n" + report, "", 0, 2,
       "line 2 of \"" + path.string() + "\" is longer than 65536 bytes; skipped"},
      {"an over-long last line with no line feed", report + longLine, "", 0, 1, "line 2 of"},
      {"a line of exactly the most kept", std::string(65'536, 'A') + "\n" + report, "", 0, 2, ""},
      {"a FIFO with no writer", "", fifo.string(), 2, 0, "not a regular file"},
      {"an endless device", "", "/dev/zero", 2, 0, "not a regular file"},
      {"a folder", "", std::filesystem::temp_directory_path().string(), 2, 0, "it is a folder"},
      {"a file whose reading fails", "", "/proc/self/mem", 2, 0, "can not read a file \"/proc/self/mem\""},
  };
  for (const auto& c : cases) {
    if (c.file.empty()) std::ofstream(path, std::ios::binary | std::ios::trunc) << c.content;
    const std::string file = c.file.empty() ? path.string() : c.file;
    if (!std::filesystem::exists(file)) continue;
    const test::ToolRun run = test::RunToolWatched("metar --no-header '" + file + "'", errors);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.what << ": " << run.errors;
    EXPECT_EQ(Split(run.out, '\n').size() - 1, c.rows) << c.what;
    if (c.message.empty()) EXPECT_EQ(run.errors, "") << c.what;
    else EXPECT_NE(run.errors.find(c.message), std::string::npos) << c.what << ": " << run.errors;
  }
  std::filesystem::remove(fifo);
  std::filesystem::remove(errors);
}

TEST_F(MetarCommand, FailuresExitWithTwo) {
  const ToolRun missing = RunTool("metar '" + path.string() + "'", true);  // never created
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.out.find(path.string()), std::string::npos) << missing.out;

  const ToolRun folder = RunTool("metar '" + std::filesystem::temp_directory_path().string() + "'", true);
  EXPECT_EQ(folder.exitCode, 2);
  EXPECT_NE(folder.out.find("can not read"), std::string::npos) << folder.out;

  std::ofstream(path, std::ios::binary) << "KXXX 141155Z 27010KT 10SM CLR 05/01 A2992\n";
  if (std::filesystem::exists("/dev/full")) {
    const ToolRun full = RunTool("metar '" + path.string() + "' >/dev/full");
    EXPECT_EQ(full.exitCode, 2);
  }
  EXPECT_EQ(RunTool("metar").exitCode, 2);
  EXPECT_EQ(RunTool("metar --no-such-option '" + path.string() + "'").exitCode, 2);
}

}  // namespace
}  // namespace nimbrel
