#pragma once
// The multiple-document main window: menus, toolbar and status bar, and the
// child windows, whose signals it connects. The program's state is the
// session's; opening a chart is the chart opener's.
#include <QMainWindow>
#include <functional>
#include <string>

#include "base/UserPort.h"
#include "catalog/Station.h"
#include "base/Settings.h"
#include "ui/ChildView.h"
#include "ui/FrameParts.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace nimbrel {

class BrowserView;
class ChartOpener;
class ChildWindowArea;
class MapActions;
class RecentMenuSection;
class Session;
class StationChartView;
class StationFinder;
class StationTableView;
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
  // Opens a station's chart once its reports are in: the window never
  // waits for them. stationChartOpened follows when it opened.
  void openStationChart(const Station& station);
  // The charts being opened, with their progress windows and Cancel.
  ChartOpener& chartOpener() const { return *opener; }

  // Takes edited settings (the Parameters box's): every open window then
  // shows the chart options, units and time zone they name.
  void applySettings(const Settings& edited);

  // Finding stations by name, by a typed text and around a map point.
  StationFinder& stationFinder() const { return *finder; }

  // UserPort
  void showMessage(const std::string& text) override;
  void setStatusText(const std::string& text) override;
  void beginWaitCursor() override { busyCursor.begin(); }
  void endWaitCursor() override { busyCursor.end(); }
  std::time_t currentTime() override { return std::time(nullptr); }

  Session& session() const { return state; }
  QMdiArea* mdiArea() const;
  QToolBar* toolBar() const { return tools; }
  QString statusText() const;
  int waitCursorCount() const { return busyCursor.count(); }
  // True while the frame's own menu (without a map or chart) is shown.
  bool showsFrameMenu() const { return frameMenuShown; }
  QWidget* activeView() const;

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
  void adoptChart(StationChartView* view);
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
  ChildWindowArea* area = nullptr;
  QToolBar* tools = nullptr;
  QLabel* messagePane = nullptr;
  QMenu* fileMenu = nullptr;
  QMenu* frameViewMenu = nullptr;
  QMenu* childViewMenu = nullptr;
  QMenu* windowMenu = nullptr;
  QMenu* helpMenu = nullptr;
  QAction* recentSeparator = nullptr;
  RecentMenuSection* recentMenu = nullptr;

  QAction* closeAction = nullptr;
  QAction* printAction = nullptr;
  QAction* printPreviewAction = nullptr;
  QAction* parametersAction = nullptr;
  QAction* showAllStationsAction = nullptr;
  QAction* findStationAction = nullptr;

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
