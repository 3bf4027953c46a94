#pragma once
// A calendar date and time of day in UTC, to the minute, with the calendar
// arithmetic the report decoders need (month and year ends, leap years).
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nimbrel {

struct UtcDateTime {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;

  static bool isLeapYear(int year);
  static int daysInMonth(int year, int month);
  static UtcDateTime now();
  // From minutes since 1970-01-01T00:00Z.
  static UtcDateTime fromEpochMinutes(std::int64_t minutes);

  bool isValid() const;
  std::int64_t epochMinutes() const;
  UtcDateTime addMinutes(std::int64_t minutes) const;
  UtcDateTime addDays(int days) const { return addMinutes(std::int64_t{days} * 24 * 60); }

  // "YYYY-MM-DDTHH:MMZ"; formatTo writes those 17 characters without allocating.
  std::string toString() const;
  static constexpr std::size_t kTextLength = 17;
  void formatTo(char* out) const;

  friend auto operator<=>(const UtcDateTime&, const UtcDateTime&) = default;
};

// The full date of a day of the month seen in a report received at `anchor`:
// the latest such date on or before the day after the anchor (reports may be
// stamped a little ahead of the clock that received them). Hour 24 is taken
// as 00 of the next day. Empty when the day, hour or minute is out of range.
std::optional<UtcDateTime> resolveDayTime(const UtcDateTime& anchor, int day, int hour, int minute);

// Reads "YYYY/MM/DD HH:MM" (the NOAA cycle file's time line) or "YYYYMMDDHHmm".
std::optional<UtcDateTime> parseSlashedDateTime(std::string_view text);
std::optional<UtcDateTime> parseCompactDateTime(std::string_view text);

}  // namespace nimbrel
