#pragma once
// Finding stations by a part of their name or ICAO code, and around a point
// of the map.
#include <string>
#include <string_view>

#include "catalog/Station.h"

namespace nimbrel {

// Every station whose name or ICAO code holds the query, ASCII letters
// compared without case, in list order.
StationList findStations(std::string_view query, const StationList& searched);
// The first such station, or null.
const Station* findFirstStation(std::string_view query, const StationList& searched);
// The station a name stands for (a recent entry, the command line): the
// first whose whole name is the query, else the first whose ICAO code is,
// else the first that holds it as above; without case, or null.
const Station* findNamedStation(std::string_view query, const StationList& searched);
// "No station \"query\" in a list." with the query in lower case.
std::string noStationMessage(std::string_view query);

// The stations within `minutes` of arc of a point in map coordinates (see
// Station): a square in map degrees, strict on every side, no wrap at the
// map's edges.
StationList nearestStations(const StationList& all, double mapLongitude, double mapColatitude, double minutes);
// "Not found any station in a distance of %.2f minutes around clicked point."
std::string noNearestStationMessage(double minutes);

}  // namespace nimbrel
