// nimbrel-report metar as a whole process: its columns, the three anchor
// forms, and its exit codes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "metar/UtcDateTime.h"
#include "support/RunTool.h"

namespace nimbrel {
namespace {

using test::RunTool;
using test::Split;
using test::ToolRun;

const char* const kHeader =
    "station\ttime\twind_dir\twind_kt\tgust_kt\tvisibility_m\ttemp_c\tdewpoint_c\trh_pct\tpressure_hpa\tceiling_ft\t"
    "category\tstatus";

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
  EXPECT_EQ(lines[1], "KFFO\t2010-11-14T11:58Z\t300\t8.0\t18.0\t6437\t-4.7\t-7.2\t83\t1014.6\t1900\tMVFR\tok");
  EXPECT_EQ(lines[2], "EGLL\t2010-11-14T11:50Z\t0\t0.0\t\t10000\t10.0\t5.0\t71\t1013.0\t\tVFR\tok");
  EXPECT_EQ(lines[3], "KXXX\t2010-11-14T11:55Z\tVRB\t3.0\t\t805\t5.0\t5.0\t100\t1013.2\t200\tLIFR\tpartial");
  EXPECT_EQ(lines[4], "\t\t\t\t\t\t\t\t\t\t\t\trejected");
  EXPECT_EQ(lines[5], "LFBF\t2010-11-14T12:00Z\t\t\t\t\t\t\t\t\t\t\tok");
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
  EXPECT_EQ(lines[1], "KXXX\t2010-11-14T11:55Z\t270\t10.0\t\t16093\t5.0\t1.0\t75\t1013.2\t\tVFR\tok");
}

TEST_F(MetarCommand, ReadsStandardInput) {
  std::ofstream(path, std::ios::binary) << "2010/11/14 12:30\nKXXX 141155Z 27010KT 10SM CLR 05/01 A2992\n";
  const ToolRun result = RunTool("metar - < '" + path.string() + "'");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out,
            std::string(kHeader) + "\nKXXX\t2010-11-14T11:55Z\t270\t10.0\t\t16093\t5.0\t1.0\t75\t1013.2\t\tVFR\tok\n");
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
}

}  // namespace
}  // namespace nimbrel
