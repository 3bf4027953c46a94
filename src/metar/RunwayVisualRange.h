#pragma once
// "R26L/P1500U", "R09/0600V1000FT", "R08/2000".
#include <optional>
#include <string_view>

namespace nimbrel {

struct RunwayVisualRange {
  char runway[4] = {0, 0, 0, 0};  // "26L", "09", "88"
  std::optional<int> value;       // in the unit reported; empty for "////"
  std::optional<int> maxValue;    // the upper end of a "V" range
  char valuePrefix = 0;           // 'M' less than, 'P' more than, or 0
  char maxPrefix = 0;
  bool feet = false;
  char trend = 0;                 // 'U' up, 'D' down, 'N' no change, or 0

  std::string_view runwayName() const { return {runway, runway[2] ? 3u : 2u}; }
  std::optional<double> valueMetres() const;
  std::optional<double> maxValueMetres() const;
};

bool decodeRunwayVisualRange(std::string_view text, RunwayVisualRange& out);

}  // namespace nimbrel
