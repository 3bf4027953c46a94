// The world map's projection both ways and the position texts of a point.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "map/MapProjection.h"

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



TEST(MapViewport, TheWholeWorldInTheDefaultWindowIsThePicture) {
  const MapViewport view;
  EXPECT_TRUE(view.showsPicture());
  for (const auto& [lon, colat] : {std::pair{0.0, 0.0}, {188.55, 42.54}, {359.9, 179.9}, {180.0, 90.0}}) {
    EXPECT_EQ(view.toPixel(lon, colat), MapProjection::toPixel(lon, colat));
  }
  for (const auto& [x, y] : {std::pair{20, 45}, {270, 170}, {519, 294}, {10, 10}}) {
    const auto a = view.toMapPoint(x, y), b = MapProjection::toMapPoint(x, y);
    ASSERT_EQ(a.has_value(), b.has_value());
    if (a) {
      EXPECT_EQ(MapProjection::statusText(*a), MapProjection::statusText(*b));
    }
  }
}

TEST(MapViewport, RoundTripAndZoomAboutThePointerAtSeveralZoomsAndSizes) {
  for (const auto& [width, height] : {std::pair{550, 350}, {1200, 800}, {300, 900}}) {
    for (const double zoom : {1.0, 3.0, 8.0, 64.0, 512.0}) {
      MapViewport view;
      view.setSize(width, height);
      // Zoom about a pointer over Paris: Paris stays under it.
      const double paris[2] = {180.0 + 2.35, 90.0 - 48.86};
      const PointF before = view.toView(paris[0], paris[1]);
      view.zoomAbout(zoom, before.x, before.y);
      SCOPED_TRACE(testing::Message() << width << "x" << height << " at " << zoom);
      EXPECT_NEAR(view.zoom(), zoom, 1e-9);
      const PointF after = view.toView(paris[0], paris[1]);
      if (zoom > 1.0 && zoom < 512.0) {
        EXPECT_NEAR(after.x, before.x, 1e-6);
        EXPECT_NEAR(after.y, before.y, 1e-6);
      }
      // Screen to map and back lands on the same pixel; map to screen and back within a pixel.
      // (The picture keeps its own rounding, checked with MapProjection above.)
      for (const auto& [x, y] : {std::pair{width / 2, height / 2}, {width / 3, height / 4}, {width - 1, height - 1}}) {
        const auto point = view.toMapPoint(x, y);
        if (!point || view.showsPicture()) continue;
        EXPECT_EQ(view.toPixel(point->mapLongitude, point->mapColatitude), (Pixel{x, y})) << x << "," << y;
      }
      const PointF back = view.toView(paris[0], paris[1]);
      const auto there = view.toMapPoint(static_cast<int>(std::floor(back.x)), static_cast<int>(std::floor(back.y)));
      if (there) {
        EXPECT_NEAR(there->mapLongitude, paris[0], 1.0 / view.scaleX());
        EXPECT_NEAR(there->mapColatitude, paris[1], 1.0 / view.scaleY());
      }
    }
  }
}

TEST(MapViewport, WholeWorldFitsLargerWindowsAndZoomStaysInItsRange) {
  MapViewport view;
  view.setSize(1100, 1000);
  EXPECT_FALSE(view.showsPicture());
  EXPECT_TRUE(view.showsWholeWorld());
  // Twice the default width: the world twice as large, centred, not stretched.
  EXPECT_NEAR(view.scaleX() / view.scaleY(), (499.0 / 360.0) / (249.0 / 180.0), 1e-12);
  EXPECT_NEAR(view.toView(0, 0).x, 40.0, 1e-9);
  EXPECT_NEAR(view.toView(180, 90).y, 150.0 + 2 * (45.0 + 124.5), 1e-9);
  view.zoomAboutCentre(0.5);
  EXPECT_EQ(view.zoom(), 1.0);
  view.zoomAboutCentre(1e6);
  EXPECT_EQ(view.zoom(), MapViewport::kMaxZoom);
  // Panning far away keeps the window's centre over the world.
  view.panBy(1e9, -1e9);
  const auto centre = view.toMapPoint(view.width() / 2, view.height() / 2);
  ASSERT_TRUE(centre);
  view.showWholeWorld();
  view.setSize(MapViewport::kDefaultWidth, MapViewport::kDefaultHeight);
  EXPECT_TRUE(view.showsPicture());
}

}  // namespace
}  // namespace nimbrel
