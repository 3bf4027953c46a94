#pragma once
// The world map's picture, station points and open-station marks, drawn on
// any drawing context.
#include <string>

#include "base/DrawContext.h"
#include "catalog/Station.h"

namespace nimbrel {

// The world-map picture and its size in pixels.
constexpr int kWorldMapPicture = 130;
constexpr int kWorldMapWidth = 540;
constexpr int kWorldMapHeight = 341;

constexpr Colour kStationPointColour = rgb(255, 0, 0);
constexpr Colour kOpenStationColour = rgb(0, 0, 255);

// The picture, unscaled, at the client origin.
void drawMapPicture(DrawContext& dc);
// One red pixel per station that has a position.
void drawAllStationPoints(DrawContext& dc, const StationList& stations);
// A blue 4 x 4 square centred on each open station, drawn over the points.
void drawOpenStationMarks(DrawContext& dc, const StationList& openStations);
// "Total stations: %d".
std::string totalStationsText(const StationList& stations);

}  // namespace nimbrel
