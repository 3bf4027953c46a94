#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "StationListLines.h"

namespace nimbrel {
namespace {

struct RunResult {
  int exitCode = -1;
  std::string out;
};

// Runs the built tool; its standard error goes with its output or nowhere.
RunResult RunTool(const std::string& arguments, bool withErrors = false) {
  RunResult result;
  const std::string command =
      std::string("'") + NIMBREL_REPORT_TOOL + "' " + arguments + (withErrors ? " 2>&1" : " 2>/dev/null");
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, got);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.push_back("");
  return parts;
}

class StationsCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    path = std::filesystem::temp_directory_path() /
           ("nimbrel_stations_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt");
  }
  void TearDown() override { std::filesystem::remove(path); }
  std::filesystem::path path;
};

TEST_F(StationsCommand, PrintsAHeaderAndOneLinePerStation) {
  test::LineFields south;
  south.name = "A/B\\C";
  south.icao = "SBXX";
  south.lat = "05 30S";
  south.lon = "000 00E";
  south.elev = "-12";
  std::ofstream(path, std::ios::binary) << "! header\n" << test::StationLine() << "\r\n" << test::StationLine(south);

  const RunResult run = RunTool("stations '" + path.string() + "'");
  ASSERT_EQ(run.exitCode, 0);
  const std::vector<std::string> lines = Split(run.out, '\n');
  ASSERT_EQ(lines.size(), 4u);  // header, two stations, nothing after the last line feed
  EXPECT_EQ(lines[0],
            "cd\tname\ticao\tiata\ttext4\tlatText\tlonText\televText\ttext8\ttext9\ttext10\ttext11\ttext12\ttext13\t"
            "text14\tcy\tmapLongitude\tmapColatitude\televation");
  EXPECT_EQ(lines[1],
            "ZZ\tSAMPLE FIELD\tZZZZ\tZZZ\tZZZZZ\t12 34N\t056 07W\t89\tX\t\t\t\tA\t\t5\tQQ\t123.8833\t77.4333\t89.0");
  const std::vector<std::string> fields = Split(lines[2], '\t');
  ASSERT_EQ(fields.size(), 19u);
  EXPECT_EQ(fields[1], "A_B_C");
  EXPECT_EQ(fields[16], "180.0000");
  EXPECT_EQ(fields[17], "95.5000");
  EXPECT_EQ(fields[18], "-12.0");
  EXPECT_EQ(lines[3], "");
}

TEST_F(StationsCommand, FailuresExitWithTwo) {
  const RunResult missing = RunTool("stations '" + path.string() + "'", true);  // never created
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.out.find("can not open a file \"" + path.string() + "\""), std::string::npos) << missing.out;
  EXPECT_EQ(RunTool("stations '" + path.string() + "'").out, "");  // the message goes to standard error only
  EXPECT_EQ(RunTool("stations").exitCode, 2);
}

TEST(StationsCommandRealList, ListsEveryStation) {
  if (!std::filesystem::exists(NIMBREL_STATIONS_LIST)) GTEST_SKIP() << "no shared station list";
  const RunResult run = RunTool(std::string("stations '") + NIMBREL_STATIONS_LIST + "'");
  ASSERT_EQ(run.exitCode, 0);
  const std::vector<std::string> lines = Split(run.out, '\n');
  ASSERT_EQ(lines.size(), 9147u);  // header, 9,145 stations, the empty tail
  EXPECT_EQ(lines[1].substr(0, 17), "AK\tADAK NAS\tPADK\t");
}

}  // namespace
}  // namespace nimbrel
