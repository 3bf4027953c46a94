#pragma once
// A catalogue station at a place on the map, for the map's drawing tests.
#include <string>

#include "catalog/Station.h"

namespace nimbrel::test {

inline Station StationAt(const std::string& icao, double longitude, double latitude) {
  Station s;
  s.name = "STATION " + icao;
  s.icao = icao;
  s.mapLongitude = 180.0 + longitude;
  s.mapColatitude = 90.0 - latitude;
  s.hasPosition = true;
  return s;
}

}  // namespace nimbrel::test
