// The view going on round the world: panning and zooming across 180
// degrees, the copies a wide window shows, and finding a station by a
// pixel of any of its copies.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "catalog/Station.h"
#include "map/MapProjection.h"
#include "map/StationPixelIndex.h"

namespace nimbrel {
namespace {

// Map coordinates of a place in degrees east and north.
PointF Place(double longitude, double latitude) { return {180.0 + longitude, 90.0 - latitude}; }

Station At(double longitude, double latitude, const char* icao) {
  Station s;
  s.icao = icao;
  s.mapLongitude = 180.0 + longitude;
  s.mapColatitude = 90.0 - latitude;
  s.hasPosition = true;
  return s;
}

// The view zoomed on a place, the place at the window's centre.
MapViewport CentredOn(double longitude, double latitude, double zoom, int width = 800, int height = 600) {
  MapViewport view;
  view.setSize(width, height);
  const PointF place = Place(longitude, latitude);
  const PointF at = view.toView(place.x, place.y);
  view.zoomAbout(zoom, at.x, at.y);
  const PointF now = view.toView(place.x, place.y);
  view.panBy(width / 2.0 - now.x, height / 2.0 - now.y);
  return view;
}

// Degrees east of the map point under a view pixel (-180 .. 180).
double LongitudeAt(const MapViewport& view, int x, int y) {
  const std::optional<MapPoint> point = view.toMapPoint(x, y);
  EXPECT_TRUE(point) << x << "," << y;
  return point ? point->mapLongitude - 180.0 : NAN;
}

// Zooming on places by the antimeridian keeps the place under the pointer:
// nothing pulls the view back toward the middle of the world.
TEST(MapWrap, ZoomingByTheAntimeridianKeepsThePlaceUnderThePointer) {
  const struct {
    const char* name;
    double longitude, latitude;
  } places[] = {
      {"Suva, Fiji", 178.44, -18.14},
      {"Taveuni, Fiji (west of 180)", -179.9, -16.8},
      {"Bering Strait", -168.9, 65.8},
      {"Anadyr", 177.5, 64.7},
      {"Kiritimati", -157.4, 1.9},
  };
  for (const auto& p : places) {
    for (const double zoom : {2.0, 8.0, 64.0, 512.0}) {
      SCOPED_TRACE(testing::Message() << p.name << " at " << zoom);
      MapViewport view;
      view.setSize(800, 600);
      const PointF place = Place(p.longitude, p.latitude);
      // The pointer near the window's edge: the case a clamp moved most.
      for (const double edge : {2.5, 797.5}) {
        MapViewport zoomed = view;
        const PointF before = zoomed.toView(place.x, place.y);
        zoomed.panBy(edge - before.x, 0);  // the fitted world turns round to bring it there
        const PointF at = zoomed.toView(place.x, place.y);
        zoomed.zoomAbout(zoom, at.x, at.y);
        const Pixel pixel = zoomed.toPixel(place.x, place.y);
        EXPECT_NEAR(pixel.x, std::floor(at.x), 1.0);
        EXPECT_NEAR(pixel.y, std::floor(at.y), 1.0);
      }
    }
  }
}

// Panning goes on round the world: every column of the window has a map
// point, and a whole turn brings the same view back.
TEST(MapWrap, PanningPast180GoesOnRoundTheWorld) {
  const struct {
    double zoom;
    int width;
  } cases[] = {{1.0, 1400}, {2.0, 800}, {8.0, 800}, {64.0, 640}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.zoom << " in " << c.width);
    MapViewport view = CentredOn(-170.0, 0.0, c.zoom, c.width, 500);
    const double startCentre = LongitudeAt(view, c.width / 2, 250);
    // West in steps of a quarter window, past 180 W and on round twice.
    const int steps = static_cast<int>(std::ceil(2.0 * view.worldWidth() / (c.width / 4.0)));
    for (int step = 0; step < steps; ++step) {
      view.panBy(c.width / 4.0, 0);
      for (const int x : {0, c.width / 3, c.width / 2, c.width - 1}) {
        const double longitude = LongitudeAt(view, x, 250);
        EXPECT_GE(longitude, -180.0);
        EXPECT_LT(longitude, 180.0);
      }
    }
    // The view over Fiji again after a whole turn east.
    MapViewport turned = CentredOn(178.0, -18.0, c.zoom, c.width, 500);
    const double fiji = LongitudeAt(turned, c.width / 2, 250);
    turned.panBy(-turned.worldWidth(), 0);
    EXPECT_NEAR(LongitudeAt(turned, c.width / 2, 250), fiji, 1e-6);
    EXPECT_NEAR(startCentre, -170.0, 360.0 / view.worldWidth() + 1e-9);
  }
}

// East and west of 180 sit side by side: the pixel just left of the line is
// in the east, the one right of it in the west, and points on both sides
// are drawn into the window.
TEST(MapWrap, BothSidesOfTheLineAreOnTheWindow) {
  for (const double zoom : {4.0, 16.0, 128.0}) {
    SCOPED_TRACE(zoom);
    const MapViewport view = CentredOn(180.0, 65.0, zoom);
    EXPECT_GT(LongitudeAt(view, 395, 300), 170.0);
    EXPECT_LT(LongitudeAt(view, 405, 300), -170.0);
    for (const auto& [longitude, latitude] : {std::pair{179.9, 65.0}, {-179.9, 65.0}}) {
      const PointF place = Place(longitude, latitude);
      const Pixel p = view.toPixel(place.x, place.y);
      EXPECT_GE(p.x, 0);
      EXPECT_LT(p.x, view.width());
      EXPECT_NEAR(p.x, 400, 1.0 + 0.2 * view.scaleX());
    }
  }
}

// A window wider than the world shows it more than once, side by side; the
// picture and a world wider than the window show it once.
TEST(MapWrap, TheCopiesAWindowShows) {
  const struct {
    int width, height;
    double zoom;
    int copies;
  } cases[] = {
      {550, 350, 1.0, 1},   // the picture
      {1100, 700, 1.0, 3},  // the fitted world with margins: its neighbours' edges in them
      {1920, 400, 1.0, 5},  // a wide window: 570 pixels of world, centred
      {1920, 400, 2.0, 3},
      {800, 600, 8.0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " at " << c.zoom);
    MapViewport view;
    view.setSize(c.width, c.height);
    view.zoomAboutCentre(c.zoom);
    const std::vector<MapViewport> copies = copiesInView(view);
    EXPECT_EQ(static_cast<int>(copies.size()), c.copies);
    // Copies follow each other a world's width apart, and cover the window.
    for (std::size_t k = 1; k < copies.size(); ++k)
      EXPECT_NEAR(copies[k].toView(0, 0).x - copies[k - 1].toView(0, 0).x, view.worldWidth(), 1e-6);
    if (view.wraps()) {
      EXPECT_LE(copies.front().toView(0, 0).x, 0.0);
      EXPECT_GE(copies.back().toView(360, 0).x, c.width);
    }
  }
}

// The hit test finds a station by a pixel of any copy the window shows,
// and only where a copy is.
TEST(MapWrap, TheHitTestFindsAStationOnEveryCopy) {
  const StationList stations = {At(178.44, -18.14, "NFFN"), At(-171.7, -13.8, "NSFA"), At(8.55, 47.46, "LSZH"),
                                At(-179.9, 65.0, "WEST")};
  const std::vector<std::size_t> all = {0, 1, 2, 3};
  const struct {
    const char* name;
    MapViewport view;
  } views[] = {
      {"wide whole world", [] {
         MapViewport v;
         v.setSize(1920, 400);
         return v;
       }()},
      {"wide at 2", [] {
         MapViewport v;
         v.setSize(1920, 500);
         v.zoomAboutCentre(2.0);
         return v;
       }()},
      {"zoomed over the line", CentredOn(180.0, -16.0, 16.0)},
      {"zoomed over the line, north", CentredOn(180.0, 65.0, 64.0)},
  };
  for (const auto& v : views) {
    SCOPED_TRACE(v.name);
    StationPixelIndex index;
    index.build(stations, all, v.view);
    int found = 0;
    for (std::size_t i = 0; i < stations.size(); ++i) {
      for (const MapViewport& copy : copiesInView(v.view)) {
        const Pixel p = copy.pixelOnFirstCopy(stations[i].mapLongitude, stations[i].mapColatitude);
        if (p.x < 0 || p.x >= v.view.width() || p.y < 0 || p.y >= v.view.height()) continue;
        EXPECT_EQ(index.nearest(p.x, p.y, 4), static_cast<int>(i)) << stations[i].icao << " at " << p.x;
        // Half a world away from a copy there is no station of it.
        const int across = p.x + static_cast<int>(v.view.worldWidth() / 2);
        if (across < v.view.width()) {
          const int other = index.nearest(across, p.y, 4);
          if (other >= 0) {
            EXPECT_NE(stations[static_cast<std::size_t>(other)].icao, std::string(stations[i].icao));
          }
        }
        ++found;
      }
    }
    EXPECT_GT(found, 0);
  }
  // Fiji on both edges of a wide window: its eastern and western copies.
  MapViewport wide;
  wide.setSize(1920, 400);
  StationPixelIndex index;
  index.build(stations, all, wide);
  std::vector<int> fijiColumns;
  for (const MapViewport& copy : copiesInView(wide)) {
    const Pixel p = copy.pixelOnFirstCopy(stations[0].mapLongitude, stations[0].mapColatitude);
    if (p.x >= 0 && p.x < wide.width()) fijiColumns.push_back(p.x);
  }
  ASSERT_GE(fijiColumns.size(), 3u);
  EXPECT_LT(fijiColumns.front(), 1920 / 2 - 285);
  EXPECT_GT(fijiColumns.back(), 1920 / 2 + 285);
}

// The picture stays as it was: no copies, no panning, its own pixels.
TEST(MapWrap, ThePictureDoesNotWrap) {
  MapViewport view;
  ASSERT_TRUE(view.showsPicture());
  EXPECT_FALSE(view.wraps());
  EXPECT_EQ(view.firstCopy(100), 0);
  EXPECT_EQ(view.lastCopy(100), 0);
  view.panBy(200, 0);
  EXPECT_TRUE(view.showsPicture());
  EXPECT_EQ(view.toPixel(0.0, 0.0), MapProjection::toPixel(0.0, 0.0));
  EXPECT_FALSE(view.toMapPoint(5, 100));
  EXPECT_FALSE(view.toMapPoint(530, 100));
}

}  // namespace
}  // namespace nimbrel
