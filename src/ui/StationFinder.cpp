#include "ui/StationFinder.h"

#include "catalog/StationSearch.h"
#include "ui/FindStationDialog.h"
#include "services/Session.h"

namespace nimbrel {

StationFinder::StationFinder(const Session& session, UserPort& port, QWidget* dialogParent)
    : QObject(dialogParent), session(session), port(port), dialogParent(dialogParent) {}

void StationFinder::openByName(const std::string& name) {
  const std::size_t slash = name.find_last_of("/\\");
  const std::string shortName = slash == std::string::npos ? name : name.substr(slash + 1);
  const Station* found = nullptr;
  {
    BusyScope busy(port);
    found = findNamedStation(shortName, session.allStations());
  }
  if (found == nullptr) {
    port.showMessage(noStationMessage(shortName));
    return;
  }
  const Station chosen = *found;
  emit stationChosen(chosen);
}

void StationFinder::find(const StationList& searched) {
  FindStationDialog dialog(dialogParent);
  if (dialog.exec() != QDialog::Accepted) return;
  lastFindText = dialog.enteredText();
  StationList found;
  {
    BusyScope busy(port);
    found = findStations(lastFindText, searched);
  }
  if (found.empty()) {
    port.showMessage(noStationMessage(lastFindText));
    return;
  }
  emit stationsFound(found);
}

void StationFinder::nearest(const std::optional<MapPoint>& point) {
  const double minutes = session.settings().nearestMinutes;
  {
    BusyScope busy(port);
    if (point) {
      port.setStatusText(MapProjection::statusText(*point));
      const StationList found = nearestStations(session.allStations(), point->mapLongitude, point->mapColatitude, minutes);
      if (!found.empty()) {
        emit stationsFound(found);
        // The table comes up with the place it lists the stations around.
        port.setStatusText(MapProjection::statusText(*point));
        return;
      }
    }
  }
  // The busy cursor ends before the message box shows.
  port.showMessage(noNearestStationMessage(minutes));
}

}  // namespace nimbrel
