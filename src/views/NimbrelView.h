#pragma once
// The view of template 129: a world map (kind 0) or a station graph (kind 1),
// fixed by the next view kind when it is constructed.
#include <memory>
#include <string>

#include "app/View.h"
#include "catalog/Station.h"
#include "charts/Graph.h"
#include "observations/Observation.h"
#include "observations/StationSeries.h"

class QPainter;
class QPaintDevice;
class QTimer;

namespace nimbrel {

class CMainFrame;
class CStationCatalog;
class IMainFrame;

class CNimbrelView : public CView, public IChartOwner {
  Q_OBJECT

 public:
  CNimbrelView();
  ~CNimbrelView() override;

  bool OnCreate() override;
  void OnInitialUpdate() override;
  bool OnCommand(int id) override;
  bool OnUpdateCommand(int id, CCmdUI& ui) override;

  // Draws the view on any target; the printer gets the same pixel coordinates.
  void OnDraw(QPainter& painter);
  // Prints through the print dialog, or shows the print preview.
  void OnFilePrint();
  void OnFilePrintPreview();
  // Prints straight to a printer (or any paint device) that is set up.
  void PrintTo(QPaintDevice& printer);

  void OnMarkAllStations();
  void OnShowAllStations();
  void OnFindStation();

  void OnShowParameters();

  // IChartOwner: the chart fits the client area.
  CRect GetClientRect() const override;

  // Kind 0: draw a point for every station.
  bool markAllStations = false;
  // 0 world map, 1 station graph; never changes.
  const int viewKind;
  // The window title and the texts of messages.
  std::string messageText;
  // The document is the base's (GetDocument).
  CStationCatalog* catalogue = nullptr;
  CMainFrame* mainFrame = nullptr;
  CStationArray* openStations = nullptr;
  // Kind 1: the station shown, its reports, the newest report of the load
  // and the chart (null in a world map).
  std::unique_ptr<CStationSeries> series;

  // Kind 1: one tick of the refresh timer (timer 1).
  void OnRefreshTimer();
  QTimer* RefreshTimer() const { return refreshTimer; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void Draw(QPainter& painter, IMainFrame& frame);
  void RunPrint(bool preview);

  // Where the station-graph kind plugs in. Until that kind is built it
  // cannot be created, and the other hooks are never reached.
  bool OnCreateStationGraph();
  void PaintStationGraph(QPainter& painter);
  void OnDestroyStationGraph();
  QTimer* refreshTimer = nullptr;
};

}  // namespace nimbrel
