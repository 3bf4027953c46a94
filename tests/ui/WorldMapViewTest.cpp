#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMouseEvent>
#include <QPrinter>
#include <QTest>
#include <QTimer>
#include <QApplication>

#include "catalog/MapProjection.h"
#include "ui/StationTableView.h"
#include "ui/WorldMapView.h"
#include "views/ViewsGuiFixture.h"
#include "charts/WorldMapDrawing.h"

namespace nimbrel {
namespace {

using test::MakeStation;

class MapViewTest : public test::ViewsGuiTest {
 protected:
  void SetUp() override {
    ViewsGuiTest::SetUp();
    frame->allStations().add(MakeStation("NULL ISLAND", "NULL", 0.0, 0.0));
    frame->allStations().add(MakeStation("NEAR NULL", "NEAR", 1.0, 1.0));
    frame->allStations().add(MakeStation("ZURICH", "LSZH", 8.55, 47.46));
    map = LastView<WorldMapView>();
  }

  static QPoint PixelOf(const Station& s) {
    const Pixel p = StationCatalog::mapToPixel(s.mapLongitude(), s.mapColatitude());
    return {p.x, p.y};
  }

  // The view as painted; the status text of the paint follows right after.
  QImage Picture() {
    QImage image = map->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCoreApplication::processEvents();
    return image;
  }

  WorldMapView* map = nullptr;
};

TEST_F(MapViewTest, FirstWindowIsAWorldMapWithThePicture) {
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(map->viewKind, 0);
  EXPECT_EQ(TitleOf(map), "World Map");
  EXPECT_EQ(map->messageText, "World Map");

  const QImage picture = Picture();
  ASSERT_GE(picture.width(), 540);
  ASSERT_GE(picture.height(), 341);
  EXPECT_EQ(picture.pixel(0, 0), qRgb(0, 0, 0)) << "border";
  EXPECT_EQ(picture.pixel(21, 100), qRgb(0, 0, 0)) << "meridian of 180 W";
  EXPECT_EQ(picture.pixel(100, 170), qRgb(0, 0, 0)) << "equator";
  // Central Africa is land, the South Atlantic is sea.
  EXPECT_EQ(picture.pixel(PixelOf(MakeStation("", "", 22.0, 5.0))), qRgb(255, 255, 0));
  EXPECT_EQ(picture.pixel(PixelOf(MakeStation("", "", -20.0, -30.0))), qRgb(255, 255, 255));
  // Nothing marked before "Mark all stations".
  EXPECT_NE(picture.pixel(PixelOf(frame->allStations().getAt(2))), qRgb(255, 0, 0));
}

TEST_F(MapViewTest, MarkAllStationsTogglesPointsStatusTextAndCheckMark) {
  CCmdUI ui;
  ASSERT_TRUE(map->onUpdateCommand(ID_MARK_ALL_STATIONS, ui));
  EXPECT_TRUE(ui.enabled);
  EXPECT_FALSE(ui.checked);

  ASSERT_TRUE(map->onCommand(ID_MARK_ALL_STATIONS));
  EXPECT_TRUE(map->markAllStations);
  QCoreApplication::processEvents();
  EXPECT_EQ(frame->StatusText(), QStringLiteral("Total stations: 3"));
  ui = {};
  map->onUpdateCommand(ID_MARK_ALL_STATIONS, ui);
  EXPECT_TRUE(ui.enabled);
  EXPECT_TRUE(ui.checked);

  // Every repaint tells the count of the list as it is then.
  frame->allStations().add(MakeStation("LONDON", "EGLL", -0.45, 51.47));
  frame->setStatusText("");
  const QImage picture = Picture();
  EXPECT_EQ(frame->StatusText(), QStringLiteral("Total stations: 4"));
  for (const Station& s : frame->allStations()) EXPECT_EQ(picture.pixel(PixelOf(s)), qRgb(255, 0, 0)) << s.name();
  EXPECT_EQ(frame->WaitCursorCount(), 0);

  map->onCommand(ID_MARK_ALL_STATIONS);
  EXPECT_FALSE(map->markAllStations);
  EXPECT_NE(Picture().pixel(PixelOf(frame->allStations().getAt(2))), qRgb(255, 0, 0));

  // A new world map starts without the points.
  map->onCommand(ID_MARK_ALL_STATIONS);
  ASSERT_TRUE(frame->openWindow(0, ""));
  WorldMapView* second = LastView<WorldMapView>();
  ASSERT_NE(second, map);
  EXPECT_FALSE(second->markAllStations);
}

TEST_F(MapViewTest, OpenStationMarksFollowTheOpenStationsList) {
  const Station& zurich = frame->allStations().getAt(2);
  const QPoint p = PixelOf(zurich);
  auto isMarked = [&](const QImage& image) {
    for (int dy = -2; dy < 2; ++dy) {
      for (int dx = -2; dx < 2; ++dx) {
        if (image.pixel(p.x() + dx, p.y() + dy) != qRgb(0, 0, 255)) return false;
      }
    }
    return image.pixel(p.x() + 2, p.y()) != qRgb(0, 0, 255) && image.pixel(p.x(), p.y() + 2) != qRgb(0, 0, 255);
  };
  EXPECT_FALSE(isMarked(Picture()));

  // Two windows of one station, then one of them closed: still marked.
  frame->openStations().add(zurich);
  frame->openStations().add(zurich);
  EXPECT_TRUE(isMarked(Picture()));
  removeOpenStation(frame->openStations(), zurich.icao());
  EXPECT_TRUE(isMarked(Picture()));
  removeOpenStation(frame->openStations(), zurich.icao());
  EXPECT_FALSE(isMarked(Picture()));
}

TEST_F(MapViewTest, DoubleClickNearStationsOpensANearestStationsTable) {
  const QPoint p = PixelOf(frame->allStations().getAt(0));
  QTest::mouseDClick(map, Qt::LeftButton, Qt::NoModifier, p);

  EXPECT_TRUE(messages.empty());
  StationTableView* table = LastView<StationTableView>();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(TitleOf(table), "Nearest stations");
  EXPECT_EQ(table->shownStations, &frame->resultStations());
  EXPECT_EQ(table->rowCount(), 2);
  EXPECT_EQ(nextViewKind, 1);
  EXPECT_EQ(frame->WaitCursorCount(), 0);
}

TEST_F(MapViewTest, DoubleClickFindingNothingShowsTheMessage) {
  QTest::mouseDClick(map, Qt::LeftButton, Qt::NoModifier, PixelOf(MakeStation("", "", -140.0, -50.0)));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Not found any station in a distance of 90.00 minutes around clicked point.");
  EXPECT_TRUE(Views<StationTableView>().empty());

  // Off the map rectangle nothing is found either.
  QTest::mouseDClick(map, Qt::LeftButton, Qt::NoModifier, QPoint(530, 320));
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_TRUE(Views<StationTableView>().empty());
}

TEST_F(MapViewTest, MouseMoveShowsThePositionOnlyOnTheMap) {
  QTest::mouseMove(map, QPoint(20, 45));
  EXPECT_EQ(frame->StatusText(), QStringLiteral("  180 00W,  90 00N"));
  frame->setStatusText("unchanged");
  QTest::mouseMove(map, QPoint(525, 300));
  EXPECT_EQ(frame->StatusText(), QStringLiteral("unchanged"));
}

TEST_F(MapViewTest, ShowAllStationsOpensTheAllStationsTable) {
  ASSERT_TRUE(map->onCommand(ID_SHOW_ALL_STATIONS));
  StationTableView* table = LastView<StationTableView>();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(TitleOf(table), "All stations");
  EXPECT_EQ(table->shownStations, &frame->allStations());
  EXPECT_EQ(table->rowCount(), 3);
  EXPECT_EQ(nextViewKind, 1);
  EXPECT_EQ(frame->WaitCursorCount(), 0);
}

TEST_F(MapViewTest, StationGraphKindDisablesMarkAllButShowsAndFindsStations) {
  nextViewKind = 1;
  WorldMapView graph;
  nextViewKind = 1;
  EXPECT_EQ(graph.viewKind, 1);
  CCmdUI ui;
  ASSERT_TRUE(graph.onUpdateCommand(ID_MARK_ALL_STATIONS, ui));
  EXPECT_FALSE(ui.enabled);
  EXPECT_FALSE(ui.checked);
  EXPECT_FALSE(graph.onCommand(ID_MARK_ALL_STATIONS));
  EXPECT_FALSE(graph.markAllStations);

  ui = {};
  ASSERT_TRUE(graph.onUpdateCommand(ID_SHOW_ALL_STATIONS, ui));
  EXPECT_TRUE(ui.enabled);
  ASSERT_TRUE(graph.onCommand(ID_SHOW_ALL_STATIONS));
  StationTableView* table = LastView<StationTableView>();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(TitleOf(table), "All stations");

  // Mouse actions of the map do nothing in a station graph.
  frame->setStatusText("unchanged");
  QMouseEvent move(QEvent::MouseMove, QPointF(20, 45), QPointF(20, 45), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QCoreApplication::sendEvent(&graph, &move);
  QTest::mouseDClick(&graph, Qt::LeftButton, Qt::NoModifier, QPoint(269, 169));
  EXPECT_EQ(frame->StatusText(), QStringLiteral("unchanged"));
  EXPECT_EQ(Views<StationTableView>().size(), 1u);
}

TEST_F(MapViewTest, ClosingAWorldMapMakesTheNextWindowAWorldMap) {
  ASSERT_TRUE(frame->openWindow(3, "All stations"));
  ASSERT_EQ(nextViewKind, 1);
  delete map->parentWidget();
  EXPECT_EQ(nextViewKind, 0);
}

TEST_F(MapViewTest, PrintingDrawsTheSamePicture) {
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  const QString path = folder.filePath(QStringLiteral("map.pdf"));
  printer.setOutputFileName(path);
  map->markAllStations = true;
  frame->setStatusText("");
  map->PrintTo(printer);
  EXPECT_EQ(frame->StatusText(), QStringLiteral("Total stations: 3"));
  EXPECT_GT(QFileInfo(path).size(), 1000);

  CCmdUI ui;
  EXPECT_TRUE(map->onUpdateCommand(ID_FILE_PRINT, ui));
  EXPECT_TRUE(ui.enabled);
  ui = {};
  EXPECT_TRUE(map->onUpdateCommand(ID_FILE_PRINT_PREVIEW, ui));
  EXPECT_TRUE(ui.enabled);
}

// The dialogs come from the print module, loaded at the first print command.
TEST_F(MapViewTest, PrintCommandsShowTheModulesDialogs) {
  for (bool preview : {false, true}) {
    QString shownTitle;
    QTimer::singleShot(200, [&] {
      if (QWidget* dialog = QApplication::activeModalWidget()) {
        shownTitle = dialog->windowTitle();
        dialog->close();
      }
    });
    messages.clear();
    EXPECT_TRUE(map->onCommand(preview ? ID_FILE_PRINT_PREVIEW : ID_FILE_PRINT));
    EXPECT_TRUE(messages.empty()) << messages.front();
    EXPECT_FALSE(shownTitle.isEmpty()) << (preview ? "preview" : "print");
  }
}

// The shipped station list on the picture: the land was drawn through the
// stations' projection, so airports, nearly all on land or its coast, fall
// on yellow or black pixels, and hardly any on the sea.
class ShippedStationsOnMapTest : public test::ViewsGuiTest {
 protected:
  void PrepareFolder(const QDir& dir) override {
    QFile::copy(QStringLiteral(NIMBREL_SOURCE_DIR "/data/Stations.txt"), dir.filePath(QStringLiteral("Stations.txt")));
  }
};

TEST_F(ShippedStationsOnMapTest, StationsFallOnLandOrCoast) {
  const StationList& all = frame->allStations();
  if (all.getSize() < 1000) GTEST_SKIP() << "no shipped station list";
  const QImage picture(QStringLiteral(":/bitmaps/130.bmp"));
  ASSERT_EQ(picture.size(), QSize(540, 341));
  int onLand = 0;
  for (const Station& s : all) {
    const Pixel p = StationCatalog::mapToPixel(s.mapLongitude(), s.mapColatitude());
    const QRgb colour = picture.pixel(p.x, p.y);
    if (colour == qRgb(255, 255, 0) || colour == qRgb(0, 0, 0)) ++onLand;
  }
  const double share = static_cast<double>(onLand) / all.getSize();
  std::printf("stations on land or coast: %d of %d (%.1f%%)\n", onLand, all.getSize(), share * 100.0);
  // One pixel off in any direction brings this down to about 92%.
  EXPECT_GT(share, 0.94);
}

}  // namespace
}  // namespace nimbrel
