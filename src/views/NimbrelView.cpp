#include "views/NimbrelView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <filesystem>

#include "app/MainFrame.h"
#include "app/NimbrelDoc.h"
#include "catalog/StationCatalog.h"
#include "charts/DiaParameters.h"
#include "charts/StationChart.h"
#include "platform/ViewKind.h"
#include "print/PrintModule.h"
#include "platform/qt/QtDrawContext.h"
#include "views/DiaFind.h"
#include "views/Guarded.h"
#include "views/WorldMapDrawing.h"

// The picture lives in the resources of a static library: nothing would
// pull their registration in unless it is asked for by name.
static void InitViewResources() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(resources);
    return true;
  }();
  (void)registered;
}

namespace nimbrel {


CNimbrelView::CNimbrelView() : viewKind(nextViewKind) {
  InitViewResources();
  mainFrame = GetMainFrame();
  if (mainFrame != nullptr) {
    catalogue = &mainFrame->catalogue;
    openStations = &mainFrame->OpenStations();
  }
  setMouseTracking(true);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
}

CNimbrelView::~CNimbrelView() {
  if (viewKind == kWorldMap) {
    nextViewKind = kWorldMap;
  } else {
    OnDestroyStationGraph();
  }
}

bool CNimbrelView::OnCreate() {
  if (mainFrame == nullptr) return false;
  if (CNimbrelDoc* doc = GetDocument()) doc->mainFrame = mainFrame;
  if (viewKind == kWorldMap) return true;
  return OnCreateStationGraph();
}

void CNimbrelView::OnInitialUpdate() {
  if (viewKind == kWorldMap) {
    messageText = "World Map";
  } else {
    messageText = series ? series->station.name() : std::string();
  }
  if (CNimbrelDoc* doc = GetDocument()) doc->SetTitle(messageText);
}

bool CNimbrelView::OnCommand(int id) {
  switch (id) {
    case ID_MARK_ALL_STATIONS:
      if (viewKind != kWorldMap) return false;
      OnMarkAllStations();
      return true;
    case ID_SHOW_ALL_STATIONS:
      OnShowAllStations();
      return true;
    case ID_FIND_STATION:
      OnFindStation();
      return true;
    case ID_SHOW_PARAMETERS:
      OnShowParameters();
      return true;
    case ID_FILE_PRINT:
      OnFilePrint();
      return true;
    case ID_FILE_PRINT_PREVIEW:
      OnFilePrintPreview();
      return true;
    default:
      return false;
  }
}

bool CNimbrelView::OnUpdateCommand(int id, CCmdUI& ui) {
  switch (id) {
    case ID_MARK_ALL_STATIONS:
      ui.Enable(viewKind == kWorldMap);
      ui.SetCheck(viewKind == kWorldMap && markAllStations);
      return true;
    case ID_SHOW_PARAMETERS:
    case ID_SHOW_ALL_STATIONS:
    case ID_FIND_STATION:
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_PREVIEW:
      ui.Enable(true);
      return true;
    default:
      return false;
  }
}

void CNimbrelView::OnDraw(QPainter& painter) {
  if (mainFrame != nullptr) Draw(painter, *mainFrame);
}

void CNimbrelView::Draw(QPainter& painter, IMainFrame& frame) {
  if (GetDocument() == nullptr) return;
  if (viewKind == kWorldMap) {
    QtDrawContext dc(painter);
    DrawWorldMap(dc, frame, markAllStations, messageText);
  } else {
    PaintStationGraph(painter);
  }
}

void CNimbrelView::PrintTo(QPaintDevice& printer) {
  QPainter painter(&printer);
  if (!painter.isActive()) return;
  OnDraw(painter);
}

void CNimbrelView::OnFilePrint() { RunPrint(false); }

void CNimbrelView::OnFilePrintPreview() { RunPrint(true); }

void CNimbrelView::RunPrint(bool preview) {
  if (!RunPrintDialog(this, preview, [this](QPaintDevice& printer) { PrintTo(printer); }) && mainFrame != nullptr) {
    mainFrame->ShowMessage("Printing is not available: the print module could not be loaded.");
  }
}

void CNimbrelView::OnMarkAllStations() {
  markAllStations = !markAllStations;
  repaint();
}

void CNimbrelView::OnShowAllStations() {
  if (mainFrame != nullptr) ShowAllStations(*mainFrame);
}

void CNimbrelView::OnFindStation() {
  if (mainFrame != nullptr) RunFindCommand(*mainFrame, *catalogue, mainFrame->AllStations());
}

void CNimbrelView::paintEvent(QPaintEvent*) {
  if (mainFrame == nullptr) return;
  Guarded("paint", [&] {
    QPainter painter(this);
    Draw(painter, *mainFrame);
  });
}

void CNimbrelView::mouseMoveEvent(QMouseEvent* event) {
  if (viewKind == kWorldMap && catalogue != nullptr) {
    const QPoint p = event->position().toPoint();
    Guarded("mouse move", [&] { catalogue->ShowMapPointPosition(p.x(), p.y()); });
  }
  CView::mouseMoveEvent(event);
}

void CNimbrelView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (viewKind == kWorldMap && mainFrame != nullptr && event->button() == Qt::LeftButton) {
    const QPoint p = event->position().toPoint();
    Guarded("double-click", [&] { ShowNearestStations(*mainFrame, *catalogue, p.x(), p.y(), messageText); });
    return;
  }
  CView::mouseDoubleClickEvent(event);
}

CRect CNimbrelView::GetClientRect() const { return CRect{0, 0, width(), height()}; }

bool CNimbrelView::OnCreateStationGraph() {
  series = std::make_unique<CStationSeries>(*catalogue, *mainFrame, this);
  // Each appended row asks for a paint; Qt folds them into one.
  series->onChartChanged = [this] { update(); };
  if (!series->Create()) return false;
  refreshTimer = new QTimer(this);
  refreshTimer->setTimerType(Qt::VeryCoarseTimer);
  connect(refreshTimer, &QTimer::timeout, this, [this] { Guarded("refresh", [this] { OnRefreshTimer(); }); });
  refreshTimer->start(series->RefreshIntervalMs());
  centreInParent = true;
  return true;
}

void CNimbrelView::OnRefreshTimer() {
  if (series && series->IsCreated()) series->OnTimer();
}

void CNimbrelView::PaintStationGraph(QPainter& painter) {
  if (!series || !series->graph) return;
  QtDrawContext dc(painter);
  nimbrel::PaintStationGraph(*series->graph, dc, series->dialDirection, series->dialSpeed);
}

void CNimbrelView::OnShowParameters() {
  if (mainFrame == nullptr) return;
  CGraph* chart = series ? series->graph.get() : nullptr;
  if (ShowParametersDialog(this, chart, mainFrame->CurrentRecord()) && chart != nullptr) update();
}

void CNimbrelView::OnDestroyStationGraph() {
  if (refreshTimer != nullptr) refreshTimer->stop();
  if (series) series->Destroy(std::filesystem::current_path());
}

}  // namespace nimbrel
