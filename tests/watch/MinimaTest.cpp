// Personal minima: their text form, good and bad lines, the global set
// under a station's override, and which limits a report breaks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "metar/MetarDecoder.h"
#include "observations/MetarCache.h"
#include "watch/Minima.h"
#include "watch/WatchList.h"

namespace nimbrel {
namespace {

StationWeather Weather(const std::string& raw) {
  return weatherOf(decodeMetar(raw, UtcDateTime{2026, 12, 7, 13, 0}), raw, 0);
}

TEST(Minima, GoodTextsAndTheOverrideOverTheGlobalSet) {
  const MinimaReading reading = readMinima(
      "# my minima\n"
      "* ceiling=1000 visibility=5000 wind=25 gust=35\n"
      "\n"
      "egll ceiling=500 runway=270 crosswind=20   # home\n"
      "LFPG\tvisibility=800\r\n");
  ASSERT_EQ(reading.error, "");
  const Minima egll = reading.minima.forStation("EGLL");
  EXPECT_EQ(egll.ceilingFt, 500);
  EXPECT_EQ(egll.visibilityM, 5000);
  EXPECT_EQ(egll.windKt, 25);
  EXPECT_EQ(egll.gustKt, 35);
  EXPECT_EQ(egll.runwayDeg, 270);
  EXPECT_EQ(egll.crosswindKt, 20);
  EXPECT_EQ(reading.minima.forStation("LFPG").visibilityM, 800);
  EXPECT_EQ(reading.minima.forStation("LFPG").ceilingFt, 1000);
  EXPECT_EQ(reading.minima.forStation("KJFK"), reading.minima.global);

  // The written form reads back to the same set.
  const std::string text = minimaText(reading.minima);
  EXPECT_EQ(text,
            "* ceiling=1000 visibility=5000 wind=25 gust=35\n"
            "EGLL ceiling=500 runway=270 crosswind=20\n"
            "LFPG visibility=800\n");
  const MinimaReading again = readMinima(text);
  EXPECT_EQ(again.error, "");
  EXPECT_EQ(again.minima, reading.minima);
  EXPECT_EQ(readMinima("").minima, MinimaSet{});
  // A crosswind limit of the global set serves a station's runway.
  EXPECT_EQ(readMinima("* crosswind=15\nEGLL runway=90").error, "");
}

TEST(Minima, ABadLineIsAnErrorWithItsNumber) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"* ceiling=abc", "line 1: ceiling takes a whole number from 0 to 60000, not \"abc\""},
      {"* ceiling=-5", "line 1: ceiling takes a whole number from 0 to 60000, not \"-5\""},
      {"* ceiling=1000\n\nEGL ceiling=500", "line 3: \"EGL\" is no ICAO code or \"*\""},
      {"* fog=1", "line 1: unknown limit \"fog\" (ceiling, visibility, wind, gust, runway and crosswind are known)"},
      {"* ceiling", "line 1: ceiling needs a value, as ceiling=10"},
      {"EGLL", "line 1: no limit for EGLL"},
      {"EGLL runway=270", "line 1: runway without a crosswind limit"},
      {"EGLL runway=0 crosswind=10", "line 1: runway takes a whole number from 1 to 360, not \"0\""},
      {"* runway=270 crosswind=10", "line 1: a runway belongs to a station, not to \"*\""},
      {"EGLL ceiling=500\n# note\negll gust=30", "line 3: EGLL is given twice"},
      {"* wind=10\n* gust=20", "line 2: * is given twice"},
      {"* wind=10 wind=20", "line 1: wind is given twice"},
      {"* wind=10kt", "line 1: wind takes a whole number from 0 to 200, not \"10kt\""},
  };
  for (const Case& c : cases) {
    const MinimaReading reading = readMinima(c.text);
    EXPECT_EQ(reading.error, c.error) << c.text;
    EXPECT_EQ(reading.minima, MinimaSet{}) << c.text;
  }
}

TEST(Minima, TheLimitsAReportBreaks) {
  const MinimaSet minima = readMinima("* ceiling=500 visibility=1500 wind=20 gust=30\nKXYZ runway=270 crosswind=10").minima;
  struct Case {
    const char* station;
    const char* report;
    std::vector<std::string> broken;
  };
  const Case cases[] = {
      // 25 kt at 30 degrees off runway 27: 12.5 kt across.
      {"KXYZ", "KXYZ 071250Z 24025KT 9999 SCT040 12/05 Q1013", {"wind 25 kt > 20", "crosswind 12.5 kt > 10"}},
      {"KABC", "KABC 071250Z 24025KT 9999 SCT040 12/05 Q1013", {"wind 25 kt > 20"}},
      {"KXYZ", "KXYZ 071250Z 27015G35KT 9999 BKN004 12/05 Q1013", {"ceiling 400 ft < 500", "gust 35 kt > 30"}},
      {"KXYZ", "KXYZ 071250Z 18008KT 1200 BR OVC010 12/11 Q1013", {"visibility 1200 m < 1500"}},
      // A variable wind may blow straight across.
      {"KXYZ", "KXYZ 071250Z VRB12KT CAVOK 20/10 Q1013", {"crosswind 12 kt > 10"}},
      // At a limit is not past it.
      {"KXYZ", "KXYZ 071250Z 24020KT 1500 BKN005 12/05 Q1013", {}},
      {"KXYZ", "KXYZ 071253Z 00000KT M1/4SM FG VV001 10/10 A3001", {"ceiling 100 ft < 500", "visibility less than 402 m < 1500"}},
      // What a report leaves out breaks nothing.
      {"KXYZ", "KXYZ 071250Z /////KT //// ///////// 12/05 Q1013", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(belowMinima(Weather(c.report), minima.forStation(c.station)), c.broken) << c.report;
  EXPECT_EQ(belowMinima(Weather("KXYZ 071250Z 24025G40KT 0800 FG OVC001 12/05 Q1013"), Minima{}), std::vector<std::string>{});
}

TEST(WatchList, SettingTextKeepsGoodCodesOnceInOrder) {
  EXPECT_EQ(watchListFromSettingText("egll, KJFK,XX,EGLL;lfpg 1ABC KJFK9 K2J5"),
            (std::vector<std::string>{"EGLL", "KJFK", "LFPG", "K2J5"}));
  EXPECT_EQ(watchListFromSettingText(""), std::vector<std::string>{});
  EXPECT_EQ(watchListSettingText({"EGLL", "KJFK"}), "EGLL,KJFK");
  EXPECT_EQ(watchListFromSettingText(watchListSettingText({"LFPG", "EGLL"})), (std::vector<std::string>{"LFPG", "EGLL"}));
}

}  // namespace
}  // namespace nimbrel
