#include "charts/ChartText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <algorithm>
#include <limits>

namespace nimbrel {

std::string formatFixed(double value, int decimals) {
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

std::string formatWhole(double value, int width) {
  // No decimal point is written, so the locale cannot change the result.
  char buffer[400];
  int length = std::snprintf(buffer, sizeof buffer, "%*.f", width, value);
  if (length < 0) return std::string();
  return std::string(buffer, static_cast<std::size_t>(std::min<int>(length, sizeof buffer - 1)));
}

int truncToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (value <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

}  // namespace nimbrel
