#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/RunTool.h"
#include "support/StationListLines.h"
#include "support/TempFolder.h"

namespace nimbrel {
namespace {

using test::RunTool;
using test::Split;
using test::ToolRun;

class StationsCommand : public ::testing::Test {
 protected:
  test::TempFolder folder;
  const std::filesystem::path path = folder / "stations list.txt";  // a blank in the name, quoted for the shell
};

TEST_F(StationsCommand, PrintsAHeaderAndOneLinePerStation) {
  test::LineFields south;
  south.name = "A/B\\C";
  south.icao = "SBXX";
  south.lat = "05 30S";
  south.lon = "000 00E";
  south.elev = "-12";
  folder.Write(path.filename().string(),
               "! header\n" + test::StationLine() + "\r\n" + test::StationLine(south));

  const ToolRun run = RunTool("stations '" + path.string() + "'");
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
  const ToolRun missing = RunTool("stations '" + path.string() + "'", true);  // never created
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.out.find("can not open a file \"" + path.string() + "\""), std::string::npos) << missing.out;
  EXPECT_EQ(RunTool("stations '" + path.string() + "'").out, "");  // the message goes to standard error only
  EXPECT_EQ(RunTool("stations").exitCode, 2);
}

TEST(StationsCommandRealList, ListsEveryStation) {
  if (!std::filesystem::exists(NIMBREL_SHARED_STATIONS)) GTEST_SKIP() << "no shared station list";
  const ToolRun run = RunTool(std::string("stations '") + NIMBREL_SHARED_STATIONS + "'");
  ASSERT_EQ(run.exitCode, 0);
  const std::vector<std::string> lines = Split(run.out, '\n');
  ASSERT_EQ(lines.size(), 9147u);  // header, 9,145 stations, the empty tail
  EXPECT_EQ(lines[1].substr(0, 17), "AK\tADAK NAS\tPADK\t");
}

}  // namespace
}  // namespace nimbrel
