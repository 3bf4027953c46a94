#include "map/MapProjection.h"

#include <algorithm>
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

namespace nimbrel {

void MapViewport::placeWholeWorld() {
  // The picture's layout (world 20..520 x 45..295 in 550 x 350), scaled to fit.
  fit = std::max(1.0, std::min(double(viewWidth) / kDefaultWidth, double(viewHeight) / kDefaultHeight));
  originX = MapProjection::kLeft * fit + std::max(0.0, (viewWidth - kDefaultWidth * fit) / 2.0);
  originY = MapProjection::kTop * fit + std::max(0.0, (viewHeight - kDefaultHeight * fit) / 2.0);
  zoomFactor = 1.0;
  wholeWorld = true;
}

void MapViewport::setSize(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (wholeWorld) {
    viewWidth = width;
    viewHeight = height;
    placeWholeWorld();
    return;
  }
  // The centre stays the centre; a larger window shows more of the map.
  originX += (width - viewWidth) / 2.0;
  originY += (height - viewHeight) / 2.0;
  viewWidth = width;
  viewHeight = height;
  keepWorldInView();
}

void MapViewport::showWholeWorld() { placeWholeWorld(); }

void MapViewport::zoomAbout(double factor, double x, double y) {
  if (!(factor > 0.0) || !std::isfinite(factor)) return;
  const double target = std::clamp(zoomFactor * factor, 1.0, kMaxZoom);
  if (target <= 1.0) {
    placeWholeWorld();
    return;
  }
  const double mapLongitude = (x - originX) / scaleX();
  const double mapColatitude = (y - originY) / scaleY();
  zoomFactor = target;
  wholeWorld = false;
  originX = x - mapLongitude * scaleX();
  originY = y - mapColatitude * scaleY();
  keepWorldInView();
}

void MapViewport::panBy(double dx, double dy) {
  if (wholeWorld && zoomFactor == 1.0) {
    // The whole world fitted has nowhere to go.
    return;
  }
  originX += dx;
  originY += dy;
  keepWorldInView();
}

void MapViewport::keepWorldInView() {
  // The window's centre pixel stays over the world.
  const double worldWidth = 360.0 * scaleX(), worldHeight = 180.0 * scaleY();
  const double cx = std::floor(viewWidth / 2.0) + 0.5, cy = std::floor(viewHeight / 2.0) + 0.5;
  originX = std::clamp(originX, cx - worldWidth + 0.25, cx - 0.25);
  originY = std::clamp(originY, cy - worldHeight + 0.25, cy - 0.25);
}

Pixel MapViewport::toPixel(double mapLongitude, double mapColatitude) const {
  if (showsPicture()) return MapProjection::toPixel(mapLongitude, mapColatitude);
  const PointF p = toView(mapLongitude, mapColatitude);
  return {toPixelCoordinate(std::floor(p.x)), toPixelCoordinate(std::floor(p.y))};
}

std::optional<MapPoint> MapViewport::toMapPoint(int x, int y) const {
  if (showsPicture()) return MapProjection::toMapPoint(x, y);
  // The pixel's centre, so a point's pixel leads back to within it.
  const double mapLongitude = (x + 0.5 - originX) / scaleX();
  const double mapColatitude = (y + 0.5 - originY) / scaleY();
  if (!(mapLongitude >= 0.0 && mapLongitude < 360.0 && mapColatitude >= 0.0 && mapColatitude < 180.0))
    return std::nullopt;
  MapPoint point;
  point.mapLongitude = mapLongitude;
  point.mapColatitude = mapColatitude;
  point.longitudeText = mapLongitude >= 180.0 ? positionText(mapLongitude - 180.0, "%03d %02d%c", 'E')
                                              : positionText(180.0 - mapLongitude, "%03d %02d%c", 'W');
  point.latitudeText = mapColatitude >= 90.0 ? positionText(mapColatitude - 90.0, "%02d %02d%c", 'S')
                                             : positionText(90.0 - mapColatitude, "%02d %02d%c", 'N');
  return point;
}

}  // namespace nimbrel
