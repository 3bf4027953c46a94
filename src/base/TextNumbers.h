#pragma once
#include <string_view>

namespace nimbrel {

// The C library's atof rule on a piece of text, whatever the process locale
// (Qt adopts the user's, which may write a decimal comma): leading white
// space skipped, the longest numeric prefix read, 0 when there is none.
// Infinity and NaN read as 0.
double readNumber(std::string_view text);

// The C library's atoi rule, locale-free as above.
int readInteger(std::string_view text);

}  // namespace nimbrel
