#pragma once
// One part of a TAF: the base forecast or a change group, with its period
// and the conditions it forecasts.
#include <cstdint>
#include <optional>

#include "metar/Conditions.h"
#include "metar/TafWindShear.h"
#include "metar/UtcDateTime.h"

namespace nimbrel {

enum class TafGroupKind : std::uint8_t {
  Base,                  // the forecast from the start of validity
  From,                  // FMddhhmm: everything changes from then on
  Becoming,              // BECMG: a gradual change, complete by the end of its period
  Temporary,             // TEMPO, and the Australian INTER (see intermittent)
  Probability,           // PROB30/PROB40 alone
  ProbabilityTemporary,  // PROB30/PROB40 TEMPO
};

struct TafGroup {
  TafGroupKind kind = TafGroupKind::Base;
  UtcDateTime from;
  UtcDateTime to;
  int probability = 0;  // 30 or 40 for the PROB kinds
  Conditions conditions;
  std::optional<TafWindShear> windShear;
  bool noSignificantChange = false;  // NOSIG
  bool intermittent = false;         // INTER: a Temporary kind for spells of under 30 minutes
  std::size_t notDecodedCount = 0;   // groups in this part not understood

  FlightCategory flightCategory() const { return conditions.flightCategory(); }
};

// "BASE", "FM", "BECMG", "TEMPO", "PROB", "PROBTEMPO".
const char* tafGroupKindText(TafGroupKind kind);
// The same, with INTER and PROBINTER for the intermittent groups.
const char* tafGroupKindText(const TafGroup& group);

}  // namespace nimbrel
