// Any bytes as a report's date and time: an accepted text must give a real
// calendar time that converts and breaks down again to the same fields. The
// first byte picks the time zone, so the local-time and daylight-saving
// paths are reached too.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string_view>

#include "observations/ReportDateTime.h"

namespace {

const char* const kZones[] = {"UTC0", "CET-1CEST,M3.5.0,M10.5.0/3", "EST5EDT,M3.2.0,M11.1.0",
                              "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", "<-03>3"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t zone = data[0] % std::size(kZones);
  setenv("TZ", kZones[zone], 1);
  tzset();
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::optional<nimbrel::UtcDateTime> read = nimbrel::parseReportDateTime(text);
  if (!read) return 0;
  const nimbrel::UtcDateTime when = *read;
  if (!when.isValid() || when.year < 1970) __builtin_trap();
  std::int64_t seconds = 0;
  if (!nimbrel::convertReportTime(when, seconds)) return 0;
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm back{};
  if (localtime_r(&t, &back) == nullptr) __builtin_trap();
  if (zone == 0) {
    // Without daylight saving the fields come back as they were.
    if (back.tm_year + 1900 != when.year || back.tm_mon + 1 != when.month || back.tm_mday != when.day ||
        back.tm_hour != when.hour || back.tm_min != when.minute)
      __builtin_trap();
    return 0;
  }
  // A local time that a clock change skipped moves; converting the moved
  // fields again must then stay where it is.
  const nimbrel::UtcDateTime moved{back.tm_year + 1900, back.tm_mon + 1, back.tm_mday, back.tm_hour, back.tm_min};
  std::int64_t again = 0;
  if (!nimbrel::convertReportTime(moved, again)) __builtin_trap();
  if (again != seconds) __builtin_trap();
  return 0;
}
