// The watched stations' tray icon: which category it shows, and what
// "Keep Running in Tray" does where the desktop has no tray (the offscreen
// platform has none).
#include <QDBusPendingCall>
#include <QSignalSpy>
#include <QSystemTrayIcon>

#include "MainWindowFixture.h"
#include "SampleService.h"
#include "charts/WeatherLayer.h"
#include "services/UserSettings.h"
#include "services/WatchService.h"
#include "services/WeatherFeed.h"
#include "support/NotificationServer.h"
#include "ui/WatchTray.h"

namespace nimbrel::test {
namespace {

WatchRow Row(const std::string& icao, FlightCategory category) {
  WatchRow row;
  row.icao = icao;
  row.category = category;
  return row;
}

TEST(WatchTrayTest, TheIconAndTooltipShowTheWorstWatchedCategory) {
  using C = FlightCategory;
  const struct {
    std::vector<WatchRow> rows;
    FlightCategory worst;
    const char* tooltip;
  } cases[] = {
      {{}, C::Unknown, "Nimbrel: no watched stations"},
      {{Row("KJFK", C::Unknown)}, C::Unknown, "Nimbrel: no flight category at the watched stations"},
      {{Row("KJFK", C::Unknown), Row("EGLL", C::VFR)}, C::VFR, "Nimbrel: VFR at EGLL"},
      {{Row("EGLL", C::VFR), Row("EGKK", C::MVFR), Row("KJFK", C::Unknown)}, C::MVFR, "Nimbrel: MVFR at EGKK"},
      {{Row("EGLL", C::MVFR), Row("EGKK", C::LIFR), Row("EHAM", C::IFR), Row("EDDF", C::LIFR)}, C::LIFR,
       "Nimbrel: LIFR at EGKK, EDDF"},
      {{Row("EHAM", C::IFR), Row("EGLL", C::VFR)}, C::IFR, "Nimbrel: IFR at EHAM"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WatchTray::worstCategory(c.rows), c.worst) << c.tooltip;
    EXPECT_EQ(WatchTray::tooltipText(c.rows), QString::fromLatin1(c.tooltip));
  }
  // The map's colours, grey for unknown, at the sizes trays ask for.
  for (const FlightCategory category : {C::VFR, C::MVFR, C::IFR, C::LIFR, C::Unknown}) {
    const Colour colour = flightCategoryColour(category);
    for (const int size : {16, 22, 32}) {
      const QImage image = WatchTray::categoryIcon(category).pixmap(size, size).toImage();
      EXPECT_EQ(image.pixelColor(size / 2, size / 2),
                QColor(colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff))
          << categoryName(category) << " at " << size;
      EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << "a disc, not a square";
    }
  }
}

class WatchTrayWindowTest : public MainWindowFixture {};

TEST_F(WatchTrayWindowTest, WithoutATrayKeepRunningSaysSoOnceAndClosingQuitsAsBefore) {
  if (QSystemTrayIcon::isSystemTrayAvailable()) GTEST_SKIP() << "this desktop has a tray";
  ASSERT_TRUE(storeKeepInTray(true));
  WriteStations({StationLine("LONDON HEATHROW", "EGLL", -0.45, 51.48)});
  StartWindow();
  auto* tray = Frame()->findChild<WatchTray*>();
  ASSERT_NE(tray, nullptr);
  const QString note = "Keep Running in Tray does nothing here: the desktop has no system tray";
  ASSERT_TRUE(WaitUntil([&] { return StatusText(Frame()) == note; }, 5000)) << StatusText(Frame()).toStdString();

  // Said once: turning the setting off and on again, and closing, say nothing more.
  QSignalSpy notes(tray, &WatchTray::statusNote);
  QAction* keep = tray->keepInTrayAction();
  EXPECT_TRUE(keep->isChecked());
  keep->setChecked(false);
  EXPECT_FALSE(readStoredKeepInTray());
  keep->setChecked(true);
  EXPECT_TRUE(readStoredKeepInTray());

  // "Quiet Alerts" of the View menu is the tray's.
  QSignalSpy quiet(tray, &WatchTray::quietToggled);
  QAction* quietAction = ActionOf(Frame(), "quietAlertsAction");
  EXPECT_EQ(quietAction, tray->quietAction());
  quietAction->trigger();
  ASSERT_EQ(quiet.count(), 1);
  EXPECT_TRUE(quiet[0][0].toBool());
  tray->setQuiet(false);  // as the watch says it
  EXPECT_FALSE(quietAction->isChecked());

  // The window closes (not hidden) and the program would end with it.
  EXPECT_TRUE(Frame()->close());
  EXPECT_FALSE(Frame()->isVisible());
  EXPECT_TRUE(QApplication::quitOnLastWindowClosed());
  EXPECT_EQ(notes.count(), 0);
}

// The whole way from the world file to the desktop: the sample service
// replays the real day of 14 November 2010 held back two hours, so that
// Portland (KPDX) last reported IFR (SCT002 OVC008, 10:53Z); an hour on its
// 11:53Z report has BKN002, LIFR, and its 12:53Z one is IFR again.
class WatchAlertFlowTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    ASSERT_TRUE(server.start());
    std::string error;
    ASSERT_TRUE(service.loadMetarDay(NIMBREL_METAR_DAY, error)) << error;
    service.holdBack(120);
    ASSERT_TRUE(service.start(0));
    ASSERT_TRUE(storeWatchList({"KPDX"}));
    ASSERT_TRUE(storeWatchQuiet(false));
    WriteStationList(kList);
    session = std::make_unique<Session>();
    session->setMetarUrl("http://127.0.0.1:" + std::to_string(service.listeningPort()));
    // The feed's clock moves on with each download the test asks for.
    session->weatherFeed().setClock([this] { return feedNow; });
    window = std::make_unique<MainWindow>(*session);
    window->messageHook = [this](const std::string& text) { messages.push_back(text); };
    window->start();
    watch = &session->watchService();
  }
  void TearDown() override {
    StopWindow();
    storeWatchList({});
    MainWindowFixture::TearDown();
  }

  FlightCategory Category() const {
    for (const WatchRow& row : watch->rows())
      if (row.icao == "KPDX") return row.category;
    return FlightCategory::Unknown;
  }
  // The world file read again, ten minutes on; true once KPDX shows `expected`.
  bool Download(FlightCategory expected) {
    feedNow += 10 * 60 * 1000;
    const int before = session->weatherFeed().downloadCount();
    session->weatherFeed().refresh();
    return WaitUntil([&] {
      return session->weatherFeed().downloadCount() > before && !session->weatherFeed().isLoading() &&
             !watch->isReadingStore() && Category() == expected;
    }, 10000);
  }
  // A call through the notifier's own connection: once it is answered,
  // every notification sent before it has reached the server.
  bool BusRoundTrip() {
    const QDBusPendingCall call = QDBusConnection::sessionBus().asyncCall(QDBusMessage::createMethodCall(
        NotificationServer::kService, NotificationServer::kPath, NotificationServer::kService,
        QStringLiteral("GetServerInformation")));
    return WaitUntil([&] { return call.isFinished(); }, 5000) && !call.isError();
  }

  static constexpr const char* kList =
      "OR PORTLAND INTL    KPDX  PDX   72698  45 35N  122 36W   12   X     T          7 US\n";
  NotificationServer server;
  sample::SampleService service{kList};
  WatchService* watch = nullptr;
  qint64 feedNow = QDateTime::currentMSecsSinceEpoch();
};

TEST_F(WatchAlertFlowTest, ACategoryChangeNotifiesExactlyOnceNotAgainNorWhileQuietAndTheClickOpensTheChart) {
  ASSERT_TRUE(WaitUntil([&] { return Category() == FlightCategory::IFR && !watch->isReadingStore(); }, 10000));
  ASSERT_TRUE(BusRoundTrip());
  EXPECT_EQ(server.count(), 0u) << "the first report seen is where the station starts from";

  service.advance(60);
  ASSERT_TRUE(Download(FlightCategory::LIFR));
  ASSERT_TRUE(WaitUntil([&] { return server.count() >= 1; }, 5000));
  ASSERT_TRUE(BusRoundTrip());
  ASSERT_EQ(server.count(), 1u);
  const ReceivedNotification note = server.received()[0];
  EXPECT_EQ(note.app, "Nimbrel");
  EXPECT_EQ(note.summary, "KPDX: IFR to LIFR");
  EXPECT_TRUE(note.body.startsWith("IFR to LIFR\n")) << note.body.toStdString();
  EXPECT_TRUE(note.body.contains("KPDX")) << note.body.toStdString();
  EXPECT_TRUE(note.body.contains("BKN002 OVC008")) << note.body.toStdString();

  // The same file once more: nothing new.
  ASSERT_TRUE(Download(FlightCategory::LIFR));
  ASSERT_TRUE(BusRoundTrip());
  EXPECT_EQ(server.count(), 1u);

  // Quiet Alerts from the View menu: the next change is read, not told.
  ActionOf(Frame(), "quietAlertsAction")->trigger();
  EXPECT_TRUE(watch->isQuiet());
  service.advance(20);
  ASSERT_TRUE(Download(FlightCategory::IFR));
  ASSERT_TRUE(BusRoundTrip());
  EXPECT_EQ(server.count(), 1u);

  // A click on the notification brings the window back with Portland's chart.
  Frame()->hide();
  QSignalSpy opened(Frame(), &MainWindow::stationChartOpened);
  server.click(note.id);
  ASSERT_TRUE(opened.wait(10000));
  StationChartView* chart = LastView<StationChartView>();
  ASSERT_NE(chart, nullptr);
  EXPECT_TRUE(TitleOf(chart).contains("PORTLAND")) << TitleOf(chart).toStdString();
  EXPECT_TRUE(Frame()->isVisible());
}

}  // namespace
}  // namespace nimbrel::test
