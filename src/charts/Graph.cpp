#include "charts/Graph.h"

#include <cmath>
#include <limits>
#include <stdexcept>

#include "charts/ChartText.h"

namespace nimbrel {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kDetailSquare = RGB(0, 150, 100);
constexpr std::size_t kLegendTitleChars = 30;
constexpr std::size_t kDetailLineChars = 35;
constexpr int kDetailLineHeight = 15;
constexpr int kDetailLineAdvance = 20;
constexpr double kDegreesToRadians = 0.0174532925;  // the dial's own constant, kept as is

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string_view TrimSpace(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

// A detail line as shown: every "<BR>" becomes one blank, ends trimmed.
std::string CleanDetailLine(const std::string& line) {
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
  return std::string(TrimSpace(result));
}

CFontSpec ChartFont(int height) { return CFontSpec{"Arial Cyr", height, 400}; }

}  // namespace

CGraph::CGraph(IChartOwner* chartOwner)
    : owner(chartOwner),
      drawContext(nullptr),
      titleFont(ChartFont(16)),
      labelFont(ChartFont(14)),
      legendFont(ChartFont(14)),
      gridPen{PS_SOLID, 1, RGB(220, 220, 220)} {
  Reset();
}

void CGraph::Reset() {
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
  frameRect = CRect{20, 20, 820, 520};
  plotRect = CRect{};
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

int CGraph::AddSeries(int markSize, std::optional<std::string> seriesTitle, std::optional<CPen> seriesPen,
                      std::optional<CStringArray> seriesDetailLines, int valueColumn) {
  series.push_back(GraphSeries{markSize, std::move(seriesTitle), seriesPen, std::move(seriesDetailLines),
                               valueColumn});
  return static_cast<int>(series.size()) - 1;
}

void CGraph::AddRow(CStringArray row) {
  Row entry;
  entry.values.resize(row.size(), 0.0);
  for (std::size_t k = 1; k < row.size(); ++k) entry.values[k] = ReadNumber(row[k]);
  entry.texts = std::move(row);
  rows.push_back(std::move(entry));
}

void CGraph::SetDetailLines(int seriesIndex, CStringArray lines) {
  if (seriesIndex < 0 || seriesIndex >= static_cast<int>(series.size()))
    throw std::out_of_range("CGraph::SetDetailLines");
  series[static_cast<std::size_t>(seriesIndex)].detailLines = std::move(lines);
}

const CStringArray& CGraph::GetRow(int index) const {
  if (index < 0 || index >= GetRowCount()) throw std::out_of_range("CGraph::GetRow");
  return rows[static_cast<std::size_t>(index)].texts;
}

void CGraph::ComputeFrameRect() {
  if (!fitToWindow || owner == nullptr) return;
  const CRect client = owner->GetClientRect();
  frameRect = CRect{client.left + sideMargin, client.top + topMargin, client.right - sideMargin,
                    client.bottom - sideMargin};
}

void CGraph::ComputePlotRect() {
  plotRect = frameRect;
  plotRect.InflateRect(-plotInset, -plotInset);
  plotRect.right -= showLegend ? legendWidth : sideMargin;
}

void CGraph::ComputeXStep() {
  const int count = GetRowCount();
  if (count == 0) return;
  const int width = plotRect.Width();
  const int step = count == 1 ? width : width / (count - 1);
  // More rows than pixels would give a step of 0: keep a step of 1 for the
  // numeric axis of a later draw and spread the rows over the width instead.
  spreadRows = step < 1;
  xStep = spreadRows ? 1 : step;
}

int CGraph::XPosition(int row) const {
  if (!spreadRows) return plotRect.left + row * xStep;
  const long long count = GetRowCount();
  if (count <= 1) return plotRect.left;
  const long long width = plotRect.Width() > 0 ? plotRect.Width() : 0;
  return plotRect.left + static_cast<int>(row * width / (count - 1));
}

double CGraph::PixelsPerUnit() const {
  const double delta = (yDelta != 0.0 && std::isfinite(yDelta)) ? yDelta : 1.0;
  return yStep / delta;
}

int CGraph::YPosition(double value) const {
  const double p = PixelsPerUnit();
  // Each product is truncated on its own; the sum is formed in double so a
  // wild value saturates instead of overflowing.
  const double y = plotRect.bottom - std::trunc(value * p) + std::trunc(yMin * p);
  if (std::isnan(y)) return std::numeric_limits<int>::min();  // never inside the plot
  return TruncToInt(y);
}

int CGraph::ColumnOf(int seriesIndex) const {
  const int column = series[static_cast<std::size_t>(seriesIndex)].valueColumn;
  return column > 0 ? column : seriesIndex;
}

bool CGraph::SeriesValue(int seriesIndex, int row, double& value) const {
  if (seriesIndex < 1 || seriesIndex >= static_cast<int>(series.size())) return false;
  if (row < 0 || row >= GetRowCount()) return false;
  const auto& values = rows[static_cast<std::size_t>(row)].values;
  const auto column = static_cast<std::size_t>(ColumnOf(seriesIndex));
  if (column >= values.size()) return false;
  value = values[column];
  return true;
}

void CGraph::Autoscale() {
  if (rows.empty()) return;
  double max = -1e11;
  double min = 1e11;
  const int count = std::min<int>(seriesCount, static_cast<int>(series.size()));
  for (int k = 1; k < count; ++k) {
    const auto column = static_cast<std::size_t>(ColumnOf(k));
    for (const Row& row : rows) {
      if (column >= row.values.size()) continue;
      const double v = row.values[column];
      if (v > max) max = v;
      if (v < min) min = v;
    }
  }
  if (max < min) return;  // nothing was read: keep the previous range
  int steps = (yStep > 0 ? plotRect.Height() / yStep : 0) - 1;
  if (steps < 1) steps = 1;  // a plot lower than two grid steps
  double delta = std::ceil((max - min) / steps);
  if (!std::isfinite(delta) || !std::isfinite(min)) return;
  if (delta <= 0.0) delta = 1.0;  // every value the same
  yMin = min;
  yDelta = delta;
}

void CGraph::Draw(IDrawContext& dc) {
  drawContext = &dc;
  if (showFrame) {
    ComputeFrameRect();
    dc.Rectangle(frameRect.left, frameRect.top, frameRect.right, frameRect.bottom);
  }
  // A zero step (typed in, or left from elsewhere) would make the scale
  // infinite; a step of 1 keeps labels and points consistent.
  if (yDelta == 0.0 || !std::isfinite(yDelta)) yDelta = 1.0;
  DrawAxes(dc);
  const CPen remembered = dc.GetCurrentPen();
  const int count = std::min<int>(seriesCount, static_cast<int>(series.size()));
  for (int k = 1; k < count; ++k) {
    const auto& entry = series[static_cast<std::size_t>(k)];
    const COLORREF colour = entry.pen ? entry.pen->colour : 0;
    dc.SelectPen(CPen{PS_SOLID, lineWidth, colour});
    DrawSeries(dc, k);
  }
  dc.SelectPen(remembered);
}

void CGraph::DrawAxes(IDrawContext& dc) {
  ComputePlotRect();
  const int left = plotRect.left;
  const int top = plotRect.top;
  const int right = plotRect.right;
  const int bottom = plotRect.bottom;
  const int width = plotRect.Width();
  const int height = plotRect.Height();
  dc.Rectangle(left, top, right, bottom);

  const CFontSpec oldFont = dc.SelectFont(labelFont);
  dc.SetTextAlign(TA_CENTER | TA_TOP);
  dc.SetTextColor(labelColour);
  const CPen oldPen = dc.SelectPen(gridPen);

  if (!rows.empty()) {
    if (seriesCount != 0 && !series.empty() && series.front().title) {
      dc.SelectFont(legendFont);
      dc.TextOut(left + width / 2, frameRect.bottom - 20, *series.front().title);
      dc.SelectFont(labelFont);
    }
    ComputeXStep();
    DrawMinorTicks(dc);
    int labelLimit = left;
    const int count = GetRowCount();
    for (int d = 0; d < count; ++d) {
      const int x = XPosition(d);
      dc.MoveTo(x, bottom - 1);
      dc.LineTo(x, (verticalNet && d >= 1) ? top : bottom + 4);
      const CStringArray& texts = rows[static_cast<std::size_t>(d)].texts;
      if (texts.empty()) continue;  // no label to show
      if (d == 0 || x > labelLimit) {
        dc.MoveTo(x, bottom);
        dc.LineTo(x, bottom + 5);
        dc.TextOut(x, bottom + 4, texts.front());
        labelLimit = TruncToInt(labelLimit + std::trunc(2.5 * dc.GetTextExtent(texts.front()).cx));
      }
    }
  } else {
    DrawMinorTicks(dc);
    if (xStep > 0) {
      for (int i = 1; i <= width / xStep; ++i) {
        const int x = left + i * xStep;
        dc.MoveTo(x, bottom - 1);
        dc.LineTo(x, verticalNet ? top : bottom + 4);
        dc.TextOut(x, bottom + 4, FormatWhole(xMin + i * xDelta, 6));
      }
    }
  }

  if (autoscale) Autoscale();

  if (yStep > 0) {
    for (int i = 0; i <= height / yStep; ++i) {
      const int y = bottom - i * yStep;
      if (i >= 1) {
        dc.MoveTo(left, y);
        dc.LineTo(horizontalNet ? right : left - 5, y);
      }
      dc.TextOut(left - 22, y - 7, FormatWhole(yMin + i * yDelta, 4));
    }
  }

  dc.SelectFont(oldFont);
  dc.SelectPen(oldPen);

  if (!title.empty()) {
    const CFontSpec previous = dc.SelectFont(titleFont);
    dc.SetTextAlign(TA_CENTER | TA_TOP);
    dc.SetTextColor(titleColour);
    dc.TextOut(left + width / 2, frameRect.top + plotInset / 4, title);
    dc.SelectFont(previous);
  }

  dc.SelectPen(gridPen);
  if (showLegend) DrawLegend(dc);
}

void CGraph::DrawMinorTicks(IDrawContext& dc) {
  if (minorTicks <= 0) return;
  const int left = plotRect.left;
  const int top = plotRect.top;
  const int right = plotRect.right;
  const int bottom = plotRect.bottom;
  const int mx = xStep / minorTicks;
  if (mx < 5) return;
  for (int k = 0; k <= plotRect.Width() / xStep; ++k) {
    for (int j = 0; j < minorTicks; ++j) {
      if (k == 0 && j == 0) continue;
      const int x = left + k * xStep + j * mx;
      if (x < right) {
        dc.MoveTo(x, bottom - 1);
        dc.LineTo(x, bottom - 6);
      }
    }
  }
  const int my = yStep / minorTicks;
  if (my < 5) return;
  for (int k = 0; k <= plotRect.Height() / yStep; ++k) {
    for (int j = 0; j < minorTicks; ++j) {
      if (k == 0 && j == 0) continue;
      const int y = bottom - k * yStep - j * my;
      if (y > top) {
        dc.MoveTo(left + 1, y);
        dc.LineTo(left + 6, y);
      }
    }
  }
}

void CGraph::DrawLegend(IDrawContext& dc) {
  const int lx = plotRect.right + 10;
  int y = plotRect.top;
  dc.SetTextAlign(TA_LEFT | TA_TOP);
  dc.SelectFont(legendFont);
  const int count = std::min<int>(seriesCount, static_cast<int>(series.size()));
  for (int k = 1; k < count; ++k) {
    const GraphSeries& entry = series[static_cast<std::size_t>(k)];
    if (entry.pen) dc.SelectPen(*entry.pen);
    dc.MoveTo(lx, y);
    dc.LineTo(lx + 20, y);
    if (entry.title) dc.TextOut(lx + 30, y - 5, entry.title->substr(0, kLegendTitleChars));
    if (entry.detailLines && !entry.detailLines->empty()) {
      int ty = y + 30;
      dc.SetTextAlign(TA_LEFT | TA_TOP);
      for (const std::string& line : *entry.detailLines) {
        const std::string text = CleanDetailLine(line);
        if (!text.empty()) {
          dc.FillSolidRect(lx - 4, ty + 4, 5, 5, kDetailSquare);
          dc.SetBkColor(kWhite);
        }
        ty += kDetailLineAdvance * DrawWrappedText(dc, lx + 5, ty, text, kDetailLineChars, kDetailLineHeight);
        if (ty > plotRect.bottom) break;
      }
    }
    y += 20;
  }
}

void CGraph::DrawSeries(IDrawContext& dc, int seriesIndex) {
  const auto column = static_cast<std::size_t>(ColumnOf(seriesIndex));
  const int mark = series[static_cast<std::size_t>(seriesIndex)].markSize;
  const int top = plotRect.top;
  const int bottom = plotRect.bottom;
  bool havePrevious = false;
  bool previousInside = false;
  int px = 0;
  int py = 0;
  const int count = GetRowCount();
  for (int d = 0; d < count; ++d) {
    const auto& values = rows[static_cast<std::size_t>(d)].values;
    if (column >= values.size()) {  // the row lacks this column: a gap
      havePrevious = false;
      continue;
    }
    const int x = XPosition(d);
    const int y = YPosition(values[column]);
    const bool inside = y >= top && y <= bottom;
    const bool drawn = havePrevious ? (previousInside && inside) : inside;
    if (havePrevious && drawn) {
      dc.MoveTo(px, py);
      dc.LineTo(x, y);
    }
    if (showMarks && drawn) dc.FillSolidRect(x - mark / 2, y - mark / 2, mark, mark, 0);
    havePrevious = true;
    previousInside = inside;
    px = x;
    py = y;
  }
}

void CGraph::DrawWindIndicator(double direction, double speed) {
  if (drawContext == nullptr) return;
  IDrawContext& dc = *drawContext;
  const int cx = plotRect.right + (frameRect.right - plotRect.right) / 2;
  const int cy = frameRect.bottom - 50;
  dc.Ellipse(cx - 30, cy - 30, cx + 30, cy + 30);
  const double angle = direction * kDegreesToRadians;
  const double length = speed + 5;
  const int ex = TruncToInt(cx + std::trunc(-length * std::sin(angle)));
  const int ey = TruncToInt(cy + std::trunc(length * std::cos(angle)));
  const CPen pen = speed >= 30 ? CPen{PS_SOLID, 2, RGB(255, 0, 0)}
                               : CPen{PS_SOLID, 1, RGB(TruncToInt(speed * 8.5) & 0xFF, 0, 0)};
  const CPen previous = dc.SelectPen(pen);
  dc.MoveTo(cx, cy);
  dc.LineTo(ex, ey);
  dc.SelectPen(previous);
  dc.Ellipse(cx - 5, cy - 5, cx + 5, cy + 5);
  scratchText = FormatWhole(direction, 0);
  dc.SetBkColor(kWhite);
  dc.TextOut(cx + 30, cy + 30, scratchText);
}

int DrawWrappedText(IDrawContext& dc, int x, int y, std::string_view text, std::size_t maxChars,
                    int lineHeight) {
  if (maxChars == 0) maxChars = 1;  // a cut of 0 would never shorten the text
  int lines = 1;
  while (text.size() > maxChars) {
    ++lines;
    const std::size_t blank = text.substr(0, maxChars).rfind(' ');
    const std::size_t cut = blank == std::string_view::npos ? maxChars : blank;
    dc.TextOut(x, y, std::string(text.substr(0, cut)));
    text.remove_prefix(cut);
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    y += lineHeight;
  }
  dc.TextOut(x, y, std::string(text));
  return lines;
}

}  // namespace nimbrel
