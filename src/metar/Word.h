#pragma once
// Comparisons of a group with a fixed word. The word's length is known when
// compiling, so each becomes a size test and a few loads, with no call.
#include <cstddef>
#include <cstring>
#include <string_view>

namespace nimbrel {

template <std::size_t N>
inline bool isWord(std::string_view text, const char (&word)[N]) {
  return text.size() == N - 1 && std::memcmp(text.data(), word, N - 1) == 0;
}

template <std::size_t N>
inline bool startsWithWord(std::string_view text, const char (&word)[N]) {
  return text.size() >= N - 1 && std::memcmp(text.data(), word, N - 1) == 0;
}

template <std::size_t N>
inline bool endsWithWord(std::string_view text, const char (&word)[N]) {
  return text.size() >= N - 1 && std::memcmp(text.data() + text.size() - (N - 1), word, N - 1) == 0;
}

// Where `c` first stands in a group from `from` on, or npos. A group is a
// few characters: too short to repay a library call.
inline std::size_t findChar(std::string_view text, char c, std::size_t from = 0) {
  for (std::size_t i = from; i < text.size(); ++i)
    if (text[i] == c) return i;
  return std::string_view::npos;
}

}  // namespace nimbrel
