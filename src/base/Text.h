#pragma once
// The small text helpers every reader needs, with the C locale's rules
// whatever the user's locale is.
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>

namespace nimbrel {

constexpr bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
// Only A to Z change, as in the C locale.
constexpr char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view trim(std::string_view text);

// A value made safe for a URL's query: every byte but the unreserved ones
// percent-encoded, so it never ends or extends the query ("+" stays, as the
// services read it as a blank).
std::string percentEncoded(const std::string& value);

// The program's Windows-1252 texts as UTF-8, for terminals and new files.
// The five bytes that code nothing become U+FFFD.
std::string windows1252ToUtf8(std::string_view text);

// printf into a string, for short texts (at most 159 characters), with a
// '.' as decimal point whatever the user's locale is.
std::string formatText(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

}  // namespace nimbrel
