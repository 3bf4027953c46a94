#pragma once
// The program's settings. Every run starts from these defaults; the
// Parameters dialog changes them for the rest of the run.
namespace nimbrel {

struct Settings {
  bool showTemperature = true;
  bool showPressure = true;
  bool showWindSpeed = true;
  bool showWindDirection = true;
  bool timeUtc = false;
  bool writeMeteodata = false;
  bool metricStyle = true;
  int pastHours = 6;
  double nearestMinutes = 90.0;

  bool operator==(const Settings&) const = default;
};

}  // namespace nimbrel
