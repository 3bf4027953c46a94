// Number formatting of the chart: printf's rules, whatever the process
// locale says, and a field's text reads back as the value written.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "charts/ChartText.h"

namespace nimbrel {
namespace {

struct FixedCase {
  double value;
  int decimals;
  const char* text;
};

const FixedCase kFixedCases[] = {
    {3.14159, 2, "3.14"},  {-3.2, 2, "-3.20"},  {90.0, 2, "90.00"},
    {2.675, 2, "2.67"},  // the double just below 2.675
    {-0.004, 2, "-0.00"},  {0.5, 0, "0"},  {1.5, 0, "2"},  {2.5, 0, "2"},  // halves to even, as printf
    {1e20, 2, "100000000000000000000.00"},
};

TEST(ChartText, FormatFixedMatchesPrintf) {
  for (const FixedCase& c : kFixedCases) {
    EXPECT_EQ(formatFixed(c.value, c.decimals), c.text) << c.value;
    char printed[64];
    std::snprintf(printed, sizeof printed, "%.*f", c.decimals, c.value);
    EXPECT_EQ(formatFixed(c.value, c.decimals), printed) << c.value;
  }
}

struct WholeCase {
  double value;
  int width;
  const char* text;
};

const WholeCase kWholeCases[] = {
    {-3.2, 4, "  -3"}, {29.0, 4, "  29"}, {12345.0, 4, "12345"}, {270.0, 0, "270"},
    {102.5, 6, "   102"}, {-0.4, 4, "  -0"},
};

TEST(ChartText, FormatWholeMatchesPrintf) {
  for (const WholeCase& c : kWholeCases) EXPECT_EQ(formatWhole(c.value, c.width), c.text) << c.value;
  EXPECT_EQ(formatWhole(1e300, 4).size(), 301u);
}

TEST(ChartText, FieldTextsReadBackAsTheValueWritten) {
  for (double value : {0.0, -0.25, 16.3, -18.0, 1234.5, 1e15, 1e300, -1e300})
    EXPECT_EQ(readNumber(formatFixed(value, 2)), value) << value;
}

TEST(ChartText, NotFiniteValuesKeepPrintfsWords) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(formatFixed(inf, 2), "inf");
  EXPECT_EQ(formatFixed(-inf, 2), "-inf");
  EXPECT_EQ(formatFixed(std::nan(""), 2).find("nan"), 0u);
  EXPECT_EQ(readNumber(formatFixed(inf, 2)), 0.0);  // and a field does not take them as values
}

TEST(ChartText, TruncToIntSaturates) {
  const std::pair<double, int> cases[] = {
      {-2.9, -2}, {2.9, 2}, {1e20, std::numeric_limits<int>::max()}, {-1e20, std::numeric_limits<int>::min()},
      {std::nan(""), 0}, {std::numeric_limits<double>::infinity(), std::numeric_limits<int>::max()},
  };
  for (const auto& [value, result] : cases) EXPECT_EQ(truncToInt(value), result) << value;
}

// Under a decimal-comma LC_NUMERIC the chart still writes a point.
TEST(ChartText, FormattingIgnoresTheProcessLocale) {
  const char* comma = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"})
    if ((comma = std::setlocale(LC_NUMERIC, name)) != nullptr) break;
  if (comma == nullptr) GTEST_SKIP() << "no locale with a decimal comma installed";
  const std::string fixed = formatFixed(12.25, 2);
  const std::string whole = formatWhole(-3.2, 4);
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(fixed, "12.25");
  EXPECT_EQ(whole, "  -3");
}

}  // namespace
}  // namespace nimbrel
