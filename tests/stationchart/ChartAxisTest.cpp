// A station chart keeps its time axis and its "now" line through the
// choices a user makes after opening it: Time UTC either way, a units
// preset, the zone of the computer and 720 hours of reports.
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <memory>

#include "base/ClockText.h"
#include "base/DisplayUnits.h"
#include "observations/MetarSource.h"
#include "reportstore/ReportStore.h"
#include "stationchart/StationChart.h"
#include "stationchart/StationChartModel.h"
#include "support/ChartTestSupport.h"
#include "support/DeferredFetcher.h"
#include "support/FakeUserPort.h"
#include "support/RecordingPainter.h"
#include "support/TempFolder.h"
#include "support/ZoneScope.h"

namespace nimbrel::test {
namespace {

constexpr std::int64_t kNow = 1796667900;  // 2026-12-07T18:25Z

// Hourly reports at hh:53 up to 17:53 UTC, the newest 32 minutes old.
std::vector<StoredMetar> HourlyReports(int hours) {
  std::vector<StoredMetar> reports;
  for (int i = hours - 1; i >= 0; --i) {
    const std::int64_t at = kNow - 32 * 60 - i * std::int64_t{3600};
    const std::time_t t = at;
    std::tm utc{};
    gmtime_r(&t, &utc);
    char raw[96];
    std::snprintf(raw, sizeof raw, "TEST %02d%02d%02dZ 16009KT 10SM FEW120 %02d/M04 Q1013", utc.tm_mday, utc.tm_hour,
                  utc.tm_min, i % 20);
    reports.push_back(StoredMetar{"TEST", at, raw, ReportOrigin::kChart, false});
  }
  return reports;
}

// Every label sits at the time its text says in the zone the chart shows,
// and the "now" line at the port's now.
void ExpectAxisInZone(StationChartModel& model, bool timeUtc) {
  model.placeForecast();
  RecordingPainter painter;
  paintStationChart(*model.chart, painter, model.dialDirection, model.dialSpeed);
  const Chart& chart = *model.chart;
  ASSERT_GE(chart.xLabels.size(), 2u);
  // Labels on round hours of the zone shown (Kolkata's and Lord Howe's
  // half hours included), the newest row at its report's time there.
  for (const AxisLabel& label : chart.xLabels) EXPECT_EQ(label.text.substr(2), ":00") << label.text;
  const ShownTime newest = shownTime(kNow - 32 * 60, timeUtc);
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", newest.hour, newest.minute);
  EXPECT_EQ(chart.rowLabel(chart.getRowCount() - 1), text);
  EXPECT_EQ(chart.axisEnd(), chartWallClock(kNow, timeUtc));
  EXPECT_EQ(chart.nowX, chart.plotRect.right - 1);
  EXPECT_NE(painter.FindText("now"), nullptr);
}

TEST(ChartAxis, FollowsZoneUnitsAndHoursAndAlwaysShowsNow) {
  const struct {
    const char* zone;
    bool timeUtc;
    int hours;
  } cases[] = {
      {"UTC", false, 6},          {"America/New_York", true, 6}, {"America/New_York", false, 24},
      {"Asia/Kolkata", true, 720}, {"Asia/Kolkata", false, 6},   {"Australia/Lord_Howe", false, 720},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.zone) + (c.timeUtc ? " UTC " : " local ") + std::to_string(c.hours));
    ZoneScope zone(c.zone);
    TempFolder folder;
    auto store = std::make_shared<ReportStore>(folder / "reports.sqlite");
    ASSERT_TRUE(store->putMetars(HourlyReports(c.hours)));
    DeferredFetcher fetcher;
    MetarSource source(fetcher, [] { return kNow; });
    source.setStore(store);
    FakeUserPort port;
    port.now = kNow;
    Settings settings;
    settings.pastHours = c.hours;
    settings.timeUtc = c.timeUtc;
    Station station = SampleStation();
    station.icao = "TEST";
    StationChartModel model(station, settings, source, port, nullptr);
    model.load([](LoadOutcome) {});
    ASSERT_TRUE(fetcher.deliverNext(FetchResult{}));  // the stored reports
    ASSERT_TRUE(model.isLoaded());
    ASSERT_EQ(model.chart->getRowCount(), c.hours);
    ExpectAxisInZone(model, c.timeUtc);

    // Time UTC switched, then the US preset, then both back: each draws the
    // chart again from its reports, axis included.
    settings.timeUtc = !c.timeUtc;
    ASSERT_TRUE(model.followSettings());
    ExpectAxisInZone(model, !c.timeUtc);
    settings.units = unitPreset(UnitPreset::kUs);
    ASSERT_TRUE(model.followSettings());
    ExpectAxisInZone(model, !c.timeUtc);
    settings.units = unitPreset(UnitPreset::kMetric);
    settings.timeUtc = c.timeUtc;
    ASSERT_TRUE(model.followSettings());
    ExpectAxisInZone(model, c.timeUtc);
  }
}

}  // namespace
}  // namespace nimbrel::test
