#include "base/TextNumbers.h"
#include "base/Text.h"

#include <locale.h>
#include <stdlib.h>

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>

namespace nimbrel {
namespace {

locale_t classicLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

}  // namespace

double readNumber(std::string_view text) {
  // A plain decimal ("-12.5", nearly every reading) is read in place;
  // blanks, a '+', hex or an out-of-range value take strtod's way below.
  if (!text.empty() && (isDigit(text.front()) || text.front() == '-' || text.front() == '.')) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc{} && (end == text.data() + text.size() || (*end != 'x' && *end != 'X')))
      return std::isfinite(value) ? value : 0.0;
  }
  // strtod needs a terminated text: short ones (nearly all) go through the
  // stack, long ones whole, as a typed-in field may hold a huge value.
  char buffer[64];
  std::string longText;
  const char* terminated = buffer;
  if (text.size() < sizeof buffer) {
    if (!text.empty()) std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
  } else {
    longText.assign(text);
    terminated = longText.c_str();
  }
  const double result = strtod_l(terminated, nullptr, classicLocale());
  // "inf" and "nan" are words, not readings: they would poison every scale.
  return std::isfinite(result) ? result : 0.0;
}

int readInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  while (i < text.size() && isDigit(text[i])) {
    value = value * 10 + (text[i++] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;  // saturate instead of overflowing
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace nimbrel
