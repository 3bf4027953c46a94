#pragma once
// Small digit readers for the group decoders: no locale, no allocation.
#include <string_view>

namespace nimbrel::digits {

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

inline bool allDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (!isDigit(c)) return false;
  return true;
}

inline bool allSlashes(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c != '/') return false;
  return true;
}

// The value of an all-digit text of at most 9 digits, or -1.
inline int value(std::string_view text) {
  if (text.empty() || text.size() > 9) return -1;
  int v = 0;
  for (char c : text) {
    if (!isDigit(c)) return -1;
    v = v * 10 + (c - '0');
  }
  return v;
}

}  // namespace nimbrel::digits
