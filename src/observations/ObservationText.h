#pragma once
// The one wording of a decoded report for people: the chart's detail lines
// in the user's units, or, with the default units, the texts the report's
// source has always been shown with.
#include <string>
#include <vector>

#include "base/DisplayUnits.h"
#include "observations/Observation.h"

namespace nimbrel {

// The detail lines of a report ("DATE: ..." to "PRESENT: ..."; then
// "CATEGORY: ..." and "METAR: ..." for a METAR). units: each value once in
// them; null for the source's own wording. The date in the zone chosen.
std::vector<std::string> detailLines(const Observation& observation, const DisplayUnits* units = nullptr,
                                     bool timeUtc = true);
// "KORD 5/20/2026 UTC, observed 08:52 UTC", or in the computer's zone
// ("KORD 5/20/2026 CEST, observed 10:52 CEST"); a report page's own date
// text of another form stays as it came.
std::string reportDateText(const Observation& observation, bool timeUtc);

}  // namespace nimbrel
