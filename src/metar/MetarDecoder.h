#pragma once
// Decodes one raw METAR or SPECI report, with or without the leading word
// and the trailing "=". Never throws; costs time in proportion to the text.
#include <string_view>

#include "metar/MetarReport.h"
#include "metar/UtcDateTime.h"

namespace nimbrel {

// `anchor` is when the report was received or filed; the report itself
// gives only the day of the month. A second report run into the text ends
// this one; its groups are counted as not decoded (decodeNextMetar decodes
// such a line report by report).
MetarReport decodeMetar(std::string_view text, UtcDateTime anchor);

// Decodes the first report of a line that may hold several run together,
// and leaves `line` at the next one (empty when there is none). A report
// starts at "METAR" or "SPECI" before a station, or at a station before its
// "ddhhmmZ"; headers with nothing between them ("SKSP 132348Z METAR SKSP
// 140000Z ...") belong to the report they lead to.
MetarReport decodeNextMetar(std::string_view& line, UtcDateTime anchor);

}  // namespace nimbrel
