// Reading numbers from text: the C library's atof and atoi rules, without
// their undefined overflow and whatever the process locale is. The one table
// every layer's number reading relies on.
#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <string>
#include <string_view>

#include "base/Text.h"
#include "base/TextNumbers.h"

namespace nimbrel {
namespace {

struct NumberCase {
  std::string_view text;
  double expected;
};

const NumberCase kNumberCases[] = {
    {"89", 89.0},
    {"-12", -12.0},
    {"+7", 7.0},
    {"  42m", 42.0},
    {"  \t-3.25xyz", -3.25},
    {"\n\v\f\r16+", 16.0},
    {"12.34", 12.34},
    {".5", 0.5},
    {"2e2", 200.0},
    {"1.5e2km", 150.0},
    {"12e", 12.0},  // an exponent without digits is not part of the number
    {"0x10", 16.0},
    {"0x1A", 26.0},
    {"-0x10", -16.0},
    {"160 degrees) at 10 MPH", 160.0},
    {"1234567890123456789", 1234567890123456789.0},
    {"abc", 0.0},
    {"", 0.0},
    {"-", 0.0},
    {"- 5", 0.0},
    // No finite number reads as 0, so no scale is poisoned.
    {"1e999", 0.0},
    {"-1e999", 0.0},
    {"1e-999", 0.0},
    {"nan", 0.0},
    {"inf", 0.0},
    {"-Infinity", 0.0},
};

TEST(ReadNumber, FollowsAtof) {
  for (const NumberCase& c : kNumberCases) EXPECT_EQ(readNumber(c.text), c.expected) << '"' << c.text << '"';
}

TEST(ReadNumber, ReadsOnlyUpToTheEndOfTheView) {
  EXPECT_EQ(readNumber(std::string_view("12345").substr(0, 2)), 12.0);
  EXPECT_EQ(readNumber(std::string_view("7.25e3").substr(0, 3)), 7.2);
}

TEST(ReadNumber, LongTextsReadWhole) {
  // A chart row keeps "%.2f" of any value: its text may be hundreds of
  // characters long and must read back as the value written.
  const std::string hundredNines(100, '9');
  EXPECT_DOUBLE_EQ(readNumber(hundredNines), 1e100);
  EXPECT_EQ(readNumber(std::string(80, ' ') + "12.5"), 12.5);
  EXPECT_EQ(readNumber("1" + std::string(300, '0') + ".00"), 1e300);
}

struct IntegerCase {
  std::string_view text;
  int expected;
};

const IntegerCase kIntegerCases[] = {
    {"42", 42},
    {"  -7px", -7},
    {"+7", 7},
    {" \t\n12", 12},
    {"3.9", 3},
    {"0x10", 0},
    {"abc", 0},
    {"", 0},
    {"-", 0},
    {"- 5", 0},
    {"2147483647", INT_MAX},
    {"-2147483648", INT_MIN},
    // Out of range saturates instead of overflowing.
    {"2147483648", INT_MAX},
    {"-2147483649", INT_MIN},
    {"99999999999999999999", INT_MAX},
    {"-99999999999999999999", INT_MIN},
};

TEST(ReadInteger, FollowsAtoiAndSaturates) {
  for (const IntegerCase& c : kIntegerCases) EXPECT_EQ(readInteger(c.text), c.expected) << '"' << c.text << '"';
}

// Sets a decimal-comma LC_NUMERIC for the test and puts "C" back.
class DecimalCommaLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"})
      if (std::setlocale(LC_NUMERIC, name) != nullptr) return;
    GTEST_SKIP() << "no locale with a decimal comma installed";
  }
  void TearDown() override { std::setlocale(LC_NUMERIC, "C"); }
};

TEST_F(DecimalCommaLocale, NumbersStillReadWithAPoint) {
  // The Qt application adopts the user's locale; station lists, pages and
  // typed-in fields are written with a point all the same.
  EXPECT_EQ(readNumber("1.5"), 1.5);
  EXPECT_EQ(readNumber("1,5"), 1.0);
  EXPECT_EQ(readInteger("1,5"), 1);
}

TEST_F(DecimalCommaLocale, TextsAreWrittenWithAPoint) {
  // Report details, tooltips and messages: printf's patterns, the C locale's point.
  const struct {
    std::string written;
    const char* expected;
  } cases[] = {
      {formatText("%.1f", -7.25), "-7.2"},
      {formatText("%.2f inches Hg (%.1f mb)", 30.01, 1016.3), "30.01 inches Hg (1016.3 mb)"},
      {formatText("%g km", 2.5), "2.5 km"},
      {formatText("%s %d", "x", 3), "x 3"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.written, c.expected);
  EXPECT_NE(std::localeconv()->decimal_point[0], '.') << "the process locale itself still writes a comma";
}

}  // namespace
}  // namespace nimbrel
