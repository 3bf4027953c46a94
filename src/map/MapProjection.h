#pragma once
// The world map's projection, both directions: map coordinates of a station
// to a pixel of the map picture, and a pixel back to map coordinates.
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace nimbrel {

struct Pixel {
  int x = 0;
  int y = 0;
  bool operator==(const Pixel&) const = default;
};

// A map point in map coordinates and as position texts ("008 30E", "47 29N").
struct MapPoint {
  double mapLongitude = 0.0;
  double mapColatitude = 0.0;
  std::string longitudeText;
  std::string latitudeText;
};

class MapProjection {
 public:
  // The map's active rectangle in view pixels.
  static constexpr int kLeft = 20;
  static constexpr int kTop = 45;
  static constexpr int kRight = 520;
  static constexpr int kBottom = 295;

  // 360 degrees span 499 pixel steps and 180 degrees span 249; values far
  // off the map saturate instead of overflowing.
  static Pixel toPixel(double mapLongitude, double mapColatitude);
  // Nothing outside the active rectangle.
  static std::optional<MapPoint> toMapPoint(int x, int y);
  // The status-bar text of a point: "  lon,  lat".
  static std::string statusText(const MapPoint& point);
};

}  // namespace nimbrel

namespace nimbrel {

struct PointF {
  double x = 0.0;
  double y = 0.0;
};

// What one map window shows: the whole world as the picture, or a part of
// it zoomed, in a window of any size. Map coordinates go to view pixels by
// x = originX + mapLongitude * scaleX (and the same for y); at the whole
// world in the default window it is exactly MapProjection's picture.
class MapViewport {
 public:
  // The client size the picture was laid out for.
  static constexpr int kDefaultWidth = 550;
  static constexpr int kDefaultHeight = 350;
  static constexpr double kMaxZoom = 512.0;

  MapViewport() { setSize(kDefaultWidth, kDefaultHeight); }

  // A new size keeps the map point at the centre (or fits the whole world).
  void setSize(int width, int height);
  void showWholeWorld();
  // Multiplies the zoom, keeping the map point under view pixel (x, y) there.
  void zoomAbout(double factor, double x, double y);
  void zoomAboutCentre(double factor) { zoomAbout(factor, viewWidth / 2.0, viewHeight / 2.0); }
  // Moves the map by pixels (the map follows a dragging pointer).
  void panBy(double dx, double dy);

  int width() const { return viewWidth; }
  int height() const { return viewHeight; }
  // 1 for the whole world fitted in the window.
  double zoom() const { return zoomFactor; }
  bool showsWholeWorld() const { return wholeWorld; }
  // The whole world in a window no larger than the default one: today's
  // picture and projection, pixel for pixel.
  bool showsPicture() const { return wholeWorld && fit == 1.0; }
  // Pixels per degree of longitude and of colatitude.
  double scaleX() const { return fit * zoomFactor * 499.0 / 360.0; }
  double scaleY() const { return fit * zoomFactor * 249.0 / 180.0; }

  PointF toView(double mapLongitude, double mapColatitude) const {
    return {originX + mapLongitude * scaleX(), originY + mapColatitude * scaleY()};
  }
  // The pixel of the world's first copy, or when that is off the window, of
  // the nearest copy on it.
  Pixel toPixel(double mapLongitude, double mapColatitude) const;
  // The map point under a view pixel, on whichever copy of the world; nothing
  // above or below the world (nor beside the picture).
  std::optional<MapPoint> toMapPoint(int x, int y) const;

  // Away from the picture the map goes on round the world east and west:
  // copy k of the world lies k world widths east of the first.
  bool wraps() const { return !showsPicture(); }
  double worldWidth() const { return 360.0 * scaleX(); }
  // The copies that reach into the window widened by `margin` pixels each
  // side (only 0 for the picture).
  int firstCopy(double margin = 0.0) const;
  int lastCopy(double margin = 0.0) const;
  // This view moved by k world widths: what copy k shows, with the same
  // projection formulas as the first.
  MapViewport copy(int k) const;
  // The same scale in a window of this size, the first copy's top-left
  // corner (map point 0, 0) at view point (x, y).
  MapViewport placedAt(double x, double y, int width, int height) const;
  // The pixel on the first copy, wherever it falls (the picture's own rounding
  // when it shows the picture). Inline: drawing asks it for every station of
  // every copy.
  Pixel pixelOnFirstCopy(double mapLongitude, double mapColatitude) const {
    if (showsPicture()) return MapProjection::toPixel(mapLongitude, mapColatitude);
    const PointF p = toView(mapLongitude, mapColatitude);
    return {saturatedPixel(std::floor(p.x)), saturatedPixel(std::floor(p.y))};
  }
  // Far-off pixels stay far off the map, with room left for the few pixels a
  // mark adds around them.
  static int saturatedPixel(double value) {
    constexpr double kLimit = 1 << 24;
    if (std::isnan(value) || value <= -kLimit) return -static_cast<int>(kLimit);
    if (value >= kLimit) return static_cast<int>(kLimit);
    return static_cast<int>(value);
  }
  // The map rectangle in view (west, north, east, south as map coordinates).
  double westLongitude() const { return -originX / scaleX(); }
  double eastLongitude() const { return (viewWidth - originX) / scaleX(); }
  double northColatitude() const { return -originY / scaleY(); }
  double southColatitude() const { return (viewHeight - originY) / scaleY(); }

 private:
  void placeWholeWorld();
  void keepWorldInView();

  int viewWidth = kDefaultWidth;
  int viewHeight = kDefaultHeight;
  double fit = 1.0;
  double zoomFactor = 1.0;
  bool wholeWorld = true;
  double originX = MapProjection::kLeft;
  double originY = MapProjection::kTop;
};

// The copies of the world (each as a view, see MapViewport::copy) that reach
// into the window widened by `margin` pixels each side; the view alone when
// it does not wrap.
std::vector<MapViewport> copiesInView(const MapViewport& view, double margin = 0.0);

}  // namespace nimbrel
