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

}  // namespace nimbrel
