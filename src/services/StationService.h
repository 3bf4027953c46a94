#pragma once
// The stations the program knows: the catalogue read from the station
// list, the stations with a chart open and the recent list.
#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "catalog/Station.h"
#include "services/RecentList.h"

namespace nimbrel {

class StationService : public QObject {
  Q_OBJECT

 public:
  explicit StationService(QObject* parent = nullptr) : QObject(parent) {}

  // Reads the station list from the first place that has one; returns what
  // to tell the user (nothing when it was read whole).
  std::vector<std::string> loadStationList();
  const StationList& allStations() const { return *stations; }
  // Shared with workers that may outlive a reload.
  std::shared_ptr<const StationList> catalogue() const { return stations; }
  void setCatalogue(std::shared_ptr<const StationList> list);

  // The stations with a chart open; maps mark them.
  const StationList& openStations() const { return open; }
  void addOpenStation(const Station& station);
  void removeOpenStation(const std::string& icao);

  RecentList& recentList() { return recent; }
  // Puts a station's name on top of the recent list.
  void addRecent(const std::string& stationName);

 signals:
  void catalogueChanged();
  void openStationsChanged();
  void recentListChanged();

 private:
  std::shared_ptr<const StationList> stations = std::make_shared<const StationList>();
  StationList open;
  RecentList recent;
};

}  // namespace nimbrel
