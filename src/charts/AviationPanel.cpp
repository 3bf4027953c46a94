#include "charts/AviationPanel.h"

#include <algorithm>
#include <cmath>

#include "base/Units.h"
#include "charts/WeatherLayer.h"

namespace nimbrel {
namespace {

constexpr Colour kOutline = rgb(160, 160, 160);
constexpr Colour kLimitColour = rgb(205, 205, 205);
constexpr Colour kGridColour = rgb(235, 235, 235);
constexpr Colour kFutureShade = rgb(238, 238, 238);  // as the chart shades it
constexpr Colour kNowColour = rgb(90, 90, 90);
constexpr Colour kCeilingColour = rgb(0, 80, 200);
constexpr Colour kVisibilityColour = rgb(160, 80, 0);
constexpr Colour kWeatherColour = rgb(60, 60, 60);
constexpr double kCeilingLimits[] = {500.0, 1000.0, 3000.0};  // feet: LIFR, IFR, MVFR below
constexpr double kVisibilityLimitsSm[] = {1.0, 3.0, 5.0};

Font panelFont() { return Font{"Arial Cyr", 11, 400}; }

// The row of a value on a logarithmic scale from `low` (bottom) to `high` (top).
int logY(const Rect& plot, double value, double low, double high) {
  const int top = plot.top + 2;
  const int bottom = plot.bottom - 3;
  if (!(value > low)) return bottom;
  if (value >= high) return top;
  const double t = std::log(value / low) / std::log(high / low);
  return bottom - static_cast<int>(std::lround(t * (bottom - top)));
}

Colour verdictColour(HourVerdict verdict) {
  switch (verdict) {
    case HourVerdict::kRight: return kVerdictRight;
    case HourVerdict::kOneOff: return kVerdictOneOff;
    case HourVerdict::kWorse: return kVerdictWorse;
    case HourVerdict::kNone: break;
  }
  return kWhite;
}

}  // namespace

double AviationPanel::highestVisibilityM() const {
  return visibilityUnit == VisibilityUnit::kStatuteMile ? 10.0 * kMetresPerMile : 10000.0;
}

int AviationPanel::ceilingY(double feet) const {
  return logY(ceilingRect, feet, kLowestCeilingFt, kHighestCeilingFt);
}

int AviationPanel::visibilityY(double metres) const {
  return logY(visibilityRect, metres, kLowestVisibilityM, highestVisibilityM());
}

int AviationPanel::reportX(const Chart& chart, std::size_t index) const {
  return chart.forecastX(reports[index].time);
}

bool AviationPanel::joined(std::size_t index) const {
  return index + 1 < reports.size() && reports[index + 1].time - reports[index].time <= holdSeconds;
}

void AviationPanel::layout(const Chart& chart, Rect area) {
  const int left = chart.plotRect.left;
  const int right = chart.plotRect.right;
  const int top = area.top;
  frameRect = Rect{chart.frameRect.left, top, chart.frameRect.right, area.bottom - 10};
  categoryRect = Rect{left, top + 6, right, top + 18};
  verdictRect = Rect{left, top + 21, right, top + 27};
  weatherRect = Rect{left, top + 30, right, top + 44};
  ceilingRect = Rect{left, top + 47, right, top + 95};
  visibilityRect = Rect{left, top + 99, right, top + 147};
  labelX = right + 6;
  nowX = chart.nowX >= left && chart.nowX < right ? chart.nowX : -1;

  // The category holds from a report to the next, or for holdSeconds when
  // the next is late, never past now; a report shown for a moment keeps two
  // pixels so it is not lost.
  categorySegments.clear();
  segmentReports.clear();
  const std::optional<std::int64_t> now =
      chart.getForecast() && chart.getForecast()->now ? chart.getForecast()->now : chart.getNow();
  for (std::size_t i = 0; i < reports.size(); ++i) {
    const PanelReport& report = reports[i];
    if (report.category == FlightCategory::Unknown) continue;
    std::int64_t end = joined(i) ? reports[i + 1].time : report.time + holdSeconds;
    if (now && *now > report.time) end = std::min(end, *now);
    const int x0 = chart.forecastX(report.time);
    const int x1 = std::max(chart.forecastX(end), x0 + 2);
    categorySegments.push_back(BandSegment{x0, std::min(x1, std::max(right, x0 + 2)), flightCategoryColour(report.category)});
    segmentReports.push_back(i);
  }
  verdictSegments.clear();
  segmentHours.clear();
  for (std::size_t i = 0; i < hours.size(); ++i) {
    const PanelHour& hour = hours[i];
    if (hour.verdict == HourVerdict::kNone) continue;
    const int x0 = chart.forecastX(hour.start);
    const int x1 = chart.forecastX(hour.end);
    if (x1 <= x0) continue;
    verdictSegments.push_back(BandSegment{x0, x1, verdictColour(hour.verdict)});
    segmentHours.push_back(i);
  }
}

namespace {

// The last segment holding x: a newer report's segment wins where two meet.
int segmentAt(const std::vector<BandSegment>& segments, const std::vector<std::size_t>& sources, int x) {
  for (std::size_t i = segments.size(); i-- > 0;)
    if (x >= segments[i].left && x < segments[i].right) return static_cast<int>(sources[i]);
  return -1;
}

}  // namespace

int AviationPanel::reportAt(int x, int y) const {
  if (y < categoryRect.top || y >= categoryRect.bottom) return -1;
  return segmentAt(categorySegments, segmentReports, x);
}

int AviationPanel::hourAt(int x, int y) const {
  // The band is thin: a little above and below it counts.
  if (y < verdictRect.top - 2 || y >= verdictRect.bottom + 2) return -1;
  return segmentAt(verdictSegments, segmentHours, x);
}

void AviationPanel::draw(Painter& painter, const Chart& chart, Rect area) {
  const KeptPainterState kept(painter);
  layout(chart, area);
  painter.setPen(Pen{kBlack, 1});
  painter.setBrush(kWhite);
  if (chart.showFrame) painter.rect(frameRect);
  painter.setFont(panelFont());
  painter.setTextColour(chart.labelColour);
  painter.setTextBackground(kWhite);

  painter.setPen(Pen{kOutline, 1});
  painter.rect(categoryRect);
  for (const BandSegment& s : categorySegments)
    painter.fillRect(Rect{s.left, categoryRect.top + 1, s.right, categoryRect.bottom - 1}, s.colour);
  for (const BandSegment& s : verdictSegments)
    painter.fillRect(Rect{s.left, verdictRect.top, s.right, verdictRect.bottom}, s.colour);
  painter.text({labelX, categoryRect.top - 1}, "Category");
  painter.text({labelX, verdictRect.top - 3}, "Forecast");

  drawWeather(painter, chart);
  drawPlot(painter, chart, ceilingRect, true);
  drawPlot(painter, chart, visibilityRect, false);

  if (nowX >= 0) {
    painter.setPen(Pen{kNowColour, 1});
    painter.line({nowX, categoryRect.top - 3}, {nowX, visibilityRect.bottom});
  }
}

void AviationPanel::drawWeather(Painter& painter, const Chart& chart) const {
  painter.setTextColour(kWeatherColour);
  painter.setPen(Pen{kWeatherColour, 1});
  // A text where the weather changes: a run of the same weather is read
  // from its first report. A text that would touch the one before waits
  // for the next report of that weather.
  std::string shown;
  int lastRight = weatherRect.left - 4;
  for (std::size_t i = 0; i < reports.size(); ++i) {
    const std::string& weather = reports[i].weather;
    if (weather.empty()) {
      shown.clear();
      continue;
    }
    if (weather == shown && i > 0 && joined(i - 1)) continue;
    int x = reportX(chart, i);
    const int width = painter.textSize(weather).width;
    if (x + width > weatherRect.right) x = weatherRect.right - width;
    if (x < lastRight + 4) continue;
    painter.line({x, weatherRect.bottom - 3}, {x, weatherRect.bottom});
    painter.text({x + 2, weatherRect.top}, weather);
    lastRight = x + 2 + width;
    shown = weather;
  }
  painter.setTextColour(chart.labelColour);
}

void AviationPanel::drawPlot(Painter& painter, const Chart& chart, const Rect& plot, bool ceiling) const {
  painter.setPen(Pen{kOutline, 1});
  painter.setBrush(kWhite);
  painter.rect(plot);
  if (nowX > plot.left && nowX < plot.right - 2)
    painter.fillRect(Rect{nowX + 1, plot.top + 1, plot.right - 1, plot.bottom - 1}, kFutureShade);
  painter.setPen(Pen{kGridColour, 1});
  for (const AxisLabel& label : chart.xLabels)
    if (label.x > plot.left && label.x < plot.right - 1) painter.line({label.x, plot.top + 1}, {label.x, plot.bottom - 1});

  // The category limits, faint, each named in the user's unit beside the
  // plot; a name that would touch the one below moves right of it.
  int lastTop = plot.bottom + 100;
  int lastRight = labelX;
  for (int k = 0; k < 3; ++k) {
    const double limit = ceiling ? kCeilingLimits[k] : kVisibilityLimitsSm[k] * kMetresPerMile;
    const int y = ceiling ? ceilingY(limit) : visibilityY(limit);
    painter.setPen(Pen{kLimitColour, 1});
    painter.line({plot.left + 1, y}, {plot.right - 1, y});
    const std::string text = ceiling ? std::to_string(static_cast<int>(limit)) : visibilityText(limit, visibilityUnit);
    const Size size = painter.textSize(text);
    const int top = y - size.height / 2;
    const int x = top + size.height > lastTop ? lastRight + 6 : labelX;
    painter.text({x, top}, text);
    lastTop = top;
    lastRight = x + size.width;
  }
  painter.text({plot.left + 3, plot.top + 1}, ceiling ? "Ceiling ft" : "Visibility");

  // The line, broken where a report lacks the value or the next is late; a
  // value alone between breaks is a mark.
  const Colour colour = ceiling ? kCeilingColour : kVisibilityColour;
  painter.setPen(Pen{colour, 1});
  auto valueOf = [&](std::size_t i) { return ceiling ? reports[i].ceilingFt : reports[i].visibilityM; };
  auto yOf = [&](double v) { return ceiling ? ceilingY(v) : visibilityY(v); };
  bool havePrevious = false;
  Point previous;
  for (std::size_t i = 0; i < reports.size(); ++i) {
    const double v = valueOf(i);
    if (std::isnan(v)) {
      havePrevious = false;
      continue;
    }
    const Point at{reportX(chart, i), yOf(v)};
    if (havePrevious && joined(i - 1)) {
      painter.line(previous, at);
    } else {
      const bool nextJoins = joined(i) && !std::isnan(valueOf(i + 1));
      if (!nextJoins) painter.fillRect(Rect::fromSize(at.x - 1, at.y - 1, 3, 3), colour);
    }
    havePrevious = true;
    previous = at;
  }
}

void AviationPanel::drawGusts(Painter& painter, const Chart& chart) const {
  if (!gustPen) return;
  const KeptPainterState kept(painter);
  painter.setPen(Pen{gustPen->colour, 1});
  const Rect& plot = chart.plotRect;
  for (const PanelReport& report : reports) {
    if (!std::isfinite(report.gust)) continue;
    const int x = chart.forecastX(report.time);
    const int y = chart.yPosition(report.gust);
    if (x <= plot.left || x >= plot.right - 1 || y <= plot.top || y >= plot.bottom - 1) continue;
    if (std::isfinite(report.windSpeed)) {
      const int from = std::clamp(chart.yPosition(report.windSpeed), plot.top + 1, plot.bottom - 2);
      if (from > y) painter.line({x, from}, {x, y});
    }
    painter.line({x - 2, y}, {x + 3, y});
  }
}

}  // namespace nimbrel
