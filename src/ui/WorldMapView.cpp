#include "ui/WorldMapView.h"

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <QWheelEvent>
#include <array>
#include <cmath>
#include <memory>
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
namespace {

// The vector map's three scales, read once on first need and shared by
// every map window.
struct MapScales {
  std::array<std::unique_ptr<VectorMap>, 3> scales;
  std::array<bool, 3> tried = {};
};

MapScales& mapScales() {
  static MapScales loaded;
  return loaded;
}

const VectorMap* mapScale(int level) {
  MapScales& all = mapScales();
  const auto i = static_cast<std::size_t>(level);
  if (!all.tried[i]) {
    all.tried[i] = true;
    static const char* const kFiles[] = {":/map/map110.bin", ":/map/map50.bin", ":/map/map10.bin"};
    QFile file(QString::fromLatin1(kFiles[i]));
    if (file.open(QIODevice::ReadOnly)) {
      const QByteArray bytes = file.readAll();
      auto map = std::make_unique<VectorMap>();
      std::string error;
      if (map->read(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), error))
        all.scales[i] = std::move(map);
      else
        qWarning("world map data %s: %s", kFiles[i], error.c_str());
    }
  }
  // A scale that could not be read gives way to a coarser one.
  for (int l = level; l >= 0; --l)
    if (all.scales[static_cast<std::size_t>(l)]) return all.scales[static_cast<std::size_t>(l)].get();
  return nullptr;
}

QColor toColour(Colour c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

}  // namespace

std::size_t WorldMapView::mapDataBytes() {
  std::size_t bytes = 0;
  for (const auto& scale : mapScales().scales)
    if (scale) bytes += scale->memoryBytes();
  return bytes;
}

QList<QAction*> WorldMapView::makeZoomActions(QObject* owner, std::function<WorldMapView*()> activeMap) {
  auto make = [&](const char* text, const char* tip, QList<QKeySequence> keys, void (WorldMapView::*act)()) {
    auto* action = new QAction(QString::fromLatin1(text), owner);
    action->setStatusTip(QString::fromLatin1(tip));
    action->setShortcuts(keys);
    QObject::connect(action, &QAction::triggered, owner, [activeMap, act] {
      if (WorldMapView* map = activeMap()) (map->*act)();
    });
    return action;
  };
  return {make("Zoom &In", "Zoom in on the centre of the map",
               {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}, &WorldMapView::zoomIn),
          make("Zoom &Out", "Zoom out from the centre of the map", {QKeySequence(Qt::CTRL | Qt::Key_Minus)},
               &WorldMapView::zoomOut),
          make("&Whole World", "Show the whole world", {QKeySequence(Qt::CTRL | Qt::Key_0)},
               &WorldMapView::showWholeWorld)};
}

WorldMapView::WorldMapView(MainWindow& window) : window(window) {
  initMapResources();
  setFocusPolicy(Qt::StrongFocus);
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
    weatherIndex.build(window.allStations(), indices, view);
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

void WorldMapView::setViewport(const MapViewport& shown) {
  view = shown;
  view.setSize(width(), height());
  viewChanged();
}

void WorldMapView::showWholeWorld() {
  view.showWholeWorld();
  viewChanged();
}

void WorldMapView::zoomAboutCentre(double factor) {
  view.zoomAboutCentre(factor);
  viewChanged();
}

void WorldMapView::viewChanged() {
  // The hover grid follows the view.
  weatherChanged();
}

void WorldMapView::drawVectorMap(QPainter& painter) {
  painter.save();
  painter.fillRect(QRect(0, 0, view.width(), view.height()), toColour(kMapSeaColour));
  painter.setRenderHint(QPainter::Antialiasing, false);
  if (const VectorMap* map = mapScale(mapScaleFor(view))) {
    if (const MapLayer* land = map->layer(MapLayerKind::kLand)) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(toColour(kMapLandColour));
      forEachChunkInView(*land, view, [&](const ProjectedChunk& chunk) {
        QPainterPath path;
        path.setFillRule(Qt::OddEvenFill);
        std::uint32_t first = 0;
        for (const std::uint32_t end : chunk.ringEnds) {
          if (end - first >= 3) {
            path.moveTo(chunk.points[first].x, chunk.points[first].y);
            for (std::uint32_t p = first + 1; p < end; ++p) path.lineTo(chunk.points[p].x, chunk.points[p].y);
            path.closeSubpath();
          }
          first = end;
        }
        painter.drawPath(path);
      });
    }
    // One device pixel thin at any scale, as the picture's lines are.
    QPen line(toColour(kMapLineColour), 0);
    painter.setPen(line);
    painter.setBrush(Qt::NoBrush);
    QVector<QPointF> points;
    for (const MapLayerKind kind : {MapLayerKind::kCoastline, MapLayerKind::kBorder}) {
      const MapLayer* layer = map->layer(kind);
      if (layer == nullptr) continue;
      forEachChunkInView(*layer, view, [&](const ProjectedChunk& chunk) {
        std::uint32_t first = 0;
        for (const std::uint32_t end : chunk.ringEnds) {
          points.clear();
          for (std::uint32_t p = first; p < end; ++p) points.append(QPointF(chunk.points[p].x, chunk.points[p].y));
          if (points.size() >= 2) painter.drawPolyline(points.constData(), static_cast<int>(points.size()));
          first = end;
        }
      });
    }
  }
  painter.restore();
}

void WorldMapView::draw(QPainter& painter) {
  QtDrawContext dc(painter);
  if (view.showsPicture()) {
    drawMapPicture(dc);
  } else {
    drawVectorMap(painter);
    drawGraticule(dc, view);
  }
  const WeatherSnapshot* snapshot = window.weatherFeed().snapshot();
  if (weatherShown && snapshot != nullptr) {
    drawWeatherLayer(dc, window.allStations(), *snapshot, colouring, window.openStations(),
                     window.settings().metricStyle, view);
    return;
  }
  if (markAll) {
    BusyScope busy(window);
    drawAllStationPoints(dc, window.allStations(), view);
    window.setStatusText(totalStationsText(window.allStations()));
  }
  drawOpenStationMarks(dc, window.openStations(), view);
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
  if (pressed && (event->buttons() & Qt::LeftButton)) {
    // A few pixels of jitter are still a click.
    if (!dragging && (p - pressPixel).manhattanLength() > 3) dragging = true;
    if (dragging) {
      view.panBy(p.x() - dragLast.x(), p.y() - dragLast.y());
      dragLast = p;
      viewChanged();
    }
  }
  if (const std::optional<MapPoint> point = view.toMapPoint(p.x(), p.y()))
    window.setStatusText(MapProjection::statusText(*point));
  QWidget::mouseMoveEvent(event);
}

void WorldMapView::mousePressEvent(QMouseEvent* event) {
  // A new click: no double-click is waiting for its release any more.
  if (event->button() == Qt::LeftButton) {
    releaseEndsDoubleClick = false;
    pressed = true;
    dragging = false;
    pressPixel = dragLast = event->position().toPoint();
  }
  QWidget::mousePressEvent(event);
}

void WorldMapView::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta == 0) {
    QWidget::wheelEvent(event);
    return;
  }
  // One notch doubles or halves the scale, about the point under the pointer.
  // The pointer's pixel is a square: its centre is the point that stays.
  const QPointF p = event->position();
  view.zoomAbout(std::pow(2.0, delta / 120.0), std::floor(p.x()) + 0.5, std::floor(p.y()) + 0.5);
  viewChanged();
  event->accept();
}

void WorldMapView::keyPressEvent(QKeyEvent* event) {
  const double stepX = width() / 8.0, stepY = height() / 8.0;
  switch (event->key()) {
    case Qt::Key_Left: view.panBy(stepX, 0); break;
    case Qt::Key_Right: view.panBy(-stepX, 0); break;
    case Qt::Key_Up: view.panBy(0, stepY); break;
    case Qt::Key_Down: view.panBy(0, -stepY); break;
    default: QWidget::keyPressEvent(event); return;
  }
  viewChanged();
}

void WorldMapView::resizeEvent(QResizeEvent* event) {
  view.setSize(width(), height());
  viewChanged();
  QWidget::resizeEvent(event);
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
  window.showNearestStationsAt(view.toMapPoint(p.x(), p.y()));
}

void WorldMapView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed = false;
  // The end of a drag opens nothing.
  if (event->button() == Qt::LeftButton && std::exchange(dragging, false)) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
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
