// The chart's model: defaults, rectangles, the X and Y mappings, autoscale
// and the guards for degenerate scales.
#include <gtest/gtest.h>

#include <cmath>

#include "ChartTestSupport.h"
#include "charts/Chart.h"
#include "support/RecordingDrawContext.h"

namespace nimbrel::test {
namespace {

TEST(GraphModel, ConstructionAndResetGiveTheDefaults) {
  FixedOwner owner;
  Chart graph(&owner);
  auto expectDefaults = [&] {
    EXPECT_TRUE(graph.fitToWindow);
    EXPECT_EQ(graph.sideMargin, 10);
    EXPECT_EQ(graph.plotInset, 50);
    EXPECT_EQ(graph.legendWidth, 155);
    EXPECT_EQ(graph.xStep, 50);
    EXPECT_EQ(graph.yStep, 50);
    EXPECT_EQ(graph.minorTicks, 5);
    EXPECT_EQ(graph.frameRect, (Rect{20, 20, 820, 520}));
    EXPECT_EQ(graph.titleColour, 0u);
    EXPECT_EQ(graph.labelColour, 0u);
    EXPECT_TRUE(graph.title.empty());
    EXPECT_FALSE(graph.autoscale);
    EXPECT_TRUE(graph.showFrame);
    EXPECT_TRUE(graph.verticalNet);
    EXPECT_TRUE(graph.horizontalNet);
    EXPECT_FALSE(graph.showMarks);
    EXPECT_TRUE(graph.showLegend);
    EXPECT_EQ(graph.lineWidth, 1);
    EXPECT_EQ(graph.topMargin, 10);
    EXPECT_EQ(graph.seriesCount, 0);
    EXPECT_EQ(graph.xMin, 0.0);
    EXPECT_EQ(graph.yMin, -20.0);
    EXPECT_EQ(graph.xDelta, 10.0);
    EXPECT_EQ(graph.yDelta, 5.0);
    EXPECT_TRUE(graph.series.empty());
    EXPECT_EQ(graph.getRowCount(), 0);
    EXPECT_EQ(graph.drawContext, nullptr);
  };
  expectDefaults();
  EXPECT_EQ(graph.owner, &owner);
  EXPECT_EQ(graph.titleFont, (FontSpec{"Arial Cyr", 16, 400}));
  EXPECT_EQ(graph.labelFont, (FontSpec{"Arial Cyr", 14, 400}));
  EXPECT_EQ(graph.legendFont, (FontSpec{"Arial Cyr", 14, 400}));
  EXPECT_EQ(graph.gridPen, (Pen{PS_SOLID, 1, rgb(220, 220, 220)}));

  AddPlainSeries(graph, 2);
  graph.addRow({"00:00", "1", "2"});
  graph.setTitle("Heading");
  graph.yMin = 3;
  graph.showLegend = false;
  graph.frameRect = Rect{1, 2, 3, 4};
  graph.titleFont.height = 99;
  RecordingDrawContext dc;
  graph.draw(dc);
  graph.reset();
  expectDefaults();
  EXPECT_EQ(graph.titleFont.height, 99);  // fonts are kept by reset
}

TEST(GraphModel, SeriesRowsAndDetailLines) {
  Chart graph;
  EXPECT_EQ(graph.addSeries(0, std::string("Time"), std::nullopt, std::nullopt), 0);
  EXPECT_EQ(graph.addSeries(4, std::string("T"), Pen{PS_SOLID, 1, rgb(1, 2, 3)}, TextLines{"a"}), 1);
  graph.setDetailLines(1, {"x", "y"});
  ASSERT_TRUE(graph.series[1].detailLines);
  EXPECT_EQ(*graph.series[1].detailLines, (TextLines{"x", "y"}));
  EXPECT_THROW(graph.setDetailLines(2, {"z"}), std::out_of_range);
  EXPECT_THROW(graph.setDetailLines(-1, {"z"}), std::out_of_range);

  graph.addRow({"10:00", "1.5"});
  graph.addRow({"10:30", "2.5"});
  EXPECT_EQ(graph.getRow(1), (TextLines{"10:30", "2.5"}));
  EXPECT_THROW(graph.getRow(2), std::out_of_range);
  graph.removeAllRows();
  EXPECT_EQ(graph.getRowCount(), 0);
  graph.removeAllSeries();
  EXPECT_TRUE(graph.series.empty());
}

TEST(GraphModel, FrameAndPlotRectangles) {
  FixedOwner owner(800, 600);
  Chart graph(&owner);
  RecordingDrawContext dc;
  graph.draw(dc);
  EXPECT_EQ(graph.frameRect, (Rect{10, 10, 790, 590}));
  EXPECT_EQ(graph.plotRect, (Rect{60, 60, 585, 540}));
  EXPECT_EQ(dc.calls.front().op, "Rectangle");
  EXPECT_EQ(dc.calls.front().args, (std::vector<int>{10, 10, 790, 590}));

  graph.showLegend = false;
  graph.draw(dc);
  EXPECT_EQ(graph.plotRect, (Rect{60, 60, 730, 540}));

  // Without fitting, or with the frame off, the frame keeps its value.
  owner.client = Rect{0, 0, 400, 300};
  graph.fitToWindow = false;
  graph.draw(dc);
  EXPECT_EQ(graph.frameRect, (Rect{10, 10, 790, 590}));
  graph.fitToWindow = true;
  graph.showFrame = false;
  dc.Clear();
  graph.draw(dc);
  EXPECT_EQ(graph.frameRect, (Rect{10, 10, 790, 590}));
  EXPECT_EQ(dc.calls.front().args, (std::vector<int>{60, 60, 730, 540}));  // the plot box comes first
}

TEST(GraphModel, YMappingTruncatesEachProductOnItsOwn) {
  Chart graph;
  graph.plotRect = Rect{60, 60, 585, 540};
  EXPECT_EQ(graph.yPosition(12.34), 540 - 323);
  EXPECT_EQ(graph.yPosition(-20.0), 540);
  // yMin -20.05 and 0.05 at 10 pixels a unit: -200 and 0 on their own,
  // where one truncation of the difference would give 201.
  graph.yMin = -20.05;
  EXPECT_EQ(graph.yPosition(0.05), 540 - 0 - 200);
  EXPECT_EQ(graph.yPosition(-0.05), 540 - 0 - 200);
  // Values far outside the plot saturate instead of wrapping round.
  EXPECT_LT(graph.yPosition(1e300), 60);
  EXPECT_GT(graph.yPosition(-1e300), 540);
  EXPECT_LT(graph.yPosition(std::nan("")), 60);
}

TEST(GraphModel, XStepFollowsTheRowCount) {
  FixedOwner owner(ClientWidthForPlot(545), 600);
  Chart graph(&owner);
  AddPlainSeries(graph, 1);
  RecordingDrawContext dc;

  graph.addRow({"a", "1"});
  graph.draw(dc);
  EXPECT_EQ(graph.xStep, 545);
  EXPECT_EQ(graph.xPosition(0), graph.plotRect.left);

  for (int i = 1; i < 11; ++i) graph.addRow({"a", "1"});
  graph.draw(dc);
  EXPECT_EQ(graph.xStep, 54);
  EXPECT_EQ(graph.xPosition(10), graph.plotRect.left + 540);
}

TEST(GraphModel, MoreRowsThanPixelsSpreadOverThePlotAndKeepAUsableStep) {
  FixedOwner owner(ClientWidthForPlot(100), 600);
  Chart graph(&owner);
  AddPlainSeries(graph, 1);
  for (int i = 0; i < 301; ++i) graph.addRow({"a", "1"});
  RecordingDrawContext dc;
  graph.draw(dc);
  EXPECT_EQ(graph.xStep, 1);
  EXPECT_EQ(graph.xPosition(0), graph.plotRect.left);
  EXPECT_EQ(graph.xPosition(150), graph.plotRect.left + 50);
  EXPECT_EQ(graph.xPosition(300), graph.plotRect.right);
  int seriesSegments = 0;
  for (const Segment& s : dc.Segments()) {
    if (s.pen.colour != rgb(10, 0, 0) || s.y0 != s.y1 || s.x1 == s.x0 + 20) continue;  // not the legend sample
    ++seriesSegments;
    EXPECT_LE(s.x1, graph.plotRect.right);
  }
  EXPECT_EQ(seriesSegments, 300);
  // A later draw without rows divides by the kept step.
  graph.removeAllRows();
  dc.Clear();
  graph.draw(dc);
  EXPECT_EQ(dc.Calls("TextOut").size(), 100u + 10u + 1u);  // X label per pixel, Y labels, legend
}

TEST(GraphModel, WindowsTooSmallForAPlotStillDraw) {
  for (int size : {0, 60, 276}) {  // 276: a plot one pixel wide
    FixedOwner owner(size, size);
    Chart graph(&owner);
    AddPlainSeries(graph, 2);
    graph.autoscale = true;
    graph.showMarks = true;
    graph.setDetailLines(2, {"a long detail line that has to be wrapped more than once"});
    RecordingDrawContext dc;
    graph.draw(dc);  // no rows: the numeric axis divides by xStep
    for (int i = 0; i < 3; ++i) graph.addRow({"t", std::to_string(i), "1"});
    graph.draw(dc);
    graph.drawWindIndicator(90, 40);
    EXPECT_GE(graph.xStep, 1) << size;
    EXPECT_GT(graph.yDelta, 0.0) << size;
    graph.removeAllRows();
    graph.draw(dc);
  }
}

TEST(GraphModel, AutoscaleFitsTheDataBelowOneFreeStep) {
  FixedOwner owner(800, ClientHeightForPlot(400));
  Chart graph(&owner);
  AddPlainSeries(graph, 2);
  graph.addRow({"a", "-3.2", "10", "99999"});  // the extra column is ignored
  graph.addRow({"b", "24.6", "abc"});          // a word reads as 0
  graph.autoscale = true;
  RecordingDrawContext dc;
  graph.draw(dc);
  EXPECT_DOUBLE_EQ(graph.yMin, -3.2);
  EXPECT_EQ(graph.yDelta, 4.0);
  std::vector<std::string> labels;
  for (const auto* call : dc.Calls("TextOut"))
    if (call->args[0] == graph.plotRect.left - 22) labels.push_back(call->text);
  EXPECT_EQ(labels, (std::vector<std::string>{"  -3", "   1", "   5", "   9", "  13", "  17", "  21", "  25", "  29"}));
}

TEST(GraphModel, AutoscaleGuardsDegenerateScales) {
  FixedOwner owner(800, ClientHeightForPlot(400));
  Chart graph(&owner);
  graph.plotRect = Rect{60, 60, 585, 460};

  // No rows, or no data series: nothing to scale, the range stays.
  AddPlainSeries(graph, 1);
  graph.autoscaleRange();
  EXPECT_EQ(graph.yMin, -20.0);
  EXPECT_EQ(graph.yDelta, 5.0);
  graph.addRow({"a", "7"});
  graph.seriesCount = 1;
  graph.autoscaleRange();
  EXPECT_EQ(graph.yMin, -20.0);
  EXPECT_EQ(graph.yDelta, 5.0);

  // Every value equal: a step of 1 instead of 0.
  graph.seriesCount = 2;
  graph.autoscaleRange();
  EXPECT_EQ(graph.yMin, 7.0);
  EXPECT_EQ(graph.yDelta, 1.0);

  // A plot lower than two grid steps scales into one step.
  graph.addRow({"b", "10"});
  graph.plotRect = Rect{60, 60, 585, 90};
  graph.autoscaleRange();
  EXPECT_EQ(graph.yMin, 7.0);
  EXPECT_EQ(graph.yDelta, 3.0);

  // Values that cannot be scaled keep the previous range.
  graph.removeAllRows();
  graph.addRow({"a", "1e308"});
  graph.addRow({"b", "-1e308"});
  graph.autoscaleRange();
  EXPECT_EQ(graph.yMin, 7.0);
  EXPECT_EQ(graph.yDelta, 3.0);
}

TEST(GraphModel, ZeroYDeltaDrawsWithAStepOfOne) {
  FixedOwner owner(800, ClientHeightForPlot(400));
  Chart graph(&owner);
  AddPlainSeries(graph, 1);
  graph.addRow({"a", "-19"});
  graph.addRow({"b", "-18"});
  graph.yDelta = 0.0;
  RecordingDrawContext dc;
  graph.draw(dc);
  EXPECT_EQ(graph.yDelta, 1.0);
  EXPECT_NE(dc.FindText(" -12"), nullptr);  // label of the eighth line: -20 + 8
  EXPECT_TRUE(dc.HasSegment(graph.plotRect.left, graph.plotRect.bottom - 50, graph.plotRect.right,
                            graph.plotRect.bottom - 50));
}

TEST(GraphModel, NoRowsKeepsTheRangeUnderAutoscaleAndLabelsXFromXMin) {
  FixedOwner owner(ClientWidthForPlot(400), ClientHeightForPlot(400));
  Chart graph(&owner);
  AddPlainSeries(graph, 1);
  graph.autoscale = true;
  graph.xMin = 100;
  graph.xDelta = 2.5;
  RecordingDrawContext dc;
  graph.draw(dc);
  EXPECT_EQ(graph.yMin, -20.0);
  EXPECT_EQ(graph.yDelta, 5.0);
  const int left = graph.plotRect.left;
  const int bottom = graph.plotRect.bottom;
  std::vector<std::string> xLabels;
  for (const auto* call : dc.Calls("TextOut"))
    if (call->args[1] == bottom + 4) xLabels.push_back(call->text);
  // "%6.f" rounds half to even: 102.5 shows 102.
  EXPECT_EQ(xLabels, (std::vector<std::string>{"   102", "   105", "   108", "   110", "   112", "   115", "   118",
                                               "   120"}));
  EXPECT_EQ(dc.FindText("   102")->args[0], left + 50);
  EXPECT_EQ(dc.FindText("   102")->align, TA_CENTER | TA_TOP);
  // The Y labels of the default range, right-aligned in four characters.
  EXPECT_NE(dc.FindText(" -20"), nullptr);
  EXPECT_NE(dc.FindText("  20"), nullptr);
  // No X-axis title before there are rows.
  EXPECT_EQ(dc.FindText("Time"), nullptr);
}

}  // namespace
}  // namespace nimbrel::test
