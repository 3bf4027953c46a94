#include "charts/Chart.h"
#include "base/Text.h"

#include <cmath>
#include <limits>
#include <stdexcept>

#include "charts/ChartText.h"

namespace nimbrel {
namespace {

constexpr Colour kWhite = rgb(255, 255, 255);
constexpr Colour kDetailSquare = rgb(0, 150, 100);
constexpr std::size_t kLegendTitleChars = 30;
constexpr std::size_t kDetailLineChars = 35;
constexpr int kDetailLineHeight = 15;
constexpr int kDetailLineAdvance = 20;
constexpr double kDegreesToRadians = 0.0174532925;  // the dial's own constant, kept as is

// A detail line as shown: every "<BR>" becomes one blank, ends trimmed.
std::string cleanDetailLine(const std::string& line) {
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

FontSpec chartFont(int height) { return FontSpec{"Arial Cyr", height, 400}; }

}  // namespace

Chart::Chart(ChartOwner* chartOwner)
    : owner(chartOwner),
      drawContext(nullptr),
      titleFont(chartFont(16)),
      labelFont(chartFont(14)),
      legendFont(chartFont(14)),
      gridPen{PS_SOLID, 1, rgb(220, 220, 220)} {
  reset();
}

void Chart::reset() {
  series.clear();
  rows.clear();
  spreadRows = false;
  fitToWindow = true;
  sideMargin = 10;
  plotInset = 50;
  legendWidth = 155;
  xStep = 50;
  yStep = 50;
  minorTicks = 5;
  drawContext = nullptr;
  frameRect = Rect{20, 20, 820, 520};
  plotRect = Rect{};
  titleColour = 0;
  labelColour = 0;
  scratchText.clear();
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

void Chart::addRow(TextLines row) {
  Row entry;
  entry.values.resize(row.size(), 0.0);
  for (std::size_t k = 1; k < row.size(); ++k) entry.values[k] = readNumber(row[k]);
  entry.texts = std::move(row);
  rows.push_back(std::move(entry));
}

void Chart::setDetailLines(int seriesIndex, TextLines lines) {
  if (seriesIndex < 0 || seriesIndex >= static_cast<int>(series.size()))
    throw std::out_of_range("CGraph::SetDetailLines");
  series[static_cast<std::size_t>(seriesIndex)].detailLines = std::move(lines);
}

const TextLines& Chart::getRow(int index) const {
  if (index < 0 || index >= getRowCount()) throw std::out_of_range("CGraph::GetRow");
  return rows[static_cast<std::size_t>(index)].texts;
}

void Chart::computeFrameRect() {
  if (!fitToWindow || owner == nullptr) return;
  const Rect client = owner->getClientRect();
  frameRect = Rect{client.left + sideMargin, client.top + topMargin, client.right - sideMargin,
                    client.bottom - sideMargin};
}

void Chart::computePlotRect() {
  plotRect = frameRect;
  plotRect.inflateRect(-plotInset, -plotInset);
  plotRect.right -= showLegend ? legendWidth : sideMargin;
}

void Chart::computeXStep() {
  const int count = getRowCount();
  if (count == 0) return;
  const int width = plotRect.width();
  const int step = count == 1 ? width : width / (count - 1);
  // More rows than pixels would give a step of 0: keep a step of 1 for the
  // numeric axis of a later draw and spread the rows over the width instead.
  spreadRows = step < 1;
  xStep = spreadRows ? 1 : step;
}

int Chart::xPosition(int row) const {
  if (!spreadRows) return plotRect.left + row * xStep;
  const long long count = getRowCount();
  if (count <= 1) return plotRect.left;
  const long long width = plotRect.width() > 0 ? plotRect.width() : 0;
  return plotRect.left + static_cast<int>(row * width / (count - 1));
}

double Chart::pixelsPerUnit() const {
  const double delta = (yDelta != 0.0 && std::isfinite(yDelta)) ? yDelta : 1.0;
  return yStep / delta;
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
  const auto column = static_cast<std::size_t>(columnOf(seriesIndex));
  if (column >= values.size()) return false;
  value = values[column];
  return true;
}

void Chart::autoscaleRange() {
  if (rows.empty()) return;
  double max = -1e11;
  double min = 1e11;
  const int count = std::min<int>(seriesCount, static_cast<int>(series.size()));
  for (int k = 1; k < count; ++k) {
    const auto column = static_cast<std::size_t>(columnOf(k));
    for (const Row& row : rows) {
      if (column >= row.values.size()) continue;
      const double v = row.values[column];
      if (v > max) max = v;
      if (v < min) min = v;
    }
  }
  if (max < min) return;  // nothing was read: keep the previous range
  int steps = (yStep > 0 ? plotRect.height() / yStep : 0) - 1;
  if (steps < 1) steps = 1;  // a plot lower than two grid steps
  double delta = std::ceil((max - min) / steps);
  if (!std::isfinite(delta) || !std::isfinite(min)) return;
  if (delta <= 0.0) delta = 1.0;  // every value the same
  yMin = min;
  yDelta = delta;
}

void Chart::draw(DrawContext& dc) {
  drawContext = &dc;
  if (showFrame) {
    computeFrameRect();
    dc.rectangle(frameRect.left, frameRect.top, frameRect.right, frameRect.bottom);
  }
  // A zero step (typed in, or left from elsewhere) would make the scale
  // infinite; a step of 1 keeps labels and points consistent.
  if (yDelta == 0.0 || !std::isfinite(yDelta)) yDelta = 1.0;
  drawAxes(dc);
  const Pen remembered = dc.getCurrentPen();
  const int count = std::min<int>(seriesCount, static_cast<int>(series.size()));
  for (int k = 1; k < count; ++k) {
    const auto& entry = series[static_cast<std::size_t>(k)];
    const Colour colour = entry.pen ? entry.pen->colour : 0;
    dc.selectPen(Pen{PS_SOLID, lineWidth, colour});
    drawSeries(dc, k);
  }
  dc.selectPen(remembered);
}

void Chart::drawAxes(DrawContext& dc) {
  computePlotRect();
  const int left = plotRect.left;
  const int top = plotRect.top;
  const int right = plotRect.right;
  const int bottom = plotRect.bottom;
  const int width = plotRect.width();
  const int height = plotRect.height();
  dc.rectangle(left, top, right, bottom);

  const FontSpec oldFont = dc.selectFont(labelFont);
  dc.setTextAlign(TA_CENTER | TA_TOP);
  dc.setTextColor(labelColour);
  const Pen oldPen = dc.selectPen(gridPen);

  if (!rows.empty()) {
    if (seriesCount != 0 && !series.empty() && series.front().title) {
      dc.selectFont(legendFont);
      dc.textOut(left + width / 2, frameRect.bottom - 20, *series.front().title);
      dc.selectFont(labelFont);
    }
    computeXStep();
    drawMinorTicks(dc);
    int labelLimit = left;
    const int count = getRowCount();
    for (int d = 0; d < count; ++d) {
      const int x = xPosition(d);
      dc.moveTo(x, bottom - 1);
      dc.lineTo(x, (verticalNet && d >= 1) ? top : bottom + 4);
      const TextLines& texts = rows[static_cast<std::size_t>(d)].texts;
      if (texts.empty()) continue;  // no label to show
      if (d == 0 || x > labelLimit) {
        dc.moveTo(x, bottom);
        dc.lineTo(x, bottom + 5);
        dc.textOut(x, bottom + 4, texts.front());
        labelLimit = truncToInt(labelLimit + std::trunc(2.5 * dc.getTextExtent(texts.front()).cx));
      }
    }
  } else {
    drawMinorTicks(dc);
    if (xStep > 0) {
      for (int i = 1; i <= width / xStep; ++i) {
        const int x = left + i * xStep;
        dc.moveTo(x, bottom - 1);
        dc.lineTo(x, verticalNet ? top : bottom + 4);
        dc.textOut(x, bottom + 4, formatWhole(xMin + i * xDelta, 6));
      }
    }
  }

  if (autoscale) autoscaleRange();

  if (yStep > 0) {
    for (int i = 0; i <= height / yStep; ++i) {
      const int y = bottom - i * yStep;
      if (i >= 1) {
        dc.moveTo(left, y);
        dc.lineTo(horizontalNet ? right : left - 5, y);
      }
      dc.textOut(left - 22, y - 7, formatWhole(yMin + i * yDelta, 4));
    }
  }

  dc.selectFont(oldFont);
  dc.selectPen(oldPen);

  if (!title.empty()) {
    const FontSpec previous = dc.selectFont(titleFont);
    dc.setTextAlign(TA_CENTER | TA_TOP);
    dc.setTextColor(titleColour);
    dc.textOut(left + width / 2, frameRect.top + plotInset / 4, title);
    dc.selectFont(previous);
  }

  dc.selectPen(gridPen);
  if (showLegend) drawLegend(dc);
}

void Chart::drawMinorTicks(DrawContext& dc) {
  if (minorTicks <= 0) return;
  const int left = plotRect.left;
  const int top = plotRect.top;
  const int right = plotRect.right;
  const int bottom = plotRect.bottom;
  const int mx = xStep / minorTicks;
  if (mx < 5) return;
  for (int k = 0; k <= plotRect.width() / xStep; ++k) {
    for (int j = 0; j < minorTicks; ++j) {
      if (k == 0 && j == 0) continue;
      const int x = left + k * xStep + j * mx;
      if (x < right) {
        dc.moveTo(x, bottom - 1);
        dc.lineTo(x, bottom - 6);
      }
    }
  }
  const int my = yStep / minorTicks;
  if (my < 5) return;
  for (int k = 0; k <= plotRect.height() / yStep; ++k) {
    for (int j = 0; j < minorTicks; ++j) {
      if (k == 0 && j == 0) continue;
      const int y = bottom - k * yStep - j * my;
      if (y > top) {
        dc.moveTo(left + 1, y);
        dc.lineTo(left + 6, y);
      }
    }
  }
}

void Chart::drawLegend(DrawContext& dc) {
  const int lx = plotRect.right + 10;
  int y = plotRect.top;
  dc.setTextAlign(TA_LEFT | TA_TOP);
  dc.selectFont(legendFont);
  const int count = std::min<int>(seriesCount, static_cast<int>(series.size()));
  for (int k = 1; k < count; ++k) {
    const ChartSeries& entry = series[static_cast<std::size_t>(k)];
    if (entry.pen) dc.selectPen(*entry.pen);
    dc.moveTo(lx, y);
    dc.lineTo(lx + 20, y);
    if (entry.title) dc.textOut(lx + 30, y - 5, entry.title->substr(0, kLegendTitleChars));
    if (entry.detailLines && !entry.detailLines->empty()) {
      int ty = y + 30;
      dc.setTextAlign(TA_LEFT | TA_TOP);
      for (const std::string& line : *entry.detailLines) {
        const std::string text = cleanDetailLine(line);
        if (!text.empty()) {
          dc.fillSolidRect(lx - 4, ty + 4, 5, 5, kDetailSquare);
          dc.setBkColor(kWhite);
        }
        ty += kDetailLineAdvance * drawWrappedText(dc, lx + 5, ty, text, kDetailLineChars, kDetailLineHeight);
        if (ty > plotRect.bottom) break;
      }
    }
    y += 20;
  }
}

void Chart::drawSeries(DrawContext& dc, int seriesIndex) {
  const auto column = static_cast<std::size_t>(columnOf(seriesIndex));
  const int mark = series[static_cast<std::size_t>(seriesIndex)].markSize;
  const int top = plotRect.top;
  const int bottom = plotRect.bottom;
  bool havePrevious = false;
  bool previousInside = false;
  int px = 0;
  int py = 0;
  const int count = getRowCount();
  for (int d = 0; d < count; ++d) {
    const auto& values = rows[static_cast<std::size_t>(d)].values;
    if (column >= values.size()) {  // the row lacks this column: a gap
      havePrevious = false;
      continue;
    }
    const int x = xPosition(d);
    const int y = yPosition(values[column]);
    const bool inside = y >= top && y <= bottom;
    const bool drawn = havePrevious ? (previousInside && inside) : inside;
    if (havePrevious && drawn) {
      dc.moveTo(px, py);
      dc.lineTo(x, y);
    }
    if (showMarks && drawn) dc.fillSolidRect(x - mark / 2, y - mark / 2, mark, mark, 0);
    havePrevious = true;
    previousInside = inside;
    px = x;
    py = y;
  }
}

void Chart::drawWindIndicator(double direction, double speed) {
  if (drawContext == nullptr) return;
  DrawContext& dc = *drawContext;
  const int cx = plotRect.right + (frameRect.right - plotRect.right) / 2;
  const int cy = frameRect.bottom - 50;
  dc.ellipse(cx - 30, cy - 30, cx + 30, cy + 30);
  const double angle = direction * kDegreesToRadians;
  const double length = speed + 5;
  const int ex = truncToInt(cx + std::trunc(-length * std::sin(angle)));
  const int ey = truncToInt(cy + std::trunc(length * std::cos(angle)));
  const Pen pen = speed >= 30 ? Pen{PS_SOLID, 2, rgb(255, 0, 0)}
                               : Pen{PS_SOLID, 1, rgb(truncToInt(speed * 8.5) & 0xFF, 0, 0)};
  const Pen previous = dc.selectPen(pen);
  dc.moveTo(cx, cy);
  dc.lineTo(ex, ey);
  dc.selectPen(previous);
  dc.ellipse(cx - 5, cy - 5, cx + 5, cy + 5);
  scratchText = formatWhole(direction, 0);
  dc.setBkColor(kWhite);
  dc.textOut(cx + 30, cy + 30, scratchText);
}

int drawWrappedText(DrawContext& dc, int x, int y, std::string_view text, std::size_t maxChars,
                    int lineHeight) {
  if (maxChars == 0) maxChars = 1;  // a cut of 0 would never shorten the text
  int lines = 1;
  while (text.size() > maxChars) {
    ++lines;
    const std::size_t blank = text.substr(0, maxChars).rfind(' ');
    const std::size_t cut = blank == std::string_view::npos ? maxChars : blank;
    dc.textOut(x, y, std::string(text.substr(0, cut)));
    text.remove_prefix(cut);
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    y += lineHeight;
  }
  dc.textOut(x, y, std::string(text));
  return lines;
}

}  // namespace nimbrel
