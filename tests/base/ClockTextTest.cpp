// Times shown in the zone the user chose, named beside them.
#include <gtest/gtest.h>

#include "base/ClockText.h"
#include "support/ZoneScope.h"

namespace nimbrel::test {
namespace {

// Berlin's and New York's rules written out: no zone files needed.
constexpr const char* kBerlin = "CET-1CEST,M3.5.0,M10.5.0/3";
constexpr const char* kNewYork = "EST5EDT,M3.2.0,M11.1.0";
constexpr std::int64_t kWinter = 1796665980;  // 2026-12-07 17:53 UTC
constexpr std::int64_t kSummer = 1779267120;  // 2026-05-20 08:52 UTC
// 2026-03-29 01:00 UTC: Berlin's clocks go from 02:00 CET to 03:00 CEST.
constexpr std::int64_t kSpringForward = 1774746000;

TEST(ClockText, TheZoneChosenNamedBesideTheTime) {
  const struct {
    const char* zone;  // the computer's
    std::int64_t utc;
    bool timeUtc;
    const char* clock;
    const char* dateClock;
    std::int64_t wallOffset;  // of shownWallClock from the UTC instant
  } cases[] = {
      {kBerlin, kWinter, true, "17:53 UTC", "12/7/2026 17:53 UTC", 0},
      {kBerlin, kWinter, false, "18:53 CET", "12/7/2026 18:53 CET", 3600},
      {kBerlin, kSummer, false, "10:52 CEST", "5/20/2026 10:52 CEST", 7200},
      {kBerlin, kSpringForward - 60, false, "01:59 CET", "3/29/2026 01:59 CET", 3600},
      {kBerlin, kSpringForward, false, "03:00 CEST", "3/29/2026 03:00 CEST", 7200},
      // Past midnight in the zone: the date is the zone's too.
      {kNewYork, kSummer - 9 * 3600, false, "19:52 EDT", "5/19/2026 19:52 EDT", -4 * 3600},
      {kNewYork, kSummer - 9 * 3600, true, "23:52 UTC", "5/19/2026 23:52 UTC", 0},
      // A zone known only by its offset is named by it.
      {"<+0330>-3:30", kWinter, false, "21:23 +0330", "12/7/2026 21:23 +0330", 12600},
      {"UTC0", kWinter, false, "17:53 UTC", "12/7/2026 17:53 UTC", 0},
  };
  for (const auto& c : cases) {
    ZoneScope zone(c.zone);
    SCOPED_TRACE(std::string(c.zone) + " " + c.clock);
    EXPECT_EQ(clockText(c.utc, c.timeUtc), c.clock);
    EXPECT_EQ(dateClockText(c.utc, c.timeUtc), c.dateClock);
    EXPECT_EQ(shownWallClock(c.utc, c.timeUtc) - c.utc, c.wallOffset);
    const std::string clock = c.clock;
    EXPECT_EQ(zoneName(c.utc, c.timeUtc), clock.substr(clock.find(' ') + 1));
  }
}

TEST(ClockText, UtcTextOfTimesInAndOutOfTheCalendar) {
  const struct {
    std::int64_t seconds;
    const char* text;
  } cases[] = {{0, "1970-01-01T00:00Z"},
               {1289750400, "2010-11-14T16:00Z"},
               {-86400, "1969-12-31T00:00Z"},
               {INT64_MAX, ""},
               {INT64_MIN, ""}};
  for (const auto& c : cases) EXPECT_EQ(utcText(c.seconds, "%Y-%m-%dT%H:%MZ"), c.text) << c.seconds;
}

// The midnight the export's day starts at, across a change of clocks too.
TEST(ClockText, StartOfTheShownDay) {
  const struct {
    const char* zone;
    std::int64_t utc;
    bool timeUtc;
    std::int64_t midnight;
  } cases[] = {
      {kBerlin, kWinter, true, kWinter - (17 * 3600 + 53 * 60)},
      {kBerlin, kWinter, false, kWinter - (18 * 3600 + 53 * 60)},   // 00:00 CET is 23:00 UTC the day before
      {kBerlin, kSpringForward + 3600, false, kSpringForward - 2 * 3600},  // 04:00 CEST; midnight was CET
      {kNewYork, kSummer - 9 * 3600, false, kSummer - 9 * 3600 - (19 * 3600 + 52 * 60)},
      {"<+0330>-3:30", kWinter, false, kWinter - (21 * 3600 + 23 * 60)},
  };
  for (const auto& c : cases) {
    ZoneScope zone(c.zone);
    SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.utc));
    EXPECT_EQ(startOfDay(c.utc, c.timeUtc), c.midnight);
  }
}

}  // namespace
}  // namespace nimbrel::test
