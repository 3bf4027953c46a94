#include "base/Text.h"

#include <locale.h>

#include <cstdarg>

namespace nimbrel {

std::string formatText(const char* pattern, ...) {
  // The C locale for this thread only, while printf runs: the user's locale
  // (Qt adopts it) may write a decimal comma.
  static const locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  const locale_t previous = uselocale(classic);
  char text[160];
  va_list values;
  va_start(values, pattern);
  const int length = std::vsnprintf(text, sizeof text, pattern, values);
  va_end(values);
  uselocale(previous);
  return length < 0 ? std::string() : std::string(text);
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  return text;
}

std::string windows1252ToUtf8(std::string_view text) {
  // 0x80..0x9F: the code page's own characters; the rest is Latin-1.
  static constexpr char16_t kHigh[32] = {
      0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
  std::string out;
  out.reserve(text.size());
  for (const unsigned char c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    const unsigned code = c < 0xA0 ? kHigh[c - 0x80] : c;
    if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
    } else {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
  return out;
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
