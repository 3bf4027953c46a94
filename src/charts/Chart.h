#pragma once
// The time chart of a station window: one X axis of row labels, one Y axis
// shared by every series, a legend column with detail text and a wind dial.
// Data rows are texts; column 0 labels the point, column k feeds series k.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/DrawContext.h"

namespace nimbrel {

using TextLines = std::vector<std::string>;

// The window a chart lives in; only its client rectangle is needed.
class ChartOwner {
 public:
  virtual ~ChartOwner() = default;
  virtual Rect getClientRect() const = 0;
};

struct ChartSeries {
  int markSize = 0;                  // side of the square on each point
  std::optional<std::string> title;  // entry 0: X-axis title; others: legend text
  std::optional<Pen> pen;           // its colour draws the data line
  std::optional<TextLines> detailLines;  // legend text under this series
  // Row column this series plots; 0 means the series' own index. Lets a
  // series keep plotting its quantity when other quantities are left out.
  int valueColumn = 0;
};

class Chart {
 public:
  explicit Chart(ChartOwner* owner = nullptr);

  // Every field back to its default; series, rows and title emptied.
  void reset();
  void setTitle(const std::string& text) { title = text; }
  // Appends a series and returns its index. A valueColumn of 0 plots the
  // column equal to that index.
  int addSeries(int markSize, std::optional<std::string> seriesTitle, std::optional<Pen> seriesPen,
                std::optional<TextLines> seriesDetailLines, int valueColumn = 0);
  void removeAllSeries() { series.clear(); }
  void addRow(TextLines row);
  void removeAllRows() { rows.clear(); }
  // Replaces the detail lines of a series; std::out_of_range for a bad index.
  void setDetailLines(int seriesIndex, TextLines lines);

  int getRowCount() const { return static_cast<int>(rows.size()); }
  const TextLines& getRow(int index) const;  // std::out_of_range for a bad index

  // Paints the whole chart and remembers dc for drawWindIndicator. Never
  // throws: a point whose row lacks the column, or a series index outside
  // `series`, is left out. A zero or non-finite yDelta is first set to 1.
  void draw(DrawContext& dc);
  // The wind dial in the legend column, on the context and rectangles of the
  // last draw (nothing without one). The context must still be alive.
  void drawWindIndicator(double direction, double speed);
  void forgetDrawContext() { drawContext = nullptr; }
  // Y range from the data: yMin the smallest value, yDelta a whole step
  // that fits everything in all but the top grid step. Leaves both alone
  // when there is no value to scale.
  void autoscaleRange();

  // Layout helpers, public so the scaling can be checked on its own.
  void computeFrameRect();  // from the owner's client area when fitToWindow
  void computePlotRect();
  void computeXStep();      // from the row count
  int xPosition(int row) const;
  int yPosition(double value) const;
  // Value of series k at a row; false when the row lacks its column.
  bool seriesValue(int seriesIndex, int row, double& value) const;

  bool fitToWindow;
  int sideMargin;
  int plotInset;
  int legendWidth;
  int xStep;
  int yStep;
  int minorTicks;
  ChartOwner* owner;
  DrawContext* drawContext;
  Rect frameRect;
  Rect plotRect;
  FontSpec titleFont;
  FontSpec labelFont;
  FontSpec legendFont;
  Colour titleColour;
  Colour labelColour;
  Pen gridPen;
  std::string scratchText;
  std::string title;
  bool autoscale;
  bool showFrame;
  bool verticalNet;
  bool horizontalNet;
  bool showMarks;
  bool showLegend;
  int lineWidth;
  int topMargin;
  int seriesCount;
  double xMin;
  double yMin;
  double xDelta;
  double yDelta;
  std::vector<ChartSeries> series;

 private:
  // Texts are kept as given; each value is also parsed once here, which is
  // exact because a row never changes after addRow.
  struct Row {
    TextLines texts;
    std::vector<double> values;  // values[k] = readNumber(texts[k]), k >= 1
  };

  void drawAxes(DrawContext& dc);
  void drawMinorTicks(DrawContext& dc);
  void drawLegend(DrawContext& dc);
  void drawSeries(DrawContext& dc, int seriesIndex);
  int columnOf(int seriesIndex) const;
  double pixelsPerUnit() const;

  std::vector<Row> rows;
  // Set when there are more rows than the plot is wide: rows are then
  // spread over the plot width instead of sharing one x.
  bool spreadRows = false;
};

// Draws text cut into lines of at most maxChars characters, preferring to
// cut at the last blank; lines are lineHeight pixels apart. Returns the
// number of lines drawn.
int drawWrappedText(DrawContext& dc, int x, int y, std::string_view text, std::size_t maxChars,
                    int lineHeight);

}  // namespace nimbrel
