#include "ui/WorldMapView.h"

#include <QMouseEvent>
#include <QPainter>

#include "catalog/MapProjection.h"
#include "charts/WorldMapDrawing.h"
#include "ui/MainWindow.h"
#include "ui/QtDrawContext.h"

// The picture lives in the resources of a static library: nothing would
// pull their registration in unless it is asked for by name.
static void initMapResources() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(resources);
    return true;
  }();
  (void)registered;
}

namespace nimbrel {

WorldMapView::WorldMapView(MainWindow& window) : window(window) {
  initMapResources();
  setMouseTracking(true);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
}

WorldMapView::~WorldMapView() { window.worldMapClosed(); }

void WorldMapView::setMarkAllStations(bool on) {
  markAll = on;
  repaint();
}

void WorldMapView::draw(QPainter& painter) {
  QtDrawContext dc(painter);
  drawMapPicture(dc);
  if (markAll) {
    BusyScope busy(window);
    drawAllStationPoints(dc, window.allStations());
    window.setStatusText(totalStationsText(window.allStations()));
  }
  drawOpenStationMarks(dc, window.openStations());
}

void WorldMapView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  draw(painter);
}

void WorldMapView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (const std::optional<MapPoint> point = MapProjection::toMapPoint(p.x(), p.y()))
    window.setStatusText(MapProjection::statusText(*point));
  QWidget::mouseMoveEvent(event);
}

void WorldMapView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mouseDoubleClickEvent(event);
    return;
  }
  const QPoint p = event->position().toPoint();
  window.showNearestStations(p.x(), p.y());
}

}  // namespace nimbrel
