#pragma once
// One decoded report in metric units, and the page-ordered list of them
// (index 0 is the newest report, as the service lists them).
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace nimbrel {

// A quantity the report does not give stays NaN: a chart leaves a gap for
// it and an export an empty cell, never a made-up 0.
constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

struct Observation {
  double temperature = kNoValue;     // degrees Celsius
  double dewpoint = kNoValue;        // degrees Celsius
  double humidity = kNoValue;        // percent
  double pressure = kNoValue;        // millibars minus 1000
  double windSpeed = kNoValue;       // metres per second
  double windDirection = kNoValue;   // degrees; none for a variable wind
  double visibility = kNoValue;      // kilometres
  double pressureInches = kNoValue;  // inches of mercury
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

  // Two missing values are the same value here.
  bool operator==(const Observation& other) const {
    auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
    return same(temperature, other.temperature) && same(dewpoint, other.dewpoint) &&
           same(humidity, other.humidity) && same(pressure, other.pressure) && same(windSpeed, other.windSpeed) &&
           same(windDirection, other.windDirection) && same(visibility, other.visibility) &&
           same(pressureInches, other.pressureInches) && conditionsText == other.conditionsText &&
           temperatureText == other.temperatureText && dewpointText == other.dewpointText &&
           pressureText == other.pressureText && windsText == other.windsText &&
           visibilityText == other.visibilityText && ceilingText == other.ceilingText &&
           cloudsText == other.cloudsText && weatherText == other.weatherText && reportText == other.reportText &&
           rawReport == other.rawReport && categoryText == other.categoryText && observedAt == other.observedAt;
  }
};

// Reports in page order: index 0 is the newest.
using ObservationList = std::vector<Observation>;

}  // namespace nimbrel
