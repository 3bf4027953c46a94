#include "metar/FlightCategory.h"

#include "metar/Visibility.h"

namespace nimbrel {

FlightCategory flightCategory(std::optional<double> visibilityM, std::optional<int> ceilingFt) {
  if (!visibilityM && !ceilingFt) return FlightCategory::Unknown;
  // Statute miles round-trip through metres; the tolerance keeps "3SM" at 3.
  constexpr double kSlack = 1e-6;
  const double miles = visibilityM ? *visibilityM / kMetresPerStatuteMile : 1e9;
  const int ceiling = ceilingFt ? *ceilingFt : 1 << 30;
  if (ceiling < 500 || miles < 1 - kSlack) return FlightCategory::LIFR;
  if (ceiling < 1000 || miles < 3 - kSlack) return FlightCategory::IFR;
  if (ceiling <= 3000 || miles <= 5 + kSlack) return FlightCategory::MVFR;
  return FlightCategory::VFR;
}

const char* flightCategoryText(FlightCategory category) {
  switch (category) {
    case FlightCategory::VFR: return "VFR";
    case FlightCategory::MVFR: return "MVFR";
    case FlightCategory::IFR: return "IFR";
    case FlightCategory::LIFR: return "LIFR";
    case FlightCategory::Unknown: break;
  }
  return "";
}

int categorySeverity(FlightCategory category) {
  switch (category) {
    case FlightCategory::VFR: return 1;
    case FlightCategory::MVFR: return 2;
    case FlightCategory::IFR: return 3;
    case FlightCategory::LIFR: return 4;
    case FlightCategory::Unknown: break;
  }
  return 0;
}

}  // namespace nimbrel
