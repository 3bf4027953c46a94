#pragma once
// A trend forecast appended to a METAR (NOSIG, BECMG, TEMPO): its own
// conditions, kept apart from the observed ones.
#include <cstdint>
#include <optional>

#include "metar/Conditions.h"

namespace nimbrel {

// From: the Australian "FM1600 ..." trend, a lasting change from that time.
enum class TrendKind : std::uint8_t { NoSignificantChange, Becoming, Temporary, From };

struct MetarTrend {
  TrendKind kind = TrendKind::NoSignificantChange;
  // "FM1300", "TL1400", "AT1330" as minutes past midnight of the report's day.
  std::optional<int> fromMinutes;
  std::optional<int> untilMinutes;
  std::optional<int> atMinutes;
  Conditions conditions;
};

}  // namespace nimbrel
