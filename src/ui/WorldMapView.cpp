#include "ui/WorldMapView.h"

#include <QAction>
#include <QDateTime>
#include <QFontMetrics>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QSvgGenerator>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "charts/WorldMapDrawing.h"
#include "charts/StationCardText.h"
#include "map/MapProjection.h"
#include "render/BaseMapLayer.h"
#include "render/CachedTextPainter.h"
#include "services/QtText.h"
#include "ui/StationCard.h"
#include "services/Session.h"
#include "services/WeatherFeed.h"
#include "ui/MapData.h"
#include "ui/QtPainter.h"

namespace nimbrel {

std::size_t WorldMapView::mapDataBytes() { return loadedMapDataBytes(); }

WorldMapView::WorldMapView(Session& session, UserPort& port) : session(session), port(port) {
  registerMapResources();
  // Bottom first.
  layers.add(std::make_unique<BaseMapLayer>(&loadedMapScale));
  layers.add(std::make_unique<GraticuleLayer>());
  layers.add(std::make_unique<StationPointsLayer>());
  layers.add(std::make_unique<WeatherPointsLayer>());
  layers.add(std::make_unique<OpenStationMarksLayer>());
  layers.add(std::make_unique<WeatherLegendLayer>());
  selectionLayer = layers.size();
  layers.add(std::make_unique<SelectionLayer>());
  settleTimer.setSingleShot(true);
  settleTimer.setInterval(250);
  connect(&settleTimer, &QTimer::timeout, this, &WorldMapView::keepPictureBelowSelection);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  // A point is small: its tooltip waits for the pointer to rest on it.
  hoverTimer.setSingleShot(true);
  hoverTimer.setInterval(500);
  connect(&hoverTimer, &QTimer::timeout, this, &WorldMapView::showHoverTip);
  connect(&session.weatherFeed(), &WeatherFeed::changed, this, &WorldMapView::weatherChanged);
  connect(&session.stations(), &StationService::openStationsChanged, this, &WorldMapView::redrawAll);
  connect(&session.stations(), &StationService::catalogueChanged, this, [this] {
    // The card's index was into the old list.
    closeStationCard();
    weatherChanged();
  });
  // Units and zone of the plots, tooltips and card; the filter of the points.
  connect(&session.settingsService(), &SettingsService::settingsChanged, this, &WorldMapView::weatherChanged);
  // Without the live source there is no current weather to show.
  connect(&session.settingsService(), &SettingsService::sourceChanged, this, [this] {
    if (this->session.settings().reportSource != ReportSource::kLiveMetar) setShowsWeather(false);
  });
}

WorldMapView::~WorldMapView() {
  if (weatherShown) session.weatherFeed().removeUser(this);
}

void WorldMapView::setShowsWeather(bool on) {
  if (on == weatherShown) return;
  weatherShown = on;
  if (on) {
    session.weatherFeed().addUser(this);
  } else {
    session.weatherFeed().removeUser(this);
    closeStationCard();
    hoverTimer.stop();
    QToolTip::hideText();
  }
  weatherChanged();
}

void WorldMapView::setWeatherColouring(WeatherColouring how) {
  colouring = how;
  redrawAll();
}

void WorldMapView::weatherChanged() {
  // The hover grid is rebuilt on the next look-up: a zoom or pan step only
  // repaints.
  layers.invalidate();
  refreshStationCard();
  redrawAll();
}

MapContent WorldMapView::content() const {
  MapContent shown;
  shown.catalogue = &session.allStations();
  shown.openStations = &session.openStations();
  shown.weather = weatherShown ? session.weatherFeed().snapshot() : nullptr;
  shown.colouring = colouring;
  shown.metric = celsiusShown(session.settings());
  shown.markAll = markAll;
  shown.selected = selected;
  shown.filter = session.settings().mapFilter;
  shown.nowMinutes = QDateTime::currentSecsSinceEpoch() / 60;
  return shown;
}

int WorldMapView::weatherStationAt(QPoint pixel, int radius) const {
  if (!weatherShown) return -1;
  const MapContent shown = content();
  return layers.stationAt(MapFrame{view, shown}, pixel.x(), pixel.y(), radius);
}

void WorldMapView::selectStation(std::optional<std::size_t> catalogueIndex) {
  if (catalogueIndex == selected) return;
  // Only the frames come and go: the rest of the map stays as it is.
  QRegion changed;
  auto addFrames = [&] {
    const MapContent shown = content();
    for (const Rect& r : SelectionLayer::covered(MapFrame{view, shown}))
      changed += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  };
  addFrames();
  selected = catalogueIndex;
  addFrames();
  if (!changed.isEmpty()) update(changed);
}

std::optional<QPoint> WorldMapView::selectionAnchor() const {
  const MapContent shown = content();
  const std::optional<Pixel> at = SelectionLayer::anchor(MapFrame{view, shown});
  if (!at) return std::nullopt;
  return QPoint(at->x, at->y);
}

MapLayer& WorldMapView::addLayer(std::unique_ptr<MapLayer> layer) {
  MapLayer& added = layers.add(std::move(layer));
  redrawAll();
  return added;
}

QString WorldMapView::weatherTooltipAt(QPoint pixel) const {
  const WeatherSnapshot* snapshot = session.weatherFeed().snapshot();
  const int index = weatherStationAt(pixel);
  if (snapshot == nullptr || index < 0) return {};
  const StationWeather* weather = snapshot->forStation(static_cast<std::size_t>(index));
  if (weather == nullptr) return {};
  const std::int64_t nowMinutes = QDateTime::currentSecsSinceEpoch() / 60;
  const Station& station = session.allStations().at(static_cast<std::size_t>(index));
  const Settings& settings = session.settings();
  return toQString(weatherTooltip(station, *weather, nowMinutes, shownUnits(settings)));
}

std::string WorldMapView::noticeText() const {
  const WeatherSnapshot* snapshot = session.weatherFeed().snapshot();
  if (!weatherShown || snapshot == nullptr) return {};
  return noCurrentWeatherText(*snapshot, session.settings().timeUtc);
}

std::string WorldMapView::statusText() const {
  if (weatherShown) {
    const std::string weather = session.weatherFeed().statusText(session.settings().timeUtc);
    return weather.empty() ? readyText() : weather;
  }
  return markAll ? totalStationsText(session.allStations()) : readyText();
}

void WorldMapView::showHoverTip() {
  // The open card says it all already.
  if (card != nullptr && card->isOpen() && weatherStationAt(hoverPixel) == static_cast<int>(cardIndex)) return;
  const QString text = weatherTooltipAt(hoverPixel);
  if (text.isEmpty()) return;
  QToolTip::showText(mapToGlobal(hoverPixel), text, this);
}

void WorldMapView::setMarkAllStations(bool on) {
  markAll = on;
  redrawAll();
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

void WorldMapView::draw(QPainter& painter) { drawOn(painter, false); }

void WorldMapView::drawOn(QPainter& painter, bool screen, const QRegion& area) {
  const MapContent shown = content();
  // Every station's point takes a while: the busy cursor, then the count.
  const bool countStations = markAll && shown.weather == nullptr;
  {
    std::optional<BusyScope> busy;
    if (countStations) busy.emplace(port);
    drawLayers(painter, screen, area, 0, layers.size());
  }
  if (countStations) port.setStatusText(totalStationsText(session.allStations()));
}

void WorldMapView::drawLayers(QPainter& painter, bool screen, const QRegion& area, std::size_t first,
                              std::size_t end) {
  // Label pictures only where they stay crisp: on screen, at whole device pixels.
  const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
  std::unique_ptr<QtPainter> onView;
  if (screen && !view.showsPicture() && ratio == std::floor(ratio))
    onView = std::make_unique<CachedTextPainter>(painter);
  else
    onView = std::make_unique<QtPainter>(painter);
  MapFrame frame{view, content(), screen};
  if (screen && !area.isEmpty() && !QRegion(rect()).subtracted(area).isEmpty()) {
    frame.area.emplace();
    for (const QRect& r : area) frame.area->push_back(Rect{r.left(), r.top(), r.right() + 1, r.bottom() + 1});
  }
  layers.draw(*onView, frame, first, end);
  // Said on the map itself: the status bar's words go as the pointer moves.
  if (end == layers.size())
    if (const std::string notice = noticeText(); !notice.empty()) drawMapBadge(*onView, notice, view.width());
}

void WorldMapView::keepPictureBelowSelection() {
  if (!isVisible()) return;
  const qreal ratio = devicePixelRatioF();
  belowSelection = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
  belowSelection.setDevicePixelRatio(ratio);
  belowSelection.fill(palette().color(QPalette::Base));
  QPainter painter(&belowSelection);
  drawLayers(painter, true, {}, 0, selectionLayer);
  belowSelectionFresh = true;
}

QString WorldMapView::captionText() const {
  if (!weatherShown || session.weatherFeed().snapshot() == nullptr) return {};
  return toQString(session.weatherFeed().statusText(session.settings().timeUtc));
}

void WorldMapView::drawFitted(QPainter& painter, const QRect& page) {
  const QString caption = captionText();
  const QFontMetrics metrics(painter.font(), painter.device());
  const int captionHeight = caption.isEmpty() ? 0 : metrics.height() * 2;
  const QRect area = printedArea();
  const QSize size = area.size();
  const double scale = std::min(double(page.width()) / size.width(),
                                double(std::max(1, page.height() - captionHeight)) / size.height());
  if (!(scale > 0.0)) return;
  painter.save();
  painter.translate(page.left() + (page.width() - size.width() * scale) / 2.0, page.top());
  painter.scale(scale, scale);
  painter.translate(-area.topLeft());
  painter.setClipRect(area);
  drawOn(painter, false);
  painter.restore();
  if (!caption.isEmpty()) {
    painter.save();
    painter.setPen(Qt::black);
    const int top = page.top() + static_cast<int>(std::ceil(size.height() * scale)) + metrics.height() / 2;
    painter.drawText(QRect(page.left(), top, page.width(), metrics.height()), Qt::AlignHCenter | Qt::AlignTop,
                     caption);
    painter.restore();
  }
}

QRect WorldMapView::printedArea() const {
  const QRect window(0, 0, view.width(), view.height());
  if (view.showsPicture()) return window;
  // The rows the world takes, and a pixel either side for its edge lines.
  const int top = static_cast<int>(std::floor(view.toView(0.0, 0.0).y)) - 1;
  const int bottom = static_cast<int>(std::ceil(view.toView(0.0, 180.0).y)) + 1;
  const QRect rows = window.intersected(QRect(0, top, view.width(), bottom - top));
  return rows.isEmpty() ? window : rows;
}

void WorldMapView::print(QPainter& painter) {
  const QPaintDevice* device = painter.device();
  if (device == nullptr) return;
  drawFitted(painter, QRect(0, 0, device->width(), device->height()));
}

bool WorldMapView::savePicture(const QString& path, QString& error) {
  const QSize size(view.width(), view.height());
  if (QFileInfo(path).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(size);
    // One pixel of the window one CSS pixel of the drawing.
    svg.setResolution(96);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(QStringLiteral("World map"));
    svg.setDescription(captionText());
    QPainter painter;
    if (!painter.begin(&svg)) {
      error = tr("The file could not be written.");
      return false;
    }
    drawOn(painter, false);
    painter.end();
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() == 0) {
      error = tr("The file could not be written.");
      return false;
    }
    return true;
  }
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    drawOn(painter, false);
  }
  QImageWriter writer(path, "png");
  if (!writer.write(image)) {
    error = writer.errorString();
    return false;
  }
  return true;
}

void WorldMapView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (belowSelectionFresh && belowSelection.size() == size() * devicePixelRatioF()) {
    // Nothing under the selection changed since the picture: only the
    // selection, the card or an exposed part is drawn.
    painter.drawImage(0, 0, belowSelection);
    drawLayers(painter, true, event->region(), selectionLayer, layers.size());
    return;
  }
  if (!settleTimer.isActive()) settleTimer.start();
  drawOn(painter, true, event->region());
}

void WorldMapView::redrawAll() {
  // The kept picture waits for the map to stand still again.
  belowSelectionFresh = false;
  settleTimer.start();
  update();
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
    port.setStatusText(MapProjection::statusText(*point));
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
    case Qt::Key_Escape:
      if (card != nullptr && card->isOpen()) {
        closeStationCard();
        return;
      }
      QWidget::keyPressEvent(event);
      return;
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
  // The first click of the pair opened the card; the pair opens the chart.
  if (const int index = weatherStationAt(p); index >= 0) {
    closeStationCard();
    emit stationActivated(session.allStations().at(static_cast<std::size_t>(index)));
    return;
  }
  emit nearestRequested(view.toMapPoint(p.x(), p.y()));
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
  // A click on a weather point opens that station's card, anywhere else
  // closes it; a chart is the card's button or a double-click away.
  const int index = event->button() == Qt::LeftButton ? weatherStationAt(event->position().toPoint()) : -1;
  if (index >= 0) {
    openStationCard(static_cast<std::size_t>(index));
    return;
  }
  if (event->button() == Qt::LeftButton) closeStationCard();
  QWidget::mouseReleaseEvent(event);
}

void WorldMapView::openStationCard(std::size_t catalogueIndex) {
  if (catalogueIndex >= session.allStations().size()) return;
  if (card == nullptr) {
    card = new StationCard(this);
    connect(card, &StationCard::chartRequested, this, &WorldMapView::stationActivated);
    card->setWatchToggle(watch);
  }
  cardIndex = catalogueIndex;
  selectStation(catalogueIndex);
  const Station& station = session.allStations()[catalogueIndex];
  const WeatherSnapshot* snapshot = weatherShown ? session.weatherFeed().snapshot() : nullptr;
  const StationWeather* weather = snapshot != nullptr ? snapshot->forStation(catalogueIndex) : nullptr;
  const Settings& settings = session.settings();
  card->showStation(station,
                    stationCardText(station, weather, QDateTime::currentSecsSinceEpoch() / 60, shownUnits(settings),
                                    settings.timeUtc),
                    session.forecastSource(), settings.timeUtc);
  const Pixel at = view.toPixel(station.mapLongitude, station.mapColatitude);
  card->placeBeside(QPoint(at.x, at.y));
}

void WorldMapView::setWatchToggle(const WatchToggle* toggle) {
  watch = toggle;
  if (card != nullptr) card->setWatchToggle(toggle);
}

void WorldMapView::closeStationCard() {
  if (card != nullptr) card->dismiss();
  selectStation(std::nullopt);
}

void WorldMapView::refreshStationCard() {
  if (card != nullptr && card->isOpen()) openStationCard(cardIndex);
}

void WorldMapView::goToStation(const Station& station) {
  const StationList& all = session.allStations();
  const auto found = std::find(all.begin(), all.end(), station);
  if (found == all.end() || !station.hasPosition) return;
  // Close enough to read its plot; closer still if the map already was.
  constexpr double kGoToZoom = 16.0;
  MapViewport shown = view;
  const PointF at = shown.toView(station.mapLongitude, station.mapColatitude);
  if (shown.zoom() < kGoToZoom) shown.zoomAbout(kGoToZoom / shown.zoom(), at.x, at.y);
  const PointF now = shown.toView(station.mapLongitude, station.mapColatitude);
  shown.panBy(shown.width() / 2.0 - now.x, shown.height() / 2.0 - now.y);
  setViewport(shown);
  openStationCard(static_cast<std::size_t>(found - all.begin()));
  setFocus();
}

void WorldMapView::leaveEvent(QEvent* event) {
  hoverTimer.stop();
  QWidget::leaveEvent(event);
}

}  // namespace nimbrel
