#pragma once
// The Data API's spelling of decoded values, written once for the METAR
// answer (SampleMetarDay.cpp) and shared with the TAF answer.
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "SampleMetarDay.h"
#include "metar/CloudLayer.h"
#include "metar/Visibility.h"
#include "metar/WeatherGroup.h"

namespace nimbrel::sample {

// "2026-05-20T09:54:00.000Z".
std::string apiIsoTime(std::int64_t seconds);
// Rounded to `step`; whole values without a decimal point.
nlohmann::ordered_json apiNumber(double value, double step);
// Statute miles: a number, or "6+" / "10+" for the open-ended values; null when missing.
nlohmann::ordered_json apiVisibility(const Visibility& visibility);
// "FEW" .. "OVC", "OVX" for a vertical visibility, "" for "///".
const char* apiCoverCode(CloudCover cover);
// "-SHRA", "VCTS".
std::string apiWeatherCode(const WeatherGroup& group);
// "BOSTON LOGAN INT, MA, US" in UTF-8.
std::string apiStationName(const SampleStation& station);
std::string apiLatin1ToUtf8(std::string_view text);
// data as one gzip member.
std::string gzipped(const std::string& data);
ApiAnswer apiJsonError(int status, const std::string& message);
// Upper-cased, without repeats; commas, spaces and '+' separate.
std::vector<std::string> apiSplitIds(const std::string& ids);

}  // namespace nimbrel::sample
