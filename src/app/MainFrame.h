#pragma once
// The multiple-document main window. It owns the program's shared state:
// the catalogue and its lists, the page fetcher and the current record
// (whose setting elements are the program's settings).
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "catalog/StationCatalog.h"
#include "platform/MainFrame.h"
#include "platform/PageFetcher.h"

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;

namespace nimbrel {

class CChildFrame;
class CView;
class CRecentFileList;

class CMainFrame : public QMainWindow, public IMainFrame {
  Q_OBJECT

 public:
  CMainFrame(std::unique_ptr<IPageFetcher> fetcher, CRecentFileList* recentList);
  ~CMainFrame() override;

  CStationCatalog catalogue;
  std::unique_ptr<IPageFetcher> fetcher;

  // When set, message boxes are handed to it instead of being shown (tests
  // answer every message box this way).
  static std::function<void(const std::string&)> messageHook;

  // IMainFrame
  CStation& CurrentRecord() override { return currentRecord; }
  CStationArray& AllStations() override { return allStations; }
  CStationArray& ResultStations() override { return resultStations; }
  CStationArray& OpenStations() override { return openStations; }
  void ShowMessage(const std::string& text) override;
  void SetStatusText(const std::string& text) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  bool OpenWindow(int kind, const std::string& title) override;
  void AddToRecentList(const std::string& name) override;
  std::time_t CurrentTime() override;

  int WaitCursorCount() const { return waitCount; }
  QString StatusText() const;
  QMdiArea* MdiArea() const { return mdiArea; }
  CChildFrame* ActiveChildFrame() const;
  CView* ActiveView() const;
  QAction* CommandAction(int id) const;
  QToolBar* ToolBar() const { return toolBar; }

  // Puts a new child window into the MDI area (the document templates call it).
  CChildFrame* AddChildFrame(std::unique_ptr<CChildFrame> child);
  // Destroys every child window (each does its closing work).
  void CloseAllChildren();
  // Asks the active view which of the view commands it handles.
  void UpdateCommandStates();
  // The menu shown now: 128 (the frame's own) or 129 (a map or chart window).
  int CurrentMenu() const { return currentMenu; }
  // Quits the application after the first paint of the first child view
  // (start-up timing).
  void SetQuitAfterFirstPaint(bool on) { quitAfterFirstPaint = on; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  void RouteCommand(int id);
  void OnNewDocument();
  void OnWorldMap();
  void OnSubWindowActivated();
  void ShowMenu(int menuId);
  void RebuildRecentMenu();
  void UpdateTitle();
  void ArrangeIcons();

  // Construction order of the members the rest of the program reads.
  CStation currentRecord;
  CStationArray openStations;
  CStationArray resultStations;
  CStationArray allStations;
  QToolBar* toolBar = nullptr;

  CRecentFileList* recentList;
  QMdiArea* mdiArea = nullptr;
  QLabel* messagePane = nullptr;
  std::map<int, QAction*> actions;
  QMenu* fileMenu = nullptr;
  QMenu* recentMenuAnchor = nullptr;
  QMenu* viewMenu128 = nullptr;
  QMenu* viewMenu129 = nullptr;
  QMenu* windowMenu = nullptr;
  QMenu* helpMenu = nullptr;
  QAction* recentSeparator = nullptr;
  QList<QAction*> recentActions;
  QAction* toolbarToggle128 = nullptr;
  int currentMenu = 0;
  int waitCount = 0;
  bool quitAfterFirstPaint = false;
  QPointer<QWidget> firstPaintWatched;
  bool firstPaintSeen = false;
};

// The application's main window.
CMainFrame* GetMainFrame();

}  // namespace nimbrel
