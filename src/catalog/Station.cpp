#include "catalog/Station.h"

#include <stdexcept>

namespace nimbrel {

int CStationArray::Add(const CStation& station) {
  items.push_back(station);
  return static_cast<int>(items.size()) - 1;
}

void CStationArray::RemoveAt(int index) {
  if (index < 0 || index >= GetSize()) throw std::out_of_range("CStationArray::RemoveAt");
  items.erase(items.begin() + index);
}

const CStation& CStationArray::GetAt(int index) const {
  if (index < 0 || index >= GetSize()) throw std::out_of_range("CStationArray::GetAt");
  return items[static_cast<std::size_t>(index)];
}

CStation& CStationArray::ElementAt(int index) {
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
