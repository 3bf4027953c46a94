// The zoomed map's land and sea where the shipped data meets the 180th
// meridian and the poles: the map drawn as the window draws it, sampled at
// places on both sides of the line, at several zooms.
#include <QImage>
#include <QMdiSubWindow>

#include "ViewsGuiFixture.h"
#include "charts/WorldMapDrawing.h"
#include "map/MapProjection.h"
#include "ui/WorldMapView.h"

namespace nimbrel::test {
namespace {

class MapDataTest : public ViewsGuiTest {
 protected:
  void SetUp() override {
    ViewsGuiTest::SetUp();
    map = LastView<WorldMapView>();
    ASSERT_NE(map, nullptr);
    // Larger than the picture, so even the whole world is drawn from the vector data.
    frame->resize(1400, 1000);
    auto* window = qobject_cast<QMdiSubWindow*>(map->parentWidget());
    ASSERT_NE(window, nullptr);
    window->resize(1240, 860);
    QApplication::processEvents();
    ASSERT_GT(map->width(), 900);
  }

  // The colour the window shows at a place, zoomed `zoom` times about it.
  QRgb ColourAt(double longitude, double latitude, double zoom) {
    map->showWholeWorld();
    MapViewport view = map->viewport();
    const PointF at = view.toView(180.0 + longitude, 90.0 - latitude);
    view.zoomAbout(zoom, at.x, at.y);
    map->setViewport(view);
    EXPECT_FALSE(map->viewport().showsPicture());
    const QImage picture = map->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const Pixel p = map->viewport().toPixel(180.0 + longitude, 90.0 - latitude);
    if (p.x < 0 || p.y < 0 || p.x >= picture.width() || p.y >= picture.height()) {
      ADD_FAILURE() << longitude << ", " << latitude << " is not in the view at " << zoom << "x";
      return 0;
    }
    return picture.pixel(p.x, p.y);
  }

  WorldMapView* map = nullptr;
};

QString ColourName(QRgb c) { return QColor(c).name(); }

TEST_F(MapDataTest, SeaAndLandEitherSideOfTheAntimeridianAndAtThePoles) {
  const QRgb sea = qRgb(255, 255, 255), land = qRgb(255, 255, 0);
  // Off any graticule line and well away from any coast at 1:110m.
  const struct {
    const char* place;
    double longitude, latitude;
    QRgb colour;
  } places[] = {
      {"Bering Sea, west of the line", 178.5, 59.5, sea},
      {"Bering Sea, east of the line", -176.5, 55.5, sea},
      {"Bering Strait's south, Gulf of Anadyr", -178.5, 62.5, sea},
      {"Chukchi Sea", -169.5, 69.5, sea},
      {"Chukchi Sea, by the line", 179.5, 72.5, sea},
      {"Pacific north of Fiji", -177.5, -15.5, sea},
      {"Pacific west of Fiji", 174.5, -16.5, sea},
      {"Pacific, the Atlantic's band latitude", -150.5, -16.5, sea},
      {"Southern Ocean", -150.5, -65.5, sea},
      {"Southern Ocean by the line", 179.5, -67.5, sea},
      {"Arctic Ocean", 150.5, 80.5, sea},
      {"Arctic Ocean by the line", -179.5, 80.5, sea},
      {"Norwegian Sea", 0.5, 67.5, sea},
      {"Norwegian Sea, further north", 0.5, 70.5, sea},
      {"Davis Strait", -57.5, 66.5, sea},
      {"Gulf of Alaska", -145.5, 56.5, sea},
      {"Chukotka, east of the line", 174.5, 66.5, land},
      {"Chukotka, west of the line", -173.5, 65.5, land},
      {"Viti Levu", 177.9, -17.85, land},
      {"Antarctica", 0.5, -80.5, land},
      {"Antarctica south of 84 S", 30.5, -87.5, land},
      {"Antarctica by the line, east", 179.5, -86.5, land},
      {"Antarctica by the line, west", -179.5, -86.5, land},
  };
  for (const double zoom : {1.0, 4.0, 16.0, 64.0})
    for (const auto& p : places)
      EXPECT_EQ(ColourName(ColourAt(p.longitude, p.latitude, zoom)), ColourName(p.colour)) << p.place << " at " << zoom << "x";
}

}  // namespace
}  // namespace nimbrel::test
