// A watched station's row in the user's units and zone, its trend and
// the TAF's next change.
#include <gtest/gtest.h>

#include <string>

#include "metar/MetarDecoder.h"
#include "metar/TafDecoder.h"
#include "observations/MetarCache.h"
#include "support/ZoneScope.h"
#include "watch/WatchRows.h"

namespace nimbrel {
namespace {

StationWeather Weather(const std::string& raw) {
  return weatherOf(decodeMetar(raw, UtcDateTime{2026, 12, 7, 13, 0}), raw, 0);
}

WatchInput Input() {
  WatchInput input;
  input.station.icao = "KXYZ";
  input.station.name = "Sample Field";
  input.previous = Weather("KXYZ 071150Z 24015KT 9999 BKN040 14/09 Q1010");
  input.current = Weather("KXYZ 071250Z 24025G35KT 4000 -RA BKN008 12/10 Q1008");
  input.taf = decodeTaf("TAF KXYZ 071100Z 0712/0812 24020KT 6000 BKN012 BECMG 0714/0716 26012KT 9999 BKN025",
                        UtcDateTime{2026, 12, 7, 11, 0});
  return input;
}

TEST(WatchRows, InEachPresetAndZone) {
  const test::ZoneScope zone("Asia/Kolkata");
  const MinimaSet minima = readMinima("* ceiling=1000 gust=30\nKXYZ runway=270 crosswind=10").minima;
  const std::int64_t now = UtcDateTime{2026, 12, 7, 12, 57}.epochMinutes();
  struct Case {
    DisplayUnits units;
    bool timeUtc;
    const char* wind;
    const char* visibility;
    const char* ceiling;
    const char* temperature;
    const char* nextChange;
  };
  const Case cases[] = {
      {unitPreset(UnitPreset::kAviation), true, "240\xB0 at 25 kt gusting to 35 kt", "4000 m", "800 ft",
       "12.0\xB0" "C / 10.0\xB0" "C", "BECMG 14:00 UTC to 16:00 UTC: MVFR"},
      {unitPreset(UnitPreset::kMetric), false, "240\xB0 at 46 km/h gusting to 65 km/h", "4000 m", "244 m",
       "12.0\xB0" "C / 10.0\xB0" "C", "BECMG 19:30 IST to 21:30 IST: MVFR"},
      {unitPreset(UnitPreset::kUs), false, "240\xB0 at 29 mph gusting to 40 mph", "2 1/2 SM", "800 ft",
       "53.6\xB0" "F / 50.0\xB0" "F", "BECMG 19:30 IST to 21:30 IST: MVFR"},
      // Knots and feet, but metres of visibility and Fahrenheit: a mix of the user's own.
      {DisplayUnits{TemperatureUnit::kFahrenheit, PressureUnit::kHectopascal, SpeedUnit::kKnot,
                    VisibilityUnit::kMetric, HeightUnit::kFoot},
       true, "240\xB0 at 25 kt gusting to 35 kt", "4000 m", "800 ft", "53.6\xB0" "F / 50.0\xB0" "F",
       "BECMG 14:00 UTC to 16:00 UTC: MVFR"},
  };
  for (const Case& c : cases) {
    const WatchRow row = watchRow(Input(), minima, now, c.units, c.timeUtc);
    SCOPED_TRACE(c.wind);
    EXPECT_EQ(row.icao, "KXYZ");
    EXPECT_EQ(row.name, "Sample Field");
    EXPECT_EQ(row.category, FlightCategory::IFR);
    EXPECT_EQ(row.categoryText, "IFR");
    EXPECT_EQ(row.ageMinutes, 7);
    EXPECT_EQ(row.age, "7 min ago");
    EXPECT_EQ(row.wind, c.wind);
    EXPECT_EQ(row.visibility, c.visibility);
    EXPECT_EQ(row.ceiling, c.ceiling);
    EXPECT_EQ(row.temperature, c.temperature);
    EXPECT_EQ(row.trend, WatchTrend::kWorse);
    EXPECT_EQ(row.nextChange, c.nextChange);
    // The minima stay in their own units whatever the display's.
    EXPECT_EQ(minimaVerdictText(row), "ceiling 800 ft < 1000; gust 35 kt > 30; crosswind 12.5 kt > 10");
  }
}

TEST(WatchRows, TrendAndAStationWithoutReports) {
  const std::int64_t now = UtcDateTime{2026, 12, 7, 13, 30}.epochMinutes();
  WatchInput input = Input();
  std::swap(input.previous, input.current);
  EXPECT_EQ(watchRow(input, {}, now, {}, true).trend, WatchTrend::kBetter);
  input.previous = input.current;
  EXPECT_EQ(watchRow(input, {}, now, {}, true).trend, WatchTrend::kSteady);
  input.previous.reset();
  EXPECT_EQ(watchRow(input, {}, now, {}, true).trend, WatchTrend::kNone);
  EXPECT_EQ(watchTrendText(WatchTrend::kWorse), std::string("worse"));

  WatchInput none;
  none.station.icao = "KABC";
  const WatchRow row = watchRow(none, readMinima("* ceiling=1000").minima, now, {}, true);
  EXPECT_EQ(row.categoryText, "no report");
  EXPECT_EQ(row.ageMinutes, -1);
  EXPECT_TRUE(row.belowMinima.empty());
  EXPECT_EQ(row.nextChange, "");
  // After the forecast's end it says so.
  input.taf = decodeTaf("TAF KXYZ 061100Z 0612/0712 24020KT 6000 BKN012", UtcDateTime{2026, 12, 6, 11, 0});
  EXPECT_EQ(watchRow(input, {}, now, {}, true).nextChange, "Forecast ended at 12:00 UTC");
}

}  // namespace
}  // namespace nimbrel
