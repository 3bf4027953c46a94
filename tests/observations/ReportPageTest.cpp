#include <gtest/gtest.h>

#include <cmath>

#include <string>
#include <utility>

#include "observations/ReportDateTime.h"
#include "observations/ReportPage.h"
#include "support/ReadFile.h"

namespace nimbrel {
namespace {

using test::ReadFixture;

// A page's time is UTC: seconds since 1970 whatever the computer's zone.
std::int64_t UtcSeconds(int year, int month, int day, int hour, int minute) {
  return UtcDateTime{year, month, day, hour, minute}.epochMinutes() * 60;
}

struct ReportValues {
  std::string time = "17:53";
  std::string date = "4/5/2005";
  std::string temperature = "12&#46;2";
  std::string dewpoint = "-3&#46;9";
  std::string humidity = "32";
  std::string winds = "from the SSE (160&#160;degrees) at 10 MPH (9 knots; 4&#46;6&#160;m/s)";
  std::string ceiling = "none";
  std::string weather = "light rain";
  std::string report = "KXYZ 051753Z 16009KT 10SM -RA FEW120 12/M04 A3001";
  bool withCeiling = true;
  bool withWeather = true;
};

std::string Report(const ReportValues& v) {
  std::string page;
  page += "Conditions at</TD><TD ALIGN=\"left\">KXYZ&#160;&#160;" + v.date + "&#160;UTC, observed " + v.time +
          "&#160;UTC</TD>\n";
  page += "Temperature</TD><TD ALIGN=\"left\">" + v.temperature + "&deg;C (54&deg;F)</TD>\n";
  page += "Dewpoint</TD><TD ALIGN=\"left\">" + v.dewpoint + "&deg;C (25&deg;F) [RH&#160;=&#160;" + v.humidity +
          "&#37;]</TD>\n";
  page += "Pressure (altimeter)</TD><TD ALIGN=\"left\">30&#46;01&#160;inches Hg (1016&#46;3&#160;mb)</TD>\n";
  page += "Winds</TD><TD ALIGN=\"left\">" + v.winds + "</TD>\n";
  page += "Visibility</TD><TD ALIGN=\"left\">10 or more miles (16+ km)</TD>\n";
  if (v.withCeiling) page += "Ceiling</TD><TD ALIGN=\"left\">" + v.ceiling + "</TD>\n";
  page += "Clouds</TD><TD ALIGN=\"left\">few clouds</TD>\n";
  if (v.withWeather) page += "Present Weather</TD><TD ALIGN=\"left\">" + v.weather + "</TD>\n";
  page += "Report: <SPAN CLASS=\"monospace\">" + v.report + "<BR>\n";
  return page;
}

TEST(decodeEntities, ReplacesInOrderSoLaterRulesSeeEarlierOutput) {
  EXPECT_EQ(decodeEntities("&#38;#60;"), "<");
  EXPECT_EQ(decodeEntities("a  b"), "a b");
  EXPECT_EQ(decodeEntities("a   b"), "a  b");  // one left-to-right pass
  EXPECT_EQ(decodeEntities("a\nb&#160;&#160;c"), "a b  c");
  EXPECT_EQ(decodeEntities("12&#46;2&deg;C"), "12.2\xB0" "C");
  EXPECT_EQ(decodeEntities("&#34;&#33;&#36;&#37;&#45;&#47;&#62;&#247;"), "\"!$%-/>-");
  EXPECT_EQ(decodeEntities("&amp; <B>"), "&amp; <B>");
}

// The fifteen replacements one after another, each over the whole text.
std::string SequentialDecode(std::string text) {
  const std::pair<std::string, std::string> rules[] = {
      {"  ", " "},     {"\n", " "},     {"&#34;", "\""}, {"&#33;", "!"},  {"&#36;", "$"},
      {"&#37;", "%"},  {"&#38;", "&"},  {"&#45;", "-"},  {"&#46;", "."},  {"&#47;", "/"},
      {"&#60;", "<"},  {"&#62;", ">"},  {"&#160;", " "}, {"&#247;", "-"}, {"&deg;", "\xB0"}};
  for (const auto& [from, to] : rules) {
    std::string out;
    std::size_t done = 0;
    for (std::size_t hit = text.find(from); hit != std::string::npos; hit = text.find(from, done)) {
      out += text.substr(done, hit - done) + to;
      done = hit + from.size();
    }
    text = out + text.substr(done);
  }
  return text;
}

TEST(decodeEntities, AgreesWithTheRulesOneAfterAnother) {
  const char* cases[] = {"&#38;#38;#60;", "&&#46;&#4&#160;6;", " \n  \n   x", "&#38;deg;&#38;#160;&#160;&#160;",
                         "&#160&#160;;", "&deg&deg;;", "a&#38;#38;b", "&#3&#38;4;", "&#247;&#2&#38;#52;47;", "&"};
  for (const char* text : cases) EXPECT_EQ(decodeEntities(text), SequentialDecode(text)) << text;
  // Every pair and triple of a few building blocks.
  const std::string blocks[] = {"&", "#", "38;", "46;", "160;", "deg;", " ", "\n", "&#", "x"};
  for (const auto& a : blocks)
    for (const auto& b : blocks)
      for (const auto& c : blocks) EXPECT_EQ(decodeEntities(a + b + c), SequentialDecode(a + b + c)) << a + b + c;
}

TEST(extractBetween, ChainsLinksFromTheEndMarkerAndTrims) {
  const std::string text = "A[ one ]A[two]A[&#46;three\t]";
  EXPECT_EQ(extractBetween(text, "A", "[", "]", 1), "one");
  EXPECT_EQ(extractBetween(text, "A", "[", "]", 2), "two");
  EXPECT_EQ(extractBetween(text, "A", "[", "]", 3), ".three");
  EXPECT_EQ(extractBetween(text, "A", "[", "]", 4), "");
  EXPECT_EQ(extractBetween(text, "", "[", "]", 2), "two");
  EXPECT_EQ(extractBetween(text, "Z", "[", "]", 1), "");
  EXPECT_EQ(extractBetween(text, "A", "{", "]", 1), "");
  // The end marker is searched from the start marker's beginning: an end
  // marker inside the start marker gives the empty text, not a crash.
  EXPECT_EQ(extractBetween("x<ab>y", "x", "<ab>", "b", 1), "");
}

TEST(ReportPage, WorkedExampleFieldByField) {
  ObservationList observations;
  ASSERT_EQ(readReportPage(ReadFixture("report_example.html"), &observations), ReportPageStatus::kReports);
  ASSERT_EQ(observations.size(), 1u);
  const Observation& o = observations[0];
  EXPECT_EQ(o.observedAt, UtcSeconds(2005, 4, 5, 17, 53));
  EXPECT_DOUBLE_EQ(o.temperature, 12.2);
  EXPECT_DOUBLE_EQ(o.dewpoint, -3.9);
  EXPECT_DOUBLE_EQ(o.humidity, 32);
  EXPECT_NEAR(o.pressure, 1016.3, 1e-9);
  EXPECT_EQ(o.wind, WindState::kFrom);
  EXPECT_DOUBLE_EQ(o.windDirection, 160);
  EXPECT_DOUBLE_EQ(o.windSpeed, 4.6);
  EXPECT_DOUBLE_EQ(o.visibility, 16000);
  EXPECT_EQ(o.visibilityBound, VisibilityBound::kOrMore);
  EXPECT_EQ(o.source.conditionsText, "KXYZ  4/5/2005 UTC, observed 17:53 UTC");
  EXPECT_EQ(o.source.temperatureText, "12.2\xB0" "C (54\xB0" "F)");
  EXPECT_EQ(o.source.dewpointText, "-3.9\xB0" "C (25\xB0" "F) [RH = 32%]");
  EXPECT_EQ(o.source.pressureText, "30.01 inches Hg (1016.3 mb)");
  EXPECT_EQ(o.source.windsText, "from the SSE (160 degrees) at 10 MPH (9 knots; 4.6 m/s)");
  EXPECT_EQ(o.source.visibilityText, "10 or more miles (16+ km)");
  EXPECT_EQ(o.source.ceilingText, "none");
  EXPECT_EQ(o.source.cloudsText, "few clouds");
  EXPECT_EQ(o.source.weatherText, "light rain");
  EXPECT_EQ(o.source.reportText, "KXYZ 051753Z 16009KT 10SM -RA FEW120 12/M04 A3001");
}

TEST(ReportPage, ThreeReportsInPageOrderAndEmptiesNothingElse) {
  ReportValues a, b, c;
  b.time = "16:53";
  b.temperature = "11&#46;0";
  c.time = "15:53";
  c.temperature = "-7&#46;5";
  const std::string page = "<HTML><BODY>" + Report(a) + "<HR>" + Report(b) + "<HR>" + Report(c) + "</BODY>";
  ObservationList observations;
  ASSERT_EQ(readReportPage(page, &observations), ReportPageStatus::kReports);
  ASSERT_EQ(observations.size(), 3u);
  EXPECT_EQ(observations[0].observedAt, UtcSeconds(2005, 4, 5, 17, 53));
  EXPECT_EQ(observations[1].observedAt, UtcSeconds(2005, 4, 5, 16, 53));
  EXPECT_EQ(observations[2].observedAt, UtcSeconds(2005, 4, 5, 15, 53));
  EXPECT_DOUBLE_EQ(observations[1].temperature, 11.0);
  EXPECT_DOUBLE_EQ(observations[2].temperature, -7.5);
  // Without an output array the page is read and tested only.
  EXPECT_EQ(readReportPage(page, nullptr), ReportPageStatus::kReports);
}

// The whole-page chains: the k-th report read with occurrence k of every
// chain, as the service's pages were first read.
Observation ChainedRead(const std::string& page, int k) {
  const std::string cell = "<TD ALIGN=\"left\">";
  auto x = [&](const char* anchor, const std::string& start, const char* end) {
    return extractBetween(page, anchor, start, end, k);
  };
  auto splitDecimal = [](const std::string& integer, const std::string& fraction) {
    if (integer.empty() || readNumber(integer) == 0.0 || fraction.empty()) return 0.0;
    return readNumber(integer + "." + fraction);
  };
  Observation o;
  o.temperature = splitDecimal(x("Temperature", cell, "&#46;"), x("Temperature", "&#46;", "&deg;C"));
  o.dewpoint = splitDecimal(x("Dewpoint", cell, "&#46;"), x("Dewpoint", "&#46;", "&deg;C"));
  if (o.dewpoint != 0.0) o.humidity = readNumber(x("Dewpoint", "RH&#160;=&#160;", "&#37;"));
  o.pressure = splitDecimal(x("Pressure", "Hg (", "&#46;"), x("Hg (", "&#46;", "&#160;mb)"));
  if (page.find("degrees") != std::string::npos) o.windDirection = readNumber(x("Winds", "(", "&#160;"));
  o.windSpeed = readNumber(x("Winds", "knots;", "&#160;"));
  o.wind = std::isfinite(o.windDirection) ? WindState::kFrom : WindState::kVariable;
  o.visibility = readNumber(x("Visibility", "(", "km")) * 1000.0;
  o.source.conditionsText = x("Conditions at", cell, "</TD>");
  o.source.temperatureText = x("Temperature", cell, "</TD>");
  o.source.dewpointText = x("Dewpoint", cell, "</TD>");
  o.source.pressureText = x("Pressure", cell, "</TD>");
  o.source.windsText = x("Winds", cell, "</TD>");
  o.source.visibilityText = x("Visibility", cell, "</TD>");
  o.source.ceilingText = x("Ceiling", cell, "</TD>");
  o.source.cloudsText = x("Clouds", cell, "</TD>");
  o.source.weatherText = x("Present Weather", cell, "</TD>");
  o.source.reportText = x("", "<SPAN CLASS=\"monospace\">", "<BR>");
  if (o.source.visibilityText.find("or more") != std::string::npos) o.visibilityBound = VisibilityBound::kOrMore;
  const auto when =
      parseReportDateTime(x("Conditions", "&#160;&#160;", "&#160;UTC") + " " + x("Conditions", "observed", "&#160;"));
  if (when) o.observedAt = when->epochMinutes() * 60;
  return o;
}

TEST(ReportPage, FullPageReadsAsTheWholePageChainsDo) {
  std::string page = "<HTML>";
  for (int i = 0; i < 6; ++i) {
    ReportValues v;
    v.time = std::to_string(17 - i) + ":53";
    v.temperature = std::to_string(i * 3 - 7) + "&#46;" + std::to_string(i);
    v.dewpoint = std::to_string(-2 - i) + "&#46;5";
    v.humidity = std::to_string(40 + i);
    v.weather = "weather " + std::to_string(i);
    v.ceiling = std::to_string(1000 * i) + " feet";
    v.winds = "from the W (" + std::to_string(200 + i * 10) + "&#160;degrees) at 5 MPH (4 knots; 2&#46;" +
              std::to_string(i) + "&#160;m/s)";
    page += Report(v) + "<HR>";
  }
  ObservationList observations;
  ASSERT_EQ(readReportPage(page, &observations), ReportPageStatus::kReports);
  ASSERT_EQ(observations.size(), 6u);
  for (int k = 1; k <= 6; ++k) EXPECT_EQ(observations[k - 1], ChainedRead(page, k)) << "report " << k;
}

TEST(ReportPage, DecimalsKeepTheirSignAndNoIntegerPartIsNoValue) {
  // A cell without its integer part is not read: no value (NaN), not 0.
  const std::pair<const char*, double> cases[] = {
      {"12&#46;2", 12.2}, {"-7&#46;5", -7.5}, {"-0&#46;4", -0.4}, {"0&#46;6", 0.6},
      {"-0&#46;9", -0.9}, {"0&#46;0", 0.0},   {"M&#46;5", 0.0},   {"&#46;5", kNoValue},
  };
  for (const auto& [text, value] : cases) {
    ReportValues v;
    v.temperature = text;
    v.dewpoint = text;
    v.humidity = "97";
    ObservationList observations;
    ASSERT_EQ(readReportPage(Report(v), &observations), ReportPageStatus::kReports) << text;
    if (std::isnan(value)) {
      EXPECT_TRUE(std::isnan(observations[0].temperature)) << text;
      EXPECT_TRUE(std::isnan(observations[0].dewpoint)) << text;
    } else {
      EXPECT_DOUBLE_EQ(observations[0].temperature, value) << text;
      EXPECT_DOUBLE_EQ(observations[0].dewpoint, value) << text;
    }
    EXPECT_DOUBLE_EQ(observations[0].humidity, 97) << text;  // read whatever the dew point
  }
}

TEST(ReportPage, MissingRowsStayEmptyInsteadOfBorrowingFromLaterReports) {
  ReportValues first;
  first.withWeather = false;
  first.withCeiling = false;
  ReportValues second;
  second.time = "16:53";
  second.weather = "haze";
  second.ceiling = "3000 feet AGL";
  ReportValues third;
  third.time = "15:53";
  third.weather = "snow";
  ObservationList observations;
  ASSERT_EQ(readReportPage(Report(first) + Report(second) + Report(third), &observations),
            ReportPageStatus::kReports);
  ASSERT_EQ(observations.size(), 3u);
  EXPECT_EQ(observations[0].source.weatherText, "");
  EXPECT_EQ(observations[0].source.ceilingText, "");
  EXPECT_EQ(observations[1].source.weatherText, "haze");
  EXPECT_EQ(observations[1].source.ceilingText, "3000 feet AGL");
  EXPECT_EQ(observations[2].source.weatherText, "snow");
  EXPECT_EQ(observations[2].source.ceilingText, "none");
}

TEST(ReportPage, WindDirectionOnlyFromTheReportsOwnDegrees) {
  ReportValues calm;
  calm.winds = "calm";
  ReportValues variable;
  variable.time = "16:53";
  variable.winds = "variable (3 knots; 1&#46;5&#160;m/s)";
  ReportValues steady;
  steady.time = "15:53";
  ObservationList observations;
  ASSERT_EQ(readReportPage(Report(calm) + Report(variable) + Report(steady), &observations),
            ReportPageStatus::kReports);
  ASSERT_EQ(observations.size(), 3u);
  // A calm or variable wind has no direction: no value, not 0.
  EXPECT_TRUE(std::isnan(observations[0].windDirection));
  EXPECT_EQ(observations[0].windSpeed, 0.0);
  EXPECT_TRUE(std::isnan(observations[1].windDirection));
  EXPECT_DOUBLE_EQ(observations[1].windSpeed, 1.5);
  EXPECT_EQ(observations[2].windDirection, 160.0);
}

TEST(ReportPage, NoDegreesAnywhereGivesNoDirection) {
  ReportValues v;
  v.winds = "from the SSE (160&#160;deg) at 10 MPH (9 knots; 4&#46;6&#160;m/s)";
  ObservationList observations;
  ASSERT_EQ(readReportPage(Report(v) + Report(v), &observations), ReportPageStatus::kReports);
  for (const Observation& o : observations) {
    EXPECT_TRUE(std::isnan(o.windDirection));
    EXPECT_DOUBLE_EQ(o.windSpeed, 4.6);
  }
}

TEST(ReportPage, PagesWithoutData) {
  ObservationList observations;
  EXPECT_EQ(readReportPage("", &observations), ReportPageStatus::kEmpty);
  EXPECT_EQ(readReportPage("<HTML>nothing here</HTML>", &observations), ReportPageStatus::kNoReport);
  ReportValues v;
  v.weather = "Sorry weather";  // "Sorry" anywhere, even inside a report
  EXPECT_EQ(readReportPage(Report(v), &observations), ReportPageStatus::kSorry);
  EXPECT_EQ(observations.size(), 0u);
  // "Conditions at" without an observed time is no report.
  EXPECT_EQ(readReportPage("Conditions at</TD><TD ALIGN=\"left\">KXYZ</TD>", &observations),
            ReportPageStatus::kNoReport);
}

TEST(ReportPage, UnreadableDateEndsThePageKeepingEarlierReports) {
  ReportValues good;
  ReportValues bad;
  bad.time = "16:53";
  bad.date = "31/12/2005";  // day before month is not US English
  ReportValues later;
  later.time = "15:53";
  ObservationList observations;
  EXPECT_EQ(readReportPage(Report(good) + Report(bad) + Report(later), &observations), ReportPageStatus::kBadDate);
  ASSERT_EQ(observations.size(), 1u);
  EXPECT_EQ(observations[0].observedAt, UtcSeconds(2005, 4, 5, 17, 53));
}

TEST(ReportPage, ReportWithoutDatePieceKeepsZeroTime) {
  const std::string page =
      "Conditions at</TD><TD ALIGN=\"left\">KXYZ observed 17:53&#160;UTC</TD>\n"
      "Temperature</TD><TD ALIGN=\"left\">5&#46;0&deg;C</TD>";
  ObservationList observations;
  ASSERT_EQ(readReportPage(page, &observations), ReportPageStatus::kReports);
  EXPECT_EQ(observations[0].observedAt, 0);
  EXPECT_DOUBLE_EQ(observations[0].temperature, 5.0);
}


// A page whose one text cell runs on with `filler` just before it ends.
std::string WithLongCell(std::string page, const std::string& label, const std::string& filler) {
  const std::size_t row = page.find(label);
  const std::size_t end = label == "Report:" ? page.find("<BR>", row) : page.find("</TD>", page.find("<TD", row));
  page.insert(end, filler);
  return page;
}

TEST(ReportPage, EveryTextCellKeepsAtMostItsFirstThousandBytes) {
  struct Cell {
    std::string label;
    std::string SourceTexts::*text;
  };
  const Cell cells[] = {
      {"Conditions at", &SourceTexts::conditionsText}, {"Temperature", &SourceTexts::temperatureText},
      {"Dewpoint", &SourceTexts::dewpointText},         {"Pressure", &SourceTexts::pressureText},
      {"Winds", &SourceTexts::windsText},               {"Visibility", &SourceTexts::visibilityText},
      {"Ceiling", &SourceTexts::ceilingText},           {"Clouds", &SourceTexts::cloudsText},
      {"Present Weather", &SourceTexts::weatherText},   {"Report:", &SourceTexts::reportText},
  };
  const std::string page = Report(ReportValues{});
  ObservationList plain;
  ASSERT_EQ(readReportPage(page, &plain), ReportPageStatus::kReports);
  const std::string tenMegabytes(10 * 1000 * 1000, 'x');
  for (const Cell& cell : cells) {
    const std::string& shortText = plain[0].source.*cell.text;
    ASSERT_FALSE(shortText.empty()) << cell.label;
    ASSERT_LT(shortText.size(), kReportTextLimit) << cell.label;
    // Just under, at and just over the limit, and far over it.
    for (const std::size_t length : {kReportTextLimit - 1, kReportTextLimit, kReportTextLimit + 1,
                                     shortText.size() + tenMegabytes.size()}) {
      const std::string filler = tenMegabytes.substr(0, length - shortText.size());
      ObservationList observations;
      ASSERT_EQ(readReportPage(WithLongCell(page, cell.label, filler), &observations), ReportPageStatus::kReports)
          << cell.label;
      ASSERT_EQ(observations.size(), 1u);
      const std::string expected = (shortText + filler).substr(0, kReportTextLimit);
      EXPECT_EQ(observations[0].source.*cell.text, expected) << cell.label << " of " << length << " bytes";
      // The numbers of the report are read as before.
      EXPECT_EQ(observations[0].temperature, plain[0].temperature) << cell.label;
      EXPECT_EQ(observations[0].windDirection, plain[0].windDirection) << cell.label;
      EXPECT_EQ(observations[0].observedAt, plain[0].observedAt) << cell.label;
    }
    // A cut that lands just after a blank leaves no blank at the end.
    const std::string words = std::string(kReportTextLimit - shortText.size() - 1, 'y') + " zzz";
    ObservationList cutAtBlank;
    ASSERT_EQ(readReportPage(WithLongCell(page, cell.label, words), &cutAtBlank), ReportPageStatus::kReports);
    EXPECT_EQ(cutAtBlank[0].source.*cell.text, (shortText + words).substr(0, kReportTextLimit - 1)) << cell.label;
  }
}

}  // namespace
}  // namespace nimbrel
