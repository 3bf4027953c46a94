#include "base/Text.h"

namespace nimbrel {

std::string_view trim(std::string_view text) {
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  return text;
}

std::tm localTime(std::int64_t seconds) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm fields{};
  // glibc fills some fields before it finds a year an int cannot hold.
  if (localtime_r(&t, &fields) == nullptr) return std::tm{};
  return fields;
}

}  // namespace nimbrel
