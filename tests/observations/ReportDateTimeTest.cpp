#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "observations/ReportDateTime.h"

namespace nimbrel {
namespace {

UtcDateTime At(int y, int mo, int d, int h = 0, int mi = 0) { return {y, mo, d, h, mi}; }

TEST(ReportDateTime, AcceptedForms) {
  const std::vector<std::pair<std::string, UtcDateTime>> cases = {
      {"4/5/2005 17:53", At(2005, 4, 5, 17, 53)},
      {"12/31/05 23:59:58", At(2005, 12, 31, 23, 59)},  // seconds checked, then dropped
      {"1/2/99 0:00", At(1999, 1, 2)},
      {"4-5-2005 1753", At(2005, 4, 5, 17, 53)},
      {"2019-04-20 07:05", At(2019, 4, 20, 7, 5)},
      {"2019.04.20 1753", At(2019, 4, 20, 17, 53)},
      {"2019/4/20 17:53", At(2019, 4, 20, 17, 53)},
      {"20 April 2019 17:53", At(2019, 4, 20, 17, 53)},
      {"April 20, 2019 5:53 PM", At(2019, 4, 20, 17, 53)},
      {"Apr 20 2019 1753", At(2019, 4, 20, 17, 53)},
      {"17:53 4/5/2005", At(2005, 4, 5, 17, 53)},
      {"1753 Apr 20 2019", At(2019, 4, 20, 17, 53)},
      {"12:10 AM 2/29/2024", At(2024, 2, 29, 0, 10)},
      {"2/29/2024 12:10pm", At(2024, 2, 29, 12, 10)},
      {"sept 3 2020", At(2020, 9, 3)},
      {"4/5/2005", At(2005, 4, 5)},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(parseReportDateTime(text), expected) << text;
  }
}

TEST(ReportDateTime, RejectedForms) {
  const std::vector<std::string> cases = {
      "",          "17:53",           "31/12/2005 10:00", "2/30/2024",      "2/29/2023",     "4/5/2005 24:00",
      "4/5/2005 17:60", "4/5/2005 17:53:60", "4/5/2005 13:00 PM", "4/5/2005 UTC",  "Smarch 3 2020", "4/5/2005 4/6/2005",
      "4/5/1969 10:00", "4/5/2005 17:53 18:00", "20 April", "April 2019", "4/5 17:53", "4.5/2005",
      "2005-4-5-6", "4/5/2005 175",
  };
  for (const std::string& text : cases) {
    EXPECT_EQ(parseReportDateTime(text), std::nullopt) << text;
  }
}

TEST(ReportDateTime, ConvertsAsLocalCalendarTime) {
  std::int64_t seconds = 0;
  ASSERT_TRUE(convertReportTime(At(2005, 4, 5, 17, 53), seconds));
  // Breaking the value down again by the local-time rule gives back the
  // fields.
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm fields{};
  ASSERT_NE(localtime_r(&t, &fields), nullptr);
  EXPECT_EQ(fields.tm_year + 1900, 2005);
  EXPECT_EQ(fields.tm_mon + 1, 4);
  EXPECT_EQ(fields.tm_mday, 5);
  EXPECT_EQ(fields.tm_hour, 17);
  EXPECT_EQ(fields.tm_min, 53);
  EXPECT_EQ(fields.tm_sec, 0);
}

// Conversions reuse the last offset from UTC where it fits; across daylight
// saving changes they must still agree with the library's mktime.
TEST(ReportDateTime, ConversionAgreesWithMktimeAcrossDaylightSaving) {
  const char* saved = std::getenv("TZ");
  const std::string previous = saved != nullptr ? saved : "";
  for (const char* zone : {"EST5EDT,M3.2.0,M11.1.0", "CET-1CEST,M3.5.0,M10.5.0/3", "UTC0"}) {
    setenv("TZ", zone, 1);
    tzset();
    int compared = 0;
    for (int month : {3, 10, 11}) {
      for (int day = 1; day <= 31; day += 1) {
        for (int hour = 0; hour < 24; ++hour) {
          for (int minute : {0, 30, 59}) {
            const UtcDateTime when = At(2024, month, day, hour, minute);
            if (month == 11 && day == 31) continue;
            std::tm fields{};
            fields.tm_year = 124;
            fields.tm_mon = month - 1;
            fields.tm_mday = day;
            fields.tm_hour = hour;
            fields.tm_min = minute;
            fields.tm_isdst = -1;
            const std::int64_t expected = std::mktime(&fields);
            std::int64_t seconds = 0;
            ASSERT_TRUE(convertReportTime(when, seconds));
            // The repeated hour of the autumn change may take either offset.
            if (seconds != expected) {
              std::tm back{};
              const std::time_t t = static_cast<std::time_t>(seconds);
              localtime_r(&t, &back);
              EXPECT_EQ(back.tm_hour, hour) << zone << " " << month << "/" << day << " " << hour << ":" << minute;
              EXPECT_EQ(back.tm_min, minute);
              EXPECT_EQ(std::llabs(seconds - expected), 3600);
            }
            ++compared;
          }
        }
      }
    }
    EXPECT_GT(compared, 6000);
  }
  if (saved != nullptr)
    setenv("TZ", previous.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

}  // namespace
}  // namespace nimbrel
