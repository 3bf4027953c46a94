#include "observations/ReportDateTime.h"
#include "base/Text.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace nimbrel {

namespace {


bool allDigits(std::string_view s) {
  if (s.empty() || s.size() > 9) return false;
  for (char c : s)
    if (!isDigit(c)) return false;
  return true;
}

int toInt(std::string_view s) {
  int value = 0;
  for (char c : s) value = value * 10 + (c - '0');
  return value;
}

// 1..12 for a month name or its three-letter (or "sept") abbreviation.
int monthNumber(std::string_view word) {
  static const std::array<std::string_view, 12> kNames = {"january", "february", "march",     "april",
                                                          "may",     "june",     "july",      "august",
                                                          "september", "october", "november", "december"};
  std::string lower;
  for (char c : word) lower += lowerAscii(c);
  if (!lower.empty() && lower.back() == '.') lower.pop_back();
  if (lower.size() < 3) return 0;
  for (std::size_t m = 0; m < kNames.size(); ++m) {
    if (lower == kNames[m] || lower == kNames[m].substr(0, 3)) return static_cast<int>(m) + 1;
  }
  if (lower == "sept") return 9;
  return 0;
}

int expandYear(std::string_view digits) {
  const int value = toInt(digits);
  if (digits.size() == 4) return value;
  if (digits.size() == 2) return value < 30 ? 2000 + value : 1900 + value;
  return -1;
}

// A text cut at `separator` into at most three parts; `count` says four
// when there are more, which no date or time has.
struct Parts {
  std::array<std::string_view, 3> part;
  std::size_t count = 0;
};

Parts splitOn(std::string_view text, char separator) {
  Parts parts;
  std::size_t start = 0;
  while (true) {
    if (parts.count == parts.part.size()) {
      ++parts.count;
      return parts;
    }
    const std::size_t hit = text.find(separator, start);
    parts.part[parts.count++] = text.substr(start, hit == std::string_view::npos ? std::string_view::npos : hit - start);
    if (hit == std::string_view::npos) return parts;
    start = hit + 1;
  }
}

struct Time {
  int hour = 0;
  int minute = 0;
  int second = 0;
};

std::optional<Time> readColonTime(std::string_view token) {
  const Parts split = splitOn(token, ':');
  if (split.count < 2 || split.count > 3) return std::nullopt;
  const auto& parts = split.part;
  for (std::size_t p = 0; p < split.count; ++p)
    if (!allDigits(parts[p]) || parts[p].size() > 2) return std::nullopt;
  Time time{toInt(parts[0]), toInt(parts[1]), split.count == 3 ? toInt(parts[2]) : 0};
  return time;
}

std::optional<Time> readFourDigitTime(std::string_view token) {
  if (token.size() != 4 || !allDigits(token)) return std::nullopt;
  return Time{toInt(token.substr(0, 2)), toInt(token.substr(2, 2)), 0};
}

// A numeric date token with '/', '-' or '.' between its three parts.
bool readNumericDate(std::string_view token, UtcDateTime& date) {
  char separator = 0;
  for (char c : token) {
    if (c == '/' || c == '-' || c == '.') {
      if (separator != 0 && c != separator) return false;
      separator = c;
    }
  }
  if (separator == 0) return false;
  const Parts split = splitOn(token, separator);
  if (split.count != 3) return false;
  const auto& parts = split.part;
  for (std::string_view part : parts)
    if (!allDigits(part)) return false;
  if (parts[0].size() == 4) {  // year first: yyyy-mm-dd, yyyy.mm.dd, yyyy/mm/dd
    if (parts[1].size() > 2 || parts[2].size() > 2) return false;
    date.year = toInt(parts[0]);
    date.month = toInt(parts[1]);
    date.day = toInt(parts[2]);
    return true;
  }
  // Month first, as US English writes it.
  if (parts[0].size() > 2 || parts[1].size() > 2) return false;
  date.year = expandYear(parts[2]);
  date.month = toInt(parts[0]);
  date.day = toInt(parts[1]);
  return date.year > 0;
}

enum class Kind { kNumber, kMonth, kColonTime, kNumericDate, kMeridiem };

struct Token {
  Kind kind;
  std::string_view text;
  int month = 0;
};

}  // namespace

std::optional<UtcDateTime> parseReportDateTime(std::string_view text) {
  std::vector<Token> tokens;
  tokens.reserve(8);
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == ' ' || c == '\t' || c == ',') {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && text[end] != ' ' && text[end] != '\t' && text[end] != ',') ++end;
    std::string_view word = text.substr(i, end - i);
    i = end;
    if (isAlpha(word.front())) {
      std::string lower;
      for (char w : word) lower += lowerAscii(w);
      if (lower == "am" || lower == "pm" || lower == "a.m." || lower == "p.m.") {
        tokens.push_back({Kind::kMeridiem, word, lower[0] == 'p' ? 1 : 0});
        continue;
      }
      const int month = monthNumber(word);
      if (month == 0) return std::nullopt;
      tokens.push_back({Kind::kMonth, word, month});
      continue;
    }
    // A time glued to its AM/PM marker, as in "5:53PM".
    if (word.size() > 2 && isAlpha(word.back())) {
      const std::string_view suffix = word.substr(word.size() - 2);
      const char first = lowerAscii(suffix[0]);
      if ((first == 'a' || first == 'p') && lowerAscii(suffix[1]) == 'm') {
        tokens.push_back({Kind::kColonTime, word.substr(0, word.size() - 2)});
        tokens.push_back({Kind::kMeridiem, suffix, first == 'p' ? 1 : 0});
        continue;
      }
    }
    if (word.find(':') != std::string_view::npos) {
      tokens.push_back({Kind::kColonTime, word});
    } else if (allDigits(word)) {
      tokens.push_back({Kind::kNumber, word});
    } else {
      tokens.push_back({Kind::kNumericDate, word});
    }
  }

  UtcDateTime date;
  std::optional<Time> time;
  int meridiem = -1;
  bool haveDate = false;
  int monthIndex = -1;
  std::vector<std::size_t> numbers;
  for (std::size_t t = 0; t < tokens.size(); ++t) {
    const Token& token = tokens[t];
    switch (token.kind) {
      case Kind::kMeridiem:
        if (meridiem >= 0) return std::nullopt;
        meridiem = token.month;
        break;
      case Kind::kColonTime:
        if (time) return std::nullopt;
        time = token.text.find(':') != std::string_view::npos ? readColonTime(token.text)
                                                              : readFourDigitTime(token.text);
        if (!time) return std::nullopt;
        break;
      case Kind::kNumericDate:
        if (haveDate || monthIndex >= 0 || !readNumericDate(token.text, date)) return std::nullopt;
        haveDate = true;
        break;
      case Kind::kMonth:
        if (haveDate || monthIndex >= 0) return std::nullopt;
        monthIndex = static_cast<int>(t);
        date.month = token.month;
        break;
      case Kind::kNumber:
        numbers.push_back(t);
        break;
    }
  }

  if (monthIndex >= 0) {
    // Written month: one or two-digit day next to the month, and the year
    // as the four-digit number right after the day or the month; another
    // four-digit number is the time.
    int dayIndex = -1;
    for (std::size_t n : numbers) {
      if (tokens[n].text.size() <= 2) {
        if (dayIndex >= 0) return std::nullopt;
        dayIndex = static_cast<int>(n);
      }
    }
    if (dayIndex < 0 || (dayIndex != monthIndex - 1 && dayIndex != monthIndex + 1)) return std::nullopt;
    date.day = toInt(tokens[static_cast<std::size_t>(dayIndex)].text);
    const int yearIndex = std::max(dayIndex, monthIndex) + 1;
    bool haveYear = false;
    for (std::size_t n : numbers) {
      if (static_cast<int>(n) == dayIndex) continue;
      if (static_cast<int>(n) == yearIndex && tokens[n].text.size() == 4) {
        date.year = toInt(tokens[n].text);
        haveYear = true;
      } else {
        if (time) return std::nullopt;
        time = readFourDigitTime(tokens[n].text);
        if (!time) return std::nullopt;
      }
    }
    if (!haveYear) return std::nullopt;
    haveDate = true;
  } else {
    for (std::size_t n : numbers) {
      if (time) return std::nullopt;
      time = readFourDigitTime(tokens[n].text);
      if (!time) return std::nullopt;
    }
  }
  if (!haveDate) return std::nullopt;

  Time clock = time.value_or(Time{});
  if (meridiem >= 0) {
    if (!time || clock.hour < 1 || clock.hour > 12) return std::nullopt;
    clock.hour = clock.hour % 12 + (meridiem == 1 ? 12 : 0);
  }
  if (clock.hour > 23 || clock.minute > 59 || clock.second > 59) return std::nullopt;
  if (date.year < 1970 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1 ||
      date.day > UtcDateTime::daysInMonth(date.year, date.month))
    return std::nullopt;
  date.hour = clock.hour;
  date.minute = clock.minute;
  return date;
}

}  // namespace nimbrel
