// The Reports list's rows: every METAR and TAF of the period newest first,
// each decoded in the units and zone chosen, and which forecasts a period
// shows.
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "metar/MetarDecoder.h"
#include "observations/MetarObservation.h"
#include "stationchart/ReportRows.h"
#include "support/ZoneScope.h"

namespace nimbrel::test {
namespace {

std::int64_t Utc(int day, int hour, int minute) {
  std::tm fields{};
  fields.tm_year = 2020 - 1900;
  fields.tm_mon = 7;
  fields.tm_mday = day;
  fields.tm_hour = hour;
  fields.tm_min = minute;
  return timegm(&fields);
}

Observation Metar(std::int64_t at, const std::string& raw) {
  return toObservation(decodeMetar(raw, UtcDateTime::fromEpochMinutes(at / 60)), raw);
}

TafForecast Taf(std::int64_t issued, const std::string& raw) {
  return decodedForecast(raw, UtcDateTime::fromEpochMinutes(issued / 60));
}

const char* const kTaf =
    "TAF KTPA 081730Z 0818/0918 03010KT P6SM SCT040 TEMPO 0820/0823 3SM TSRA BKN030CB FM090200 VRB04KT P6SM "
    "BKN050 BECMG 0906/0908 2SM BR OVC004 PROB30 0910/0912 1/2SM FG VV002";

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ReportRows, NewestFirstEachDecodedInTheUnitsAndZoneChosen) {
  const ObservationList metars = {
      Metar(Utc(8, 18, 53), "METAR KTPA 081853Z 03012G20KT 10SM FEW040 33/22 A3010"),
      Metar(Utc(8, 17, 53), "METAR KTPA 081753Z 04009KT 10SM SCT040 32/22 A3011"),
      Metar(Utc(8, 17, 30), "METAR KTPA 081730Z 04008KT 10SM SCT040 31/22 A3012"),
  };
  const std::vector<TafForecast> tafs = {Taf(Utc(8, 17, 30), kTaf)};
  struct Case {
    const char* zone;
    bool timeUtc;
    bool aviation;
    const char* newestTime;
    const char* wind;     // the newest METAR's wind as worded
    const char* tafWind;  // the TAF's base wind
    const char* becoming;
  };
  const Case cases[] = {
      {"UTC", true, false, "8/8 18:53 UTC", "WINDS: from the NNE (30 degrees) at 14 MPH (12 knots; 6.2 m/s) gusting",
       "wind 030 degrees at 10 knots", "BECMG 8/9 06:00-08:00 UTC  LIFR: visibility 2 miles"},
      {"Asia/Kolkata", false, true, "8/9 00:23 IST", "WINDS: 030\xB0 at 12 kt gusting to 20 kt",
       "wind 030\xB0 at 10 kt", "BECMG 8/9 11:30-13:30 IST  LIFR: visibility 2 SM"},
      {"Australia/Lord_Howe", false, false, "8/9 05:23 +1030", "(12 knots; 6.2 m/s)", "wind 030 degrees at 10 knots",
       "BECMG 8/9 16:30-18:30 +1030"},
      {"America/New_York", true, true, "8/8 18:53 UTC", "030\xB0 at 12 kt", "wind 030\xB0 at 10 kt",
       "BECMG 8/9 06:00-08:00 UTC"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.zone) + (c.timeUtc ? " UTC" : " local") + (c.aviation ? " Aviation" : " default"));
    ZoneScope zone(c.zone);
    const DisplayUnits aviation = unitPreset(UnitPreset::kAviation, true);
    const std::vector<ReportRow> rows = reportRows(metars, tafs, c.aviation ? &aviation : nullptr, c.timeUtc);
    ASSERT_EQ(rows.size(), 4u);
    // Newest first; the TAF issued with a METAR comes after it.
    EXPECT_EQ(rows[0].raw, metars[0].rawReport);
    EXPECT_EQ(rows[1].raw, metars[1].rawReport);
    EXPECT_EQ(rows[2].raw, metars[2].rawReport);
    EXPECT_EQ(rows[3].kind, ReportRow::Kind::kTaf);
    EXPECT_EQ(rows[3].raw, kTaf);
    EXPECT_EQ(rows[0].timeText, c.newestTime);
    EXPECT_TRUE(Has(rows[0].decoded, c.wind)) << rows[0].decoded;
    EXPECT_TRUE(Has(rows[0].decoded, "TEMP: ")) << rows[0].decoded;
    EXPECT_FALSE(Has(rows[0].decoded, "METAR: ")) << "the list shows the report itself";
    // Every part of the TAF on a line of its own, in the order written.
    const std::string& taf = rows[3].decoded;
    EXPECT_TRUE(Has(taf, c.tafWind)) << taf;
    EXPECT_TRUE(Has(taf, c.becoming)) << taf;
    const std::size_t tempo = taf.find("\nTEMPO "), from = taf.find("\nFM "), becmg = taf.find("\nBECMG "),
                      prob = taf.find("\nPROB30 ");
    ASSERT_NE(prob, std::string::npos) << taf;
    EXPECT_LT(tempo, from);
    EXPECT_LT(from, becmg);
    EXPECT_LT(becmg, prob);
    EXPECT_TRUE(Has(taf.substr(tempo, from - tempo), "  MVFR: visibility 3")) << taf;
  }
}

TEST(ReportRows, APeriodShowsTheForecastsIssuedInItAndTheOneInForceAtItsStart) {
  // Issued at 11:30, 17:30 and 20:00 (an amendment) on the 8th, and at
  // 23:30 a cancellation; the chart shows 18:00 to 23:59.
  const std::string early = "TAF KTPA 081130Z 0812/0912 03010KT P6SM SCT040";
  const std::string inForce = "TAF KTPA 081730Z 0818/0918 03010KT P6SM SCT040";
  const std::string amended = "TAF AMD KTPA 082000Z 0820/0918 05012KT P6SM BKN030";
  const std::string cancelled = "TAF AMD KTPA 082330Z 0823/0918 CNL";
  const std::vector<TafForecast> stored = {Taf(Utc(8, 20, 0), amended), Taf(Utc(8, 11, 30), early),
                                           Taf(Utc(8, 17, 30), inForce), Taf(Utc(8, 23, 30), cancelled),
                                           Taf(Utc(8, 20, 0), amended)};
  const std::vector<TafForecast> shown = forecastsOfPeriod(stored, Utc(8, 18, 0), Utc(8, 23, 59));
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].rawText, inForce);
  EXPECT_EQ(shown[1].rawText, amended);
  EXPECT_EQ(shown[2].rawText, cancelled);
  const std::vector<ReportRow> rows = reportRows({}, shown, nullptr, true);
  EXPECT_TRUE(Has(rows[0].decoded, "cancelled")) << rows[0].decoded;
  EXPECT_TRUE(Has(rows[1].decoded, "(amended)")) << rows[1].decoded;

  // A forecast that ran out before the period is not in force in it.
  EXPECT_TRUE(forecastsOfPeriod({Taf(Utc(8, 11, 30), "TAF KTPA 081130Z 0812/0818 03010KT P6SM SCT040")}, Utc(8, 18, 0),
                                Utc(8, 23, 0))
                  .empty());
}

}  // namespace
}  // namespace nimbrel::test
