#include "metar/Wind.h"

#include "metar/Digits.h"
#include "metar/Word.h"

namespace nimbrel {

namespace {

// "15", "105", "P49", "//": the speed figure; -1 when the text is not one.
bool readSpeed(std::string_view text, std::optional<double>& value, bool& above) {
  if (isWord(text, "//") || isWord(text, "///")) return true;
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

bool endsWithUnit(std::string_view text, std::string_view unit) {
  if (text.size() < unit.size()) return false;
  const std::string_view tail = text.substr(text.size() - unit.size());
  for (std::size_t i = 0; i < unit.size(); ++i)
    if ((tail[i] & ~0x20) != unit[i]) return false;  // upper or lower case
  return true;
}

// Takes the unit off `text`; the factor to knots, or 0 when there is none.
double takeUnit(std::string_view& text) {
  // Most groups end in none of the units' last letters: out at once.
  if (text.empty()) return 0.0;
  const char last = static_cast<char>(text.back() & ~0x20);
  if (last != 'T' && last != 'S' && last != 'H') return 0.0;
  if (endsWithUnit(text, "KT")) {
    text.remove_suffix(2);
    return 1.0;
  }
  if (endsWithUnit(text, "KTS")) {
    text.remove_suffix(3);
    return 1.0;
  }
  if (endsWithUnit(text, "MPS")) {
    text.remove_suffix(3);
    return kKnotsPerMetrePerSecond;
  }
  if (endsWithUnit(text, "KMH")) {
    text.remove_suffix(3);
    return kKnotsPerKilometrePerHour;
  }
  return 0.0;
}

}  // namespace

bool decodeSplitWindGroup(std::string_view text, std::string_view unit, Wind& out) {
  if (text.size() < 5 || text.size() > 12 || unit.size() < 2 || unit.size() > 3) return false;
  std::string_view bare = unit;
  if (takeUnit(bare) == 0.0 || !bare.empty()) return false;
  for (char c : text)
    if (!digits::isDigit(c) && c != 'G' && c != '/' && c != 'V' && c != 'R' && c != 'B' && c != 'P') return false;
  char joined[16];
  text.copy(joined, text.size());
  unit.copy(joined + text.size(), unit.size());
  return decodeWindGroup({joined, text.size() + unit.size()}, out);
}

bool decodeWindGroup(std::string_view text, Wind& out) {
  const double factor = takeUnit(text);
  if (factor == 0.0) return false;
  if (text.size() < 4 || (text.size() == 4 && !startsWithWord(text, "VRB"))) return false;
  Wind wind;
  wind.reported = true;
  const std::string_view direction = text.substr(0, 3);
  if (isWord(direction, "VRB")) {
    wind.variable = true;
  } else if (!isWord(direction, "///")) {
    const int degrees = digits::value(direction);
    if (degrees < 0 || degrees > 360) return false;
    wind.directionDeg = degrees;
  }
  text.remove_prefix(3);
  const std::size_t g = findChar(text, 'G');
  const std::string_view speed = text.substr(0, g);
  // "VRB3KT": the leading zero left out, plain only after VRB.
  if (wind.variable && speed.size() == 1 && digits::isDigit(speed[0])) {
    wind.speedKt = speed[0] - '0';
  } else if (!readSpeed(speed, wind.speedKt, wind.speedAbove)) {
    return false;
  }
  if (g != std::string_view::npos) {
    if (!readSpeed(text.substr(g + 1), wind.gustKt, wind.gustAbove)) return false;
    if (wind.gustKt) {
      *wind.gustKt *= factor;
      if (*wind.gustKt > kMaxGustKt) {
        wind.gustKt.reset();
        wind.gustDropped = true;
      }
    }
  }
  if (wind.speedKt) {
    *wind.speedKt *= factor;
    if (*wind.speedKt >= kMaxMeanWindKt) return false;
    // "P99GP99KT" says only that both are above 99: no contradiction.
    if (wind.gustKt && !wind.gustAbove && *wind.gustKt <= *wind.speedKt) {
      wind.gustKt.reset();
      wind.gustDropped = true;
    }
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
