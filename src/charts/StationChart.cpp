#include "charts/StationChart.h"

#include <cstdio>

#include "charts/ChartText.h"

namespace nimbrel {
namespace {

struct Quantity {
  bool (CStation::*enabled)() const;
  StationColumn column;
  COLORREF colour;
  const char* metricTitle;
  const char* otherTitle;
};

// "\xB0" is the degree sign of the Windows-1252 texts.
constexpr Quantity kQuantities[] = {
    {&CStation::showTemperature, kTemperatureColumn, RGB(250, 0, 0),
     "Temperature     \xB0" "C", "Temperature     \xB0" "F"},
    {&CStation::showPressure, kPressureColumn, RGB(0, 200, 0),
     "Pressure           hps-1000", "Pressure           inches Hg"},
    {&CStation::showWindSpeed, kWindSpeedColumn, RGB(0, 0, 250),
     "Wind speed       m/s", "Wind speed        MpH"},
    {&CStation::showWindDirection, kWindDirectionColumn, RGB(0, 200, 250),
     "Wind direction    -18...+18", "Wind direction    -18...+18"},
};

}  // namespace

void SetupGraph(CGraph& graph, const CStation& station, const CStation& settings) {
  graph.RemoveAllSeries();
  graph.RemoveAllRows();
  graph.SetTitle(station.name() + "   " + station.cd() + "   (" + station.latText() + ", " + station.lonText() +
                 "),  elevation " + station.elevText() + " m,  " + station.cy());
  char axisTitle[64];
  std::snprintf(axisTitle, sizeof axisTitle, "Time (every %d min)", static_cast<int>(station.refreshMinutes()));
  graph.AddSeries(0, std::string(axisTitle), std::nullopt, std::nullopt);
  for (const Quantity& quantity : kQuantities) {
    if (!(settings.*quantity.enabled)()) continue;
    graph.AddSeries(4, std::string(settings.metricStyle() ? quantity.metricTitle : quantity.otherTitle),
                    CPen{PS_SOLID, 1, quantity.colour}, std::nullopt, quantity.column);
  }
  graph.seriesCount = static_cast<int>(graph.series.size());
  if (!settings.metricStyle()) graph.yDelta = 10.0;
}

double WindDirectionOnChart(double directionDegrees) {
  return (directionDegrees < 180 ? directionDegrees : directionDegrees - 360) * 0.1;
}

void AddObservationRow(CGraph& graph, const std::string& timeText, double temperature, double pressure,
                       double windSpeed, double windDirectionDegrees) {
  graph.AddRow(CStringArray{timeText, FormatFixed(temperature, 2), FormatFixed(pressure, 2),
                            FormatFixed(windSpeed, 2), FormatFixed(WindDirectionOnChart(windDirectionDegrees), 2)});
}

void PaintStationGraph(CGraph& graph, IDrawContext& dc, double windDirection, double windSpeed) {
  graph.Draw(dc);
  if (graph.showLegend) graph.DrawWindIndicator(windDirection, windSpeed);
  graph.ForgetDrawContext();
}

}  // namespace nimbrel
