// Finding stations by name or code, around a map point, and the position
// text of a map point.
#include <cmath>
#include <cstdio>
#include <string_view>
#include <utility>

#include "catalog/StationCatalog.h"
#include "platform/MainFrame.h"

namespace nimbrel {
namespace {

constexpr double kMinute = 1.0 / 60.0;

// The map's active rectangle in view pixels and the degrees of one pixel step.
constexpr int kMapLeft = 20;
constexpr int kMapTop = 45;
constexpr int kMapRight = 520;
constexpr int kMapBottom = 295;
constexpr double kDegreesPerPixelX = 0.721442885771543;
constexpr double kDegreesPerPixelY = 0.7228915662650601;

// Lower-casing as the C locale does it: only A to Z change.
char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether lowerQuery occurs in text once text is lower-cased, without
// making a lower-case copy of text.
bool ContainsFolded(std::string_view text, std::string_view lowerQuery) {
  const std::size_t m = lowerQuery.size();
  if (m == 0) return true;
  if (m > text.size()) return false;
  const char first = lowerQuery[0];
  for (std::size_t i = 0; i + m <= text.size(); ++i) {
    if (LowerAscii(text[i]) != first) continue;
    std::size_t j = 1;
    while (j < m && LowerAscii(text[i + j]) == lowerQuery[j]) ++j;
    if (j == m) return true;
  }
  return false;
}

std::string PositionText(double value, const char* format, char hemisphere) {
  int degrees = static_cast<int>(std::floor(value));
  int minutes = static_cast<int>((value - std::floor(value)) * 60.0);
  if (minutes == 60) {
    ++degrees;
    minutes = 0;
  }
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, format, degrees, minutes, hemisphere);
  return buffer;
}

}  // namespace

int CStationCatalog::FindStations(std::string query, const CStationArray& searched, bool openFirst) {
  if (mainFrame == nullptr) return 0;
  CStationArray& result = mainFrame->ResultStations();
  // A find in a "Nearest stations" table searches the list it is about to
  // refill: keep what it held, or the scan would see an empty list.
  CStationArray before;
  const CStationArray* scanned = &searched;
  if (&searched == &result) {
    before = std::move(result);
    scanned = &before;
  }
  result.RemoveAll();

  for (char& c : query) c = LowerAscii(c);
  {
    CWaitCursor wait(*mainFrame);
    for (const CStation& station : *scanned) {
      if (!ContainsFolded(station.name(), query) && !ContainsFolded(station.icao(), query)) continue;
      if (openFirst) {
        // Opening a window may grow the searched list (the open stations): pass a copy.
        const CStation chosen = station;
        OpenStationGraph(chosen);
        return 1;
      }
      result.Add(station);
    }
  }
  if (result.GetSize() == 0) mainFrame->ShowMessage("No station \"" + query + "\" in a list.");
  return result.GetSize();
}

int CStationCatalog::FindNearestStations(int x, int y, double minutes) {
  if (mainFrame == nullptr) return 0;
  CStationArray& result = mainFrame->ResultStations();
  result.RemoveAll();
  CMapPoint point;
  if (!ShowMapPointPosition(x, y, &point)) return 0;
  const double halfWidth = minutes * kMinute;
  const CStationArray& all = stations != nullptr ? *stations : mainFrame->AllStations();
  // A square in map degrees, strict on every side, no wrap at the map's edges.
  for (const CStation& station : all) {
    if (std::fabs(station.mapLongitude() - point.mapLongitude) < halfWidth &&
        std::fabs(station.mapColatitude() - point.mapColatitude) < halfWidth)
      result.Add(station);
  }
  return result.GetSize();
}

bool CStationCatalog::ShowMapPointPosition(int x, int y, CMapPoint* point) {
  if (x < kMapLeft || x >= kMapRight || y < kMapTop || y >= kMapBottom) return false;
  const double mapLongitude = (x - kMapLeft) * kDegreesPerPixelX;
  const double mapColatitude = (y - kMapTop) * kDegreesPerPixelY;
  const std::string longitudeText = mapLongitude >= 180.0 ? PositionText(mapLongitude - 180.0, "%03d %02d%c", 'E')
                                                          : PositionText(180.0 - mapLongitude, "%03d %02d%c", 'W');
  const std::string latitudeText = mapColatitude >= 90.0 ? PositionText(mapColatitude - 90.0, "%02d %02d%c", 'S')
                                                         : PositionText(90.0 - mapColatitude, "%02d %02d%c", 'N');
  if (mainFrame != nullptr) mainFrame->SetStatusText("  " + longitudeText + ",  " + latitudeText);
  if (point != nullptr) {
    point->mapLongitude = mapLongitude;
    point->mapColatitude = mapColatitude;
    point->longitudeText = longitudeText;
    point->latitudeText = latitudeText;
  }
  return true;
}

}  // namespace nimbrel
