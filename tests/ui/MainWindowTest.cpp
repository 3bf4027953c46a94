#include <QAction>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <stdexcept>

#include "app/ChildFrame.h"
#include "app/DocTemplate.h"
#include "app/View.h"
#include "support/AppFixture.h"
#include "ui/WorldMapView.h"

namespace nimbrel::test {
namespace {

// A view whose answers to the command routing are set by the test.
class ScriptedView : public CView {
 public:
  bool createSucceeds = true;
  std::vector<int> commandsRun;
  bool onCreate() override { return createSucceeds; }
  bool onCommand(int id) override {
    if (id != ID_FIND_STATION && id != ID_MARK_ALL_STATIONS) return false;
    commandsRun.push_back(id);
    return true;
  }
  bool onUpdateCommand(int id, CCmdUI& ui) override {
    if (id == ID_FIND_STATION) {
      ui.enable(true);
      return true;
    }
    if (id == ID_MARK_ALL_STATIONS) {
      ui.enable(true);
      ui.setCheck(true);
      return true;
    }
    return false;
  }
};

QStringList MenuTitles(QMenuBar* bar) {
  QStringList titles;
  for (QAction* action : bar->actions()) titles << action->text();
  return titles;
}

QStringList MenuEntries(QMenuBar* bar, const QString& title) {
  QStringList entries;
  for (QAction* action : bar->actions()) {
    if (action->text() != title || action->menu() == nullptr) continue;
    for (QAction* item : action->menu()->actions()) entries << (item->isSeparator() ? QStringLiteral("-") : item->text());
  }
  return entries;
}

using AppShell = AppFixture;

TEST_F(AppShell, StartUpOpensOneWorldMapOfMapSize) {
  StartApp();
  ASSERT_EQ(Children().size(), 1);
  auto* child = qobject_cast<CChildFrame*>(Children().first());
  ASSERT_NE(child, nullptr);
  auto* view = qobject_cast<WorldMapView*>(child->getView());
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->viewKind, 0);
  EXPECT_EQ(child->getDocument()->getTitle(), "World Map");
  EXPECT_EQ(view->size(), QSize(550, 350));
  EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("Nimbrel - World Map"));
  EXPECT_EQ(Frame()->size(), QSize(800, 800));
}

TEST_F(AppShell, TheStationListIsReadOnceTheFirstWindowHasPainted) {
  WriteStationList("   ZURICH-KLOTEN    LSZH  ZRH          47 27N  008 33E  432   X                  CH\n");
  nextViewKind = 1;
  app = std::make_unique<CNimbrelApp>();
  ASSERT_TRUE(app->initInstance(parseCommandLine(QStringList{QStringLiteral("nimbrel")})));
  // start-up itself leaves the list for later: nothing on the map needs it.
  EXPECT_TRUE(Frame()->allStations().isPending());
  for (int i = 0; i < 200 && Frame()->allStations().isPending(); ++i) QTest::qWait(10);
  EXPECT_FALSE(Frame()->allStations().isPending());
  ASSERT_EQ(Frame()->allStations().getSize(), 1);
  EXPECT_EQ(Frame()->allStations().getAt(0).icao(), "LSZH");
  EXPECT_TRUE(messages.empty());
}

TEST_F(AppShell, NewRightAfterStartUpOpensASecondWorldMap) {
  StartApp();
  Frame()->activateWindow();
  QTest::keyClick(Frame(), Qt::Key_N, Qt::ControlModifier);
  ASSERT_EQ(Children().size(), 2);
  auto* second = qobject_cast<CChildFrame*>(Children().last());
  auto* view = qobject_cast<WorldMapView*>(second->getView());
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->viewKind, 0);
}

TEST_F(AppShell, WorldMapCommandTwiceOpensTwoMaps) {
  StartApp();
  for (QMdiSubWindow* sub : Children()) sub->close();
  QApplication::processEvents();
  ASSERT_TRUE(Children().isEmpty());
  QAction* worldMap = Frame()->commandAction(ID_WORLD_MAP);
  worldMap->trigger();
  worldMap->trigger();
  ASSERT_EQ(Children().size(), 2);
  for (QMdiSubWindow* sub : Children()) {
    auto* view = qobject_cast<WorldMapView*>(qobject_cast<CChildFrame*>(sub)->getView());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->viewKind, 0);
  }
  EXPECT_EQ(nextViewKind, 1);  // the command puts the kind back
}

TEST_F(AppShell, MenusSwitchWithTheActiveWindow) {
  StartApp();
  QMenuBar* bar = Frame()->menuBar();
  // A world map is active: the map menu with its window menu.
  EXPECT_EQ(Frame()->CurrentMenu(), 129);
  EXPECT_EQ(MenuTitles(bar), (QStringList{"&File", "&View", "&Window", "&Help"}));
  EXPECT_EQ(MenuEntries(bar, "&View"),
            (QStringList{"&Toolbar", "&Status Bar", "-", "Mark all stations", "Show all stations", "Parameters",
                         "Find station"}));
  EXPECT_EQ(MenuEntries(bar, "&Window"), (QStringList{"&Cascade", "&Tile", "&Arrange Icons"}));
  EXPECT_EQ(MenuEntries(bar, "&Help"), (QStringList{"&Help Topics", "-", "&About Nimbrel..."}));

  // A table leaves the menu as it was.
  ASSERT_TRUE(Frame()->openWindow(3, "All stations"));
  EXPECT_EQ(Frame()->CurrentMenu(), 129);

  // The last child gone: the frame's own menu, with "World Map".
  for (QMdiSubWindow* sub : Children()) sub->close();
  QApplication::processEvents();
  QApplication::processEvents();
  EXPECT_EQ(Frame()->CurrentMenu(), 128);
  EXPECT_EQ(MenuTitles(bar), (QStringList{"&File", "&View", "&Help"}));
  EXPECT_EQ(MenuEntries(bar, "&View"), (QStringList{"&Toolbar", "&Status Bar", "-", "World Map"}));
  EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("Nimbrel"));
}

TEST_F(AppShell, CommandsAreRoutedToTheActiveViewAndDisabledWithoutOne) {
  StartApp();
  for (QMdiSubWindow* sub : Children()) sub->close();
  QApplication::processEvents();
  QApplication::processEvents();
  Frame()->updateCommandStates();
  for (int id : {ID_SHOW_PARAMETERS, ID_MARK_ALL_STATIONS, ID_SHOW_ALL_STATIONS, ID_FIND_STATION}) {
    EXPECT_FALSE(Frame()->commandAction(id)->isEnabled()) << id;
  }
  // The toolbar holds the four view commands in order, with their tooltips.
  QStringList tips;
  for (QAction* action : Frame()->ToolBar()->actions()) tips << action->toolTip();
  EXPECT_EQ(tips, (QStringList{"Show Parameters Dialog", "Mark all stations", "Show all stations table", "Find station"}));

  ScriptedView* view = nullptr;
  CDocTemplate scripted(129, [&view] { return view = new ScriptedView(); });
  ASSERT_NE(scripted.openDocumentFile(), nullptr);
  Frame()->MdiArea()->setActiveSubWindow(Children().last());
  QApplication::processEvents();
  EXPECT_TRUE(Frame()->commandAction(ID_FIND_STATION)->isEnabled());
  EXPECT_TRUE(Frame()->commandAction(ID_MARK_ALL_STATIONS)->isEnabled());
  EXPECT_TRUE(Frame()->commandAction(ID_MARK_ALL_STATIONS)->isChecked());
  EXPECT_FALSE(Frame()->commandAction(ID_SHOW_PARAMETERS)->isEnabled());
  EXPECT_FALSE(Frame()->commandAction(ID_SHOW_ALL_STATIONS)->isEnabled());
  Frame()->commandAction(ID_FIND_STATION)->trigger();
  EXPECT_EQ(view->commandsRun, std::vector<int>{ID_FIND_STATION});
}

TEST_F(AppShell, FailedViewCreationIsReportedAndLeavesNoWindow) {
  StartApp();
  const auto before = Children().size();
  CDocTemplate failing(129, [] {
    auto* view = new ScriptedView();
    view->createSucceeds = false;
    return view;
  });
  EXPECT_EQ(failing.openDocumentFile(), nullptr);
  QApplication::processEvents();
  EXPECT_EQ(Children().size(), before);
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back(), "Failed to create empty document.");
}

TEST_F(AppShell, ChildSizesFollowTheKind) {
  EXPECT_EQ(CChildFrame::PreCreateWindow(0), QSize(550, 350));
  EXPECT_EQ(CChildFrame::PreCreateWindow(1), QSize(650, 670));
  EXPECT_EQ(CChildFrame::PreCreateWindow(2), QSize(501, 408));
  EXPECT_EQ(CChildFrame::PreCreateWindow(3), QSize(501, 608));
  EXPECT_FALSE(CChildFrame::PreCreateWindow(4).isValid());
  EXPECT_FALSE(CChildFrame::PreCreateWindow(-1).isValid());

  StartApp();
  ScriptedView* view = nullptr;
  CDocTemplate scripted(129, [&view] { return view = new ScriptedView(); });
  nextViewKind = 7;
  ASSERT_NE(scripted.openDocumentFile(), nullptr);
  nextViewKind = 1;
  ASSERT_NE(view, nullptr);
  for (QSize known : {QSize(550, 350), QSize(650, 670), QSize(501, 408), QSize(501, 608)}) {
    EXPECT_NE(view->size(), known);
  }
  nextViewKind = 3;
  ASSERT_NE(scripted.openDocumentFile(), nullptr);
  nextViewKind = 1;
  EXPECT_EQ(view->size(), QSize(501, 608));
}

TEST_F(AppShell, FreshStartHasTheDefaultSettings) {
  StartApp();
  Station& settings = Frame()->currentRecord();
  EXPECT_TRUE(settings.showTemperature());
  EXPECT_TRUE(settings.showPressure());
  EXPECT_TRUE(settings.showWindSpeed());
  EXPECT_TRUE(settings.showWindDirection());
  EXPECT_FALSE(settings.timeUtc());
  EXPECT_FALSE(settings.writeMeteodata());
  EXPECT_TRUE(settings.metricStyle());
  EXPECT_EQ(settings.pastHours(), 6);
  EXPECT_EQ(settings.nearestMinutes(), 90.0);
  // Settings live in memory only: a changed one is gone after a restart.
  settings.pastHours() = 24;
  StopApp();
  StartApp();
  EXPECT_EQ(Frame()->currentRecord().pastHours(), 6);
}

TEST_F(AppShell, WaitCursorIsACounter) {
  StartApp();
  Frame()->beginWaitCursor();
  Frame()->beginWaitCursor();
  EXPECT_NE(QApplication::overrideCursor(), nullptr);
  Frame()->endWaitCursor();
  EXPECT_NE(QApplication::overrideCursor(), nullptr);
  Frame()->endWaitCursor();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  Frame()->endWaitCursor();  // one too many does not go below zero
  EXPECT_EQ(Frame()->WaitCursorCount(), 0);
}

TEST_F(AppShell, StatusTextGoesToTheMessagePane) {
  StartApp();
  Frame()->setStatusText("  000 21E,  90 00N");
  EXPECT_EQ(Frame()->StatusText(), QStringLiteral("  000 21E,  90 00N"));
}

// A widget whose handler throws, as a fault in any view would.
class ThrowingWidget : public QWidget {
 protected:
  void mousePressEvent(QMouseEvent*) override { throw std::runtime_error("handler fault"); }
};

TEST_F(AppShell, AnExceptionInAnEventHandlerDoesNotEndTheProgram) {
  ThrowingWidget widget;
  widget.resize(50, 50);
  widget.show();
  QTest::mouseClick(&widget, Qt::LeftButton);
  // Still alive and still delivering events.
  QTest::mouseClick(&widget, Qt::LeftButton);
  EXPECT_TRUE(widget.isVisible());
}

TEST(CommandLine, OptionsAndStationName) {
  CCommandLine plain = parseCommandLine({"nimbrel"});
  EXPECT_TRUE(plain.valid);
  EXPECT_TRUE(plain.stationName.empty());

  CCommandLine named = parseCommandLine({"nimbrel", "--service-host", "127.0.0.1:9000", "ZURICH"});
  EXPECT_TRUE(named.valid);
  EXPECT_EQ(named.serviceHost, "127.0.0.1:9000");
  EXPECT_EQ(named.stationName, "ZURICH");

  EXPECT_EQ(parseCommandLine({"nimbrel", "--service-host=localhost"}).serviceHost, "localhost");
  EXPECT_FALSE(parseCommandLine({"nimbrel", "--service-host"}).valid);
  EXPECT_FALSE(parseCommandLine({"nimbrel", "--bogus"}).valid);
  EXPECT_FALSE(parseCommandLine({"nimbrel", "A", "B"}).valid);
}

}  // namespace
}  // namespace nimbrel::test
