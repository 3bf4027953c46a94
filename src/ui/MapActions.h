#pragma once
// The world map's own commands, shared by the menu and the toolbar, acting
// on whichever map is in front: every station's point, the current weather
// and its colouring, and the zoom steps.
#include <QList>
#include <QObject>
#include <functional>

class QAction;

namespace nimbrel {

class WorldMapView;

class MapActions : public QObject {
  Q_OBJECT

 public:
  MapActions(QObject* owner, std::function<WorldMapView*()> activeMap);

  // Follows the map in front (null: none); `live`: the live METAR source,
  // the only one with a current weather.
  void update(WorldMapView* map, bool live);

  QAction* markAllStations = nullptr;
  QAction* currentWeather = nullptr;
  QAction* temperatureColouring = nullptr;
  // File > "Save Map Picture...": the map in front as PNG or SVG.
  QAction* savePicture = nullptr;
  // "Zoom In" (Ctrl++), "Zoom Out" (Ctrl+-) and "Whole World" (Ctrl+0).
  QList<QAction*> zoom;

 signals:
  // A command changed what the map in front shows.
  void changed();

 private:
  std::function<WorldMapView*()> activeMap;
};

// Asks where to save the map's picture and writes it; a failure is shown.
void saveMapPicture(WorldMapView& map);

}  // namespace nimbrel
