#pragma once
// The multiple-document main window. It owns the program's state: the
// station list, the open stations, the settings, the shared table sort, the
// page source and the recent list; it opens every child window.
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/PageFetcher.h"
#include "base/Settings.h"
#include "base/UserPort.h"
#include "catalog/MapProjection.h"
#include "catalog/Station.h"
#include "catalog/StationColumns.h"
#include "observations/MetarSource.h"
#include "observations/ReportPageSource.h"
#include "observations/TafSource.h"
#include "ui/RecentList.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace nimbrel {

class BrowserView;
class StationChartView;
class StationListUpdater;
class StationTableView;
class WeatherFeed;
class WorldMapView;

class MainWindow : public QMainWindow, public UserPort {
  Q_OBJECT

 public:
  // fetcher: null for the real one (libcurl).
  explicit MainWindow(std::unique_ptr<PageFetcher> fetcher = nullptr, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Start-up: reads the station list of the working folder and the recent
  // list, opens the first world map and, when named, a station's chart.
  void start(const std::string& stationName = {});
  void setServiceHost(const std::string& host) { pageSource.serviceHost = host; }
  // For this run only (the command line): not kept with the settings.
  void setReportSource(ReportSource source) { m_settings.reportSource = source; }
  void setMetarUrl(const std::string& url) { m_settings.metarUrl = url; }
  // Prints "first paint" and quits once the first child has painted.
  void setQuitAfterFirstPaint(bool on) { quitAfterFirstPaint = on; }

  // The child windows. Each returns the new view, or null when none opened.
  WorldMapView* openWorldMap();
  StationTableView* openStationTable(const std::string& title, StationList rows, QSize clientSize);
  StationTableView* openAllStationsTable();
  StationTableView* openResultTable(StationList rows);
  // Opens a station's chart once its reports are in: the window never
  // waits for them. stationChartOpened follows when it opened.
  void openStationChart(const Station& station);
  // Charts still being opened.
  int openingCount() const { return static_cast<int>(openings.size()); }
  // Gives up every chart still being opened, quietly.
  void cancelChartOpenings();
  BrowserView* openBrowser(const QString& url);

  // The recent list's and the command line's way in: the first station
  // whose name or code holds the text.
  void openStationByName(const std::string& name);
  // The find command: asks for a text, then lists the matches of `searched`.
  void findStation(const StationList& searched);
  // A world map's double-click at a view pixel: the stations around it.
  void showNearestStations(int x, int y);
  // The same around a map point (none: off the map, nothing found).
  void showNearestStationsAt(const std::optional<MapPoint>& point);
  // A chart window's closing work: its open-station mark and the recent list.
  void stationChartClosed(const Station& station);

  // A world map closed: New opens a world map again.
  void worldMapClosed() { newOpensWorldMap = true; }

  // The action states for the active window.
  void updateActions();
  // The status bar's text for the window that is active now: a table's
  // line, a chart's missing reports, a map's weather, else "Ready".
  void showActiveStatus();

  // UserPort
  void showMessage(const std::string& text) override;
  void setStatusText(const std::string& text) override;
  void beginWaitCursor() override;
  void endWaitCursor() override;
  std::time_t currentTime() override;

  const StationList& allStations() const { return *stations; }
  // A new catalogue, shown at once in the maps and open tables.
  void setCatalogue(std::shared_ptr<const StationList> list);
  StationListUpdater& stationListUpdater() { return *updater; }
  const StationList& openStations() const { return m_openStations; }
  Settings& settings() { return m_settings; }
  TableSortState& sortState() { return m_sortState; }
  RecentList& recentList() { return m_recentList; }
  // The source the settings choose now.
  ObservationSource& reportSource();
  // The forecast source beside the live METAR source; null with report pages.
  TafSource* forecastSource();
  // The live METAR source itself, whichever source is chosen now.
  MetarSource& liveMetarSource() { return metarSource; }
  // The whole world's current weather, shared by every map.
  WeatherFeed& weatherFeed() { return *feed; }
  QMdiArea* mdiArea() const { return area; }
  QToolBar* toolBar() const { return tools; }
  QString statusText() const;
  int waitCursorCount() const { return waitCount; }
  // True while the frame's own menu (without a map or chart) is shown.
  bool showsFrameMenu() const { return frameMenuShown; }
  QWidget* activeView() const;

  // When set, message boxes go to it instead of being shown (tests).
  std::function<void(const std::string&)> messageHook;

  QAction* newAction;
  QAction* closeAction;
  QAction* exitAction;
  QAction* printAction;
  QAction* printPreviewAction;
  QAction* worldMapAction;
  QAction* parametersAction;
  QAction* markAllStationsAction;
  QAction* showAllStationsAction;
  QAction* findStationAction;
  QAction* currentWeatherAction;
  QAction* temperatureColouringAction;
  QAction* aboutAction;
  QAction* updateStationListAction;

 signals:
  void stationChartOpened(nimbrel::StationChartView* view);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void createActions();
  void createMenus();
  void createToolBar();
  void createStatusBar();
  QMdiSubWindow* addChild(QWidget* view, const std::string& title, QSize clientSize, bool centred);
  void showMenuSet(bool frameMenu);
  void updateRecentMenu();
  void updateTitle();
  void arrangeIcons();
  void fitToScreen();
  void cascadeWindows();
  void updateWindowList();
  void closeAllChildren();
  void onNew();
  void onParameters();
  void onFindStation();
  void onPrint(bool preview);
  void showWeatherStatus();
  void loadStationList();

  struct ChartOpening;
  bool isOpening(const ChartOpening* op) const;
  void loadOpeningChart(ChartOpening* op);
  void finishOpening(ChartOpening* op);

  void readSourceSettings();
  void writeSourceSettings();

  std::shared_ptr<PageFetcher> given;
  std::unique_ptr<AsyncPageFetcher> pageFetcher;
  std::unique_ptr<AsyncPageFetcher> metarFetcher;
  std::unique_ptr<AsyncPageFetcher> tafFetcher;
  std::unique_ptr<AsyncPageFetcher> weatherFetcher;
  ReportPageSource pageSource;
  MetarSource metarSource;
  TafSource tafSource;
  WeatherFeed* feed = nullptr;
  StationListUpdater* updater = nullptr;
  std::vector<std::unique_ptr<ChartOpening>> openings;
  int lastOpeningId = 0;
  // Shared with the weather feed's worker, which may outlive a reload.
  std::shared_ptr<const StationList> stations = std::make_shared<const StationList>();
  StationList m_openStations;
  Settings m_settings;
  // The METAR address as kept: one given for this run only is not saved.
  std::string storedMetarUrl;
  TableSortState m_sortState;
  RecentList m_recentList;
  std::string lastFindText;
  // The station of the last chart opened, and whether New opens a map (it
  // does until an opener ran, and again once a world map closed).
  Station lastStation;
  bool newOpensWorldMap = true;

  QMdiArea* area = nullptr;
  QToolBar* tools = nullptr;
  QLabel* messagePane = nullptr;
  QMenu* fileMenu = nullptr;
  QMenu* frameViewMenu = nullptr;
  QMenu* childViewMenu = nullptr;
  QMenu* windowMenu = nullptr;
  QMenu* helpMenu = nullptr;
  QAction* recentSeparator = nullptr;
  QAction* windowListSeparator = nullptr;
  bool fittedAfterShow = false;
  bool arranging = false;  // Tile or Cascade at work: sizes are not the user's
  QList<QAction*> recentActions;
  bool frameMenuShown = false;
  bool menuShownOnce = false;
  int waitCount = 0;
  bool quitAfterFirstPaint = false;
  bool firstPaintSeen = false;
  QPointer<QWidget> firstPaintWatched;
  bool closed = false;
};

// The about box: "About Nimbrel", the icon, "Nimbrel Version 1.0" and OK.
void showAboutBox(QWidget* parent);

}  // namespace nimbrel
