// The aviation panel drawn on a chart's time axis through a recording
// painter: the category band's segments with their gaps, the forecast's
// band, ceiling and visibility lines broken where a value is missing with a
// lone value kept as a mark, the limits named in the user's unit, the
// weather texts, the "now" line and the gusts on the wind speed line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/Units.h"
#include "charts/AviationPanel.h"
#include "charts/WeatherLayer.h"
#include "support/ChartTestSupport.h"
#include "support/RecordingPainter.h"

namespace nimbrel::test {
namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
constexpr double kClear = std::numeric_limits<double>::infinity();
constexpr std::int64_t kHour = 3600;

class AviationPanelTest : public ::testing::Test {
 protected:
  const std::int64_t t0 = wallClockSeconds(2026, 12, 7, 6, 0);

  // A chart of `hours` hourly rows from t0, "now" at `nowAfter` seconds past t0.
  void DrawChart(int hours, std::int64_t nowAfter) {
    AddPlainSeries(chart, 1);
    for (int h = 0; h <= hours; ++h) chart.addRow(t0 + h * kHour, {static_cast<double>(h)});
    chart.setNow(t0 + nowAfter);
    chart.draw(painter);
  }
  void DrawPanel() {
    painter.calls.clear();
    panel.draw(painter, chart, Rect{0, 600, 800, 600 + AviationPanel::kHeight});
  }
  PanelReport& Add(std::int64_t after, FlightCategory category, double ceiling = kNone, double visibility = kNone) {
    PanelReport report;
    report.time = t0 + after;
    report.category = category;
    report.ceilingFt = ceiling;
    report.visibilityM = visibility;
    panel.reports.push_back(report);
    return panel.reports.back();
  }
  int X(std::int64_t after) const { return chart.forecastX(t0 + after); }
  // The lines drawn in a colour, inside a rectangle.
  std::vector<Segment> LinesIn(Colour colour, const Rect& area) const {
    std::vector<Segment> found;
    for (const Segment& s : painter.Segments())
      if (s.pen.colour == colour && area.contains({s.x0, s.y0}) && area.contains({s.x1, s.y1})) found.push_back(s);
    return found;
  }

  FixedOwner owner{800, 600};
  Chart chart{&owner};
  RecordingPainter painter;
  AviationPanel panel;
};

TEST_F(AviationPanelTest, OneCategorySegmentPerReportUntilTheNextOrAGap) {
  DrawChart(6, 6 * kHour + 20 * 60);
  Add(0, FlightCategory::VFR);
  Add(kHour, FlightCategory::MVFR);
  Add(2 * kHour, FlightCategory::IFR);
  Add(2 * kHour + 1800, FlightCategory::Unknown);  // no category: nothing drawn
  // Silence from 2:30 to 5:00: the IFR report stands for its hold, then a gap.
  Add(5 * kHour, FlightCategory::LIFR);
  Add(6 * kHour, FlightCategory::VFR);  // the newest runs on to now
  DrawPanel();
  const std::vector<BandSegment> expected = {
      {X(0), X(kHour), kVfrColour},
      {X(kHour), X(2 * kHour), kMvfrColour},
      {X(2 * kHour), X(2 * kHour + 1800), kIfrColour},
      {X(5 * kHour), X(6 * kHour), kLifrColour},
      {X(6 * kHour), X(6 * kHour + 20 * 60), kVfrColour},
  };
  EXPECT_EQ(panel.categorySegments, expected);
  EXPECT_LT(X(2 * kHour + 1800), X(5 * kHour)) << "the gap shows";
  // What is under a point of the band, for a tooltip: the report, or none in a gap or off the band.
  const int bandY = panel.categoryRect.top + 3;
  EXPECT_EQ(panel.reportAt(X(kHour) + 2, bandY), 1);
  EXPECT_EQ(panel.reportAt(X(6 * kHour) + 1, bandY), 5);
  EXPECT_EQ(panel.reportAt(X(4 * kHour), bandY), -1);
  EXPECT_EQ(panel.reportAt(X(kHour) + 2, panel.weatherRect.top), -1);
  // Each is filled in the band in its colour.
  for (const BandSegment& s : expected) {
    const auto fills = painter.Calls("FillRect");
    EXPECT_TRUE(std::any_of(fills.begin(), fills.end(), [&](const DrawCall* c) {
      return c->colour == s.colour && c->args[0] == s.left && c->args[2] == s.right - s.left &&
             c->args[1] == panel.categoryRect.top + 1;
    })) << s.left;
  }
  // The "now" line crosses the whole panel at the chart's own "now".
  EXPECT_EQ(panel.nowX, chart.nowX);
  const auto now = LinesIn(rgb(90, 90, 90), panel.frameRect);
  ASSERT_EQ(now.size(), 1u);
  EXPECT_EQ(now[0].x0, chart.nowX);
  EXPECT_LE(now[0].y0, panel.categoryRect.top);
  EXPECT_GE(now[0].y1, panel.visibilityRect.bottom - 1);

  // A lone report with nothing near keeps a segment of its hold; one right
  // at now still shows two pixels.
  panel.reports.clear();
  Add(3 * kHour, FlightCategory::IFR);
  Add(6 * kHour + 20 * 60, FlightCategory::MVFR);
  DrawPanel();
  ASSERT_EQ(panel.categorySegments.size(), 2u);
  EXPECT_EQ(panel.categorySegments[0], (BandSegment{X(3 * kHour), X(3 * kHour + panel.holdSeconds), kIfrColour}));
  EXPECT_EQ(panel.categorySegments[1].right - panel.categorySegments[1].left, 2);
}

TEST_F(AviationPanelTest, TheForecastsHoursAreABandOfVerdicts) {
  DrawChart(6, 6 * kHour);
  panel.hours = {{0, kHour, HourVerdict::kRight},
                 {kHour, 2 * kHour, HourVerdict::kOneOff},
                 {2 * kHour, 3 * kHour, HourVerdict::kNone},  // not judged: no colour
                 {3 * kHour, 4 * kHour, HourVerdict::kWorse}};
  for (PanelHour& h : panel.hours) {
    h.start += t0;
    h.end += t0;
  }
  DrawPanel();
  const std::vector<BandSegment> expected = {{X(0), X(kHour), kVerdictRight},
                                             {X(kHour), X(2 * kHour), kVerdictOneOff},
                                             {X(3 * kHour), X(4 * kHour), kVerdictWorse}};
  EXPECT_EQ(panel.verdictSegments, expected);
  EXPECT_EQ(panel.hourAt(X(3 * kHour) + 3, panel.verdictRect.top), 3);
  EXPECT_EQ(panel.hourAt(X(2 * kHour) + 3, panel.verdictRect.top), -1) << "no verdict there";
  EXPECT_EQ(panel.hourAt(X(kHour) + 3, panel.verdictRect.bottom + 1), 1) << "a little under the thin band counts";
  EXPECT_GE(panel.verdictRect.top, panel.categoryRect.bottom) << "under the category band";
  EXPECT_LE(panel.verdictRect.height(), panel.categoryRect.height() / 2) << "thin";
}

TEST_F(AviationPanelTest, LinesBreakWhereAValueIsMissingAndALoneValueIsAMark) {
  DrawChart(6, 6 * kHour);
  // Ceilings: a run of three, a report without one, a lone value, then a
  // report too late to be joined to the one before.
  Add(0, FlightCategory::MVFR, 2000, 8000);
  Add(kHour, FlightCategory::IFR, 800, 8000);
  Add(2 * kHour, FlightCategory::VFR, kClear, 8000);
  Add(3 * kHour, FlightCategory::VFR, kNone, 8000);
  Add(4 * kHour, FlightCategory::LIFR, 300, 8000);
  Add(6 * kHour, FlightCategory::LIFR, 200, 8000);
  DrawPanel();
  const Colour ceiling = rgb(0, 80, 200);
  std::vector<Segment> lines = LinesIn(ceiling, panel.ceilingRect);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], (Segment{X(0), panel.ceilingY(2000), X(kHour), panel.ceilingY(800), {}}));
  // No ceiling at all is drawn at the scale's top.
  EXPECT_EQ(lines[1], (Segment{X(kHour), panel.ceilingY(800), X(2 * kHour), panel.ceilingRect.top + 2, {}}));
  EXPECT_LT(panel.ceilingY(3000), panel.ceilingY(1000)) << "higher up the plot";
  EXPECT_LT(panel.ceilingY(1000), panel.ceilingY(500));
  // 04:00 and 06:00 stand alone: each a mark in the line's colour.
  std::vector<std::pair<int, int>> marks;
  for (const DrawCall* c : painter.Calls("FillRect"))
    if (c->colour == ceiling) marks.emplace_back(c->args[0] + 1, c->args[1] + 1);
  EXPECT_EQ(marks, (std::vector<std::pair<int, int>>{{X(4 * kHour), panel.ceilingY(300)},
                                                       {X(6 * kHour), panel.ceilingY(200)}}));
  // The visibility, given every time, is one line but for the late report.
  EXPECT_EQ(LinesIn(rgb(160, 80, 0), panel.visibilityRect).size(), 4u);
}

TEST_F(AviationPanelTest, LimitsAreNamedInTheUsersVisibilityUnit) {
  const struct {
    VisibilityUnit unit;
    std::vector<std::string> limits;
    double top;  // the scale's top in metres
  } cases[] = {
      {VisibilityUnit::kStatuteMile, {"1 SM", "3 SM", "5 SM"}, 10 * kMetresPerMile},
      {VisibilityUnit::kMetric, {"1600 m", "4850 m", "8 km"}, 10000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.unit));
    chart.reset();
    DrawChart(3, 3 * kHour);
    panel.visibilityUnit = c.unit;
    DrawPanel();
    int lastY = panel.visibilityRect.bottom;
    for (const std::string& limit : c.limits) {
      const DrawCall* text = painter.FindText(limit);
      ASSERT_NE(text, nullptr) << limit;
      EXPECT_GE(text->args[0], chart.plotRect.right) << "beside the plot";
      EXPECT_LT(text->args[1], lastY) << limit << " above the limit below it";
      lastY = text->args[1];
    }
    for (const char* limit : {"500", "1000", "3000"}) EXPECT_NE(painter.FindText(limit), nullptr) << limit;
    EXPECT_EQ(panel.visibilityY(c.top), panel.visibilityRect.top + 2);
    EXPECT_EQ(panel.visibilityY(c.top * 1.5), panel.visibilityRect.top + 2) << "held to the plot";
    EXPECT_EQ(panel.visibilityY(50), panel.visibilityRect.bottom - 3);
  }
}

TEST_F(AviationPanelTest, WeatherTextsWhereTheWeatherChanges) {
  DrawChart(6, 6 * kHour);
  Add(0, FlightCategory::IFR).weather = "-RA BR";
  Add(kHour, FlightCategory::IFR).weather = "-RA BR";  // the same: read from 00:00
  Add(2 * kHour, FlightCategory::LIFR).weather = "FG";
  Add(3 * kHour, FlightCategory::VFR);
  Add(4 * kHour, FlightCategory::VFR).weather = "FG";  // back after a pause
  Add(4 * kHour + 60, FlightCategory::VFR).weather = "TSRA";  // too close to the last text
  DrawPanel();
  std::vector<std::pair<std::string, int>> shown;
  for (const DrawCall* c : painter.Calls("Text"))
    if (c->args[1] == panel.weatherRect.top) shown.emplace_back(c->text, c->args[0] - 2);
  EXPECT_EQ(shown, (std::vector<std::pair<std::string, int>>{{"-RA BR", X(0)}, {"FG", X(2 * kHour)}, {"FG", X(4 * kHour)}}));
}

TEST_F(AviationPanelTest, GustsAreWhiskersOnTheWindSpeedLine) {
  DrawChart(4, 4 * kHour);
  chart.yMin = 0;
  chart.yDelta = 5;
  chart.draw(painter);
  Add(kHour, FlightCategory::VFR).windSpeed = 8;
  panel.reports.back().gust = 15;
  Add(2 * kHour, FlightCategory::VFR).windSpeed = 9;  // no gust: nothing
  painter.calls.clear();
  panel.drawGusts(painter, chart);
  EXPECT_TRUE(painter.calls.empty()) << "no line to mark without the wind speed shown";
  panel.gustPen = Pen{rgb(0, 0, 255), 1};
  panel.drawGusts(painter, chart);
  const int x = X(kHour);
  const int y = chart.yPosition(15);
  EXPECT_EQ(LinesIn(rgb(0, 0, 255), chart.plotRect),
            (std::vector<Segment>{{x, chart.yPosition(8), x, y, {}}, {x - 2, y, x + 3, y, {}}}));
}

}  // namespace
}  // namespace nimbrel::test
