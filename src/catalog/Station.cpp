#include "catalog/Station.h"

#include <algorithm>

namespace nimbrel {

bool removeOpenStation(StationList& openStations, const std::string& icao) {
  const auto found =
      std::find_if(openStations.begin(), openStations.end(), [&](const Station& s) { return s.icao == icao; });
  if (found == openStations.end()) return false;
  openStations.erase(found);
  return true;
}

}  // namespace nimbrel
