#pragma once
// The aviation panel under a station chart, on the chart's own time axis:
// the observed flight category as a band (one segment per report), under it
// how the forecast fared hour by hour, the present weather as short codes,
// and ceiling and visibility as two lines on logarithmic scales with the
// category limits drawn faint. It also puts the gusts on the chart's wind
// speed line. Times are the chart's wall-clock seconds; values are numbers
// in fixed units, converted to pixels and texts here.
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "base/DisplayUnits.h"
#include "base/Painter.h"
#include "charts/Chart.h"
#include "metar/FlightCategory.h"

namespace nimbrel {

// One report as the panel reads it.
struct PanelReport {
  std::int64_t time = 0;  // on the chart's time axis
  FlightCategory category = FlightCategory::Unknown;
  // Feet above ground; NaN when the report does not say, infinity when it
  // says there is none (a clear sky, only few or scattered clouds).
  double ceilingFt = std::numeric_limits<double>::quiet_NaN();
  double visibilityM = std::numeric_limits<double>::quiet_NaN();  // NaN: not given
  // In the unit of the chart's wind speed line; NaN: none.
  double windSpeed = std::numeric_limits<double>::quiet_NaN();
  double gust = std::numeric_limits<double>::quiet_NaN();
  std::string weather;  // the present weather as written: "-RA BR"; empty: none
};

enum class HourVerdict { kNone, kRight, kOneOff, kWorse };

// One judged hour of the forecast.
struct PanelHour {
  std::int64_t start = 0;  // on the chart's time axis
  std::int64_t end = 0;    // the next hour's start there (a change of clocks may move it)
  HourVerdict verdict = HourVerdict::kNone;
};

// A coloured stretch of a band, as laid out.
struct BandSegment {
  int left = 0;
  int right = 0;  // one past its last column
  Colour colour = 0;
  bool operator==(const BandSegment&) const = default;
};

constexpr Colour kVerdictRight = rgb(0, 150, 0);
constexpr Colour kVerdictOneOff = rgb(240, 170, 0);
constexpr Colour kVerdictWorse = rgb(200, 0, 0);

class AviationPanel {
 public:
  // The height the panel takes under the chart.
  static constexpr int kHeight = 160;
  // A report stands for this long at most when the next one is late: a
  // longer silence shows as a gap.
  static constexpr std::int64_t kDefaultHoldSeconds = 75 * 60;
  // The logarithmic scales' ends.
  static constexpr double kLowestCeilingFt = 100.0;
  static constexpr double kHighestCeilingFt = 10000.0;
  static constexpr double kLowestVisibilityM = 100.0;

  std::vector<PanelReport> reports;  // oldest first
  std::vector<PanelHour> hours;      // oldest first
  std::int64_t holdSeconds = kDefaultHoldSeconds;
  VisibilityUnit visibilityUnit = VisibilityUnit::kMetric;
  // The wind speed line's pen: gusts are marked on it. None: the line is not shown.
  std::optional<Pen> gustPen;

  // Places every part in `area` (under the chart) on the chart's time axis
  // as its last layout left it, then draws. Leaves the painter's state alone.
  void draw(Painter& painter, const Chart& chart, Rect area);
  // The gusts as marks on the chart's wind speed line: a whisker from the
  // speed up to the gust. Call after the chart was drawn.
  void drawGusts(Painter& painter, const Chart& chart) const;
  // The layout alone (draw runs it first).
  void layout(const Chart& chart, Rect area);

  // Set by layout.
  Rect frameRect;
  Rect categoryRect;
  Rect verdictRect;
  Rect weatherRect;
  Rect ceilingRect;
  Rect visibilityRect;
  std::vector<BandSegment> categorySegments;
  std::vector<BandSegment> verdictSegments;
  int nowX = -1;

  // What the last layout put under a point: the report whose segment of
  // the category band it is on, the judged hour of the forecast's band; -1
  // for none. Indexes into reports and hours.
  int reportAt(int x, int y) const;
  int hourAt(int x, int y) const;

  // Y of a value in its plot, held to the plot (infinity at its top).
  int ceilingY(double feet) const;
  int visibilityY(double metres) const;
  // The top of the visibility scale: 10 km, or 10 SM.
  double highestVisibilityM() const;

 private:
  void drawPlot(Painter& painter, const Chart& chart, const Rect& plot, bool ceiling) const;
  void drawWeather(Painter& painter, const Chart& chart) const;
  int reportX(const Chart& chart, std::size_t index) const;
  // Whether reports i and i + 1 are near enough to be joined.
  bool joined(std::size_t index) const;
  int labelX = 0;
  std::vector<std::size_t> segmentReports;  // the report of each category segment
  std::vector<std::size_t> segmentHours;    // the hour of each verdict segment
};

}  // namespace nimbrel
