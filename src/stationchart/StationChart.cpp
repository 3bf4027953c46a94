#include "stationchart/StationChart.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "base/Text.h"

namespace nimbrel {
namespace {

struct Quantity {
  bool Settings::*enabled;
  ChartColumn column;
  Colour colour;
  const char* metricTitle;
  const char* otherTitle;
};

// "\xB0" is the degree sign of the Windows-1252 texts.
constexpr Quantity kQuantities[] = {
    {&Settings::showTemperature, kTemperatureColumn, rgb(250, 0, 0),
     "Temperature     \xB0" "C", "Temperature     \xB0" "F"},
    {&Settings::showPressure, kPressureColumn, rgb(0, 200, 0),
     "Pressure           hps-1000", "Pressure           inches Hg"},
    {&Settings::showWindSpeed, kWindSpeedColumn, rgb(0, 0, 250),
     "Wind speed       m/s", "Wind speed        MpH"},
    {&Settings::showWindDirection, kWindDirectionColumn, rgb(0, 200, 250),
     "Wind direction    -18...+18", "Wind direction    -18...+18"},
};

// A series title in the units the user chose: the quantity's old title
// with the unit's symbol in place of the old one.
std::string chosenTitle(const Quantity& quantity, const DisplayUnits& units) {
  switch (quantity.column) {
    case kTemperatureColumn: return std::string("Temperature     ") + unitSymbol(units.temperature);
    case kPressureColumn:
      return units.pressure == PressureUnit::kInchOfMercury ? quantity.otherTitle : quantity.metricTitle;
    case kWindSpeedColumn: return std::string("Wind speed       ") + unitSymbol(units.speed);
    case kWindDirectionColumn: break;
  }
  return quantity.metricTitle;
}

}  // namespace

void setupStationChart(Chart& graph, const Station& station, const Settings& settings, int refreshMinutes,
                       const std::string& sourceName) {
  graph.removeAllSeries();
  graph.removeAllRows();
  graph.setTitle(stationChartHeading(station, sourceName));
  graph.addSeries(0, timeAxisTitle(refreshMinutes), std::nullopt, std::nullopt);
  for (const Quantity& quantity : kQuantities) {
    if (!(settings.*quantity.enabled)) continue;
    const std::string title = unitsChosen(settings) ? chosenTitle(quantity, settings.units)
                              : settings.metricStyle ? quantity.metricTitle
                                                     : quantity.otherTitle;
    graph.addSeries(4, title, Pen{quantity.colour, 1}, std::nullopt, quantity.column);
  }
  graph.seriesCount = static_cast<int>(graph.series.size());
  // The Y range stays the user's (or Autoscale's) whatever the units.
}

std::string stationChartHeading(const Station& station, const std::string& sourceName) {
  // A station without an elevation leaves it out rather than show "  m".
  return station.name + "   " + station.cd + "   (" + station.latText + ", " + station.lonText + "),  " +
         (station.elevText.empty() ? "" : "elevation " + station.elevText + " m,  ") + station.country +
         (sourceName.empty() ? "" : ",  " + sourceName);
}

double windDirectionOnChart(double directionDegrees) {
  return (directionDegrees < 180 ? directionDegrees : directionDegrees - 360) * 0.1;
}

namespace {

constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

// Values in column order, to hundredths: the resolution the chart has
// always plotted them at, so the same reports give the same picture. A
// value the report lacks (NaN or infinite) is a gap, never a 0.
std::vector<double> observationValues(double temperature, double pressure, double windSpeed,
                                      double windDirectionDegrees) {
  auto valueOrGap = [](double value) {
    if (!std::isfinite(value)) return kNoValue;
    return std::fabs(value) < 1e15 ? std::round(value * 100.0) / 100.0 : value;  // no hundredths to round beyond
  };
  // Not "> 0" is also true of a NaN speed: no direction to trust either.
  const bool calm = !(windSpeed > 0.0);
  return {valueOrGap(temperature), valueOrGap(pressure), valueOrGap(windSpeed),
          calm ? kNoValue : valueOrGap(windDirectionOnChart(windDirectionDegrees))};
}

}  // namespace

void addObservationRow(Chart& graph, const std::string& label, double temperature, double pressure,
                       double windSpeed, double windDirectionDegrees) {
  graph.addRow(label, observationValues(temperature, pressure, windSpeed, windDirectionDegrees));
}

void addObservationRow(Chart& graph, std::int64_t wallTime, double temperature, double pressure, double windSpeed,
                       double windDirectionDegrees) {
  graph.addRow(wallTime, observationValues(temperature, pressure, windSpeed, windDirectionDegrees));
}

std::string timeAxisTitle(int refreshMinutes, const std::string& zone) {
  return "Time " + (zone.empty() ? std::string() : zone + " ") + formatText("(every %d min)", refreshMinutes);
}

void paintStationChart(Chart& graph, Painter& painter, double windDirection, double windSpeed) {
  graph.draw(painter);
  if (graph.showLegend) graph.drawWindIndicator(painter, windDirection, windSpeed);
}

}  // namespace nimbrel
