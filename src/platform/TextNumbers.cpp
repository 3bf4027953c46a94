#include "platform/TextNumbers.h"

#include <locale.h>
#include <stdlib.h>

#include <climits>
#include <cmath>
#include <cstring>

namespace nimbrel {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

locale_t ClassicLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

}  // namespace

double ReadNumber(std::string_view text) {
  // Almost every number read is a plain run of digits: read it directly and
  // leave everything else (fractions, exponents, hex) to strtod.
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::size_t firstDigit = i;
  long long value = 0;
  while (i < text.size() && IsDigit(text[i]) && i - firstDigit < 15) value = value * 10 + (text[i++] - '0');
  const bool plain = i > firstDigit && (i == text.size() || (!IsDigit(text[i]) && text[i] != '.' && text[i] != 'e' &&
                                                              text[i] != 'E' && text[i] != 'x' && text[i] != 'X'));
  if (plain) {
    const double magnitude = static_cast<double>(value);
    return negative ? -magnitude : magnitude;
  }
  char buffer[64];
  const std::size_t length = text.size() < sizeof buffer - 1 ? text.size() : sizeof buffer - 1;
  if (length > 0) std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  const double result = strtod_l(buffer, nullptr, ClassicLocale());
  // "inf" and "nan" are words, not readings: they would poison every scale.
  return std::isfinite(result) ? result : 0.0;
}

int ReadInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  while (i < text.size() && IsDigit(text[i])) {
    value = value * 10 + (text[i++] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;  // saturate instead of overflowing
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace nimbrel
