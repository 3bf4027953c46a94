// World map windows: the picture, the station points and marks, the
// pointer's position, the nearest-stations double-click and printing.
#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QSvgRenderer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QWheelEvent>

#include "ViewsGuiFixture.h"
#include "map/MapProjection.h"
#include "ui/StationTableView.h"
#include "ui/WorldMapView.h"

namespace nimbrel::test {
namespace {

class MapViewTest : public ViewsGuiTest {
 protected:
  std::vector<std::string> StationLines() const override {
    return {StationLine("NULL ISLAND", "NULL", 0.0, 0.0), StationLine("NEAR NULL", "NEAR", 1.0, 1.0),
            StationLine("ZURICH", "LSZH", 8.55, 47.46)};
  }

  void SetUp() override {
    ViewsGuiTest::SetUp();
    map = LastView<WorldMapView>();
    ASSERT_NE(map, nullptr);
  }

  // The view as painted on the screen.
  QImage Picture() const { return map->grab().toImage().convertToFormat(QImage::Format_RGB32); }

  const Station& Zurich() const { return session->allStations().at(2); }

  WorldMapView* map = nullptr;
};

TEST_F(MapViewTest, FirstWindowIsAWorldMapWithThePicture) {
  EXPECT_EQ(TitleOf(map), QStringLiteral("World Map"));
  const QImage picture = Picture();
  ASSERT_GE(picture.width(), 540);
  ASSERT_GE(picture.height(), 341);
  EXPECT_EQ(picture.pixel(0, 0), qRgb(0, 0, 0)) << "border";
  EXPECT_EQ(picture.pixel(21, 100), qRgb(0, 0, 0)) << "meridian of 180 W";
  EXPECT_EQ(picture.pixel(100, 170), qRgb(0, 0, 0)) << "equator";
  // Central Africa is land, the South Atlantic is sea.
  EXPECT_EQ(picture.pixel(MapPixelAt(22.0, 5.0)), qRgb(255, 255, 0));
  EXPECT_EQ(picture.pixel(MapPixelAt(-20.0, -30.0)), qRgb(255, 255, 255));
  // Nothing marked before "Mark all stations".
  EXPECT_NE(picture.pixel(MapPixelOf(Zurich())), qRgb(255, 0, 0));
  EXPECT_FALSE(map->marksAllStations());
}

TEST_F(MapViewTest, MarkAllStationsTogglesPointsStatusTextAndCheckMark) {
  ASSERT_TRUE(ActionOf(frame, "markAllStationsAction")->isEnabled());
  EXPECT_FALSE(ActionOf(frame, "markAllStationsAction")->isChecked());
  ActionOf(frame, "markAllStationsAction")->trigger();
  EXPECT_TRUE(map->marksAllStations());
  EXPECT_TRUE(ActionOf(frame, "markAllStationsAction")->isChecked());
  EXPECT_EQ(StatusText(frame), QStringLiteral("Total stations: 3"));

  // Every paint tells the count again.
  frame->setStatusText("");
  const QImage picture = Picture();
  EXPECT_EQ(StatusText(frame), QStringLiteral("Total stations: 3"));
  for (const Station& s : session->allStations())
    EXPECT_EQ(picture.pixel(MapPixelOf(s)), qRgb(255, 0, 0)) << s.name;
  EXPECT_FALSE(WaitCursorShown());

  ActionOf(frame, "markAllStationsAction")->trigger();
  EXPECT_FALSE(map->marksAllStations());
  EXPECT_FALSE(ActionOf(frame, "markAllStationsAction")->isChecked());
  EXPECT_NE(Picture().pixel(MapPixelOf(Zurich())), qRgb(255, 0, 0));

  // A new world map starts without the points.
  ActionOf(frame, "markAllStationsAction")->trigger();
  WorldMapView* second = frame->openWorldMap();
  ASSERT_NE(second, map);
  EXPECT_FALSE(second->marksAllStations());
  EXPECT_FALSE(ActionOf(frame, "markAllStationsAction")->isChecked());
}

TEST_F(MapViewTest, DoubleClickNearStationsOpensANearestStationsTable) {
  QTest::mouseDClick(map, Qt::LeftButton, Qt::NoModifier, MapPixelOf(session->allStations().at(0)));
  EXPECT_TRUE(messages.empty());
  StationTableView* table = LastView<StationTableView>();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(TitleOf(table), QStringLiteral("Nearest stations"));
  EXPECT_EQ(table->size(), QSize(501, 408));
  ASSERT_EQ(table->rowCount(), 2);
  EXPECT_EQ(table->stations()[0].icao, "NULL");
  EXPECT_EQ(table->stations()[1].icao, "NEAR");
  EXPECT_EQ(StatusText(frame), QString::fromStdString(
                                     MapProjection::statusText(*MapProjection::toMapPoint(
                                         MapPixelOf(session->allStations().at(0)).x(),
                                         MapPixelOf(session->allStations().at(0)).y()))));
  EXPECT_FALSE(WaitCursorShown());

  // The distance comes from the settings.
  ChangeSettings(*session, [&](Settings& s) { s.nearestMinutes = 30.0; });
  QTest::mouseDClick(map, Qt::LeftButton, Qt::NoModifier, MapPixelOf(session->allStations().at(0)));
  ASSERT_EQ(Views<StationTableView>().size(), 2u);
  EXPECT_EQ(LastView<StationTableView>()->rowCount(), 1);
}

TEST_F(MapViewTest, DoubleClickFindingNothingShowsTheMessage) {
  QTest::mouseDClick(map, Qt::LeftButton, Qt::NoModifier, MapPixelAt(-140.0, -50.0));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Not found any station in a distance of 90.00 minutes around clicked point.");
  EXPECT_TRUE(Views<StationTableView>().empty());
  EXPECT_FALSE(WaitCursorShown());

  // Off the map rectangle nothing is found either; the right button does nothing.
  QTest::mouseDClick(map, Qt::LeftButton, Qt::NoModifier, QPoint(530, 320));
  EXPECT_EQ(messages.size(), 2u);
  QTest::mouseDClick(map, Qt::RightButton, Qt::NoModifier, MapPixelOf(session->allStations().at(0)));
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_TRUE(Views<StationTableView>().empty());
}

TEST_F(MapViewTest, MouseMoveShowsThePositionOnlyOnTheMap) {
  QTest::mouseMove(map, QPoint(20, 45));
  EXPECT_EQ(StatusText(frame), QStringLiteral("  180 00W,  90 00N"));
  frame->setStatusText("unchanged");
  QTest::mouseMove(map, QPoint(525, 300));
  EXPECT_EQ(StatusText(frame), QStringLiteral("unchanged"));
}

TEST_F(MapViewTest, ShowAllStationsOpensTheAllStationsTable) {
  ActionOf(frame, "showAllStationsAction")->trigger();
  StationTableView* table = LastView<StationTableView>();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(TitleOf(table), QStringLiteral("All stations"));
  EXPECT_EQ(table->rowCount(), 3);
  EXPECT_EQ(table->stations(), session->allStations());
  EXPECT_FALSE(WaitCursorShown());
}

TEST_F(MapViewTest, ClosingAWorldMapMakesNewOpenAWorldMapAgain) {
  frame->openAllStationsTable();
  CloseView(map);
  ASSERT_TRUE(Views<WorldMapView>().empty());
  ActionOf(frame, "newAction")->trigger();
  EXPECT_EQ(Views<WorldMapView>().size(), 1u);
  EXPECT_TRUE(fetched.empty()) << "no chart was asked for";
}

// The wheel zooms about the pointer, the status bar, marks and the
// nearest-station double-click follow, a drag pans, "Whole World" restores
// the picture.
TEST_F(MapViewTest, WheelZoomDragAndWholeWorld) {
  const QImage whole = Picture();
  const QPoint zurich = MapPixelOf(Zurich());
  QWheelEvent wheel(QPointF(zurich), QPointF(map->mapToGlobal(zurich)), QPoint(), QPoint(0, 3 * 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(map, &wheel);
  EXPECT_EQ(map->viewport().zoom(), 8.0);
  auto pixelOf = [this](const Station& s) {
    const Pixel p = map->viewport().toPixel(s.mapLongitude, s.mapColatitude);
    return QPoint(p.x, p.y);
  };
  // Zurich stays under the pointer: within the eight pixels its picture pixel became.
  EXPECT_LE(std::abs(pixelOf(Zurich()).x() - zurich.x()), 5);
  EXPECT_LE(std::abs(pixelOf(Zurich()).y() - zurich.y()), 5);

  QTest::mouseMove(map, pixelOf(Zurich()));
  const std::optional<MapPoint> under = map->viewport().toMapPoint(pixelOf(Zurich()).x(), pixelOf(Zurich()).y());
  ASSERT_TRUE(under);
  EXPECT_NEAR(under->mapLongitude, Zurich().mapLongitude, 0.1);
  EXPECT_NEAR(under->mapColatitude, Zurich().mapColatitude, 0.1);
  EXPECT_EQ(StatusText(frame), QString::fromStdString(MapProjection::statusText(*under)));
  map->setMarkAllStations(true);
  EXPECT_EQ(Picture().pixel(pixelOf(Zurich())), qRgb(255, 0, 0));
  map->setMarkAllStations(false);
  // 90 minutes of arc: Zurich alone, the two stations near 0,0 are far off.
  QTest::mouseDClick(map, Qt::LeftButton, Qt::NoModifier, pixelOf(Zurich()) + QPoint(10, 0));
  StationTableView* table = LastView<StationTableView>();
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->rowCount(), 1);
  EXPECT_EQ(table->stations()[0].icao, "LSZH");
  AreaOf(frame)->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(map->parentWidget()));

  // Dragging 100 pixels right moves Zurich with it and opens nothing.
  const QPoint before = pixelOf(Zurich());
  QTest::mousePress(map, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
  QMouseEvent move(QEvent::MouseMove, QPointF(250, 200), QPointF(map->mapToGlobal(QPoint(250, 200))), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(map, &move);
  QMouseEvent further(QEvent::MouseMove, QPointF(300, 200), QPointF(map->mapToGlobal(QPoint(300, 200))),
                      Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(map, &further);
  QTest::mouseRelease(map, Qt::LeftButton, Qt::NoModifier, QPoint(300, 200));
  EXPECT_EQ(pixelOf(Zurich()), before + QPoint(100, 0));
  QTest::keyClick(map, Qt::Key_Right);
  EXPECT_LT(pixelOf(Zurich()).x(), before.x() + 100);

  // "Whole World" (Ctrl+0) brings back the picture, pixel for pixel.
  QAction* wholeWorld = nullptr;
  for (QAction* action : frame->findChildren<QAction*>())
    if (action->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_0)) wholeWorld = action;
  ASSERT_NE(wholeWorld, nullptr);
  wholeWorld->trigger();
  EXPECT_TRUE(map->viewport().showsPicture());
  EXPECT_EQ(Picture(), whole);
  EXPECT_TRUE(messages.empty());
}

TEST_F(MapViewTest, ZoomedOverTheGreatLakesShowsLakesAndGreyStateBorders) {
  // 8x about Lake Michigan, then the pixels of places at that zoom.
  const QPoint michigan = MapPixelAt(-87.0, 43.5);
  QWheelEvent wheel(QPointF(michigan), QPointF(map->mapToGlobal(michigan)), QPoint(), QPoint(0, 3 * 120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(map, &wheel);
  ASSERT_EQ(map->viewport().zoom(), 8.0);
  const QImage picture = Picture();
  const auto at = [&](double longitude, double latitude) {
    const Pixel p = map->viewport().toPixel(180.0 + longitude, 90.0 - latitude);
    return picture.pixel(p.x, p.y);
  };
  EXPECT_EQ(at(-87.0, 43.5), qRgb(255, 255, 255)) << "Lake Michigan";
  EXPECT_EQ(at(-87.5, 47.7), qRgb(255, 255, 255)) << "Lake Superior";
  EXPECT_EQ(at(-89.5, 44.5), qRgb(255, 255, 0)) << "Wisconsin";
  int grey = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) grey += picture.pixel(x, y) == qRgb(128, 128, 128);
  EXPECT_GT(grey, 50) << "state borders";
}

// Printing and the screen run the same draw: the picture drawn on an
// image is the one on the screen, pixel for pixel.
TEST_F(MapViewTest, DrawingOnAnotherDeviceGivesTheScreenPicture) {
  map->setMarkAllStations(true);
  const QImage screen = Picture();
  QImage printed(screen.size(), QImage::Format_RGB32);
  printed.fill(Qt::white);
  {
    QPainter painter(&printed);
    map->draw(painter);
  }
  const QRect drawn(0, 0, 540, 341);
  int differing = 0;
  for (int y = drawn.top(); y <= drawn.bottom(); ++y)
    for (int x = drawn.left(); x <= drawn.right(); ++x) differing += screen.pixel(x, y) != printed.pixel(x, y);
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(printed.pixel(MapPixelOf(Zurich())), qRgb(255, 0, 0));
}

TEST_F(MapViewTest, PrintDrawsTheMapOnThePrinter) {
  const QString path = workDir.filePath(QStringLiteral("map.pdf"));
  map->setMarkAllStations(true);
  frame->setStatusText("");
  // The dialog accepted as it is, with the printer set to a file.
  ModalWatch<QPrintDialog> print([&path](QPrintDialog* dialog) {
    dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
    dialog->printer()->setOutputFileName(path);
    dialog->done(QDialog::Accepted);
  });
  ActionOf(frame, "printAction")->trigger();
  ASSERT_TRUE(print.seen());
  EXPECT_TRUE(messages.empty());
  // The marked map's draw ran (it tells the count) and put the picture on the page.
  EXPECT_EQ(StatusText(frame), QStringLiteral("Total stations: 3"));
  QFile pdf(path);
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  const QByteArray bytes = pdf.readAll();
  EXPECT_TRUE(bytes.startsWith("%PDF"));
  EXPECT_TRUE(bytes.contains("/Width 540")) << "the map picture";
  EXPECT_TRUE(bytes.contains("/Height 341"));
}

TEST_F(MapViewTest, CancelledPrintWritesNothing) {
  const QString path = workDir.filePath(QStringLiteral("cancelled.pdf"));
  ModalWatch<QPrintDialog> print([&path](QPrintDialog* dialog) {
    dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
    dialog->printer()->setOutputFileName(path);
    dialog->reject();
  });
  // Ctrl+P is Print wherever the focus is.
  QTest::keyClick(frame, Qt::Key_P, Qt::ControlModifier);
  ASSERT_TRUE(print.seen());
  EXPECT_FALSE(QFileInfo::exists(path));
  EXPECT_TRUE(messages.empty());
}

// Land-yellow pixels of a picture, allowing for the preview's scaling.
int YellowPixels(const QImage& image, QRect within = {}) {
  if (within.isNull()) within = image.rect();
  int count = 0;
  for (int y = within.top(); y <= within.bottom(); ++y)
    for (int x = within.left(); x <= within.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      count += c.red() > 200 && c.green() > 200 && c.blue() < 80;
    }
  return count;
}

// The map window's client area made this size.
void ResizeMap(WorldMapView* map, QSize size) {
  qobject_cast<QMdiSubWindow*>(map->parentWidget())->resize(size.grownBy(map->parentWidget()->contentsMargins()));
  QApplication::processEvents();
  ASSERT_EQ(map->size(), size);
}

// Panning west with the arrow key past 180 degrees: the map goes on, with
// Kamchatka's land beyond the line, the Bering Sea between, and Alaska's
// land still east of it; the pointer over the far side reads east longitudes.
TEST_F(MapViewTest, PanningPast180ShowsTheWorldBeyondIt) {
  ResizeMap(map, QSize(700, 500));
  // 4x, 175 W 58 N at the centre: the Aleutians east of the line.
  MapViewport view = map->viewport();
  const PointF start = view.toView(180.0 - 175.0, 90.0 - 58.0);
  view.zoomAbout(4.0, start.x, start.y);
  const PointF now = view.toView(180.0 - 175.0, 90.0 - 58.0);
  view.panBy(350.0 - now.x, 250.0 - now.y);
  map->setViewport(view);
  // A press moves the map an eighth of the window east: twelve degrees here.
  QTest::keyClick(map, Qt::Key_Left);
  const std::optional<MapPoint> centre = map->viewport().toMapPoint(350, 250);
  ASSERT_TRUE(centre);
  EXPECT_GT(centre->mapLongitude, 345.0) << "the window's centre is west of 180 W, in the east";
  auto pixel = [this](double longitude, double latitude) {
    const Pixel p = map->viewport().toPixel(180.0 + longitude, 90.0 - latitude);
    return QPoint(p.x, p.y);
  };
  const struct {
    const char* place;
    double longitude, latitude;
    QRgb colour;
  } places[] = {
      {"Kamchatka", 158.6, 55.5, qRgb(255, 255, 0)},
      {"Koryak highlands", 168.0, 62.0, qRgb(255, 255, 0)},
      {"Bering Sea", -178.0, 57.0, qRgb(255, 255, 255)},
      {"Alaska", -158.0, 62.0, qRgb(255, 255, 0)},
      {"Gulf of Alaska", -147.0, 55.0, qRgb(255, 255, 255)},
  };
  const QImage picture = Picture();
  for (const auto& p : places) {
    const QPoint at = pixel(p.longitude, p.latitude);
    ASSERT_TRUE(picture.rect().contains(at)) << p.place << " at " << at.x() << "," << at.y();
    EXPECT_EQ(picture.pixel(at), p.colour) << p.place;
  }
  QTest::mouseMove(map, pixel(160.0, 50.0));
  EXPECT_TRUE(StatusText(frame).contains(QStringLiteral("E,"))) << StatusText(frame).toStdString();
  QTest::mouseMove(map, pixel(-160.0, 50.0));
  EXPECT_TRUE(StatusText(frame).contains(QStringLiteral("W,"))) << StatusText(frame).toStdString();
}

// A window wider than the fitted world shows its neighbours at the sides;
// the stations' points are on each copy.
TEST_F(MapViewTest, AWideWindowRepeatsTheWorld) {
  ResizeMap(map, QSize(1200, 400));
  map->setMarkAllStations(true);
  const QImage picture = Picture();
  const MapViewport& view = map->viewport();
  int zurichCopies = 0;
  for (const MapViewport& copy : copiesInView(view)) {
    const Pixel p = copy.pixelOnFirstCopy(Zurich().mapLongitude, Zurich().mapColatitude);
    if (p.x < 0 || p.x >= picture.width()) continue;
    EXPECT_EQ(picture.pixel(p.x, p.y), qRgb(255, 0, 0)) << p.x;
    ++zurichCopies;
  }
  EXPECT_GE(zurichCopies, 2);
  // Land on both sides of the centred world.
  const int worldLeft = static_cast<int>(view.toView(0.0, 0.0).x), worldRight = static_cast<int>(view.toView(360.0, 0.0).x);
  ASSERT_GT(worldLeft, 100);
  EXPECT_GT(YellowPixels(picture, QRect(0, 0, worldLeft, 400)), 200);
  EXPECT_GT(YellowPixels(picture, QRect(worldRight, 0, 1200 - worldRight, 400)), 200);
}

// Zoomed out, the screen copies one kept picture of the world to each copy:
// what it shows is the vector map drawn afresh, to within the odd edge pixel
// of a coast on the side copies, wherever the pan left them.
TEST_F(MapViewTest, TheKeptWorldPictureIsTheMapDrawnAfresh) {
  ResizeMap(map, QSize(1500, 420));
  map->setMarkAllStations(true);
  for (const int pan : {0, 333, -1234, 5000}) {
    SCOPED_TRACE(pan);
    map->showWholeWorld();
    MapViewport view = map->viewport();
    view.panBy(pan, 0);
    map->setViewport(view);
    const QImage screen = Picture();
    QImage drawn(map->size(), QImage::Format_RGB32);
    drawn.fill(Qt::white);
    {
      QPainter painter(&drawn);
      map->draw(painter);
    }
    int differing = 0;
    for (int y = 0; y < drawn.height(); ++y)
      for (int x = 0; x < drawn.width(); ++x) differing += screen.pixel(x, y) != drawn.pixel(x, y);
    EXPECT_LT(differing, drawn.width() * drawn.height() / 100);
    // The copy under the window's centre is exact.
    const int left = std::max(0, static_cast<int>(map->viewport().toView(0, 0).x) + 2);
    const int right = std::min(drawn.width(), static_cast<int>(map->viewport().toView(360, 0).x) - 2);
    ASSERT_LT(left, right);
    int centreCopy = 0;
    for (int y = 0; y < drawn.height(); ++y)
      for (int x = left; x < right; ++x) centreCopy += screen.pixel(x, y) != drawn.pixel(x, y);
    EXPECT_EQ(centreCopy, 0);
    EXPECT_GT(YellowPixels(screen), 50000);
    // Zurich's red point on each copy, over the land the picture put there.
    for (const MapViewport& copy : copiesInView(map->viewport())) {
      const Pixel p = copy.pixelOnFirstCopy(Zurich().mapLongitude, Zurich().mapColatitude);
      if (p.x >= 0 && p.x < screen.width()) {
        EXPECT_EQ(screen.pixel(p.x, p.y), qRgb(255, 0, 0)) << p.x;
      }
    }
  }
}

// The printed page holds the whole map scaled to fit, both hemispheres,
// however large the window: a window wider than the page no longer loses
// its eastern half.
TEST_F(MapViewTest, ThePrintedPageHoldsBothHemispheres) {
  for (const QSize window : {QSize(550, 350), QSize(1400, 800)}) {
    SCOPED_TRACE(window.width());
    ResizeMap(map, window);
    map->showWholeWorld();
    QImage page(QSize(620, 877), QImage::Format_RGB32);
    page.fill(Qt::white);
    {
      QPainter painter(&page);
      map->print(painter);
    }
    // Where places fall: the printed part of the window scaled to the page's width, centred.
    const QRect area = map->printedArea();
    EXPECT_EQ(area.width(), window.width());
    EXPECT_LE(area.height(), window.height());
    const double scale = std::min(620.0 / area.width(), 877.0 / area.height());
    const double left = (620.0 - area.width() * scale) / 2.0;
    auto onPage = [&](double longitude, double latitude) {
      const Pixel p = map->viewport().toPixel(180.0 + longitude, 90.0 - latitude);
      return QPoint(static_cast<int>(left + (p.x - area.left() + 0.5) * scale),
                    static_cast<int>((p.y - area.top() + 0.5) * scale));
    };
    const struct {
      const char* place;
      double longitude, latitude;
    } land[] = {{"Brazil", -52.0, -10.0}, {"Central Africa", 22.0, 5.0}, {"Siberia", 100.0, 62.0},
                {"Australia", 134.0, -25.0}};
    for (const auto& p : land) {
      const QPoint at = onPage(p.longitude, p.latitude);
      ASSERT_TRUE(page.rect().contains(at)) << p.place;
      EXPECT_GT(YellowPixels(page, QRect(at - QPoint(2, 2), QSize(5, 5))), 12) << p.place;
    }
    // Nothing drawn beyond the map's own rectangle.
    EXPECT_EQ(YellowPixels(page, QRect(0, static_cast<int>(area.height() * scale) + 2, 620, 100)), 0);
  }
}

// File > Save Map Picture... writes what the window shows: a PNG that is
// the screen's picture, and an SVG that draws the same map.
TEST_F(MapViewTest, SaveMapPictureWritesPngAndSvg) {
  map->setMarkAllStations(true);
  const QImage screen = Picture();
  for (const char* name : {"map.png", "map.svg"}) {
    SCOPED_TRACE(name);
    const QString path = workDir.filePath(QString::fromLatin1(name));
    ModalWatch<QFileDialog> save([&path](QFileDialog* dialog) {
      dialog->selectFile(path);
      static_cast<QDialog*>(dialog)->accept();  // the dialog's own accept, as its Save button
    });
    QAction* action = ActionOf(frame, "saveMapPictureAction");
    ASSERT_TRUE(action->isEnabled());
    action->trigger();
    ASSERT_TRUE(save.seen());
    EXPECT_TRUE(messages.empty());
    ASSERT_TRUE(QFileInfo::exists(path));
    QImage saved;
    if (path.endsWith(QStringLiteral(".png"))) {
      ASSERT_TRUE(saved.load(path, "PNG"));
    } else {
      QSvgRenderer svg(path);
      ASSERT_TRUE(svg.isValid());
      EXPECT_EQ(svg.viewBox(), QRect(QPoint(0, 0), map->size()));
      saved = QImage(map->size(), QImage::Format_RGB32);
      saved.fill(Qt::white);
      QPainter painter(&saved);
      svg.render(&painter);
    }
    saved = saved.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(saved.size(), map->size());
    // Central Africa land, the South Atlantic sea, Zurich's red point.
    EXPECT_EQ(saved.pixel(MapPixelAt(22.0, 5.0)), qRgb(255, 255, 0));
    EXPECT_EQ(saved.pixel(MapPixelAt(-20.0, -30.0)), qRgb(255, 255, 255));
    EXPECT_GT(YellowPixels(saved, QRect(MapPixelAt(110.0, 60.0), MapPixelAt(150.0, -30.0))), 500) << "the east";
    if (path.endsWith(QStringLiteral(".png"))) {
      EXPECT_EQ(saved.pixel(MapPixelOf(Zurich())), qRgb(255, 0, 0));
      int differing = 0;
      for (int y = 0; y < 341; ++y)
        for (int x = 0; x < 540; ++x) differing += saved.pixel(x, y) != screen.pixel(x, y);
      EXPECT_EQ(differing, 0) << "the screen's picture";
    }
  }
  // Without a map in front there is nothing to save.
  AreaOf(frame)->closeAllSubWindows();
  QApplication::processEvents();
  EXPECT_FALSE(ActionOf(frame, "saveMapPictureAction")->isEnabled());
}

TEST_F(MapViewTest, PreviewShowsTheMapOnItsPage) {
  int yellow = -1;
  ModalWatch<QPrintPreviewDialog> preview([&yellow](QPrintPreviewDialog* dialog) {
    yellow = YellowPixels(dialog->grab().toImage());
    dialog->reject();
  });
  ActionOf(frame, "printPreviewAction")->trigger();
  ASSERT_TRUE(preview.seen());
  EXPECT_GT(yellow, 1000) << "the page shows the map's land";
  EXPECT_TRUE(messages.empty());
}

// The shipped station list on the picture: the land was drawn through the
// stations' projection, so airports, nearly all on land or its coast, fall
// on yellow or black pixels, and hardly any on the sea.
class ShippedStationsOnMapTest : public MainWindowFixture {};

TEST_F(ShippedStationsOnMapTest, StationsFallOnLandOrCoast) {
  QFile shipped(QStringLiteral(NIMBREL_SOURCE_DIR "/data/Stations.txt"));
  ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
  const QByteArray list = shipped.readAll();
  WriteStationList(list.toStdString());
  StartWindow();
  ASSERT_TRUE(messages.empty());
  const StationList& all = session->allStations();
  ASSERT_GT(all.size(), 1000u);
  const QImage picture(QStringLiteral(":/pictures/worldmap.bmp"));
  ASSERT_EQ(picture.size(), QSize(540, 341));
  int placed = 0;
  int onLand = 0;
  for (const Station& s : all) {
    if (!s.hasPosition) continue;
    ++placed;
    const QRgb colour = picture.pixel(MapPixelOf(s));
    if (colour == qRgb(255, 255, 0) || colour == qRgb(0, 0, 0)) ++onLand;
  }
  const double share = static_cast<double>(onLand) / placed;
  // One pixel off in any direction brings this down to about 92%.
  EXPECT_GT(share, 0.94) << onLand << " of " << placed;
}

}  // namespace
}  // namespace nimbrel::test
