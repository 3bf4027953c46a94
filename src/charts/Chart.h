#pragma once
// The time chart of a station window: a time axis along X, one Y axis
// shared by every series, a legend column with detail text and a wind dial.
// Data rows are numbers: a time (or a label) places the point, value
// column k feeds series k.
//
// Layout: every part has its own rectangle (heading, chart area with the
// axis labels, legend, detail texts, dial), fonts shrink towards 320 x 240.
// A client smaller than that is laid out at 320 x 240 and clipped: the
// window then shows the top-left part of a readable chart, never a chart
// whose texts are too small to read or overlap.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Painter.h"

namespace nimbrel {

using TextLines = std::vector<std::string>;

// The window a chart lives in; only its client rectangle is needed.
class ChartOwner {
 public:
  virtual ~ChartOwner() = default;
  virtual Rect clientRect() const = 0;
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

// One label of the X axis: its position, text and, on the first label of
// a day, the date shown under it.
struct AxisLabel {
  int x = 0;
  std::int64_t time = 0;  // wall-clock seconds; 0 for labels of untimed rows
  std::string text;
  std::string date;
};

// One hour of the forecast strip.
struct ForecastHour {
  std::int64_t time = 0;  // the hour's start on the chart's time axis
  Colour colour = 0;      // the prevailing flight category's colour
  std::optional<Colour> hatch;  // a TEMPO or PROB change may come: its colour
};

// The forecast strip under the time axis, on the chart's own time axis:
// every time here is on the clock of the rows (wall-clock seconds). With a
// strip shown, the axis runs on hoursAhead hours past now, the future part
// shaded behind a "now" line.
struct ChartForecast {
  std::int64_t from = 0;  // the forecast's validity
  std::int64_t to = 0;
  std::vector<ForecastHour> hours;
  std::optional<std::int64_t> now;  // none: the newest row's time
  int hoursAhead = 0;
};

// One row: its time on the chart's axis, or a label when the chart's rows
// have no times, and one value per column, values[k - 1] for column k; NaN
// is no value there (a gap in the line).
struct ChartRow {
  std::string label;
  std::optional<std::int64_t> time;
  std::vector<double> values;
};

// The whole text of a detail line drawn cut, and where it was drawn.
struct DetailTip {
  Rect area;
  std::string text;
};

// The smallest client the chart is laid out for.
constexpr int kMinChartWidth = 320;
constexpr int kMinChartHeight = 240;
// Longer text cells are cut: a huge report text costs no more than a short one.
constexpr std::size_t kMaxCellChars = 1000;

// Seconds since 1970-01-01 00:00 of a calendar date and time read as UTC:
// the chart's time axis counts wall-clock time, free of zones and DST.
std::int64_t wallClockSeconds(int year, int month, int day, int hour, int minute, int second = 0);

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
  // A row without a time; while any row lacks one, rows are spaced evenly
  // and labelled with their labels. A NaN value is no value (a gap).
  void addRow(std::string label, std::vector<double> values);
  // A row at a wall-clock time (wallClockSeconds): X follows the times.
  void addRow(std::int64_t time, std::vector<double> values);
  void removeAllRows() {
    rows.clear();
    timedRows = 0;
  }
  // The forecast strip, or none. It takes its own band under the chart, so
  // an owner that grows by forecastSpace keeps the plot as it was.
  void setForecast(std::optional<ChartForecast> strip) { forecast = std::move(strip); }
  const std::optional<ChartForecast>& getForecast() const { return forecast; }
  // The owner's "now" on the rows' clock: the time axis runs on to it and a
  // "now" line marks it, so the newest report's age shows. A forecast strip's
  // own "now" wins while the strip is shown.
  void setNow(std::optional<std::int64_t> time) { now = time; }
  const std::optional<std::int64_t>& getNow() const { return now; }
  // Replaces the detail lines of a series; std::out_of_range for a bad index.
  void setDetailLines(int seriesIndex, TextLines lines);

  int getRowCount() const { return static_cast<int>(rows.size()); }
  const ChartRow& row(int index) const;  // std::out_of_range for a bad index
  // The value of a column (1 and up) at a row, or none (a gap, no such
  // column, no such row).
  std::optional<double> value(int row, int column) const;
  // What the X axis shows for a row: its label, or "HH:MM" of its time.
  std::string rowLabel(int index) const;

  // Paints the whole chart, leaving the painter's state as it was. Never
  // throws: a point whose row lacks the column, or a series index outside
  // `series`, is left out. A zero or non-finite yDelta is first set to 1.
  // A value beyond the Y range takes its line to the plot's edge, where a
  // small arrow marks it (the range itself stays as set).
  void draw(Painter& painter);
  // The wind dial in dialRect, as the last draw laid it out. A calm (speed
  // 0) reads "calm" and a wind without a direction (variable) "VRB", both
  // without an arrow; without a speed the dial is left empty.
  void drawWindIndicator(Painter& painter, double direction, double speed);
  // Y range from the data: yMin the smallest value, yDelta a whole step
  // that fits everything in all but the top grid step. Leaves both alone
  // when there is no value to scale.
  void autoscaleRange();

  // Layout helpers, public so the scaling can be checked on its own.
  void computeFrameRect();  // from the owner's client area when fitToWindow
  // Every rectangle, the fonts shown and the X labels; measures text with
  // the painter.
  // Runs autoscaleRange when autoscale is on.
  void layout(Painter& painter);
  int xPosition(int row) const;
  // X of a time on the time axis (plot and strip), held to the axis' ends.
  int forecastX(std::int64_t time) const;
  // The time axis' ends; equal to the rows' first and last times unless a
  // forecast strip carries the axis on past now.
  std::int64_t axisStart() const { return axisFrom; }
  std::int64_t axisEnd() const { return axisTo; }
  // The strip's hour under a point, or -1 (none, or no strip shown).
  int forecastHourAt(int x, int y) const;
  int yPosition(double value) const;
  // Whether the last draw left some value above or below the plot (it then
  // shows as an arrow on the plot's edge).
  bool valuesBeyondScale() const { return beyondScale; }
  // The whole text of a detail line drawn cut (ending in "...") under a
  // point, or "" (none there, or nothing was cut).
  std::string detailTipAt(int x, int y) const;
  // Pixels between horizontal grid lines: yStep, made smaller on a low
  // plot so the chart still shows eight steps (never below 20 pixels).
  int gridStepY() const;
  // Value of series k at a row; false when the row lacks its column or
  // the cell is empty.
  bool seriesValue(int seriesIndex, int row, double& value) const;

  bool fitToWindow;
  int sideMargin;
  int plotInset;    // unused by the layout; kept for the dialog's settings
  int legendWidth;  // the legend's width, more for a long title, less on a small window
  int xStep;        // pixels between labels of the numeric axis (no rows)
  int yStep;
  int minorTicks;
  ChartOwner* owner;
  Rect frameRect;
  Rect plotRect;
  // Set by layout: each part's own rectangle, none overlapping another.
  Rect headingRect;
  Rect chartAreaRect;  // plot, Y labels, X labels, dates and the X-axis title
  Rect legendRect;     // the legend column: entries, detailRect and dialRect
  Rect detailRect;
  Rect dialRect;
  // The forecast strip's coloured band; empty when no strip is shown (no
  // forecast, or no room for it at this size).
  Rect forecastRect;
  int forecastSpace = 0;  // the height the strip takes off the frame's bottom
  std::vector<AxisLabel> forecastLabels;
  int nowX = -1;  // the "now" line's X; -1 when none is drawn
  std::vector<DetailTip> detailTips;  // set by draw
  std::vector<AxisLabel> xLabels;
  int labelStepHours = 0;  // between time labels; 0 when rows lack times
  Font titleFont;
  Font labelFont;
  Font legendFont;
  // The fonts as drawn: the ones above, smaller on a small window.
  Font titleFontShown;
  Font labelFontShown;
  Font legendFontShown;
  Colour titleColour;
  Colour labelColour;
  Pen gridPen;
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
  void layoutTimeAxis(Painter& painter);
  void drawAxes(Painter& painter);
  void drawMinorTicks(Painter& painter, bool alongX);
  void drawLegend(Painter& painter);
  void drawForecast(Painter& painter);
  void drawSeries(Painter& painter, int seriesIndex);
  void drawNow(Painter& painter);
  int timeX(std::int64_t time) const;
  // The dial's rim and hub: in the legend's last entry's colour (the wind
  // direction's on a station chart), the grid's without one.
  Pen dialPen() const;
  int columnOf(int seriesIndex) const;
  double pixelsPerUnit() const;
  bool rowsHaveTimes() const { return !rows.empty() && timedRows == rows.size(); }

  std::vector<ChartRow> rows;
  std::optional<ChartForecast> forecast;
  std::optional<std::int64_t> now;
  std::size_t timedRows = 0;
  std::int64_t axisFrom = 0;  // the time at the plot's left and right edges
  std::int64_t axisTo = 0;
  bool beyondScale = false;
  int labelHeight = 0;   // measured in layout
  int legendLineHeight = 0;
  int yLabelWidth = 0;
  int dialRadius = 30;
  int sampleLength = 20;  // the legend's sample line
};

// A detail line as the legend shows it: every "<BR>" one blank, ends trimmed.
std::string shownDetailLine(std::string_view line);
// Cuts text into lines no wider than maxWidth pixels as the painter measures them,
// at blanks where possible (a word wider than that is broken), at most
// maxLines lines. Only the first kMaxCellChars characters are considered.
std::vector<std::string> wrapText(Painter& painter, std::string_view text, int maxWidth, int maxLines);
// Draws wrapText's lines lineHeight pixels apart, the first at `at`, each
// aligned on at.x. Returns the number of lines drawn.
int drawWrappedText(Painter& painter, Point at, Align align, std::string_view text, int maxWidth, int lineHeight,
                    int maxLines);

}  // namespace nimbrel
