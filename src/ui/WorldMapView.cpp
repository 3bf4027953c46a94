#include "ui/WorldMapView.h"

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cstddef>
#include <cmath>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>

#include "map/MapProjection.h"
#include "charts/WorldMapDrawing.h"
#include "ui/QtPainter.h"
#include "ui/StationCard.h"
#include "charts/StationCardText.h"
#include "services/Session.h"
#include "services/WeatherFeed.h"
#include "services/QtText.h"
#include "services/WeatherFeed.h"

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

// The zoomed map on screen draws the same few hundred station labels frame
// after frame: their widths are measured once and each label is drawn as a
// picture of itself, made once by the ordinary text drawing.
class CachedTextPainter : public QtPainter {
 public:
  explicit CachedTextPainter(QPainter& painter) : QtPainter(painter) {
    const QPaintDevice* device = painter.device();
    ratio = device != nullptr ? device->devicePixelRatioF() : 1.0;
    if (cache().ratio != ratio) {
      cache().labels.clear();
      cache().ratio = ratio;
    }
    fontNumber = numberOf(font());
  }

  Size textSize(std::string_view text) override {
    setKey(text, false);
    const auto found = cache().extents.find(key);
    if (found != cache().extents.end()) return found->second;
    const Size size = QtPainter::textSize(text);
    remember(cache().extents, key, size);
    return size;
  }

  void text(Point at, std::string_view text, Align align) override {
    if (text.empty()) return;
    setKey(text, true);
    auto found = cache().labels.find(key);
    if (found == cache().labels.end()) {
      Label made = makeLabel(text);
      found = remember(cache().labels, key, std::move(made));
    }
    const Label& label = found->second;
    int left = at.x;
    if (align == Align::kCentre) left = at.x - label.width / 2;
    else if (align == Align::kRight) left = at.x - label.width;
    qtPainter().drawImage(QPoint(left - kMargin, at.y - kMargin), label.picture);
  }

 protected:
  void fontChanged() override {
    QtPainter::fontChanged();
    fontNumber = numberOf(font());
  }

 private:
  struct Label {
    int width = 0;
    QImage picture;
  };
  struct Cache {
    std::vector<Font> fonts;
    std::unordered_map<std::string, Size> extents;
    std::unordered_map<std::string, Label> labels;
    qreal ratio = 1.0;
  };
  // Shared by every map window; a few thousand labels at most are kept.
  static Cache& cache() {
    static Cache shared;
    return shared;
  }
  static int numberOf(const Font& font) {
    auto& fonts = cache().fonts;
    for (std::size_t i = 0; i < fonts.size(); ++i)
      if (fonts[i] == font) return static_cast<int>(i);
    fonts.push_back(font);
    return static_cast<int>(fonts.size() - 1);
  }
  template <typename T>
  static typename std::unordered_map<std::string, T>::iterator remember(std::unordered_map<std::string, T>& table,
                                                                        const std::string& key, T value) {
    if (table.size() >= kMaxEntries) table.clear();
    return table.emplace(key, std::move(value)).first;
  }
  // The text, then the font and, for a picture, its colours: one reused string.
  void setKey(std::string_view text, bool withColours) {
    key.assign(text);
    key.push_back('\0');
    key.append(reinterpret_cast<const char*>(&fontNumber), sizeof fontNumber);
    if (withColours) {
      const Colour colours[] = {textColour(), textBackground()};
      key.append(reinterpret_cast<const char*>(colours), sizeof colours);
    }
  }
  Label makeLabel(std::string_view text) {
    Label label;
    const Size size = textSize(text);
    label.width = size.width;
    // Glyphs may reach a little past their box: a clear margin keeps them.
    label.picture = QImage(QSize(size.width + 2 * kMargin, size.height + 2 * kMargin) * static_cast<int>(ratio),
                           QImage::Format_ARGB32_Premultiplied);
    label.picture.setDevicePixelRatio(ratio);
    label.picture.fill(Qt::transparent);
    QPainter onLabel(&label.picture);
    QtPainter plain(onLabel);
    plain.setFont(font());
    plain.setTextColour(textColour());
    plain.setTextBackground(textBackground());
    plain.text({kMargin, kMargin}, text);
    setKey(text, true);  // textSize above used the key
    return label;
  }

  static constexpr int kMargin = 2;
  static constexpr std::size_t kMaxEntries = 6000;
  qreal ratio = 1.0;
  int fontNumber = 0;
  std::string key;
};

}  // namespace

std::size_t WorldMapView::mapDataBytes() {
  std::size_t bytes = 0;
  for (const auto& scale : mapScales().scales)
    if (scale) bytes += scale->memoryBytes();
  return bytes;
}

WorldMapView::WorldMapView(Session& session, UserPort& port) : session(session), port(port) {
  initMapResources();
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  // A point is small: its tooltip waits for the pointer to rest on it.
  hoverTimer.setSingleShot(true);
  hoverTimer.setInterval(500);
  connect(&hoverTimer, &QTimer::timeout, this, &WorldMapView::showHoverTip);
  connect(&session.weatherFeed(), &WeatherFeed::changed, this, &WorldMapView::weatherChanged);
  connect(&session.stations(), &StationService::openStationsChanged, this, qOverload<>(&QWidget::update));
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
  update();
}

void WorldMapView::weatherChanged() {
  // The hover grid is rebuilt on the next look-up: a zoom or pan step only
  // repaints.
  weatherIndexStale = true;
  refreshStationCard();
  update();
}

int WorldMapView::weatherStationAt(QPoint pixel) const {
  if (!weatherShown) return -1;
  if (weatherIndexStale) {
    weatherIndexStale = false;
    const WeatherSnapshot* snapshot = session.weatherFeed().snapshot();
    if (snapshot != nullptr) {
      std::vector<std::size_t> indices = snapshot->stationIndices();
      // What the filter hides cannot be clicked either.
      if (const MapFilter& filter = session.settings().mapFilter; filter.hidesAny()) {
        const std::int64_t now = QDateTime::currentSecsSinceEpoch() / 60;
        std::erase_if(indices, [&](std::size_t i) { return !filterShows(filter, *snapshot->forStation(i), now); });
      }
      weatherIndex.build(session.allStations(), indices, view);
    } else {
      weatherIndex.build(StationList{});
    }
  }
  return weatherIndex.nearest(pixel.x(), pixel.y(), 4);
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
    return weather.empty() ? std::string("Ready") : weather;
  }
  return markAll ? totalStationsText(session.allStations()) : std::string("Ready");
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
    // The projected points go to the painter as they are, without a copy.
    static_assert(sizeof(PointF) == sizeof(QPointF) && offsetof(PointF, y) == sizeof(qreal));
    for (const MapLayerStyle& style : mapLayersFor(view)) {
      const MapLayer* layer = map->layer(style.kind);
      if (layer == nullptr) continue;
      if (style.filled) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(toColour(style.colour));
        forEachChunkInView(*layer, view, [&](const ProjectedChunk& chunk) {
          QPainterPath path;
          path.reserve(static_cast<int>(chunk.points.size() + chunk.ringEnds.size()));
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
        continue;
      }
      // One device pixel thin at any scale, as the picture's lines are.
      painter.setPen(QPen(toColour(style.colour), 0));
      painter.setBrush(Qt::NoBrush);
      forEachChunkInView(*layer, view, [&](const ProjectedChunk& chunk) {
        std::uint32_t first = 0;
        for (const std::uint32_t end : chunk.ringEnds) {
          if (end - first >= 2)
            painter.drawPolyline(reinterpret_cast<const QPointF*>(chunk.points.data() + first),
                                 static_cast<int>(end - first));
          first = end;
        }
      });
    }
  }
  painter.restore();
}

void WorldMapView::draw(QPainter& painter) { drawOn(painter, false); }

void WorldMapView::drawOn(QPainter& painter, bool screen) {
  // Label pictures only where they stay crisp: on screen, at whole device pixels.
  const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
  std::unique_ptr<QtPainter> onView;
  if (screen && !view.showsPicture() && ratio == std::floor(ratio))
    onView = std::make_unique<CachedTextPainter>(painter);
  else
    onView = std::make_unique<QtPainter>(painter);
  QtPainter& onMap = *onView;
  if (view.showsPicture()) {
    drawMapPicture(onMap);
  } else {
    drawVectorMap(painter);
    drawGraticule(onMap, view);
  }
  const WeatherSnapshot* snapshot = session.weatherFeed().snapshot();
  if (weatherShown && snapshot != nullptr) {
    drawWeatherLayer(onMap, session.allStations(), *snapshot, colouring, session.openStations(),
                     celsiusShown(session.settings()), view, session.settings().mapFilter,
                     QDateTime::currentSecsSinceEpoch() / 60);
    // Said on the map itself: the status bar's words go as the pointer moves.
    drawMapBadge(onMap, noticeText(), view.width());
    return;
  }
  if (markAll) {
    BusyScope busy(port);
    drawAllStationPoints(onMap, session.allStations(), view);
    port.setStatusText(totalStationsText(session.allStations()));
  }
  drawOpenStationMarks(onMap, session.openStations(), view);
}

void WorldMapView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  drawOn(painter, true);
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
  }
  cardIndex = catalogueIndex;
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

void WorldMapView::closeStationCard() {
  if (card != nullptr) card->dismiss();
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
