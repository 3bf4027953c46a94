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
  bool gustDropped = false;            // a gust not above the mean wind was left out


  bool isCalm() const { return speedKt && *speedKt == 0.0 && !gustKt; }
};

inline constexpr double kKnotsPerMetrePerSecond = 3600.0 / 1852.0;
inline constexpr double kKnotsPerKilometrePerHour = 1000.0 / 1852.0;

// No surface wind has averaged 200 kt; gusts have reached about 220 kt.
inline constexpr double kMaxMeanWindKt = 200.0;
inline constexpr double kMaxGustKt = 250.0;

// "27015G25KT", "VRB03KT", "00000KT", "/////KT", "05010MPS", "P49MPS"; the
// unit in any case ("14005kt"). False for a mean wind that cannot be; a
// gust that cannot be is left out and gustDropped set.
bool decodeWindGroup(std::string_view text, Wind& out);
// The same with the unit split off by a space ("08005 KT"): true when
// `text` and `unit` together make a wind group.
bool decodeSplitWindGroup(std::string_view text, std::string_view unit, Wind& out);
// "180V240"; false unless the text is exactly that form.
bool decodeWindVariation(std::string_view text, Wind& out);

}  // namespace nimbrel
