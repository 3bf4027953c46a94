// nimbrel-report watch run as a whole process on a store file: the table,
// the exit that says a station is below its minima, the errors, and the
// alerts it prints while it keeps watching.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "metar/UtcDateTime.h"
#include "reportstore/ReportStore.h"
#include "support/ReadFile.h"
#include "support/RunTool.h"
#include "support/TempFolder.h"

namespace nimbrel::test {
namespace {

std::int64_t At(int hour, int minute) { return UtcDateTime{2026, 12, 7, hour, minute}.epochMinutes() * 60; }

class WatchCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReportStore store(file());
    const std::vector<StoredMetar> metars = {
        {"KXYZ", At(11, 53), "KXYZ 071153Z 24010KT 10SM SCT050 12/05 A3001", ReportOrigin::kWorldFile, false},
        {"KXYZ", At(12, 53), "KXYZ 071253Z 24025G35KT 2SM BR OVC007 11/09 A3000", ReportOrigin::kWorldFile, false},
        {"KQQQ", At(12, 50), "KQQQ 071250Z 27008KT 9999 FEW030 08/02 Q1021", ReportOrigin::kWorldFile, false},
    };
    ASSERT_TRUE(store.putMetars(metars));
    const std::vector<StoredForecast> tafs = {
        {"KXYZ", At(11, 20), "TAF KXYZ 071120Z 0712/0812 24015KT P6SM BKN012 FM071500 26010KT P6SM SCT040"}};
    ASSERT_TRUE(store.putForecasts(tafs));
  }

  std::filesystem::path file() const { return folder / "reports.sqlite"; }

  void WriteMinima(const std::string& text) { std::ofstream(folder / "minima.txt") << text; }

  // The computer's locale picks the aviation preset's visibility unit.
  ToolRun Watch(const std::string& arguments, const char* zone = "UTC", const char* locale = "C") {
    const std::filesystem::path errors = folder / "errors.txt";
    ToolRun run = RunCommandLine("LC_ALL=" + std::string(locale) + " TZ=" + std::string(zone) + " HOME='" + folder.Path().string() +
                                 "' XDG_DATA_HOME= timeout 20 '" + NIMBREL_REPORT_TOOL + "' watch " + arguments +
                                 " 2>'" + errors.string() + "'");
    run.errors = ReadAll(errors);
    return run;
  }

  std::string Store() const { return " --store '" + file().string() + "'"; }

  TempFolder folder;
};

constexpr const char* kHeader =
    "station\tname\tcategory\tage\twind\tvisibility\tceiling\ttemperature\ttrend\tnext change\tminima\n";

TEST_F(WatchCommandTest, TheTableAndTheMinimaVerdictInItsExit) {
  const ToolRun plain = Watch("kxyz KQQQ KNON --once --now 2026-12-07T13:05Z --units aviation" + Store());
  ASSERT_EQ(plain.exitCode, 0) << plain.errors;
  EXPECT_EQ(plain.out, std::string(kHeader) +
                           "KXYZ\t\tIFR\t12 min ago\t240° at 25 kt gusting to 35 kt\t3200 m\t700 ft\t11.0°C / 9.0°C\t"
                           "worse\tFM 15:00 UTC: VFR\t\n"
                           "KQQQ\t\tVFR\t15 min ago\t270° at 8 kt\t10 km or more\tnone\t8.0°C / 2.0°C\t\t"
                           "\t\n"
                           "KNON\t\tno report\t\t\t\t\t\t\t\t\n");

  WriteMinima("* ceiling=1000 visibility=5000\nKXYZ gust=30 runway=270 crosswind=10\n");
  const ToolRun below = Watch("KXYZ KQQQ --once --now 2026-12-07T13:05Z --minima '" +
                              (folder / "minima.txt").string() + "' --units us --time local" + Store(),
                              "Asia/Kolkata");
  EXPECT_EQ(below.exitCode, 1) << below.errors;
  EXPECT_EQ(below.out, std::string(kHeader) +
                           "KXYZ\t\tIFR\t12 min ago\t240° at 29 mph gusting to 40 mph\t2 SM\t700 ft\t51.8°F / 48.2°F\t"
                           "worse\tFM 20:30 IST: VFR\t"
                           "ceiling 700 ft < 1000; visibility 3219 m < 5000; gust 35 kt > 30; crosswind 12.5 kt > 10\n"
                           "KQQQ\t\tVFR\t15 min ago\t270° at 9 mph\t6 SM or more\tnone\t46.4°F / 35.6°F\t\t\t\n");

  // In North America the aviation preset gives statute miles.
  const ToolRun american = Watch("KXYZ --once --now 2026-12-07T13:05Z --units aviation" + Store(), "UTC", "en_US.UTF-8");
  EXPECT_NE(american.out.find("\t240° at 25 kt gusting to 35 kt\t2 SM\t700 ft\t"), std::string::npos) << american.out;

  WriteMinima("* ceiling=500\n");
  EXPECT_EQ(Watch("KQQQ KXYZ --once --minima '" + (folder / "minima.txt").string() + "'" + Store()).exitCode, 0);
}

TEST_F(WatchCommandTest, ErrorsAndUsage) {
  WriteMinima("* ceiling=1000\nEGLL runway=270\n");
  const ToolRun bad = Watch("KXYZ --once --minima '" + (folder / "minima.txt").string() + "'" + Store());
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_NE(bad.errors.find("minima.txt: line 2: runway without a crosswind limit"), std::string::npos) << bad.errors;
  EXPECT_EQ(bad.out, "");

  const ToolRun missing = Watch("KXYZ --once --store '" + (folder / "nothing.sqlite").string() + "'");
  EXPECT_EQ(missing.exitCode, 3);
  EXPECT_NE(missing.errors.find("no report store"), std::string::npos) << missing.errors;
  EXPECT_FALSE(std::filesystem::exists(folder / "nothing.sqlite"));

  for (const char* usage : {"--once", "XX --once", "KXYZ --once --units imperial", "KXYZ --once --time mars",
                            "KXYZ --once --now yesterday", "KXYZ --now 2026-12-07T13:05Z", "KXYZ --interval 0",
                            "KXYZ --once --minima", "KXYZ --once --minima /no/such/file", "KXYZ --frobnicate 1"})
    EXPECT_EQ(Watch(std::string(usage) + Store()).exitCode, 2) << usage;
}

TEST_F(WatchCommandTest, KeepsWatchingAndTellsEachChangeOnce) {
  const std::filesystem::path out = folder / "out.txt";
  const std::filesystem::path pid = folder / "pid.txt";
  // In North America the aviation preset gives statute miles.
  const ToolRun american = Watch("KXYZ --once --now 2026-12-07T13:05Z --units aviation" + Store(), "UTC", "en_US.UTF-8");
  EXPECT_NE(american.out.find("\t240° at 25 kt gusting to 35 kt\t2 SM\t700 ft\t"), std::string::npos) << american.out;

  WriteMinima("* ceiling=500\n");
  ASSERT_EQ(std::system(("HOME='" + folder.Path().string() + "' XDG_DATA_HOME= timeout 60 '" + NIMBREL_REPORT_TOOL +
                         "' watch KXYZ --interval 1 --minima '" + (folder / "minima.txt").string() + "'" + Store() +
                         " >'" + out.string() + "' 2>&1 & echo $! >'" + pid.string() + "'")
                            .c_str()),
            0);
  const auto waitFor = [&](const std::string& text) {
    for (int i = 0; i < 100; ++i) {
      if (ReadAll(out).find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  };
  ASSERT_TRUE(waitFor(kHeader)) << ReadAll(out);
  {
    ReportStore store(file());
    const std::vector<StoredMetar> metars = {
        // Older than the one seen: no alert.
        {"KXYZ", At(12, 20), "KXYZ 071220Z 24010KT 1/2SM FG OVC002 11/09 A3000", ReportOrigin::kWorldFile, false},
        {"KXYZ", At(13, 53), "KXYZ 071353Z 24012KT 1/2SM FG OVC003 11/10 A3000", ReportOrigin::kWorldFile, false},
    };
    ASSERT_TRUE(store.putMetars(metars));
  }
  ASSERT_TRUE(waitFor("IFR to LIFR")) << ReadAll(out);
  {
    ReportStore store(file());
    const std::vector<StoredForecast> tafs = {
        {"KXYZ", At(13, 40), "TAF AMD KXYZ 071340Z 0714/0812 24010KT 1/2SM FG OVC003 FM071800 26010KT P6SM SCT040"}};
    ASSERT_TRUE(store.putForecasts(tafs));
  }
  ASSERT_TRUE(waitFor("TAF amended")) << ReadAll(out);
  // Some more rounds with nothing new say nothing more.
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  std::system(("kill $(cat '" + pid.string() + "')").c_str());
  const std::string text = ReadAll(out);
  const std::string alerts = text.substr(text.find('\n', text.find("KXYZ\t")) + 1);
  const auto field = [](const std::string& line, int index) {
    std::size_t at = 0;
    for (int i = 0; i < index; ++i) at = line.find('\t', at) + 1;
    return line.substr(at, line.find('\t', at) - at);
  };
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < alerts.size();) {
    const std::size_t end = alerts.find('\n', at);
    lines.push_back(alerts.substr(at, end - at));
    at = end + 1;
  }
  ASSERT_EQ(lines.size(), 2u) << text;
  EXPECT_EQ(field(lines[0], 1), "KXYZ");
  EXPECT_EQ(field(lines[0], 2), "IFR to LIFR; below minima: ceiling 300 ft < 500");
  EXPECT_EQ(field(lines[0], 3), "KXYZ 071353Z 24012KT 1/2SM FG OVC003 11/10 A3000");
  EXPECT_EQ(field(lines[1], 2), "TAF amended");
  EXPECT_EQ(field(lines[1], 3).substr(0, 24), "TAF AMD KXYZ 071340Z 071");
}

}  // namespace
}  // namespace nimbrel::test
