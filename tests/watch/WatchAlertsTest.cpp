// The alert rules fed a station's reports and forecasts in turn: one alert
// a change, none for an old or repeated report, none while quiet.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "metar/MetarDecoder.h"
#include "metar/TafDecoder.h"
#include "observations/MetarCache.h"
#include "watch/WatchAlerts.h"

namespace nimbrel {
namespace {

// Real reports of KTPA on 4 Oct 2020, from the NOAA cycle files (public
// domain) as kept in /work/shared/data/metar/ktpa-2020-2021.txt.gz.
const char* const kKtpa[] = {
    "KTPA 040353Z 04007KT 10SM -RA BKN013 BKN017 BKN065 23/20 A3001 RMK AO2 SLP163 P0001 T02330200",
    "KTPA 040453Z 04006KT 10SM FEW011 SCT019 BKN065 23/19 A3000 RMK AO2 RAE42 SLP159 P0000 T02280194 402890206",
    "KTPA 040553Z 03007KT 10SM FEW011 SCT065 23/20 A3000 RMK AO2 SLP157 60001 T02280200 10244 20228 58005",
    "KTPA 040653Z 03006KT 8SM -RA OVC009 23/19 A2999 RMK AO2 RAB02E20B23 CIG 007V012 SLP156 P0000 T02280194",
    "KTPA 040753Z 03006KT 7SM -RA OVC007 22/19 A2998 RMK AO2 SLP152 P0002 T02220194",
    "KTPA 040853Z VRB04KT 9SM -RA BKN006 OVC100 22/19 A2996 RMK AO2 SLP146 P0005 60007 T02220194 58011",
    "KTPA 040953Z VRB05KT 6SM -RA FEW034 OVC090 23/20 A2998 RMK AO2 SLP150 P0004 T02280200",
    "KTPA 041053Z VRB05KT 10SM -RA SCT005 BKN065 BKN100 23/20 A2998 RMK AO2 SLP152 P0002 T02280200",
};

StationWeather Weather(int index) {
  return weatherOf(decodeMetar(kKtpa[index], UtcDateTime{2020, 10, 4, 12, 0}), kKtpa[index], 0);
}

TEST(WatchAlerts, OneAlertForEachChangeAndNoneForOldReportsOrWhileQuiet) {
  WatchAlerts rules(readMinima("* ceiling=1000").minima);
  struct Step {
    int report;
    bool quiet;
    const char* what;  // "" for no alert
  };
  const Step steps[] = {
      {0, false, ""},  // the first report is where the station starts from (MVFR)
      {1, false, "MVFR to VFR"},
      {2, false, ""},
      {3, false, "VFR to IFR; below minima: ceiling 900 ft < 1000"},
      {2, false, ""},  // older than the last seen
      {3, false, ""},  // the same report again
      {4, false, ""},
      {5, false, ""},
      {6, true, ""},   // back to VFR and above minima, but quiet
      {7, false, ""},  // and nothing is owed after it
      {3, false, ""},
  };
  for (const Step& step : steps) {
    rules.setQuiet(step.quiet);
    const std::vector<WatchAlert> alerts = rules.feedReport("KTPA", Weather(step.report));
    if (*step.what == '\0') {
      EXPECT_TRUE(alerts.empty()) << kKtpa[step.report] << " gave " << (alerts.empty() ? "" : alerts[0].what);
      continue;
    }
    ASSERT_EQ(alerts.size(), 1u) << kKtpa[step.report];
    EXPECT_EQ(alerts[0].station, "KTPA");
    EXPECT_EQ(alerts[0].what, step.what);
    EXPECT_EQ(alerts[0].report, kKtpa[step.report]);
  }

  // Back above, told when not quiet; a station's first report in a snapshot starts it.
  WatchAlerts loud(readMinima("* ceiling=1000").minima);
  Station ktpa, kxyz;
  ktpa.icao = "KTPA";
  kxyz.icao = "KXYZ";
  const StationList catalogue = {kxyz, ktpa};
  const auto snapshotOf = [](int report) {
    WeatherSnapshot snapshot;
    snapshot.stations = {Weather(report)};
    snapshot.stations[0].station = 1;
    return snapshot;
  };
  EXPECT_TRUE(loud.feedSnapshot(snapshotOf(5), catalogue, {"KTPA"}).empty());
  const std::vector<WatchAlert> above = loud.feedSnapshot(snapshotOf(6), catalogue, {"KTPA"});
  ASSERT_EQ(above.size(), 1u);
  EXPECT_EQ(above[0].what, "IFR to VFR; back above minima");
  EXPECT_TRUE(above[0].categoryChanged && above[0].minimaChanged && !above[0].tafAmended);
  // A station not watched gives nothing.
  EXPECT_TRUE(loud.feedSnapshot(snapshotOf(3), catalogue, {"KXYZ"}).empty());
}

TEST(WatchAlerts, AnAmendedForecastOnceAndOnlyWhenNewer) {
  WatchAlerts rules;
  const UtcDateTime anchor{2018, 3, 1, 12, 0};
  // The amendment is a real TAF (from the real-reports collection, MIT);
  // the routine forecasts before and after it are written for the test.
  const std::string routine = "TAF EGMC 010500Z 0106/0206 09012KT 9999 FEW025";
  const std::string amended =
      "TAF AMD EGMC 010841Z 0109/0118 09015KT 9999 FEW020 SCT035 TEMPO 0109/0118 09020G30KT 3000 -SN FEW010 "
      "PROB30 TEMPO 0109/0115 1400 SN BKN006";
  const std::string amendedAgain = "TAF AMD EGMC 011015Z 0110/0118 09015KT 4000 -SN BKN010";
  const std::string next = "TAF EGMC 011100Z 0112/0212 09012KT 9999 FEW025";
  struct Step {
    const std::string* taf;
    bool quiet;
    bool alert;
  };
  const Step steps[] = {
      {&amended, false, false},  // the first seen is where it starts, amended or not
      {&routine, false, false},  // older
      {&amended, false, false},  // the same
      {&amendedAgain, false, true},
      {&next, false, false},     // a routine forecast is no amendment
  };
  for (const Step& step : steps) {
    rules.setQuiet(step.quiet);
    const std::vector<WatchAlert> alerts = rules.feedForecast("EGMC", decodeTaf(*step.taf, anchor), *step.taf);
    ASSERT_EQ(alerts.size(), step.alert ? 1u : 0u) << *step.taf;
    if (step.alert) {
      EXPECT_EQ(alerts[0].what, "TAF amended");
      EXPECT_EQ(alerts[0].report, *step.taf);
      EXPECT_TRUE(alerts[0].tafAmended);
    }
  }
  WatchAlerts quiet;
  quiet.setQuiet(true);
  EXPECT_TRUE(quiet.feedForecast("EGMC", decodeTaf(routine, anchor), routine).empty());
  EXPECT_TRUE(quiet.feedForecast("EGMC", decodeTaf(amended, anchor), amended).empty());
  quiet.setQuiet(false);
  EXPECT_TRUE(quiet.feedForecast("EGMC", decodeTaf(amended, anchor), amended).empty());
}

}  // namespace
}  // namespace nimbrel
