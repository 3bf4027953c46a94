// The time axis after the rows are drawn again, the "now" line without a
// forecast, lone values and the dial of a wind without a direction.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "charts/Chart.h"
#include "support/ChartTestSupport.h"
#include "support/RecordingPainter.h"

namespace nimbrel::test {
namespace {

constexpr std::int64_t kHour = 3600;

// Rows every `step` seconds over `hours` hours from 10:23 on 5 April.
void AddTimedRows(Chart& chart, int hours, std::int64_t step) {
  const std::int64_t start = wallClockSeconds(2005, 4, 5, 10, 23);
  for (std::int64_t t = 0; t <= hours * kHour; t += step) chart.addRow(start + t, {std::sin(t / 7200.0) * 5});
}

// Drawn once, then emptied and drawn again as a change of zone or units
// does: the axis must come back whole, on every span the "Show past" hours give.
TEST(ChartFaults, TheTimeAxisSurvivesRowsDrawnAgain) {
  const struct {
    int hours;
    std::int64_t step;
    int width;
  } cases[] = {{6, 1800, 800}, {24, 1800, 800}, {720, 3600, 800}, {720, 1800, 420}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.hours);
    FixedOwner owner(c.width, 600);
    Chart chart(&owner);
    AddPlainSeries(chart, 1);
    AddTimedRows(chart, c.hours, c.step);
    chart.removeAllRows();
    AddTimedRows(chart, c.hours, c.step);
    const std::int64_t last = chart.row(chart.getRowCount() - 1).time.value();
    chart.setNow(last + 40 * 60);
    RecordingPainter painter;
    chart.draw(painter);
    ASSERT_GE(chart.xLabels.size(), 2u);
    ASSERT_GT(chart.labelStepHours, 0);
    EXPECT_EQ(chart.axisEnd(), last + 40 * 60);
    EXPECT_EQ(chart.nowX, chart.plotRect.right - 1);
    EXPECT_NE(painter.FindText("now"), nullptr);
    const std::int64_t step = chart.labelStepHours * kHour;
    for (const AxisLabel& label : chart.xLabels) {
      EXPECT_EQ(label.time % step, 0) << label.text;
      EXPECT_GE(label.time, chart.axisStart());
      EXPECT_LE(label.time, chart.axisEnd());
      // A vertical grid line and a tick at each label.
      int lines = 0;
      for (const Segment& s : painter.Segments())
        if (s.x0 == label.x && s.x1 == label.x) ++lines;
      EXPECT_GE(lines, 1) << label.text;
    }
    if (c.hours >= 720) {
      // Thirty days: whole days apart, each label at midnight with its date.
      EXPECT_EQ(chart.labelStepHours % 24, 0);
      EXPECT_LE(chart.xLabels.size(), 31u);
      for (const AxisLabel& label : chart.xLabels) {
        EXPECT_EQ(label.text, "00:00");
        EXPECT_FALSE(label.date.empty());
      }
      EXPECT_LT(chart.xLabels.front().time - chart.axisStart(), step) << "the first round day is labelled";
      EXPECT_LT(chart.axisEnd() - chart.xLabels.back().time, step) << "and so is the last";
    }
  }
}

// Without a forecast the axis runs to the owner's now and a "now" line marks
// it; a now before the newest row (a clock behind) moves nothing.
TEST(ChartFaults, NowWithoutAForecast) {
  FixedOwner owner(800, 600);
  Chart chart(&owner);
  AddPlainSeries(chart, 1);
  AddTimedRows(chart, 12, 3600);
  const std::int64_t first = chart.row(0).time.value();
  const std::int64_t last = chart.row(chart.getRowCount() - 1).time.value();
  RecordingPainter painter;
  chart.draw(painter);
  EXPECT_EQ(chart.nowX, -1) << "no now given: none drawn";
  EXPECT_EQ(chart.axisEnd(), last);

  const std::int64_t now = last + 3 * kHour;
  chart.setNow(now);
  painter.Clear();
  chart.draw(painter);
  EXPECT_EQ(chart.axisEnd(), now);
  EXPECT_EQ(chart.nowX, chart.plotRect.right - 1);
  EXPECT_LT(chart.xPosition(chart.getRowCount() - 1), chart.nowX - 100) << "the newest report's age shows";
  bool nowLine = false;
  for (const Segment& s : painter.Segments())
    nowLine |= s.x0 == chart.nowX && s.x1 == chart.nowX && s.pen.colour == rgb(90, 90, 90);
  EXPECT_TRUE(nowLine);

  chart.setNow(first - kHour);
  chart.draw(painter);
  EXPECT_EQ(chart.axisEnd(), last);
  EXPECT_EQ(chart.nowX, -1);
}

// A value with a gap (or the end) on both sides is drawn as a short mark of
// its series' pen; values with a neighbour are joined by lines as before.
TEST(ChartFaults, ALoneValueIsDrawnAsAShortMark) {
  const struct {
    std::vector<double> values;
    int lone;  // the lone value's row, -1 for none
  } cases[] = {
      {{3, kGap, kGap}, 0},
      {{kGap, 3, kGap}, 1},
      {{1, 2, kGap, 3}, 3},
      {{kGap, 3}, 1},
      {{3}, 0},
      {{1, 2, 3}, -1},
      {{kGap, kGap, kGap}, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.values));
    FixedOwner owner(800, 600);
    Chart chart(&owner);
    AddPlainSeries(chart, 1);
    for (std::size_t i = 0; i < c.values.size(); ++i) chart.addRow("r" + std::to_string(i), {c.values[i]});
    RecordingPainter painter;
    chart.draw(painter);
    std::vector<Segment> marks;
    for (const Segment& s : painter.Segments())
      if (s.pen == Pen{rgb(10, 0, 0), 1} && s.y0 == s.y1 && s.x1 - s.x0 == 4) marks.push_back(s);
    if (c.lone < 0) {
      EXPECT_TRUE(marks.empty());
      continue;
    }
    ASSERT_EQ(marks.size(), 1u);
    const int x = chart.xPosition(c.lone);
    EXPECT_EQ(marks[0], (Segment{x - 2, chart.yPosition(3), x + 2, chart.yPosition(3), {}}));
  }
}

// A calm or a variable wind gives no arrow and no "nan"; the dial says which.
TEST(ChartFaults, TheDialOfAWindWithoutADirection) {
  const double nan = std::nan("");
  const struct {
    double direction;
    double speed;
    const char* word;  // "" for no text
  } cases[] = {
      {nan, 0.0, "calm"}, {0.0, 0.0, "calm"}, {270.0, 0.0, "calm"}, {nan, 4.1, "VRB"}, {nan, nan, ""}, {180.0, nan, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.direction) + " " + std::to_string(c.speed));
    FixedOwner owner(800, 600);
    Chart chart(&owner);
    RecordingPainter painter;
    chart.draw(painter);
    painter.Clear();
    chart.drawWindIndicator(painter, c.direction, c.speed);
    EXPECT_TRUE(painter.Segments().empty()) << "no arrow";
    EXPECT_EQ(painter.Calls("Ellipse").size(), 2u) << "rim and hub";
    const auto texts = painter.Calls("Text");
    for (const DrawCall* text : texts) EXPECT_EQ(text->text.find("nan"), std::string::npos);
    if (*c.word == '\0') {
      EXPECT_TRUE(texts.empty());
    } else {
      ASSERT_EQ(texts.size(), 1u);
      EXPECT_EQ(texts[0]->text, c.word);
      EXPECT_EQ(texts[0]->args[0], (chart.dialRect.left + chart.dialRect.right) / 2);
    }
  }
}

}  // namespace
}  // namespace nimbrel::test
