// Our decoding of the rweather collection against the independent decoding
// stored beside it, field by field. Where the two follow different
// conventions the mapping is written out here; real disagreements are listed
// in kKnownDifferences with the reason.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "metar/MetarDecoder.h"

namespace nimbrel {
namespace {

using nlohmann::json;

const char* const kFiles[] = {"anchor_time", "cloud", "daytime", "header", "null", "present_weather", "pressure",
                              "recent_weather", "rvr", "sea", "temperature", "trend", "visibility", "wind",
                              "wind_shear"};

// (report start, field): where we differ on purpose, and why.
struct KnownDifference {
  const char* reportStart;
  const char* field;
  const char* reason;
};
const KnownDifference kKnownDifferences[] = {
    {"MHTG 122100Z", "weather", "\"TSVCSH\" runs two groups together; the code table has no such group"},
    {"PACZ 130955Z", "weather", "\"BC\" (patches) without a phenomenon is no weather group"},
    {"LTCT 131250Z", "recent weather", "\"RESHRATS\" puts the TS descriptor after the phenomenon"},
    {"OSLK 021200Z", "cavok", "\"KAVOK\" is a misspelling; we do not guess at typing errors"},
    {"OSLK 021200Z", "visibility", "\"KAVOK\" is a misspelling; we do not guess at typing errors"},
    {"UTAM 081400Z", "visibility", "\"60000\" has five figures; visibility groups have four"},
    {"SARL 021200Z", "clouds", "\"OVC35\" has two height figures; cloud heights have three"},
    {"VVCT 021200Z", "clouds", "\"FEW017TU\": TU is no cloud type (CB or TCU)"},
    {"KHOE 021155Z", "temperature", "the remarks give 17.8 where the body says 17; we take the remarks' tenths"},
    {"MNBL 1221000Z", "status", "\"1221000Z\" is no day-time group (seven figures), so the line is no METAR"},
    {"KQEQ 122050Z", "temperature", "a dew point 2 degrees above the temperature (14/16) cannot be; the pair is left out"},
    {"KQEQ 122050Z", "dew point", "a dew point 2 degrees above the temperature (14/16) cannot be; the pair is left out"},
};

bool isKnown(const std::string& report, const std::string& field) {
  for (const KnownDifference& known : kKnownDifferences)
    if (*known.reportStart && report.starts_with(known.reportStart) && field == known.field) return true;
  return false;
}

std::string trim(std::string text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  std::size_t start = 0;
  while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start]))) ++start;
  return text.substr(start);
}

// Their values carry a unit; ours are knots, metres, hPa and feet.
double toOurUnit(double value, const std::string& unit) {
  if (unit == "m/s") return value * kKnotsPerMetrePerSecond;
  if (unit == "km/h") return value * kKnotsPerKilometrePerHour;
  if (unit == "mi") return value * kMetresPerStatuteMile;
  if (unit == "km") return value * 1000;
  if (unit == "inHg") return value * 33.8638866667;
  return value;  // kt, m, hPa, ft, degC, degT
}

struct Comparison {
  std::string report;
  std::vector<std::string> differences;

  void check(const std::string& field, bool same, const std::string& ours, const std::string& theirs) {
    if (!same && !isKnown(report, field)) differences.push_back(field + ": ours " + ours + ", theirs " + theirs);
  }
  void value(const std::string& field, std::optional<double> ours, const json& theirs, double tolerance) {
    std::optional<double> expected;
    if (theirs.is_object() && theirs.contains("value") && theirs["value"].is_number())
      expected = toOurUnit(theirs["value"].get<double>(), theirs.value("units", ""));
    const bool same = ours.has_value() == expected.has_value() && (!ours || std::fabs(*ours - *expected) <= tolerance);
    check(field, same, ours ? std::to_string(*ours) : "none", expected ? std::to_string(*expected) : "none");
  }
};

const char* coverName(CloudCover cover) {
  switch (cover) {
    case CloudCover::Few: return "few";
    case CloudCover::Scattered: return "scattered";
    case CloudCover::Broken: return "broken";
    case CloudCover::Overcast: return "overcast";
    case CloudCover::VerticalVisibility: return "vertical_visibility";
    case CloudCover::SkyClear: return "sky_clear";
    case CloudCover::Clear: return "clear";
    case CloudCover::NoSignificant: return "nil_significant_cloud";
    case CloudCover::NoneDetected: return "no_cloud_detected";
    case CloudCover::Unknown: break;
  }
  return "";
}

std::string weatherName(const WeatherGroup& g) {
  static const char* const kDescriptors[] = {"",           "shallow", "patches",      "partial", "low_drifting",
                                             "blowing",    "shower",  "thunderstorm", "freezing"};
  static const char* const kPhenomena[] = {
      "",      "drizzle", "rain",  "snow",         "snow_grains",  "ice_crystals", "ice_pellets", "hail",
      "small_hail", "unknown_precipitation", "mist", "fog", "smoke", "volcanic_ash", "dust", "sand", "haze",
      "spray", "dust_whirls", "squalls", "funnel_cloud", "sandstorm", "duststorm"};
  std::string name = g.intensity == WeatherIntensity::Light   ? "light"
                     : g.intensity == WeatherIntensity::Heavy ? "heavy"
                                                              : "moderate";
  if (g.vicinity) name += " vicinity";
  if (g.descriptor != WeatherDescriptor::None) name += std::string(" ") + kDescriptors[static_cast<int>(g.descriptor)];
  for (std::size_t i = 0; i < g.phenomenonCount(); ++i) name += std::string(" ") + kPhenomena[static_cast<int>(g.phenomena[i])];
  return name;
}

std::string weatherName(const json& w) {
  std::string name = w.value("intensity", "moderate");
  if (w.value("is_in_vicinity", false)) name += " vicinity";
  for (const json& d : w.value("descriptors", json::array())) name += " " + d.get<std::string>();
  for (const json& p : w.value("phenomena", json::array())) name += " " + p.get<std::string>();
  return name;
}

template <typename List>
std::string ourWeather(const List& groups) {
  std::string out;
  for (const WeatherGroup& g : groups) out += "[" + weatherName(g) + "]";
  return out;
}

std::string theirWeather(const json& list) {
  std::string out;
  for (const json& w : list) out += "[" + weatherName(w) + "]";
  return out;
}

void compare(const MetarReport& ours, const json& theirs, const UtcDateTime& anchor, bool anchored, Comparison& c) {
  c.check("status", ours.status != MetarStatus::Rejected, "rejected", "decoded");
  if (ours.status == MetarStatus::Rejected) return;
  c.check("station", ours.station == theirs.value("station_id", ""), ours.station, theirs.value("station_id", ""));

  const json time = theirs.value("observation_time", json::object());
  const std::string ourTime = ours.time.toString();
  if (time.value("value_type", "") == "date_time") {
    const std::string theirTime = time.value("value", std::string()).substr(0, 16) + "Z";
    // They take the nearest month with the day; we take the latest date on or
    // before the day after the anchor. Beyond that day only day and time agree.
    const UtcDateTime limit = anchor.addDays(1);
    const bool theirsAfterLimit = theirTime.substr(0, 10) > limit.toString().substr(0, 10);
    if (anchored && !theirsAfterLimit) c.check("time", ourTime == theirTime, ourTime, theirTime);
    else c.check("time", ourTime.substr(8) == theirTime.substr(8), ourTime, theirTime);
  }
  c.check("corrected", ours.corrected == theirs.value("is_corrected", false), std::to_string(ours.corrected), "");
  c.check("automated", ours.automated == theirs.value("is_automated", false), std::to_string(ours.automated), "");

  const Wind& wind = ours.current.wind;
  const json direction = theirs.value("wind_from_direction", json());
  if (direction.is_object() && direction.value("value_type", "") == "variable") {
    c.check("wind variable", wind.variable, "not variable", "variable");
  } else {
    c.value("wind direction", wind.directionDeg ? std::optional<double>(*wind.directionDeg) : std::nullopt, direction, 0);
  }
  const json range = theirs.value("wind_from_direction_range", json());
  if (range.is_object()) {
    c.value("wind from", wind.variableFromDeg ? std::optional<double>(*wind.variableFromDeg) : std::nullopt,
            range["value"][0], 0);
    c.value("wind to", wind.variableToDeg ? std::optional<double>(*wind.variableToDeg) : std::nullopt,
            range["value"][1], 0);
  } else {
    c.check("wind range", !wind.variableFromDeg, "a range", "none");
  }
  c.value("wind speed", wind.speedKt, theirs.value("wind_speed", json()), 0.01);
  c.value("wind gust", wind.gustKt, theirs.value("wind_gust", json()), 0.01);

  // CAVOK: they add a "ceiling_ok" cloud entry; our flag says the same.
  json clouds = json::array();
  bool theirCavok = false;
  for (const json& layer : theirs.value("clouds", json::array())) {
    if (layer.value("cover", "") == "ceiling_ok") theirCavok = true;
    else clouds.push_back(layer);
  }
  c.check("cavok", ours.current.cavok == theirCavok, std::to_string(ours.current.cavok), std::to_string(theirCavok));
  c.value("visibility", ours.current.visibility.prevailingM, theirs.value("prevailing_visibility", json()), 1.0);
  // A minimum with a direction ("3100NE") is their directional visibility.
  json minimum = theirs.value("minimum_visibility", json());
  const json directional = theirs.value("directional_visibilites", json::array());
  if (!minimum.is_object() && !directional.empty()) minimum = directional[0].value("visibility", json());
  c.value("minimum visibility", ours.current.visibility.minimumM, minimum, 1.0);

  const json rvrs = theirs.value("runway_visual_ranges", json::array());
  c.check("rvr count", ours.runwayVisualRanges.size() == rvrs.size(), std::to_string(ours.runwayVisualRanges.size()),
          std::to_string(rvrs.size()));
  for (std::size_t i = 0; i < std::min(rvrs.size(), ours.runwayVisualRanges.size()); ++i) {
    const RunwayVisualRange& rvr = ours.runwayVisualRanges[i];
    const json& their = rvrs[i];
    c.check("rvr runway", std::string(rvr.runwayName()) == their.value("runway", ""), std::string(rvr.runwayName()),
            their.value("runway", ""));
    const json& range = their.value("visual_range", json());
    if (!range.is_object()) continue;
    const double feet = range.value("units", "") == "ft" ? 1 : 0;
    c.check("rvr unit", rvr.feet == (feet == 1), rvr.feet ? "ft" : "m", range.value("units", ""));
    const std::string type = range.value("value_type", "");
    if (type == "range") {
      c.value("rvr low", rvr.value, range["value"][0], 0);
      c.value("rvr high", rvr.maxValue, range["value"][1], 0);
    } else {
      c.value("rvr", rvr.value, range, 0);
      c.check("rvr bound", rvr.valuePrefix == (type == "above" ? 'P' : type == "below" ? 'M' : 0),
              std::string(1, rvr.valuePrefix ? rvr.valuePrefix : '-'), type);
    }
    const std::string trend = their.value("trend", "");
    const char expected = trend == "increasing" ? 'U' : trend == "decreasing" ? 'D' : trend == "no_change" ? 'N' : 0;
    c.check("rvr trend", rvr.trend == expected, std::string(1, rvr.trend ? rvr.trend : '-'), trend);
  }

  c.check("weather", ourWeather(ours.current.weather) == theirWeather(theirs.value("present_weather", json::array())),
          ourWeather(ours.current.weather), theirWeather(theirs.value("present_weather", json::array())));
  c.check("recent weather",
          ourWeather(ours.recentWeather) == theirWeather(theirs.value("recent_weather", json::array())),
          ourWeather(ours.recentWeather), theirWeather(theirs.value("recent_weather", json::array())));

  std::string ourClouds, theirClouds;
  for (const CloudLayer& layer : ours.current.clouds) {
    ourClouds += std::string("[") + coverName(layer.cover) + " " + (layer.baseFt ? std::to_string(*layer.baseFt) : "-") +
                 (layer.type == CloudType::Cumulonimbus ? " cumulonimbus"
                  : layer.type == CloudType::ToweringCumulus ? " towering_cumulus" : "") + "]";
  }
  for (const json& layer : clouds) {
    const json height = layer.value("height", json());
    theirClouds += "[" + layer.value("cover", std::string()) + " " +
                   (height.is_object() && height.contains("value") ? std::to_string(height["value"].get<int>()) : "-") +
                   (layer.contains("cloud_type") ? " " + layer.value("cloud_type", std::string()) : "") + "]";
  }
  c.check("clouds", ourClouds == theirClouds, ourClouds, theirClouds);

  // They keep the body's whole degrees; we take the remarks' tenths
  // ("T01750175") when given, which round to the body's figure.
  const bool tenths = c.report.find(" RMK ") != std::string::npos &&
                      std::regex_search(c.report.substr(c.report.find(" RMK ")), std::regex(" T[01][0-9]{3}"));
  c.value("temperature", ours.temperatureC, theirs.value("temperature", json()), tenths ? 0.5 : 0.001);
  c.value("dew point", ours.dewPointC, theirs.value("dew_point", json()), tenths ? 0.5 : 0.001);
  // Without Q or A we give the remarks' sea-level pressure, and say so;
  // they give none.
  c.value("pressure", ours.pressureFromSeaLevel ? std::nullopt : ours.pressureHpa, theirs.value("pressure", json()),
          0.01);

  std::string ourTrends, theirTrends;
  for (const MetarTrend& t : ours.trends)
    ourTrends += t.kind == TrendKind::NoSignificantChange ? "[no_significant_change]"
                 : t.kind == TrendKind::Becoming          ? "[becoming]"
                 : t.kind == TrendKind::From              ? "[from]"
                                                          : "[temporary]";
  for (const json& t : theirs.value("trend_changes", json::array())) theirTrends += "[" + t.value("indicator", "") + "]";
  c.check("trends", ourTrends == theirTrends, ourTrends, theirTrends);
}

struct Input {
  std::string report;
  UtcDateTime anchor;
  bool anchored = false;
};

std::vector<Input> readInputs(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<Input> inputs;
  std::string line;
  std::optional<UtcDateTime> anchor;
  while (std::getline(in, line)) {
    if (const auto time = parseSlashedDateTime(line)) {
      anchor = time;
      continue;
    }
    const std::string text = trim(line);
    if (text.empty()) continue;
    inputs.push_back({text, anchor.value_or(UtcDateTime{2023, 3, 2, 12, 0}), anchor.has_value()});
    anchor.reset();
  }
  return inputs;
}

TEST(MetarAgreement, MatchesTheIndependentDecodingFieldByField) {
  int compared = 0;
  std::vector<std::string> failures;
  for (const char* name : kFiles) {
    const std::string base = std::string(NIMBREL_FIXTURES_DIR) + "/metar/rweather/it_" + name;
    std::ifstream jsonFile(base + "_output.json");
    ASSERT_TRUE(jsonFile) << base;
    const json expected = json::parse(jsonFile);
    const std::vector<Input> inputs = readInputs(base + "_input.txt");
    for (const json& theirs : expected) {
      // Their report text is the line as they read it; find its input line for the anchor.
      const std::string report = trim(theirs.value("report", ""));
      Input input{report, UtcDateTime{2023, 3, 2, 12, 0}, false};
      for (const Input& candidate : inputs)
        if (candidate.report == report) input = candidate;
      Comparison comparison{report, {}};
      compare(decodeMetar(report, input.anchor), theirs, input.anchor, input.anchored, comparison);
      ++compared;
      for (const std::string& difference : comparison.differences)
        failures.push_back(std::string(name) + ": " + report + "\n    " + difference);
    }
  }
  EXPECT_GT(compared, 250);
  std::ostringstream all;
  for (const std::string& failure : failures) all << failure << "\n";
  EXPECT_TRUE(failures.empty()) << failures.size() << " differences in " << compared << " reports:\n" << all.str();
}

}  // namespace
}  // namespace nimbrel
