#pragma once
// Every time the program shows is in one zone, the user's choice: UTC, or
// the computer's own local time (its offset at that instant, DST
// included), and is named beside it: "13:45 UTC", "14:45 CET".
#include <cstdint>
#include <string>

namespace nimbrel {

// A UTC instant's calendar fields in the zone chosen, and that zone's name.
struct ShownTime {
  int year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  std::string zone;  // "UTC", "CEST"; "local" when the zone has no name
};

// Seconds since 1970 of the instant's wall clock in the zone chosen, the
// fields read as UTC: where a time sits on a zoneless time axis.
std::int64_t shownWallClock(std::int64_t utcSeconds, bool timeUtc);
ShownTime shownTime(std::int64_t utcSeconds, bool timeUtc);
// "UTC", or the computer's zone at that instant ("CET", "CEST"; "local"
// when it has no name).
std::string zoneName(std::int64_t utcSeconds, bool timeUtc);
// "13:45 UTC", "14:45 CET".
std::string clockText(std::int64_t utcSeconds, bool timeUtc);
// "5/20/2026 13:45 UTC": month/day/year, as the report texts write dates.
std::string dateClockText(std::int64_t utcSeconds, bool timeUtc);
// The UTC instant at which the day of `utcSeconds` began in the zone
// chosen: its midnight there.
std::int64_t startOfDay(std::int64_t utcSeconds, bool timeUtc);
// A UTC instant in strftime's `format`, whatever the choice, for what files
// and commands write ("%Y-%m-%dT%H:%MZ"); empty for a time out of the calendar.
std::string utcText(std::int64_t utcSeconds, const char* format);

}  // namespace nimbrel
