#pragma once
// One decoded report as numbers, and the page-ordered list of them (index 0
// is the newest report, as the service lists them). Nothing here is worded:
// the wording follows the user's units where it is shown.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "base/DisplayUnits.h"
#include "metar/CloudLayer.h"
#include "metar/FixedList.h"
#include "metar/FlightCategory.h"
#include "metar/WeatherGroup.h"

namespace nimbrel {

// A quantity the report does not give stays NaN: a chart leaves a gap for
// it and an export an empty cell, never a made-up 0.
constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

// What a report page wrote in each of its cells. They are the report as
// that source sent it, shown as they are with the default units.
struct SourceTexts {
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
  bool operator==(const SourceTexts&) const = default;
};

struct Observation {
  std::int64_t observedAt = 0;       // UTC, seconds since 1970
  std::string station;               // its code, when the source gives it
  double temperature = kNoValue;     // degrees Celsius
  double dewpoint = kNoValue;        // degrees Celsius
  double humidity = kNoValue;        // percent
  double pressure = kNoValue;        // hectopascals
  WindState wind = WindState::kMissing;
  double windSpeed = kNoValue;       // metres per second; 0 when calm
  double windDirection = kNoValue;   // degrees, with WindState::kFrom only
  double windGust = kNoValue;        // metres per second
  double visibility = kNoValue;      // metres
  VisibilityBound visibilityBound = VisibilityBound::kExact;
  bool visibilityInMiles = false;    // the report gave statute miles
  bool cavok = false;
  bool ceilingKnown = false;         // the cloud groups (or CAVOK) say where the ceiling is
  int ceilingFt = -1;                // the lowest BKN, OVC or VV base; -1 for none
  FixedList<CloudLayer, 8> clouds;   // layers in feet, or NSC/NCD/SKC/CLR
  FixedList<WeatherGroup, 6> weather;
  FlightCategory category = FlightCategory::Unknown;
  std::string rawReport;             // the METAR as sent, for a METAR source
  SourceTexts source;                // a report page's own cells, else empty

  bool hasCeiling() const { return ceilingKnown && ceilingFt >= 0; }

  // Two missing values are the same value here.
  bool operator==(const Observation& other) const {
    auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
    auto sameList = [](const auto& a, const auto& b) {
      return a.size() == b.size() && std::equal(a.view().begin(), a.view().end(), b.view().begin());
    };
    return observedAt == other.observedAt && station == other.station && same(temperature, other.temperature) &&
           same(dewpoint, other.dewpoint) && same(humidity, other.humidity) && same(pressure, other.pressure) &&
           wind == other.wind && same(windSpeed, other.windSpeed) && same(windDirection, other.windDirection) &&
           same(windGust, other.windGust) && same(visibility, other.visibility) &&
           visibilityBound == other.visibilityBound && visibilityInMiles == other.visibilityInMiles &&
           cavok == other.cavok && ceilingKnown == other.ceilingKnown && ceilingFt == other.ceilingFt &&
           sameList(clouds, other.clouds) && sameList(weather, other.weather) && category == other.category &&
           rawReport == other.rawReport && source == other.source;
  }
};

// Reports in page order: index 0 is the newest.
using ObservationList = std::vector<Observation>;

}  // namespace nimbrel
