// The decoder over the shared real data: a whole day of the world's reports
// and a year of one station. Skipped when the shared folder is absent.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "GzipLines.h"
#include "metar/MetarDecoder.h"

namespace nimbrel {
namespace {

const std::string kShared = NIMBREL_SHARED_METAR;

TEST(MetarRealData, WholeDayOfTheWorldDecodes) {
  const std::string path = kShared + "/noaa-cycles-2010-11-14.txt.gz";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no " << path;
  test::GzipLines lines(path);
  ASSERT_TRUE(lines.isOpen());
  // The cycle files of the 14th were collected by the end of that day.
  const UtcDateTime anchor{2010, 11, 14, 23, 59};
  std::size_t total = 0, reports = 0, ok = 0, partial = 0, rejected = 0, rejectedLines = 0;
  std::map<std::string, std::size_t> reasons;
  std::string line;
  while (lines.next(line)) {
    ++total;
    // A line may hold several reports run together: each is decoded alone.
    std::string_view rest = line;
    bool anyDecoded = false;
    while (!rest.empty()) {
      const std::string_view piece = rest;
      ++reports;
      const MetarReport report = decodeNextMetar(rest, anchor);
      switch (report.status) {
        case MetarStatus::Ok: ++ok; break;
        case MetarStatus::Partial: ++partial; break;
        case MetarStatus::Rejected:
          ++rejected;
          ++reasons[report.rejectReason];
          break;
      }
      if (report.status == MetarStatus::Rejected) {
        EXPECT_NE(report.rejectReason[0], '\0') << line;
        continue;
      }
      anyDecoded = true;
      // What was decoded stays in range: the station is one of the report's
      // first groups, the time within the month before the anchor, and
      // every value within what the air can do.
      EXPECT_NE(piece.substr(0, 40).find(report.station), std::string_view::npos) << line;
      EXPECT_LE(report.time, anchor.addDays(1)) << line;
      EXPECT_GE(report.time, UtcDateTime(2010, 10, 14, 0, 0)) << line;
      if (report.current.wind.speedKt) {
        EXPECT_LT(*report.current.wind.speedKt, kMaxMeanWindKt) << line;
      }
      if (report.current.wind.gustKt && report.current.wind.speedKt && !report.current.wind.gustAbove) {
        EXPECT_GT(*report.current.wind.gustKt, *report.current.wind.speedKt) << line;
      }
      if (report.pressureHpa) {
        EXPECT_GE(*report.pressureHpa, kMinPressureHpa) << line;
        EXPECT_LE(*report.pressureHpa, kMaxPressureHpa) << line;
      }
      if (report.temperatureC && report.dewPointC) {
        EXPECT_LE(*report.dewPointC, *report.temperatureC + 1.0) << line;
      }
      if (report.relativeHumidity()) {
        EXPECT_LE(*report.relativeHumidity(), 100.0) << line;
      }
    }
    if (!anyDecoded) ++rejectedLines;
  }
  std::printf("whole day: %zu lines, %zu reports, %zu ok, %zu partial, %zu rejected; %zu lines rejected\n", total,
              reports, ok, partial, rejected, rejectedLines);
  for (const auto& [reason, count] : reasons) std::printf("  rejected, %s: %zu\n", reason.c_str(), count);
  EXPECT_EQ(total, 200054u);
  EXPECT_EQ(ok + partial + rejected, reports);
  // About fifty lines hold two or three reports.
  EXPECT_GT(reports, total + 40);
  // Guards against a decoder that slips: nearly every real report decodes
  // fully, and only lines no reader could take are rejected.
  EXPECT_GT(ok, reports * 98 / 100);
  EXPECT_LE(rejectedLines, 40u);
}

TEST(MetarRealData, YearOfOneStationKeepsItsOwnTimes) {
  const std::string path = kShared + "/ktpa-2020-2021.txt.gz";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no " << path;
  test::GzipLines lines(path);
  std::size_t total = 0, ok = 0;
  std::string line;
  while (lines.next(line)) {
    if (line.size() < 13) continue;
    ++total;
    // Each line is stamped "YYYYMMDDHHmm" with the report's own time, so the
    // date resolved from the report's day must be that stamp, at every month end.
    const std::optional<UtcDateTime> stamp = parseCompactDateTime(line.substr(0, 12));
    ASSERT_TRUE(stamp) << line;
    const MetarReport report = decodeMetar(line.substr(13), *stamp);
    ASSERT_NE(report.status, MetarStatus::Rejected) << line;
    EXPECT_EQ(report.time, *stamp) << line;
    ok += report.status == MetarStatus::Ok;
  }
  std::printf("KTPA year: %zu reports, %zu fully decoded\n", total, ok);
  EXPECT_GE(total, 8742u);
  EXPECT_GT(ok, total * 99 / 100);
}

}  // namespace
}  // namespace nimbrel
