#pragma once
// The unit conversions the reports, the chart and the map's texts share.
namespace nimbrel {

inline constexpr double kMetresPerSecondPerKnot = 0.514444;
inline constexpr double kMilesPerHourPerKnot = 1.150779;
inline constexpr double kKilometresPerHourPerKnot = 1.852;
inline constexpr double kMilesPerHourPerMetreSecond = 2.2369418519393043;
inline constexpr double kHectopascalsPerInch = 33.8639;
inline constexpr double kMetresPerMile = 1609.344;
inline constexpr double kMetresPerFoot = 0.3048;

}  // namespace nimbrel
