#pragma once
// The world map's projection, both directions: map coordinates of a station
// to a pixel of the map picture, and a pixel back to map coordinates.
#include <optional>
#include <string>

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
