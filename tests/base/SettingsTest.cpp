// The report sources' names, the one table the command line and the
// settings file both read.
#include <gtest/gtest.h>

#include <string>

#include "base/Settings.h"

namespace nimbrel {
namespace {

TEST(ReportSourceNames, EachNameReadsBackAndNothingElseIsASource) {
  EXPECT_STREQ(reportSourceName(ReportSource::kLiveMetar), "metar");
  EXPECT_STREQ(reportSourceName(ReportSource::kReportPages), "pages");
  for (const ReportSource source : {ReportSource::kLiveMetar, ReportSource::kReportPages})
    EXPECT_EQ(reportSourceNamed(reportSourceName(source)), source) << reportSourceName(source);
  for (const char* name : {"", "METAR", "Pages", "page", "metar ", " pages", "live", "pages\n"})
    EXPECT_EQ(reportSourceNamed(name), std::nullopt) << '"' << name << '"';
  EXPECT_EQ(Settings{}.metarUrl, kDefaultMetarUrl);
}

}  // namespace
}  // namespace nimbrel
