#pragma once
// The multiple-document main window: menus, toolbar and status bar, and the
// child windows, whose signals it connects. The program's state is the
// session's; opening a chart is the chart opener's.
#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "base/UserPort.h"
#include "catalog/Station.h"
#include "base/Settings.h"
#include "ui/ChildView.h"
#include "ui/FrameParts.h"
#include "ui/StationColumns.h"
#include "ui/WatchToggle.h"

class QAction;
class QLabel;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace nimbrel {

class BrowserView;
class ChartOpener;
class ChildWindowArea;
class GoToField;
class ChartActions;
class MapActions;
class RecentMenuSection;
class Session;
class StationChartView;
class StationFinder;
class StationTableView;
class WatchStationsView;
class WatchTray;
class WorldMapView;

class MainWindow : public QMainWindow, public UserPort {
  Q_OBJECT

 public:
  explicit MainWindow(Session& session, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Start-up: reads the station list and the recent list, opens the first
  // world map and, when named, a station's chart.
  void start(const std::string& stationName = {});

  // The child windows. Each returns the new view.
  WorldMapView* openWorldMap();
  StationTableView* openStationTable(const std::string& title, std::shared_ptr<const StationList> rows,
                                     QSize clientSize);
  StationTableView* openAllStationsTable();
  StationTableView* openResultTable(StationList rows);
  BrowserView* openBrowser(const QString& url);
  // The manual at a page ("map.md"), in its one window.
  BrowserView* openHelp(const QString& page);
  // The one "Watched stations" window: opened, or brought to the front.
  WatchStationsView* openWatchedStations();
  // The Personal Minima dialog; OK saves them for every watched station.
  void editPersonalMinima();
  // Opens a station's chart once its reports are in: the window never
  // waits for them. stationChartOpened follows when it opened.
  void openStationChart(const Station& station);

  // UserPort
  void showMessage(const std::string& text) override;
  void showInformation(const std::string& text) override;
  void setStatusText(const std::string& text) override;
  void beginWaitCursor() override { busyCursor.begin(); }
  void endWaitCursor() override { busyCursor.end(); }
  std::time_t currentTime() override { return std::time(nullptr); }

  // When set, message boxes go to it instead of being shown (tests).
  std::function<void(const std::string&)> messageHook;

 signals:
  void stationChartOpened(nimbrel::StationChartView* view);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void createActions();
  void createMenus();
  QMdiSubWindow* addChild(QWidget* view, const std::string& title, QSize clientSize, bool centred);
  void adoptChart(std::unique_ptr<StationChartView>& view);
  QWidget* activeView() const;
  void showMenuSet(bool frameMenu);
  void updateActions();
  void showActiveStatus();
  void updateTitle();
  void closeAllChildren();
  void onNew();
  void onParameters();
  void onFindStation();
  void onPrint(bool preview);
  WorldMapView* activeMap() const;
  ChildView* activeChild() const;
  // The view in front when it takes the command, else null.
  ChildView* offering(ChildView::Command command) const;

  Session& state;
  ChartOpener* opener = nullptr;
  StationFinder* finder = nullptr;
  MapActions* mapActions = nullptr;
  ChartActions* chartActions = nullptr;
  ChildWindowArea* area = nullptr;
  QToolBar* tools = nullptr;
  GoToField* goTo = nullptr;
  // Shared by every station table: a new one opens sorted as the last.
  TableSortState sortState;
  QLabel* messagePane = nullptr;
  QMenu* fileMenu = nullptr;
  QMenu* frameViewMenu = nullptr;
  QMenu* childViewMenu = nullptr;
  QMenu* windowMenu = nullptr;
  QMenu* helpMenu = nullptr;
  QAction* recentSeparator = nullptr;
  RecentMenuSection* recentMenu = nullptr;
  WatchTray* watchTray = nullptr;

  QAction* closeAction = nullptr;
  QAction* printAction = nullptr;
  QAction* printPreviewAction = nullptr;
  QAction* parametersAction = nullptr;
  QAction* showAllStationsAction = nullptr;
  QAction* findStationAction = nullptr;
  QAction* watchedStationsAction = nullptr;
  QAction* minimaAction = nullptr;
  WatchStationsView* watchView = nullptr;
  // What the views' "Watch" entries ask: the session's watch list.
  WatchToggle watchToggle;

  // The station of the last chart opened, and whether New opens a map (it
  // does until an opener ran, and again once a world map closed).
  Station lastStation;
  bool newOpensWorldMap = true;
  bool fittedAfterShow = false;
  bool frameMenuShown = false;
  bool menuShownOnce = false;
  BusyCursor busyCursor;
  bool closed = false;
};

}  // namespace nimbrel
