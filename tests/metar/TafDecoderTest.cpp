// The TAF decoder on real forecasts, one table row per kind of group, the
// whole corpus, month ends, and the hour-by-hour timeline.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "metar/TafDecoder.h"

namespace nimbrel {
namespace {

UtcDateTime dateAt(const std::string& date) {
  return UtcDateTime{std::stoi(date.substr(0, 4)), std::stoi(date.substr(5, 2)), std::stoi(date.substr(8, 2)), 12, 0};
}

std::string number(std::optional<double> value, int decimals = 0) {
  if (!value) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, *value);
  return text;
}

// One part of a TAF in a line: kind, period, probability, wind, visibility,
// weather, ceiling and category.
std::string describe(const TafGroup& g) {
  std::string text = std::string(tafGroupKindText(g)) + " " + g.from.toString() + " " + g.to.toString();
  if (g.probability) text += " P" + std::to_string(g.probability);
  const Wind& w = g.conditions.wind;
  if (w.reported) {
    text += " wind " + (w.variable ? std::string("VRB") : w.directionDeg ? std::to_string(*w.directionDeg) : "-") + "/" +
            number(w.speedKt);
    if (w.gustKt) text += "G" + number(w.gustKt);
  }
  if (g.conditions.visibility.reported) text += " vis " + number(g.conditions.visibility.prevailingM);
  if (g.conditions.cavok) text += " CAVOK";
  if (!g.conditions.weather.empty()) text += " [" + weatherText(g.conditions.weather.view()) + "]";
  if (g.conditions.noSignificantWeather) text += " NSW";
  if (const auto ceiling = g.conditions.ceilingFt()) text += " ceiling " + std::to_string(*ceiling);
  if (g.windShear) text += " WS" + std::to_string(g.windShear->heightFt) + "/" + number(g.windShear->speedKt);
  text += std::string(" ") + flightCategoryText(g.flightCategory());
  return text;
}

struct Row {
  const char* what;
  const char* date;
  const char* taf;
  std::size_t group;     // which part to look at
  const char* expected;  // describe() of it
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.what; }

class TafGroups : public ::testing::TestWithParam<Row> {};

TEST_P(TafGroups, DecodeAsWritten) {
  const Row& row = GetParam();
  const TafReport taf = decodeTaf(row.taf, dateAt(row.date));
  ASSERT_NE(taf.status, MetarStatus::Rejected) << taf.rejectReason;
  ASSERT_LT(row.group, taf.groups.size());
  EXPECT_EQ(describe(taf.groups[row.group]), row.expected) << row.taf;
}

// Real TAFs from tests/fixtures/metar/real-reports-taf.tsv.
const char* const kCyrb =
    "TAF AMD CYRB 030204Z 0302/0324 13007KT 6SM -RA SCT008 OVC012 TEMPO 0302/0306 2SM -DZSN BR SCT002 BKN004 BKN008 "
    "OVC012 FM030600 19012G22KT 2SM -SN OVC008 TEMPO 0306/0320 6SM -RASN SCT008 OVC015 PROB30 0306/0318 1/2SM FG "
    "VV003 FM032000 25015G25KT P6SM SCT012 BKN030 RMK NXT FCST BY 030600Z=";
const char* const kRjtt =
    "TAF RJTT 301105Z 3012/0118 17026G36KT 6000 -SHRA FEW008 BKN015 BECMG 3012/3014 19042G58KT TEMPO 3012/3014 4000 "
    "-SHRA BR FEW005 BKN008 TEMPO 3014/3018 19060G75KT 2000 +SHRA BR FEW005 BKN008 BECMG 3018/3020 21024G34KT BECMG "
    "0109/0112 21010KT=";
const char* const kEgyp =
    "TAF EGYP 060435Z 0606/0624 35015G25KT 9999 BKN010 520003 PROB40 TEMPO 0606/0608 VRB08KT 560003 PROB40 TEMPO "
    "0606/0618 3000 RADZ BKN006 PROB30 TEMPO 0606/0615 2000 RASN SCT003 BECMG 0607/0609 30010KT=";
const char* const kEikn =
    "TAF COR EIKN 091726Z 0918/1018 25014KT 9999 SCT018 BKN030 TEMPO 0918/0921 25016G26KT BECMG 1001/1004 23009KT";
const char* const kBgtl =
    "TAF BGTL 060900Z 0609/0715 VRB06KT 8000 -SHRASN OVC003 610105 QNH2980INS BECMG 0614/0615 VRB06KT 9999 NSW BKN005 "
    "OVC015 620105 QNH2983INS TX03/0620Z TNM02/0709Z=";
const char* const kOiii =
    "TAF OIII 021100Z 0212/0318 15006MPS 6000 FEW030 BKN090 TEMPO 0212/0215 15009G15MPS 1000 SA/TSRA SCT030CB SCT035 "
    "OVC090=";

const Row kRows[] = {
    {"base", "2018-09-03", kCyrb, 0,
     "BASE 2018-09-03T02:00Z 2018-09-03T06:00Z wind 130/7 vis 9656 [light rain] ceiling 1200 MVFR"},
    {"FM", "2018-09-03", kCyrb, 2,
     "FM 2018-09-03T06:00Z 2018-09-03T20:00Z wind 190/12G22 vis 3219 [light snow] ceiling 800 IFR"},
    {"last FM runs to the end, hour 24 is the next day", "2018-09-03", kCyrb, 5,
     "FM 2018-09-03T20:00Z 2018-09-04T00:00Z wind 250/15G25 vis 9656 ceiling 3000 MVFR"},
    {"TEMPO", "2018-09-03", kCyrb, 1,
     "TEMPO 2018-09-03T02:00Z 2018-09-03T06:00Z vis 3219 [light drizzle and snow; mist] ceiling 400 LIFR"},
    {"PROB alone", "2018-09-03", kCyrb, 4, "PROB 2018-09-03T06:00Z 2018-09-03T18:00Z P30 vis 805 [fog] ceiling 300 LIFR"},
    {"PROB TEMPO", "2018-09-06", kEgyp, 2,
     "PROBTEMPO 2018-09-06T06:00Z 2018-09-06T18:00Z P40 vis 3000 [rain and drizzle] ceiling 600 IFR"},
    {"BECMG with NSW", "2018-09-06", kBgtl, 1,
     "BECMG 2018-09-06T14:00Z 2018-09-06T15:00Z wind VRB/6 vis 10000 NSW ceiling 500 IFR"},
    {"month end", "2018-09-30", kRjtt, 5, "BECMG 2018-10-01T09:00Z 2018-10-01T12:00Z wind 210/10 "},
    {"month end validity", "2018-09-30", kRjtt, 0,
     "BASE 2018-09-30T12:00Z 2018-10-01T18:00Z wind 170/26G36 vis 6000 [light rain showers] ceiling 1500 MVFR"},
    {"COR", "2018-09-09", kEikn, 2, "BECMG 2018-09-10T01:00Z 2018-09-10T04:00Z wind 230/9 "},
    {"metres per second, weather joined by a slash", "2014-06-02", kOiii, 1,
     "TEMPO 2014-06-02T12:00Z 2014-06-02T15:00Z wind 150/17G29 vis 1000 [sand; thunderstorm with rain] ceiling 9000 "
     "LIFR"},
    {"wind shear", "2018-09-10", "TAF KXYZ 101130Z 1012/1112 27015KT P6SM SCT030 WS020/27045KT FM101800 VRB03KT P6SM SKC",
     0, "BASE 2018-09-10T12:00Z 2018-09-10T18:00Z wind 270/15 vis 9656 WS2000/45 VFR"},
    {"old validity form", "2008-03-07", "TAF KXYZ 070530Z 071212 24010KT 9999 BKN020 BECMG 1416 OVC008", 1,
     "BECMG 2008-03-07T14:00Z 2008-03-07T16:00Z ceiling 800 IFR"},
    {"INTER is its own kind, not TEMPO", "2010-11-14",
     "TAF YSSY 140500Z 1406/1512 18010KT 9999 FEW030 INTER 1408/1412 5000 SHRA BKN015", 1,
     "INTER 2010-11-14T08:00Z 2010-11-14T12:00Z vis 5000 [rain showers] ceiling 1500 MVFR"},
    {"PROB INTER", "2010-11-14", "TAF YSSY 140500Z 1406/1512 18010KT 9999 FEW030 PROB30 INTER 1408/1412 5000 SHRA", 1,
     "PROBINTER 2010-11-14T08:00Z 2010-11-14T12:00Z P30 vis 5000 [rain showers] MVFR"},
    {"CAVOK", "2018-09-10", "TAF LXYZ 100500Z 1006/1106 VRB02KT CAVOK TEMPO 1012/1016 4000 TSRA BKN030CB", 0,
     "BASE 2018-09-10T06:00Z 2018-09-11T06:00Z wind VRB/2 vis 10000 CAVOK VFR"},
};

INSTANTIATE_TEST_SUITE_P(RealForecasts, TafGroups, ::testing::ValuesIn(kRows));

TEST(TafHeader, FlagsTemperaturesAndRejections) {
  const TafReport amended = decodeTaf(kCyrb, dateAt("2018-09-03"));
  EXPECT_TRUE(amended.amended);
  ASSERT_TRUE(amended.issued);
  EXPECT_EQ(amended.issued->toString(), "2018-09-03T02:04Z");
  EXPECT_EQ(amended.groups.size(), 6u);
  EXPECT_EQ(amended.status, MetarStatus::Ok);  // the remarks are free text

  const TafReport corrected = decodeTaf(kEikn, dateAt("2018-09-09"));
  EXPECT_TRUE(corrected.corrected);
  EXPECT_FALSE(corrected.amended);

  const TafReport bgtl = decodeTaf(kBgtl, dateAt("2018-09-06"));
  ASSERT_EQ(bgtl.temperatures.size(), 2u);
  EXPECT_EQ(bgtl.temperatures[0].kind, 'X');
  EXPECT_EQ(bgtl.temperatures[0].valueC, 3.0);
  EXPECT_EQ(bgtl.temperatures[0].time.toString(), "2018-09-06T20:00Z");
  EXPECT_EQ(bgtl.temperatures[1].kind, 'N');
  EXPECT_EQ(bgtl.temperatures[1].valueC, -2.0);
  EXPECT_EQ(bgtl.temperatures[1].time.toString(), "2018-09-07T09:00Z");

  EXPECT_TRUE(decodeTaf("TAF EGLL 061100Z NIL=", dateAt("2018-09-06")).nil);
  const TafReport unknown = decodeTaf("TAF EGLL 061100Z 0612/0718 27010KT 9999 ZZZ SCT030", dateAt("2018-09-06"));
  EXPECT_EQ(unknown.status, MetarStatus::Partial);
  EXPECT_EQ(unknown.groups[0].notDecodedCount, 1u);
  for (const char* notTaf : {"", "TAF", "TAF EGLL 061100Z", "TAF EGLL 061100Z 27010KT 9999", "AAXX 06001 40650",
                             "TAF EGLL 061100Z 0612/0718 27010KT TAF EGLL 061130Z 0612/0718 27010KT",
                             "TAF EGLL 061100Z 0612/0799 27010KT", "TAF EGLL 061100Z 0612/0812 27010KT"})
    EXPECT_EQ(decodeTaf(notTaf, dateAt("2018-09-06")).status, MetarStatus::Rejected) << notTaf;
  // 30 November has no 31st after it: the period would last a month.
  const TafReport impossible = decodeTaf("TAF EGLL 301100Z 3006/3106 27010KT 9999", dateAt("2018-11-30"));
  EXPECT_EQ(impossible.status, MetarStatus::Rejected);
  EXPECT_STREQ(impossible.rejectReason, "no valid validity period");
  // Text after the "=" is left undecoded; the forecast before it stands.
  const TafReport after = decodeTaf("TAF EGLL 061100Z 0612/0718 27010KT 9999 SCT030=3D", dateAt("2018-09-06"));
  EXPECT_EQ(after.status, MetarStatus::Partial);
  EXPECT_EQ(after.notDecoded, std::vector<std::string>{"3D"});
}

TEST(TafCorpus, EveryRealForecastDecodes) {
  std::ifstream in(std::string(NIMBREL_FIXTURES_DIR) + "/metar/real-reports-taf.tsv");
  ASSERT_TRUE(in);
  std::string line;
  std::getline(in, line);  // the header
  std::size_t total = 0, full = 0;
  while (std::getline(in, line)) {
    const std::size_t tab = line.find('\t');
    ASSERT_NE(tab, std::string::npos);
    const TafReport taf = decodeTaf(line.substr(tab + 1), dateAt(line.substr(0, tab)));
    ++total;
    ASSERT_NE(taf.status, MetarStatus::Rejected) << taf.rejectReason << ": " << line;
    full += taf.notDecodedCount == 0;
    if (taf.nil) continue;
    // Periods lie in order and near the validity; the issue time lies in the
    // month before the file's date (one row's date is a week after its TAF's).
    ASSERT_FALSE(taf.groups.empty()) << line;
    EXPECT_LT(taf.validFrom, taf.validTo) << line;
    EXPECT_LE(taf.validTo, taf.validFrom.addDays(31)) << line;
    if (taf.issued) {
      const UtcDateTime fileDay = dateAt(line.substr(0, 10));
      EXPECT_LE(*taf.issued, fileDay.addDays(2)) << line;  // by date: on or before the next day
      EXPECT_GT(*taf.issued, fileDay.addDays(-31)) << line;
      EXPECT_LE(*taf.issued, taf.validFrom.addDays(1)) << line;
    }
    for (const TafGroup& g : taf.groups) {
      EXPECT_LE(g.from, g.to) << describe(g) << "\n" << line;
      EXPECT_GE(g.from, taf.validFrom.addDays(-1)) << describe(g) << "\n" << line;
      EXPECT_LE(g.to, taf.validTo.addDays(1)) << describe(g) << "\n" << line;
    }
  }
  std::printf("real TAFs: %zu, %zu decoded with no group left over\n", total, full);
  EXPECT_EQ(total, 361u);
  EXPECT_GE(full, 340u);
}

TEST(TafTimeline, GivesThePrevailingAndPossibleConditionsHourByHour) {
  // Across a month end: BECMG applies from the end of its period and keeps
  // what it does not name, FM replaces everything, TEMPO and PROB only may occur.
  const TafReport taf = decodeTaf(
      "TAF KXYZ 302330Z 0100/0112 18010KT P6SM BKN040 BECMG 0102/0104 22015G25KT FM010600 27008KT 3SM BR OVC008 "
      "TEMPO 0107/0109 1SM -RA OVC004 PROB30 0108/0110 TSRA BKN020CB BECMG 0109/0110 BKN012",
      UtcDateTime{2018, 9, 30, 23, 40});
  ASSERT_EQ(taf.status, MetarStatus::Ok) << (taf.notDecoded.empty() ? "" : taf.notDecoded[0]);
  const std::vector<TafHour> hours = timeline(taf);
  ASSERT_EQ(hours.size(), 12u);

  struct Expected {
    const char* hour;
    const char* wind;
    const char* visibility;
    const char* ceiling;
    const char* possible;
  };
  const Expected expected[] = {
      {"2018-10-01T00:00Z", "180/10", "9656", "4000", ""},
      {"2018-10-01T01:00Z", "180/10", "9656", "4000", ""},
      {"2018-10-01T02:00Z", "180/10", "9656", "4000", ""},  // becoming, not yet become
      {"2018-10-01T03:00Z", "180/10", "9656", "4000", ""},
      {"2018-10-01T04:00Z", "220/15G25", "9656", "4000", ""},
      {"2018-10-01T05:00Z", "220/15G25", "9656", "4000", ""},
      {"2018-10-01T06:00Z", "270/8", "4828", "800", ""},
      {"2018-10-01T07:00Z", "270/8", "4828", "800", "3"},
      {"2018-10-01T08:00Z", "270/8", "4828", "800", "3 4"},
      {"2018-10-01T09:00Z", "270/8", "4828", "800", "4"},
      {"2018-10-01T10:00Z", "270/8", "4828", "1200", ""},
      {"2018-10-01T11:00Z", "270/8", "4828", "1200", ""},
  };
  for (std::size_t i = 0; i < hours.size(); ++i) {
    const TafHour& h = hours[i];
    const Wind& w = h.prevailing.wind;
    std::string wind = std::to_string(w.directionDeg.value_or(-1)) + "/" + number(w.speedKt);
    if (w.gustKt) wind += "G" + number(w.gustKt);
    std::string possible;
    for (std::size_t index : h.possible) possible += (possible.empty() ? "" : " ") + std::to_string(index);
    const auto ceiling = h.prevailing.ceilingFt();
    EXPECT_EQ(h.time.toString(), expected[i].hour);
    EXPECT_EQ(wind, expected[i].wind) << expected[i].hour;
    EXPECT_EQ(number(h.prevailing.visibility.prevailingM), expected[i].visibility) << expected[i].hour;
    EXPECT_EQ(ceiling ? std::to_string(*ceiling) : "-", expected[i].ceiling) << expected[i].hour;
    EXPECT_EQ(possible, expected[i].possible) << expected[i].hour;
  }
  EXPECT_EQ(weatherText(hours[7].prevailing.weather.view()), "mist");
  EXPECT_EQ(weatherText(taf.groups[hours[8].possible[1]].conditions.weather.view()), "thunderstorm with rain");
}

TEST(TafRobustness, HostileInputStaysBounded) {
  // The longest validity and a megabyte of change groups: the groups kept
  // and the timeline's hours are capped, so the work stays small.
  std::string body = "TAF KXXX 010000Z 0100/0206 ";
  const char* pieces[] = {"BECMG ", "PROB30 ", "TEMPO 0100/0206 ", "FM011300 ", "ZZZ ", "1 ", "TX15/0118Z ",
                          "WS020/27045KT "};
  std::size_t n = 0;
  while (body.size() < 1'000'000) body += pieces[n++ % std::size(pieces)];
  // Its time is measured by BM_DecodeHostileTaf.
  const TafReport taf = decodeTaf(body, UtcDateTime{2018, 8, 1, 0, 0});
  const std::vector<TafHour> hours = timeline(taf);
  EXPECT_EQ(taf.status, MetarStatus::Partial);
  EXPECT_LE(taf.notDecoded.size(), TafReport::kMaxNotDecodedKept);
  EXPECT_EQ(taf.groups.size(), TafReport::kMaxGroups);
  EXPECT_EQ(hours.size(), 30u);
  // An FM dated before the validity (found by the fuzzer) runs no period backwards.
  const TafReport early = decodeTaf("TAF EGYP 060435Z 0606/0624 35015KT 9999 FM030600 19012KT", UtcDateTime{2018, 9, 6, 12, 0});
  ASSERT_EQ(early.groups.size(), 2u);
  for (const TafGroup& g : early.groups) EXPECT_LE(g.from, g.to) << describe(g);
}

}  // namespace
}  // namespace nimbrel
