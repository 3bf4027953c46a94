// The chart's model: defaults, rectangles, the X and Y mappings, autoscale
// and the guards for degenerate scales.
#include <gtest/gtest.h>

#include <cmath>

#include "support/ChartTestSupport.h"
#include "charts/Chart.h"
#include "support/RecordingPainter.h"

namespace nimbrel::test {
namespace {

TEST(ChartModel, ConstructionAndResetGiveTheDefaults) {
  FixedOwner owner;
  Chart chart(&owner);
  auto expectDefaults = [&] {
    EXPECT_TRUE(chart.fitToWindow);
    EXPECT_EQ(chart.sideMargin, 10);
    EXPECT_EQ(chart.plotInset, 50);
    EXPECT_EQ(chart.legendWidth, 155);
    EXPECT_EQ(chart.xStep, 50);
    EXPECT_EQ(chart.yStep, 50);
    EXPECT_EQ(chart.minorTicks, 5);
    EXPECT_EQ(chart.frameRect, (Rect{20, 20, 820, 520}));
    EXPECT_EQ(chart.titleColour, 0u);
    EXPECT_EQ(chart.labelColour, 0u);
    EXPECT_TRUE(chart.title.empty());
    EXPECT_FALSE(chart.autoscale);
    EXPECT_TRUE(chart.showFrame);
    EXPECT_TRUE(chart.verticalNet);
    EXPECT_TRUE(chart.horizontalNet);
    EXPECT_FALSE(chart.showMarks);
    EXPECT_TRUE(chart.showLegend);
    EXPECT_EQ(chart.lineWidth, 1);
    EXPECT_EQ(chart.topMargin, 10);
    EXPECT_EQ(chart.seriesCount, 0);
    EXPECT_EQ(chart.xMin, 0.0);
    EXPECT_EQ(chart.yMin, -20.0);
    EXPECT_EQ(chart.xDelta, 10.0);
    EXPECT_EQ(chart.yDelta, 5.0);
    EXPECT_TRUE(chart.series.empty());
    EXPECT_EQ(chart.getRowCount(), 0);
  };
  expectDefaults();
  EXPECT_EQ(chart.owner, &owner);
  EXPECT_EQ(chart.titleFont, (Font{"Arial Cyr", 16, 400}));
  EXPECT_EQ(chart.labelFont, (Font{"Arial Cyr", 14, 400}));
  EXPECT_EQ(chart.legendFont, (Font{"Arial Cyr", 14, 400}));
  EXPECT_EQ(chart.gridPen, (Pen{rgb(220, 220, 220), 1}));

  AddPlainSeries(chart, 2);
  chart.addRow("00:00", {1, 2});
  chart.setTitle("Heading");
  chart.yMin = 3;
  chart.showLegend = false;
  chart.frameRect = Rect{1, 2, 3, 4};
  chart.titleFont.height = 99;
  RecordingPainter painter;
  chart.draw(painter);
  chart.reset();
  expectDefaults();
  EXPECT_EQ(chart.titleFont.height, 99);  // fonts are kept by reset
}

TEST(ChartModel, SeriesRowsAndDetailLines) {
  Chart chart;
  EXPECT_EQ(chart.addSeries(0, std::string("Time"), std::nullopt, std::nullopt), 0);
  EXPECT_EQ(chart.addSeries(4, std::string("T"), Pen{rgb(1, 2, 3), 1}, TextLines{"a"}), 1);
  chart.setDetailLines(1, {"x", "y"});
  ASSERT_TRUE(chart.series[1].detailLines);
  EXPECT_EQ(*chart.series[1].detailLines, (TextLines{"x", "y"}));
  EXPECT_THROW(chart.setDetailLines(2, {"z"}), std::out_of_range);
  EXPECT_THROW(chart.setDetailLines(-1, {"z"}), std::out_of_range);

  chart.addRow("10:00", {1.5});
  chart.addRow("10:30", {2.5, kGap});
  chart.addRow(wallClockSeconds(2026, 12, 7, 17, 53), {-0.25});
  EXPECT_EQ(chart.rowLabel(1), "10:30");
  EXPECT_EQ(chart.rowLabel(2), "17:53") << "a timed row shows its time";
  EXPECT_EQ(chart.value(1, 1), 2.5);
  EXPECT_EQ(chart.value(2, 1), -0.25);
  EXPECT_EQ(chart.value(1, 2), std::nullopt) << "a gap";
  EXPECT_EQ(chart.value(0, 2), std::nullopt) << "no such column";
  EXPECT_EQ(chart.value(0, 0), std::nullopt);
  EXPECT_EQ(chart.value(3, 1), std::nullopt) << "no such row";
  EXPECT_THROW(chart.row(3), std::out_of_range);
  chart.removeAllRows();
  EXPECT_EQ(chart.getRowCount(), 0);
  chart.removeAllSeries();
  EXPECT_TRUE(chart.series.empty());
}

TEST(ChartModel, FrameAndPlotRectangles) {
  FixedOwner owner(800, 600);
  Chart chart(&owner);
  RecordingPainter painter;
  chart.draw(painter);
  EXPECT_EQ(chart.frameRect, (Rect{10, 10, 790, 590}));
  // Y labels of four characters (24 pixels) and 4 + 6 pixels around them;
  // half a Y label and 4 under an empty heading, 54 for X labels, dates
  // and the axis title; the legend's 155 pixels and half a date label
  // (18 + 6) right of the plot.
  EXPECT_EQ(chart.plotRect, (Rect{10 + 4 + 24 + 6, 14 + 7 + 4, 790 - 4 - 155 - 24, 590 - 4 - 54}));
  EXPECT_EQ(chart.legendRect, (Rect{790 - 4 - 155, 14 + 7 + 4 - 2, 786, 586}));
  EXPECT_EQ(painter.calls.front().op, "Rect");
  EXPECT_EQ(painter.calls.front().args, (std::vector<int>{10, 10, 790, 590}));

  chart.showLegend = false;
  chart.draw(painter);
  EXPECT_EQ(chart.plotRect.right, 786 - 24);

  // A client below 320 x 240 is laid out at that size (and clipped).
  owner.client = Rect{0, 0, 100, 50};
  chart.draw(painter);
  EXPECT_EQ(chart.frameRect, (Rect{10, 10, 310, 230}));
  owner.client = Rect{0, 0, 800, 600};
  chart.draw(painter);

  // Without fitting, or with the frame off, the frame keeps its value.
  owner.client = Rect{0, 0, 400, 300};
  chart.fitToWindow = false;
  chart.draw(painter);
  EXPECT_EQ(chart.frameRect, (Rect{10, 10, 790, 590}));
  chart.fitToWindow = true;
  chart.showFrame = false;
  painter.Clear();
  chart.draw(painter);
  EXPECT_EQ(chart.frameRect, (Rect{10, 10, 790, 590}));
  EXPECT_EQ(painter.Calls("Rect").front()->args, (std::vector<int>{chart.plotRect.left, chart.plotRect.top, chart.plotRect.right,
                                                     chart.plotRect.bottom}));  // the plot box comes first
}

TEST(ChartModel, YMappingTruncatesEachProductOnItsOwn) {
  Chart chart;
  chart.plotRect = Rect{60, 60, 585, 540};
  EXPECT_EQ(chart.yPosition(12.34), 540 - 323);
  EXPECT_EQ(chart.yPosition(-20.0), 540);
  // yMin -20.05 and 0.05 at 10 pixels a unit: -200 and 0 on their own,
  // where one truncation of the difference would give 201.
  chart.yMin = -20.05;
  EXPECT_EQ(chart.yPosition(0.05), 540 - 0 - 200);
  EXPECT_EQ(chart.yPosition(-0.05), 540 - 0 - 200);
  // Values far outside the plot saturate instead of wrapping round.
  EXPECT_LT(chart.yPosition(1e300), 60);
  EXPECT_GT(chart.yPosition(-1e300), 540);
  EXPECT_LT(chart.yPosition(std::nan("")), 60);
}

TEST(ChartModel, RowsWithoutTimesFillThePlotWidth) {
  FixedOwner owner(ClientWidthForPlot(545), 600);
  Chart chart(&owner);
  AddPlainSeries(chart, 1);
  RecordingPainter painter;

  chart.addRow("a", {1});
  chart.draw(painter);
  EXPECT_EQ(chart.xPosition(0), chart.plotRect.left);

  // Rows without times are spread evenly over the whole width.
  for (int i = 1; i < 11; ++i) chart.addRow("a", {1});
  chart.draw(painter);
  const int last = chart.plotRect.width() - 1;
  for (int row = 0; row <= 10; ++row) EXPECT_EQ(chart.xPosition(row), chart.plotRect.left + row * last / 10) << row;
  EXPECT_EQ(chart.xPosition(10), chart.plotRect.right - 1);
  EXPECT_EQ(chart.xStep, 50);  // the numeric axis' own step is left alone
}

TEST(ChartModel, MoreRowsThanPixelsSpreadOverThePlot) {
  FixedOwner owner(320, 600);
  Chart chart(&owner);
  AddPlainSeries(chart, 1);
  for (int i = 0; i < 301; ++i) chart.addRow("a", {1});
  RecordingPainter painter;
  chart.draw(painter);
  const int last = chart.plotRect.width() - 1;
  EXPECT_EQ(chart.xPosition(0), chart.plotRect.left);
  EXPECT_EQ(chart.xPosition(150), chart.plotRect.left + last / 2);
  EXPECT_EQ(chart.xPosition(300), chart.plotRect.right - 1);
  int seriesSegments = 0;
  for (const Segment& s : painter.Segments()) {
    if (s.pen.colour != rgb(10, 0, 0) || s.x0 >= chart.legendRect.left) continue;  // not the legend sample
    ++seriesSegments;
    EXPECT_LE(s.x1, chart.plotRect.right);
  }
  EXPECT_EQ(seriesSegments, 300);
}

TEST(ChartModel, WindowsTooSmallForAPlotStillDraw) {
  for (int size : {0, 60, 276}) {
    FixedOwner owner(size, size);
    Chart chart(&owner);
    AddPlainSeries(chart, 2);
    chart.autoscale = true;
    chart.showMarks = true;
    chart.setDetailLines(2, {"a long detail line that has to be wrapped more than once"});
    RecordingPainter painter;
    chart.draw(painter);  // no rows: the numeric axis divides by xStep
    for (int i = 0; i < 3; ++i) chart.addRow("t", {static_cast<double>(i), 1});
    chart.draw(painter);
    chart.drawWindIndicator(painter, 90, 40);
    EXPECT_GT(chart.plotRect.width(), 50) << size;  // laid out at 320 x 240
    EXPECT_GT(chart.yDelta, 0.0) << size;
    chart.removeAllRows();
    chart.draw(painter);
  }
}

TEST(ChartModel, AutoscaleFitsTheDataBelowOneFreeStep) {
  FixedOwner owner(800, ClientHeightForPlot(400));
  Chart chart(&owner);
  AddPlainSeries(chart, 2);
  chart.addRow("a", {-3.2, 10, 99999});  // the extra column is ignored
  chart.addRow("b", {24.6, 0});  // a zero is a value
  chart.autoscale = true;
  RecordingPainter painter;
  chart.draw(painter);
  EXPECT_DOUBLE_EQ(chart.yMin, -3.2);
  EXPECT_EQ(chart.yDelta, 4.0);
  std::vector<std::string> labels;
  for (const auto* call : painter.Calls("Text"))
    if (call->args[0] < chart.plotRect.left) labels.push_back(call->text);
  EXPECT_EQ(labels, (std::vector<std::string>{"  -3", "   1", "   5", "   9", "  13", "  17", "  21", "  25", "  29"}));
}

TEST(ChartModel, AutoscaleGuardsDegenerateScales) {
  FixedOwner owner(800, ClientHeightForPlot(400));
  Chart chart(&owner);
  chart.plotRect = Rect{60, 60, 585, 460};

  // No rows, or no data series: nothing to scale, the range stays.
  AddPlainSeries(chart, 1);
  chart.autoscaleRange();
  EXPECT_EQ(chart.yMin, -20.0);
  EXPECT_EQ(chart.yDelta, 5.0);
  chart.addRow("a", {7});
  chart.seriesCount = 1;
  chart.autoscaleRange();
  EXPECT_EQ(chart.yMin, -20.0);
  EXPECT_EQ(chart.yDelta, 5.0);

  // Every value equal: a step of 1 instead of 0.
  chart.seriesCount = 2;
  chart.autoscaleRange();
  EXPECT_EQ(chart.yMin, 7.0);
  EXPECT_EQ(chart.yDelta, 1.0);

  // A plot lower than two grid steps scales into one step.
  chart.addRow("b", {10});
  chart.plotRect = Rect{60, 60, 585, 90};
  chart.autoscaleRange();
  EXPECT_EQ(chart.yMin, 7.0);
  EXPECT_EQ(chart.yDelta, 3.0);

  // Values that cannot be scaled keep the previous range.
  chart.removeAllRows();
  chart.addRow("a", {1e308});
  chart.addRow("b", {-1e308});
  chart.autoscaleRange();
  EXPECT_EQ(chart.yMin, 7.0);
  EXPECT_EQ(chart.yDelta, 3.0);
}

TEST(ChartModel, ZeroYDeltaDrawsWithAStepOfOne) {
  FixedOwner owner(800, ClientHeightForPlot(400));
  Chart chart(&owner);
  AddPlainSeries(chart, 1);
  chart.addRow("a", {-19});
  chart.addRow("b", {-18});
  chart.yDelta = 0.0;
  RecordingPainter painter;
  chart.draw(painter);
  EXPECT_EQ(chart.yDelta, 1.0);
  EXPECT_NE(painter.FindText(" -12"), nullptr);  // label of the eighth line: -20 + 8
  EXPECT_TRUE(painter.HasSegment(chart.plotRect.left + 1, chart.plotRect.bottom - 50, chart.plotRect.right - 1,
                            chart.plotRect.bottom - 50));
}

TEST(ChartModel, NoRowsKeepsTheRangeUnderAutoscaleAndLabelsXFromXMin) {
  FixedOwner owner(ClientWidthForPlot(400), ClientHeightForPlot(400));
  Chart chart(&owner);
  AddPlainSeries(chart, 1);
  chart.autoscale = true;
  chart.xMin = 100;
  chart.xDelta = 2.5;
  RecordingPainter painter;
  chart.draw(painter);
  EXPECT_EQ(chart.yMin, -20.0);
  EXPECT_EQ(chart.yDelta, 5.0);
  const int left = chart.plotRect.left;
  const int bottom = chart.plotRect.bottom;
  std::vector<std::string> xLabels;
  for (const auto* call : painter.Calls("Text"))
    if (call->args[1] == bottom + 6) xLabels.push_back(call->text);
  // "%6.f" rounds half to even: 102.5 shows 102.
  EXPECT_EQ(xLabels, (std::vector<std::string>{"   102", "   105", "   108", "   110", "   112", "   115", "   118",
                                               "   120"}));
  EXPECT_EQ(painter.FindText("   102")->args[0], left + 50);
  EXPECT_EQ(painter.FindText("   102")->align, Align::kCentre);
  // The Y labels of the default range, right-aligned in four characters.
  EXPECT_NE(painter.FindText(" -20"), nullptr);
  EXPECT_NE(painter.FindText("  20"), nullptr);
  // No X-axis title before there are rows.
  EXPECT_EQ(painter.FindText("Time"), nullptr);
}

}  // namespace
}  // namespace nimbrel::test
