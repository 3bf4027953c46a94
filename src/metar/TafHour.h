#pragma once
#include <cstddef>
#include <vector>

#include "metar/Conditions.h"
#include "metar/UtcDateTime.h"

namespace nimbrel {

// The forecast for one hour of the validity: what prevails (the base and FM
// groups, each BECMG applied from the end of its period) and the TEMPO and
// PROB groups that may occur within the hour.
struct TafHour {
  UtcDateTime time;
  Conditions prevailing;
  std::vector<std::size_t> possible;  // indexes into TafReport::groups
};

}  // namespace nimbrel
