// Real answers of the aviation weather Data API: our decoding of each rawOb
// against the fields the service decoded itself, within the tolerances
// below, and the same answer read as the live source reads it.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "metar/MetarDecoder.h"
#include "observations/MetarObservation.h"

namespace nimbrel {
namespace {

using nlohmann::json;

// The service gives temperatures from the remarks' tenths group, as we do.
constexpr double kTemperatureToleranceC = 0.1;
// altim is in hPa, rounded by the service after its own conversion from inches.
constexpr double kAltimeterToleranceHpa = 0.6;
constexpr double kMetresPerMile = 1609.344;

std::string ReadFixture(const char* name) {
  std::ifstream in(std::string(NIMBREL_FIXTURES_DIR) + "/metar/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

const char* CoverCode(CloudCover cover) {
  switch (cover) {
    case CloudCover::Few: return "FEW";
    case CloudCover::Scattered: return "SCT";
    case CloudCover::Broken: return "BKN";
    case CloudCover::Overcast: return "OVC";
    case CloudCover::VerticalVisibility: return "OVX";
    case CloudCover::SkyClear: return "SKC";
    case CloudCover::Clear: return "CLR";
    default: return "?";
  }
}

class MetarApiSamples : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    text = ReadFixture(GetParam());
    ASSERT_FALSE(text.empty()) << GetParam();
    answer = json::parse(text);
    ASSERT_TRUE(answer.is_array());
    ASSERT_FALSE(answer.empty());
  }
  std::string text;
  json answer;
};

TEST_P(MetarApiSamples, OurDecodingAgreesWithTheServices) {
  for (const json& o : answer) {
    const std::string raw = o.at("rawOb");
    const std::int64_t obsTime = o.at("obsTime");
    const MetarReport r = decodeMetar(raw, UtcDateTime::fromEpochMinutes(obsTime / 60));
    ASSERT_NE(r.status, MetarStatus::Rejected) << raw;
    EXPECT_EQ(r.station, o.at("icaoId")) << raw;
    EXPECT_EQ(r.time.epochMinutes() * 60, obsTime) << raw;

    ASSERT_TRUE(r.temperatureC && r.dewPointC) << raw;
    EXPECT_NEAR(*r.temperatureC, o.at("temp").get<double>(), kTemperatureToleranceC) << raw;
    EXPECT_NEAR(*r.dewPointC, o.at("dewp").get<double>(), kTemperatureToleranceC) << raw;
    ASSERT_TRUE(r.pressureHpa) << raw;
    EXPECT_NEAR(*r.pressureHpa, o.at("altim").get<double>(), kAltimeterToleranceHpa) << raw;

    const Wind& wind = r.current.wind;
    if (o.at("wdir").is_string()) {
      EXPECT_EQ(o.at("wdir"), "VRB") << raw;
      EXPECT_TRUE(wind.variable) << raw;
    } else {
      ASSERT_TRUE(wind.directionDeg) << raw;
      EXPECT_EQ(*wind.directionDeg, o.at("wdir").get<int>()) << raw;
    }
    ASSERT_TRUE(wind.speedKt) << raw;
    EXPECT_EQ(*wind.speedKt, o.at("wspd").get<double>()) << raw;
    EXPECT_EQ(wind.gustKt.has_value(), o.contains("wgst")) << raw;
    if (wind.gustKt && o.contains("wgst")) {
      EXPECT_EQ(*wind.gustKt, o.at("wgst").get<double>()) << raw;
    }

    // "10+" says at least ten statute miles; a number is miles to a hundredth.
    ASSERT_TRUE(r.current.visibility.prevailingM) << raw;
    const double miles = *r.current.visibility.prevailingM / kMetresPerMile;
    if (o.at("visib").is_string()) {
      EXPECT_EQ(o.at("visib"), "10+") << raw;
      EXPECT_GE(miles, 10.0 - 1e-9) << raw;
    } else {
      EXPECT_NEAR(miles, o.at("visib").get<double>(), 0.01) << raw;
    }

    EXPECT_EQ(flightCategoryText(r.flightCategory()), o.at("fltCat").get<std::string>()) << raw;
    std::vector<std::pair<std::string, int>> ours, theirs;
    for (const CloudLayer& layer : r.current.clouds) ours.emplace_back(CoverCode(layer.cover), layer.baseFt.value_or(-1));
    for (const json& layer : o.at("clouds"))
      theirs.emplace_back(layer.at("cover"), layer.contains("base") ? layer.at("base").get<int>() : -1);
    EXPECT_EQ(ours, theirs) << raw;
  }
}

// The live source reads the whole answer: every report, newest first as
// the service lists them, with the service's category and the text as sent.
TEST_P(MetarApiSamples, TheLiveSourceReadsEveryReport) {
  const MetarAnswer read = readMetarAnswer(text);
  ASSERT_TRUE(read.readable);
  EXPECT_EQ(read.skipped, 0);
  ASSERT_EQ(read.observations.size(), answer.size());
  for (std::size_t i = 0; i < answer.size(); ++i) {
    const Observation& o = read.observations[i];
    EXPECT_EQ(o.rawReport, answer[i].at("rawOb")) << i;
    EXPECT_EQ(flightCategoryText(o.category), answer[i].at("fltCat").get<std::string>()) << i;
    EXPECT_NEAR(o.temperature, answer[i].at("temp").get<double>(), kTemperatureToleranceC) << o.rawReport;
    EXPECT_NEAR(o.pressure, answer[i].at("altim").get<double>(), kAltimeterToleranceHpa) << o.rawReport;
    EXPECT_NEAR(o.windSpeed / 0.514444, answer[i].at("wspd").get<double>(), 1e-3) << o.rawReport;
  }
}

INSTANTIATE_TEST_SUITE_P(Recorded, MetarApiSamples,
                         ::testing::Values("awc_api_metar_json_KBOS_KMCI_KORD_2026-05-20.json"));

}  // namespace
}  // namespace nimbrel
