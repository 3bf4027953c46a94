#include "metar/Wind.h"

#include "metar/Digits.h"

namespace nimbrel {

namespace {

// "15", "105", "P49", "//": the speed figure; -1 when the text is not one.
bool readSpeed(std::string_view text, std::optional<double>& value, bool& above) {
  if (text == "//" || text == "///") return true;
  if (!text.empty() && text[0] == 'P') {
    above = true;
    text.remove_prefix(1);
  }
  if (text.size() < 2 || text.size() > 3) return false;
  const int v = digits::value(text);
  if (v < 0) return false;
  value = v;
  return true;
}

}  // namespace

bool decodeWindGroup(std::string_view text, Wind& out) {
  double factor = 1.0;
  if (text.ends_with("KT")) {
    text.remove_suffix(2);
  } else if (text.ends_with("KTS")) {
    text.remove_suffix(3);
  } else if (text.ends_with("MPS")) {
    text.remove_suffix(3);
    factor = kKnotsPerMetrePerSecond;
  } else if (text.ends_with("KMH")) {
    text.remove_suffix(3);
    factor = kKnotsPerKilometrePerHour;
  } else {
    return false;
  }
  if (text.size() < 5) return false;
  Wind wind;
  wind.reported = true;
  const std::string_view direction = text.substr(0, 3);
  if (direction == "VRB") {
    wind.variable = true;
  } else if (direction != "///") {
    const int degrees = digits::value(direction);
    if (degrees < 0 || degrees > 360) return false;
    wind.directionDeg = degrees;
  }
  text.remove_prefix(3);
  const std::size_t g = text.find('G');
  if (!readSpeed(text.substr(0, g), wind.speedKt, wind.speedAbove)) return false;
  if (g != std::string_view::npos) {
    if (!readSpeed(text.substr(g + 1), wind.gustKt, wind.gustAbove)) return false;
    if (wind.gustKt) *wind.gustKt *= factor;
  }
  if (wind.speedKt) {
    *wind.speedKt *= factor;
    if (*wind.speedKt == 0.0 && !wind.gustKt) {
      // Calm has no direction, whether written 00000KT or VRB00KT.
      wind.directionDeg.reset();
      wind.variable = false;
    }
  }
  out = wind;
  return true;
}

bool decodeWindVariation(std::string_view text, Wind& out) {
  if (text.size() != 7 || text[3] != 'V') return false;
  const int from = digits::value(text.substr(0, 3));
  const int to = digits::value(text.substr(4, 3));
  if (from < 0 || from > 360 || to < 0 || to > 360) return false;
  out.variableFromDeg = from;
  out.variableToDeg = to;
  return true;
}

}  // namespace nimbrel
