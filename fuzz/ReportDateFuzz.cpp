// Any bytes as a report's date and time: an accepted text must give a real
// calendar time whose minutes since 1970 give the same fields back.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "observations/ReportDateTime.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<nimbrel::UtcDateTime> read = nimbrel::parseReportDateTime(text);
  if (!read) return 0;
  const nimbrel::UtcDateTime when = *read;
  if (!when.isValid() || when.year < 1970) __builtin_trap();
  // A page's time is UTC whatever the computer's zone.
  if (nimbrel::UtcDateTime::fromEpochMinutes(when.epochMinutes()) != when) __builtin_trap();
  return 0;
}
