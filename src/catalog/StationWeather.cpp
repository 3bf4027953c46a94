#include "catalog/StationWeather.h"

#include <algorithm>

namespace nimbrel {

const StationWeather* WeatherSnapshot::forStation(std::size_t catalogueIndex) const {
  const auto it = std::lower_bound(stations.begin(), stations.end(), catalogueIndex,
                                   [](const StationWeather& w, std::size_t index) { return w.station < index; });
  return it != stations.end() && it->station == catalogueIndex ? &*it : nullptr;
}

std::vector<std::size_t> WeatherSnapshot::stationIndices() const {
  std::vector<std::size_t> indices;
  indices.reserve(stations.size());
  for (const StationWeather& w : stations) indices.push_back(w.station);
  return indices;
}

}  // namespace nimbrel
