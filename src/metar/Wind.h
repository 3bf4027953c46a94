#pragma once
// Surface wind, converted to knots whatever unit the report used.
#include <optional>
#include <string_view>

namespace nimbrel {

struct Wind {
  bool reported = false;              // a wind group was there, even "/////KT"
  std::optional<int> directionDeg;    // empty when variable, calm or missing
  bool variable = false;              // VRB
  std::optional<double> speedKt;      // 0 is calm
  std::optional<double> gustKt;
  bool speedAbove = false;            // "P49MPS": more than the figure
  bool gustAbove = false;
  std::optional<int> variableFromDeg;  // "180V240"
  std::optional<int> variableToDeg;

  bool isCalm() const { return speedKt && *speedKt == 0.0 && !gustKt; }
};

inline constexpr double kKnotsPerMetrePerSecond = 3600.0 / 1852.0;
inline constexpr double kKnotsPerKilometrePerHour = 1000.0 / 1852.0;

// "27015G25KT", "VRB03KT", "00000KT", "/////KT", "05010MPS", "P49MPS".
bool decodeWindGroup(std::string_view text, Wind& out);
// "180V240"; false unless the text is exactly that form.
bool decodeWindVariation(std::string_view text, Wind& out);

}  // namespace nimbrel
