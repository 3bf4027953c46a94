// The C-locale character classes and trimming every reader shares, and the
// program's default settings.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <limits>
#include <string_view>

#include "base/Settings.h"
#include "base/Text.h"

namespace nimbrel {
namespace {

TEST(Text, CharacterClassesAreTheCLocalesForEveryByte) {
  // Bytes above 127 are never letters, digits or blanks, whatever the
  // user's locale would say (the process stays in "C" for ctype here).
  for (int byte = 0; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    EXPECT_EQ(isSpace(c), std::isspace(byte) != 0) << byte;
    EXPECT_EQ(isDigit(c), std::isdigit(byte) != 0) << byte;
    EXPECT_EQ(isAlpha(c), std::isalpha(byte) != 0) << byte;
    EXPECT_EQ(static_cast<unsigned char>(lowerAscii(c)), std::tolower(byte)) << byte;
  }
}

TEST(Text, TrimRemovesBlanksAtBothEndsOnly) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"", ""},         {" ", ""},           {" \t\r\n\v\f", ""}, {"abc", "abc"},
      {"  a b  ", "a b"}, {"\ta\n", "a"}, {"\xA0x\xA0", "\xA0x\xA0"},  // a non-breaking space is no blank
  };
  for (const auto& [text, trimmed] : cases) EXPECT_EQ(trim(text), trimmed) << '"' << text << '"';
}

TEST(Text, Windows1252BecomesUtf8) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"12 C", "12 C"},
      {"12\xB0" "C", "12\u00B0C"},
      {"\x80 \x9F \xFF", "\u20AC \u0178 \u00FF"},
      {"\x81", "\uFFFD"},  // no character at all in the code page
  };
  for (const auto& [text, utf8] : cases) EXPECT_EQ(windows1252ToUtf8(text), utf8) << text;
}


TEST(Settings, EveryRunStartsFromTheDocumentedDefaults) {
  const Settings settings;
  EXPECT_TRUE(settings.showTemperature && settings.showPressure && settings.showWindSpeed &&
              settings.showWindDirection);
  EXPECT_FALSE(settings.timeUtc);
  EXPECT_FALSE(settings.writeMeteodata);
  EXPECT_TRUE(settings.metricStyle);
  EXPECT_EQ(settings.pastHours, 6);
  EXPECT_EQ(settings.nearestMinutes, 90.0);
}

}  // namespace
}  // namespace nimbrel
