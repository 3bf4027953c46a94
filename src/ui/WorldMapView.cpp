#include "ui/WorldMapView.h"

#include <QMouseEvent>
#include <QDateTime>
#include <QPainter>
#include <QToolTip>
#include <utility>

#include "catalog/MapProjection.h"
#include "charts/WorldMapDrawing.h"
#include "ui/MainWindow.h"
#include "ui/QtDrawContext.h"
#include "ui/QtText.h"
#include "ui/WeatherFeed.h"

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
  // A point is small: its tooltip waits for the pointer to rest on it.
  hoverTimer.setSingleShot(true);
  hoverTimer.setInterval(500);
  connect(&hoverTimer, &QTimer::timeout, this, &WorldMapView::showHoverTip);
}

WorldMapView::~WorldMapView() {
  if (weatherShown) window.weatherFeed().removeUser(this);
  window.worldMapClosed();
}

void WorldMapView::setShowsWeather(bool on) {
  if (on == weatherShown) return;
  weatherShown = on;
  if (on) {
    window.weatherFeed().addUser(this);
  } else {
    window.weatherFeed().removeUser(this);
    hoverTimer.stop();
    QToolTip::hideText();
  }
  weatherChanged();
}

void WorldMapView::setWeatherColouring(WeatherColouring how) {
  colouring = how;
  update();
}

void WorldMapView::weatherChanged() {
  const WeatherSnapshot* snapshot = window.weatherFeed().snapshot();
  if (weatherShown && snapshot != nullptr) {
    const std::vector<std::size_t> indices = snapshot->stationIndices();
    weatherIndex.build(window.allStations(), indices);
  } else {
    weatherIndex.build(StationList{});
  }
  update();
}

int WorldMapView::weatherStationAt(QPoint pixel) const {
  if (!weatherShown) return -1;
  return weatherIndex.nearest(pixel.x(), pixel.y(), 4);
}

QString WorldMapView::weatherTooltipAt(QPoint pixel) const {
  const WeatherSnapshot* snapshot = window.weatherFeed().snapshot();
  const int index = weatherStationAt(pixel);
  if (snapshot == nullptr || index < 0) return {};
  const StationWeather* weather = snapshot->forStation(static_cast<std::size_t>(index));
  if (weather == nullptr) return {};
  const std::int64_t nowMinutes = QDateTime::currentSecsSinceEpoch() / 60;
  return toQString(weatherTooltip(window.allStations().at(static_cast<std::size_t>(index)), *weather, nowMinutes,
                                  window.settings().metricStyle));
}

void WorldMapView::showHoverTip() {
  const QString text = weatherTooltipAt(hoverPixel);
  if (text.isEmpty()) return;
  QToolTip::showText(mapToGlobal(hoverPixel), text, this);
}

void WorldMapView::setMarkAllStations(bool on) {
  markAll = on;
  repaint();
}

void WorldMapView::draw(QPainter& painter) {
  QtDrawContext dc(painter);
  drawMapPicture(dc);
  const WeatherSnapshot* snapshot = window.weatherFeed().snapshot();
  if (weatherShown && snapshot != nullptr) {
    drawWeatherLayer(dc, window.allStations(), *snapshot, colouring, window.openStations(),
                     window.settings().metricStyle);
    return;
  }
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
  if (weatherShown) {
    hoverPixel = p;
    if (weatherStationAt(p) >= 0) {
      hoverTimer.start();
    } else {
      hoverTimer.stop();
      QToolTip::hideText();
    }
  }
  if (const std::optional<MapPoint> point = MapProjection::toMapPoint(p.x(), p.y()))
    window.setStatusText(MapProjection::statusText(*point));
  QWidget::mouseMoveEvent(event);
}

void WorldMapView::mousePressEvent(QMouseEvent* event) {
  // A new click: no double-click is waiting for its release any more.
  if (event->button() == Qt::LeftButton) releaseEndsDoubleClick = false;
  QWidget::mousePressEvent(event);
}

void WorldMapView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mouseDoubleClickEvent(event);
    return;
  }
  const QPoint p = event->position().toPoint();
  releaseEndsDoubleClick = true;
  // The first click of the pair opened the point's chart already.
  if (weatherStationAt(p) >= 0) return;
  window.showNearestStations(p.x(), p.y());
}

void WorldMapView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && std::exchange(releaseEndsDoubleClick, false)) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  // A click on a weather point opens that station's chart.
  const int index = event->button() == Qt::LeftButton ? weatherStationAt(event->position().toPoint()) : -1;
  if (index >= 0) {
    const Station chosen = window.allStations().at(static_cast<std::size_t>(index));
    window.openStationChart(chosen);
    return;
  }
  QWidget::mouseReleaseEvent(event);
}

void WorldMapView::leaveEvent(QEvent* event) {
  hoverTimer.stop();
  QWidget::leaveEvent(event);
}

}  // namespace nimbrel
