// nimbrel-report taf as a whole process: one line per part of each TAF.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/RunTool.h"

namespace nimbrel {
namespace {

using test::RunTool;
using test::Split;
using test::ToolRun;

TEST(TafCommand, WritesOneLinePerGroup) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("nimbrel_taf_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::ofstream(path, std::ios::binary)
      << "2018/09/30 11:10\n"
         "TAF RJTT 301105Z 3012/0118 17026G36KT 6000 -SHRA FEW008 BKN015 TEMPO 3014/3018 19060G75KT 2000 +SHRA BR "
         "BKN008 PROB40 TEMPO 0100/0103 TSRA FM010600 00000KT CAVOK=\n"
         "\n"
         "201809031200 TAF EGLL 031100Z 0312/0418 VRB03KT 9999 NSC PROB30 0312/0315 ZZZ 4000 BR BECMG 0318/0320 NSW\n"
         "TAF EGLL 031100Z NIL=\n"
         "not a forecast\n";
  const ToolRun run = RunTool("taf '" + path.string() + "'");
  std::filesystem::remove(path);
  ASSERT_EQ(run.exitCode, 0);
  const std::vector<std::string> lines = Split(run.out, '\n');
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[0],
            "station\tissued\tgroup\tfrom\tto\tprobability\twind_dir\twind_kt\tgust_kt\tvisibility_m\tweather\t"
            "ceiling_ft\tcategory\tstatus\ttx_c\ttn_c\twind_shear\tundecoded\treason");
  EXPECT_EQ(lines[1],
            "RJTT\t2018-09-30T11:05Z\tBASE\t2018-09-30T12:00Z\t2018-10-01T06:00Z\t\t170\t26.0\t36.0\t6000\t"
            "light rain showers\t1500\tMVFR\tok\t\t\t\t\t");
  EXPECT_EQ(lines[2],
            "RJTT\t2018-09-30T11:05Z\tTEMPO\t2018-09-30T14:00Z\t2018-09-30T18:00Z\t\t190\t60.0\t75.0\t2000\t"
            "heavy rain showers; mist\t800\tIFR\tok\t\t\t\t\t");
  EXPECT_EQ(lines[3],
            "RJTT\t2018-09-30T11:05Z\tPROBTEMPO\t2018-10-01T00:00Z\t2018-10-01T03:00Z\t40\t\t\t\t\t"
            "thunderstorm with rain\t\t\tok\t\t\t\t\t");
  EXPECT_EQ(lines[4], "RJTT\t2018-09-30T11:05Z\tFM\t2018-10-01T06:00Z\t2018-10-01T18:00Z\t\t0\t0.0\t\t10000\t\t\tVFR\tok\t\t\t\t\t");
  EXPECT_EQ(lines[5], "EGLL\t2018-09-03T11:00Z\tBASE\t2018-09-03T12:00Z\t2018-09-04T18:00Z\t\tVRB\t3.0\t\t10000\t\t\tVFR\tok\t\t\t\t\t");
  EXPECT_EQ(lines[6],
            "EGLL\t2018-09-03T11:00Z\tPROB\t2018-09-03T12:00Z\t2018-09-03T15:00Z\t30\t\t\t\t4000\tmist\t\tIFR\tpartial\t\t\t\tZZZ\t");
  EXPECT_EQ(lines[7],
            "EGLL\t2018-09-03T11:00Z\tBECMG\t2018-09-03T18:00Z\t2018-09-03T20:00Z\t\t\t\t\t\tno significant weather\t\t\tok\t\t\t\t\t");
  EXPECT_EQ(lines[8], "EGLL\t2018-09-03T11:00Z\t\t\t\t\t\t\t\t\t\t\t\tnil\t\t\t\t\t");
  EXPECT_EQ(lines[9], "\t\t\t\t\t\t\t\t\t\t\t\t\trejected\t\t\t\t\tno station identifier");
  EXPECT_EQ(lines[10], "");

  EXPECT_EQ(RunTool("taf '" + path.string() + "'").exitCode, 2);  // removed above
  EXPECT_EQ(RunTool("taf '" + std::filesystem::temp_directory_path().string() + "'").exitCode, 2);
}

TEST(TafCommand, WritesTheWholeDecodingAndTellsNilAndRejectedApart) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() /
      ("nimbrel_taf_whole_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::ofstream(path, std::ios::binary)
      << "2010/11/30 06:00\n"
         "TAF YSSY 300500Z 3006/0112 18010KT 9999 FEW030 WS020/27045KT INTER 3008/3012 5000 SHRA BKN015 QQQ "
         "TX25/3005Z TN12/3019Z TX26/0105Z\n"
         "TAF YSSY 300500Z 3006/3106 18010KT 9999 FEW030\n";
  const ToolRun run = RunTool("taf --no-header '" + path.string() + "'");
  std::filesystem::remove(path);
  ASSERT_EQ(run.exitCode, 0);
  const std::vector<std::string> lines = Split(run.out, '\n');
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0],
            "YSSY\t2010-11-30T05:00Z\tBASE\t2010-11-30T06:00Z\t2010-12-01T12:00Z\t\t180\t10.0\t\t10000\t\t\tVFR\tok\t"
            "25;26\t12\tWS020/27045KT\t\t");
  // INTER is not shown as TEMPO; a group's own undecoded groups go on its row.
  EXPECT_EQ(lines[1],
            "YSSY\t2010-11-30T05:00Z\tINTER\t2010-11-30T08:00Z\t2010-11-30T12:00Z\t\t\t\t\t5000\train showers\t1500\t"
            "MVFR\tpartial\t25;26\t12\t\tQQQ\t");
  // 30 November has no 31st: the validity cannot be.
  EXPECT_EQ(lines[2], "\t\t\t\t\t\t\t\t\t\t\t\t\trejected\t\t\t\t\tno valid validity period");
}

}  // namespace
}  // namespace nimbrel
