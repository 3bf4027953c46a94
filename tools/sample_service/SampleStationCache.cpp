// The service's daily station list, made from the sample's own list so the
// "Update Station List" command works offline and in tests.
#include <cmath>
#include <nlohmann/json.hpp>

#include "SampleApiJson.h"
#include "SampleService.h"

namespace nimbrel::sample {
namespace {

// "BOSTON LOGAN INT" as the service writes names: "Boston Logan Int".
std::string titleCase(const std::string& name) {
  std::string out = name;
  bool wordStart = true;
  for (char& c : out) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (letter && !wordStart && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    wordStart = !letter && c != '\'';
  }
  return out;
}

nlohmann::ordered_json textOrNull(const std::string& text) {
  return text.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(text);
}

}  // namespace

std::string stationsCacheJson(const std::vector<SampleStation>& stations) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const SampleStation& s : stations) {
    nlohmann::ordered_json o;
    o["id"] = s.icao;
    o["icaoId"] = s.icao;
    o["iataId"] = textOrNull(s.iata);
    o["faaId"] = nullptr;
    o["wmoId"] = nullptr;
    o["site"] = apiLatin1ToUtf8(titleCase(s.name));
    o["lat"] = std::round(s.latitude * 1e5) / 1e5;
    o["lon"] = std::round(s.longitude * 1e5) / 1e5;
    o["elev"] = s.elevationM ? nlohmann::ordered_json(*s.elevationM) : nlohmann::ordered_json();
    o["state"] = textOrNull(s.region);
    o["country"] = s.country;
    o["priority"] = 5;
    o["siteType"] = {"METAR"};
    list.push_back(std::move(o));
  }
  return list.dump();
}

}  // namespace nimbrel::sample
