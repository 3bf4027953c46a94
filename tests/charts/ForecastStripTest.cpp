// The forecast strip under a station chart: one band an hour in its
// prevailing flight category's colour, hatched where a TEMPO or PROB change
// may come, on the chart's own time axis, which runs on past now; the
// plot's rectangle never changes for it; and a chart of the report pages
// source has none.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "stationchart/StationChart.h"
#include "charts/WeatherLayer.h"
#include "observations/MetarSource.h"
#include "observations/ReportPageSource.h"
#include "stationchart/StationChartModel.h"
#include "support/ChartTestSupport.h"
#include "support/DeferredFetcher.h"
#include "support/FakeUserPort.h"
#include "support/RecordingPainter.h"
#include "support/ReportPages.h"
#include "support/ZoneScope.h"

namespace nimbrel::test {
namespace {

// CYBN's TAF of 2018-09-12 (real-reports-taf.tsv): LIFR, a BECMG to VFR,
// FM groups to VFR and MVFR, TEMPOs of IFR and MVFR.
const char* kCybnTaf =
    "TAF CYBN 121018Z 1210/1222 VRB03KT 1SM BR OVC001 BECMG 1210/1212 P6SM NSW SCT008 FM121200 VRB03KT P6SM "
    "SCT008 TEMPO 1212/1214 BKN008 FM121500 VRB03KT P6SM BKN015 TEMPO 1214/1217 BKN025 FM121800 15008KT P6SM "
    "BKN025 RMK FCST BASED ON AUTO OBS. NXT FCST BY 121200Z=";

TafForecast CybnForecast() {
  const TafReading reading = readTafAnswer(std::string(R"([{"issueTime": "2018-09-12T10:18:00.000Z", "rawTAF": ")") +
                                           kCybnTaf + R"("}])");
  EXPECT_TRUE(reading.ok && reading.forecast) << reading.note;
  return reading.forecast.value_or(TafForecast{});
}

// The hours 10Z to 21Z: the prevailing colour, and the hatch's colour (0 when none).
struct ExpectedHour {
  int hour;
  Colour colour;
  Colour hatch;
};
const ExpectedHour kCybnHours[] = {
    {10, kLifrColour, 0},           {11, kLifrColour, 0},           // before the BECMG is complete
    {12, kVfrColour, kIfrColour},   {13, kVfrColour, kIfrColour},   // TEMPO BKN008
    {14, kVfrColour, kMvfrColour},                                  // TEMPO BKN025 from 14Z
    {15, kMvfrColour, kMvfrColour}, {16, kMvfrColour, kMvfrColour}, // FM BKN015
    {17, kMvfrColour, 0},           {18, kMvfrColour, 0},           {19, kMvfrColour, 0},
    {20, kMvfrColour, 0},           {21, kMvfrColour, 0},
};

// A station chart with a few reports, the way the window sets one up.
void SetUpChart(Chart& chart) {
  Settings settings;
  setupStationChart(chart, SampleStation(), settings, 30);
  for (int i = 0; i < 6; ++i)
    addObservationRow(chart, wallClockSeconds(2018, 9, 12, 4 + i, 0), 10.0 + i, 13.0, 2.0 + i, 90.0);
}

// The strip as the model hands it over: now at 09:30, the axis running on
// 12 hours past it (to 21:30, inside the TAF's 10Z to 22Z).
ChartForecast OnTheAxis() {
  ChartForecast strip = forecastStrip(CybnForecast());
  strip.now = wallClockSeconds(2018, 9, 12, 9, 30);
  strip.hoursAhead = 12;
  return strip;
}

TEST(ForecastStrip, EachHourTakesItsPrevailingCategoryAndTheWorstPossibleChange) {
  const ChartForecast strip = forecastStrip(CybnForecast());
  EXPECT_EQ(strip.from, wallClockSeconds(2018, 9, 12, 10, 0));
  EXPECT_EQ(strip.to, wallClockSeconds(2018, 9, 12, 22, 0));
  ASSERT_EQ(strip.hours.size(), std::size(kCybnHours));
  for (std::size_t i = 0; i < strip.hours.size(); ++i) {
    const ExpectedHour& e = kCybnHours[i];
    EXPECT_EQ(strip.hours[i].time, wallClockSeconds(2018, 9, 12, e.hour, 0)) << e.hour;
    EXPECT_EQ(strip.hours[i].colour, e.colour) << e.hour << "Z";
    EXPECT_EQ(strip.hours[i].hatch.value_or(0), e.hatch) << e.hour << "Z";
  }
}

TEST(ForecastStrip, DrawsTheBandsInHourOrderWithTheChangesHatched) {
  FixedOwner owner(800, 700);
  Chart chart(&owner);
  SetUpChart(chart);
  chart.setForecast(OnTheAxis());
  RecordingPainter painter;
  paintStationChart(chart, painter, 90.0, 3.0);
  EXPECT_EQ(chart.axisStart(), wallClockSeconds(2018, 9, 12, 4, 0));
  EXPECT_EQ(chart.axisEnd(), wallClockSeconds(2018, 9, 12, 21, 30));
  const Rect band = chart.forecastRect;
  ASSERT_GT(band.width(), 0) << "no strip at 800 x 700";
  EXPECT_EQ(band.left, chart.plotRect.left);
  EXPECT_EQ(band.right, chart.plotRect.right);
  EXPECT_GT(band.top, chart.plotRect.bottom);

  // The fills inside the band, left to right, cover it from 10Z to the
  // axis' end without a gap.
  std::vector<Colour> fills;
  int nextLeft = chart.forecastX(wallClockSeconds(2018, 9, 12, 10, 0));
  for (const DrawCall* call : painter.Calls("FillRect")) {
    if (call->args[1] != band.top) continue;
    EXPECT_EQ(call->args[0], nextLeft);
    EXPECT_EQ(call->args[3], band.height());
    nextLeft = call->args[0] + call->args[2];
    fills.push_back(call->colour);
  }
  EXPECT_EQ(nextLeft, chart.plotRect.right - 1);
  std::vector<Colour> expected;
  for (const ExpectedHour& e : kCybnHours) expected.push_back(e.colour);
  EXPECT_EQ(fills, expected);

  // Diagonals inside the band: each in its hour, in its hatch colour.
  std::map<int, std::set<Colour>> hatchesByHour;
  for (const Segment& s : painter.Segments()) {
    if (s.y0 < band.top || s.y0 >= band.bottom || s.y1 == s.y0) continue;
    EXPECT_LT(s.y1, s.y0) << "a diagonal rises to the right";
    EXPECT_GE(s.y1, band.top) << "a diagonal leaves the band";
    if (s.pen.colour == rgb(255, 255, 255)) continue;  // the diagonals' white edge
    const int hour = chart.forecastHourAt(s.x0, band.top);
    ASSERT_GE(hour, 0);
    EXPECT_EQ(chart.forecastHourAt(s.x1, band.top), hour) << "a diagonal crosses into the next hour";
    hatchesByHour[kCybnHours[hour].hour].insert(s.pen.colour);
  }
  for (const ExpectedHour& e : kCybnHours) {
    if (e.hatch == 0) {
      EXPECT_EQ(hatchesByHour.count(e.hour), 0u) << e.hour << "Z is hatched";
    } else {
      EXPECT_EQ(hatchesByHour[e.hour], std::set<Colour>{e.hatch}) << e.hour << "Z";
    }
  }

  // Under each of the plot's hour labels within the forecast, the strip
  // shows that very hour, labelled alike.
  std::vector<std::string> plotLabels;
  for (const AxisLabel& label : chart.xLabels) {
    if (label.time < chart.getForecast()->from) continue;
    plotLabels.push_back(label.text);
    const int hour = chart.forecastHourAt(label.x, band.top);
    ASSERT_GE(hour, 0) << label.text;
    EXPECT_EQ(chart.getForecast()->hours[static_cast<std::size_t>(hour)].time, label.time) << label.text;
  }
  std::vector<std::string> stripLabels;
  for (const AxisLabel& label : chart.forecastLabels) stripLabels.push_back(label.text);
  EXPECT_GE(plotLabels.size(), 3u);
  EXPECT_EQ(stripLabels, plotLabels);

  // "now" is a line; past it the plot is shaded and no report is drawn.
  const int nowX = chart.forecastX(wallClockSeconds(2018, 9, 12, 9, 30));
  EXPECT_EQ(chart.nowX, nowX);
  EXPECT_TRUE(painter.HasSegment(nowX, chart.plotRect.top + 1, nowX, chart.plotRect.bottom));
  const DrawCall* shade = nullptr;
  for (const DrawCall* call : painter.Calls("FillRect"))
    if (call->args[1] == chart.plotRect.top + 1) shade = call;
  ASSERT_NE(shade, nullptr);
  EXPECT_EQ(shade->args[0], nowX + 1);
  EXPECT_EQ(shade->args[0] + shade->args[2], chart.plotRect.right - 1);
  for (int row = 0; row < chart.getRowCount(); ++row) EXPECT_LT(chart.xPosition(row), nowX);
}

TEST(ForecastStrip, HoursUnderThePointer) {
  FixedOwner owner(800, 700);
  Chart chart(&owner);
  SetUpChart(chart);
  chart.setForecast(OnTheAxis());
  RecordingPainter painter;
  chart.draw(painter);
  const Rect band = chart.forecastRect;
  const int y = (band.top + band.bottom) / 2;
  for (int i = 0; i < static_cast<int>(std::size(kCybnHours)); ++i) {
    const std::int64_t start = wallClockSeconds(2018, 9, 12, kCybnHours[i].hour, 0);
    const int middle = (chart.forecastX(start) + chart.forecastX(start + 3600)) / 2;
    EXPECT_EQ(chart.forecastHourAt(middle, y), i);
  }
  EXPECT_EQ(chart.forecastHourAt(chart.forecastX(wallClockSeconds(2018, 9, 12, 10, 0)) - 1, y), -1);
  EXPECT_EQ(chart.forecastHourAt(band.right, y), -1);
  EXPECT_EQ(chart.forecastHourAt(band.right - 5, band.top - 1), -1);
  EXPECT_EQ(chart.forecastHourAt(band.right - 5, band.bottom), -1);

  const std::string text = forecastHourText(CybnForecast(), 2, true);  // 12Z
  EXPECT_EQ(text.rfind("9/12 12:00 UTC  VFR\n", 0), 0u) << text;
  EXPECT_NE(text.find("TEMPO 12:00-14:00 UTC IFR: broken clouds at 800 feet"), std::string::npos) << text;
  EXPECT_EQ(forecastHourText(CybnForecast(), 99, true), "");

  // In the user's units: the same hour, each value once in them.
  const DisplayUnits us = unitPreset(UnitPreset::kUs);
  const std::string inUnits = forecastHourText(CybnForecast(), 2, true, &us);
  EXPECT_EQ(inUnits.rfind("9/12 12:00 UTC  VFR\n", 0), 0u) << inUnits;
  EXPECT_NE(inUnits.find("\nwind variable at 3 mph, visibility 6 SM or more"), std::string::npos) << inUnits;
}

// The strip's band comes with a taller window: the plot, the legend and the
// texts above it are where they were without it; at a small size the strip
// is left out and nothing moves.
TEST(ForecastStrip, ThePlotKeepsItsRectangle) {
  for (const auto& [width, height] : {std::pair{800, 600}, std::pair{650, 670}, std::pair{500, 330}}) {
    FixedOwner plainOwner(width, height);
    Chart plain(&plainOwner);
    SetUpChart(plain);
    RecordingPainter plainPainter;
    paintStationChart(plain, plainPainter, 90.0, 3.0);
    EXPECT_EQ(plain.forecastRect, Rect{});
    EXPECT_EQ(plain.forecastSpace, 0);

    Chart probe(&plainOwner);
    SetUpChart(probe);
    probe.setForecast(forecastStrip(CybnForecast()));
    RecordingPainter probePainter;
    probe.draw(probePainter);
    ASSERT_GT(probe.forecastSpace, 0) << width << " x " << height;

    FixedOwner grownOwner(width, height + probe.forecastSpace);
    Chart grown(&grownOwner);
    SetUpChart(grown);
    grown.setForecast(forecastStrip(CybnForecast()));
    RecordingPainter grownPainter;
    paintStationChart(grown, grownPainter, 90.0, 3.0);
    EXPECT_EQ(grown.plotRect, plain.plotRect) << width << " x " << height;
    EXPECT_EQ(grown.chartAreaRect, plain.chartAreaRect);
    EXPECT_EQ(grown.detailRect, plain.detailRect);
    EXPECT_EQ(grown.dialRect, plain.dialRect);
    EXPECT_GE(grown.forecastRect.top, plain.chartAreaRect.bottom);
    EXPECT_LE(grown.forecastRect.bottom, grown.frameRect.bottom);
  }

  FixedOwner smallOwner(kMinChartWidth, kMinChartHeight + 10);
  Chart plain(&smallOwner);
  SetUpChart(plain);
  RecordingPainter plainPainter;
  plain.draw(plainPainter);
  Chart small(&smallOwner);
  SetUpChart(small);
  small.setForecast(forecastStrip(CybnForecast()));
  RecordingPainter painter;
  small.draw(painter);
  EXPECT_EQ(small.forecastRect, Rect{}) << "a strip squeezed into a small window";
  EXPECT_EQ(small.forecastSpace, 0);
  EXPECT_EQ(small.plotRect, plain.plotRect);
  EXPECT_EQ(small.forecastHourAt(small.plotRect.left + 5, small.plotRect.bottom + 30), -1);
}

// The report pages source has no forecast: nothing is asked, no strip.
TEST(ForecastStrip, NoneForTheReportPagesSource) {
  DeferredFetcher fetcher;
  ReportPageSource source(fetcher);
  FakeUserPort port;
  Settings settings;
  Station station = SampleStation();
  station.icao = "TEST";
  FixedOwner owner(800, 700);
  StationChartModel model(station, settings, source, port, &owner);
  bool loaded = false;
  model.load([&loaded](LoadOutcome outcome) { loaded = outcome.ok; });
  PageReport first;
  first.hour = 10;
  PageReport second;
  second.hour = 11;
  fetcher.deliverNext(ComposePage({second, first}));
  ASSERT_TRUE(loaded);
  model.refresh();
  for (const std::string& url : fetcher.urls) EXPECT_EQ(url.find("taf"), std::string::npos) << url;
  EXPECT_FALSE(model.forecast().has_value());
  EXPECT_FALSE(model.isForecastBusy());
  RecordingPainter painter;
  paintStationChart(*model.chart, painter, 0.0, 0.0);
  EXPECT_EQ(model.chart->forecastRect, Rect{});
  EXPECT_EQ(painter.FindText("TAF"), nullptr);
  for (const std::string& line : *model.chart->series.back().detailLines)
    EXPECT_NE(line.rfind("FORECAST:", 0), 0u) << line;
}


// With the live source the forecast comes beside the reports; a failed
// forecast keeps the last one and disturbs nothing, a station without a
// TAF any more loses its strip.
TEST(ForecastStrip, FollowsTheServicesAnswersWithoutDisturbingTheReports) {
  ZoneScope zone("UTC");  // the forecast line below is in the computer's zone
  std::int64_t now = 1796665980 + 120;
  DeferredFetcher fetcher;
  MetarSource metar(fetcher, [&now] { return now; });
  TafSource taf(fetcher, [&now] { return now; });
  FakeUserPort port;
  port.now = now;  // the reports' age is the test's, not the machine clock's
  Settings settings;
  Station station = SampleStation();
  station.icao = "KXYZ";
  FixedOwner owner(800, 700);
  StationChartModel model(station, settings, metar, port, &owner, &taf);
  bool loaded = false;
  model.load([&loaded](LoadOutcome outcome) { loaded = outcome.ok; });
  ASSERT_EQ(fetcher.urls.size(), 2u);
  EXPECT_NE(fetcher.urls[0].find("/api/data/taf?ids=KXYZ&format=json"), std::string::npos) << fetcher.urls[0];
  fetcher.deliverNext(std::string(R"([{"issueTime": "2018-09-12T10:18:00.000Z", "rawTAF": ")") + kCybnTaf + R"("}])");
  fetcher.deliverNext(PageResult(R"([{"rawOb": "KXYZ 071753Z 16009KT 10SM FEW120 12/M04 A3001", "obsTime": 1796665980},
                                      {"rawOb": "KXYZ 071653Z 16009KT 10SM FEW120 11/M04 A3001", "obsTime": 1796662380}])"));
  ASSERT_TRUE(loaded);
  ASSERT_TRUE(model.chart->getForecast().has_value());
  EXPECT_EQ(model.chart->getForecast()->hours.size(), std::size(kCybnHours));
  auto lastDetail = [&model] { return model.chart->series.back().detailLines->back(); };
  EXPECT_EQ(lastDetail(), std::string("FORECAST: issued 9/12/2018 10:18 UTC: ") + kCybnTaf);
  // The 16:00 UTC hour had no TAF in force: the one valid then was asked for.
  ASSERT_EQ(fetcher.urls.size(), 3u);
  EXPECT_NE(fetcher.urls[2].find("/api/data/taf?ids=KXYZ&format=json&date=2026-12-07T16%3A00%3A00Z"), std::string::npos)
      << fetcher.urls[2];
  fetcher.deliverNext(PageResult("[]"));

  // Half an hour on: asked again; its failure keeps the strip, no message.
  port.now = now += 31 * 60;
  model.refresh();
  ASSERT_EQ(fetcher.urls.size(), 5u);
  EXPECT_NE(fetcher.urls[3].find("/api/data/taf"), std::string::npos);
  fetcher.deliverNext(FailedResult(FetchStatus::kTimedOut, "Operation timed out", 20));
  fetcher.deliverNext(PageResult("[]"));
  EXPECT_TRUE(model.chart->getForecast().has_value());
  EXPECT_EQ(lastDetail().rfind("FORECAST:", 0), 0u);
  EXPECT_TRUE(port.messages.empty());
  EXPECT_EQ(model.observations.size(), 2u);

  // A failed forecast is asked again at the next tick; "[]" clears it. The
  // reports that came to nothing are asked for by the hours since the newest.
  model.refresh();
  ASSERT_EQ(fetcher.urls.size(), 7u) << testing::PrintToString(fetcher.urls);
  EXPECT_NE(fetcher.urls[5].find("/api/data/taf"), std::string::npos);
  EXPECT_NE(fetcher.urls[6].find("/api/data/metar?ids=KXYZ&format=json&hours=1"), std::string::npos) << fetcher.urls[6];
  fetcher.deliverNext(PageResult("[]"));
  fetcher.deliverAll(PageResult("[]"));
  EXPECT_FALSE(model.chart->getForecast().has_value());
  EXPECT_FALSE(model.forecast().has_value());
  EXPECT_NE(lastDetail().rfind("FORECAST:", 0), 0u);
  RecordingPainter painter;
  model.chart->draw(painter);
  EXPECT_EQ(model.chart->forecastRect, Rect{});
  EXPECT_TRUE(port.messages.empty());
}

}  // namespace
}  // namespace nimbrel::test
