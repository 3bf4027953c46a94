#pragma once
// The current weather of catalogue stations as plain values. It sits here,
// below both, so the reader of the reports (observations) and the map layer
// (charts) share it without including each other.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "metar/FlightCategory.h"

namespace nimbrel {

struct StationWeather {
  std::size_t station = 0;            // index in the catalogue
  std::string rawReport;              // as sent, without a leading "METAR "/"SPECI "
  std::int64_t observedMinutes = 0;   // minutes since 1970-01-01T00:00Z
  std::optional<double> temperatureC;
  std::optional<double> dewPointC;
  // Wind in knots; no direction when variable or calm.
  std::optional<int> windDirectionDeg;
  std::optional<double> windSpeedKt;
  std::optional<double> windGustKt;
  std::optional<double> visibilityM;
  bool visibilityMoreThan = false;    // "9999", "P6SM", CAVOK
  bool visibilityLessThan = false;    // "M1/4SM", "0000"
  std::optional<int> ceilingFt;
  FlightCategory category = FlightCategory::Unknown;
};

struct WeatherSnapshot {
  std::vector<StationWeather> stations;  // the newest report of each station, by catalogue index
  int reportCount = 0;          // report rows read
  int skippedCount = 0;         // rows without a report, or whose report could not be decoded
  int unknownStationCount = 0;  // decoded reports of stations not in the catalogue
  std::int64_t newestMinutes = 0;  // the newest observation kept, minutes since 1970
  std::string problem;          // why not everything could be read; empty when all was
  bool offline = false;         // the service could not be reached: stored reports
  bool downloadFailed = false;  // the last download failed: these are older reports, or none

  // The weather of a catalogue station, or null (binary search).
  const StationWeather* forStation(std::size_t catalogueIndex) const;
  // The catalogue indices that have weather, ascending.
  std::vector<std::size_t> stationIndices() const;
};

}  // namespace nimbrel
