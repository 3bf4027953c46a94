#pragma once
// Decodes one raw METAR or SPECI report, with or without the leading word
// and the trailing "=". Never throws; costs time in proportion to the text.
#include <string_view>

#include "metar/MetarReport.h"
#include "metar/UtcDateTime.h"

namespace nimbrel {

// `anchor` is when the report was received or filed; the report itself
// gives only the day of the month.
MetarReport decodeMetar(std::string_view text, UtcDateTime anchor);

}  // namespace nimbrel
