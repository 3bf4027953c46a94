// A METAR's detail lines with the default units: the wording its source has
// always had, and a stated sky (CAVOK, clear) never left blank.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "metar/MetarDecoder.h"
#include "observations/MetarObservation.h"
#include "observations/ObservationText.h"

namespace nimbrel {
namespace {

TEST(ObservationText, TheMetarSourcesOwnWording) {
  const struct {
    const char* raw;
    std::vector<std::string> lines;  // WINDS to PRESENT
  } cases[] = {
      // Before, CEILING, CLOUDS and PRESENT of CAVOK and clear skies were empty.
      {"BIRK 140000Z 23003KT CAVOK M02/M06 Q1001",
       {"WINDS: from the SW (230 degrees) at 3 MPH (3 knots; 1.5 m/s)", "VISIBILITY: 6 or more miles (10+ km)",
        "CEILING: none", "CLOUDS: CAVOK", "PRESENT: CAVOK"}},
      {"KABE 132351Z 00000KT 10SM CLR 08/M02 A3013",
       {"WINDS: calm", "VISIBILITY: 10 or more miles (16+ km)", "CEILING: none",
        "CLOUDS: no clouds below 12000 feet", "PRESENT: none"}},
      {"CBBC 132347Z AUTO 14003KT 120V180 1 1/4SM DZ VV002 09/08 A3023",
       {"WINDS: from the SE (140 degrees) at 3 MPH (3 knots; 1.5 m/s)", "VISIBILITY: 1.25 miles (2.0 km)",
        "CEILING: at 200 feet AGL", "CLOUDS: vertical visibility 200 feet AGL", "PRESENT: drizzle"}},
      {"FMCH 140000Z 09019G29KT 9999 FEW020 26/23 Q1012 NOSIG",
       {"WINDS: from the E (90 degrees) at 22 MPH (19 knots; 9.8 m/s) gusting to 33 MPH (29 knots; 14.9 m/s)",
        "VISIBILITY: 6 or more miles (10+ km)", "CEILING: none", "CLOUDS: few clouds at 2000 feet AGL",
        "PRESENT: "}},
      {"KSMP 132356Z AUTO VRB03KT M1/4SM FG BKN001 OVC007 01/01 A3033",
       {"WINDS: variable at 3 MPH (3 knots; 1.5 m/s)", "VISIBILITY: less than 0.25 miles (0.4 km)",
        "CEILING: at 100 feet AGL",
        "CLOUDS: broken clouds at 100 feet AGL; overcast at 700 feet AGL", "PRESENT: fog"}},
      // No cloud group: the report says nothing of the sky.
      {"CXSE 140000Z AUTO 27010KT M21/M23 RMK AO1 SLP077 T12101230 51008",
       {"WINDS: from the W (270 degrees) at 12 MPH (10 knots; 5.1 m/s)", "VISIBILITY: ", "CEILING: ", "CLOUDS: ",
        "PRESENT: "}},
  };
  for (const auto& c : cases) {
    const Observation o = toObservation(decodeMetar(c.raw, UtcDateTime{2010, 11, 14, 0, 30}), c.raw);
    const std::vector<std::string> lines = detailLines(o, nullptr, true);
    ASSERT_EQ(lines.size(), 11u) << c.raw;
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 4, lines.begin() + 9), c.lines) << c.raw;
    EXPECT_EQ(lines[10], std::string("METAR: ") + c.raw);
  }
  const std::string raw = "CYBB 140000Z 25006KT 15SM FEW020 M21/M23 A2982 RMK SC2 SLP102";
  const std::vector<std::string> lines =
      detailLines(toObservation(decodeMetar(raw, UtcDateTime{2010, 11, 14, 0, 30}), raw));
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4),
            (std::vector<std::string>{"DATE: CYBB 11/14/2010 UTC, observed 00:00 UTC", "TEMP: -21.0\xB0" "C (-6\xB0" "F)",
                                      "DEWPOINT: -23.0\xB0" "C (-9\xB0" "F) [RH = 84%]",
                                      "PRESSURE: 29.82 inches Hg (1009.8 mb)"}));
  EXPECT_EQ(lines[9], "CATEGORY: VFR");
}

}  // namespace
}  // namespace nimbrel
