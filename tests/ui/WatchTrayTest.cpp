// The watched stations' tray icon: which category it shows, and what
// "Keep Running in Tray" does where the desktop has no tray (the offscreen
// platform has none).
#include <QSignalSpy>
#include <QSystemTrayIcon>

#include "MainWindowFixture.h"
#include "charts/WeatherLayer.h"
#include "services/UserSettings.h"
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

}  // namespace
}  // namespace nimbrel::test
