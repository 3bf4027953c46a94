#pragma once
// Decodes one raw TAF ("TAF", "TAF AMD", "TAF COR", or without the word).
// Never throws; costs time in proportion to the text.
#include <string_view>
#include <vector>

#include "metar/TafHour.h"
#include "metar/TafReport.h"

namespace nimbrel {

// `anchor` is when the TAF was received or filed; day-hour times become
// full dates from it, across month ends.
TafReport decodeTaf(std::string_view text, UtcDateTime anchor);

// A change group's elements replace those they name; the rest stay (BECMG,
// and what a TEMPO or PROB group would make of the prevailing conditions).
void applyChange(Conditions& state, const Conditions& change);

// Hour by hour over the validity; empty for a rejected TAF.
std::vector<TafHour> timeline(const TafReport& taf);

}  // namespace nimbrel
