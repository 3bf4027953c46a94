#pragma once
// The US flight rules category from visibility and ceiling.
#include <optional>

namespace nimbrel {

enum class FlightCategory { Unknown, VFR, MVFR, IFR, LIFR };

// LIFR: ceiling < 500 ft or visibility < 1 SM; IFR: 500 to < 1000 ft or
// 1 to < 3 SM; MVFR: 1000 to 3000 ft or 3 to 5 SM; otherwise VFR. Unknown
// with neither a visibility nor a ceiling.
FlightCategory flightCategory(std::optional<double> visibilityM, std::optional<int> ceilingFt);

// 0 for unknown, then 1 (VFR) to 4 (LIFR): worse ranks higher.
int categorySeverity(FlightCategory category);

// "VFR", "MVFR", "IFR", "LIFR", or "" for unknown.
const char* flightCategoryText(FlightCategory category);

}  // namespace nimbrel
