// The station chart's layout at many window sizes and its time axis,
// measured on a recording context (6 pixels a character, font-high lines).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ChartTestSupport.h"
#include "stationchart/StationChart.h"
#include "support/RecordingPainter.h"

namespace nimbrel::test {
namespace {

const TextLines kDetails = {"DATE: 2026.12.07 1753 UTC",
                            "TEMP: 22.8 C",
                            "DEWPOINT: 16.7 C [RH = 66%]",
                            "PRESSURE: 30.15 inches Hg (1021.1 mb)",
                            "WINDS: from the WSW (250 degrees) at 12 MPH (10 knots; 5.1 m/s)",
                            "VISIBILITY: 10 miles<BR>(16 km)",
                            "CEILING: none",
                            "CLOUDS: sky clear",
                            "PRESENT: light rain"};

// Half-hourly reports over `hours`, from 08:23 on 31 December.
void BuildStationChart(Chart& chart, int hours) {
  setupStationChart(chart, SampleStation(), Settings{}, 30);
  const std::int64_t start = wallClockSeconds(2026, 12, 31, 8, 23);
  for (int i = 0; i <= hours * 2; ++i) addObservationRow(chart, start + i * 1800, 5 + i % 7, 13, 2 + i % 3, 200);
  chart.setDetailLines(chart.seriesCount - 1, kDetails);
}

Rect TextBox(const DrawCall& call, int charWidth) {
  const int width = static_cast<int>(call.text.size()) * charWidth;
  const int left = call.align == Align::kCentre ? call.args[0] - width / 2
                   : call.align == Align::kRight ? call.args[0] - width
                                                 : call.args[0];
  return Rect{left, call.args[1], left + width, call.args[1] + call.font.height};
}

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
bool Inside(const Rect& inner, const Rect& outer) {
  return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
         inner.bottom <= outer.bottom;
}
std::string Show(const Rect& r) {
  return "{" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + "}";
}

TEST(ChartLayout, PartsAndTextsNeverOverlapAtAnySize) {
  const std::pair<int, int> sizes[] = {{320, 240}, {360, 260}, {400, 300}, {500, 400},  {650, 670},
                                       {800, 520}, {1000, 500}, {1600, 1200}, {320, 900}, {1400, 240}};
  for (const int hours : {6, 60}) {
    for (const auto& [width, height] : sizes) {
      SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + ", " + std::to_string(hours) + " h");
      FixedOwner owner(width, height);
      Chart chart(&owner);
      BuildStationChart(chart, hours);
      RecordingPainter painter;
      paintStationChart(chart, painter, 250.0, 5.1);

      const Rect parts[] = {chart.headingRect, chart.chartAreaRect, chart.legendRect};
      for (const Rect& part : parts) EXPECT_TRUE(Inside(part, chart.frameRect)) << Show(part);
      for (int a = 0; a < 3; ++a)
        for (int b = a + 1; b < 3; ++b) EXPECT_FALSE(Overlap(parts[a], parts[b])) << Show(parts[a]) << Show(parts[b]);
      EXPECT_TRUE(Inside(chart.plotRect, chart.chartAreaRect));
      EXPECT_TRUE(Inside(chart.detailRect, chart.legendRect));
      EXPECT_TRUE(Inside(chart.dialRect, chart.legendRect));
      EXPECT_FALSE(Overlap(chart.detailRect, chart.dialRect));
      EXPECT_GE(chart.plotRect.width(), 100);
      EXPECT_GE(chart.plotRect.height(), 100);

      // Every text: inside the frame, clear of every other and of the plot.
      std::vector<Rect> boxes;
      for (const auto* call : painter.Calls("Text")) {
        const Rect box = TextBox(*call, painter.charWidth);
        EXPECT_TRUE(Inside(box, chart.frameRect)) << call->text << Show(box);
        EXPECT_FALSE(Overlap(box, Rect{chart.plotRect.left, chart.plotRect.top, chart.plotRect.right,
                                       chart.plotRect.bottom}))
            << call->text << Show(box);
        for (std::size_t i = 0; i < boxes.size(); ++i) EXPECT_FALSE(Overlap(box, boxes[i])) << call->text;
        boxes.push_back(box);
      }
      // The dial's circle and its text stay in the dial's rectangle.
      const auto ellipses = painter.Calls("Ellipse");
      ASSERT_EQ(ellipses.size(), 2u);
      const auto& circle = ellipses[0]->args;
      EXPECT_TRUE(Inside(Rect{circle[0], circle[1], circle[2], circle[3]}, chart.dialRect));
      EXPECT_TRUE(Inside(TextBox(*painter.FindText("250"), painter.charWidth), chart.dialRect));
      // The heading is there in full, however many lines it takes.
      std::string heading;
      for (const auto* call : painter.Calls("Text"))
        if (call->font == chart.titleFontShown) heading += call->text;
      std::erase(heading, ' ');
      EXPECT_EQ(heading, "ST.PAULMN(4456N,09303W),elevation215m,US");
    }
  }
}

TEST(ChartLayout, DetailTextsFitTheirColumn) {
  for (const auto& [width, height] : {std::pair{650, 670}, std::pair{320, 240}}) {
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    FixedOwner owner(width, height);
    Chart chart(&owner);
    BuildStationChart(chart, 24);
    RecordingPainter painter;
    paintStationChart(chart, painter, 250.0, 5.1);
    std::string shown;
    int lines = 0;
    for (const auto* call : painter.Calls("Text")) {
      const Rect box = TextBox(*call, painter.charWidth);
      if (box.left < chart.legendRect.left) continue;
      EXPECT_LE(box.right, chart.legendRect.right) << call->text;
      if (Inside(box, chart.detailRect)) {
        shown += call->text + " ";
        ++lines;
      }
    }
    EXPECT_GE(lines, 2);
    if (width == 650) {
      // Every character of every detail line, in order.
      std::string all;
      for (std::string line : kDetails) {
        const auto br = line.find("<BR>");
        if (br != std::string::npos) line.replace(br, 4, " ");
        all += line + " ";
      }
      EXPECT_EQ(shown, all);
    }
  }
}

struct AxisCase {
  int hours;
  int stepHours;
  std::vector<std::string> texts;
  std::vector<std::string> dates;
};

TEST(ChartLayout, TimeLabelsAtRoundHoursWithTheDateOnEachDaysFirst) {
  // The plot is 380 pixels wide; labels need 36 + 8 pixels between them.
  const AxisCase cases[] = {
      {6, 1, {"09:00", "10:00", "11:00", "12:00", "13:00", "14:00"}, {"31 Dec", "", "", "", "", ""}},
      {24,
       3,
       {"09:00", "12:00", "15:00", "18:00", "21:00", "00:00", "03:00", "06:00"},
       {"31 Dec", "", "", "", "", "1 Jan", "", ""}},
      {60, 12, {"12:00", "00:00", "12:00", "00:00", "12:00"}, {"31 Dec", "1 Jan", "", "2 Jan", ""}},
  };
  for (const AxisCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.hours) + " hours");
    FixedOwner owner(650, 670);
    Chart chart(&owner);
    BuildStationChart(chart, c.hours);
    RecordingPainter painter;
    chart.draw(painter);
    ASSERT_EQ(chart.plotRect.width(), 380);
    EXPECT_EQ(chart.labelStepHours, c.stepHours);
    std::vector<std::string> texts;
    std::vector<std::string> dates;
    for (const AxisLabel& label : chart.xLabels) {
      texts.push_back(label.text);
      dates.push_back(label.date);
    }
    EXPECT_EQ(texts, c.texts);
    EXPECT_EQ(dates, c.dates);

    // x follows time over the full width: first row at the left edge, last
    // at the right, labels evenly spaced at step * 379 / span pixels.
    const int span = c.hours * 3600;
    const std::int64_t first = wallClockSeconds(2026, 12, 31, 8, 23);
    EXPECT_EQ(chart.xPosition(0), chart.plotRect.left);
    EXPECT_EQ(chart.xPosition(chart.getRowCount() - 1), chart.plotRect.right - 1);
    for (const AxisLabel& label : chart.xLabels) {
      EXPECT_EQ(label.time % (c.stepHours * 3600), 0);
      EXPECT_NEAR(label.x, chart.plotRect.left + (label.time - first) * 379.0 / span, 0.5);
    }
    // Drawn: each time under its tick, the date one line lower; vertical
    // grid lines at the labels and nowhere else.
    const int bottom = chart.plotRect.bottom;
    std::size_t dated = 0;
    for (const AxisLabel& label : chart.xLabels) {
      const DrawCall* text = nullptr;
      for (const auto* call : painter.Calls("Text"))
        if (call->text == label.text && call->args[0] == label.x) text = call;
      ASSERT_NE(text, nullptr) << label.text;
      EXPECT_EQ(text->args[1], bottom + 6);
      EXPECT_TRUE(painter.HasSegment(label.x, bottom - 2, label.x, chart.plotRect.top));
      if (!label.date.empty()) {
        const DrawCall* date = painter.FindText(label.date);
        ASSERT_NE(date, nullptr);
        EXPECT_EQ(date->args, (std::vector<int>{label.x, bottom + 6 + 14}));
        ++dated;
      }
    }
    int verticals = 0;
    for (const Segment& s : painter.Segments())
      if (s.x0 == s.x1 && s.y1 == chart.plotRect.top && s.pen == chart.gridPen) ++verticals;
    EXPECT_EQ(verticals, static_cast<int>(chart.xLabels.size()));
    EXPECT_GE(dated, 1u);
  }
}

TEST(ChartLayout, LongSpansAreLabelledInWholeDaysThatKeepApart) {
  for (const int days : {10, 40, 4000}) {
    SCOPED_TRACE(std::to_string(days) + " days");
    FixedOwner owner(650, 670);
    Chart chart(&owner);
    setupStationChart(chart, SampleStation(), Settings{}, 30);
    const std::int64_t start = wallClockSeconds(2026, 1, 1, 8, 23);
    for (int i = 0; i <= 20; ++i) addObservationRow(chart, start + std::int64_t{i} * days * 86400 / 20, 5, 13, 2, 200);
    RecordingPainter painter;
    chart.draw(painter);
    EXPECT_EQ(chart.labelStepHours % 24, 0);
    ASSERT_GE(chart.xLabels.size(), 2u);
    EXPECT_LE(chart.xLabels.size(), static_cast<std::size_t>(chart.plotRect.width() / 44 + 1));
    for (std::size_t i = 1; i < chart.xLabels.size(); ++i) {
      EXPECT_GE(chart.xLabels[i].x - chart.xLabels[i - 1].x, 44);
      EXPECT_EQ(chart.xLabels[i].text, "00:00");
      EXPECT_FALSE(chart.xLabels[i].date.empty());  // each label on a day of its own
    }
  }
}

TEST(ChartLayout, ASingleReportIsLabelledWithItsOwnTime) {
  FixedOwner owner(650, 670);
  Chart chart(&owner);
  setupStationChart(chart, SampleStation(), Settings{}, 30);
  addObservationRow(chart, wallClockSeconds(2026, 12, 7, 17, 53), 5, 13, 2, 200);
  RecordingPainter painter;
  chart.draw(painter);
  ASSERT_EQ(chart.xLabels.size(), 1u);
  EXPECT_EQ(chart.xLabels[0].text, "17:53");
  EXPECT_EQ(chart.xLabels[0].date, "7 Dec");
  EXPECT_EQ(chart.xLabels[0].x, chart.plotRect.left);
}

TEST(ChartLayout, FontsShrinkTowardsTheSmallestLayout) {
  FixedOwner owner(650, 670);
  Chart chart(&owner);
  BuildStationChart(chart, 6);
  RecordingPainter painter;
  chart.draw(painter);
  EXPECT_EQ(chart.titleFontShown, chart.titleFont);
  EXPECT_EQ(chart.legendFontShown, chart.legendFont);
  owner.client = Rect{0, 0, 320, 240};
  chart.draw(painter);
  EXPECT_EQ(chart.titleFontShown.height, 12);
  EXPECT_EQ(chart.labelFontShown.height, 11);
  EXPECT_EQ(chart.legendFontShown.height, 11);
  EXPECT_EQ(chart.titleFont.height, 16);  // the settings themselves stay
  // A low plot keeps eight grid steps, down to 20 pixels each.
  EXPECT_EQ(chart.gridStepY(), std::max(20, chart.plotRect.height() / 8));
  EXPECT_LT(chart.gridStepY(), chart.yStep);
}

}  // namespace
}  // namespace nimbrel::test
