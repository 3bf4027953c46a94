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
  if (showsPicture()) {
    // The picture has nowhere to go.
    return;
  }
  if (zoomFactor == 1.0) {
    // The fitted world turns round east and west; it has no room to go up or down.
    if (dx == 0.0) return;
    dy = 0.0;
  }
  wholeWorld = false;
  originX += dx;
  originY += dy;
  keepWorldInView();
}

void MapViewport::keepWorldInView() {
  // The window's centre pixel stays over the world, and over its first copy:
  // east and west the world goes round, so the origin moves by whole widths.
  const double worldHeight = 180.0 * scaleY();
  const double cx = std::floor(viewWidth / 2.0) + 0.5, cy = std::floor(viewHeight / 2.0) + 0.5;
  const double width = worldWidth();
  if (std::isfinite(originX) && std::isfinite(width) && width > 0.0) {
    const double turns = std::floor((cx - originX) / width);
    originX += turns * width;
  } else {
    originX = cx - width / 2.0;
  }
  originY = std::clamp(originY, cy - worldHeight + 0.25, cy - 0.25);
}

int MapViewport::firstCopy(double margin) const {
  if (!wraps()) return 0;
  // Copy k covers [originX + k W, originX + (k + 1) W).
  return static_cast<int>(std::floor((-margin - originX) / worldWidth()));
}

int MapViewport::lastCopy(double margin) const {
  if (!wraps()) return 0;
  return static_cast<int>(std::floor((viewWidth + margin - originX) / worldWidth()));
}

MapViewport MapViewport::copy(int k) const {
  MapViewport shifted = *this;
  if (wraps()) shifted.originX += k * worldWidth();
  return shifted;
}

MapViewport MapViewport::placedAt(double x, double y, int width, int height) const {
  MapViewport placed = *this;
  placed.viewWidth = std::max(width, 1);
  placed.viewHeight = std::max(height, 1);
  placed.originX = x;
  placed.originY = y;
  return placed;
}

std::vector<MapViewport> copiesInView(const MapViewport& view, double margin) {
  std::vector<MapViewport> copies;
  for (int k = view.firstCopy(margin); k <= view.lastCopy(margin); ++k) copies.push_back(view.copy(k));
  return copies;
}

Pixel MapViewport::toPixel(double mapLongitude, double mapColatitude) const {
  if (showsPicture()) return MapProjection::toPixel(mapLongitude, mapColatitude);
  const Pixel first = pixelOnFirstCopy(mapLongitude, mapColatitude);
  if ((first.x >= 0 && first.x < viewWidth) || !std::isfinite(mapLongitude)) return first;
  // Off the window: the copy whose pixel is nearest the window, when one is on it.
  const double x = toView(mapLongitude, mapColatitude).x;
  const double width = worldWidth();
  const double k = x < 0 ? std::ceil(-x / width) : -std::ceil((x - viewWidth + 1) / width);
  const Pixel other = copy(static_cast<int>(k)).pixelOnFirstCopy(mapLongitude, mapColatitude);
  return other.x >= 0 && other.x < viewWidth ? other : first;
}

std::optional<MapPoint> MapViewport::toMapPoint(int x, int y) const {
  if (showsPicture()) return MapProjection::toMapPoint(x, y);
  // The pixel's centre, so a point's pixel leads back to within it.
  double mapLongitude = (x + 0.5 - originX) / scaleX();
  const double mapColatitude = (y + 0.5 - originY) / scaleY();
  mapLongitude -= 360.0 * std::floor(mapLongitude / 360.0);
  if (mapLongitude >= 360.0) mapLongitude = 0.0;
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
