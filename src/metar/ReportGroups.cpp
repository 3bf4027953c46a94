#include "metar/ReportGroups.h"

#include "metar/Digits.h"
#include "metar/Word.h"

namespace nimbrel {

namespace {

bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }

bool isRunwayDesignator(std::string_view text) {
  if (text.size() < 2 || text.size() > 3 || !digits::isDigit(text[0]) || !digits::isDigit(text[1])) return false;
  return text.size() == 2 || text[2] == 'L' || text[2] == 'R' || text[2] == 'C';
}

bool isDigitOrSlash(char c) { return digits::isDigit(c) || c == '/'; }

}  // namespace

bool isStationId(std::string_view text) {
  if (text.size() != 4 || !isUpper(text[0])) return false;
  for (char c : text.substr(1))
    if (!isUpper(c) && !digits::isDigit(c)) return false;
  return true;
}

namespace {

// "DDHHMM": a day of the month, an hour (24 allowed) and a minute.
bool readDayTimeDigits(std::string_view sixDigits, DayTime& out) {
  const int value = digits::value(sixDigits);
  if (value < 0) return false;
  const DayTime t{value / 10000, value / 100 % 100, value % 100};
  if (t.day < 1 || t.day > 31 || t.hour > 24 || t.minute > 59) return false;
  out = t;
  return true;
}

}  // namespace

bool decodeDayTimeGroup(std::string_view text, DayTime& out) {
  if (text.size() != 7 || text[6] != 'Z') return false;
  return readDayTimeDigits(text.substr(0, 6), out);
}

bool decodeHeaderDayTime(std::string_view text, DayTime& out, std::string_view& rest) {
  rest = {};
  if (text.size() < 6) return false;
  if (text.size() == 7 && text[6] != 'Z' && !isUpper(text[6])) return false;
  if (text.size() > 7) {
    if (text[6] != 'Z') return false;
    rest = text.substr(7);
  }
  return readDayTimeDigits(text.substr(0, 6), out);
}

bool isRunwayStateGroup(std::string_view text) {
  if (isWord(text, "SNOCLO") || isWord(text, "R/SNOCLO")) return true;
  if (text.size() >= 5 && text[0] == 'R' && digits::allSlashes(text.substr(1))) return true;  // not available
  if (text.size() == 8 && digits::isDigit(text[0]) && digits::isDigit(text[1])) {
    // The older form without "R" and slash: "26290195", "14CLRD70".
    std::string_view state = text.substr(2);
    if (startsWithWord(state, "CLRD")) state.remove_prefix(4);
    bool all = true;
    for (char c : state) all = all && isDigitOrSlash(c);
    if (all) return true;
  }
  if (text.size() < 5 || text[0] != 'R') return false;
  const std::size_t slash = text.find('/');
  if (slash == std::string_view::npos || !isRunwayDesignator(text.substr(1, slash - 1))) return false;
  const std::string_view state = text.substr(slash + 1);
  if (isWord(state, "SNOCLO")) return true;
  if (state.size() != 6) return false;
  if (startsWithWord(state, "CLRD")) return isDigitOrSlash(state[4]) && isDigitOrSlash(state[5]);
  for (char c : state)
    if (!isDigitOrSlash(c)) return false;
  return true;
}

bool isSeaStateGroup(std::string_view text) {
  if (text.size() < 6 || text[0] != 'W') return false;
  text.remove_prefix(1);
  if (text[0] == 'M') text.remove_prefix(1);
  const std::string_view temperature = text.substr(0, 2);
  if (!(digits::allDigits(temperature) || isWord(temperature, "//")) || text.size() < 4 || text[2] != '/') return false;
  const std::string_view sea = text.substr(3);
  if (sea.size() < 2 || (sea[0] != 'S' && sea[0] != 'H')) return false;
  for (char c : sea.substr(1))
    if (!isDigitOrSlash(c)) return false;
  return true;
}

bool isColourStateGroup(std::string_view text) {
  // One state or the present and the forecast one, run together or with a
  // slash: "BLU", "BLU/WHT", "BLU/", "BLU+BLU+", "BLACKRED".
  static constexpr std::string_view kColours[] = {"BLU", "WHT", "GRN", "YLO1", "YLO2", "YLO", "AMB", "RED"};
  if (text.empty() || text.size() > 24) return false;
  int count = 0;
  while (!text.empty()) {
    if (startsWithWord(text, "BLACK")) text.remove_prefix(5);
    bool found = false;
    for (std::string_view colour : kColours) {
      if (text.starts_with(colour)) {
        text.remove_prefix(colour.size());
        found = true;
        break;
      }
    }
    if (!found) return false;
    ++count;
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    if (!text.empty() && text[0] == '/') text.remove_prefix(1);
  }
  return count > 0 && count <= 2;
}

bool isRainfallGroup(std::string_view text) {
  // Australian automatic stations: "RF00.2/011.2", rain in the last ten
  // minutes and since 9 am local time; "/" for figures not available.
  if (text.size() != 12 || !startsWithWord(text, "RF") || text[6] != '/') return false;
  for (std::size_t i = 2; i < text.size(); ++i)
    if (i != 6 && !isDigitOrSlash(text[i]) && text[i] != '.') return false;
  return true;
}

bool isWindShearRunwayWord(std::string_view text) {
  if (isWord(text, "ALL") || isWord(text, "RWY") || isWord(text, "TKOF") || isWord(text, "LDG")) return true;
  if (startsWithWord(text, "RWY")) return isRunwayDesignator(text.substr(3));
  if (startsWithWord(text, "R")) return isRunwayDesignator(text.substr(1));
  return false;
}

}  // namespace nimbrel
