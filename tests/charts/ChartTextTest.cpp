// Number conversions of the chart: the C library's rules, whatever the
// process locale says.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "charts/ChartText.h"

namespace nimbrel {
namespace {

TEST(ChartText, ReadNumberFollowsAtof) {
  EXPECT_EQ(readNumber("12.34"), 12.34);
  EXPECT_EQ(readNumber("  \t-3.25xyz"), -3.25);
  EXPECT_EQ(readNumber("+7"), 7.0);
  EXPECT_EQ(readNumber("1.5e2km"), 150.0);
  EXPECT_EQ(readNumber(".5"), 0.5);
  EXPECT_EQ(readNumber("0x1A"), 26.0);
  EXPECT_EQ(readNumber("word"), 0.0);
  EXPECT_EQ(readNumber(""), 0.0);
  EXPECT_EQ(readNumber("-"), 0.0);
  // Values that are no finite number read as 0 rather than poisoning a scale.
  EXPECT_EQ(readNumber("1e999"), 0.0);
  EXPECT_EQ(readNumber("-1e999"), 0.0);
  EXPECT_EQ(readNumber("1e-999"), 0.0);
  EXPECT_EQ(readNumber("nan"), 0.0);
}

TEST(ChartText, ReadIntegerFollowsAtoi) {
  EXPECT_EQ(readInteger("42"), 42);
  EXPECT_EQ(readInteger("  -7px"), -7);
  EXPECT_EQ(readInteger("3.9"), 3);
  EXPECT_EQ(readInteger("abc"), 0);
  EXPECT_EQ(readInteger("99999999999999999999"), std::numeric_limits<int>::max());
  EXPECT_EQ(readInteger("-99999999999999999999"), std::numeric_limits<int>::min());
}

TEST(ChartText, FormattingMatchesPrintf) {
  EXPECT_EQ(formatFixed(3.14159, 2), "3.14");
  EXPECT_EQ(formatFixed(-3.2, 2), "-3.20");
  EXPECT_EQ(formatFixed(90.0, 2), "90.00");
  EXPECT_EQ(formatFixed(2.675, 2), "2.67");  // the double just below 2.675
  EXPECT_EQ(formatWhole(-3.2, 4), "  -3");
  EXPECT_EQ(formatWhole(29.0, 4), "  29");
  EXPECT_EQ(formatWhole(12345.0, 4), "12345");
  EXPECT_EQ(formatWhole(270.0, 0), "270");
  EXPECT_EQ(formatWhole(1e300, 4).size(), 301u);
}

TEST(ChartText, TruncToIntSaturates) {
  EXPECT_EQ(truncToInt(-2.9), -2);
  EXPECT_EQ(truncToInt(2.9), 2);
  EXPECT_EQ(truncToInt(1e20), std::numeric_limits<int>::max());
  EXPECT_EQ(truncToInt(-1e20), std::numeric_limits<int>::min());
  EXPECT_EQ(truncToInt(std::nan("")), 0);
}

}  // namespace
}  // namespace nimbrel
