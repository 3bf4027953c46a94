// The chart's drawing, checked call by call on a recording context.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/ChartTestSupport.h"
#include "charts/Chart.h"
#include "support/RecordingDrawContext.h"

namespace nimbrel::test {
namespace {

std::vector<int> LabelledRows(const Chart& chart, const RecordingDrawContext& dc) {
  std::vector<int> result;
  for (const auto* call : dc.Calls("TextOut")) {
    if (call->args[1] != chart.plotRect.bottom + 4) continue;
    result.push_back((call->args[0] - chart.plotRect.left) / chart.xStep);
  }
  return result;
}

TEST(ChartDraw, RowLabelsKeepTwoAndAHalfLabelWidthsApart) {
  FixedOwner owner(ClientWidthForPlot(640), 600);
  Chart chart(&owner);
  AddPlainSeries(chart, 1);
  for (int i = 0; i < 33; ++i) chart.addRow({"00:00", "0"});  // 5 characters: 30 pixels
  RecordingDrawContext dc;
  chart.draw(dc);
  ASSERT_EQ(chart.xStep, 20);
  EXPECT_EQ(LabelledRows(chart, dc), (std::vector<int>{0, 4, 8, 12, 16, 19, 23, 27, 31}));

  // Every row has its grid line; labelled rows an extra tick below.
  const int bottom = chart.plotRect.bottom;
  const int left = chart.plotRect.left;
  EXPECT_TRUE(dc.HasSegment(left, bottom - 1, left, bottom + 4));  // row 0 never gets a full line
  for (int d = 1; d < 33; ++d) EXPECT_TRUE(dc.HasSegment(left + 20 * d, bottom - 1, left + 20 * d, chart.plotRect.top));
  EXPECT_TRUE(dc.HasSegment(left + 80, bottom, left + 80, bottom + 5));
  EXPECT_FALSE(dc.HasSegment(left + 60, bottom, left + 60, bottom + 5));
}

TEST(ChartDraw, RowsWithoutVerticalNetGetShortTicks) {
  FixedOwner owner(ClientWidthForPlot(400), 600);
  Chart chart(&owner);
  AddPlainSeries(chart, 1);
  chart.verticalNet = false;
  for (int i = 0; i < 3; ++i) chart.addRow({"x", "0"});
  RecordingDrawContext dc;
  chart.draw(dc);
  const int left = chart.plotRect.left;
  const int bottom = chart.plotRect.bottom;
  for (int d = 0; d < 3; ++d) {
    EXPECT_TRUE(dc.HasSegment(left + 200 * d, bottom - 1, left + 200 * d, bottom + 4));
    EXPECT_TRUE(dc.HasSegment(left + 200 * d, bottom, left + 200 * d, bottom + 5));
    EXPECT_FALSE(dc.HasSegment(left + 200 * d, bottom - 1, left + 200 * d, chart.plotRect.top));
  }
  // The X-axis title sits under the plot in the legend font once there are rows.
  const DrawCall* axisTitle = dc.FindText("Time");
  ASSERT_NE(axisTitle, nullptr);
  EXPECT_EQ(axisTitle->args, (std::vector<int>{left + 200, chart.frameRect.bottom - 20}));
  EXPECT_EQ(axisTitle->font, chart.legendFont);
}

TEST(ChartDraw, MinorTicksAndHorizontalLines) {
  FixedOwner owner(ClientWidthForPlot(100), ClientHeightForPlot(100));
  Chart chart(&owner);
  chart.showLegend = true;
  RecordingDrawContext dc;
  chart.draw(dc);
  const int left = chart.plotRect.left;
  const int bottom = chart.plotRect.bottom;
  const int top = chart.plotRect.top;
  // Ten pixels apart and five long along the bottom and the left, grid
  // positions included, none at the corner or on the right/top edge.
  for (int x = left + 10; x < left + 100; x += 10) EXPECT_TRUE(dc.HasSegment(x, bottom - 1, x, bottom - 6)) << x;
  for (int y = bottom - 10; y > top; y -= 10) EXPECT_TRUE(dc.HasSegment(left + 1, y, left + 6, y)) << y;
  EXPECT_FALSE(dc.HasSegment(left, bottom - 1, left, bottom - 6));
  EXPECT_FALSE(dc.HasSegment(left + 100, bottom - 1, left + 100, bottom - 6));
  EXPECT_FALSE(dc.HasSegment(left + 1, top, left + 6, top));
  // Horizontal lines across the plot, or short ticks left of it.
  EXPECT_TRUE(dc.HasSegment(left, bottom - 50, chart.plotRect.right, bottom - 50));
  chart.horizontalNet = false;
  dc.Clear();
  chart.draw(dc);
  EXPECT_TRUE(dc.HasSegment(left, bottom - 50, left - 5, bottom - 50));
  EXPECT_EQ(dc.FindText(" -15")->args, (std::vector<int>{left - 22, bottom - 50 - 7}));
  EXPECT_EQ(dc.FindText(" -15")->pen, chart.gridPen);

  // Steps too small for ticks five pixels apart: no minor ticks anywhere.
  chart.xStep = 20;
  dc.Clear();
  chart.draw(dc);
  EXPECT_FALSE(dc.HasSegment(left + 1, bottom - 10, left + 6, bottom - 10));
}

TEST(ChartDraw, PointsOutsideThePlotLoseTheirSegmentsAndMarks) {
  FixedOwner owner(ClientWidthForPlot(400), ClientHeightForPlot(400));
  Chart chart(&owner);
  AddPlainSeries(chart, 1, 4);
  chart.showMarks = true;
  chart.lineWidth = 3;
  for (const char* v : {"0", "1", "100", "2", "3"}) chart.addRow({"t", v});
  RecordingDrawContext dc;
  chart.draw(dc);

  std::vector<Segment> lines;
  for (const Segment& s : dc.Segments())
    if (s.pen == (Pen{PS_SOLID, 3, rgb(10, 0, 0)})) lines.push_back(s);
  const int left = chart.plotRect.left;
  const int bottom = chart.plotRect.bottom;
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], (Segment{left, bottom - 200, left + 100, bottom - 210, {}}));
  EXPECT_EQ(lines[1], (Segment{left + 300, bottom - 220, left + 400, bottom - 230, {}}));

  std::vector<std::vector<int>> marks;
  for (const auto* call : dc.Calls("FillSolidRect")) {
    EXPECT_EQ(call->colour, 0u);
    marks.push_back(call->args);
  }
  EXPECT_EQ(marks, (std::vector<std::vector<int>>{{left - 2, bottom - 202, 4, 4},
                                                  {left + 98, bottom - 212, 4, 4},
                                                  {left + 398, bottom - 232, 4, 4}}));
  // The pen selected before the series pass is selected again at the end.
  EXPECT_EQ(dc.pen, (Pen{PS_SOLID, 1, rgb(10, 0, 0)}));
}

TEST(ChartDraw, MissingColumnsAndBadSeriesIndicesAreLeftOut) {
  FixedOwner owner(ClientWidthForPlot(400), ClientHeightForPlot(400));
  Chart chart(&owner);
  AddPlainSeries(chart, 2);
  chart.seriesCount = 5;  // more than there are series
  chart.showMarks = true;
  chart.addRow({"a", "0", "1"});
  chart.addRow({"b", "1"});  // lacks column 2
  chart.addRow({"c", "2", "3"});
  chart.addRow({});  // lacks even its label
  chart.addRow({"e", "4", "5"});
  chart.autoscale = true;
  RecordingDrawContext dc;
  EXPECT_NO_THROW(chart.draw(dc));
  auto countSegments = [&](Colour colour) {
    return std::count_if(dc.calls.begin(), dc.calls.end(), [&](const DrawCall& c) {
      return c.op == "LineTo" && c.pen == Pen{PS_SOLID, 1, colour};
    });
  };
  // Series 1 joins a-b and b-c; series 2 has no point at b or d.
  EXPECT_EQ(countSegments(rgb(10, 0, 0)), 2 + 1);  // plus its legend sample
  EXPECT_EQ(countSegments(rgb(20, 0, 0)), 0 + 1);
  EXPECT_EQ(dc.Calls("FillSolidRect").size(), 4u + 3u);  // marks after a gap need only their own point
  EXPECT_EQ(chart.yMin, 0.0);
  EXPECT_EQ(chart.yDelta, 1.0);  // ceil(5 / 7)
  // The dial still draws on the context of that draw.
  const std::size_t ellipses = dc.Calls("Ellipse").size();
  chart.drawWindIndicator(0, 0);
  EXPECT_EQ(dc.Calls("Ellipse").size(), ellipses + 2);
}

TEST(ChartDraw, TitleAndLegend) {
  FixedOwner owner(800, 600);
  Chart chart(&owner);
  chart.addSeries(0, std::string("Time"), std::nullopt, std::nullopt);
  chart.addSeries(4, std::string("0123456789012345678901234567890123456789"), Pen{PS_SOLID, 1, rgb(250, 0, 0)},
                  std::nullopt);
  chart.addSeries(4, std::string("Second"), Pen{PS_SOLID, 1, rgb(0, 200, 0)}, std::nullopt);
  chart.seriesCount = 3;
  chart.setTitle("Heading");
  chart.titleColour = rgb(1, 2, 3);
  RecordingDrawContext dc;
  chart.draw(dc);
  const int lx = chart.plotRect.right + 10;
  const int top = chart.plotRect.top;

  const DrawCall* heading = dc.FindText("Heading");
  ASSERT_NE(heading, nullptr);
  EXPECT_EQ(heading->args, (std::vector<int>{60 + 525 / 2, 10 + 50 / 4}));
  EXPECT_EQ(heading->font, chart.titleFont);
  EXPECT_EQ(heading->align, TA_CENTER | TA_TOP);
  EXPECT_EQ(heading->textColour, rgb(1, 2, 3));

  const DrawCall* first = dc.FindText("012345678901234567890123456789");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->args, (std::vector<int>{lx + 30, top - 5}));
  EXPECT_EQ(first->align, TA_LEFT | TA_TOP);
  EXPECT_EQ(first->font, chart.legendFont);
  EXPECT_EQ(dc.FindText("Second")->args, (std::vector<int>{lx + 30, top + 20 - 5}));
  bool sample1 = false;
  bool sample2 = false;
  for (const Segment& s : dc.Segments()) {
    if (s == Segment{lx, top, lx + 20, top, {}}) sample1 = s.pen.colour == rgb(250, 0, 0);
    if (s == Segment{lx, top + 20, lx + 20, top + 20, {}}) sample2 = s.pen.colour == rgb(0, 200, 0);
  }
  EXPECT_TRUE(sample1);
  EXPECT_TRUE(sample2);

  chart.showLegend = false;
  dc.Clear();
  chart.draw(dc);
  EXPECT_EQ(dc.FindText("Second"), nullptr);
}

TEST(ChartDraw, DetailLinesAreCleanedWrappedAndStopBelowThePlot) {
  FixedOwner owner(800, 600);
  Chart chart(&owner);
  AddPlainSeries(chart, 1);
  // 50 characters whose last blank within the first 35 is at 28
  const std::string wrapLine = std::string(28, 'a') + " " + std::string(21, 'b');
  chart.setDetailLines(1, {"DATE:<BR>today", "<BR>", wrapLine, "  last  "});
  RecordingDrawContext dc;
  chart.draw(dc);
  const int lx = chart.plotRect.right + 10;
  const int ty = chart.plotRect.top + 30;

  const DrawCall* date = dc.FindText("DATE: today");
  ASSERT_NE(date, nullptr);
  EXPECT_EQ(date->args, (std::vector<int>{lx + 5, ty}));
  const DrawCall* head = dc.FindText(std::string(28, 'a'));
  ASSERT_NE(head, nullptr);
  EXPECT_EQ(head->args, (std::vector<int>{lx + 5, ty + 40}));
  const DrawCall* tail = dc.FindText(std::string(21, 'b'));
  ASSERT_NE(tail, nullptr);
  EXPECT_EQ(tail->args, (std::vector<int>{lx + 5, ty + 40 + 15}));
  EXPECT_EQ(dc.FindText("last")->args, (std::vector<int>{lx + 5, ty + 80}));

  // Squares for the three lines with text; "<BR>" alone gets none but
  // still takes its 20 pixels. The background is white again after each.
  std::vector<std::vector<int>> squares;
  for (const auto* call : dc.Calls("FillSolidRect")) {
    EXPECT_EQ(call->colour, rgb(0, 150, 100));
    squares.push_back(call->args);
  }
  EXPECT_EQ(squares, (std::vector<std::vector<int>>{
                         {lx - 4, ty + 4, 5, 5}, {lx - 4, ty + 44, 5, 5}, {lx - 4, ty + 84, 5, 5}}));
  EXPECT_EQ(dc.FindText("last")->bkColour, rgb(255, 255, 255));

  // Lines stop once ty passes the plot's bottom.
  TextLines many(40, "line");
  chart.setDetailLines(1, many);
  dc.Clear();
  chart.draw(dc);
  const int expected = (chart.plotRect.bottom - ty) / 20 + 1;
  EXPECT_EQ(static_cast<int>(dc.Calls("FillSolidRect").size()), expected);
}

TEST(ChartDraw, WrappedTextCutsAtTheLastBlank) {
  RecordingDrawContext dc;
  EXPECT_EQ(drawWrappedText(dc, 5, 7, "short", 35, 15), 1);
  EXPECT_EQ(dc.Texts(), (std::vector<std::string>{"short"}));
  dc.Clear();
  // No blank in reach: a hard cut; several blanks before the next part are dropped.
  EXPECT_EQ(drawWrappedText(dc, 0, 0, "abcdefghij   klm nopq", 6, 10), 4);
  EXPECT_EQ(dc.Texts(), (std::vector<std::string>{"abcdef", "ghij ", "klm", "nopq"}));
  EXPECT_EQ(dc.Calls("TextOut")[3]->args, (std::vector<int>{0, 30}));
}

TEST(ChartDraw, WindIndicator) {
  FixedOwner owner(800, 600);
  Chart chart(&owner);
  RecordingDrawContext dc;
  chart.drawWindIndicator(270, 12);  // no draw yet: nothing
  EXPECT_TRUE(dc.calls.empty());
  chart.draw(dc);
  const int cx = 585 + (790 - 585) / 2;
  const int cy = 590 - 50;

  dc.Clear();
  chart.drawWindIndicator(270.0, 12.0);
  auto ellipses = dc.Calls("Ellipse");
  ASSERT_EQ(ellipses.size(), 2u);
  EXPECT_EQ(ellipses[0]->args, (std::vector<int>{cx - 30, cy - 30, cx + 30, cy + 30}));
  EXPECT_EQ(ellipses[1]->args, (std::vector<int>{cx - 5, cy - 5, cx + 5, cy + 5}));
  auto segments = dc.Segments();
  ASSERT_EQ(segments.size(), 1u);
  EXPECT_EQ(segments[0], (Segment{cx, cy, cx + 17, cy, {}}));
  EXPECT_EQ(segments[0].pen, (Pen{PS_SOLID, 1, rgb(102, 0, 0)}));
  EXPECT_EQ(ellipses[1]->pen, chart.gridPen);  // the hub uses the pen from before
  const DrawCall* text = dc.FindText("270");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->args, (std::vector<int>{cx + 30, cy + 30}));
  EXPECT_EQ(text->bkColour, rgb(255, 255, 255));
  EXPECT_EQ(text->font, chart.legendFont);
  EXPECT_EQ(text->align, TA_LEFT | TA_TOP);
  EXPECT_EQ(chart.scratchText, "270");

  dc.Clear();
  chart.drawWindIndicator(90.0, 30.0);
  segments = dc.Segments();
  ASSERT_EQ(segments.size(), 1u);
  EXPECT_EQ(segments[0], (Segment{cx, cy, cx - 35, cy, {}}));
  EXPECT_EQ(segments[0].pen, (Pen{PS_SOLID, 2, rgb(255, 0, 0)}));

  dc.Clear();
  chart.drawWindIndicator(0.0, 5.0);  // from the north: points down
  EXPECT_EQ(dc.Segments()[0], (Segment{cx, cy, cx, cy + 10, {}}));
}

}  // namespace
}  // namespace nimbrel::test
