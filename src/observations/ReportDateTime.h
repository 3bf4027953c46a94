#pragma once
// Reading a report's date and time as written on the service's pages, with
// US-English conventions (month before day in numeric dates).
#include <cstdint>
#include <string_view>

namespace nimbrel {

struct ReportDateTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  bool operator==(const ReportDateTime&) const = default;
};

// Accepts a date as m/d/yyyy, m/d/yy, m-d-yyyy, yyyy-mm-dd, yyyy.mm.dd,
// yyyy/mm/dd, "20 April 2019", "April 20, 2019" or "Apr 20 2019", and an
// optional time hh:mm, hh:mm:ss or hhmm with an optional AM or PM, before or
// after the date. Anything else, a date before 1970 or an impossible
// calendar day is rejected. Two-digit years 00..29 are 2000..2029.
bool parseReportDateTime(std::string_view text, ReportDateTime& result);

// The fields as a local calendar time (daylight saving left to the
// library), seconds are dropped; false when the library cannot represent it.
bool convertReportTime(const ReportDateTime& when, std::int64_t& seconds);

}  // namespace nimbrel
