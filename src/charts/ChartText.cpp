#include "charts/ChartText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <algorithm>
#include <limits>

namespace nimbrel {
namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string_view SkipSpace(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  return text.substr(i);
}

}  // namespace

double ReadNumber(std::string_view text) {
  text = SkipSpace(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  double value = 0.0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    auto [ptr, ec] = std::from_chars(first + 2, last, value, std::chars_format::hex);
    if (ec != std::errc() || ptr == first + 2) value = 0.0;  // "0x" alone reads as 0
  } else {
    auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
      // Like strtod: overflow gives infinity, underflow gives zero.
      std::string_view matched(first, static_cast<std::size_t>(ptr - first));
      std::size_t e = matched.find_first_of("eE");
      bool tiny = e != std::string_view::npos && e + 1 < matched.size() && matched[e + 1] == '-';
      value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (ec != std::errc()) {
      value = 0.0;
    }
  }
  return negative ? -value : value;
}

int ReadInteger(std::string_view text) {
  text = SkipSpace(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    if (value <= static_cast<long long>(std::numeric_limits<int>::max()) + 1) value = value * 10 + (c - '0');
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

std::string FormatFixed(double value, int decimals) {
  if (!std::isfinite(value)) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%f", value);  // inf / nan: no decimal point involved
    return buffer;
  }
  char buffer[400];
  auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (ec != std::errc()) return std::string();
  return std::string(buffer, ptr);
}

std::string FormatWhole(double value, int width) {
  // No decimal point is written, so the locale cannot change the result.
  char buffer[400];
  int length = std::snprintf(buffer, sizeof buffer, "%*.f", width, value);
  if (length < 0) return std::string();
  return std::string(buffer, static_cast<std::size_t>(std::min<int>(length, sizeof buffer - 1)));
}

int TruncToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (value <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

}  // namespace nimbrel
