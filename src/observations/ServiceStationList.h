#pragma once
// The weather service's own station list (its daily stations.cache.json.gz)
// turned into the program's station list: the stations that send METARs,
// what changed against the list in use, and the refusals that keep a good
// list from being replaced by a bad download.
#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

#include "base/FetchResult.h"
#include "catalog/Station.h"

namespace nimbrel {

// "{base}/data/cache/stations.cache.json.gz"
std::string stationsCacheUrl(const std::string& baseUrl);

// The service's file is 1-2 MB gzipped and some 5 MB of JSON; a download
// that unpacks to more is not a station list.
inline constexpr std::size_t kStationsCacheCeiling = std::size_t{48} << 20;

struct ServiceStations {
  StationList stations;  // texts only, in the service's order
  int entries = 0;       // objects in the file
  bool readable = false;
  std::string problem;   // why it is not, for the user
};

// Reads the download (gzipped or plain JSON: an array of station objects,
// fields by name). A station is kept when its siteType names METAR, it has a
// four-character ICAO code seen for the first time and a position on the
// globe. A cut or damaged download is not readable.
ServiceStations readServiceStations(std::string_view download, std::size_t ceiling = kStationsCacheCeiling);

// A name of the service ("São Paulo/Guarulhos Intl") as the list writes
// names: ASCII, upper case, common words shortened, at most 16 characters.
std::string listStationName(std::string_view utf8Name);

struct StationListChange {
  std::size_t stations = 0;  // in the new list
  std::size_t added = 0;     // ICAO codes the current list lacks
  std::size_t gone = 0;      // ICAO codes of the current list missing from the new
  std::size_t elevationsAdded = 0;  // kept stations that had no elevation and now have one
};

StationListChange compareStationLists(const StationList& current, const StationList& next);

// "5,712 stations: 83 new, 7 gone, 2,280 elevations added"
std::string stationListChangeText(const StationListChange& change);

// "URL, 2026-12-07 18:05 UTC": where and when a list came from, for its comment.
std::string stationListOrigin(const std::string& url, std::time_t when);

struct StationListUpdate {
  bool accepted = false;
  std::string message;  // the change when accepted, else why the current list stays
  std::string text;     // the new list file
  StationList stations;  // the new list as the program reads it back
  StationListChange change;
};

// Everything between the download and the file: refused when the download
// failed, is cut, damaged or not a station list, or keeps fewer than half
// the stations of `current`. `origin` is written into the file's comment
// (where and when it came from).
StationListUpdate prepareStationListUpdate(const FetchResult& fetched, const StationList& current,
                                           std::string_view origin);

}  // namespace nimbrel
