#pragma once
// Finding stations: by a name the user types, the first station of a name
// (the recent list, the command line), and the stations around a map point.
// Each finding is a signal; nothing found is a message.
#include <QObject>
#include <optional>
#include <string>

#include "base/UserPort.h"
#include "map/MapProjection.h"
#include "catalog/Station.h"

class QWidget;

namespace nimbrel {

class Session;

class StationFinder : public QObject {
  Q_OBJECT

 public:
  // The find dialog is a child of `dialogParent`; messages go to `port`.
  StationFinder(const Session& session, UserPort& port, QWidget* dialogParent);

  // The station of that name or code, else the first whose name or code
  // holds the text (a recent entry may be a path: its last part is the name).
  void openByName(const std::string& name);
  // Asks for a text, then lists the matches among `searched`.
  void find(const StationList& searched);
  // The stations within the settings' distance of a map point.
  void nearest(const std::optional<MapPoint>& point);

 signals:
  void stationChosen(const nimbrel::Station& station);
  // The stations a search found, for a result table.
  void stationsFound(const nimbrel::StationList& stations);

 private:
  const Session& session;
  UserPort& port;
  QWidget* dialogParent;
  std::string lastFindText;
};

}  // namespace nimbrel
