#pragma once
// The units a user reads values in: one choice per quantity, picked once
// and used by every window. Reports keep their own units; values are
// converted only for display.
#include <optional>
#include <string>
#include <string_view>

namespace nimbrel {

enum class TemperatureUnit { kCelsius, kFahrenheit };
enum class PressureUnit { kHectopascal, kInchOfMercury };
enum class SpeedUnit { kKnot, kMetrePerSecond, kKilometrePerHour, kMilePerHour };
// Metric visibility is in metres below 5 km and in kilometres from there.
enum class VisibilityUnit { kMetric, kStatuteMile };
enum class HeightUnit { kFoot, kMetre };

// The default is the chart's units of old, so nothing changes for a user
// who never chose.
struct DisplayUnits {
  TemperatureUnit temperature = TemperatureUnit::kCelsius;
  PressureUnit pressure = PressureUnit::kHectopascal;
  SpeedUnit speed = SpeedUnit::kMetrePerSecond;
  VisibilityUnit visibility = VisibilityUnit::kMetric;
  HeightUnit height = HeightUnit::kMetre;

  bool operator==(const DisplayUnits&) const = default;
};

enum class UnitPreset { kAviation, kMetric, kUs };

// Aviation: knots, feet, hPa and °C, visibility in statute miles where the
// region reports it so (North America), else in metres. Metric: °C, hPa,
// km/h, m or km, metres. US: °F, inHg, mph, statute miles, feet.
DisplayUnits unitPreset(UnitPreset preset, bool statuteMileRegion = false);

double temperatureIn(double celsius, TemperatureUnit unit);
double pressureIn(double hectopascals, PressureUnit unit);
double speedIn(double knots, SpeedUnit unit);
double heightIn(double feet, HeightUnit unit);
// Metres, or statute miles.
double visibilityIn(double metres, VisibilityUnit unit);

// Symbols in the program's Windows-1252 texts: "\xB0" "C", "hPa", "inHg",
// "kt", "m/s", "km/h", "mph", "ft", "m", "SM".
const char* unitSymbol(TemperatureUnit unit);
const char* unitSymbol(PressureUnit unit);
const char* unitSymbol(SpeedUnit unit);
const char* unitSymbol(HeightUnit unit);

// A value once, in the chosen unit, with its symbol: "12.3\xB0" "C",
// "1013.2 hPa", "29.92 inHg", "15 kt", "3.5 m/s", "800 m", "9 km",
// "1 1/2 SM", "2500 ft".
std::string temperatureText(double celsius, TemperatureUnit unit);
std::string pressureText(double hectopascals, PressureUnit unit);
std::string speedText(double knots, SpeedUnit unit);
std::string visibilityText(double metres, VisibilityUnit unit);
std::string heightText(double feet, HeightUnit unit);

enum class WindState : unsigned char {
  kMissing,   // no wind given
  kCalm,      // no speed, no direction
  kVariable,  // a speed, no direction
  kFrom,      // a speed from a direction
};

enum class VisibilityBound : unsigned char {
  kExact,
  kOrMore,    // "9999", "P6SM", CAVOK: at least that far
  kLessThan,  // "M1/4SM", "0000"
};

// The one wording of a wind: "calm", "variable at 5 kt", "270\xB0 at 12 kt
// gusting to 20 kt"; empty when missing. Speeds in knots, NaN for no gust.
std::string windText(WindState state, double directionDeg, double speedKt, double gustKt, SpeedUnit unit);
// The one wording of a visibility: "10 km or more" only for a report's own
// "or more" (9999, P6SM, CAVOK), "less than 1/4 SM", "16 km", "10 SM".
std::string visibilityText(double metres, VisibilityBound bound, VisibilityUnit unit);

// "C,hPa,m/s,metric,m" for the settings file, and back; a text that is not
// a full set reads as nothing, so the caller keeps its default.
std::string unitsSettingText(const DisplayUnits& units);
std::optional<DisplayUnits> unitsFromSettingText(std::string_view text);

}  // namespace nimbrel
