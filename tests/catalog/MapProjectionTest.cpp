// The world map's projection both ways and the position texts of a point.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "catalog/MapProjection.h"

namespace nimbrel {
namespace {

TEST(MapProjection, PointsAndTheirTexts) {
  const struct {
    int x, y;
    double mapLongitude, mapColatitude;  // NaN: not checked
    const char* status;
  } cases[] = {
      {20, 45, 0.0, 0.0, "  180 00W,  90 00N"},
      {270, 170, 180.36, NAN, "  000 21E,  00 21S"},
      {519, 294, NAN, NAN, "  180 00E,  89 59S"},
  };
  for (const auto& c : cases) {
    const std::optional<MapPoint> point = MapProjection::toMapPoint(c.x, c.y);
    ASSERT_TRUE(point) << c.x << "," << c.y;
    if (!std::isnan(c.mapLongitude)) {
      EXPECT_NEAR(point->mapLongitude, c.mapLongitude, 0.01);
    }
    if (!std::isnan(c.mapColatitude)) {
      EXPECT_NEAR(point->mapColatitude, c.mapColatitude, 0.01);
    }
    EXPECT_EQ(MapProjection::statusText(*point), c.status);
  }
  const std::optional<MapPoint> corner = MapProjection::toMapPoint(20, 45);
  EXPECT_EQ(corner->longitudeText, "180 00W");
  EXPECT_EQ(corner->latitudeText, "90 00N");
}

TEST(MapProjection, NothingOutsideTheActiveRectangle) {
  const std::pair<int, int> outside[] = {{19, 45}, {20, 44}, {520, 100}, {100, 295}, {-5, -5}, {std::numeric_limits<int>::max(), 100}};
  for (const auto& [x, y] : outside) EXPECT_FALSE(MapProjection::toMapPoint(x, y)) << x << "," << y;
}

TEST(MapProjection, ToPixelCornersCentreAndTruncation) {
  EXPECT_EQ(MapProjection::toPixel(0.0, 0.0), (Pixel{20, 45}));
  EXPECT_EQ(MapProjection::toPixel(180.0, 90.0), (Pixel{269, 169}));
  EXPECT_EQ(MapProjection::toPixel(360.0, 180.0), (Pixel{519, 294}));
  EXPECT_EQ(MapProjection::toPixel(0.72, 0.72), (Pixel{20, 45}));  // truncated, not rounded
}

TEST(MapProjection, APointProjectsOntoThePixelThatNamesIt) {
  for (int x : {20, 100, 269, 400, 519}) {
    for (int y : {45, 120, 169, 294}) {
      const std::optional<MapPoint> point = MapProjection::toMapPoint(x, y);
      ASSERT_TRUE(point);
      EXPECT_EQ(MapProjection::toPixel(point->mapLongitude + 1e-9, point->mapColatitude + 1e-9), (Pixel{x, y}));
    }
  }
}

TEST(MapProjection, BadNumbersStayFarOffTheMapWithoutOverflowing) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_LT(MapProjection::toPixel(std::nan(""), 10.0).x, 0);
  EXPECT_GT(MapProjection::toPixel(inf, 10.0).x, 10000);
  EXPECT_LT(MapProjection::toPixel(10.0, -inf).y, 0);
  EXPECT_GT(MapProjection::toPixel(10.0, 1e300).y, 10000);
  // Room is left for the few pixels a mark adds around a point.
  EXPECT_LT(MapProjection::toPixel(-inf, 10.0).x, -10000);
  EXPECT_GT(MapProjection::toPixel(inf, 10.0).x + 2, 0);
}

}  // namespace
}  // namespace nimbrel
