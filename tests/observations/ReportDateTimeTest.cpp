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

}  // namespace
}  // namespace nimbrel
