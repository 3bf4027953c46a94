// The decoder on hand-picked reports: the known pitfalls of the format, the
// dates at month and year ends, the texts, and inputs that must not hurt it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "metar/MetarDecoder.h"
#include "metar/ReportGroups.h"

namespace nimbrel {
namespace {

const UtcDateTime kAnchor{2010, 11, 14, 12, 0};

std::string number(double value, int decimals = 1) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string optionalNumber(std::optional<double> value, int decimals = 1) {
  return value ? number(*value, decimals) : "-";
}

// One field of a decoded report as a short text, so a table row can say
// what it expects in one string.
std::string field(const MetarReport& r, const std::string& name) {
  if (name == "status")
    return r.status == MetarStatus::Ok ? "ok" : r.status == MetarStatus::Partial ? "partial" : "rejected";
  if (name == "time") return r.time.toString();
  if (name == "flags")
    return std::string(r.automated ? "AUTO " : "") + (r.corrected ? "COR " : "") + (r.nil ? "NIL " : "") +
           (r.special ? "SPECI" : "") + (r.pressureFromSeaLevel ? "SLP " : "");
  if (name == "wind") {
    const Wind& w = r.current.wind;
    if (!w.reported) return "none";
    if (w.isCalm()) return w.directionDeg || w.variable ? "calm with a direction?" : "calm";
    std::string text = w.variable ? "VRB" : w.directionDeg ? std::to_string(*w.directionDeg) : "///";
    text += "/" + optionalNumber(w.speedKt);
    if (w.gustKt) text += "G" + number(*w.gustKt);
    if (w.variableFromDeg) text += " " + std::to_string(*w.variableFromDeg) + "V" + std::to_string(*w.variableToDeg);
    return text;
  }
  if (name == "visibility") {
    const Visibility& v = r.current.visibility;
    std::string text = std::string(v.lessThan ? "<" : "") + (v.moreThan ? ">" : "") + optionalNumber(v.prevailingM, 0);
    if (v.noDirectionalVariation) text += " NDV";
    if (v.minimumM) text += " min " + number(*v.minimumM, 0) + v.minimumDirection;
    if (r.current.cavok) text += " CAVOK";
    return text;
  }
  if (name == "rvr") {
    std::string text;
    for (const RunwayVisualRange& rvr : r.runwayVisualRanges) {
      if (!text.empty()) text += " ";
      text += std::string(rvr.runwayName()) + ":";
      if (rvr.valuePrefix) text += rvr.valuePrefix;
      text += rvr.value ? std::to_string(*rvr.value) : "-";
      if (rvr.maxValue) text += std::string("V") + (rvr.maxPrefix ? std::string(1, rvr.maxPrefix) : "") + std::to_string(*rvr.maxValue);
      if (rvr.feet) text += "FT";
      if (rvr.trend) text += std::string("/") + rvr.trend;
    }
    return text;
  }
  if (name == "weather") return weatherText(r.current.weather.view());
  if (name == "recent") return weatherText(r.recentWeather.view());
  if (name == "clouds") return cloudText(r.current.clouds.view());
  if (name == "ceiling") return r.ceilingFt() ? std::to_string(*r.ceilingFt()) : "-";
  if (name == "temperature") return optionalNumber(r.temperatureC) + "/" + optionalNumber(r.dewPointC);
  if (name == "pressure") return optionalNumber(r.pressureHpa);
  if (name == "slp") return optionalNumber(r.seaLevelPressureHpa);
  if (name == "category") return flightCategoryText(r.flightCategory());
  if (name == "rh") return optionalNumber(r.relativeHumidity(), 0);
  if (name == "trends") {
    std::string text;
    for (const MetarTrend& t : r.trends) {
      text += t.kind == TrendKind::NoSignificantChange ? "[NOSIG"
              : t.kind == TrendKind::Becoming          ? "[BECMG"
              : t.kind == TrendKind::From              ? "[FM"
                                                       : "[TEMPO";
      if (t.conditions.wind.speedKt) text += " wind " + number(*t.conditions.wind.speedKt);
      if (t.conditions.visibility.prevailingM) text += " vis " + number(*t.conditions.visibility.prevailingM, 0);
      if (!t.conditions.weather.empty()) text += " " + weatherText(t.conditions.weather.view());
      if (t.fromMinutes) text += " from " + std::to_string(*t.fromMinutes);
      text += "]";
    }
    return text;
  }
  if (name == "notdecoded") {
    std::string text;
    for (const std::string& g : r.notDecoded) text += (text.empty() ? "" : " ") + g;
    return text;
  }
  return "no such field " + name;
}

struct Row {
  const char* report;
  const char* field;
  const char* expected;
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.field << " of " << row.report; }

class MetarPitfalls : public ::testing::TestWithParam<Row> {};

TEST_P(MetarPitfalls, DecodesTheGroup) {
  const Row& row = GetParam();
  const MetarReport report = decodeMetar(row.report, kAnchor);
  EXPECT_EQ(field(report, row.field), row.expected) << row.report << "\n  not decoded: " << field(report, "notdecoded");
}

const Row kPitfalls[] = {
    // M is minus; "M/M" is both missing; a missing dew point keeps the temperature.
    {"KXXX 141200Z 27010KT 10SM CLR M05/M07 A2992", "temperature", "-5.0/-7.0"},
    {"KXXX 141200Z 27010KT 10SM CLR 32/M A2992", "temperature", "32.0/-"},
    {"KXXX 141200Z 27010KT 10SM CLR M/M A2992", "temperature", "-/-"},
    {"KXXX 141200Z 27010KT 10SM CLR 32/ A2992", "temperature", "32.0/-"},
    {"KXXX 141200Z 27010KT 10SM CLR M10/ A2992", "temperature", "-10.0/-"},
    {"KXXX 141200Z 27010KT 10SM CLR 03/// A2992", "temperature", "3.0/-"},
    {"KXXX 141200Z AUTO ///// M10/ A2973", "temperature", "-10.0/-"},
    {"KXXX 141200Z 27010KT 10SM CLR M00/M01 A2992", "temperature", "0.0/-1.0"},
    // The remarks' tenths are more precise than the body.
    {"KFFO 051658Z 30008KT 4SM -SN FEW014 OVC019 M05/M07 A2996 RMK AO1A SLP159 P0000 T10471072", "temperature",
     "-4.7/-7.2"},
    {"KMHP 130935Z AUTO 00000KT 10SM OVC004 19/ A3009 RMK AO2 T0193////", "temperature", "19.3/-"},
    {"KFFO 051658Z 30008KT 4SM -SN FEW014 OVC019 M05/M07 A2996 RMK AO1A SLP159 P0000 T10471072", "slp", "1015.9"},
    {"KXXX 141200Z 27010KT 10SM CLR 05/01 A2992 RMK SLP982", "slp", "998.2"},
    {"KXXX 141200Z 27010KT 10SM CLR 05/01 A2992 RMK SLPNO", "slp", "-"},
    // Visibility in its many forms.
    {"KXXX 141200Z 27010KT 1 1/2SM BR OVC005 05/04 A2992", "visibility", "2414"},
    {"KXXX 141200Z 27010KT 11/2SM BR OVC005 05/04 A2992", "visibility", "2414"},
    {"KXXX 141200Z 27010KT 3/16SM FG VV001 05/04 A2992", "visibility", "302"},
    {"KXXX 141200Z 27010KT M1/4SM FG VV001 05/04 A2992", "visibility", "<402"},
    {"KXXX 141200Z 27010KT P6SM FEW250 05/04 A2992", "visibility", ">9656"},
    {"KXXX 141200Z 27010KT 10SM FEW250 05/04 A2992", "visibility", "16093"},
    {"KXXX 141200Z 27010KT 1 SM BR OVC004 01/01 A2977", "visibility", "1609"},
    {"EGLL 141200Z 27010KT 9999 FEW030 10/05 Q1013", "visibility", ">10000"},
    {"EGLL 141200Z 27010KT CAVOK 10/05 Q1013", "visibility", ">10000 CAVOK"},
    {"EGLL 141200Z 27010KT 9999 3100NE FEW030 10/05 Q1013", "visibility", ">10000 min 3100NE"},
    {"EGLL 141200Z 27010KT 9000 4400 FEW030 10/05 Q1013", "visibility", "9000 min 4400"},
    {"BGAA 132350Z AUTO 11008KT 080V140 5000NDV -SN OVC036/// M00/M02 Q0993", "visibility", "5000 NDV"},
    {"LFBF 140000Z AUTO 13009KT 080V170 //// // ///////// 14/12 Q1003", "visibility", "-"},
    {"LFBF 140000Z AUTO 13009KT 080V170 //// // ///////// 14/12 Q1003", "status", "ok"},
    {"EGLL 141200Z 27010KT 0000 FG VV001 10/10 Q1013", "visibility", "<0"},
    // Wind: missing, variable, calm, units, gusts and the variable range.
    {"KXXX 141200Z /////KT 10SM CLR 05/01 A2992", "wind", "////-"},
    {"KXXX 141200Z /////KT 10SM CLR 05/01 A2992", "status", "ok"},
    {"KXXX 141200Z VRB03KT 10SM CLR 05/01 A2992", "wind", "VRB/3.0"},
    {"KXXX 141200Z 00000KT 10SM CLR 05/01 A2992", "wind", "calm"},
    {"KXXX 141200Z VRB00KT 10SM CLR 05/01 A2992", "wind", "calm"},
    {"KXXX 141200Z 08500G60KT 10SM CLR 05/01 A2992", "wind", "85/0.0G60.0"},  // gusts: not calm
    {"KXXX 141200Z 18010G20KT 180V240 10SM CLR 05/01 A2992", "wind", "180/10.0G20.0 180V240"},
    {"UUEE 141200Z 24005MPS 9999 SCT030 05/01 Q1013", "wind", "240/9.7"},
    {"XXXX 141200Z 24018KMH 9999 SCT030 05/01 Q1013", "wind", "240/9.7"},
    {"XXXX 141200Z 24005G10MPS 9999 SCT030 05/01 Q1013", "wind", "240/9.7G19.4"},
    {"LIBY 021155Z ///10KT 9999 BKN020 14/11 Q1015", "wind", "////10.0"},
    // Clouds: missing parts, the no-cloud words, and the ceiling from BKN, OVC and VV only.
    {"BGBW 140020Z AUTO 07012KT 9999NDV SCT050/// BKN080/// 04/M05 Q0999", "clouds",
     "scattered clouds at 5000 feet; broken clouds at 8000 feet"},
    {"EHAM 141200Z AUTO 22004KT 9999 //////CB 11/06 Q0994", "clouds",
     "clouds of unknown amount at unknown height with cumulonimbus"},
    {"EHAM 141200Z AUTO 22004KT 9999 BKN008/// 11/06 Q0994", "ceiling", "800"},
    {"EHAM 141200Z AUTO 22004KT 9999 NSC 11/06 Q0994", "clouds", "no significant clouds"},
    {"EHAM 141200Z AUTO 22004KT 9999 NCD 11/06 Q0994", "clouds", "no clouds detected"},
    {"KXXX 141200Z 27010KT 10SM SKC 05/01 A2992", "clouds", "sky clear"},
    {"KXXX 141200Z 27010KT 10SM CLR 05/01 A2992", "ceiling", "-"},
    {"KXXX 141200Z 27010KT 1/4SM FG VV002 05/05 A2992", "ceiling", "200"},
    {"KXXX 141200Z 27010KT 5SM FEW005 SCT007 BKN015 OVC030 05/01 A2992", "ceiling", "1500"},
    {"KXXX 141200Z 27010KT 5SM FEW005 SCT007CB 05/01 A2992", "ceiling", "-"},
    {"KXXX 141200Z 27010KT 5SM SCT020TCU BKN025CB 05/01 A2992", "clouds",
     "scattered clouds at 2000 feet with towering cumulus; broken clouds at 2500 feet with cumulonimbus"},
    // Runway visual range.
    {"LLBG 110620Z 19014KT 1200 R08/2000 R26/2000 DS VV012 12/M00 Q1010", "rvr", "08:2000 26:2000"},
    {"EGLL 141200Z 27010KT 0800 R26L/P1500U FG VV002 10/10 Q1013", "rvr", "26L:P1500/U"},
    {"KXXX 141200Z 27010KT 1/2SM R09/0600V1000FT FG VV002 10/10 A2992", "rvr", "09:600V1000FT"},
    {"KBMI 131056Z 21003KT M1/4SM R20/0600V0800FT FG OVC003 19/19 A3006", "rvr", "20:600V800FT"},
    {"EGLL 141200Z 27010KT 0300 R27R/M0050N FG VV001 10/10 Q1013", "rvr", "27R:M50/N"},
    {"UKOO 141235Z 02002MPS 4200 R34/////N -SHRA SCT012 20/16 Q1013 R34/290052 NOSIG", "rvr", "34:-/N"},
    {"UNTT 021200Z 23009G17MPS 3600 -SHRASN BKN028 02/01 Q1001 R21/////// NOSIG", "rvr", ""},
    {"SCCH 060900Z AUTO 21008KT //// R/////// NCD 02/02 Q1025", "status", "ok"},
    {"CWFD 092000Z AUTO 22006KT ////SM //// NCD ///// A////", "status", "ok"},
    {"YSTW 250530Z AUTO 02007KT 8000 // OVC063 12/10 Q1023 RF00.2/011.2", "status", "ok"},
    {"ETHC 251620Z 18006KT 9999 BKN260 05/02 Q1017 BLU+BLU+", "status", "ok"},
    {"KMFV 092035Z AUTO 09015G23KT 5SM -VCTSRA SCT009 23/23 A2991", "weather", "thunderstorm with light rain in the vicinity"},
    // Runway state groups look like wind but are not.
    {"UATG 140000Z 24006MPS 0600 R14/1400 FG VV001 10/10 Q1019 R88/290195 NOSIG", "wind", "240/11.7"},
    {"UATG 140000Z 24006MPS 0600 R14/1400 FG VV001 10/10 Q1019 26090070 NOSIG", "wind", "240/11.7"},
    {"UATG 140000Z 24006MPS 0600 R14/1400 FG VV001 10/10 Q1019 26090070 NOSIG", "status", "ok"},
    {"UKBB 140000Z 23004MPS CAVOK 12/06 Q1008 88CLRD95 NOSIG", "status", "ok"},
    {"EDDF 141200Z 27010KT 9999 FEW030 10/05 Q1013 R25/CLRD// NOSIG", "status", "ok"},
    // Header flags.
    {"METAR KXXX 141200Z AUTO 27010KT 10SM CLR 05/01 A2992", "flags", "AUTO "},
    {"METAR COR KXXX 141200Z 27010KT 10SM CLR 05/01 A2992", "flags", "COR "},
    {"KXXX 141200Z COR 27010KT 10SM CLR 05/01 A2992", "flags", "COR "},
    {"SPECI KXXX 141200Z 27010KT 10SM CLR 05/01 A2992=", "flags", "SPECI"},
    {"KXXX 141200Z NIL=", "flags", "NIL "},
    {"KXXX 141200Z NIL=", "status", "ok"},
    // Trends and remarks never change the observed values.
    {"OIII 021300Z 27048G60KT 4000 +TSRA +DSSS SCT025CB 23/11 Q1014 TEMPO FM 1300 32030G40KT 1500 SA TEMPO 1000 SA TSRA",
     "wind", "270/48.0G60.0"},
    {"OIII 021300Z 27048G60KT 4000 +TSRA +DSSS SCT025CB 23/11 Q1014 TEMPO FM 1300 32030G40KT 1500 SA TEMPO 1000 SA TSRA",
     "visibility", "4000"},
    {"OIII 021300Z 27048G60KT 4000 +TSRA +DSSS SCT025CB 23/11 Q1014 TEMPO FM 1300 32030G40KT 1500 SA TEMPO 1000 SA TSRA",
     "trends", "[TEMPO wind 30.0 vis 1500 sand from 780][TEMPO vis 1000 sand; thunderstorm with rain]"},
    {"LLBG 110620Z 19014KT 1200 R08/2000 DS VV012 12/M00 Q1010 BECMG 20020G30KT 2500 DU NSC RMK REP AT 0535Z VIS 2500M",
     "clouds", "vertical visibility 1200 feet"},
    {"EGLL 141200Z 27010KT 9999 FEW030 10/05 Q1013 NOSIG", "trends", "[NOSIG]"},
    {"YMML 131600Z 27010KT 9999 SCT003 BKN025 13/12 Q1011 FM1600 27008KT 6000 -DZ BKN008 TEMPO 1600/1900 3000 -DZ",
     "trends", "[FM wind 8.0 vis 6000 light drizzle from 960][TEMPO vis 3000 light drizzle from 960]"},
    {"YMML 131600Z 27010KT 9999 SCT003 BKN025 13/12 Q1011 FM1600 27008KT 6000 -DZ BKN008 TEMPO 1600/1900 3000 -DZ",
     "visibility", ">10000"},
    {"KXXX 141200Z 27010KT 10SM CLR 05/01 A2992 RMK AO2 PK WND 31076/1547 9999 BKN002 01/01", "ceiling", "-"},
    // Pressure in hectopascals or inches; the first group counts.
    {"EGLL 141200Z 27010KT 9999 FEW030 10/05 Q1013", "pressure", "1013.0"},
    {"KXXX 141200Z 27010KT 10SM CLR 05/01 A2992", "pressure", "1013.2"},
    {"VTSF 140000Z 31003KT 8000 FEW017CB 24/23 Q1010 A2982", "pressure", "1010.0"},
    {"FOGO 021200Z /////KT 9999 SCT012 31/20 Q////", "pressure", "-"},
    // Weather in words.
    {"KXXX 141200Z 27010KT 3SM -RA BR OVC010 05/04 A2992", "weather", "light rain; mist"},
    {"KXXX 141200Z 27010KT 3SM +TSRAGR OVC010 05/04 A2992", "weather", "thunderstorm with heavy rain and hail"},
    {"KXXX 141200Z 27010KT 3SM -SHRASN OVC010 05/04 A2992", "weather", "light rain and snow showers"},
    {"KXXX 141200Z 27010KT 3SM VCSH FZFG BCFG OVC010 05/04 A2992", "weather",
     "showers in the vicinity; freezing fog; patches of fog"},
    {"KXXX 141200Z 27010KT 3SM +FC OVC010 05/04 A2992", "weather", "tornado or waterspout"},
    {"KXXX 141200Z 27010KT 3SM -SH RA OVC010 05/04 A2992", "weather", "light showers; rain"},
    {"KXXX 141200Z 27010KT 3SM BR OVC010 05/04 A2992 RERA RETS", "recent", "recent rain; recent thunderstorm"},
    {"EHMG 132355Z AUTO 22004KT 190V270 //// // FEW023/// 11/06 Q0994 RE//", "status", "ok"},
    // Derived values.
    {"KXXX 141200Z 27010KT 10SM CLR 20/10 A2992", "rh", "53"},
    {"KXXX 141200Z 27010KT 10SM CLR 05/05 A2992", "rh", "100"},
    {"KXXX 141200Z 27010KT 10SM BKN004 05/05 A2992", "category", "LIFR"},
    {"KXXX 141200Z 27010KT 3/4SM OVC020 05/05 A2992", "category", "LIFR"},
    {"KXXX 141200Z 27010KT 10SM OVC005 05/05 A2992", "category", "IFR"},
    {"KXXX 141200Z 27010KT 1SM OVC020 05/05 A2992", "category", "IFR"},
    {"KXXX 141200Z 27010KT 10SM BKN010 05/05 A2992", "category", "MVFR"},
    {"KXXX 141200Z 27010KT 10SM BKN030 05/05 A2992", "category", "MVFR"},
    {"KXXX 141200Z 27010KT 5SM BKN050 05/05 A2992", "category", "MVFR"},
    {"KXXX 141200Z 27010KT 6SM FEW005 BKN031 05/05 A2992", "category", "VFR"},
    {"KXXX 141200Z 27010KT 3SM SCT002 05/05 A2992", "category", "MVFR"},
    {"EGLL 141200Z 27010KT CAVOK 10/05 Q1013", "category", "VFR"},
    {"KXXX 141200Z 27010KT 10/05 A2992", "category", ""},
    // Not a METAR: rejected. Two reports run together: never merged, the
    // second one's groups are left undecoded (nextMetarReport splits them).
    {"AAXX 14001 40650 42960 03206 10288 21006 40171 56010", "status", "rejected"},
    {"KXXX 141200Z 27010KT 10SM CLR 05/01 A2992 METAR KXYZ 141550Z 27010KT 10SM CLR 05/01 A2992", "status",
     "partial"},
    {"KXXX 141200Z 27010KT 10SM CLR 05/01 A2992 METAR KXYZ 141550Z 27010KT 10SM CLR 05/01 A2992", "time",
     "2010-11-14T12:00Z"},
    {"MDPC 141000Z 36006KT 9999 FEW018 23/21 Q1010 MDSD 141000Z 01006KT 9999 SCT018 21/19 Q1013 NOSIG", "pressure",
     "1010.0"},
    {"MDPC 141000Z 36006KT 9999 FEW018 23/21 Q1010 MDSD 141000Z 01006KT 9999 SCT018 21/19 Q1013 NOSIG", "trends", ""},
    {"KXXX 141200Z=", "status", "rejected"},
    {"KXXX 141200Z 27010KT 10SM CLR 05/01 A2992= =\x03 ", "status", "ok"},
    {"CYCQ 140000Z 21010KT 35SM FEW040 08/M01 A2994 RMK CU1CI0 LAST OBS/ NEXT 141400Z SLP159", "status", "ok"},
    {"KXXX 141260Z 27010KT 10SM CLR 05/01 A2992", "status", "rejected"},
    {"KXXX 142400Z 27010KT 10SM CLR 05/01 A2992", "status", "rejected"},
    {"", "status", "rejected"},
    // Faults found on real reports. A day-time without its Z, with another
    // letter, or with the wind run into it.
    {"ETER 272200 14008KT 8000 SCT015 FEW080 31/25 A2996", "time", "2010-10-27T22:00Z"},
    {"ETER 272200 14008KT 8000 SCT015 FEW080 31/25 A2996", "status", "ok"},
    {"OBBI 140200E 29005KT CAVOK 24/18 Q1013 NOSIG", "time", "2010-11-14T02:00Z"},
    {"OMAA 140500Z13004KT 6000 NSC 25/19 QWQPQR A2995 NOSIG", "wind", "130/4.0"},
    {"OMAA 140500Z13004KT 6000 NSC 25/19 QWQPQR A2995 NOSIG", "notdecoded", "QWQPQR"},
    {"LIPX 1400715Z 35003KT 1200 R04/1500U BR FEW040 BKN070 10/10 Q1015", "status", "rejected"},
    {"OLBA 140201KT 8000 SCT180 21/08 Q1015 NOSIG", "status", "rejected"},
    // A header repeated before its report, and the word again after it.
    {"SKSP 132348Z METAR SKSP 140000Z 36009KT 9999 FEW020 BKN200 27/21 A2987", "time", "2010-11-14T00:00Z"},
    {"MHAM 141300Z MHTR 141300Z 18002KT 9999 SCT020TCU BKN070 21/20 RERA", "status", "ok"},
    {"UHHH 140000Z METAR 28006MPS 3200 -SHSN BKN020CB OVC100 M04/M04 Q1014 NOSIG", "status", "ok"},
    // Text after "=" is left undecoded, the report before it kept.
    {"HUEN 132200Z 21002KT 9999 FEW020 29/19 Q1016 RESHRA=3D", "recent", "recent rain showers"},
    {"HUEN 132200Z 21002KT 9999 FEW020 29/19 Q1016 RESHRA=3D", "notdecoded", "3D"},
    {"KXXX 141200Z 27010KT 10SM CLR 05/01 A3039 RMK=TEST 16", "pressure", "1029.1"},
    {"KXXX 141200Z 27010KT 10SM CLR 05/01 A3039 RMK=TEST 16", "notdecoded", "TEST 16"},
    // Visibility with the unit split off, or written out in metres.
    {"KXXX 141200Z 27010KT 2 1/2 SM BR OVC005 05/04 A2992", "visibility", "4023"},
    {"KXXX 141200Z 27010KT 2 1/2 SM BR OVC005 05/04 A2992", "status", "ok"},
    {"KXXX 141200Z 27010KT 1/2 SM FG OVC005 05/04 A2992", "visibility", "805"},
    {"UTSS 141200Z 27010KT 2000M BR OVC005 05/04 Q1013", "visibility", "2000"},
    // Pressure in its other forms; sea-level pressure when there is nothing else.
    {"UTSS 141200Z 27010KT 9999 OVC005 05/04 Q1014/A2996/", "pressure", "1014.0"},
    {"UTSS 141200Z 27010KT 9999 OVC005 05/04 Q1014/A2996/", "status", "ok"},
    {"UTSS 141200Z 27010KT 9999 OVC005 05/04 Q1018.2", "pressure", "1018.2"},
    {"UTSS 141200Z 27010KT 9999 OVC005 05/04 Q1007.", "pressure", "1007.0"},
    {"UTSS 141200Z 27010KT 9999 OVC005 05/04 Q.1015", "pressure", "1015.0"},
    {"UTSS 141200Z 27010KT 9999 OVC005 05/04 QNH1016MB", "pressure", "1016.0"},
    {"KXXX 141200Z 27010KT 10SM CLR 05/01 QNH3014INS", "pressure", "1020.7"},
    {"KXXX 141200Z 27010KT 10SM CLR 05/01 A29.94", "pressure", "1013.9"},
    {"WARR 140300Z 06006KT 9999 FEW020CB 32/24 Q1011RMK CB TO NW", "pressure", "1011.0"},
    {"WARR 140300Z 06006KT 9999 FEW020CB 32/24 Q1011RMK CB TO NW", "status", "ok"},
    {"OMAA 131700Z 34006KT CAVOK 25/19 Q1010NOSIG", "trends", "[NOSIG]"},
    {"KXXX 141200Z AUTO 27010KT 10SM CLR 05/01 RMK AO2 SLP015", "pressure", "1001.5"},
    {"KXXX 141200Z AUTO 27010KT 10SM CLR 05/01 RMK AO2 SLP015", "flags", "AUTO SLP "},
    {"KXXX 141200Z AUTO 27010KT 10SM CLR 05/01 A2992 RMK AO2 SLP015", "flags", "AUTO "},
    // Impossible values are left out and the report marked partial.
    {"OEDF 140900Z 30008KT CAVOK 29/00 Q101 NOSIG", "pressure", "-"},
    {"OEDF 140900Z 30008KT CAVOK 29/00 Q101 NOSIG", "status", "partial"},
    {"OEDF 140900Z 30008KT CAVOK 29/00 Q013 NOSIG", "pressure", "-"},
    {"OEDF 140900Z 30008KT CAVOK 29/00 Q994 NOSIG", "pressure", "994.0"},
    {"MMXX 140900Z 30008KT 6SM SCT020 29/20 Q2995 A2941", "pressure", "995.9"},
    {"MMXX 140900Z 30008KT 6SM SCT020 29/20 Q2995 A2941", "notdecoded", "Q2995"},
    {"KXXX 141200Z 27010KT 3 1/24 OVC010 A2992", "temperature", "-/-"},
    {"KXXX 141200Z 27010KT 3 1/24 OVC010 A2992", "status", "partial"},
    {"KXXX 141200Z 27010KT 3SM OVC010 7/20 A2992", "temperature", "-/-"},
    {"KXXX 141200Z 27010KT 3SM OVC010 75/20 A2992", "temperature", "-/-"},
    {"KXXX 141200Z 27010KT 3SM OVC010 02/03 A2992", "temperature", "2.0/3.0"},  // within a rounding
    {"OLBA 140200Z 140201KT 8000 SCT180 21/08 Q1015", "wind", "none"},
    {"OLBA 140200Z 140201KT 8000 SCT180 21/08 Q1015", "status", "partial"},
    {"KXXX 141200Z 27015G10KT 10SM CLR 05/01 A2992", "wind", "270/15.0"},
    {"KXXX 141200Z 27015G10KT 10SM CLR 05/01 A2992", "notdecoded", "27015G10KT"},
    {"KXXX 141200Z 27015G15KT 10SM CLR 05/01 A2992", "status", "partial"},
    // One bad half of the remarks' tenths keeps the good one.
    {"KXXX 141200Z 27010KT 10SM CLR 10/01 A2992 RMK AO2 T01058005", "temperature", "10.5/1.0"},
    {"KXXX 141200Z 27010KT 10SM CLR 10/01 A2992 RMK AO2 T010221077", "temperature", "10.2/1.0"},
    {"KXXX 141200Z 27010KT 10SM CLR 10/01 A2992 RMK AO2 T01020011", "temperature", "10.2/1.1"},
    // The wind in lower case, with its unit apart, or with one figure after VRB.
    {"KXXX 141200Z 14005kt 10SM CLR 05/01 A2992", "wind", "140/5.0"},
    {"KXXX 141200Z 08005 KT 10SM CLR 05/01 A2992", "wind", "80/5.0"},
    {"KXXX 141200Z 08005 KT 10SM CLR 05/01 A2992", "status", "ok"},
    {"KXXX 141200Z VRB3KT 10SM CLR 05/01 A2992", "wind", "VRB/3.0"},
    {"KBOS 200954Z 21009KT 10SM FEW170 20/18 A2987 $", "status", "ok"},
    // Remarks run into their first word.
    {"EKVG 140853Z 36008KT 9999 FEW025 01/M01 Q0996 RMK/RWY 13/31 CLSD WIND 850FT VRB03KT", "status", "ok"},
    // Groups we do not know are collected, the rest still decoded.
    {"VTSF 140000Z 31003KT 8000 FEW017CB 24/23 Q1010 CB NE", "status", "partial"},
    {"VTSF 140000Z 31003KT 8000 FEW017CB 24/23 Q1010 CB NE", "notdecoded", "CB NE"},
    {"KXXX 141200Z 27010KT 28015KT 10SM CLR 05/01 A2992", "wind", "270/10.0"},
    {"KXXX 141200Z 27010KT 28015KT 10SM CLR 05/01 A2992", "notdecoded", "28015KT"},
};

INSTANTIATE_TEST_SUITE_P(Table, MetarPitfalls, ::testing::ValuesIn(kPitfalls));

// A line of several reports is decoded report by report, each ending where
// the next starts.
TEST(MetarSplit, SplitsALineWhereEachReportStarts) {
  const struct {
    const char* line;
    std::vector<std::string> stations;  // of the pieces, in order
  } cases[] = {
      {"KXXX 141200Z 27010KT 10SM CLR 05/01 A2992", {"KXXX"}},
      {"OMAL 140100Z 01007KT 8000 NSC 22/18 Q1013 A2992=5 METAR OMDB 140100Z 13003KT CAVOK 24/19 Q1012 NOSIG",
       {"OMAL", "OMDB"}},
      {"VTSF 140000Z 31003KT 8000 24/23 Q1012 A2989 MHLM 131100Z 36008KT 9999 FEW020 28/22 Q1010", {"VTSF", "MHLM"}},
      {"HUEN 132200Z 21002KT 9999 29/19 Q1016=3D HUEN 132300Z 24006KT 9999 20/19 Q1014=3D ", {"HUEN", "HUEN"}},
      {"SLCO 131900Z 00000KT 9999 33/22 Q1008 METAR SLRY 131900Z 00000KT 8000 NSC 34/21 Q1009 METAR SLRQ 131900Z "
       "35004KT 8000 NSC 35/23 Q1008",
       {"SLCO", "SLRY", "SLRQ"}},
      {"NZWN 140500Z 17015KT 8000 13/11 Q1014 RMK SPECI COR CLD VIS SPECI COR NZWN 140430Z 20012KT 8000 13/11 Q1014",
       {"NZWN", "NZWN"}},
      // A repeated header stays with its report; "NEXT ddhhmmZ" is a remark.
      {"SKSP 132348Z METAR SKSP 140000Z 36009KT 9999 27/21 A2987", {"SKSP"}},
      {"CYCQ 140000Z 21010KT 35SM FEW040 08/M01 A2994 RMK LAST OBS/ NEXT 141400Z SLP159", {"CYCQ"}},
      {"AAXX 14001 40650 42960 03206", {"AAXX"}},
      {"KXXX 141200Z METAR COR KXXX 141200Z 27010KT 10SM CLR 05/01 A2992 METAR COR KXYZ 141200Z 27010KT", {"KXXX", "KXYZ"}},
      {"OMAD 140008Z 2 003KT Q1011 A2987. METAR OMAL 148000Z 01007KT Q101- A2997=5 METAR OMDB 140000Z 17002KT",
       {"OMAD", "OMAL", "OMDB"}},
  };
  const UtcDateTime anchor{2010, 11, 14, 23, 59};
  for (const auto& c : cases) {
    std::string_view rest = c.line;
    std::vector<std::string> stations;
    while (!rest.empty()) {
      const std::string_view before = rest;
      const MetarReport report = decodeNextMetar(rest, anchor);
      stations.push_back(report.station);
      // No report holds the start of another.
      for (const std::string& group : report.notDecoded)
        EXPECT_TRUE(!isStationId(group) && group != "METAR") << group << " in " << c.line << "\n  at: " << before;
      ASSERT_LT(rest.size(), before.size()) << c.line;
    }
    EXPECT_EQ(stations, c.stations) << c.line;
  }
}

struct AnchorRow {
  UtcDateTime anchor;
  const char* dayTime;
  const char* expected;
};

void PrintTo(const AnchorRow& row, std::ostream* out) { *out << row.dayTime << " at " << row.anchor.toString(); }

class MetarAnchor : public ::testing::TestWithParam<AnchorRow> {};

TEST_P(MetarAnchor, GivesTheLatestDateOnOrBeforeTheDayAfterTheAnchor) {
  const AnchorRow& row = GetParam();
  const MetarReport report = decodeMetar(std::string("KXXX ") + row.dayTime + " 27010KT 10SM CLR 05/01 A2992", row.anchor);
  ASSERT_NE(report.status, MetarStatus::Rejected);
  EXPECT_EQ(report.time.toString(), row.expected);
}

const AnchorRow kAnchors[] = {
    {{2010, 11, 14, 12, 0}, "141155Z", "2010-11-14T11:55Z"},
    {{2010, 11, 14, 12, 0}, "151205Z", "2010-11-15T12:05Z"},  // a report a little ahead of the clock
    {{2010, 11, 14, 12, 0}, "161200Z", "2010-10-16T12:00Z"},  // two days ahead is last month's
    {{2010, 11, 30, 23, 58}, "010000Z", "2010-12-01T00:00Z"},
    {{2010, 12, 31, 23, 58}, "010000Z", "2011-01-01T00:00Z"},  // across the year end
    {{2011, 1, 1, 0, 5}, "312355Z", "2010-12-31T23:55Z"},
    {{2010, 11, 1, 0, 10}, "312350Z", "2010-10-31T23:50Z"},
    {{2010, 12, 1, 0, 10}, "312350Z", "2010-10-31T23:50Z"},  // November has no 31st
    {{2011, 3, 1, 0, 10}, "292350Z", "2011-01-29T23:50Z"},   // nor February 2011 a 29th
    {{2012, 3, 1, 0, 10}, "292350Z", "2012-02-29T23:50Z"},   // but 2012 does
    {{2011, 3, 2, 12, 0}, "302350Z", "2011-01-30T23:50Z"},
    {{2023, 5, 9, 22, 15}, "130935Z", "2023-04-13T09:35Z"},
};

INSTANTIATE_TEST_SUITE_P(Table, MetarAnchor, ::testing::ValuesIn(kAnchors));

TEST(MetarTexts, NameWeatherCloudsAndCategories) {
  WeatherGroup g;
  ASSERT_TRUE(decodeWeatherGroup("+TS", g));
  EXPECT_EQ(weatherText(g), "heavy thunderstorm");
  ASSERT_TRUE(decodeWeatherGroup("REFZDZ", g));
  EXPECT_TRUE(g.recent);
  EXPECT_EQ(weatherText(g), "recent freezing drizzle");
  ASSERT_TRUE(decodeWeatherGroup("-DRSN", g));
  EXPECT_EQ(weatherText(g), "light low drifting snow");
  for (const char* notWeather : {"RA1", "XX", "MI", "+", "VC", "RARARARARA", "BC", "TSTS"})
    EXPECT_FALSE(decodeWeatherGroup(notWeather, g)) << notWeather;
  // Written back as a report writes it, for short texts on a chart.
  for (const char* code : {"-SHRA", "+TSRASN", "VCTS", "REFZDZ", "BR", "MIFG", "-DRSN", "FZFG", "TS", "+FC", "PL"}) {
    ASSERT_TRUE(decodeWeatherGroup(code, g)) << code;
    EXPECT_EQ(weatherCode(g), code);
  }
  ASSERT_TRUE(decodeWeatherGroup("PE", g));
  EXPECT_EQ(weatherCode(g), "PL") << "the older code reads as today's";

  CloudLayer layer;
  ASSERT_TRUE(decodeCloudGroup("SCT090", layer));
  EXPECT_EQ(cloudText(layer), "scattered clouds at 9000 feet");
  ASSERT_TRUE(decodeCloudGroup("VV///", layer));
  EXPECT_EQ(cloudText(layer), "vertical visibility unknown");
  for (const char* notCloud : {"SCT09", "BKN0100", "FEWXYZ", "OVC010XX", "//////"})
    EXPECT_FALSE(decodeCloudGroup(notCloud, layer)) << notCloud;

  EXPECT_STREQ(flightCategoryText(FlightCategory::VFR), "VFR");
  EXPECT_STREQ(flightCategoryText(FlightCategory::MVFR), "MVFR");
  EXPECT_STREQ(flightCategoryText(FlightCategory::IFR), "IFR");
  EXPECT_STREQ(flightCategoryText(FlightCategory::LIFR), "LIFR");
  EXPECT_STREQ(flightCategoryText(FlightCategory::Unknown), "");
  // The edges: 500 ft is IFR, 1000 ft MVFR, 3000 ft MVFR, 3100 ft VFR; 3 SM MVFR, 5 SM MVFR.
  EXPECT_EQ(flightCategory(std::nullopt, 499), FlightCategory::LIFR);
  EXPECT_EQ(flightCategory(std::nullopt, 500), FlightCategory::IFR);
  EXPECT_EQ(flightCategory(std::nullopt, 1000), FlightCategory::MVFR);
  EXPECT_EQ(flightCategory(std::nullopt, 3000), FlightCategory::MVFR);
  EXPECT_EQ(flightCategory(std::nullopt, 3100), FlightCategory::VFR);
  EXPECT_EQ(flightCategory(3 * kMetresPerStatuteMile, std::nullopt), FlightCategory::MVFR);
  EXPECT_EQ(flightCategory(5 * kMetresPerStatuteMile, std::nullopt), FlightCategory::MVFR);
  EXPECT_EQ(flightCategory(5.5 * kMetresPerStatuteMile, std::nullopt), FlightCategory::VFR);
  EXPECT_EQ(flightCategory(1600, std::nullopt), FlightCategory::LIFR);  // just under a mile
}

TEST(MetarRobustness, LongAndHostileInputStaysLinearAndBounded) {
  // Many groups of the kinds that look ahead or repeat, a million characters in all.
  const char* pieces[] = {"1 ", "WS ", "TEMPO ", "FM ", "ZZZZZ ", "R26/ ", "M/ ", "//// ", "9999 ", "-SH "};
  std::string body = "KXXX 141200Z ";
  std::size_t count = 0;
  while (body.size() < 1'000'000) body += pieces[count++ % std::size(pieces)];
  // Its time, linear or not, is measured by BM_DecodeHostileInput.
  const MetarReport report = decodeMetar(body, kAnchor);
  EXPECT_NE(report.status, MetarStatus::Rejected);
  EXPECT_LE(report.notDecoded.size(), MetarReport::kMaxNotDecodedKept);
  EXPECT_GT(report.notDecodedCount, 10'000u);

  // Bytes of every value, with and without spaces, never crash or throw.
  std::string bytes;
  for (int i = 0; i < 4096; ++i) bytes += static_cast<char>((i * 37 + 11) % 256);
  EXPECT_NO_THROW(decodeMetar(bytes, kAnchor));
  EXPECT_NO_THROW(decodeMetar("KXXX 141200Z " + bytes, kAnchor));
  EXPECT_NO_THROW(decodeMetar(std::string_view("KXXX\0 141200Z", 13), kAnchor));
}

}  // namespace
}  // namespace nimbrel
