#pragma once
// The rows of a chart window's Reports list: every METAR and TAF of the
// chart's period, newest first, as sent, each with its decoded text.
#include <cstdint>
#include <string>
#include <vector>

#include "base/DisplayUnits.h"
#include "observations/Observation.h"
#include "observations/TafSource.h"

namespace nimbrel {

struct ReportRow {
  enum class Kind { kMetar, kTaf };
  Kind kind = Kind::kMetar;
  std::int64_t time = 0;  // observed or issued, UTC seconds
  std::string timeText;   // "5/20 08:52 UTC", in the zone chosen
  std::string raw;        // as sent
  std::string decoded;    // one line each
};

// The forecasts a period shows: those issued within [from, to] and the
// newest issued before `from` that was still valid then, oldest first; a
// forecast seen twice (the service's and the store's) once.
std::vector<TafForecast> forecastsOfPeriod(std::vector<TafForecast> forecasts, std::int64_t from, std::int64_t to);

// Reports and forecasts in any order, newest first; at the same time the
// forecast after the report. units: each value once in them; null for the
// reports' own wording, as the chart's details.
std::vector<ReportRow> reportRows(const ObservationList& observations, const std::vector<TafForecast>& forecasts,
                                  const DisplayUnits* units, bool timeUtc);

}  // namespace nimbrel
