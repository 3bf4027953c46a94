// Any bytes as a report's date and time: an accepted text must give a real
// calendar time that converts and breaks down again to the same fields.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string_view>

#include "observations/ReportDateTime.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  nimbrel::ReportDateTime when;
  if (!nimbrel::parseReportDateTime(text, when)) return 0;
  if (when.year < 1970 || when.year > 9999 || when.month < 1 || when.month > 12 || when.day < 1 || when.day > 31 ||
      when.hour < 0 || when.hour > 23 || when.minute < 0 || when.minute > 59 || when.second < 0 || when.second > 59)
    __builtin_trap();
  std::int64_t seconds = 0;
  if (!nimbrel::convertReportTime(when, seconds)) return 0;
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm back{};
  if (gmtime_r(&t, &back) == nullptr) __builtin_trap();
  // The fuzzer runs in UTC (scripts/fuzz sets TZ), so the fields come back.
  if (back.tm_year + 1900 != when.year || back.tm_mon + 1 != when.month || back.tm_mday != when.day ||
      back.tm_hour != when.hour || back.tm_min != when.minute)
    __builtin_trap();
  return 0;
}
