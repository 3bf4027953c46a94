#pragma once
// The live METAR service's answers: its JSON read with our own decoding of
// every raw report, and a decoded report as the chart's observation record.
#include <string>
#include <string_view>

#include "metar/MetarReport.h"
#include "observations/Observation.h"

namespace nimbrel {

// A decoded report in the units and texts of a page report: the same chart,
// detail texts, wind dial, export and units work for both.
Observation toObservation(const MetarReport& report, std::string_view rawReport);

struct MetarAnswer {
  bool readable = false;        // the body was a JSON array
  ObservationList observations;  // newest first
  int skipped = 0;              // objects without rawOb, undecodable or whose time disagrees
};

// Reads the API's JSON array. Each object's rawOb is decoded anchored on its
// obsTime (Unix seconds); a report whose own day and time disagree with
// obsTime is skipped, as is one without rawOb. Never throws.
MetarAnswer readMetarAnswer(std::string_view json);

}  // namespace nimbrel
