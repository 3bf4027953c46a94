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

std::string percentEncoded(const std::string& value) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : value) {
    const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                            c == '-' || c == '_' || c == '.' || c == '~' || c == '+';
    if (unreserved) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}


}  // namespace nimbrel
