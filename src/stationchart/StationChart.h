#pragma once
// How a station window's chart is built from its station and the settings.
//
// Use, in the station window:
//   setupStationChart(graph, station, settings);          once, before the rows
//   addObservationRow(graph, wallTime, t, p, v, d);  per observation, oldest
//                                                    first, values already in
//                                                    display units
//   graph.setDetailLines(graph.seriesCount - 1, ...) and a repaint
//   paintStationChart(graph, painter, direction, speed)  from the paint handler
//
// Rows always carry all four quantities (time, temperature, pressure, wind
// speed, wind direction); each series set up here reads the column of its
// own quantity, so rows and series stay in step whichever quantities were
// on at set-up and whatever the settings are when a row is appended.
#include <cstdint>
#include <string>

#include "base/ClockText.h"
#include "base/Settings.h"
#include "catalog/Station.h"
#include "base/Painter.h"
#include "charts/Chart.h"

namespace nimbrel {

// Value columns of the quantities written by addObservationRow.
enum ChartColumn : int {
  kTemperatureColumn = 1,
  kPressureColumn = 2,
  kWindSpeedColumn = 3,
  kWindDirectionColumn = 4,
};

// Empties the chart's series and rows, sets the heading
// "name   cd   (lat, lon),  elevation elev m,  country" (then
// ",  source" when a source is named), the X-axis title
// "Time (every N min)" with refreshMinutes, one series per
// quantity switched on in settings (temperature, pressure, wind speed, wind
// direction, in that order; titles in the chosen units, or by
// settings.metricStyle when none were chosen) and seriesCount; the Y range
// is left as it was.
void setupStationChart(Chart& chart, const Station& station, const Settings& settings, int refreshMinutes,
                       const std::string& sourceName = {});

// "name   cd   (lat, lon),  elevation elev m,  country,  source", without
// the elevation when the station has none and the source when none is named.
std::string stationChartHeading(const Station& station, const std::string& sourceName);

// The wind direction on the chart's scale: d < 180 ? d : d - 360, times 0.1
// (-18 to +18).
double windDirectionOnChart(double directionDegrees);

// Appends one row labelled `label`: temperature, pressure, wind speed and
// the wind direction on the chart's scale, each rounded to hundredths. A
// missing value (NaN) and the
// direction of a calm (a wind speed of 0) are no value: a gap in their lines.
void addObservationRow(Chart& graph, const std::string& label, double temperature, double pressure,
                       double windSpeed, double windDirectionDegrees);
// The same at a wall-clock time (wallClockSeconds): the chart then spaces
// rows by their times and labels round hours and dates.
void addObservationRow(Chart& graph, std::int64_t wallTime, double temperature, double pressure, double windSpeed,
                       double windDirectionDegrees);

// Where a UTC instant sits on the chart's time axis: UTC itself, or the
// computer's local time at that instant (its offset then, DST included).
inline std::int64_t chartWallClock(std::int64_t utcSeconds, bool timeUtc) {
  return shownWallClock(utcSeconds, timeUtc);
}
// The X-axis title: "Time (every 30 min)", with the zone the axis is in
// named when given: "Time UTC (every 30 min)".
std::string timeAxisTitle(int refreshMinutes, const std::string& zone = {});

// The station window's paint: the chart, then the wind dial when the legend
// is shown.
void paintStationChart(Chart& graph, Painter& painter, double windDirection, double windSpeed);

}  // namespace nimbrel
