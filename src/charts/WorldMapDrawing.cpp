#include "charts/WorldMapDrawing.h"

#include "catalog/MapProjection.h"

namespace nimbrel {

void drawMapPicture(DrawContext& dc) { dc.drawBitmap(kWorldMapPicture, 0, 0); }

void drawAllStationPoints(DrawContext& dc, const StationList& stations) {
  for (const Station& station : stations) {
    if (!station.hasPosition) continue;
    const Pixel p = MapProjection::toPixel(station.mapLongitude, station.mapColatitude);
    dc.setPixel(p.x, p.y, kStationPointColour);
  }
}

void drawOpenStationMarks(DrawContext& dc, const StationList& openStations) {
  for (const Station& station : openStations) {
    if (!station.hasPosition) continue;
    const Pixel p = MapProjection::toPixel(station.mapLongitude, station.mapColatitude);
    dc.fillSolidRect(p.x - 2, p.y - 2, 4, 4, kOpenStationColour);
  }
}

std::string totalStationsText(const StationList& stations) {
  return "Total stations: " + std::to_string(stations.size());
}

}  // namespace nimbrel
