#include "views/NimbrelView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <exception>

#include "app/MainFrame.h"
#include "app/NimbrelDoc.h"
#include "catalog/StationCatalog.h"
#include "platform/ViewKind.h"
#include "views/DiaFind.h"
#include "views/MapImageContext.h"
#include "views/WorldMapDrawing.h"

namespace nimbrel {

namespace {

// No exception may leave a Qt event handler; the window stays alive.
template <typename Handler>
void Guarded(const char* where, Handler&& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    qWarning("%s: %s", where, error.what());
  }
}

}  // namespace

CNimbrelView::CNimbrelView() : viewKind(nextViewKind) {
  mainFrame = GetMainFrame();
  if (mainFrame != nullptr) {
    catalogue = &mainFrame->catalogue;
    openStations = &mainFrame->OpenStations();
  }
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
}

CNimbrelView::~CNimbrelView() {
  if (viewKind == kWorldMap) {
    nextViewKind = kWorldMap;
  } else if (stationGraphCreated) {
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
    messageText = station.name();
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
  if (GetDocument() == nullptr || mainFrame == nullptr) return;
  if (viewKind == kWorldMap) {
    CMapImageContext map;
    DrawWorldMap(map, *mainFrame, markAllStations, messageText);
    painter.drawImage(0, 0, map.Image());
  } else {
    PaintStationGraph(painter);
  }
}

void CNimbrelView::PrintTo(QPrinter& printer) {
  QPainter painter(&printer);
  if (!painter.isActive()) return;
  OnDraw(painter);
}

void CNimbrelView::OnFilePrint() {
  QPrinter printer;
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() == QDialog::Accepted) PrintTo(printer);
}

void CNimbrelView::OnFilePrintPreview() {
  QPrinter printer;
  QPrintPreviewDialog preview(&printer, this);
  connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) { PrintTo(*target); });
  preview.exec();
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
  Guarded("paint", [&] {
    QPainter painter(this);
    OnDraw(painter);
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

bool CNimbrelView::OnCreateStationGraph() { return false; }

void CNimbrelView::PaintStationGraph(QPainter&) {}

void CNimbrelView::OnDestroyStationGraph() {
  mainFrame->AddToRecentList(station.name());
  RemoveOpenStation(*openStations, station.icao());
}

}  // namespace nimbrel
