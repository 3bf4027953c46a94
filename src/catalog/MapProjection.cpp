#include "catalog/MapProjection.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace nimbrel {
namespace {

constexpr double kDegreesPerPixelX = 0.721442885771543;
constexpr double kDegreesPerPixelY = 0.7228915662650601;

// Far-off pixels stay far off the map, with room left for the few pixels a
// mark adds around them.
int toPixelCoordinate(double value) {
  constexpr double kLimit = 1 << 24;
  if (std::isnan(value)) return -static_cast<int>(kLimit);
  if (value <= -kLimit) return -static_cast<int>(kLimit);
  if (value >= kLimit) return static_cast<int>(kLimit);
  return static_cast<int>(value);
}

std::string positionText(double value, const char* format, char hemisphere) {
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

Pixel MapProjection::toPixel(double mapLongitude, double mapColatitude) {
  return {toPixelCoordinate(20.0 - std::trunc(mapLongitude * -1.386111111111111)),
          toPixelCoordinate(45.0 - std::trunc(mapColatitude * -1.3833333333333333))};
}

std::optional<MapPoint> MapProjection::toMapPoint(int x, int y) {
  if (x < kLeft || x >= kRight || y < kTop || y >= kBottom) return std::nullopt;
  MapPoint point;
  point.mapLongitude = (x - kLeft) * kDegreesPerPixelX;
  point.mapColatitude = (y - kTop) * kDegreesPerPixelY;
  point.longitudeText = point.mapLongitude >= 180.0 ? positionText(point.mapLongitude - 180.0, "%03d %02d%c", 'E')
                                                    : positionText(180.0 - point.mapLongitude, "%03d %02d%c", 'W');
  point.latitudeText = point.mapColatitude >= 90.0 ? positionText(point.mapColatitude - 90.0, "%02d %02d%c", 'S')
                                                   : positionText(90.0 - point.mapColatitude, "%02d %02d%c", 'N');
  return point;
}

std::string MapProjection::statusText(const MapPoint& point) {
  return "  " + point.longitudeText + ",  " + point.latitudeText;
}

}  // namespace nimbrel
