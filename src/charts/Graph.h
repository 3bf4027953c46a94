#pragma once
// The time chart of a station window: one X axis of row labels, one Y axis
// shared by every series, a legend column with detail text and a wind dial.
// Data rows are texts; column 0 labels the point, column k feeds series k.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DrawContext.h"

namespace nimbrel {

using CStringArray = std::vector<std::string>;

// The window a chart lives in; only its client rectangle is needed.
class IChartOwner {
 public:
  virtual ~IChartOwner() = default;
  virtual CRect GetClientRect() const = 0;
};

struct GraphSeries {
  int markSize = 0;                  // side of the square on each point
  std::optional<std::string> title;  // entry 0: X-axis title; others: legend text
  std::optional<CPen> pen;           // its colour draws the data line
  std::optional<CStringArray> detailLines;  // legend text under this series
  // Row column this series plots; 0 means the series' own index. Lets a
  // series keep plotting its quantity when other quantities are left out.
  int valueColumn = 0;
};

class CGraph {
 public:
  explicit CGraph(IChartOwner* owner = nullptr);

  // Every field back to its default; series, rows and title emptied.
  void Reset();
  void SetTitle(const std::string& text) { title = text; }
  // Appends a series and returns its index. A valueColumn of 0 plots the
  // column equal to that index.
  int AddSeries(int markSize, std::optional<std::string> seriesTitle, std::optional<CPen> seriesPen,
                std::optional<CStringArray> seriesDetailLines, int valueColumn = 0);
  void RemoveAllSeries() { series.clear(); }
  void AddRow(CStringArray row);
  void RemoveAllRows() { rows.clear(); }
  // Replaces the detail lines of a series; std::out_of_range for a bad index.
  void SetDetailLines(int seriesIndex, CStringArray lines);

  int GetRowCount() const { return static_cast<int>(rows.size()); }
  const CStringArray& GetRow(int index) const;  // std::out_of_range for a bad index

  // Paints the whole chart and remembers dc for DrawWindIndicator. Never
  // throws: a point whose row lacks the column, or a series index outside
  // `series`, is left out. A zero or non-finite yDelta is first set to 1.
  void Draw(IDrawContext& dc);
  // The wind dial in the legend column, on the context and rectangles of the
  // last Draw (nothing without one). The context must still be alive.
  void DrawWindIndicator(double direction, double speed);
  void ForgetDrawContext() { drawContext = nullptr; }
  // Y range from the data: yMin the smallest value, yDelta a whole step
  // that fits everything in all but the top grid step. Leaves both alone
  // when there is no value to scale.
  void Autoscale();

  // Layout helpers, public so the scaling can be checked on its own.
  void ComputeFrameRect();  // from the owner's client area when fitToWindow
  void ComputePlotRect();
  void ComputeXStep();      // from the row count
  int XPosition(int row) const;
  int YPosition(double value) const;
  // Value of series k at a row; false when the row lacks its column.
  bool SeriesValue(int seriesIndex, int row, double& value) const;

  bool fitToWindow;
  int sideMargin;
  int plotInset;
  int legendWidth;
  int xStep;
  int yStep;
  int minorTicks;
  IChartOwner* owner;
  IDrawContext* drawContext;
  CRect frameRect;
  CRect plotRect;
  CFontSpec titleFont;
  CFontSpec labelFont;
  CFontSpec legendFont;
  COLORREF titleColour;
  COLORREF labelColour;
  CPen gridPen;
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
  std::vector<GraphSeries> series;

 private:
  // Texts are kept as given; each value is also parsed once here, which is
  // exact because a row never changes after AddRow.
  struct Row {
    CStringArray texts;
    std::vector<double> values;  // values[k] = ReadNumber(texts[k]), k >= 1
  };

  void DrawAxes(IDrawContext& dc);
  void DrawMinorTicks(IDrawContext& dc);
  void DrawLegend(IDrawContext& dc);
  void DrawSeries(IDrawContext& dc, int seriesIndex);
  int ColumnOf(int seriesIndex) const;
  double PixelsPerUnit() const;

  std::vector<Row> rows;
  // Set when there are more rows than the plot is wide: rows are then
  // spread over the plot width instead of sharing one x.
  bool spreadRows = false;
};

// Draws text cut into lines of at most maxChars characters, preferring to
// cut at the last blank; lines are lineHeight pixels apart. Returns the
// number of lines drawn.
int DrawWrappedText(IDrawContext& dc, int x, int y, std::string_view text, std::size_t maxChars,
                    int lineHeight);

}  // namespace nimbrel
