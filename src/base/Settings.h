#pragma once
// The program's settings. Every run starts from these defaults (but for the
// report source, which is kept); the Parameters dialog changes them.
#include <optional>
#include <string>
#include <string_view>

#include "base/DisplayUnits.h"
#include "base/MapFilter.h"

namespace nimbrel {

// The METAR service the program asks unless told another.
inline constexpr const char* kDefaultMetarUrl = "https://aviationweather.gov";

// Where station charts get their reports.
enum class ReportSource { kLiveMetar, kReportPages };

// The one naming of the sources, on the command line and in the settings
// file: "metar" and "pages"; any other name is none.
constexpr const char* reportSourceName(ReportSource source) {
  return source == ReportSource::kReportPages ? "pages" : "metar";
}
constexpr std::optional<ReportSource> reportSourceNamed(std::string_view name) {
  for (const ReportSource source : {ReportSource::kLiveMetar, ReportSource::kReportPages})
    if (name == reportSourceName(source)) return source;
  return std::nullopt;
}

// The most hours a chart's time axis runs on past now to show a forecast.
constexpr int kMostForecastHours = 30;

struct Settings {
  bool showTemperature = true;
  bool showPressure = true;
  bool showWindSpeed = true;
  bool showWindDirection = true;
  bool timeUtc = false;
  bool writeMeteodata = false;
  bool metricStyle = true;
  int pastHours = 6;
  // With a forecast, the chart's time axis runs on this many hours past now.
  int forecastHours = 12;
  // METAR charts show the aviation panel under the chart; kept.
  bool showAviationPanel = true;
  double nearestMinutes = 90.0;
  // The units values are shown in (the export file keeps its own).
  DisplayUnits units;
  // Kept with the user's settings, as are the units above.
  ReportSource reportSource = ReportSource::kLiveMetar;
  std::string metarUrl = kDefaultMetarUrl;
  // What the world maps' current weather hides; kept too.
  MapFilter mapFilter;

  bool operator==(const Settings&) const = default;
};

// Units the user picked give each value once in them; the default set
// leaves every text as it always was.
inline bool unitsChosen(const Settings& s) { return s.units != DisplayUnits{}; }
// The units values are plotted and worded in: the user's choice, or, without
// one, the metric style's (off: Fahrenheit, inches of mercury and miles per
// hour).
inline DisplayUnits shownUnits(const Settings& s) {
  if (unitsChosen(s) || s.metricStyle) return s.units;
  DisplayUnits units;
  units.temperature = TemperatureUnit::kFahrenheit;
  units.pressure = PressureUnit::kInchOfMercury;
  units.speed = SpeedUnit::kMilePerHour;
  return units;
}
// Whether temperatures show in degrees Celsius: the chosen unit, else the
// metric style.
inline bool celsiusShown(const Settings& s) {
  return unitsChosen(s) ? s.units.temperature == TemperatureUnit::kCelsius : s.metricStyle;
}

}  // namespace nimbrel
