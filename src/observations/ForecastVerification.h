#pragma once
// How the forecasts fared: for each hour, the flight category the TAF in
// force at the hour's start gave against the category observed in the hour.
#include <cstdint>
#include <string>
#include <vector>

#include "metar/FlightCategory.h"
#include "metar/TafReport.h"
#include "observations/Observation.h"

namespace nimbrel {

// A TAF as it was received: the newest issued by an hour's start is the one
// in force then, so an amendment replaces the forecast from its issue time.
struct IssuedForecast {
  std::int64_t issuedAt = 0;  // UTC seconds
  TafReport taf;
};

enum class ForecastVerdict {
  kNone,    // no forecast in force, no report in the hour, or a category unknown
  kRight,   // the observed category was forecast (prevailing, TEMPO, PROB or a BECMG under way)
  kOneOff,  // one category from the nearest forecast one
  kWorse,   // two or more
};

struct VerifiedHour {
  std::int64_t start = 0;  // UTC seconds, on the hour
  FlightCategory forecast = FlightCategory::Unknown;  // prevailing
  // Every category the forecast allowed in the hour, the prevailing first.
  std::vector<FlightCategory> allowed;
  FlightCategory observed = FlightCategory::Unknown;  // the worst reported in the hour
  ForecastVerdict verdict = ForecastVerdict::kNone;
};

struct ForecastVerification {
  std::vector<VerifiedHour> hours;  // oldest first
  int right = 0;
  int judged = 0;  // hours with a verdict
};

// Hours from the one holding `from` to the last that ends by `to`.
// `forecasts` in any order; `observations` in any order.
ForecastVerification verifyForecasts(const std::vector<IssuedForecast>& forecasts,
                                     const ObservationList& observations, std::int64_t from, std::int64_t to);

// "Forecast: 18 of 22 hours right (82%)"; empty when no hour was judged.
std::string verificationSummary(const ForecastVerification& verification);

// "right", "one off", "worse", or "".
const char* forecastVerdictText(ForecastVerdict verdict);

}  // namespace nimbrel
