// nimbrel-report verify run as a whole process on a store file: the hours
// of a period judged against the TAF in force, the totals, and its exits.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "metar/UtcDateTime.h"
#include "reportstore/ReportStore.h"
#include "support/ReadFile.h"
#include "support/RunTool.h"
#include "support/TempFolder.h"

namespace nimbrel::test {
namespace {

std::int64_t At(int hour, int minute) { return UtcDateTime{2026, 12, 7, hour, minute}.epochMinutes() * 60; }

class VerifyCommandTest : public ::testing::Test {
 protected:
  void Store(bool withForecast) {
    ReportStore store(folder / "reports.sqlite");
    const std::vector<StoredMetar> metars = {
        {"KXYZ", At(6, 53), "KXYZ 070653Z 24010KT 10SM SCT050 12/05 A3001", ReportOrigin::kChart, false},
        {"KXYZ", At(7, 53), "KXYZ 070753Z 24010KT 2SM BR OVC007 11/09 A3000", ReportOrigin::kChart, false},
        {"KXYZ", At(9, 53), "KXYZ 070953Z 24012KT 4SM -RA BKN020 10/08 A2999", ReportOrigin::kChart, false},
    };
    ASSERT_TRUE(store.putMetars(metars));
    if (withForecast) {
      const std::vector<StoredForecast> tafs = {
          {"KXYZ", At(5, 20), "TAF KXYZ 070520Z 0706/0812 24010KT P6SM SCT050 TEMPO 0709/0711 3SM -RA BKN015"}};
      ASSERT_TRUE(store.putForecasts(tafs));
    }
  }

  ToolRun Verify(const std::string& arguments) {
    const std::filesystem::path errors = folder / "errors.txt";
    ToolRun run = RunCommandLine("HOME='" + folder.Path().string() + "' XDG_DATA_HOME= timeout 20 '" +
                                 NIMBREL_REPORT_TOOL + "' verify " + arguments + " 2>'" + errors.string() + "'");
    run.errors = ReadAll(errors);
    return run;
  }

  TempFolder folder;
};

TEST_F(VerifyCommandTest, EachHourAndTheTotals) {
  Store(true);
  const ToolRun run = Verify("kxyz --hours 4 --now 2026-12-07T10:05Z --store '" + (folder / "reports.sqlite").string() + "'");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(run.out,
            "hour\tforecast\tallowed\tobserved\tverdict\n"
            "2026-12-07T06:00Z\tVFR\tVFR\tVFR\tright\n"
            "2026-12-07T07:00Z\tVFR\tVFR\tIFR\tworse\n"
            "2026-12-07T08:00Z\tVFR\tVFR\t\t\n"
            "2026-12-07T09:00Z\tVFR\tVFR MVFR\tMVFR\tright\n"
            "Forecast: 2 of 3 hours right (67%)\n");
}

TEST_F(VerifyCommandTest, WithoutForecastsOrAStore) {
  Store(false);
  const std::string file = (folder / "reports.sqlite").string();
  const ToolRun none = Verify("KXYZ --hours 2 --now 2026-12-07T08:00Z --store '" + file + "'");
  ASSERT_EQ(none.exitCode, 0) << none.errors;
  EXPECT_NE(none.out.find("\nForecast: none stored\n"), std::string::npos) << none.out;

  const ToolRun missing = Verify("KXYZ --store '" + (folder / "nothing.sqlite").string() + "'");
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.errors.find("no report store"), std::string::npos) << missing.errors;
  EXPECT_FALSE(std::filesystem::exists(folder / "nothing.sqlite"));
  for (const char* bad : {"", "KXYZ --hours 0", "KXYZ --now yesterday", "KXYZ --frobnicate"})
    EXPECT_EQ(Verify(bad).exitCode, 2) << bad;
}

}  // namespace
}  // namespace nimbrel::test
