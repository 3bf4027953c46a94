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

TEST(WatchRows, InputsFromTheWorldSnapshotAndTheStore) {
  StationList catalogue(4);
  const char* const codes[][2] = {{"KAAA", "Alpha"}, {"KXYZ", "Sample Field"}, {"KQQQ", "Quebec"}, {"KOLD", "Old"}};
  for (std::size_t i = 0; i < 4; ++i) {
    catalogue[i].icao = codes[i][0];
    catalogue[i].name = codes[i][1];
  }
  const auto at = [](const std::string& raw, std::size_t station) {
    StationWeather weather = Weather(raw);
    weather.station = station;
    return weather;
  };
  WeatherSnapshot snapshot;
  snapshot.stations = {at("KAAA 071250Z 00000KT 9999 SKC 10/01 Q1020", 0),
                       at("KXYZ 071350Z 24010KT 9999 OVC009 12/08 Q1012", 1),
                       at("KQQQ 071250Z 27008KT 9999 FEW030 08/02 Q1021", 2)};
  std::vector<WatchInput> stored(3);
  stored[0].station.icao = "KXYZ";
  stored[0].previous = Weather("KXYZ 071150Z 24010KT 9999 BKN040 12/08 Q1012");
  stored[0].current = Weather("KXYZ 071250Z 24010KT 9999 BKN020 12/08 Q1012");
  stored[0].taf = decodeTaf("TAF KXYZ 071100Z 0712/0812 24020KT 6000 BKN012", UtcDateTime{2026, 12, 7, 11, 0});
  stored[1].station.icao = "KQQQ";
  stored[1].previous = Weather("KQQQ 071150Z 27008KT 4000 BR BKN008 08/02 Q1021");
  stored[1].current = snapshot.stations[2];
  stored[2].station.icao = "KOLD";
  stored[2].current = Weather("KOLD 070950Z 27008KT 9999 FEW030 08/02 Q1021");

  const std::vector<WatchInput> inputs = watchInputs({"KQQQ", "KNON", "KXYZ", "KOLD"}, snapshot, catalogue, stored);
  ASSERT_EQ(inputs.size(), 4u);
  // The snapshot's report, and the stored one of the same time's predecessor.
  EXPECT_EQ(inputs[0].station.name, "Quebec");
  EXPECT_EQ(inputs[0].current->rawReport, snapshot.stations[2].rawReport);
  EXPECT_EQ(inputs[0].previous->rawReport, stored[1].previous->rawReport);
  EXPECT_FALSE(inputs[0].taf);
  // Nowhere: a row without a report.
  EXPECT_EQ(inputs[1].station.icao, "KNON");
  EXPECT_FALSE(inputs[1].current || inputs[1].previous);
  // The download is newer than the store: the stored report comes before it.
  EXPECT_EQ(inputs[2].station.name, "Sample Field");
  EXPECT_EQ(inputs[2].current->rawReport, snapshot.stations[1].rawReport);
  EXPECT_EQ(inputs[2].previous->rawReport, stored[0].current->rawReport);
  EXPECT_TRUE(inputs[2].taf);
  // Not in the download: the stored report.
  EXPECT_EQ(inputs[3].current->rawReport, stored[2].current->rawReport);
  EXPECT_EQ(watchRow(inputs[2], {}, UtcDateTime{2026, 12, 7, 14, 0}.epochMinutes(), {}, true).trend, WatchTrend::kWorse);
}

}  // namespace
}  // namespace nimbrel
