#pragma once
// Reading a report's date and time as written on the service's pages, with
// US-English conventions (month before day in numeric dates).
#include <optional>
#include <string_view>

#include "metar/UtcDateTime.h"

namespace nimbrel {

// Accepts a date as m/d/yyyy, m/d/yy, m-d-yyyy, yyyy-mm-dd, yyyy.mm.dd,
// yyyy/mm/dd, "20 April 2019", "April 20, 2019" or "Apr 20 2019", and an
// optional time hh:mm, hh:mm:ss or hhmm with an optional AM or PM, before or
// after the date; seconds are checked and dropped. Anything else, a date
// before 1970 or an impossible calendar day is rejected. Two-digit years
// 00..29 are 2000..2029.
std::optional<UtcDateTime> parseReportDateTime(std::string_view text);

}  // namespace nimbrel
