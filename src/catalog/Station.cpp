#include "catalog/Station.h"

#include <stdexcept>
#include <utility>

namespace nimbrel {

CStationArray::CStationArray(const CStationArray& other) : items((other.Settle(), other.items)) {}

CStationArray::CStationArray(CStationArray&& other) : items((other.Settle(), std::move(other.items))) {
  other.items.clear();
}

CStationArray& CStationArray::operator=(const CStationArray& other) {
  if (this != &other) {
    other.Settle();
    pending = nullptr;
    items = other.items;
  }
  return *this;
}

CStationArray& CStationArray::operator=(CStationArray&& other) {
  if (this != &other) {
    other.Settle();
    pending = nullptr;
    items = std::move(other.items);
    other.items.clear();
  }
  return *this;
}

void CStationArray::SetPending(Loader loader) {
  items.clear();
  pending = std::move(loader);
}

void CStationArray::Load() const {
  // The loader is taken out first: a loader that fails (or reads this list)
  // must not run again.
  Loader loader = std::move(pending);
  pending = nullptr;
  CStationArray loaded;
  loader(loaded);
  loaded.Settle();
  items = std::move(loaded.items);
}

int CStationArray::Add(const CStation& station) {
  Settle();
  items.push_back(station);
  return static_cast<int>(items.size()) - 1;
}

void CStationArray::RemoveAt(int index) {
  Settle();
  if (index < 0 || index >= GetSize()) throw std::out_of_range("CStationArray::RemoveAt");
  items.erase(items.begin() + index);
}

const CStation& CStationArray::GetAt(int index) const {
  Settle();
  if (index < 0 || index >= GetSize()) throw std::out_of_range("CStationArray::GetAt");
  return items[static_cast<std::size_t>(index)];
}

CStation& CStationArray::ElementAt(int index) {
  Settle();
  if (index < 0 || index >= GetSize()) throw std::out_of_range("CStationArray::ElementAt");
  return items[static_cast<std::size_t>(index)];
}

void CopyStationFields(CStation& destination, const CStation& source) {
  destination.refreshMinutes() = source.refreshMinutes();
  destination.mapLongitude() = source.mapLongitude();
  destination.mapColatitude() = source.mapColatitude();
  destination.elevation() = source.elevation();
  destination.texts = source.texts;
}

void ClearStationFields(CStation& record) {
  record.refreshMinutes() = 0;
  record.mapLongitude() = 0.0;
  record.mapColatitude() = 0.0;
  record.elevation() = 0.0;
  for (auto& text : record.texts) text.clear();
}

bool RemoveOpenStation(CStationArray& openStations, const std::string& icao) {
  for (int i = 0; i < openStations.GetSize(); ++i) {
    if (openStations.GetAt(i).icao() == icao) {
      openStations.RemoveAt(i);
      return true;
    }
  }
  return false;
}

void SetDefaultSettings(CStation& record) {
  record.showTemperature() = true;
  record.showPressure() = true;
  record.showWindSpeed() = true;
  record.showWindDirection() = true;
  record.timeUtc() = false;
  record.writeMeteodata() = false;
  record.metricStyle() = true;
  record.pastHours() = 6;
  record.nearestMinutes() = 90.0;
}

}  // namespace nimbrel
