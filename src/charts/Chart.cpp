#include "charts/Chart.h"
#include "base/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <utility>

#include "charts/ChartText.h"

namespace nimbrel {
namespace {

constexpr Colour kDetailSquare = rgb(0, 150, 100);
constexpr double kDegreesToRadians = 0.0174532925;  // the dial's own constant, kept as is
constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kDay = 86400;
constexpr int kDetailIndent = 9;   // detail text after its square
constexpr int kPad = 4;            // inside the frame, between parts
constexpr int kStripBand = 14;     // the forecast strip's coloured band
constexpr int kHatchStep = 6;      // between the diagonals of a possible change
constexpr Colour kFutureShade = rgb(238, 238, 238);  // the plot past now
constexpr Colour kNowColour = rgb(90, 90, 90);
constexpr int kArrowSpacing = 10;  // between arrows marking values beyond the plot

std::string_view cell(std::string_view text) { return text.substr(0, kMaxCellChars); }

}  // namespace

std::string shownDetailLine(std::string_view line) {
  line = cell(line);
  std::string result;
  result.reserve(line.size());
  for (std::size_t i = 0; i < line.size();) {
    if (line.compare(i, 4, "<BR>") == 0) {
      result.push_back(' ');
      i += 4;
    } else {
      result.push_back(line[i++]);
    }
  }
  return std::string(trim(result));
}

namespace {

// Runs of blanks become one: legend titles pad their units into a column,
// which only matters while the whole title fits.
std::string collapseBlanks(std::string_view text) {
  std::string result;
  for (char c : text) {
    if (c == ' ' && !result.empty() && result.back() == ' ') continue;
    result.push_back(c);
  }
  return result;
}

Font chartFont(int height) { return Font{"Arial Cyr", height, 400}; }

// Fonts lose up to a fifth of their height between the full size (t = 1)
// and the smallest layout (t = 0).
Font shrunk(Font font, double t) {
  if (font.height > 0) font.height = std::max(8, static_cast<int>(std::lround(font.height * (0.78 + 0.22 * t))));
  return font;
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

struct CivilDate {
  int year, month, day;
};

// Days since 1970-01-01 to a proleptic Gregorian date and back.
CivilDate civilFromDays(std::int64_t days) {
  days += 719468;
  const std::int64_t era = floorDiv(days, 146097);
  const std::int64_t doe = days - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return CivilDate{static_cast<int>(yoe + era * 400 + (month <= 2)), month, day};
}

std::string timeText(std::int64_t wall) {
  const std::int64_t seconds = wall - floorDiv(wall, kDay) * kDay;
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", static_cast<int>(seconds / kHour),
                static_cast<int>(seconds % kHour / 60));
  return text;
}

std::string dateText(std::int64_t wall) {
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const CivilDate date = civilFromDays(floorDiv(wall, kDay));
  return std::to_string(date.day) + " " + kMonths[(date.month - 1) % 12];
}

}  // namespace

std::int64_t wallClockSeconds(int year, int month, int day, int hour, int minute, int second) {
  const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2);
  const std::int64_t era = floorDiv(y, 400);
  const std::int64_t yoe = y - era * 400;
  const std::int64_t mp = month > 2 ? month - 3 : month + 9;
  const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const std::int64_t days = era * 146097 + doe - 719468;
  return days * kDay + hour * kHour + minute * 60 + second;
}

Chart::Chart(ChartOwner* chartOwner)
    : owner(chartOwner),
      titleFont(chartFont(16)),
      labelFont(chartFont(14)),
      legendFont(chartFont(14)),
      gridPen{rgb(220, 220, 220), 1} {
  reset();
}

void Chart::reset() {
  series.clear();
  rows.clear();
  timedRows = 0;
  fitToWindow = true;
  sideMargin = 10;
  plotInset = 50;
  legendWidth = 155;
  xStep = 50;
  yStep = 50;
  minorTicks = 5;
  frameRect = Rect{20, 20, 820, 520};
  plotRect = Rect{};
  headingRect = chartAreaRect = legendRect = detailRect = dialRect = forecastRect = Rect{};
  forecast.reset();
  now.reset();
  forecastSpace = 0;
  forecastLabels.clear();
  nowX = -1;
  detailTips.clear();
  beyondScale = false;
  xLabels.clear();
  labelStepHours = 0;
  titleColour = 0;
  labelColour = 0;
  title.clear();
  autoscale = false;
  showFrame = true;
  verticalNet = true;
  horizontalNet = true;
  showMarks = false;
  showLegend = true;
  lineWidth = 1;
  topMargin = 10;
  seriesCount = 0;
  xMin = 0.0;
  yMin = -20.0;
  xDelta = 10.0;
  yDelta = 5.0;
}

int Chart::addSeries(int markSize, std::optional<std::string> seriesTitle, std::optional<Pen> seriesPen,
                      std::optional<TextLines> seriesDetailLines, int valueColumn) {
  series.push_back(ChartSeries{markSize, std::move(seriesTitle), seriesPen, std::move(seriesDetailLines),
                               valueColumn});
  return static_cast<int>(series.size()) - 1;
}

void Chart::addRow(std::string label, std::vector<double> values) {
  rows.push_back(ChartRow{std::move(label), std::nullopt, std::move(values)});
}

void Chart::addRow(std::int64_t time, std::vector<double> values) {
  rows.push_back(ChartRow{{}, time, std::move(values)});
  ++timedRows;
}

void Chart::setDetailLines(int seriesIndex, TextLines lines) {
  if (seriesIndex < 0 || seriesIndex >= static_cast<int>(series.size()))
    throw std::out_of_range("Chart::setDetailLines: no series " + std::to_string(seriesIndex));
  series[static_cast<std::size_t>(seriesIndex)].detailLines = std::move(lines);
}

const ChartRow& Chart::row(int index) const {
  if (index < 0 || index >= getRowCount()) throw std::out_of_range("Chart::row: no row " + std::to_string(index));
  return rows[static_cast<std::size_t>(index)];
}

std::optional<double> Chart::value(int index, int column) const {
  if (index < 0 || index >= getRowCount() || column < 1) return std::nullopt;
  const auto& values = rows[static_cast<std::size_t>(index)].values;
  const auto at = static_cast<std::size_t>(column - 1);
  if (at >= values.size() || std::isnan(values[at])) return std::nullopt;
  return values[at];
}

std::string Chart::rowLabel(int index) const {
  const ChartRow& entry = row(index);
  return entry.time ? timeText(*entry.time) : entry.label;
}

void Chart::computeFrameRect() {
  if (!fitToWindow || owner == nullptr) return;
  const Rect client = owner->clientRect();
  const int width = std::max(client.width(), kMinChartWidth);
  const int height = std::max(client.height(), kMinChartHeight);
  frameRect = Rect{client.left + sideMargin, client.top + topMargin, client.left + width - sideMargin,
                   client.top + height - sideMargin};
}

int Chart::gridStepY() const {
  if (yStep <= 0) return yStep;
  return std::min(yStep, std::max(20, plotRect.height() / 8));
}

void Chart::layout(Painter& painter) {
  const KeptPainterState kept(painter);
  Rect f = frameRect;
  forecastRect = Rect{};
  forecastSpace = 0;
  forecastLabels.clear();
  nowX = -1;
  int stripLabelHeight = 0;
  // The strip's band comes off the frame's bottom only when what is left
  // still has the smallest layout: never a squeezed plot. It needs rows
  // with times: it lies on their time axis.
  if (forecast && !forecast->hours.empty() && forecast->to > forecast->from && rowsHaveTimes()) {
    painter.setFont(chartFont(11));
    stripLabelHeight = std::max(1, painter.textSize("00:00").height);
    const int space = 6 + kStripBand + 2 + stripLabelHeight + kPad;
    if (f.height() - space >= kMinChartHeight - 20) {
      forecastSpace = space;
      f.bottom -= space;
    }
  }
  // How far the frame is from the smallest layout towards the full one.
  const double t = std::clamp(std::min((f.width() - (kMinChartWidth - 20)) / 280.0,
                                       (f.height() - (kMinChartHeight - 20)) / 260.0),
                              0.0, 1.0);
  titleFontShown = shrunk(titleFont, t);
  labelFontShown = shrunk(labelFont, t);
  legendFontShown = shrunk(legendFont, t);
  dialRadius = static_cast<int>(std::lround(18 + 12 * t));
  sampleLength = static_cast<int>(std::lround(12 + 8 * t));

  painter.setFont(labelFontShown);
  const Size timeExtent = painter.textSize("00:00");
  const int dateWidth = painter.textSize("30 May").width;
  labelHeight = std::max(1, timeExtent.height);
  painter.setFont(legendFontShown);
  legendLineHeight = std::max(1, painter.textSize("Ag").height);

  // Heading on top, across the frame.
  painter.setFont(titleFontShown);
  const int headingLines =
      title.empty() ? 0 : static_cast<int>(wrapText(painter, title, f.width() - 2 * kPad, 3).size());
  const int titleHeight = std::max(1, painter.textSize("Ag").height);
  headingRect = Rect{f.left + kPad, f.top + kPad, f.right - kPad, f.top + kPad + headingLines * titleHeight};

  // Vertically: the plot between the heading and the X labels, dates and title.
  plotRect.top = headingRect.bottom + std::max(8, labelHeight / 2 + kPad);
  plotRect.bottom = f.bottom - kPad - (6 + 2 * labelHeight + 4 + legendLineHeight + 2);
  if (plotRect.bottom <= plotRect.top) plotRect.bottom = plotRect.top + 1;
  if (autoscale) autoscaleRange();

  // The Y labels' widest text decides the left margin.
  painter.setFont(labelFontShown);
  yLabelWidth = 0;
  const int step = gridStepY();
  if (step > 0) {
    for (int i = 0; i <= plotRect.height() / step; ++i)
      yLabelWidth = std::max(yLabelWidth, painter.textSize(formatWhole(yMin + i * yDelta, 4)).width);
  }

  // Horizontally: Y labels, plot, room for half a label, legend.
  const int halfLabel = std::max(timeExtent.width, dateWidth) / 2 + 6;
  plotRect.left = f.left + kPad + yLabelWidth + 6;
  // The legend is legendWidth wide, wider for a title that fits as
  // written, narrower on a small window (titles then wrap).
  int legendW = 0;
  if (showLegend) {
    int widest = 0;
    painter.setFont(legendFontShown);
    const int count = std::min<int>(seriesCount, static_cast<int>(series.size()));
    for (int k = 1; k < count; ++k) {
      const auto& entry = series[static_cast<std::size_t>(k)];
      if (entry.title) widest = std::max(widest, painter.textSize(cell(*entry.title)).width);
    }
      legendW = std::min(std::max(legendWidth, widest + sampleLength + 6),
                       std::max(120, static_cast<int>(f.width() * 0.36)));
  }
  legendRect = showLegend ? Rect{f.right - kPad - legendW, plotRect.top - 2, f.right - kPad, f.bottom - kPad} : Rect{};
  plotRect.right = (showLegend ? legendRect.left : f.right - kPad) - halfLabel;
  if (plotRect.right <= plotRect.left) plotRect.right = plotRect.left + 1;
  chartAreaRect = Rect{f.left + kPad, plotRect.top - labelHeight / 2 - 1, plotRect.right + halfLabel - 2,
                       f.bottom - kPad};

  // The legend column: entries from the top, the dial at the bottom, the
  // detail texts between them.
  if (showLegend) {
    const int cx = (legendRect.left + legendRect.right) / 2;
    dialRect = Rect{cx - dialRadius, legendRect.bottom - 2 * dialRadius - 2 - legendLineHeight, cx + dialRadius,
                    legendRect.bottom};
    int entriesBottom = legendRect.top;
    painter.setFont(legendFontShown);
    const int count = std::min<int>(seriesCount, static_cast<int>(series.size()));
    for (int k = 1; k < count; ++k) {
      const auto& entry = series[static_cast<std::size_t>(k)];
      const int lines = entry.title ? std::max<int>(1, static_cast<int>(wrapText(painter, collapseBlanks(cell(*entry.title)),
                                                                                 legendW - sampleLength - 6, 3)
                                                                            .size()))
                                    : 1;
      entriesBottom += lines * legendLineHeight + 6;
    }
      detailRect = Rect{legendRect.left, entriesBottom + 6, legendRect.right, std::max(entriesBottom + 6, dialRect.top - 6)};
  } else {
    dialRect = detailRect = Rect{};
  }
  if (forecastSpace > 0) forecastRect = Rect{plotRect.left, f.bottom + 4, plotRect.right, f.bottom + 4 + kStripBand};
  layoutTimeAxis(painter);
  if (forecastSpace > 0) {
    // The strip's hours are the plot's: the same times at the same X,
    // within the forecast's validity.
    for (const AxisLabel& label : xLabels) {
      if (label.time >= forecast->from && label.time <= forecast->to)
        forecastLabels.push_back(AxisLabel{label.x, label.time, label.text, {}});
    }
    const std::int64_t at = forecast->now ? *forecast->now : now.value_or(axisTo);
    if (at >= axisFrom && at <= axisTo) nowX = timeX(at);
  } else if (now && rowsHaveTimes() && *now >= axisFrom && *now <= axisTo) {
    nowX = timeX(*now);
  }
}

void Chart::layoutTimeAxis(Painter& painter) {
  xLabels.clear();
  labelStepHours = 0;
  axisFrom = axisTo = 0;
  if (rows.empty()) return;
  painter.setFont(labelFontShown);
  const int gap = 8;
  const int limitRight = chartAreaRect.right;
  int lastRight = std::numeric_limits<int>::min();
  std::int64_t lastDay = std::numeric_limits<std::int64_t>::min();
  // Keeps a label only when it (and its date) clears the one before.
  auto offer = [&](int x, std::int64_t time, std::string text, bool timed) {
    if (x < lastRight + gap) return;  // too close whatever its width: not even measured
    std::string date;
    const std::int64_t day = timed ? floorDiv(time, kDay) : 0;
    if (timed && day != lastDay) date = dateText(time);
    int half = painter.textSize(text).width / 2;
    if (!date.empty()) half = std::max(half, painter.textSize(date).width / 2);
    if (x - half < lastRight + gap || x + half > limitRight) return;
    lastRight = x + half;
    if (timed) lastDay = day;
    xLabels.push_back(AxisLabel{x, timed ? time : 0, std::move(text), std::move(date)});
  };

  if (rowsHaveTimes()) {
    std::int64_t firstTime = *rows.front().time;
    std::int64_t lastTime = firstTime;
    for (const ChartRow& row : rows) {
      firstTime = std::min(firstTime, *row.time);
      lastTime = std::max(lastTime, *row.time);
    }
    axisFrom = firstTime;
    axisTo = std::max(lastTime, now.value_or(lastTime));
    // A forecast carries the axis on past now by the hours it shows.
    if (forecastSpace > 0) axisTo = std::max(lastTime, forecast->now ? *forecast->now : now.value_or(lastTime)) +
                                    static_cast<std::int64_t>(std::max(0, forecast->hoursAhead)) * kHour;
    const std::int64_t span = axisTo - axisFrom;
    const int width = std::max(1, plotRect.width() - 1);
    const int need = std::max(painter.textSize("00:00").width, painter.textSize("30 May").width) + gap;
    // The smallest round step whose labels stay apart; beyond 12 hours
    // whole days, doubled until they do.
    auto apart = [&](std::int64_t hours) {
      return span == 0 || hours * kHour >= span ||
             static_cast<double>(hours * kHour) * width / static_cast<double>(span) >= need;
    };
    std::int64_t hours = 24;
    for (const std::int64_t candidate : {1, 2, 3, 6, 12}) {
      if (apart(candidate)) {
        hours = candidate;
        break;
      }
    }
    while (!apart(hours)) hours *= 2;
    labelStepHours = static_cast<int>(hours);
    const std::int64_t stepSeconds = hours * kHour;
    for (std::int64_t at = floorDiv(axisFrom + stepSeconds - 1, stepSeconds) * stepSeconds; at <= axisTo;
         at += stepSeconds)
      offer(timeX(at), at, timeText(at), true);
    // No round time within the rows (a single report): its own time.
    if (xLabels.empty()) offer(plotRect.left, firstTime, timeText(firstTime), true);
  } else {
    for (int d = 0; d < getRowCount(); ++d) {
      const std::string& label = rows[static_cast<std::size_t>(d)].label;
      if (label.empty()) continue;  // no label to show
      offer(xPosition(d), 0, std::string(cell(label)), false);
    }
  }
}

int Chart::timeX(std::int64_t time) const {
  const std::int64_t span = axisTo - axisFrom;
  if (span <= 0) return plotRect.left;
  const double width = std::max(0, plotRect.width() - 1);
  return plotRect.left + static_cast<int>(std::llround(static_cast<double>(time - axisFrom) * width /
                                                       static_cast<double>(span)));
}

int Chart::forecastX(std::int64_t time) const { return timeX(std::clamp(time, axisFrom, std::max(axisFrom, axisTo))); }

int Chart::forecastHourAt(int x, int y) const {
  if (!forecast || forecastRect.width() <= 0 || y < forecastRect.top || y >= forecastRect.bottom) return -1;
  const auto& hours = forecast->hours;
  for (std::size_t i = 0; i < hours.size(); ++i) {
    const int left = forecastX(hours[i].time);
    const int right = i + 1 < hours.size() ? forecastX(hours[i + 1].time) : forecastX(hours[i].time + kHour);
    if (right > left && x >= left && x < right) return static_cast<int>(i);
  }
  return -1;
}

void Chart::drawForecast(Painter& painter) {
  if (forecastRect.width() <= 0) return;
  const int top = forecastRect.top;
  const int bottom = forecastRect.bottom;
  const int height = forecastRect.height();
  const auto& hours = forecast->hours;
  for (std::size_t i = 0; i < hours.size(); ++i) {
    const int left = forecastX(hours[i].time);
    const int right = i + 1 < hours.size() ? forecastX(hours[i + 1].time) : forecastX(hours[i].time + kHour);
    if (right <= left) continue;
    painter.fillRect(Rect::fromSize(left, top, right - left, height), hours[i].colour);
    if (!hours[i].hatch) continue;
    // Diagonals up to the right, cut at the hour's and the band's edges;
    // a white edge keeps them seen on a band of their own colour.
    for (int a = left - height; a < right + 2; a += kHatchStep) {
      for (const auto& [offset, colour] : {std::pair{-1, kWhite}, std::pair{0, *hours[i].hatch},
                                           std::pair{1, *hours[i].hatch}}) {
        const int base = a + offset;
        const int start = std::max(base, left);
        const int end = std::min(base + height - 1, right - 1);
        if (start >= end) continue;
        painter.setPen(Pen{colour, 1});
        painter.line({start, bottom - 1 - (start - base)}, {end, bottom - 1 - (end - base)});
      }
    }
  }
  painter.setPen(Pen{kBlack, 1});
  painter.setFont(chartFont(11));
  painter.setTextColour(labelColour);
  painter.setTextBackground(kWhite);
  for (const AxisLabel& label : forecastLabels) {
    painter.line({label.x, bottom}, {label.x, bottom + 3});
    painter.text({label.x, bottom + 2}, label.text, Align::kCentre);
  }
  if (nowX >= 0) {
    painter.setPen(Pen{kNowColour, 1});
    painter.line({nowX, top - 3}, {nowX, bottom + 1});
  }
  // The strip's name where the Y labels are.
  painter.text({plotRect.left - 6 - yLabelWidth / 2, top}, "TAF", Align::kCentre);
}

int Chart::xPosition(int row) const {
  const long long width = std::max(0, plotRect.width() - 1);
  if (rowsHaveTimes() && row >= 0 && row < getRowCount()) return timeX(*rows[static_cast<std::size_t>(row)].time);
  const long long count = getRowCount();
  if (count <= 1) return plotRect.left;
  return plotRect.left + static_cast<int>(row * width / (count - 1));
}

double Chart::pixelsPerUnit() const {
  const double delta = (yDelta != 0.0 && std::isfinite(yDelta)) ? yDelta : 1.0;
  return gridStepY() / delta;
}

int Chart::yPosition(double value) const {
  const double p = pixelsPerUnit();
  // Each product is truncated on its own; the sum is formed in double so a
  // wild value saturates instead of overflowing.
  const double y = plotRect.bottom - std::trunc(value * p) + std::trunc(yMin * p);
  if (std::isnan(y)) return std::numeric_limits<int>::min();  // never inside the plot
  return truncToInt(y);
}

int Chart::columnOf(int seriesIndex) const {
  const int column = series[static_cast<std::size_t>(seriesIndex)].valueColumn;
  return column > 0 ? column : seriesIndex;
}

bool Chart::seriesValue(int seriesIndex, int row, double& value) const {
  if (seriesIndex < 1 || seriesIndex >= static_cast<int>(series.size())) return false;
  if (row < 0 || row >= getRowCount()) return false;
  const auto& values = rows[static_cast<std::size_t>(row)].values;
  const auto at = static_cast<std::size_t>(columnOf(seriesIndex) - 1);
  if (at >= values.size() || std::isnan(values[at])) return false;
  value = values[at];
  return true;
}

void Chart::autoscaleRange() {
  if (rows.empty()) return;
  double max = -1e11;
  double min = 1e11;
  const int count = std::min<int>(seriesCount, static_cast<int>(series.size()));
  for (int k = 1; k < count; ++k) {
    const auto at = static_cast<std::size_t>(columnOf(k) - 1);
    for (const ChartRow& row : rows) {
      if (at >= row.values.size()) continue;
      const double v = row.values[at];
      if (v > max) max = v;
      if (v < min) min = v;
    }
  }
  if (max < min) return;  // nothing was read: keep the previous range
  const int step = gridStepY();
  int steps = (step > 0 ? plotRect.height() / step : 0) - 1;
  if (steps < 1) steps = 1;  // a plot lower than two grid steps
  double delta = std::ceil((max - min) / steps);
  if (!std::isfinite(delta) || !std::isfinite(min)) return;
  if (delta <= 0.0) delta = 1.0;  // every value the same
  yMin = min;
  yDelta = delta;
}

void Chart::draw(Painter& painter) {
  const KeptPainterState kept(painter);
  // The frame and the plot's outline: black on white.
  painter.setPen(Pen{kBlack, 1});
  painter.setBrush(kWhite);
  if (showFrame) {
    computeFrameRect();
    painter.rect(frameRect);
  }
  // A zero step (typed in, or left from elsewhere) would make the scale
  // infinite; a step of 1 keeps labels and points consistent.
  if (yDelta == 0.0 || !std::isfinite(yDelta)) yDelta = 1.0;
  layout(painter);
  drawAxes(painter);
  drawForecast(painter);
  beyondScale = false;
  const int count = std::min<int>(seriesCount, static_cast<int>(series.size()));
  for (int k = 1; k < count; ++k) {
    const auto& entry = series[static_cast<std::size_t>(k)];
    const Colour colour = entry.pen ? entry.pen->colour : 0;
    painter.setPen(Pen{colour, lineWidth});
    drawSeries(painter, k);
  }
  drawNow(painter);
}

void Chart::drawNow(Painter& painter) {
  if (nowX < plotRect.left || nowX >= plotRect.right) return;
  painter.setPen(Pen{kNowColour, 1});
  painter.line({nowX, plotRect.top + 1}, {nowX, plotRect.bottom});
  painter.setFont(chartFont(11));
  const std::string text = "now";
  // Right of the line while it fits, else left of it.
  const int width = painter.textSize(text).width;
  const int x = nowX + 3 + width < plotRect.right - 1 ? nowX + 3 : nowX - 3 - width;
  painter.setTextColour(kNowColour);
  painter.setTextBackground(nowX + 3 + width < plotRect.right - 1 ? kFutureShade : kWhite);
  painter.text({x, plotRect.top + 2}, text);
  painter.setTextColour(labelColour);
  painter.setTextBackground(kWhite);
}

void Chart::drawAxes(Painter& painter) {
  const int left = plotRect.left;
  const int top = plotRect.top;
  const int right = plotRect.right;
  const int bottom = plotRect.bottom;
  const int width = plotRect.width();
  const int height = plotRect.height();
  painter.rect(plotRect);
  // The future: shaded, under the grid.
  if (nowX >= left && nowX < right - 2) {
    painter.fillRect(Rect::fromSize(nowX + 1, top + 1, right - 2 - nowX, height - 2), kFutureShade);
    painter.setTextBackground(kWhite);
  }

  painter.setFont(labelFontShown);
  painter.setTextColour(labelColour);
  painter.setPen(gridPen);
  const int labelTop = bottom + 6;

  // Grid lines stay inside the plot's black outline (its last row and
  // column are right - 1 and bottom - 1).
  if (!rows.empty()) {
    if (seriesCount != 0 && !series.empty() && series.front().title) {
      painter.setFont(legendFontShown);
      const std::string axisTitle(cell(*series.front().title));
      const int half = painter.textSize(axisTitle).width / 2;
      const int x = std::clamp(left + width / 2, chartAreaRect.left + half, std::max(chartAreaRect.left + half, chartAreaRect.right - half));
      painter.text({x, labelTop + 2 * labelHeight + 4}, axisTitle, Align::kCentre);
      painter.setFont(labelFontShown);
    }
    drawMinorTicks(painter, false);
    for (const AxisLabel& label : xLabels) {
      if (verticalNet && label.x > left && label.x < right - 1) {
        painter.line({label.x, bottom - 2}, {label.x, top});
      }
      painter.line({label.x, bottom}, {label.x, bottom + 5});
      painter.text({label.x, labelTop}, label.text, Align::kCentre);
      if (!label.date.empty()) painter.text({label.x, labelTop + labelHeight}, label.date, Align::kCentre);
    }
  } else {
    drawMinorTicks(painter, true);
    if (xStep > 0) {
      for (int i = 1; i <= width / xStep; ++i) {
        const int x = left + i * xStep;
        painter.line({x, bottom - 2}, {x, verticalNet && x < right - 1 ? top : bottom + 4});
        painter.text({x, labelTop}, formatWhole(xMin + i * xDelta, 6), Align::kCentre);
      }
    }
  }

  const int step = gridStepY();
  if (step > 0) {
    const int labelX = left - 6 - yLabelWidth / 2;
    for (int i = 0; i <= height / step; ++i) {
      const int y = bottom - i * step;
      if (i >= 1) {
        painter.line({horizontalNet ? left + 1 : left, y}, {horizontalNet ? right - 1 : left - 5, y});
      }
      painter.text({labelX, y - labelHeight / 2}, formatWhole(yMin + i * yDelta, 4), Align::kCentre);
    }
  }

  if (!title.empty()) {
    painter.setFont(titleFontShown);
    painter.setTextColour(titleColour);
    const int lineHeight = std::max(1, painter.textSize("Ag").height);
    drawWrappedText(painter, {(headingRect.left + headingRect.right) / 2, headingRect.top}, Align::kCentre, title,
                    headingRect.width(), lineHeight, headingRect.height() / lineHeight);
  }

  painter.setPen(gridPen);
  if (showLegend) drawLegend(painter);
}

void Chart::drawMinorTicks(Painter& painter, bool alongX) {
  if (minorTicks <= 0) return;
  const int left = plotRect.left;
  const int top = plotRect.top;
  const int right = plotRect.right;
  const int bottom = plotRect.bottom;
  const int mx = xStep / minorTicks;
  if (alongX && xStep > 0 && mx >= 5) {
    for (int k = 0; k <= plotRect.width() / xStep; ++k) {
      for (int j = 0; j < minorTicks; ++j) {
        if (k == 0 && j == 0) continue;
        const int x = left + k * xStep + j * mx;
        if (x < right - 1) {
          painter.line({x, bottom - 2}, {x, bottom - 7});
        }
      }
    }
  }
  const int step = gridStepY();
  const int my = step / minorTicks;
  if (step <= 0 || my < 5) return;
  for (int k = 0; k <= plotRect.height() / step; ++k) {
    for (int j = 0; j < minorTicks; ++j) {
      if (k == 0 && j == 0) continue;
      const int y = bottom - k * step - j * my;
      if (y > top) {
        painter.line({left + 1, y}, {left + 6, y});
      }
    }
  }
}

void Chart::drawLegend(Painter& painter) {
  const int lx = legendRect.left;
  const int indent = sampleLength + 6;
  const int textWidth = legendRect.width() - indent;
  const int lineHeight = legendLineHeight;
  int y = legendRect.top;
  painter.setFont(legendFontShown);
  const int count = std::min<int>(seriesCount, static_cast<int>(series.size()));
  for (int k = 1; k < count; ++k) {
    const ChartSeries& entry = series[static_cast<std::size_t>(k)];
    if (entry.pen) painter.setPen(*entry.pen);
    painter.line({lx, y + lineHeight / 2}, {lx + sampleLength, y + lineHeight / 2});
    int lines = 1;
    if (entry.title) {
      // Padded as written while it fits, else with single blanks, wrapped.
      const std::string_view text = cell(*entry.title);
      if (painter.textSize(text).width <= textWidth) {
        painter.text({lx + indent, y}, text);
      } else {
        lines = std::max(1, drawWrappedText(painter, {lx + indent, y}, Align::kLeft, collapseBlanks(text), textWidth, lineHeight, 3));
      }
    }
    y += lines * lineHeight + 6;
  }
  // Every detail line, wrapped, as far as the column has room; a text cut
  // short ends in "..." and keeps its whole text for a tooltip.
  detailTips.clear();
  std::vector<std::string> texts;
  for (int k = 1; k < count; ++k) {
    const ChartSeries& entry = series[static_cast<std::size_t>(k)];
    if (!entry.detailLines) continue;
    for (const std::string& line : *entry.detailLines) texts.push_back(shownDetailLine(line));
  }
  struct Planned {
    int y;
    std::string text;
    bool square;
  };
  std::vector<Planned> plan;
  const int detailWidth = detailRect.width() - kDetailIndent;
  int ty = detailRect.top;
  int lastTextTop = ty;                // the last non-empty text drawn: its top
  std::size_t lastText = texts.size();  // and its index
  bool lastCut = false;
  std::size_t next = 0;
  for (; next < texts.size(); ++next) {
    const int room = (detailRect.bottom - ty) / lineHeight;
    if (room < 1) break;
    const std::string& text = texts[next];
    // One line more than there is room for tells whether the text is cut.
    const std::vector<std::string> lines = wrapText(painter, text, detailWidth, room + 1);
    const int shown = std::min<int>(room, static_cast<int>(lines.size()));
    for (int j = 0; j < shown; ++j)
      plan.push_back(Planned{ty + j * lineHeight, lines[static_cast<std::size_t>(j)], j == 0});
    if (shown > 0) {
      lastText = next;
      lastTextTop = ty;
      lastCut = shown < static_cast<int>(lines.size()) || text.size() > kMaxCellChars;
      if (lastCut) detailTips.push_back(DetailTip{Rect{lx, ty, legendRect.right, ty + shown * lineHeight}, text});
    }
    ty += std::max(1, shown) * lineHeight + 4;
  }
  // Lines left without room: the last text drawn says so and its tooltip
  // carries them.
  std::string unseen;
  for (std::size_t i = next; i < texts.size(); ++i)
    if (!texts[i].empty()) unseen += "\n" + texts[i];
  if (!unseen.empty() && lastText < texts.size() && !plan.empty()) {
    if (lastCut) {
      detailTips.back().text += unseen;
    } else {
      detailTips.push_back(DetailTip{Rect{lx, lastTextTop, legendRect.right, plan.back().y + lineHeight},
                                     texts[lastText] + unseen});
      lastCut = true;
    }
  }
  if (lastCut && !plan.empty()) {
    std::string& line = plan.back().text;
    const std::string original = line;
    while (!line.empty() && (isSpace(line.back()) || painter.textSize(line + "...").width > detailWidth)) line.pop_back();
    // Cut inside a word: back to the word before, when one is near.
    if (line.size() < original.size() && !isSpace(original[line.size()])) {
      const std::size_t blank = line.find_last_of(' ');
      if (blank != std::string::npos && blank >= line.size() / 2) line.erase(line.find_last_not_of(' ', blank) + 1);
    }
    line += "...";
  }
  for (const Planned& line : plan) {
    if (line.square) {
      painter.fillRect(Rect::fromSize(lx, line.y + lineHeight / 2 - 2, 5, 5), kDetailSquare);
      painter.setTextBackground(kWhite);
    }
    painter.text({lx + kDetailIndent, line.y}, line.text);
  }
}

std::string Chart::detailTipAt(int x, int y) const {
  for (const DetailTip& tip : detailTips) {
    if (x >= tip.area.left && x < tip.area.right && y >= tip.area.top && y < tip.area.bottom) return tip.text;
  }
  return {};
}

namespace {

// A small filled arrow on the plot's edge at x, pointing out of the plot:
// up on the top edge, down on the bottom edge.
void drawEdgeArrow(Painter& painter, int x, int edgeY, bool up) {
  for (int i = 0; i < 4; ++i) {
    const int y = up ? edgeY + 1 + i : edgeY - 1 - i;
    painter.line({x - i, y}, {x + i + 1, y});
  }
}

}  // namespace

void Chart::drawSeries(Painter& painter, int seriesIndex) {
  const auto at = static_cast<std::size_t>(columnOf(seriesIndex) - 1);
  const int mark = series[static_cast<std::size_t>(seriesIndex)].markSize;
  const int top = plotRect.top;
  const int bottom = plotRect.bottom;
  const Pen linePen = painter.pen();
  bool havePrevious = false;
  int px = 0;
  int py = 0;
  // The last arrow's X on each edge, so a long run beyond the scale gets a
  // row of arrows, not a smear.
  int lastArrowAbove = std::numeric_limits<int>::min() / 2;
  int lastArrowBelow = std::numeric_limits<int>::min() / 2;
  const int count = getRowCount();
  auto hasValue = [at](const ChartRow& row) { return at < row.values.size() && !std::isnan(row.values[at]); };
  for (int d = 0; d < count; ++d) {
    const auto& values = rows[static_cast<std::size_t>(d)].values;
    if (!hasValue(rows[static_cast<std::size_t>(d)])) {  // no value here: a gap
      havePrevious = false;
      continue;
    }
    const int x = xPosition(d);
    const int y = yPosition(values[at]);
    const bool inside = y >= top && y <= bottom;
    if (havePrevious) {
      // The segment cut to the plot's rows; a value beyond the scale takes
      // its line to the edge.
      const double y0 = py;
      const double y1 = y;
      const double low = std::max<double>(top, std::min(y0, y1));
      const double high = std::min<double>(bottom, std::max(y0, y1));
      if (low <= high) {
        auto xAt = [&](double yy) {
          return y1 == y0 ? static_cast<double>(px) : px + (yy - y0) * (x - px) / (y1 - y0);
        };
        const double ya = std::clamp(y0, low, high);
        const double yb = std::clamp(y1, low, high);
        painter.line({ya == y0 ? px : static_cast<int>(std::lround(xAt(ya))), static_cast<int>(ya)},
                     {yb == y1 ? x : static_cast<int>(std::lround(xAt(yb))), static_cast<int>(yb)});
      }
    }
    if (!inside) {
      beyondScale = true;
      const bool above = y < top;
      int& lastArrow = above ? lastArrowAbove : lastArrowBelow;
      if (x - lastArrow >= kArrowSpacing) {
        painter.setPen(Pen{linePen.colour, 1});
        // Held inside the plot's sides, whole.
        drawEdgeArrow(painter, std::clamp(x, plotRect.left + 4, std::max(plotRect.left + 4, plotRect.right - 5)),
                      above ? top : bottom, above);
        painter.setPen(linePen);
        lastArrow = x;
      }
    } else {
      // A value with a gap on both sides has no line to show it: a short
      // mark of the series' pen does.
      const bool nextHasValue = d + 1 < count && hasValue(rows[static_cast<std::size_t>(d) + 1]);
      if (!havePrevious && !nextHasValue) painter.line({x - 2, y}, {x + 2, y});
      if (showMarks) painter.fillRect(Rect::fromSize(x - mark / 2, y - mark / 2, mark, mark), kBlack);
    }
    havePrevious = true;
    px = x;
    py = y;
  }
}

Pen Chart::dialPen() const {
  Pen pen = gridPen;
  if (!showLegend) return pen;
  const int count = std::min<int>(seriesCount, static_cast<int>(series.size()));
  for (int k = 1; k < count; ++k)
    if (series[static_cast<std::size_t>(k)].pen) pen = *series[static_cast<std::size_t>(k)].pen;
  return pen;
}

void Chart::drawWindIndicator(Painter& painter, double direction, double speed) {
  const KeptPainterState kept(painter);
  const Pen rim = dialPen();
  painter.setPen(rim);
  painter.setBrush(kWhite);
  const int r = dialRadius;
  const int cx = (dialRect.left + dialRect.right) / 2;
  const int cy = dialRect.top + r;
  painter.ellipse(Rect{cx - r, cy - r, cx + r, cy + r});
  // A calm or a variable wind has no direction to point at: the dial says
  // so in words instead of drawing an arrow from a NaN.
  const bool calm = std::isfinite(speed) && speed <= 0.0;
  if (calm || !std::isfinite(speed) || !std::isfinite(direction)) {
    painter.ellipse(Rect{cx - 5, cy - 5, cx + 5, cy + 5});
    painter.setTextColour(labelColour);
    painter.setTextBackground(kWhite);
    painter.setFont(legendFontShown);
    const char* word = calm ? "calm" : std::isfinite(speed) ? "VRB" : "";
    if (*word != '\0') painter.text({cx, cy + r + 2}, word, Align::kCentre);
    return;
  }
  const double angle = direction * kDegreesToRadians;
  // Speed + 5 pixels on the full-size dial, scaled with it, never past its rim.
  const double length = std::min<double>(r, (speed + 5) * r / 30.0);
  const int ex = truncToInt(cx + std::trunc(-length * std::sin(angle)));
  const int ey = truncToInt(cy + std::trunc(length * std::cos(angle)));
  const Pen pen = speed >= 30 ? Pen{rgb(255, 0, 0), 2}
                               : Pen{rgb(truncToInt(speed * 8.5) & 0xFF, 0, 0), 1};
  painter.setPen(pen);
  painter.line({cx, cy}, {ex, ey});
  painter.setPen(rim);
  painter.ellipse(Rect{cx - 5, cy - 5, cx + 5, cy + 5});
  painter.setTextColour(labelColour);
  painter.setTextBackground(kWhite);
  painter.setFont(legendFontShown);
  painter.text({cx, cy + r + 2}, formatWhole(direction, 0), Align::kCentre);
}

std::vector<std::string> wrapText(Painter& painter, std::string_view text, int maxWidth, int maxLines) {
  std::vector<std::string> lines;
  text = cell(text);
  auto fits = [&](std::string_view part) { return painter.textSize(part).width <= maxWidth; };
  while (!text.empty() && static_cast<int>(lines.size()) < maxLines) {
    if (fits(text)) {
      lines.emplace_back(text);
      break;
    }
    // The longest prefix that fits, found by halving; one character at least.
    std::size_t low = 1;
    std::size_t high = text.size() - 1;
    while (low < high) {
      const std::size_t mid = (low + high + 1) / 2;
      if (fits(text.substr(0, mid))) {
        low = mid;
      } else {
        high = mid - 1;
      }
    }
    std::size_t cut = low;
    if (!isSpace(text[cut])) {
      const std::size_t blank = text.substr(0, cut).find_last_of(' ');
      if (blank != std::string_view::npos && blank > 0) cut = blank;
    }
    std::string_view line = text.substr(0, cut);
    while (!line.empty() && isSpace(line.back())) line.remove_suffix(1);
    lines.emplace_back(line);
    text.remove_prefix(cut);
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  }
  return lines;
}

int drawWrappedText(Painter& painter, Point at, Align align, std::string_view text, int maxWidth, int lineHeight,
                    int maxLines) {
  const std::vector<std::string> lines = wrapText(painter, text, maxWidth, maxLines);
  for (const std::string& line : lines) {
    painter.text(at, line, align);
    at.y += lineHeight;
  }
  return static_cast<int>(lines.size());
}

}  // namespace nimbrel
