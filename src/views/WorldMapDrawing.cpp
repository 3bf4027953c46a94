#include "views/WorldMapDrawing.h"

#include <cstdio>

#include "catalog/StationCatalog.h"
#include "platform/MainFrame.h"

namespace nimbrel {

void DrawMapPicture(IDrawContext& dc) { dc.DrawBitmap(IDB_WORLD_MAP, 0, 0); }

void DrawAllStationPoints(IDrawContext& dc, IMainFrame& frame, std::string& messageText) {
  CWaitCursor wait(frame);
  const CStationArray& stations = frame.AllStations();
  const int count = stations.GetSize();
  for (const CStation& station : stations) {
    const CPixel p = CStationCatalog::MapToPixel(station.mapLongitude(), station.mapColatitude());
    dc.SetPixel(p.x, p.y, kStationPointColour);
  }
  char text[64];
  std::snprintf(text, sizeof text, "Total stations: %d", count);
  messageText = text;
  frame.SetStatusText(messageText);
}

void DrawOpenStationMarks(IDrawContext& dc, const CStationArray& openStations) {
  for (const CStation& station : openStations) {
    const CPixel p = CStationCatalog::MapToPixel(station.mapLongitude(), station.mapColatitude());
    dc.FillSolidRect(p.x - 2, p.y - 2, 4, 4, kOpenStationColour);
  }
}

void DrawWorldMap(IDrawContext& dc, IMainFrame& frame, bool markAllStations, std::string& messageText) {
  DrawMapPicture(dc);
  if (markAllStations) DrawAllStationPoints(dc, frame, messageText);
  DrawOpenStationMarks(dc, frame.OpenStations());
}

void ShowAllStations(IMainFrame& frame) {
  CWaitCursor wait(frame);
  frame.OpenWindow(kAllStationsTable, "All stations");
}

bool ShowNearestStations(IMainFrame& frame, CStationCatalog& catalogue, int x, int y, std::string& messageText) {
  const double minutes = frame.CurrentRecord().nearestMinutes();
  {
    CWaitCursor wait(frame);
    if (catalogue.FindNearestStations(x, y, minutes) != 0) {
      frame.OpenWindow(kResultTable, "Nearest stations");
      return true;
    }
  }
  // The wait cursor ends before the message box shows.
  char text[160];
  std::snprintf(text, sizeof text, "Not found any station in a distance of %.2f minutes around clicked point.",
                minutes);
  messageText = text;
  frame.ShowMessage(messageText);
  return false;
}

}  // namespace nimbrel
