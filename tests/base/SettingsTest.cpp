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

TEST(MapFilterText, ReadsBackWhatItWritesAndNothingHalfRead) {
  const std::pair<MapFilter, const char*> written[] = {
      {{}, ""},
      {{kMapVfr, 0}, "VFR"},
      {{kMapUnknown | kMapMvfr, 0}, "MVFR,unknown"},
      {{kMapAllCategories, 3}, "VFR,MVFR,IFR,LIFR,unknown;3h"},
      {{0, 1}, ";1h"},
  };
  for (const auto& [filter, text] : written) {
    EXPECT_EQ(mapFilterSettingText(filter), text);
    EXPECT_EQ(mapFilterFromSettingText(text), filter) << '"' << text << '"';
  }
  // Order and repeats do not matter; anything else reads as nothing.
  EXPECT_EQ(mapFilterFromSettingText("unknown,VFR,VFR"), (MapFilter{kMapVfr | kMapUnknown, 0}));
  for (const char* text : {"vfr", "VFR,", ",VFR", "VFR;", "VFR;2h", ";1", "IFR ;1h", "SNOW", "VFR,,IFR", ";3h;1h"})
    EXPECT_EQ(mapFilterFromSettingText(text), std::nullopt) << '"' << text << '"';
  EXPECT_FALSE(Settings{}.mapFilter.hidesAny());
}

}  // namespace
}  // namespace nimbrel
