// The main window: start-up, the child windows and their sizes, the two
// menu sets, the action states, the toolbar, status bar and busy cursor,
// the exception guard and the command line.
#include <QAction>
#include <QToolButton>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "MainWindowFixture.h"
#include "support/Gzip.h"
#include "support/LocalHttpServer.h"
#include "support/ReadFile.h"
#include "ui/Application.h"
#include "services/UserSettings.h"
#include "services/ReportStoreSettings.h"
#include "ui/ParametersDialog.h"
#include "ui/BrowserView.h"
#include "services/StationListUpdater.h"
#include "ui/StationTableModel.h"
#include "ui/StationTableView.h"
#include "ui/WorldMapView.h"

namespace nimbrel::test {
namespace {

QStringList MenuTitles(QMenuBar* bar) {
  QStringList titles;
  for (QAction* action : bar->actions()) titles << action->text();
  return titles;
}

QStringList MenuEntries(QMenuBar* bar, const QString& title) {
  QStringList entries;
  for (QAction* action : bar->actions()) {
    if (action->text() != title || action->menu() == nullptr) continue;
    for (QAction* item : action->menu()->actions()) {
      if (item->isVisible()) entries << (item->isSeparator() ? QStringLiteral("-") : item->text());
    }
  }
  return entries;
}

// The actions that follow the active window, enabled or not, in one text:
// "+" enabled, "-" disabled, "*" checked.
QString ActionStates(MainWindow* w) {
  QString states;
  for (QAction* action : {ActionOf(w, "parametersAction"), ActionOf(w, "markAllStationsAction"), ActionOf(w, "showAllStationsAction"),
                          ActionOf(w, "findStationAction"), ActionOf(w, "printAction"), ActionOf(w, "printPreviewAction")}) {
    states += action->isEnabled() ? QLatin1Char('+') : QLatin1Char('-');
    if (action->isChecked()) states += QLatin1Char('*');
  }
  return states;
}

class MainWindowTest : public MainWindowFixture {
 protected:
  void Start() {
    WriteStations({StationLine("ZURICH-KLOTEN", "LSZH", 8.55, 47.46), StationLine("BERN", "LSZB", 7.5, 46.9)});
    StartWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Frame()));
  }
};

TEST_F(MainWindowTest, StartUpReadsTheListAndOpensOneWorldMapOfMapSize) {
  WriteStations({StationLine("ZURICH-KLOTEN", "LSZH", 8.55, 47.46)});
  StartWindow();
  // The list is read before start() returns.
  ASSERT_EQ(session->allStations().size(), 1u);
  EXPECT_EQ(session->allStations()[0].icao, "LSZH");
  EXPECT_EQ(session->allStations()[0].latText, "47 28N");
  EXPECT_TRUE(messages.empty());

  ASSERT_EQ(Children().size(), 1);
  auto* view = qobject_cast<WorldMapView*>(Children().first()->widget());
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(TitleOf(view), QStringLiteral("World Map"));
  EXPECT_EQ(view->size(), QSize(550, 350));
  EXPECT_TRUE(Frame()->isVisible());
  EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("Nimbrel - World Map"));
  // 800 x 800 where the screen has room for it, frame and all.
  const QRect free = Frame()->screen()->availableGeometry();
  const QSize frame = Frame()->frameGeometry().size() - Frame()->size();
  EXPECT_EQ(Frame()->size(), QSize(800, 800).boundedTo(free.size() - frame));
  EXPECT_TRUE(WaitUntil([&] { return free.contains(Frame()->frameGeometry()); }));
  EXPECT_EQ(ActiveView(Frame()), view);
}

TEST_F(MainWindowTest, AMissingStationListIsReportedAndTheMapStillOpens) {
  StartWindow();
  ASSERT_EQ(messages.size(), 1u);
  // The message names the file and where it was looked for, the working folder first.
  EXPECT_EQ(messages[0].rfind("Can not open a file \"Stations.txt\". Looked in: " +
                                  QDir(workDir.path()).filePath(QStringLiteral("Stations.txt")).toStdString(),
                              0),
            0u)
      << messages[0];
  EXPECT_TRUE(session->allStations().empty());
  EXPECT_EQ(Views<WorldMapView>().size(), 1u);
  EXPECT_FALSE(WaitCursorShown());
}

// File > Update Station List: the service's list replaces the user's own
// list, the catalogue and the open table at once; a cut download changes
// nothing.
TEST_F(MainWindowTest, UpdateStationListReplacesTheUsersListAndTheOpenTable) {
  QTemporaryDir data;
  ASSERT_TRUE(data.isValid());
  const std::filesystem::path userList = std::filesystem::path(data.path().toStdString()) / "nimbrel" / "Stations.txt";
  std::filesystem::create_directories(userList.parent_path());
  std::ofstream(userList) << StationLine("OLD A", "AAAA", 8.5, 47.5, "") + "\n" + StationLine("OLD B", "BBBB") + "\n" +
                                 StationLine("OLD C", "CCCC") + "\n";
  const QByteArray previous = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
  struct Restore {
    QByteArray value;
    ~Restore() { value.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", value); }
  } restore{previous};

  std::string json = "[";
  for (const char* icao : {"AAAA", "BBBB", "DDDD", "EEEE"})
    json += std::string(json.size() > 1 ? "," : "") + R"({"icaoId":")" + icao +
            R"(","site":"New","lat":47.5,"lon":8.5,"elev":5,"country":"CH","siteType":["METAR"]})";
  const std::string gz = Gzipped(json + "]");
  LocalHttpServer server;
  server.Serve("/data/cache/stations.cache.json.gz", gz, "application/x-gzip");
  server.Serve("/cut/data/cache/stations.cache.json.gz", gz.substr(0, gz.size() / 2), "application/x-gzip");
  ASSERT_TRUE(server.start());

  StartWindow();
  ASSERT_EQ(session->allStations().size(), 3u);
  StationTableView* table = Frame()->openAllStationsTable();
  // A table of found stations: each gets its new record, a station gone stays.
  StationTableView* found = Frame()->openResultTable({session->allStations()[0], session->allStations()[2]});
  QSignalSpy finished(Frame()->findChild<StationListUpdater*>(), &StationListUpdater::finished);
  // The box itself: news of a list written, a warning when nothing changed.
  Frame()->messageHook = nullptr;
  const auto update = [&](const std::string& url) {
    std::pair<QMessageBox::Icon, std::string> shown{QMessageBox::NoIcon, ""};
    ModalWatch<QMessageBox> box([&shown](QMessageBox* b) {
      shown = {b->icon(), b->text().toStdString()};
      b->accept();
    });
    session->setMetarUrl(url);
    ActionOf(Frame(), "updateStationListAction")->trigger();
    EXPECT_TRUE(finished.wait(10000));
    EXPECT_TRUE(box.seen());
    return shown;
  };
  const auto [icon, text] = update(server.Url(""));
  EXPECT_EQ(icon, QMessageBox::Information);
  EXPECT_EQ(text.rfind("4 stations: 2 new, 1 gone, 1 elevation added.", 0), 0u) << text;
  EXPECT_EQ(session->allStations().size(), 4u);
  EXPECT_EQ(table->rowCount(), 4);
  ASSERT_EQ(found->rowCount(), 2);
  std::vector<std::string> foundNames;
  for (int r = 0; r < found->rowCount(); ++r) foundNames.push_back(found->model()->stationAt(r).name);
  std::sort(foundNames.begin(), foundNames.end());
  EXPECT_EQ(foundNames, (std::vector<std::string>{"NEW", "OLD C"}));
  const std::string written = ReadAll(userList);
  EXPECT_NE(written.find("NEW" + std::string(14, ' ') + "DDDD"), std::string::npos);

  const auto [cutIcon, cutText] = update(server.Url("/cut"));
  EXPECT_EQ(cutIcon, QMessageBox::Warning);
  EXPECT_NE(cutText.find("cut short"), std::string::npos) << cutText;
  EXPECT_EQ(ReadAll(userList), written);
  EXPECT_EQ(session->allStations().size(), 4u);
}

TEST_F(MainWindowTest, ChildWindowsHaveTheirClientSizesAndTitles) {
  Start();
  StationTableView* all = Frame()->openAllStationsTable();
  ASSERT_NE(all, nullptr);
  EXPECT_EQ(all->size(), QSize(501, 608));
  EXPECT_EQ(TitleOf(all), QStringLiteral("All stations"));
  EXPECT_EQ(all->rowCount(), 2);

  StationTableView* result = Frame()->openResultTable({MakeStation("BERN", "LSZB")});
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(result->size(), QSize(501, 408));
  EXPECT_EQ(TitleOf(result), QStringLiteral("Nearest stations"));
  EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("Nimbrel - Nearest stations"));

  WorldMapView* map = Frame()->openWorldMap();
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(map->size(), QSize(550, 350));

  BrowserView* page = Frame()->openBrowser(QStringLiteral("http://127.0.0.1/page.html"));
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->url(), QStringLiteral("http://127.0.0.1/page.html"));
  EXPECT_EQ(TitleOf(page), QStringLiteral("http://127.0.0.1/page.html"));
  EXPECT_EQ(Children().size(), 5);
  EXPECT_FALSE(WaitCursorShown());
}

TEST_F(MainWindowTest, NewWindowsStayInsideTheVisibleArea) {
  Start();
  // Each new window is placed further down and right than the last.
  for (int i = 0; i < 8; ++i) Frame()->openWorldMap();
  Frame()->openAllStationsTable();
  const QRect visible(QPoint(0, 0), AreaOf(Frame())->viewport()->size());
  for (QMdiSubWindow* child : Children()) {
    const QRect placed = child->geometry();
    if (placed.width() > visible.width() || placed.height() > visible.height()) {
      EXPECT_EQ(placed.topLeft(), QPoint(0, 0)) << "a window too big for the area starts at its corner";
    } else {
      EXPECT_TRUE(visible.contains(placed)) << placed.x() << "," << placed.y() << " " << placed.width() << "x"
                                            << placed.height();
    }
  }
}

// A window opened over a maximised one is maximised too, and restores to
// its own size inside the area; Cascade after Tile gives every window its
// own size back; the Window menu lists the open windows, the active checked.
TEST_F(MainWindowTest, WindowsKeepTheirSizesThroughMaximiseTileAndCascadeAndAreListed) {
  Start();
  QMdiSubWindow* first = Children().front();
  const QSize mapSize = first->size();
  first->showMaximized();
  Frame()->openWorldMap();
  QMdiSubWindow* second = AreaOf(Frame())->activeSubWindow();
  ASSERT_NE(second, first);
  EXPECT_TRUE(second->isMaximized());
  second->showNormal();
  const QRect visible(QPoint(0, 0), AreaOf(Frame())->viewport()->size());
  EXPECT_EQ(second->size(), mapSize);
  EXPECT_TRUE(visible.contains(second->geometry())) << second->x() << "," << second->y();
  Frame()->openAllStationsTable();
  QMdiSubWindow* table = AreaOf(Frame())->activeSubWindow();
  const QSize tableSize = table->size();

  QMenu* windowMenu = nullptr;
  Activate(second->widget());
  for (QAction* action : Frame()->menuBar()->actions())
    if (action->text() == QStringLiteral("&Window")) windowMenu = action->menu();
  ASSERT_NE(windowMenu, nullptr);
  auto command = [windowMenu](const QString& text) {
    for (QAction* action : windowMenu->actions())
      if (action->text() == text) return action;
    return static_cast<QAction*>(nullptr);
  };
  command(QStringLiteral("&Tile"))->trigger();
  command(QStringLiteral("&Cascade"))->trigger();
  for (QMdiSubWindow* sub : Children()) {
    EXPECT_FALSE(sub->isMaximized());
    EXPECT_EQ(sub->size(), sub == table ? tableSize : mapSize) << sub->windowTitle().toStdString();
  }

  emit windowMenu->aboutToShow();
  QStringList listed;
  for (QAction* action : windowMenu->actions())
    if (action->isVisible() && action->isCheckable())
      listed << action->text() + (action->isChecked() ? QStringLiteral(" *") : QString());
  EXPECT_EQ(listed, (QStringList{"&1 World Map", "&2 World Map *", "&3 All stations"}));
  command(QStringLiteral("&1 World Map"))->trigger();
  EXPECT_EQ(AreaOf(Frame())->activeSubWindow(), first);
}

TEST_F(MainWindowTest, NewRightAfterStartUpOpensASecondWorldMap) {
  Start();
  QTest::keyClick(Frame(), Qt::Key_N, Qt::ControlModifier);
  ASSERT_EQ(Children().size(), 2);
  EXPECT_NE(qobject_cast<WorldMapView*>(Children().last()->widget()), nullptr);
  EXPECT_TRUE(fetched.empty());
}

TEST_F(MainWindowTest, WorldMapCommandTwiceOpensTwoMaps) {
  Start();
  CloseAllChildren();
  ASSERT_TRUE(Children().isEmpty());
  ActionOf(Frame(), "worldMapAction")->trigger();
  ActionOf(Frame(), "worldMapAction")->trigger();
  EXPECT_EQ(Views<WorldMapView>().size(), 2u);
  EXPECT_EQ(Children().size(), 2);
}

TEST_F(MainWindowTest, MenusSwitchWithTheActiveWindow) {
  Start();
  QMenuBar* bar = Frame()->menuBar();
  // A world map is active: the map and chart menu, with its window menu.
  EXPECT_FALSE(ShowsFrameMenu(Frame()));
  EXPECT_EQ(MenuTitles(bar), (QStringList{"&File", "&View", "&Window", "&Help"}));
  EXPECT_EQ(MenuEntries(bar, "&View"),
            (QStringList{"&Toolbar", "&Status Bar", "-", "Mark all stations", "Show all stations", "Parameters",
                         "Find station", "Watched Stations", "Personal Minima...", "-", "Current weather",
                         "Colour by temperature", "Show on &Map", "-",
                         "Zoom &In", "Zoom &Out", "&Whole World", "-", "&Aviation Panel", "&Reports", "-", "&Quiet Alerts"}));
  EXPECT_EQ(MenuEntries(bar, "&Window"), (QStringList{"&Cascade", "&Tile", "&Arrange Icons"})) << "listed on showing";
  EXPECT_EQ(MenuEntries(bar, "&Help"), (QStringList{"&Help Topics", "-", "&About Nimbrel..."}));
  EXPECT_EQ(MenuEntries(bar, "&File"), (QStringList{"&Update Station List", "Save Map &Picture...", "Export Chart &Data...",
                                                 "Save as P&DF...", "-", "&Close", "E&xit"}))
      << "no recent entries yet";

  // A table made active after a map brings the frame's menu: "World Map"
  // stays at hand whenever no map or chart is active.
  Frame()->openAllStationsTable();
  ASSERT_NE(qobject_cast<StationTableView*>(ActiveView(Frame())), nullptr);
  EXPECT_TRUE(ShowsFrameMenu(Frame()));
  EXPECT_EQ(MenuTitles(bar), (QStringList{"&File", "&View", "&Help"}));
  EXPECT_EQ(MenuEntries(bar, "&View"), (QStringList{"&Toolbar", "&Status Bar", "-", "World Map", "Watched Stations",
                                                      "Personal Minima...", "-", "&Quiet Alerts"}));
  // Back on the map, the map's menu again.
  Activate(LastView<WorldMapView>());
  EXPECT_FALSE(ShowsFrameMenu(Frame()));
  EXPECT_EQ(MenuTitles(bar), (QStringList{"&File", "&View", "&Window", "&Help"}));

  // The last child gone: the frame's own menu, with "World Map".
  CloseAllChildren();
  EXPECT_TRUE(ShowsFrameMenu(Frame()));
  EXPECT_EQ(MenuTitles(bar), (QStringList{"&File", "&View", "&Help"}));
  EXPECT_EQ(MenuEntries(bar, "&View"), (QStringList{"&Toolbar", "&Status Bar", "-", "World Map", "Watched Stations",
                                                      "Personal Minima...", "-", "&Quiet Alerts"}));
  EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("Nimbrel"));

  // With only a table open, "World Map" from the View menu opens a map,
  // which brings its own menu again.
  Frame()->openAllStationsTable();
  EXPECT_TRUE(ShowsFrameMenu(Frame()));
  EXPECT_EQ(MenuEntries(bar, "&View"), (QStringList{"&Toolbar", "&Status Bar", "-", "World Map", "Watched Stations",
                                                      "Personal Minima...", "-", "&Quiet Alerts"}));
  ASSERT_TRUE(Views<WorldMapView>().empty());
  ActionOf(Frame(), "worldMapAction")->trigger();
  EXPECT_EQ(Views<WorldMapView>().size(), 1u);
  EXPECT_FALSE(ShowsFrameMenu(Frame()));
  EXPECT_EQ(MenuTitles(bar), (QStringList{"&File", "&View", "&Window", "&Help"}));
}

TEST_F(MainWindowTest, ActionsFollowTheActiveWindow) {
  Start();
  // Order: Parameters, Mark all, Show all, Find, Print, Print Preview.
  WorldMapView* map = LastView<WorldMapView>();
  EXPECT_EQ(ActionStates(Frame()), QStringLiteral("++++++"));

  ActionOf(Frame(), "markAllStationsAction")->trigger();
  EXPECT_TRUE(map->marksAllStations());
  EXPECT_EQ(ActionStates(Frame()), QStringLiteral("++*++++"));

  // A table finds in its rows; nothing else applies to it.
  StationTableView* table = Frame()->openAllStationsTable();
  EXPECT_EQ(ActiveView(Frame()), table);
  EXPECT_EQ(ActionStates(Frame()), QStringLiteral("---+--"));

  // Back on the map, its mark is checked again.
  Activate(map);
  EXPECT_EQ(ActionStates(Frame()), QStringLiteral("++*++++"));
  ActionOf(Frame(), "markAllStationsAction")->trigger();
  EXPECT_FALSE(map->marksAllStations());
  EXPECT_EQ(ActionStates(Frame()), QStringLiteral("++++++"));

  // A second map has its own mark.
  map->setMarkAllStations(true);
  WorldMapView* second = Frame()->openWorldMap();
  EXPECT_FALSE(second->marksAllStations());
  EXPECT_EQ(ActionStates(Frame()), QStringLiteral("++++++"));

  CloseAllChildren();
  EXPECT_EQ(ActiveView(Frame()), nullptr);
  EXPECT_EQ(ActionStates(Frame()), QStringLiteral("------"));
  // Triggered without a window they do nothing.
  messages.clear();
  for (QAction* action : {ActionOf(Frame(), "markAllStationsAction"), ActionOf(Frame(), "showAllStationsAction"),
                          ActionOf(Frame(), "findStationAction"), ActionOf(Frame(), "parametersAction")})
    action->trigger();
  EXPECT_TRUE(Children().isEmpty());
  EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowTest, CloseActionClosesTheActiveChild) {
  Start();
  StationTableView* table = Frame()->openAllStationsTable();
  ASSERT_EQ(ActiveView(Frame()), table);
  ActionOf(Frame(), "closeAction")->trigger();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QApplication::processEvents();
  EXPECT_TRUE(Views<StationTableView>().empty());
  EXPECT_EQ(Views<WorldMapView>().size(), 1u);
}

TEST_F(MainWindowTest, WindowMenuArrangesTheMinimizedWindowsAlongTheBottom) {
  Start();
  // The window menu belongs to the map and chart menu set: a map ends up active.
  Frame()->openAllStationsTable();
  Frame()->openWorldMap();
  QMenu* windowMenu = nullptr;
  for (QAction* action : Frame()->menuBar()->actions())
    if (action->text() == QStringLiteral("&Window")) windowMenu = action->menu();
  ASSERT_NE(windowMenu, nullptr);
  const QList<QMdiSubWindow*> children = Children();
  ASSERT_EQ(children.size(), 3);
  children[0]->showMinimized();
  children[2]->showMinimized();
  for (QAction* action : windowMenu->actions())
    if (action->text() == QStringLiteral("&Arrange Icons")) action->trigger();
  const int bottom = AreaOf(Frame())->viewport()->height();
  EXPECT_EQ(children[0]->geometry().bottomLeft(), QPoint(0, bottom - 1));
  EXPECT_EQ(children[2]->geometry().bottomLeft(), QPoint(children[0]->width(), bottom - 1));
  EXPECT_FALSE(children[1]->isMinimized());
}

TEST_F(MainWindowTest, ToolbarHoldsTheViewCommandsAndCurrentWeather) {
  Start();
  QStringList texts;
  for (QAction* action : ToolBarOf(Frame())->actions()) {
    if (action->isSeparator()) {
      texts << QStringLiteral("-");
      continue;
    }
    // The "Go to" field is a widget of its own, named.
    if (QWidget* widget = ToolBarOf(Frame())->widgetForAction(action);
        widget != nullptr && qobject_cast<QToolButton*>(widget) == nullptr) {
      texts << widget->objectName();
      continue;
    }
    texts << action->text();
    EXPECT_FALSE(action->icon().isNull()) << action->text().toStdString();
  }
  EXPECT_EQ(texts, (QStringList{"Parameters", "Mark all stations", "Show all stations", "Find station", "-",
                                "Current weather", "Watched Stations", "-", "goToField"}));
  EXPECT_EQ(ActionOf(Frame(), "parametersAction")->toolTip(), QStringLiteral("Show Parameters Dialog"));
  EXPECT_EQ(ActionOf(Frame(), "showAllStationsAction")->toolTip(), QStringLiteral("Show all stations table"));
  EXPECT_EQ(ToolBarOf(Frame())->iconSize(), QSize(17, 18));
  EXPECT_TRUE(ToolBarOf(Frame())->isVisible());
}

TEST_F(MainWindowTest, ViewMenuShowsAndHidesTheToolbarAndStatusBar) {
  Start();
  QMenu* view = nullptr;
  for (QAction* action : Frame()->menuBar()->actions())
    if (action->text() == QStringLiteral("&View")) view = action->menu();
  ASSERT_NE(view, nullptr);
  auto item = [view](const char* text) {
    for (QAction* action : view->actions())
      if (action->text() == QString::fromLatin1(text)) return action;
    return static_cast<QAction*>(nullptr);
  };
  QAction* toolbar = item("&Toolbar");
  QAction* statusBar = item("&Status Bar");
  ASSERT_NE(toolbar, nullptr);
  ASSERT_NE(statusBar, nullptr);
  // Opening the menu checks what is shown.
  emit view->aboutToShow();
  EXPECT_TRUE(toolbar->isChecked());
  EXPECT_TRUE(statusBar->isChecked());
  toolbar->trigger();
  statusBar->trigger();
  EXPECT_FALSE(ToolBarOf(Frame())->isVisible());
  EXPECT_FALSE(Frame()->statusBar()->isVisible());
  emit view->aboutToShow();
  EXPECT_FALSE(toolbar->isChecked());
  toolbar->trigger();
  EXPECT_TRUE(ToolBarOf(Frame())->isVisible());
  EXPECT_FALSE(Frame()->statusBar()->isVisible());
}

// A long message, the pane's or a menu prompt's, has the bar's whole width:
// no lock panes take its right end, and it does not widen the window.
TEST_F(MainWindowTest, StatusBarMessagesHaveTheWholeWidth) {
  Start();
  EXPECT_EQ(StatusText(Frame()), QStringLiteral("Ready"));
  Frame()->setStatusText("  000 21E,  90 00N");
  EXPECT_EQ(StatusText(Frame()), QStringLiteral("  000 21E,  90 00N"));
  QStatusBar* bar = Frame()->statusBar();
  for (const char* name : {"CAP", "NUM", "SCRL"}) EXPECT_EQ(bar->findChild<QLabel*>(QString::fromLatin1(name)), nullptr) << name;
  Frame()->resize(640, 480);
  QApplication::processEvents();
  const int width = Frame()->width();
  const std::string longText =
      "Current weather: offline, reports up to 23:45 UTC; the download failed: the host could not be reached, "
      "and the next try comes in five minutes";
  Frame()->setStatusText(longText);
  QApplication::processEvents();
  EXPECT_EQ(Frame()->width(), width);
  auto* pane = bar->findChild<QLabel*>(QStringLiteral("messagePane"));
  ASSERT_NE(pane, nullptr);
  // Nothing but the size grip right of the message.
  for (const QWidget* other : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (other != pane && other->isVisible() && other->width() > 0) {
      EXPECT_GE(other->x(), pane->geometry().right()) << other->objectName().toStdString();
    }
  }
  EXPECT_GE(pane->geometry().right(), bar->width() - 40);
  // Nor does it keep the window from being made narrower.
  Frame()->resize(360, 480);
  QApplication::processEvents();
  EXPECT_EQ(Frame()->width(), 360);
  Frame()->resize(width, 480);
  QApplication::processEvents();
  // A menu prompt shows over the whole bar too, with no pane of its own left in its way.
  bar->showMessage(QString::fromStdString(longText));
  QApplication::processEvents();
  for (const QWidget* other : bar->findChildren<QLabel*>())
    EXPECT_FALSE(other->isVisible()) << other->objectName().toStdString();
  bar->clearMessage();
  QApplication::processEvents();
  EXPECT_EQ(StatusText(Frame()), QString::fromStdString(longText));
}

TEST_F(MainWindowTest, FreshStartHasTheDefaultSettingsAndTheyAreNotKept) {
  Start();
  // The defaults but for the report source, which these tests choose.
  Settings defaults;
  defaults.reportSource = ReportSource::kReportPages;
  EXPECT_TRUE(session->settings() == defaults);
  const Settings& s = session->settings();
  EXPECT_TRUE(s.showTemperature && s.showPressure && s.showWindSpeed && s.showWindDirection);
  EXPECT_FALSE(s.timeUtc);
  EXPECT_FALSE(s.writeMeteodata);
  EXPECT_TRUE(s.metricStyle);
  EXPECT_EQ(s.pastHours, 6);
  EXPECT_EQ(s.nearestMinutes, 90.0);
  // Settings live in memory only: a changed one is gone after a restart.
  ChangeSettings(*session, [&](Settings& s) { s.pastHours = 24; });
  StopWindow();
  Start();
  EXPECT_EQ(session->settings().pastHours, 6);
}

TEST_F(MainWindowTest, WaitCursorIsACounter) {
  Start();
  Frame()->beginWaitCursor();
  Frame()->beginWaitCursor();
  EXPECT_NE(QApplication::overrideCursor(), nullptr);
  Frame()->endWaitCursor();
  EXPECT_NE(QApplication::overrideCursor(), nullptr);
  Frame()->endWaitCursor();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  Frame()->endWaitCursor();  // one too many does not go below zero
  EXPECT_FALSE(WaitCursorShown());
  Frame()->beginWaitCursor();
  EXPECT_NE(QApplication::overrideCursor(), nullptr);
  Frame()->endWaitCursor();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// About names the version, the licence and the data sources; its link to
// the manual opens the manual once the box is closed.
TEST_F(MainWindowTest, AboutBoxShowsTheVersionSourcesAndLeadsToTheManual) {
  Start();
  // The store opens on a worker; the About box does not wait for it.
  QTRY_VERIFY(session->sources().storeSummary() != QStringLiteral("Report store: opening"));
  QStringList texts;
  ModalWatch<QDialog> about([&texts](QDialog* dialog) {
    for (const QLabel* label : dialog->findChildren<QLabel*>())
      if (!label->text().isEmpty()) texts << label->text();
    auto* sources = dialog->findChild<QLabel*>(QStringLiteral("aboutSources"));
    ASSERT_NE(sources, nullptr);
    emit sources->linkActivated(QStringLiteral("manual"));
  });
  ActionOf(Frame(), "aboutAction")->trigger();
  ASSERT_TRUE(about.seen());
  EXPECT_EQ(about.title, QStringLiteral("About Nimbrel"));
  ASSERT_EQ(texts.size(), 3);
  EXPECT_EQ(texts[0], QStringLiteral("Nimbrel Version 1.0"));
  EXPECT_EQ(texts[1], QStringLiteral("Report store: 0 reports of 0 stations"));
  for (const char* named : {"MIT License", "https://aviationweather.gov", "Natural Earth"})
    EXPECT_TRUE(texts[2].contains(QLatin1String(named))) << named;
  auto* manual = qobject_cast<BrowserView*>(AreaOf(Frame())->activeSubWindow()->widget());
  ASSERT_NE(manual, nullptr);
  EXPECT_EQ(manual->url(), QStringLiteral("qrc:/manual/en/index.md"));
  // A store that works shows no pane of its own.
  EXPECT_FALSE(Frame()->findChild<QLabel*>(QStringLiteral("storePane"))->isVisible());
}

// A store that can not be opened says so on the status bar for as long as
// it is off, whatever the message pane shows after, and in the About box.
TEST_F(MainWindowTest, StoreOffStaysShownOnTheStatusBarAndInAbout) {
  ASSERT_TRUE(QDir(workDir.path()).mkpath(QStringLiteral("data/nimbrel/reports.sqlite")));
  Start();
  auto* pane = Frame()->findChild<QLabel*>(QStringLiteral("storePane"));
  ASSERT_NE(pane, nullptr);
  QTRY_VERIFY(pane->isVisible());
  EXPECT_EQ(pane->text(), QStringLiteral("Store off"));
  EXPECT_TRUE(pane->toolTip().contains(QStringLiteral("not a file"))) << pane->toolTip().toStdString();
  Frame()->setStatusText("Ready");
  QTest::qWait(2500);
  EXPECT_TRUE(pane->isVisible());
  QString summary;
  ModalWatch<QDialog> about([&summary](QDialog* dialog) {
    for (const QLabel* label : dialog->findChildren<QLabel*>())
      if (label->text().startsWith(QStringLiteral("Report store"))) summary = label->text();
    dialog->accept();
  });
  ActionOf(Frame(), "aboutAction")->trigger();
  ASSERT_TRUE(about.seen());
  EXPECT_TRUE(summary.startsWith(QStringLiteral("Report store: off. "))) << summary.toStdString();
}

// Parameters show the store's limits with what it holds; OK applies them
// at once and keeps them for the next run. Settings written by hand that
// are out of range give the defaults.
TEST_F(MainWindowTest, ParametersSetTheStoreLimitsForThisRunAndTheNext) {
  Start();
  QTRY_VERIFY(session->sources().storeSummary() != QStringLiteral("Report store: opening"));
  ModalWatch<ParametersDialog> parameters([](ParametersDialog* dialog) {
    EXPECT_TRUE(dialog->findChild<QGroupBox*>(QStringLiteral("storeGroup"))->isVisible());
    EXPECT_EQ(dialog->retentionBox->value(), 30);
    EXPECT_EQ(dialog->sizeLimitBox->value(), 500);
    EXPECT_TRUE(dialog->storeUsage->text().contains(QStringLiteral("0 reports of 0 stations")))
        << dialog->storeUsage->text().toStdString();
    dialog->retentionBox->setValue(10);
    dialog->sizeLimitBox->setValue(200);
    dialog->okButton->click();
  });
  ActionOf(Frame(), "parametersAction")->trigger();
  ASSERT_TRUE(parameters.seen());
  EXPECT_EQ(session->sources().storeLimits().retentionDays, 10);
  EXPECT_EQ(session->sources().storeLimits().sizeLimitMegabytes, 200);
  {
    ReportSources next;
    EXPECT_EQ(next.storeLimits().retentionDays, 10);
    EXPECT_EQ(next.storeLimits().sizeLimitMegabytes, 200);
  }
  {
    const std::unique_ptr<QSettings> stored = openUserSettings();
    ASSERT_NE(stored, nullptr);
    stored->setValue(QStringLiteral("Store/RetentionDays"), -5);
    stored->setValue(QStringLiteral("Store/SizeLimitMB"), QStringLiteral("17592186044416"));
  }
  {
    ReportSources next;
    EXPECT_EQ(next.storeLimits().retentionDays, 30);
    // 2^44 MB is no limit, not a wrap to nothing.
    EXPECT_EQ(next.storeLimits().sizeLimitMegabytes, static_cast<long long>(UINT64_MAX >> 20));
  }
  saveReportStoreLimits(30, 500);
}

// A child whose mouse handler throws, as a fault in any view would.
class ThrowingView : public QWidget {
 public:
  int presses = 0;

 protected:
  void mousePressEvent(QMouseEvent*) override {
    ++presses;
    throw std::runtime_error("handler fault");
  }
};

TEST_F(MainWindowTest, AnExceptionInAnEventHandlerLeavesTheProgramRunning) {
  Start();
  auto* faulty = new ThrowingView;
  QMdiSubWindow* sub = AreaOf(Frame())->addSubWindow(faulty);
  sub->resize(120, 120);
  sub->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Frame()));

  testing::internal::CaptureStderr();
  QTest::mouseClick(faulty, Qt::LeftButton);
  QTest::mouseClick(faulty, Qt::LeftButton);
  const std::string errors = testing::internal::GetCapturedStderr();
  // Both presses arrived: the first fault did not stop the delivery.
  EXPECT_EQ(faulty->presses, 2);
  EXPECT_NE(errors.find("an event handler failed: handler fault"), std::string::npos) << errors;

  // The window is still shown and still does its work.
  EXPECT_TRUE(Frame()->isVisible());
  EXPECT_TRUE(faulty->isVisible());
  const auto before = Views<WorldMapView>().size();
  QTest::keyClick(Frame(), Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(Views<WorldMapView>().size(), before + 1);
}

TEST(CommandLine, OptionsAndStationName) {
  CommandLine plain = parseCommandLine({"nimbrel"});
  EXPECT_TRUE(plain.valid);
  EXPECT_TRUE(plain.stationName.empty());
  EXPECT_TRUE(plain.serviceHost.empty());
  EXPECT_FALSE(plain.quitAfterFirstPaint);

  CommandLine named = parseCommandLine({"nimbrel", "--service-host", "127.0.0.1:9000", "ZURICH"});
  EXPECT_TRUE(named.valid);
  EXPECT_EQ(named.serviceHost, "127.0.0.1:9000");
  EXPECT_EQ(named.stationName, "ZURICH");

  EXPECT_EQ(parseCommandLine({"nimbrel", "--service-host=localhost"}).serviceHost, "localhost");
  EXPECT_TRUE(parseCommandLine({"nimbrel", "--quit-after-first-paint"}).quitAfterFirstPaint);
  // The source by its one name; another name is an error, none leaves the settings'.
  EXPECT_EQ(plain.source, std::nullopt);
  EXPECT_EQ(parseCommandLine({"nimbrel", "--source", "pages"}).source, ReportSource::kReportPages);
  EXPECT_EQ(parseCommandLine({"nimbrel", "--source=metar"}).source, ReportSource::kLiveMetar);
  EXPECT_FALSE(parseCommandLine({"nimbrel", "--source", "page"}).valid);
  // A name with a non-ASCII letter is kept as the catalogue's bytes.
  EXPECT_EQ(parseCommandLine({"nimbrel", QStringLiteral("Z\u00dcRICH")}).stationName, "Z\xdcRICH");

  CommandLine missing = parseCommandLine({"nimbrel", "--service-host"});
  EXPECT_FALSE(missing.valid);
  EXPECT_FALSE(missing.error.empty());
  EXPECT_FALSE(parseCommandLine({"nimbrel", "--bogus"}).valid);
  EXPECT_FALSE(parseCommandLine({"nimbrel", "A", "B"}).valid);
  // A name with blanks is one argument.
  EXPECT_EQ(parseCommandLine({"nimbrel", "SAMPLE FIELD"}).stationName, "SAMPLE FIELD");

  // Help and version are asked for, not errors; the help names the options.
  for (const char* help : {"--help", "-h"}) {
    const CommandLine asked = parseCommandLine({"nimbrel", help});
    EXPECT_TRUE(asked.valid) << help;
    EXPECT_TRUE(asked.helpRequested) << help;
    EXPECT_NE(asked.helpText.find("--service-host"), std::string::npos) << asked.helpText;
    EXPECT_EQ(asked.helpText.find("--quit-after-first-paint"), std::string::npos) << "a benchmark's option, hidden";
    // The default address in the help's words, however the lines are wrapped.
    const std::string oneLine = QString::fromStdString(asked.helpText).simplified().toStdString();
    EXPECT_NE(oneLine.find("The METAR service's address (default https://aviationweather.gov)."), std::string::npos)
        << asked.helpText;
  }
  EXPECT_TRUE(parseCommandLine({"nimbrel", "--version"}).versionRequested);
  EXPECT_FALSE(plain.helpRequested);
  EXPECT_FALSE(plain.versionRequested);
}

TEST(ApplicationObject, NamesTheProgramAndItsOrganisation) {
  EXPECT_EQ(QCoreApplication::organizationName(), QStringLiteral("Quillfen"));
  EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Nimbrel"));
  EXPECT_NE(dynamic_cast<Application*>(QCoreApplication::instance()), nullptr);
}

}  // namespace
}  // namespace nimbrel::test
