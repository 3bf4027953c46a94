#pragma once
// The world map's picture, station points and open-station marks, drawn on
// any drawing context, and the map's commands that open windows.
#include <string>

#include "catalog/Station.h"
#include "platform/DrawContext.h"

namespace nimbrel {

class IMainFrame;
class CStationCatalog;

// Bitmap resource of the world-map picture and its size in pixels.
constexpr int IDB_WORLD_MAP = 130;
constexpr int kWorldMapWidth = 540;
constexpr int kWorldMapHeight = 341;

constexpr COLORREF kStationPointColour = RGB(255, 0, 0);
constexpr COLORREF kOpenStationColour = RGB(0, 0, 255);

// The picture, unscaled, at the client origin.
void DrawMapPicture(IDrawContext& dc);
// One red pixel per station of allStations; the count goes into messageText
// and the status bar. Runs inside a wait cursor.
void DrawAllStationPoints(IDrawContext& dc, IMainFrame& frame, std::string& messageText);
// A blue 4 x 4 square centred on each open station, drawn over the points.
void DrawOpenStationMarks(IDrawContext& dc, const CStationArray& openStations);
// The whole map in its order: picture, points (when asked), marks.
void DrawWorldMap(IDrawContext& dc, IMainFrame& frame, bool markAllStations, std::string& messageText);

// "Show all stations": an "All stations" table, in either kind of view.
void ShowAllStations(IMainFrame& frame);
// The map's double-click: the stations within nearestMinutes of the point in
// a "Nearest stations" table, or the not-found message. Returns true when a
// table was asked for.
bool ShowNearestStations(IMainFrame& frame, CStationCatalog& catalogue, int x, int y, std::string& messageText);

}  // namespace nimbrel
