#pragma once
// The live METAR service's answers: its JSON read with our own decoding of
// every raw report, and a decoded report as the chart's observation record.
#include <cstdint>
#include <string>
#include <string_view>

#include "metar/MetarReport.h"
#include "observations/ApiJson.h"
#include "observations/Observation.h"
#include "reportstore/ReportStore.h"

namespace nimbrel {

// A decoded report in the units and texts of a page report: the same chart,
// detail texts, wind dial, export and units work for both.
Observation toObservation(const MetarReport& report, std::string_view rawReport);

struct MetarAnswer {
  bool readable = false;        // the body was a JSON array
  ObservationList observations;  // newest first
  int skipped = 0;              // objects without rawOb, undecodable or whose time disagrees
  std::vector<StoredMetar> reports;  // the same reports, as the store keeps them
};

// A report may be stamped a little ahead of the clock that reads it, never
// a day.
inline constexpr std::int64_t kMostAheadSeconds = 24 * 3600;

// Reads the API's JSON array (within the limits of parseApiJson). Each
// object's rawOb is decoded anchored on its obsTime (Unix seconds); a report
// whose own day and time disagree with obsTime is skipped, as is one without
// rawOb or whose obsTime lies outside the years 1 to 9999 or more than a day
// after `now` (seconds since 1970). Never throws.
MetarAnswer readMetarAnswer(std::string_view json, std::int64_t now = epochSecondsNow());

}  // namespace nimbrel
