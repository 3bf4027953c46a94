// The world map's current-weather layer in the running program, fed by the
// sample service's day of real reports on 127.0.0.1: the painted points,
// the hover tooltip, a click to a chart, one download for every map, the
// status text, and downloads that are cut or lack columns.
#include <httplib.h>

#include <QAction>
#include <QImage>
#include <QScreen>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolTip>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>

#include "MainWindowFixture.h"
#include "base/ClockText.h"
#include "SampleApiJson.h"
#include "SampleService.h"
#include "charts/WeatherLayer.h"
#include "charts/WorldMapDrawing.h"
#include "observations/MetarCache.h"
#include "support/LocalHttpServer.h"
#include "support/ReadFile.h"
#include "services/QtText.h"
#include "ui/StationChartView.h"
#include "ui/StationTableView.h"
#include "services/WeatherFeed.h"
#include "services/UserSettings.h"
#include "charts/StationCardText.h"
#include "ui/GoToField.h"
#include "ui/QtPainter.h"
#include "ui/StationCard.h"
#include "ui/WorldMapView.h"

namespace nimbrel::test {
namespace {

constexpr const char* kCachePath = "/data/cache/metars.cache.csv.gz";

bool SameColour(QRgb pixel, Colour colour) {
  return qRed(pixel) == redOf(colour) && qGreen(pixel) == greenOf(colour) && qBlue(pixel) == blueOf(colour);
}

// The sample service with the shipped day, its "now" fixed 37 minutes
// before the suite began, and the shipped station list; a counting relay
// in front of it, so the tests see how often the program downloaded.
class WeatherLayerViewTest : public MainWindowFixture {
 protected:
  static void SetUpTestSuite() {
    listText = new std::string(ReadAll(std::string(NIMBREL_SOURCE_DIR) + "/data/Stations.txt"));
    service = new sample::SampleService(*listText);
    std::string error;
    ASSERT_TRUE(service->loadMetarDay(NIMBREL_METAR_DAY, error)) << error;
    serviceNow = (std::time(nullptr) / 60 - 37) * 60;
    service->setNow(serviceNow);
    ASSERT_TRUE(service->start(0));
    httplib::Client client("127.0.0.1", service->listeningPort());
    const httplib::Result answer = client.Get(kCachePath);
    ASSERT_TRUE(answer && answer->status == 200);
    served = new std::string(answer->body);
  }
  static void TearDownTestSuite() {
    delete service;
    delete served;
    delete listText;
  }

  void SetUp() override {
    MainWindowFixture::SetUp();
    WriteStationList(*listText);
    relay.Server().Get(kCachePath, [this](const httplib::Request&, httplib::Response& response) {
      ++requests;
      response.set_content(body(), "application/x-gzip");
    });
    // The charts' reports come from the service itself.
    relay.Server().Get(".*", [](const httplib::Request& request, httplib::Response& response) {
      httplib::Client client("127.0.0.1", service->listeningPort());
      if (const httplib::Result answer = client.Get(request.target)) {
        response.status = answer->status;
        response.set_content(answer->body, answer->get_header_value("Content-Type"));
      } else {
        response.status = 502;
      }
    });
    ASSERT_TRUE(relay.start());
  }
  void TearDown() override {
    MainWindowFixture::TearDown();
    relay.stop();
  }

  // The program as the command line starts it with the live METAR source.
  void StartLive() {
    session = std::make_unique<Session>();
    window = std::make_unique<MainWindow>(*session);
    session->setReportSource(ReportSource::kLiveMetar);
    session->setMetarUrl("http://127.0.0.1:" + std::to_string(relay.listeningPort()));
    window->messageHook = [this](const std::string& text) { messages.push_back(text); };
    window->start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Frame()));
    ASSERT_FALSE(session->allStations().empty());
    ASSERT_NE(Map(), nullptr);
    // Our decoder's own reading of what the relay serves.
    expected = readMetarCache(body(), session->allStations());
  }

  WorldMapView* Map() const { return LastView<WorldMapView>(); }
  WeatherFeed& Feed() const { return session->weatherFeed(); }

  // The user's toggle of the layer on a map window; waits for the reading.
  void ToggleWeather(WorldMapView* map) {
    Activate(map);
    ASSERT_TRUE(ActionOf(window, "currentWeatherAction")->isEnabled());
    ActionOf(window, "currentWeatherAction")->trigger();
    ASSERT_TRUE(WaitUntil([this] { return !Feed().isLoading() && Feed().snapshot() != nullptr; }))
        << "the reports never arrived";
    QApplication::processEvents();
  }

  static QImage Painted(WorldMapView* map) { return map->grab().toImage().convertToFormat(QImage::Format_RGB32); }

  // The first station of a category whose point nothing else can touch:
  // no other station within 5 pixels, away from the legend's corners.
  const StationWeather* Isolated(FlightCategory category, bool needsCeiling = false) const {
    const StationList& all = session->allStations();
    for (const StationWeather& w : expected.stations) {
      if (w.category != category || (needsCeiling && (!w.ceilingFt || !w.temperatureC || !w.windSpeedKt)))
        continue;
      const QPoint p = MapPixelOf(all[w.station]);
      if (p.x() < 120 || p.x() > kWorldMapWidth - 120 || p.y() < 90 || p.y() > kWorldMapHeight - 90) continue;
      bool alone = true;
      for (std::size_t j = 0; j < all.size() && alone; ++j) {
        if (j == w.station || !all[j].hasPosition) continue;
        const QPoint q = MapPixelOf(all[j]);
        alone = std::max(std::abs(q.x() - p.x()), std::abs(q.y() - p.y())) > 5;
      }
      if (alone) return &w;
    }
    return nullptr;
  }

  // A view pixel more than 10 pixels from every station.
  QPoint Empty() const {
    for (int y = 20; y < kWorldMapHeight - 20; y += 3)
      for (int x = 20; x < kWorldMapWidth - 20; x += 3) {
        bool clear = true;
        for (const Station& s : session->allStations()) {
          const QPoint q = MapPixelOf(s);
          if (s.hasPosition && std::abs(q.x() - x) <= 10 && std::abs(q.y() - y) <= 10) {
            clear = false;
            break;
          }
        }
        if (clear) return {x, y};
      }
    return {-1, -1};
  }

  std::string body() {
    std::lock_guard lock(bodyMutex);
    return override.empty() ? *served : override;
  }
  void Serve(std::string bytes) {
    std::lock_guard lock(bodyMutex);
    override = std::move(bytes);
  }

  // Where a weather point answers the pointer: a station at that very pixel.
  void ExpectAnswersAt(WorldMapView* map, const StationWeather& w) const {
    const QPoint p = MapPixelOf(session->allStations()[w.station]);
    const int found = map->weatherStationAt(p);
    ASSERT_GE(found, 0);
    EXPECT_EQ(MapPixelOf(session->allStations()[static_cast<std::size_t>(found)]), p);
    EXPECT_NE(Feed().snapshot()->forStation(static_cast<std::size_t>(found)), nullptr);
  }

  static sample::SampleService* service;
  static std::time_t serviceNow;
  static std::string* served;
  static std::string* listText;
  LocalHttpServer relay;
  std::atomic<int> requests{0};
  std::mutex bodyMutex;
  std::string override;
  WeatherSnapshot expected;
};

sample::SampleService* WeatherLayerViewTest::service = nullptr;
std::time_t WeatherLayerViewTest::serviceNow = 0;
std::string* WeatherLayerViewTest::served = nullptr;
std::string* WeatherLayerViewTest::listText = nullptr;

TEST_F(WeatherLayerViewTest, PointsAreColouredAtTheirStationsPixels) {
  StartLive();
  const StationWeather* vfr = Isolated(FlightCategory::VFR);
  const StationWeather* ifr = Isolated(FlightCategory::IFR);
  ASSERT_NE(vfr, nullptr);
  ASSERT_NE(ifr, nullptr);
  const Station& vfrStation = session->allStations()[vfr->station];
  const Station& ifrStation = session->allStations()[ifr->station];
  WorldMapView* map = Map();
  ToggleWeather(map);
  ASSERT_EQ(Feed().snapshot()->stations.size(), expected.stations.size());

  // The whole 3 x 3 point of each.
  QImage image = Painted(map);
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      const QPoint v = MapPixelOf(vfrStation) + QPoint(dx, dy), i = MapPixelOf(ifrStation) + QPoint(dx, dy);
      EXPECT_TRUE(SameColour(image.pixel(v), kVfrColour)) << vfrStation.icao << " at " << v.x() << "," << v.y();
      EXPECT_TRUE(SameColour(image.pixel(i), kIfrColour)) << ifrStation.icao << " at " << i.x() << "," << i.y();
    }

  // By temperature, each takes its reported temperature's colour.
  ASSERT_TRUE(vfr->temperatureC && ifr->temperatureC);
  ASSERT_TRUE(ActionOf(window, "temperatureColouringAction")->isEnabled());
  ActionOf(window, "temperatureColouringAction")->trigger();
  EXPECT_EQ(map->weatherColouring(), WeatherColouring::kTemperature);
  image = Painted(map);
  EXPECT_TRUE(SameColour(image.pixel(MapPixelOf(vfrStation)), temperatureColour(*vfr->temperatureC)));
  EXPECT_TRUE(SameColour(image.pixel(MapPixelOf(ifrStation)), temperatureColour(*ifr->temperatureC)));
}

// Zoomed in on screen, labels are drawn from pictures kept between frames:
// frame after frame the window shows exactly what a printer gets.
TEST_F(WeatherLayerViewTest, ZoomedLabelsAndPlotsOnScreenAreThePrintedPicture) {
  StartLive();
  WorldMapView* map = Map();
  ToggleWeather(map);
  qobject_cast<QMdiSubWindow*>(map->parentWidget())->resize(QSize(700, 500).grownBy(map->parentWidget()->contentsMargins()));
  QApplication::processEvents();
  for (const double zoom : {8.0, 64.0}) {
    MapViewport europe = map->viewport();
    const PointF at = europe.toView(180.0 + 8.0, 90.0 - 48.0);
    europe.zoomAbout(zoom, at.x, at.y);
    map->setViewport(europe);
    QImage printed(map->size(), QImage::Format_RGB32);
    printed.fill(Qt::white);
    {
      QPainter painter(&printed);
      map->draw(painter);
    }
    for (int frame = 0; frame < 2; ++frame) {
      const QImage screen = Painted(map);
      int differing = 0;
      for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x) differing += screen.pixel(x, y) != printed.pixel(x, y);
      EXPECT_EQ(differing, 0) << "zoom " << zoom << ", frame " << frame;
    }
  }
}

TEST_F(WeatherLayerViewTest, HoverShowsTheStationsReportInTheChosenUnits) {
  StartLive();
  // A report with every value line filled, of whichever category has one.
  const StationWeather* chosen = nullptr;
  for (const FlightCategory category :
       {FlightCategory::IFR, FlightCategory::MVFR, FlightCategory::LIFR, FlightCategory::VFR})
    if (chosen == nullptr) chosen = Isolated(category, true);
  ASSERT_NE(chosen, nullptr);
  const Station& station = session->allStations()[chosen->station];
  WorldMapView* map = Map();
  ToggleWeather(map);
  const QPoint at = MapPixelOf(station);
  // The service's own row for the station, read here apart from the decoder.
  const std::string csv = inflateDownload(*served).text;
  const std::size_t row = csv.find("," + station.icao + ",");
  ASSERT_NE(row, std::string::npos);
  const std::size_t rowStart = csv.rfind('\n', row) + 1;
  std::string raw = csv.substr(rowStart, row - rowStart);
  if (raw.size() >= 2 && raw.front() == '"') raw = raw.substr(1, raw.size() - 2);

  for (const bool metric : {true, false}) {
    ChangeSettings(*session, [&](Settings& s) { s.metricStyle = metric; });
    const std::int64_t before = std::time(nullptr) / 60;
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(map->mapToGlobal(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(map, &move);
    ASSERT_TRUE(WaitUntil([] { return QToolTip::isVisible(); })) << "no tooltip";
    const QString shown = QToolTip::text();
    const std::int64_t after = std::time(nullptr) / 60;
    const QStringList lines = shown.split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 8) << shown.toStdString();
    EXPECT_EQ(fromQString(lines[0]), station.name + " (" + station.icao + ")");
    EXPECT_EQ(lines[2].toStdString(), raw);
    // The whole text, with the age of either side of a minute's turn.
    const std::string text = fromQString(shown);
    const DisplayUnits units = shownUnits(session->settings());
    EXPECT_TRUE(text == weatherTooltip(station, *chosen, before, units) ||
                text == weatherTooltip(station, *chosen, after, units))
        << text;
    EXPECT_EQ(fromQString(map->weatherTooltipAt(at)).substr(0, lines[0].size()), lines[0].toStdString());
    EXPECT_NE(lines[3].indexOf(metric ? QStringLiteral("\u00B0C") : QStringLiteral("\u00B0F")), -1) << text;
    QToolTip::hideText();
    ASSERT_TRUE(WaitUntil([] { return !QToolTip::isVisible(); }));
  }
  // Nothing near, no tip.
  const QPoint empty = Empty();
  ASSERT_GE(empty.x(), 0);
  EXPECT_EQ(map->weatherStationAt(empty), -1);
  EXPECT_TRUE(map->weatherTooltipAt(empty).isEmpty());
}

// A click meant to focus the map once opened a chart: a click now opens the
// station's card beside it, in the user's units and zone; Esc or a click
// elsewhere closes it, and its Chart button opens the chart.
TEST_F(WeatherLayerViewTest, AClickOpensTheStationsCardWhoseButtonOpensTheChart) {
  StartLive();
  const StationWeather* chosen = Isolated(FlightCategory::VFR);
  ASSERT_NE(chosen, nullptr);
  const Station& station = session->allStations()[chosen->station];
  WorldMapView* map = Map();
  ToggleWeather(map);
  StationChartView* opened = nullptr;
  QObject::connect(window.get(), &MainWindow::stationChartOpened, [&opened](StationChartView* v) { opened = v; });

  // A click beside every station opens nothing.
  const QPoint empty = Empty();
  ASSERT_GE(empty.x(), 0);
  QTest::mouseClick(map, Qt::LeftButton, Qt::NoModifier, empty);
  EXPECT_TRUE(map->stationCard() == nullptr || !map->stationCard()->isOpen());

  // One pixel off the point still hits it; no chart opens.
  const QPoint at = MapPixelOf(station);
  QTest::mouseClick(map, Qt::LeftButton, Qt::NoModifier, at + QPoint(1, -1));
  StationCard* card = map->stationCard();
  ASSERT_NE(card, nullptr);
  ASSERT_TRUE(card->isOpen());
  EXPECT_EQ(card->station().icao, station.icao);
  EXPECT_EQ(OpenerOf(window).openingCount(), 0);
  EXPECT_TRUE(Views<StationChartView>().empty());
  // Beside the point, not over it, and inside the map.
  EXPECT_FALSE(card->geometry().adjusted(-2, -2, 2, 2).contains(at));
  EXPECT_TRUE(map->rect().contains(card->geometry()));
  EXPECT_LT(std::min(std::abs(card->geometry().left() - at.x()), std::abs(card->geometry().right() - at.x())), 20);
  // It covers the map: its own background, not the map, inside its frame.
  const QImage withCard = map->grab().toImage();
  const QPoint inside = card->geometry().topRight() + QPoint(-4, 4);
  EXPECT_EQ(withCard.pixelColor(inside).rgb(), card->palette().color(QPalette::ToolTipBase).rgb());

  // The default units, then the US preset with Time UTC on; the card follows.
  for (const bool us : {false, true}) {
    SCOPED_TRACE(us ? "US, UTC" : "default");
    if (us)
      ChangeSettings(*session, [](Settings& s) {
        s.units = unitPreset(UnitPreset::kUs);
        s.timeUtc = true;
      });
    const Settings& settings = session->settings();
    const std::int64_t now = std::time(nullptr) / 60;
    const StationCardText expectedText = stationCardText(station, chosen, now, shownUnits(settings), settings.timeUtc);
    const std::string shown = card->plainText();
    for (const std::string& line : expectedText.values) EXPECT_NE(shown.find(line), std::string::npos) << line << "\n" << shown;
    EXPECT_NE(shown.find(expectedText.title + "  " + expectedText.codes), std::string::npos) << shown;
    EXPECT_NE(shown.find(chosen->rawReport), std::string::npos) << shown;
    EXPECT_NE(shown.find("Observed " + clockText(chosen->observedMinutes * 60, settings.timeUtc)), std::string::npos)
        << shown;
    EXPECT_NE(shown.find(us ? "\xB0" "F" : "\xB0" "C"), std::string::npos) << shown;
  }

  // Esc closes it, and so does a click elsewhere.
  QTest::keyClick(map, Qt::Key_Escape);
  EXPECT_FALSE(card->isOpen());
  QTest::mouseClick(map, Qt::LeftButton, Qt::NoModifier, at);
  ASSERT_TRUE(card->isOpen());
  QTest::mouseClick(map, Qt::LeftButton, Qt::NoModifier, empty);
  EXPECT_FALSE(card->isOpen());

  QTest::mouseClick(map, Qt::LeftButton, Qt::NoModifier, at);
  ASSERT_TRUE(card->isOpen());
  auto* chart = card->findChild<QPushButton*>(QStringLiteral("stationCardChart"));
  ASSERT_NE(chart, nullptr);
  QTest::mouseClick(chart, Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&opened, this] { return opened != nullptr && OpenerOf(window).openingCount() == 0; }))
      << (messages.empty() ? std::string("no chart") : messages.front());
  EXPECT_EQ(TitleOf(opened).toStdString(), station.name);
  ASSERT_EQ(session->openStations().size(), 1u);
  EXPECT_EQ(session->openStations().front().icao, station.icao);
  EXPECT_TRUE(messages.empty());
}

// A click redraws only where the selection's frames and the card come and
// go, from a picture of the map kept once it stood still: what the screen
// then shows is the map as a whole repaint draws it, zoomed or not, and a
// change of what the map shows is never hidden behind the kept picture.
TEST_F(WeatherLayerViewTest, AClickRedrawsOnlyWhereTheCardWasAndTheScreenIsTheMap) {
  // Whatever happens here, the next test starts with nothing hidden.
  struct Reset {
    ~Reset() { storeMapFilter({}); }
  } reset;
  StartLive();
  const StationWeather* first = Isolated(FlightCategory::VFR);
  const StationWeather* second = Isolated(FlightCategory::IFR);
  ASSERT_TRUE(first != nullptr && second != nullptr);
  WorldMapView* map = Map();
  ToggleWeather(map);
  QScreen* screen = QGuiApplication::primaryScreen();
  // The map's pixels on the screen, against those of a whole repaint.
  auto onScreen = [&] {
    QApplication::processEvents();
    const QPoint corner = map->mapTo(map->window(), QPoint(0, 0));
    return screen->grabWindow(map->window()->winId(), corner.x(), corner.y(), map->width(), map->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
  };
  auto shownAsDrawn = [&] {
    const QImage shown = onScreen();
    // The same view set again: the map is drawn whole, not from a kept picture.
    map->setViewport(map->viewport());
    map->repaint();
    const QImage drawn = onScreen();
    if (shown.size() != drawn.size() || shown.isNull()) return -1;
    int differ = 0;
    for (int y = 0; y < drawn.height(); ++y)
      for (int x = 0; x < drawn.width(); ++x) differ += shown.pixel(x, y) != drawn.pixel(x, y);
    return differ;
  };
  auto settle = [] { QTest::qWait(400); };
  for (const bool zoomed : {false, true}) {
    SCOPED_TRACE(zoomed ? "zoomed 4x" : "whole world");
    if (zoomed) {
      MapViewport closer = map->viewport();
      const Station& s = session->allStations()[first->station];
      const PointF at = closer.toView(s.mapLongitude, s.mapColatitude);
      closer.zoomAbout(4.0, at.x, at.y);
      map->setViewport(closer);
    }
    settle();
    int paints = 0;
    struct Counter : QObject {
      int* paints;
      QRegion last;
      bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
          ++*paints;
          last = static_cast<QPaintEvent*>(e)->region();
        }
        return false;
      }
    } counter;
    counter.paints = &paints;
    map->installEventFilter(&counter);
    for (const StationWeather* w : {first, second}) {
      const Station& s = session->allStations()[w->station];
      const Pixel p = map->viewport().toPixel(s.mapLongitude, s.mapColatitude);
      const QPoint at(p.x, p.y);
      if (!map->rect().contains(at) || map->weatherStationAt(at) != static_cast<int>(w->station)) continue;
      QTest::mouseClick(map, Qt::LeftButton, Qt::NoModifier, at);
      ASSERT_TRUE(map->stationCard() != nullptr && map->stationCard()->isOpen());
      QApplication::processEvents();
      EXPECT_FALSE(QRegion(map->rect()).subtracted(counter.last).isEmpty()) << "a click repainted the whole map";
    }
    QTest::keyClick(map, Qt::Key_Escape);
    map->removeEventFilter(&counter);
    EXPECT_GT(paints, 0);
    EXPECT_EQ(shownAsDrawn(), 0) << "after two cards and Esc";
  }
  // Hidden VFR (a change the kept picture does not have), then a click: the
  // screen shows the map without its VFR points.
  map->showWholeWorld();
  settle();
  ActionOf(window, "showVfrAction")->trigger();
  QApplication::processEvents();
  const QPoint at = MapPixelOf(session->allStations()[second->station]);
  QTest::mouseClick(map, Qt::LeftButton, Qt::NoModifier, at);
  QTest::keyClick(map, Qt::Key_Escape);
  EXPECT_EQ(shownAsDrawn(), 0) << "after a change and a click";
  settle();
  QTest::mouseClick(map, Qt::LeftButton, Qt::NoModifier, at);
  QTest::keyClick(map, Qt::Key_Escape);
  EXPECT_EQ(shownAsDrawn(), 0) << "after a change, a pause and a click";

  // Maximised, "Go to" zooms onto a station: the screen shows the new view.
  qobject_cast<QMdiSubWindow*>(map->parentWidget())->showMaximized();
  settle();
  map->goToStation(session->allStations()[first->station]);
  settle();
  EXPECT_GT(map->viewport().zoom(), 1.0);
  QTest::keyClick(map, Qt::Key_Escape);
  EXPECT_EQ(shownAsDrawn(), 0) << "after Go to in a maximised window";
}

// Typing a code or a name in the toolbar's field and Enter: the map is
// centred on the station, zoomed in, with its card open.
TEST_F(WeatherLayerViewTest, GoToCentresTheMapOnTheStationWithItsCard) {
  StartLive();
  WorldMapView* map = Map();
  ToggleWeather(map);
  auto* field = window->findChild<GoToField*>(QStringLiteral("goToField"));
  ASSERT_NE(field, nullptr);
  ASSERT_TRUE(field->isEnabled());
  const StationWeather* chosen = Isolated(FlightCategory::IFR);
  ASSERT_NE(chosen, nullptr);
  const Station& station = session->allStations()[chosen->station];
  // Its code in lower case, as a user types it.
  field->setFocus();
  QTest::keyClicks(field, QString::fromStdString(station.icao).toLower());
  ASSERT_FALSE(field->suggestions().empty());
  EXPECT_EQ(field->suggestions().front(), chosen->station);
  QTest::keyClick(field, Qt::Key_Return);
  ASSERT_TRUE(WaitUntil([map] { return map->stationCard() != nullptr && map->stationCard()->isOpen(); }));
  EXPECT_EQ(map->stationCard()->station().icao, station.icao);
  EXPECT_GE(map->viewport().zoom(), 16.0);
  const Pixel p = map->viewport().toPixel(station.mapLongitude, station.mapColatitude);
  EXPECT_LE(std::abs(p.x - map->width() / 2), 1);
  EXPECT_LE(std::abs(p.y - map->height() / 2), 1);
  // The card is the station's under the pointer too.
  EXPECT_EQ(map->weatherStationAt(QPoint(p.x, p.y)), static_cast<int>(chosen->station));
  EXPECT_NE(map->stationCard()->plainText().find(chosen->rawReport), std::string::npos);
  // A text nothing matches goes nowhere.
  field->clear();
  QTest::keyClicks(field, QStringLiteral("zzqq no such place"));
  EXPECT_TRUE(field->suggestions().empty());
  const MapViewport before = map->viewport();
  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_EQ(map->viewport().zoom(), before.zoom());
  EXPECT_EQ(map->viewport().westLongitude(), before.westLongitude());
}

// Hiding a category takes its points off the map and out of the clicks, the
// legend grows to say so, and the choice is there after a restart.
TEST_F(WeatherLayerViewTest, AHiddenCategoryLeavesTheMapAndStaysHiddenAfterARestart) {
  // Whatever happens here, the next test starts with nothing hidden.
  struct Reset {
    ~Reset() { storeMapFilter({}); }
  } reset;
  StartLive();
  WorldMapView* map = Map();
  ToggleWeather(map);
  const StationWeather* vfr = Isolated(FlightCategory::VFR);
  const StationWeather* ifr = Isolated(FlightCategory::IFR);
  ASSERT_TRUE(vfr != nullptr && ifr != nullptr);
  const QPoint vfrAt = MapPixelOf(session->allStations()[vfr->station]);
  const QPoint ifrAt = MapPixelOf(session->allStations()[ifr->station]);
  QAction* showVfr = ActionOf(window, "showVfrAction");
  ASSERT_TRUE(showVfr->isChecked());
  const QImage before = Painted(map);
  showVfr->trigger();
  EXPECT_EQ(session->settings().mapFilter, (MapFilter{kMapVfr, 0}));
  EXPECT_FALSE(showVfr->isChecked());
  QImage image = Painted(map);
  EXPECT_FALSE(SameColour(image.pixel(vfrAt), kVfrColour));
  EXPECT_TRUE(SameColour(image.pixel(ifrAt), kIfrColour));
  EXPECT_EQ(map->weatherStationAt(vfrAt), -1);
  EXPECT_EQ(map->weatherStationAt(ifrAt), static_cast<int>(ifr->station));
  // The legend's box, measured as the map measures it, now holds "VFR hidden".
  {
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter onScratch(&scratch);
    QtPainter measuring(onScratch);
    const Size size = weatherLegendSize(measuring, WeatherColouring::kFlightCategory, true, MapFilter{kMapVfr, 0});
    EXPECT_GT(size.width, weatherLegendSize(measuring, WeatherColouring::kFlightCategory, true).width);
    const Rect box = chooseLegendCorner(session->allStations(), size, map->viewport());
    int changed = 0;
    for (int y = box.top; y < box.bottom; ++y)
      for (int x = box.left; x < box.right; ++x) changed += before.pixel(x, y) != image.pixel(x, y);
    EXPECT_GT(changed, 20);
  }

  StopWindow();
  StartLive();
  EXPECT_EQ(session->settings().mapFilter, (MapFilter{kMapVfr, 0}));
  EXPECT_FALSE(ActionOf(window, "showVfrAction")->isChecked());
  ToggleWeather(Map());
  image = Painted(Map());
  EXPECT_FALSE(SameColour(image.pixel(vfrAt), kVfrColour));
  EXPECT_TRUE(SameColour(image.pixel(ifrAt), kIfrColour));
  // Shown again, it is back as it was.
  ActionOf(window, "showVfrAction")->trigger();
  EXPECT_FALSE(session->settings().mapFilter.hidesAny());
  EXPECT_EQ(Painted(Map()), before);
}

// With the service down and nothing stored, every station is the legend's
// grey (never red, which means IFR) and the map itself says there is no
// current weather, whatever the pointer does.
TEST_F(WeatherLayerViewTest, AFailedDownloadLeavesGreyStationsAndABadge) {
  relay.stop();
  StartLive();
  WorldMapView* map = Map();
  ToggleWeather(map);
  ASSERT_TRUE(Feed().snapshot()->stations.empty());
  EXPECT_EQ(map->noticeText(), "No current weather");
  const QImage image = Painted(map);
  // At the stations' pixels (the legend has its IFR swatch, of course).
  int grey = 0, red = 0;
  for (const Station& s : session->allStations()) {
    if (!s.hasPosition) continue;
    const QRgb at = image.pixel(MapPixelOf(s));
    grey += SameColour(at, kNoValueColour);
    red += SameColour(at, kStationPointColour) || SameColour(at, kIfrColour);
  }
  EXPECT_GT(grey, 1000);
  EXPECT_EQ(red, 0);
  // The badge at the top centre stays when the pointer moves and the status
  // bar's words change.
  const QPoint badge(map->width() / 2, 5);
  EXPECT_TRUE(SameColour(image.pixel(badge), kBadgeColour));
  QTest::mouseMove(map, Empty());
  EXPECT_TRUE(SameColour(Painted(map).pixel(badge), kBadgeColour));
  EXPECT_EQ(map->noticeText(), "No current weather");
}

// The map's one hit test (clicks, hover, the card) finds a station on its
// eastern and western copies of a window wider than the world, and beside
// the antimeridian zoomed in on either side of it.
TEST_F(WeatherLayerViewTest, TheHitTestFindsStationsOnEveryCopyOfTheWorld) {
  StartLive();
  const StationWeather* chosen = Isolated(FlightCategory::VFR);
  ASSERT_NE(chosen, nullptr);
  const Station& station = session->allStations()[chosen->station];
  WorldMapView* map = Map();
  ToggleWeather(map);
  qobject_cast<QMdiSubWindow*>(map->parentWidget())->resize(QSize(1500, 420).grownBy(map->parentWidget()->contentsMargins()));
  QApplication::processEvents();
  ASSERT_EQ(map->size(), QSize(1500, 420));
  std::vector<QPoint> copies;
  for (const MapViewport& copy : copiesInView(map->viewport())) {
    const Pixel p = copy.pixelOnFirstCopy(station.mapLongitude, station.mapColatitude);
    if (p.x >= 0 && p.x < map->width()) copies.emplace_back(p.x, p.y);
  }
  ASSERT_GE(copies.size(), 2u) << "east and west";
  const QImage image = Painted(map);
  for (const QPoint& at : copies) {
    EXPECT_EQ(map->weatherStationAt(at + QPoint(1, 1)), static_cast<int>(chosen->station)) << at.x();
    EXPECT_TRUE(map->weatherTooltipAt(at).contains(toQString(station.icao))) << at.x();
    EXPECT_TRUE(SameColour(image.pixel(at), kVfrColour)) << at.x();
  }

  // Zoomed on the line: stations on both sides of it answer where they are drawn.
  std::vector<std::size_t> nearLine;
  for (const StationWeather& w : expected.stations) {
    const Station& s = session->allStations()[w.station];
    if (s.hasPosition && (s.mapLongitude < 4.0 || s.mapLongitude > 356.0) && std::abs(s.mapColatitude - 107.0) < 6.0)
      nearLine.push_back(w.station);
  }
  ASSERT_FALSE(nearLine.empty()) << "Fiji, Tonga, Wallis";
  MapViewport view = map->viewport();
  const PointF line = view.toView(360.0, 107.0);
  view.zoomAbout(8.0, line.x, line.y);
  const PointF moved = view.toView(360.0, 107.0);
  view.panBy(750.0 - moved.x, 210.0 - moved.y);
  map->setViewport(view);
  bool east = false, west = false;
  for (const std::size_t i : nearLine) {
    const Station& s = session->allStations()[i];
    const Pixel p = map->viewport().toPixel(s.mapLongitude, s.mapColatitude);
    ASSERT_TRUE(QRect(0, 0, 1500, 420).contains(p.x, p.y)) << s.icao;
    const int found = map->weatherStationAt(QPoint(p.x, p.y));
    ASSERT_GE(found, 0) << s.icao;
    // Stations a pixel apart may answer for each other; the one found is there.
    const Pixel f = map->viewport().toPixel(session->allStations()[static_cast<std::size_t>(found)].mapLongitude,
                                            session->allStations()[static_cast<std::size_t>(found)].mapColatitude);
    EXPECT_LE(std::abs(f.x - p.x) + std::abs(f.y - p.y), 8) << s.icao;
    (s.mapLongitude > 180.0 ? east : west) = true;
    EXPECT_EQ(p.x < 750, s.mapLongitude > 180.0) << s.icao << " on its side of the line";
  }
  EXPECT_TRUE(east && west);
}

// The printed map carries the reports' time under it, as the status bar tells it.
TEST_F(WeatherLayerViewTest, ThePrintedMapHasTheReportsTimeAsItsCaption) {
  StartLive();
  WorldMapView* map = Map();
  EXPECT_TRUE(map->captionText().isEmpty()) << "no weather, no caption";
  ToggleWeather(map);
  for (const bool utc : {true, false}) {
    ChangeSettings(*session, [&](Settings& s) { s.timeUtc = utc; });
    const QString caption = map->captionText();
    EXPECT_EQ(caption.toStdString(), Feed().statusText(utc));
    EXPECT_TRUE(caption.contains(QStringLiteral("reports up to"))) << caption.toStdString();
  }
  QImage page(QSize(600, 850), QImage::Format_RGB32);
  page.fill(Qt::white);
  {
    QPainter painter(&page);
    map->print(painter);
  }
  // The map takes the page's width; the caption's text lies under it.
  const int mapBottom = static_cast<int>(map->printedArea().height() * 600.0 / map->printedArea().width());
  int dark = 0;
  for (int y = mapBottom + 1; y < std::min(850, mapBottom + 60); ++y)
    for (int x = 0; x < 600; ++x) dark += qGray(page.pixel(x, y)) < 100;
  EXPECT_GT(dark, 30) << "the caption";
}

// What a widget gets of a double-click: press, release, the double-click in
// place of the second press, release (QTest sends the double-click alone).
void DoubleClick(QWidget* widget, QPoint at) {
  QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
  QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, at);
  QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, at);
}

// Both releases of a double-click used to open a chart each, and the
// double-click listed the stations around the point on top.
TEST_F(WeatherLayerViewTest, ADoubleClickOnAPointOpensItsChartOnce) {
  StartLive();
  const StationWeather* chosen = Isolated(FlightCategory::VFR);
  ASSERT_NE(chosen, nullptr);
  const Station& station = session->allStations()[chosen->station];
  WorldMapView* map = Map();
  ToggleWeather(map);
  int opened = 0;
  QObject::connect(window.get(), &MainWindow::stationChartOpened, [&opened](StationChartView*) { ++opened; });
  DoubleClick(map, MapPixelOf(station));
  ASSERT_TRUE(WaitUntil([&opened, this] { return opened > 0 && OpenerOf(window).openingCount() == 0; }))
      << "openings " << OpenerOf(window).openingCount() << ", tables " << Views<StationTableView>().size() << ", "
      << (messages.empty() ? std::string() : messages.front());
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(Views<StationChartView>().size(), 1u);
  EXPECT_TRUE(Views<StationTableView>().empty());

  // Beside every station a double-click still lists the stations around.
  const QPoint empty = Empty();
  ASSERT_GE(empty.x(), 0);
  DoubleClick(map, empty);
  EXPECT_TRUE(WaitForOpenings());
  EXPECT_EQ(opened, 1);
}

TEST_F(WeatherLayerViewTest, LayerOffIsTheMapAsBeforeTheLayer) {
  StartLive();
  WorldMapView* map = Map();
  // Every station marked too, so that what the layer replaces comes back.
  for (const bool markAll : {false, true}) {
    map->setMarkAllStations(markAll);
    const QImage before = Painted(map);
    if (!map->showsWeather()) ToggleWeather(map);
    EXPECT_TRUE(map->showsWeather());
    EXPECT_NE(Painted(map), before);
    ToggleWeather(map);
    EXPECT_FALSE(map->showsWeather());
    EXPECT_EQ(Painted(map), before) << "mark all " << markAll;
    EXPECT_EQ(map->weatherStationAt(MapPixelOf(session->allStations()[expected.stations.front().station])), -1);
  }
}

TEST_F(WeatherLayerViewTest, OneDownloadServesEveryMap) {
  StartLive();
  WorldMapView* first = Map();
  WorldMapView* second = window->openWorldMap();
  ASSERT_NE(second, nullptr);
  ASSERT_NE(first, second);
  // The second asks while the first one's download is still under way.
  Activate(first);
  ActionOf(window, "currentWeatherAction")->trigger();
  Activate(second);
  ActionOf(window, "currentWeatherAction")->trigger();
  ASSERT_TRUE(WaitUntil([this] { return !Feed().isLoading() && Feed().snapshot() != nullptr; }));
  QApplication::processEvents();
  EXPECT_EQ(Feed().userCount(), 2);
  EXPECT_EQ(Feed().downloadCount(), 1);
  EXPECT_EQ(requests.load(), 1);

  // A third map later, and a refresh within the minute: still one.
  WorldMapView* third = window->openWorldMap();
  ASSERT_NE(third, nullptr);
  ToggleWeather(third);
  Feed().refresh();
  QTest::qWait(200);
  EXPECT_EQ(Feed().downloadCount(), 1);
  EXPECT_EQ(requests.load(), 1);
  const StationWeather* vfr = Isolated(FlightCategory::VFR);
  ASSERT_NE(vfr, nullptr);
  for (WorldMapView* map : {first, second, third}) {
    EXPECT_EQ(map->weatherStationAt(MapPixelOf(session->allStations()[vfr->station])), static_cast<int>(vfr->station));
    ExpectAnswersAt(map, expected.stations.back());
  }

  // Closing and switching off leave the feed with nobody.
  CloseView(third);
  EXPECT_EQ(Feed().userCount(), 2);
  ToggleWeather(first);
  ToggleWeather(second);
  EXPECT_EQ(Feed().userCount(), 0);
}

TEST_F(WeatherLayerViewTest, TheActionNeedsTheLiveSource) {
  StartWindow();  // the report pages
  ASSERT_NE(Map(), nullptr);
  // Should the action still fire, it reaches only the relay.
  session->setMetarUrl(relay.Url(""));
  Activate(Map());
  EXPECT_FALSE(ActionOf(window, "currentWeatherAction")->isEnabled());
  EXPECT_TRUE(ActionOf(window, "currentWeatherAction")->isCheckable());
  EXPECT_NE(ActionOf(window, "currentWeatherAction")->toolTip().indexOf(QStringLiteral("live METAR")), -1)
      << ActionOf(window, "currentWeatherAction")->toolTip().toStdString();
  EXPECT_FALSE(ActionOf(window, "temperatureColouringAction")->isEnabled());
  ActionOf(window, "currentWeatherAction")->trigger();
  EXPECT_FALSE(Map()->showsWeather());
  EXPECT_EQ(Feed().downloadCount(), 0);
  EXPECT_EQ(requests.load(), 0);
}

TEST_F(WeatherLayerViewTest, TheStatusBarCountsTheStationsAndTheNewestReport) {
  StartLive();
  ToggleWeather(Map());
  const bool timeUtc = session->settings().timeUtc;
  const std::string start = "Current weather: " + withThousands(static_cast<long long>(expected.stations.size())) +
                            " stations, reports up to " + clockText(expected.newestMinutes * 60, timeUtc);
  EXPECT_EQ(fromQString(StatusText(window)).substr(0, start.size()), start) << fromQString(StatusText(window));
  EXPECT_EQ(fromQString(StatusText(window)), currentWeatherStatusText(expected, timeUtc));
  EXPECT_GT(expected.stations.size(), 1000u);
  // The newest report is the service's now, none is newer.
  EXPECT_LE(expected.newestMinutes, serviceNow / 60);
  EXPECT_GT(expected.newestMinutes, serviceNow / 60 - 60);
}

// A run without the service shows the reports the last run stored, with
// their age in the status bar.
TEST_F(WeatherLayerViewTest, WithoutTheServiceTheLayerShowsTheStoredReports) {
  StartLive();
  ToggleWeather(Map());
  const WeatherSnapshot live = *Feed().snapshot();
  StopWindow();
  relay.stop();

  StartLive();
  ToggleWeather(Map());
  const WeatherSnapshot* offline = Feed().snapshot();
  EXPECT_TRUE(offline->offline);
  // Each station's newest report of the last day.
  const std::int64_t since = (std::time(nullptr) - WeatherFeed::kOfflineSeconds) / 60;
  std::vector<std::string> recent;
  for (const StationWeather& w : live.stations)
    if (w.observedMinutes >= since) recent.push_back(w.rawReport);
  std::vector<std::string> shown;
  for (const StationWeather& w : offline->stations) shown.push_back(w.rawReport);
  EXPECT_EQ(shown, recent);
  EXPECT_GT(shown.size(), 1000u);
  EXPECT_EQ(offline->newestMinutes, live.newestMinutes);
  const std::string start = "Current weather: offline, reports up to " +
                            clockText(live.newestMinutes * 60, session->settings().timeUtc) +
                            " (the download failed";
  EXPECT_EQ(fromQString(StatusText(window)).substr(0, start.size()), start) << fromQString(StatusText(window));
  // The map says so itself, in the zone chosen.
  EXPECT_EQ(Map()->noticeText(),
            "Offline: reports up to " + clockText(live.newestMinutes * 60, session->settings().timeUtc));
}

// The relay serves a damaged download from the start; the layer keeps what
// could be read and the status bar says what was lost.
TEST_F(WeatherLayerViewTest, CutAndColumnShortDownloadsKeepWhatCouldBeRead) {
  const std::string csv = inflateDownload(*served).text;
  // Every fourth row without its raw_text column: the service's columns
  // rearranged so raw_text is last and a short row lacks it.
  std::string shortRows = "station_id,observation_time,raw_text\n";
  int withoutReport = 0, rows = 0;
  {
    const std::size_t header = csv.find("raw_text,");
    std::size_t at = csv.find('\n', header) + 1;
    while (at < csv.size()) {
      const std::size_t end = csv.find('\n', at);
      const std::string line = csv.substr(at, end - at);
      at = end == std::string::npos ? csv.size() : end + 1;
      const std::size_t close = line.find("\",");
      if (line.empty() || line.front() != '"' || close == std::string::npos) continue;
      const std::string raw = line.substr(0, close + 1);
      std::size_t comma = line.find(',', close + 2);
      comma = line.find(',', comma + 1);
      const std::string idAndTime = line.substr(close + 2, comma - close - 2);
      if (rows++ % 4 == 0) {
        shortRows += idAndTime + "\n";
        ++withoutReport;
      } else {
        shortRows += idAndTime + "," + raw + "\n";
      }
    }
  }
  ASSERT_GT(withoutReport, 100);

  struct Case {
    const char* name;
    std::string bytes;
    const char* problem;  // in the status text
  };
  const Case cases[] = {
      {"gzip cut in half", served->substr(0, served->size() / 2), "cut short"},
      {"rows without raw_text", sample::gzipped(shortRows), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Serve(c.bytes);
    StartLive();
    const WeatherSnapshot full = readMetarCache(*served, session->allStations());
    ToggleWeather(Map());
    const WeatherSnapshot* shown = Feed().snapshot();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->stations.size(), expected.stations.size());
    EXPECT_GT(expected.stations.size(), 100u);
    EXPECT_LT(expected.stations.size(), full.stations.size());
    const std::string status = fromQString(StatusText(window));
    EXPECT_EQ(status, currentWeatherStatusText(expected, session->settings().timeUtc));
    if (c.problem != nullptr) {
      EXPECT_NE(status.find(c.problem), std::string::npos) << status;
    } else {
      EXPECT_GE(expected.skippedCount, withoutReport);
      EXPECT_NE(status.find(withThousands(expected.skippedCount) + " reports skipped"), std::string::npos) << status;
    }
    // What was read is on the map and answers the pointer.
    ExpectAnswersAt(Map(), expected.stations.front());
    ExpectAnswersAt(Map(), expected.stations.back());
    StopWindow();
  }
}

}  // namespace
}  // namespace nimbrel::test
