// The station card's texts: the same report under each units preset and a
// mixed choice, in UTC and in local zones, and the next change of a TAF.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "charts/StationCardText.h"
#include "metar/TafDecoder.h"
#include "support/ZoneScope.h"

namespace nimbrel {
namespace {

// 2026-05-20 14:50 UTC in minutes since 1970.
const std::int64_t kObserved = UtcDateTime{2026, 5, 20, 14, 50}.epochMinutes();

Station Benina() {
  Station s;
  s.name = "BENINA";
  s.icao = "HLLB";
  s.iata = "BEN";
  s.hasPosition = true;
  return s;
}

StationWeather Gusty() {
  StationWeather w;
  w.rawReport = "HLLB 201450Z 24015G28KT 4000 BKN012 18/09 Q1011";
  w.observedMinutes = kObserved;
  w.temperatureC = 18.0;
  w.dewPointC = 9.0;
  w.windDirectionDeg = 240;
  w.windSpeedKt = 15.0;
  w.windGustKt = 28.0;
  w.visibilityM = 4000.0;
  w.ceilingFt = 1200;
  w.category = FlightCategory::MVFR;
  return w;
}

TEST(StationCardText, TheReportInTheUsersUnitsAndZone) {
  DisplayUnits mixed = unitPreset(UnitPreset::kMetric);
  mixed.speed = SpeedUnit::kKnot;
  mixed.height = HeightUnit::kFoot;
  const struct {
    const char* name;
    DisplayUnits units;
    const char* zone;
    bool timeUtc;
    const char* age;
    std::vector<std::string> values;
  } cases[] = {
      {"default", DisplayUnits{}, "UTC", true, "Observed 14:50 UTC, 37 min ago",
       {"Wind: 240\xB0 at 7.7 m/s gusting to 14.4 m/s", "Visibility: 4000 m", "Ceiling: 366 m",
        "Temperature: 18.0\xB0" "C", "Dew point: 9.0\xB0" "C"}},
      {"aviation, New York", unitPreset(UnitPreset::kAviation), "America/New_York", false,
       "Observed 10:50 EDT, 37 min ago",
       {"Wind: 240\xB0 at 15 kt gusting to 28 kt", "Visibility: 4000 m", "Ceiling: 1200 ft",
        "Temperature: 18.0\xB0" "C", "Dew point: 9.0\xB0" "C"}},
      {"metric, Kolkata in UTC", unitPreset(UnitPreset::kMetric), "Asia/Kolkata", true,
       "Observed 14:50 UTC, 37 min ago",
       {"Wind: 240\xB0 at 28 km/h gusting to 52 km/h", "Visibility: 4000 m", "Ceiling: 366 m",
        "Temperature: 18.0\xB0" "C", "Dew point: 9.0\xB0" "C"}},
      {"US, Lord Howe", unitPreset(UnitPreset::kUs), "Australia/Lord_Howe", false,
       "Observed 01:20 +1030, 37 min ago",
       {"Wind: 240\xB0 at 17 mph gusting to 32 mph", "Visibility: 2 1/2 SM", "Ceiling: 1200 ft",
        "Temperature: 64.4\xB0" "F", "Dew point: 48.2\xB0" "F"}},
      {"mixed, Kolkata", mixed, "Asia/Kolkata", false, "Observed 20:20 IST, 37 min ago",
       {"Wind: 240\xB0 at 15 kt gusting to 28 kt", "Visibility: 4000 m", "Ceiling: 1200 ft",
        "Temperature: 18.0\xB0" "C", "Dew point: 9.0\xB0" "C"}},
  };
  const StationWeather weather = Gusty();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::ZoneScope zone(c.zone);
    const StationCardText card = stationCardText(Benina(), &weather, kObserved + 37, c.units, c.timeUtc);
    EXPECT_EQ(card.title, "BENINA");
    EXPECT_EQ(card.codes, "HLLB / BEN");
    EXPECT_EQ(card.category, "MVFR");
    EXPECT_EQ(card.age, c.age);
    EXPECT_EQ(card.values, c.values);
    EXPECT_EQ(card.rawReport, weather.rawReport);
  }
}

TEST(StationCardText, WithoutAReportOrCodes) {
  Station bare = Benina();
  bare.iata.clear();
  bare.name.clear();
  const StationCardText none = stationCardText(bare, nullptr, kObserved, DisplayUnits{}, true);
  EXPECT_EQ(none.title, "HLLB");
  EXPECT_EQ(none.codes, "HLLB");
  EXPECT_EQ(none.category, "No current report");
  EXPECT_TRUE(none.age.empty());
  EXPECT_TRUE(none.values.empty());
  EXPECT_TRUE(none.rawReport.empty());

  // A report that gives nothing but itself says so line by line.
  StationWeather empty;
  empty.rawReport = "HLLB 201450Z NIL";
  empty.observedMinutes = kObserved;
  const StationCardText card = stationCardText(Benina(), &empty, kObserved + 180, DisplayUnits{}, true);
  EXPECT_EQ(card.category, "unknown");
  EXPECT_EQ(card.age, "Observed 14:50 UTC, 3 h ago");
  EXPECT_EQ(card.values, (std::vector<std::string>{"Wind: not reported", "Visibility: not reported", "Ceiling: none",
                                                   "Temperature: not reported", "Dew point: not reported"}));
}

TEST(StationCardText, TheNextChangeOfTheForecast) {
  // Valid 20th 12:00 to 21st 12:00.
  const UtcDateTime issued{2026, 5, 20, 11, 30};
  const TafReport taf = decodeTaf(
      "TAF HLLB 201130Z 2012/2112 24012KT 9999 SCT030 "
      "TEMPO 2015/2018 3000 BKN008 "
      "FM202200 30008KT 6000 BKN015 "
      "PROB30 TEMPO 2103/2106 0800 FG "
      "BECMG 2108/2110 27010KT",
      issued);
  ASSERT_EQ(taf.groups.size(), 5u);
  auto at = [](int day, int hour, int minute) { return UtcDateTime{2026, 5, day, hour, minute}.epochMinutes(); };
  const struct {
    const char* name;
    std::int64_t now;
    const char* zone;
    bool timeUtc;
    const char* text;
  } cases[] = {
      {"before the TEMPO", at(20, 14, 50), "UTC", true, "Next change: TEMPO 15:00 UTC to 18:00 UTC: IFR"},
      {"the TEMPO begins now: the FM is next", at(20, 15, 0), "UTC", true, "Next change: FM 22:00 UTC: MVFR"},
      {"in local time", at(20, 16, 0), "America/New_York", false, "Next change: FM 18:00 EDT: MVFR"},
      {"a PROB after midnight", at(20, 23, 0), "UTC", true, "Next change: PROB30 TEMPO 03:00 UTC to 06:00 UTC: LIFR"},
      // A change of wind alone names no category.
      {"a BECMG of wind alone", at(21, 7, 0), "Asia/Kolkata", false, "Next change: BECMG 13:30 IST to 15:30 IST"},
      {"none before the end", at(21, 9, 0), "UTC", true, "No change forecast until 12:00 UTC"},
      {"after the end", at(21, 12, 0), "Australia/Lord_Howe", false, "Forecast ended at 22:30 +1030"},
  };
  for (const auto& c : cases) {
    test::ZoneScope zone(c.zone);
    EXPECT_EQ(nextChangeText(taf, c.now, c.timeUtc), c.text) << c.name;
  }
}

}  // namespace
}  // namespace nimbrel
