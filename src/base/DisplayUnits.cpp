#include "base/DisplayUnits.h"

#include <array>
#include <cmath>

#include "base/Text.h"
#include "base/Units.h"

namespace nimbrel {
namespace {

// Each unit's word in the settings file, in the order of its enum.
constexpr std::array<std::string_view, 2> kTemperatureWords = {"C", "F"};
constexpr std::array<std::string_view, 2> kPressureWords = {"hPa", "inHg"};
constexpr std::array<std::string_view, 4> kSpeedWords = {"kt", "m/s", "km/h", "mph"};
constexpr std::array<std::string_view, 2> kVisibilityWords = {"metric", "SM"};
constexpr std::array<std::string_view, 2> kHeightWords = {"ft", "m"};

template <typename Unit, std::size_t N>
bool readWord(std::string_view word, const std::array<std::string_view, N>& words, Unit& unit) {
  for (std::size_t i = 0; i < N; ++i)
    if (word == words[i]) {
      unit = static_cast<Unit>(i);
      return true;
    }
  return false;
}

// "-0.0" is no temperature anyone reads.
double noNegativeZero(double value) { return value == 0.0 ? 0.0 : value; }

}  // namespace

DisplayUnits unitPreset(UnitPreset preset, bool statuteMileRegion) {
  switch (preset) {
    case UnitPreset::kAviation:
      return {TemperatureUnit::kCelsius, PressureUnit::kHectopascal, SpeedUnit::kKnot,
              statuteMileRegion ? VisibilityUnit::kStatuteMile : VisibilityUnit::kMetric, HeightUnit::kFoot};
    case UnitPreset::kMetric:
      return {TemperatureUnit::kCelsius, PressureUnit::kHectopascal, SpeedUnit::kKilometrePerHour,
              VisibilityUnit::kMetric, HeightUnit::kMetre};
    case UnitPreset::kUs:
      return {TemperatureUnit::kFahrenheit, PressureUnit::kInchOfMercury, SpeedUnit::kMilePerHour,
              VisibilityUnit::kStatuteMile, HeightUnit::kFoot};
  }
  return {};
}

double temperatureIn(double celsius, TemperatureUnit unit) {
  return unit == TemperatureUnit::kFahrenheit ? celsius * 1.8 + 32.0 : celsius;
}

double pressureIn(double hectopascals, PressureUnit unit) {
  return unit == PressureUnit::kInchOfMercury ? hectopascals / kHectopascalsPerInch : hectopascals;
}

double speedIn(double knots, SpeedUnit unit) {
  switch (unit) {
    case SpeedUnit::kKnot: return knots;
    case SpeedUnit::kMetrePerSecond: return knots * kMetresPerSecondPerKnot;
    case SpeedUnit::kKilometrePerHour: return knots * kKilometresPerHourPerKnot;
    case SpeedUnit::kMilePerHour: return knots * kMilesPerHourPerKnot;
  }
  return knots;
}

double heightIn(double feet, HeightUnit unit) { return unit == HeightUnit::kMetre ? feet * kMetresPerFoot : feet; }

double visibilityIn(double metres, VisibilityUnit unit) {
  return unit == VisibilityUnit::kStatuteMile ? metres / kMetresPerMile : metres;
}

const char* unitSymbol(TemperatureUnit unit) {
  // "\xB0" is the degree sign of the program's Windows-1252 texts.
  return unit == TemperatureUnit::kFahrenheit ? "\xB0" "F" : "\xB0" "C";
}
const char* unitSymbol(PressureUnit unit) { return unit == PressureUnit::kInchOfMercury ? "inHg" : "hPa"; }
const char* unitSymbol(SpeedUnit unit) {
  switch (unit) {
    case SpeedUnit::kKnot: return "kt";
    case SpeedUnit::kMetrePerSecond: return "m/s";
    case SpeedUnit::kKilometrePerHour: return "km/h";
    case SpeedUnit::kMilePerHour: return "mph";
  }
  return "";
}
const char* unitSymbol(HeightUnit unit) { return unit == HeightUnit::kMetre ? "m" : "ft"; }

std::string temperatureText(double celsius, TemperatureUnit unit) {
  return formatText("%.1f%s", noNegativeZero(std::round(temperatureIn(celsius, unit) * 10.0) / 10.0), unitSymbol(unit));
}

std::string pressureText(double hectopascals, PressureUnit unit) {
  if (unit == PressureUnit::kInchOfMercury) return formatText("%.2f inHg", pressureIn(hectopascals, unit));
  return formatText("%.1f hPa", hectopascals);
}

std::string speedText(double knots, SpeedUnit unit) {
  const double value = speedIn(knots, unit);
  // Metres per second are small numbers: a tenth matters.
  if (unit == SpeedUnit::kMetrePerSecond) return formatText("%.1f m/s", value);
  return formatText("%ld %s", std::lround(value), unitSymbol(unit));
}

std::string visibilityText(double metres, VisibilityUnit unit) {
  if (unit == VisibilityUnit::kStatuteMile) {
    const double miles = metres / kMetresPerMile;
    if (miles >= 3.0) return formatText("%ld SM", std::lround(miles));
    // Quarters below three miles, as the reports give them.
    const long quarters = std::lround(miles * 4.0);
    if (quarters == 0) return "0 SM";
    static const char* const kFractions[] = {"", "1/4", "1/2", "3/4"};
    const long whole = quarters / 4;
    const char* fraction = kFractions[quarters % 4];
    if (whole == 0) return formatText("%s SM", fraction);
    if (*fraction == '\0') return formatText("%ld SM", whole);
    return formatText("%ld %s SM", whole, fraction);
  }
  if (metres < 5000.0) return formatText("%ld m", std::lround(metres / 50.0) * 50);
  return formatText("%ld km", std::lround(metres / 1000.0));
}

std::string heightText(double feet, HeightUnit unit) {
  return formatText("%ld %s", std::lround(heightIn(feet, unit)), unitSymbol(unit));
}

std::string windText(WindState state, double directionDeg, double speedKt, double gustKt, SpeedUnit unit) {
  switch (state) {
    case WindState::kMissing: return {};
    case WindState::kCalm: return "calm";
    case WindState::kVariable:
    case WindState::kFrom: break;
  }
  std::string text = state == WindState::kFrom ? formatText("%03ld\xB0", std::lround(directionDeg)) : "variable";
  text += " at " + speedText(speedKt, unit);
  if (std::isfinite(gustKt)) text += " gusting to " + speedText(gustKt, unit);
  return text;
}

std::string visibilityText(double metres, VisibilityBound bound, VisibilityUnit unit) {
  switch (bound) {
    case VisibilityBound::kOrMore: return visibilityText(metres, unit) + " or more";
    case VisibilityBound::kLessThan: return "less than " + visibilityText(metres, unit);
    case VisibilityBound::kExact: break;
  }
  return visibilityText(metres, unit);
}

std::string unitsSettingText(const DisplayUnits& units) {
  std::string text;
  for (std::string_view word :
       {kTemperatureWords[static_cast<std::size_t>(units.temperature)], kPressureWords[static_cast<std::size_t>(units.pressure)],
        kSpeedWords[static_cast<std::size_t>(units.speed)], kVisibilityWords[static_cast<std::size_t>(units.visibility)],
        kHeightWords[static_cast<std::size_t>(units.height)]}) {
    if (!text.empty()) text += ',';
    text += word;
  }
  return text;
}

std::optional<DisplayUnits> unitsFromSettingText(std::string_view text) {
  std::array<std::string_view, 5> words;
  std::size_t count = 0;
  while (count < words.size()) {
    const std::size_t comma = text.find(',');
    words[count++] = trim(text.substr(0, comma));
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
    if (count == words.size()) return std::nullopt;  // a sixth word
  }
  DisplayUnits units;
  if (count != words.size() || !readWord(words[0], kTemperatureWords, units.temperature) ||
      !readWord(words[1], kPressureWords, units.pressure) || !readWord(words[2], kSpeedWords, units.speed) ||
      !readWord(words[3], kVisibilityWords, units.visibility) || !readWord(words[4], kHeightWords, units.height))
    return std::nullopt;
  return units;
}

}  // namespace nimbrel
