#include "base/ClockText.h"

#include <ctime>

#include "base/Text.h"

namespace nimbrel {
namespace {

// The computer's calendar fields of a moment (zeros when the library
// cannot represent it).
std::tm localTime(std::int64_t seconds) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm fields{};
  // glibc fills some fields before it finds a year an int cannot hold.
  if (localtime_r(&t, &fields) == nullptr) return std::tm{};
  return fields;
}

std::tm fieldsIn(std::int64_t utcSeconds, bool timeUtc) {
  if (!timeUtc) return localTime(utcSeconds);
  const std::time_t t = static_cast<std::time_t>(utcSeconds);
  std::tm fields{};
  if (gmtime_r(&t, &fields) == nullptr) return std::tm{};
  return fields;
}

std::string zoneOf(const std::tm& fields, bool timeUtc) {
  if (timeUtc) return "UTC";
  char name[32] = {};
  // A zone known only by its offset is named by it ("+0330").
  if (std::strftime(name, sizeof name, "%Z", &fields) == 0 || name[0] == '\0') return "local";
  return name;
}

}  // namespace

std::int64_t shownWallClock(std::int64_t utcSeconds, bool timeUtc) {
  if (timeUtc) return utcSeconds;
  const std::tm fields = localTime(utcSeconds);
  return utcSeconds + fields.tm_gmtoff;
}

ShownTime shownTime(std::int64_t utcSeconds, bool timeUtc) {
  const std::tm fields = fieldsIn(utcSeconds, timeUtc);
  ShownTime shown;
  shown.year = fields.tm_year + 1900;
  shown.month = fields.tm_mon + 1;
  shown.day = fields.tm_mday;
  shown.hour = fields.tm_hour;
  shown.minute = fields.tm_min;
  shown.zone = zoneOf(fields, timeUtc);
  return shown;
}

std::string zoneName(std::int64_t utcSeconds, bool timeUtc) {
  return timeUtc ? std::string("UTC") : zoneOf(localTime(utcSeconds), false);
}

std::string clockText(std::int64_t utcSeconds, bool timeUtc) {
  const ShownTime t = shownTime(utcSeconds, timeUtc);
  return formatText("%02d:%02d ", t.hour, t.minute) + t.zone;
}

std::string dateClockText(std::int64_t utcSeconds, bool timeUtc) {
  const ShownTime t = shownTime(utcSeconds, timeUtc);
  return formatText("%d/%d/%04d %02d:%02d ", t.month, t.day, t.year, t.hour, t.minute) + t.zone;
}

std::int64_t startOfDay(std::int64_t utcSeconds, bool timeUtc) {
  const std::int64_t wall = shownWallClock(utcSeconds, timeUtc);
  const std::int64_t wallMidnight = wall - ((wall % 86400) + 86400) % 86400;
  std::int64_t start = utcSeconds - (wall - wallMidnight);
  // A change of clocks since midnight moves it by the difference.
  start -= shownWallClock(start, timeUtc) - wallMidnight;
  return start;
}

std::string utcText(std::int64_t utcSeconds, const char* format) {
  // A time no calendar year holds has no text (not 1900-01-00).
  const std::time_t t = static_cast<std::time_t>(utcSeconds);
  std::tm fields{};
  if (gmtime_r(&t, &fields) == nullptr) return {};
  char text[64];
  return std::strftime(text, sizeof text, format, &fields) == 0 ? std::string() : std::string(text);
}

}  // namespace nimbrel
