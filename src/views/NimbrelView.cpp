#include "views/NimbrelView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "app/MainFrame.h"
#include "app/NimbrelDoc.h"
#include "catalog/StationCatalog.h"
#include "platform/ViewKind.h"
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

namespace {

// The main frame as the map drawing sees it during a paint event: the status
// text waits until the paint is over, since the frame repaints its status
// bar at once and a repaint inside a paint of the same window is not allowed.
class CPaintTimeFrame : public IMainFrame {
 public:
  explicit CPaintTimeFrame(IMainFrame& frame) : frame(frame) {}

  CStation& CurrentRecord() override { return frame.CurrentRecord(); }
  CStationArray& AllStations() override { return frame.AllStations(); }
  CStationArray& ResultStations() override { return frame.ResultStations(); }
  CStationArray& OpenStations() override { return frame.OpenStations(); }
  void ShowMessage(const std::string& text) override { frame.ShowMessage(text); }
  void SetStatusText(const std::string& text) override {
    statusText = text;
    hasStatusText = true;
  }
  void BeginWaitCursor() override { frame.BeginWaitCursor(); }
  void EndWaitCursor() override { frame.EndWaitCursor(); }
  bool OpenWindow(int kind, const std::string& title) override { return frame.OpenWindow(kind, title); }
  void AddToRecentList(const std::string& name) override { frame.AddToRecentList(name); }
  std::time_t CurrentTime() override { return frame.CurrentTime(); }

  std::string statusText;
  bool hasStatusText = false;

 private:
  IMainFrame& frame;
};

}  // namespace

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
  if (mainFrame == nullptr) return;
  CPaintTimeFrame frame(*mainFrame);
  Guarded("paint", [&] {
    QPainter painter(this);
    Draw(painter, frame);
  });
  if (frame.hasStatusText) {
    QMetaObject::invokeMethod(
        mainFrame, [target = mainFrame, text = frame.statusText] { target->SetStatusText(text); },
        Qt::QueuedConnection);
  }
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
