#pragma once
// Forecast low-level wind shear: "WS020/27045KT".
#include <optional>

namespace nimbrel {

struct TafWindShear {
  int heightFt = 0;  // "WS020/27045KT": 2000 ft
  std::optional<int> directionDeg;
  std::optional<double> speedKt;
};

}  // namespace nimbrel
