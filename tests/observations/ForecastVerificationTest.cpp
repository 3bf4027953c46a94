// How the forecasts fared, on a hand-made day whose answer is known hour by
// hour: a TEMPO group, a BECMG change under way, an amendment that replaces
// the first forecast from its issue time, a cancellation, a gap in the
// reports, a SPECI worse than the routine report, and a station with no TAF.
#include "observations/ForecastVerification.h"

#include <gtest/gtest.h>

#include "metar/TafDecoder.h"

namespace nimbrel {
namespace {

std::int64_t At(int day, int hour, int minute = 0) {
  return UtcDateTime{2026, 12, day, hour, minute}.epochMinutes() * 60;
}

IssuedForecast Taf(const char* text, int day, int hour, int minute) {
  const std::int64_t issued = At(day, hour, minute);
  return IssuedForecast{issued, decodeTaf(text, UtcDateTime::fromEpochMinutes(issued / 60))};
}

Observation Report(int hour, int minute, FlightCategory category) {
  Observation o;
  o.station = "KXYZ";
  o.observedAt = At(7, hour, minute);
  o.category = category;
  return o;
}

std::vector<IssuedForecast> Forecasts() {
  return {
      // Given out of order: the issue times decide.
      Taf("TAF AMD KXYZ 071630Z 0717/0818 VRB03KT 1/2SM FG VV002", 7, 16, 30),
      Taf("TAF KXYZ 070520Z 0706/0812 24010KT P6SM SCT050 TEMPO 0709/0711 3SM -RA BKN015 "
          "BECMG 0712/0714 OVC008",
          7, 5, 20),
      Taf("TAF AMD KXYZ 071830Z 0719/0818 CNL", 7, 18, 30),
  };
}

ObservationList Reports() {
  using C = FlightCategory;
  return {Report(6, 53, C::VFR),  Report(7, 53, C::IFR),   Report(8, 53, C::MVFR),  Report(9, 53, C::MVFR),
          Report(11, 53, C::Unknown), Report(12, 53, C::IFR), Report(13, 53, C::VFR), Report(14, 53, C::MVFR),
          Report(16, 20, C::VFR), Report(16, 53, C::LIFR), Report(17, 53, C::LIFR), Report(19, 53, C::IFR)};
}

TEST(ForecastVerification, EachHourAgainstTheForecastInForceAtItsStart) {
  using C = FlightCategory;
  using V = ForecastVerdict;
  const struct {
    int hour;
    C forecast;
    std::vector<C> allowed;
    C observed;
    V verdict;
  } cases[] = {
      {5, C::Unknown, {}, C::Unknown, V::kNone},                   // before the first validity
      {6, C::VFR, {C::VFR}, C::VFR, V::kRight},
      {7, C::VFR, {C::VFR}, C::IFR, V::kWorse},
      {8, C::VFR, {C::VFR}, C::MVFR, V::kOneOff},
      {9, C::VFR, {C::VFR, C::MVFR}, C::MVFR, V::kRight},          // TEMPO
      {10, C::VFR, {C::VFR, C::MVFR}, C::Unknown, V::kNone},       // no report
      {11, C::VFR, {C::VFR}, C::Unknown, V::kNone},                // a report without a category
      {12, C::VFR, {C::VFR, C::IFR}, C::IFR, V::kRight},           // BECMG under way: the new state
      {13, C::VFR, {C::VFR, C::IFR}, C::VFR, V::kRight},           // ... or the old one
      {14, C::IFR, {C::IFR}, C::MVFR, V::kOneOff},                 // BECMG done
      {15, C::IFR, {C::IFR}, C::Unknown, V::kNone},
      {16, C::IFR, {C::IFR}, C::LIFR, V::kOneOff},                 // the amendment is not out yet; the SPECI is worse
      {17, C::LIFR, {C::LIFR}, C::LIFR, V::kRight},                // the amendment replaces the first forecast
      {18, C::LIFR, {C::LIFR}, C::Unknown, V::kNone},
      {19, C::Unknown, {}, C::IFR, V::kNone},                      // cancelled
  };
  const ForecastVerification result = verifyForecasts(Forecasts(), Reports(), At(7, 5), At(7, 20));
  ASSERT_EQ(result.hours.size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const VerifiedHour& hour = result.hours[i];
    SCOPED_TRACE(cases[i].hour);
    EXPECT_EQ(hour.start, At(7, cases[i].hour));
    EXPECT_EQ(hour.forecast, cases[i].forecast);
    EXPECT_EQ(hour.allowed, cases[i].allowed);
    EXPECT_EQ(hour.observed, cases[i].observed);
    EXPECT_EQ(hour.verdict, cases[i].verdict);
  }
  EXPECT_EQ(result.judged, 9);
  EXPECT_EQ(result.right, 5);
  EXPECT_EQ(verificationSummary(result), "Forecast: 5 of 9 hours right (56%)");
}

TEST(ForecastVerification, PeriodsAndStationsWithoutAForecast) {
  // No TAF at all: every hour is there, none judged, no summary line.
  const ForecastVerification none = verifyForecasts({}, Reports(), At(7, 6), At(7, 12));
  EXPECT_EQ(none.hours.size(), 6u);
  EXPECT_EQ(none.judged, 0);
  EXPECT_EQ(verificationSummary(none), "");
  // A period starting inside an hour takes that hour; one ending inside an hour leaves it out.
  const ForecastVerification partial = verifyForecasts(Forecasts(), Reports(), At(7, 6, 40), At(7, 9, 30));
  ASSERT_EQ(partial.hours.size(), 3u);
  EXPECT_EQ(partial.hours.front().start, At(7, 6));
  EXPECT_EQ(verificationSummary(partial), "Forecast: 1 of 3 hours right (33%)");
  EXPECT_TRUE(verifyForecasts(Forecasts(), Reports(), At(7, 9), At(7, 9)).hours.empty());
  // One hour judged is one hour.
  const ForecastVerification single = verifyForecasts(Forecasts(), Reports(), At(7, 6), At(7, 7));
  ASSERT_EQ(single.judged, 1);
  EXPECT_EQ(verificationSummary(single), "Forecast: 1 of 1 hour right (100%)");
}

}  // namespace
}  // namespace nimbrel
