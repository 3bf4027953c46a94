// The chart's drawing, checked call by call on a recording context.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/ChartTestSupport.h"
#include "charts/Chart.h"
#include "support/RecordingPainter.h"

namespace nimbrel::test {
namespace {

// Texts drawn on the line of the X labels.
std::vector<const DrawCall*> XLabelCalls(const Chart& chart, const RecordingPainter& painter) {
  std::vector<const DrawCall*> result;
  for (const auto* call : painter.Calls("Text"))
    if (call->args[1] == chart.plotRect.bottom + 6) result.push_back(call);
  return result;
}

TEST(ChartDraw, RowTextLabelsKeepApartAndOnlyTheyGetGridLines) {
  FixedOwner owner(650, 600);
  Chart chart(&owner);
  AddPlainSeries(chart, 1);
  for (int i = 0; i < 60; ++i) chart.addRow(i % 7 == 3 ? "" : "00:00", {0});  // 30 pixels each
  RecordingPainter painter;
  chart.draw(painter);
  const auto labels = XLabelCalls(chart, painter);
  ASSERT_GE(labels.size(), 3u);
  EXPECT_EQ(labels.front()->args[0], chart.plotRect.left);
  for (std::size_t i = 1; i < labels.size(); ++i) EXPECT_GE(labels[i]->args[0] - labels[i - 1]->args[0], 30 + 8);
  EXPECT_EQ(labels.size(), chart.xLabels.size());
  EXPECT_EQ(chart.labelStepHours, 0);

  // A grid line and a tick at each label, no other vertical line in the plot.
  const int bottom = chart.plotRect.bottom;
  int verticals = 0;
  for (const Segment& s : painter.Segments())
    if (s.x0 == s.x1 && s.y0 == bottom - 2 && s.y1 == chart.plotRect.top) ++verticals;
  EXPECT_EQ(verticals, static_cast<int>(labels.size()) - 1);  // none on the plot's left edge
  for (const auto* label : labels) EXPECT_TRUE(painter.HasSegment(label->args[0], bottom, label->args[0], bottom + 5));

  // Rows use the whole width: the last at the plot's last column.
  EXPECT_EQ(chart.xPosition(59), chart.plotRect.right - 1);
}

TEST(ChartDraw, WithoutVerticalNetOnlyTicks) {
  FixedOwner owner(650, 600);
  Chart chart(&owner);
  AddPlainSeries(chart, 1);
  chart.verticalNet = false;
  for (int i = 0; i < 3; ++i) chart.addRow("x", {0});
  RecordingPainter painter;
  chart.draw(painter);
  const int bottom = chart.plotRect.bottom;
  for (int d = 0; d < 3; ++d) {
    const int x = chart.xPosition(d);
    EXPECT_TRUE(painter.HasSegment(x, bottom, x, bottom + 5));
    EXPECT_FALSE(painter.HasSegment(x, bottom - 2, x, chart.plotRect.top));
  }
  // The X-axis title sits under the labels and dates in the legend font.
  const DrawCall* axisTitle = painter.FindText("Time");
  ASSERT_NE(axisTitle, nullptr);
  EXPECT_EQ(axisTitle->args[0], chart.plotRect.left + chart.plotRect.width() / 2);
  EXPECT_GE(axisTitle->args[1], bottom + 6 + 2 * 14);
  EXPECT_EQ(axisTitle->font, chart.legendFontShown);
}

TEST(ChartDraw, MinorTicksAndHorizontalLinesStayInsideTheOutline) {
  FixedOwner owner(650, 600);
  Chart chart(&owner);
  chart.xStep = 100;
  RecordingPainter painter;
  chart.draw(painter);
  const int left = chart.plotRect.left;
  const int right = chart.plotRect.right;
  const int bottom = chart.plotRect.bottom;
  const int top = chart.plotRect.top;
  ASSERT_EQ(chart.gridStepY(), 50);
  // Twenty and ten pixels apart, five long, along the bottom and the left;
  // none on the outline's last row or column.
  for (int x = left + 20; x < right - 1; x += 20) EXPECT_TRUE(painter.HasSegment(x, bottom - 2, x, bottom - 7)) << x;
  for (int y = bottom - 10; y > top; y -= 10) EXPECT_TRUE(painter.HasSegment(left + 1, y, left + 6, y)) << y;
  EXPECT_FALSE(painter.HasSegment(left, bottom - 2, left, bottom - 7));
  // Horizontal lines end before the outline's right column (right - 1):
  // lines leave out their end point.
  EXPECT_TRUE(painter.HasSegment(left + 1, bottom - 50, right - 1, bottom - 50));
  for (const Segment& s : painter.Segments()) {
    if (s.pen != chart.gridPen) continue;
    EXPECT_FALSE(s.x0 == right - 1 || (s.y0 == s.y1 && s.x1 > right - 1)) << s.x0 << "," << s.y0;
    EXPECT_FALSE(s.y0 == s.y1 && s.y0 == top) << "a line on the top outline";
  }
  chart.horizontalNet = false;
  painter.Clear();
  chart.draw(painter);
  EXPECT_TRUE(painter.HasSegment(left, bottom - 50, left - 5, bottom - 50));
  const DrawCall* label = painter.FindText(" -15");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->args[1], bottom - 50 - 7);
  EXPECT_LE(label->args[0] + 12, left - 5);  // centred, clear of the ticks
  EXPECT_EQ(label->pen, chart.gridPen);

  // Steps too small for ticks five pixels apart: no minor ticks anywhere.
  chart.xStep = 20;
  chart.minorTicks = 20;
  painter.Clear();
  chart.draw(painter);
  EXPECT_FALSE(painter.HasSegment(left + 1, bottom - 10, left + 6, bottom - 10));
}

// A line leaving the fixed scale runs to the plot's edge and stops there;
// an arrow on the edge marks each value beyond it; marks only inside.
TEST(ChartDraw, ValuesBeyondTheScaleAreClippedWithAnArrowOnTheEdge) {
  FixedOwner owner(650, 600);
  Chart chart(&owner);
  AddPlainSeries(chart, 1, 4);
  chart.showMarks = true;
  chart.lineWidth = 3;
  for (const double v : {0, 1, 100, 2, 3, -100}) chart.addRow("t", {v});
  RecordingPainter painter;
  chart.draw(painter);
  EXPECT_TRUE(chart.valuesBeyondScale());

  const int top = chart.plotRect.top;
  const int bottom = chart.plotRect.bottom;
  auto x = [&](int row) { return chart.xPosition(row); };
  std::vector<Segment> lines;
  std::vector<Segment> arrows;
  for (const Segment& s : painter.Segments()) {
    if (s.pen == (Pen{rgb(10, 0, 0), 3})) lines.push_back(s);
    if (s.pen == (Pen{rgb(10, 0, 0), 1}) && s.x1 <= chart.plotRect.right) arrows.push_back(s);
  }
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], (Segment{x(0), bottom - 200, x(1), bottom - 210, {}}));
  // Up to the top edge, where the line towards 100 crosses it, and back.
  EXPECT_EQ((std::vector<int>{lines[1].x0, lines[1].y0, lines[1].y1}), (std::vector<int>{x(1), bottom - 210, top}));
  EXPECT_EQ((std::vector<int>{lines[2].y0, lines[2].x1, lines[2].y1}), (std::vector<int>{top, x(3), bottom - 220}));
  EXPECT_NEAR(lines[1].x1, x(1) + (x(2) - x(1)) * (top - bottom + 210.0) / -990.0, 1.0);
  EXPECT_EQ(lines[3], (Segment{x(3), bottom - 220, x(4), bottom - 230, {}}));
  EXPECT_EQ((std::vector<int>{lines[4].x0, lines[4].y0, lines[4].y1}), (std::vector<int>{x(4), bottom - 230, bottom}));

  // Two arrows of four rows, widening away from their edge; the one at the
  // plot's last column is held whole inside it.
  ASSERT_EQ(arrows.size(), 8u);
  const int last = chart.plotRect.right - 5;
  ASSERT_GT(x(5), last);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(arrows[static_cast<std::size_t>(i)], (Segment{x(2) - i, top + 1 + i, x(2) + i + 1, top + 1 + i, {}}));
    EXPECT_EQ(arrows[static_cast<std::size_t>(4 + i)],
              (Segment{last - i, bottom - 1 - i, last + i + 1, bottom - 1 - i, {}}));
  }

  std::vector<std::vector<int>> marks;
  for (const auto* call : painter.Calls("FillRect")) marks.push_back(call->args);
  EXPECT_EQ(marks, (std::vector<std::vector<int>>{{x(0) - 2, bottom - 202, 4, 4},
                                                  {x(1) - 2, bottom - 212, 4, 4},
                                                  {x(3) - 2, bottom - 222, 4, 4},
                                                  {x(4) - 2, bottom - 232, 4, 4}}));
  // The painter's state is as the caller left it.
  EXPECT_EQ(painter.pen(), Pen{});
}

TEST(ChartDraw, MissingColumnsEmptyCellsAndBadSeriesIndicesAreLeftOut) {
  FixedOwner owner(650, 600);
  Chart chart(&owner);
  AddPlainSeries(chart, 2);
  chart.seriesCount = 5;  // more than there are series
  chart.showMarks = true;
  chart.addRow("a", {0, 1});
  chart.addRow("b", {1});  // lacks column 2
  chart.addRow("c", {2, 3});
  chart.addRow("", {});  // lacks even its label
  chart.addRow("e", {4, 5});
  chart.addRow("f", {5, kGap});  // an empty cell is no value, not 0
  chart.addRow("g", {6, 7});
  chart.autoscale = true;
  RecordingPainter painter;
  EXPECT_NO_THROW(chart.draw(painter));
  auto countSegments = [&](Colour colour) {
    return std::count_if(painter.calls.begin(), painter.calls.end(), [&](const DrawCall& c) {
      return c.op == "Line" && c.pen == Pen{colour, 1};
    });
  };
  // Series 1 joins a-b-c and e-f-g; series 2 has no point at b, d or f,
  // so each of its values is alone: a short mark each.
  EXPECT_EQ(countSegments(rgb(10, 0, 0)), 4 + 1);  // plus its legend sample
  EXPECT_EQ(countSegments(rgb(20, 0, 0)), 4 + 1);
  EXPECT_EQ(painter.Calls("FillRect").size(), 6u + 4u);  // marks after a gap need only their own point
  double value = 0;
  EXPECT_FALSE(chart.seriesValue(2, 5, value));
  EXPECT_EQ(chart.yMin, 0.0);
  EXPECT_EQ(chart.yDelta, 1.0);  // ceil(7 / steps), the empty cell not read as 0
  // The dial still draws after that draw.
  const std::size_t ellipses = painter.Calls("Ellipse").size();
  chart.drawWindIndicator(painter, 0, 0);
  EXPECT_EQ(painter.Calls("Ellipse").size(), ellipses + 2);
}

TEST(ChartDraw, HeadingAndLegendEntries) {
  FixedOwner owner(800, 600);
  Chart chart(&owner);
  chart.addSeries(0, std::string("Time"), std::nullopt, std::nullopt);
  chart.addSeries(4, std::string("Pressure           inches Hg"), Pen{rgb(250, 0, 0), 1}, std::nullopt);
  chart.addSeries(4, std::string("Second"), Pen{rgb(0, 200, 0), 1}, std::nullopt);
  chart.seriesCount = 3;
  chart.setTitle("Heading");
  chart.titleColour = rgb(1, 2, 3);
  RecordingPainter painter;
  chart.draw(painter);
  const int lx = chart.legendRect.left;
  const int top = chart.legendRect.top;

  const DrawCall* heading = painter.FindText("Heading");
  ASSERT_NE(heading, nullptr);
  EXPECT_EQ(heading->args, (std::vector<int>{400, chart.frameRect.top + 4}));  // centred in the frame
  EXPECT_EQ(heading->font, chart.titleFont);
  EXPECT_EQ(heading->align, Align::kCentre);
  EXPECT_EQ(heading->textColour, rgb(1, 2, 3));

  // The legend widens from 155 pixels to show the padded title as written.
  ASSERT_EQ(chart.legendRect.width(), 28 * 6 + 20 + 6);
  const DrawCall* first = painter.FindText("Pressure           inches Hg");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->args, (std::vector<int>{lx + 26, top}));
  EXPECT_EQ(first->align, Align::kLeft);
  EXPECT_EQ(first->font, chart.legendFont);
  EXPECT_EQ(painter.FindText("Second")->args, (std::vector<int>{lx + 26, top + 14 + 6}));
  bool sample1 = false;
  bool sample2 = false;
  for (const Segment& s : painter.Segments()) {
    if (s == Segment{lx, top + 7, lx + 20, top + 7, {}}) sample1 = s.pen.colour == rgb(250, 0, 0);
    if (s == Segment{lx, top + 27, lx + 20, top + 27, {}}) sample2 = s.pen.colour == rgb(0, 200, 0);
  }
  EXPECT_TRUE(sample1);
  EXPECT_TRUE(sample2);

  // On a small window the legend narrows (to 120 pixels): the title loses
  // its padding and wraps at a blank.
  owner.client = Rect{0, 0, 320, 240};
  painter.Clear();
  chart.draw(painter);
  EXPECT_NE(painter.FindText("Pressure inches"), nullptr);
  EXPECT_NE(painter.FindText("Hg"), nullptr);

  chart.showLegend = false;
  painter.Clear();
  chart.draw(painter);
  EXPECT_EQ(painter.FindText("Second"), nullptr);
}

TEST(ChartDraw, DetailLinesAreCleanedWrappedByWidthAndStopAboveTheDial) {
  FixedOwner owner(800, 600);
  Chart chart(&owner);
  AddPlainSeries(chart, 1);
  // The text column is 155 - 9 pixels: 24 characters of 6 pixels.
  const std::string wrapLine = std::string(20, 'a') + " " + std::string(21, 'b');
  chart.setDetailLines(1, {"DATE:<BR>today", "<BR>", wrapLine, "  last  "});
  RecordingPainter painter;
  chart.draw(painter);
  const int lx = chart.legendRect.left;
  const int ty = chart.detailRect.top;
  ASSERT_EQ(chart.detailRect.width() - 9, 146);

  const DrawCall* date = painter.FindText("DATE: today");
  ASSERT_NE(date, nullptr);
  EXPECT_EQ(date->args, (std::vector<int>{lx + 9, ty}));
  EXPECT_EQ(painter.FindText(std::string(20, 'a'))->args, (std::vector<int>{lx + 9, ty + 2 * 18}));
  EXPECT_EQ(painter.FindText(std::string(21, 'b'))->args, (std::vector<int>{lx + 9, ty + 2 * 18 + 14}));
  EXPECT_EQ(painter.FindText("last")->args, (std::vector<int>{lx + 9, ty + 2 * 18 + 32}));

  // Squares for the three lines with text; "<BR>" alone gets none but
  // still takes its line. The background is white again after each.
  std::vector<std::vector<int>> squares;
  for (const auto* call : painter.Calls("FillRect")) {
    EXPECT_EQ(call->colour, rgb(0, 150, 100));
    squares.push_back(call->args);
  }
  EXPECT_EQ(squares, (std::vector<std::vector<int>>{
                         {lx, ty + 5, 5, 5}, {lx, ty + 36 + 5, 5, 5}, {lx, ty + 36 + 32 + 5, 5, 5}}));
  EXPECT_EQ(painter.FindText("last")->textBackground, rgb(255, 255, 255));

  // Only whole lines that fit above the dial are drawn; the last says with
  // "..." that more follows, and its tooltip holds the rest.
  chart.setDetailLines(1, TextLines(100, "line"));
  painter.Clear();
  chart.draw(painter);
  const auto lines = painter.Calls("FillRect");
  EXPECT_EQ(static_cast<int>(lines.size()), (chart.detailRect.height() + 4) / 18);
  const DrawCall* cut = painter.FindText("line...");
  ASSERT_NE(cut, nullptr);
  EXPECT_EQ(cut->args[1], lines.back()->args[1] - 5);
  std::string whole = "line";
  for (std::size_t i = lines.size(); i < 100; ++i) whole += "\nline";
  EXPECT_EQ(chart.detailTipAt(cut->args[0] + 2, cut->args[1] + 2), whole);
  // One long text cut alike: its tooltip is all of it.
  std::string forecast = "FORECAST:";
  for (int i = 0; i < 160; ++i) forecast += " BECMG";
  chart.setDetailLines(1, {forecast});
  painter.Clear();
  chart.draw(painter);
  EXPECT_EQ(painter.Calls("Text").back()->text, "BECMG BECMG BECMG...");
  EXPECT_EQ(chart.detailTipAt(chart.detailRect.left + 20, chart.detailRect.top + 2), forecast);
  for (const auto* call : painter.Calls("Text")) {
    if (call->text == "line") {
      EXPECT_LE(call->args[1] + 14, chart.dialRect.top);
    }
  }
}

TEST(ChartDraw, WrappingByMeasuredWidth) {
  struct Case {
    const char* text;
    int width;  // pixels; 6 a character
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"short", 60, {"short"}},
      {"two words", 30, {"two", "words"}},
      {"abcdefghij   klm nopq", 36, {"abcdef", "ghij", "klm", "nopq"}},  // a long word broken, blanks dropped
      {"PRESSURE: 30.15 inches Hg (1021.1 mb)", 120, {"PRESSURE: 30.15", "inches Hg (1021.1", "mb)"}},
      {"exactly ten", 66, {"exactly ten"}},
      {"x", 1, {"x"}},  // narrower than one character: still one per line
      {"", 60, {}},
  };
  for (const Case& c : cases) {
    RecordingPainter painter;
    EXPECT_EQ(wrapText(painter, c.text, c.width, 100), c.lines) << c.text;
    for (const std::string& line : c.lines) {
      if (line.size() > 1) {
        EXPECT_LE(static_cast<int>(line.size()) * 6, c.width) << line;
      }
    }
  }
  RecordingPainter painter;
  EXPECT_EQ(drawWrappedText(painter, {5, 7}, Align::kLeft, "one two three", 30, 15, 2), 2);
  EXPECT_EQ(painter.Texts(), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(painter.Calls("Text")[1]->args, (std::vector<int>{5, 22}));
}

TEST(ChartDraw, AHugeTextCostsNoMoreThanItsFirstThousandCharacters) {
  std::string huge;
  while (huge.size() < 10'000'000) huge += "word ";
  RecordingPainter hugePainter;
  RecordingPainter shortPainter;
  const auto hugeLines = wrapText(hugePainter, huge, 200, 1000);
  const auto shortLines = wrapText(shortPainter, huge.substr(0, 1000), 200, 1000);
  EXPECT_EQ(hugeLines, shortLines);
  EXPECT_EQ(hugePainter.calls.size(), shortPainter.calls.size());
  for (const auto& call : hugePainter.calls) EXPECT_LE(call.text.size(), 1000u);

  // In a chart only what fits in the detail column is measured.
  FixedOwner owner(650, 670);
  Chart chart(&owner);
  AddPlainSeries(chart, 1);
  chart.setDetailLines(1, {huge, huge});
  RecordingPainter painter;
  chart.draw(painter);
  for (const auto& call : painter.calls) EXPECT_LE(call.text.size(), 1000u);
  EXPECT_LT(painter.calls.size(), 3000u);
}

TEST(ChartDraw, WindIndicatorInItsOwnRectangle) {
  FixedOwner owner(800, 600);
  Chart chart(&owner);
  RecordingPainter painter;
  chart.draw(painter);
  const int cx = (chart.dialRect.left + chart.dialRect.right) / 2;
  const int cy = chart.dialRect.top + 30;

  painter.Clear();
  chart.drawWindIndicator(painter, 270.0, 12.0);
  auto ellipses = painter.Calls("Ellipse");
  ASSERT_EQ(ellipses.size(), 2u);
  EXPECT_EQ(ellipses[0]->args, (std::vector<int>{cx - 30, cy - 30, cx + 30, cy + 30}));
  EXPECT_EQ(ellipses[1]->args, (std::vector<int>{cx - 5, cy - 5, cx + 5, cy + 5}));
  auto segments = painter.Segments();
  ASSERT_EQ(segments.size(), 1u);
  EXPECT_EQ(segments[0], (Segment{cx, cy, cx + 17, cy, {}}));
  EXPECT_EQ(segments[0].pen, (Pen{rgb(102, 0, 0), 1}));
  EXPECT_EQ(ellipses[0]->pen, chart.gridPen);  // no legend entry: the grid's pen
  EXPECT_EQ(ellipses[1]->pen, chart.gridPen);
  const DrawCall* text = painter.FindText("270");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->args, (std::vector<int>{cx, cy + 32}));
  EXPECT_EQ(text->align, Align::kCentre);
  EXPECT_LE(text->args[1] + 14, chart.dialRect.bottom);
  EXPECT_EQ(text->textBackground, rgb(255, 255, 255));
  EXPECT_EQ(text->font, chart.legendFontShown);

  // Strong winds: a thick red line that stops at the rim.
  painter.Clear();
  chart.drawWindIndicator(painter, 90.0, 40.0);
  segments = painter.Segments();
  ASSERT_EQ(segments.size(), 1u);
  EXPECT_EQ(segments[0], (Segment{cx, cy, cx - 30, cy, {}}));
  EXPECT_EQ(segments[0].pen, (Pen{rgb(255, 0, 0), 2}));

  painter.Clear();
  chart.drawWindIndicator(painter, 0.0, 5.0);  // from the north: points down
  EXPECT_EQ(painter.Segments()[0], (Segment{cx, cy, cx, cy + 10, {}}));
}

}  // namespace
}  // namespace nimbrel::test
