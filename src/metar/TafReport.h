#pragma once
// One decoded TAF: the header, the validity, the base forecast and its
// change groups in the order written, and the forecast temperatures.
#include <optional>
#include <string>
#include <vector>

#include "metar/FixedList.h"
#include "metar/MetarReport.h"
#include "metar/TafGroup.h"
#include "metar/TafTemperature.h"
#include "metar/UtcDateTime.h"

namespace nimbrel {

struct TafReport {
  static constexpr std::size_t kMaxNotDecodedKept = 16;
  // Real TAFs have a dozen or two; the cap keeps the timeline's cost bounded.
  static constexpr std::size_t kMaxGroups = 48;

  MetarStatus status = MetarStatus::Rejected;  // ok, partial or rejected as for a METAR
  const char* rejectReason = "";
  std::string station;
  std::optional<UtcDateTime> issued;  // a few TAFs leave the issue time out
  UtcDateTime validFrom;
  UtcDateTime validTo;
  bool amended = false;    // AMD
  bool corrected = false;  // COR
  bool cancelled = false;  // CNL
  bool nil = false;        // NIL: no forecast

  std::vector<TafGroup> groups;  // groups[0] is the base forecast
  FixedList<TafTemperature, 6> temperatures;

  std::vector<std::string> notDecoded;
  std::size_t notDecodedCount = 0;
};

}  // namespace nimbrel
