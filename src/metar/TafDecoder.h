#pragma once
// Decodes one raw TAF ("TAF", "TAF AMD", "TAF COR", or without the word).
// Never throws; costs time in proportion to the text.
#include <string_view>
#include <vector>

#include "metar/TafReport.h"

namespace nimbrel {

// `anchor` is when the TAF was received or filed; day-hour times become
// full dates from it, across month ends.
TafReport decodeTaf(std::string_view text, UtcDateTime anchor);

// The forecast for one hour of the validity: what prevails (the base and FM
// groups, each BECMG applied from the end of its period) and the TEMPO and
// PROB groups that may occur within the hour.
struct TafHour {
  UtcDateTime time;
  Conditions prevailing;
  std::vector<std::size_t> possible;  // indexes into TafReport::groups
};

std::vector<TafHour> timeline(const TafReport& taf);

}  // namespace nimbrel
