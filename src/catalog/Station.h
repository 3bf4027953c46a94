#pragma once
// A station of the catalogue, as one line of the station list gives it.
#include <string>
#include <vector>

namespace nimbrel {

struct Station {
  // The list's texts, trimmed, as the tables show them.
  std::string cd;        // US state or Canadian province
  std::string name;      // "/" and "\" made "_"
  std::string icao;
  std::string iata;
  std::string synop;     // WMO number
  std::string latText;   // "47 29N"
  std::string lonText;   // "008 32E"
  std::string elevText;  // metres
  // One-letter columns ("X", "T", a priority digit); ' ' when blank.
  char metarFlag = ' ', nexradFlag = ' ', aviationFlag = ' ', upperAirFlag = ' ', autoFlag = ' ', officeFlag = ' ',
       plotPriority = ' ';
  std::string country;   // two letters

  // Map coordinates: longitude 0..360 from 180 W, colatitude 0..180 from
  // the north pole. A station without a real position has none.
  double mapLongitude = 0.0;
  double mapColatitude = 0.0;
  bool hasPosition = false;
  double elevation = 0.0;

  bool operator==(const Station&) const = default;
};

using StationList = std::vector<Station>;

// Removes the first entry with exactly this ICAO code, so a station with
// two open windows keeps one mark when one of them closes.
bool removeOpenStation(StationList& openStations, const std::string& icao);

}  // namespace nimbrel
