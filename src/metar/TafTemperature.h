#pragma once
// A forecast temperature of a TAF: "TX15/1111Z", "TNM02/1204Z".
#include "metar/UtcDateTime.h"

namespace nimbrel {

struct TafTemperature {
  char kind = 0;  // 'X' maximum (TX), 'N' minimum (TN), 0 for a bare T group
  double valueC = 0;
  UtcDateTime time;
};

}  // namespace nimbrel
