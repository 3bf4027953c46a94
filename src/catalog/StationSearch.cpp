#include "catalog/StationSearch.h"

#include <cmath>
#include <cstdio>

#include "base/Text.h"

namespace nimbrel {
namespace {

std::string lowered(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = lowerAscii(c);
  return result;
}

// Whether lowerQuery occurs in text once text is lower-cased.
bool containsFolded(std::string_view text, std::string_view lowerQuery) {
  const std::size_t m = lowerQuery.size();
  if (m == 0) return true;
  if (m > text.size()) return false;
  for (std::size_t i = 0; i + m <= text.size(); ++i) {
    std::size_t j = 0;
    while (j < m && lowerAscii(text[i + j]) == lowerQuery[j]) ++j;
    if (j == m) return true;
  }
  return false;
}

bool matches(const Station& station, std::string_view lowerQuery) {
  return containsFolded(station.name, lowerQuery) || containsFolded(station.icao, lowerQuery);
}

}  // namespace

StationList findStations(std::string_view query, const StationList& searched) {
  const std::string lowerQuery = lowered(query);
  StationList found;
  for (const Station& station : searched)
    if (matches(station, lowerQuery)) found.push_back(station);
  return found;
}

const Station* findFirstStation(std::string_view query, const StationList& searched) {
  const std::string lowerQuery = lowered(query);
  for (const Station& station : searched)
    if (matches(station, lowerQuery)) return &station;
  return nullptr;
}

const Station* findNamedStation(std::string_view query, const StationList& searched) {
  const std::string lowerQuery = lowered(query);
  const auto same = [&lowerQuery](std::string_view text) {
    return text.size() == lowerQuery.size() && containsFolded(text, lowerQuery);
  };
  // "RESOLUTE" is RESOLUTE, not RESOLUTE CS listed before it.
  for (const Station& station : searched)
    if (same(station.name)) return &station;
  for (const Station& station : searched)
    if (same(station.icao)) return &station;
  return findFirstStation(query, searched);
}

std::string noStationMessage(std::string_view query) { return "No station \"" + lowered(query) + "\" in a list."; }

StationList nearestStations(const StationList& all, double mapLongitude, double mapColatitude, double minutes) {
  const double halfWidth = minutes / 60.0;
  StationList found;
  for (const Station& station : all) {
    if (station.hasPosition && std::fabs(station.mapLongitude - mapLongitude) < halfWidth &&
        std::fabs(station.mapColatitude - mapColatitude) < halfWidth)
      found.push_back(station);
  }
  return found;
}

std::string noNearestStationMessage(double minutes) {
  return formatText("Not found any station in a distance of %.2f minutes around clicked point.", minutes);
}

}  // namespace nimbrel
