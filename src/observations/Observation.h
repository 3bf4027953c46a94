#pragma once
// One decoded report in metric units, and the page-ordered list of them
// (index 0 is the newest report, as the service lists them).
#include <cstdint>
#include <string>
#include <vector>

namespace nimbrel {

struct Observation {
  double temperature = 0.0;     // degrees Celsius
  double dewpoint = 0.0;        // degrees Celsius
  double humidity = 0.0;        // percent
  double pressure = 0.0;        // millibars minus 1000
  double windSpeed = 0.0;       // metres per second
  double windDirection = 0.0;   // degrees
  double visibility = 0.0;      // kilometres
  double pressureInches = 0.0;  // inches of mercury
  std::string conditionsText;
  std::string temperatureText;
  std::string dewpointText;
  std::string pressureText;
  std::string windsText;
  std::string visibilityText;
  std::string ceilingText;
  std::string cloudsText;
  std::string weatherText;
  std::string reportText;
  std::string rawReport;     // the METAR as sent, for the live source
  std::string categoryText;  // its flight category ("VFR"), likewise
  // The page's UTC calendar time read as local time (see convertReportTime).
  std::int64_t observedAt = 0;

  bool operator==(const Observation&) const = default;
};

// Reports in page order: index 0 is the newest.
using ObservationList = std::vector<Observation>;

}  // namespace nimbrel
