#pragma once
// One decoded METAR or SPECI report. Values the report does not give are
// empty; trends and remarks never change the observed values, except that
// the remarks' tenths-of-a-degree temperature group refines the body's.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "metar/Conditions.h"
#include "metar/FixedList.h"
#include "metar/MetarTrend.h"
#include "metar/RunwayVisualRange.h"
#include "metar/UtcDateTime.h"

namespace nimbrel {

enum class MetarStatus : std::uint8_t {
  Ok,        // every group decoded
  Partial,   // some groups were not understood or held impossible values; see notDecoded
  Rejected,  // not a METAR: no station and day-time, or nothing after them
};

// The physical bounds a decoded value must keep; a group outside them is
// left out and the report marked partial.
inline constexpr double kMinPressureHpa = 850.0;
inline constexpr double kMaxPressureHpa = 1090.0;
inline constexpr double kMinTemperatureC = -90.0;
inline constexpr double kMaxTemperatureC = 60.0;

struct MetarReport {
  static constexpr std::size_t kMaxNotDecodedKept = 16;

  MetarStatus status = MetarStatus::Rejected;
  const char* rejectReason = "";  // a static text when rejected
  bool special = false;           // SPECI
  std::string station;
  UtcDateTime time;
  bool automated = false;  // AUTO
  bool corrected = false;  // COR, CCA...
  bool nil = false;        // NIL: no report

  Conditions current;
  FixedList<RunwayVisualRange, 8> runwayVisualRanges;
  FixedList<WeatherGroup, 4> recentWeather;
  std::optional<double> temperatureC;
  std::optional<double> dewPointC;
  std::optional<double> pressureHpa;          // from Q or A; else from the remarks' SLP
  bool pressureInInches = false;              // it came as A, inches of mercury
  bool pressureFromSeaLevel = false;          // no Q or A: pressureHpa is the SLP
  std::optional<double> seaLevelPressureHpa;  // remarks SLP
  bool windShear = false;                     // a WS group was present
  FixedList<MetarTrend, 3> trends;

  // The groups not understood, the first kMaxNotDecodedKept of them; the
  // count goes on past that.
  std::vector<std::string> notDecoded;
  std::size_t notDecodedCount = 0;

  std::optional<int> ceilingFt() const { return current.ceilingFt(); }
  FlightCategory flightCategory() const { return current.flightCategory(); }
  // From temperature and dew point, Magnus formula over water, in per cent.
  std::optional<double> relativeHumidity() const;
};

// Relative humidity in per cent (Magnus over water, a = 17.625, b = 243.04 °C),
// at most 100.
double relativeHumidityPercent(double temperatureC, double dewPointC);

}  // namespace nimbrel
