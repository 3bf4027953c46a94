#pragma once
// Number <-> text conversions of the chart and its dialog. They follow the
// C library's atof/atoi/printf rules but never depend on the process locale:
// Qt adopts the user's, which may write a decimal comma.
#include <string>
#include <string_view>

#include "base/TextNumbers.h"

namespace nimbrel {

// printf "%.Nf" with N = decimals, always with a '.' as decimal point.
std::string formatFixed(double value, int decimals);

// printf "%W.f": rounded to no decimals, right-aligned in at least width
// characters.
std::string formatWhole(double value, int width);

// Truncates towards zero like a C cast, but saturates out-of-range and
// maps NaN to 0 instead of invoking undefined behaviour.
int truncToInt(double value);

}  // namespace nimbrel
