#include "ui/Icons.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

#include <algorithm>
#include <utility>

// The SVG files are resources of a static library, registered only when
// asked for by name; the toolbar may be built before the map window does it.
static void initToolbarResources() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(resources);
    return true;
  }();
  (void)registered;
}

namespace nimbrel {
namespace {

QPixmap canvas(int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// The program's picture is drawn at the size asked for, when it is asked
// for, rather than as pixmaps made at start-up.
class ProgramIconEngine : public QIconEngine {
 public:
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
    const double side = std::min(rect.width(), rect.height());
    if (side <= 0) return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->translate(rect.x() + (rect.width() - side) / 2.0, rect.y() + (rect.height() - side) / 2.0);
    const double s = side / 32.0;
    painter->setPen(QPen(QColor(20, 60, 140), 1.5 * s));
    painter->setBrush(QColor(120, 180, 240));
    painter->drawEllipse(QRectF(2 * s, 2 * s, 28 * s, 28 * s));
    painter->setBrush(QColor(255, 230, 0));
    painter->setPen(Qt::NoPen);
    painter->drawEllipse(QRectF(8 * s, 9 * s, 10 * s, 8 * s));
    painter->drawEllipse(QRectF(17 * s, 16 * s, 8 * s, 9 * s));
    painter->setPen(QPen(QColor(220, 0, 0), 2.5 * s));
    painter->drawLine(QPointF(16 * s, 16 * s), QPointF(27 * s, 6 * s));
    painter->restore();
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    QPixmap pixmap = canvas(size.width(), size.height());
    if (pixmap.isNull()) return pixmap;
    QPainter painter(&pixmap);
    paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    return pixmap;
  }
  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {{16, 16}, {32, 32}, {48, 48}}; }
  QString key() const override { return QStringLiteral("NimbrelProgramIcon"); }
  QIconEngine* clone() const override { return new ProgramIconEngine; }
};

// A toolbar image drawn from its SVG at the size asked for, so it is sharp
// at any screen scale. The renderer is our own rather than Qt's SVG icon
// plugin, so the icons do not depend on a plugin being found at run time.
class SvgIconEngine : public QIconEngine {
 public:
  explicit SvgIconEngine(QString path) : path_(std::move(path)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    const qreal ratio = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
    const QSize size = actualSize(rect.size(), mode, state);
    QPixmap image = pixmap(size * ratio, mode, state);
    image.setDevicePixelRatio(ratio);
    painter->drawPixmap(QPointF(rect.x() + (rect.width() - size.width()) / 2.0,
                                rect.y() + (rect.height() - size.height()) / 2.0),
                        image);
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
    if (size.isEmpty()) return QPixmap();
    const QString key = QStringLiteral("nimbrel-svg:%1:%2x%3:%4")
                            .arg(path_)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(static_cast<int>(mode));
    QPixmap result;
    if (QPixmapCache::find(key, &result)) return result;
    const QSize fitted = actualSize(size, mode, QIcon::Off);
    result = canvas(fitted.width(), fitted.height());
    {
      QPainter painter(&result);
      renderer().render(&painter, QRectF(QPointF(0, 0), QSizeF(fitted)));
    }
    if (mode == QIcon::Disabled || mode == QIcon::Selected) {
      // Greyed or highlighted as the style does it for any other icon.
      if (auto* application = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QStyleOption option;
        option.palette = QApplication::palette();
        result = application->style()->generatedIconPixmap(mode, result, &option);
      }
    }
    QPixmapCache::insert(key, result);
    return result;
  }

  // The image's own proportions, 17 x 18, fitted into what is asked for.
  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
    return renderer().defaultSize().scaled(size, Qt::KeepAspectRatio);
  }
  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {renderer().defaultSize()}; }
  QString key() const override { return QStringLiteral("NimbrelSvgIcon"); }
  QIconEngine* clone() const override { return new SvgIconEngine(path_); }

 private:
  // One renderer per file for the life of the program; the four toolbar
  // images are small and drawn on every repaint of the toolbar.
  QSvgRenderer& renderer() const {
    static QHash<QString, QSvgRenderer*> renderers;
    QSvgRenderer*& found = renderers[path_];
    if (found == nullptr) found = new QSvgRenderer(path_);
    return *found;
  }

  QString path_;
};

}  // namespace

QIcon programIcon() { return QIcon(new ProgramIconEngine); }

QIcon toolbarIcon(ToolbarImage image) {
  initToolbarResources();
  switch (image) {
    case ToolbarImage::kParameters:
      return QIcon(new SvgIconEngine(QStringLiteral(":/toolbar/parameters.svg")));
    case ToolbarImage::kMarkAllStations:
      return QIcon(new SvgIconEngine(QStringLiteral(":/toolbar/mark-all-stations.svg")));
    case ToolbarImage::kShowAllStations:
      return QIcon(new SvgIconEngine(QStringLiteral(":/toolbar/show-all-stations.svg")));
    case ToolbarImage::kFindStation:
      return QIcon(new SvgIconEngine(QStringLiteral(":/toolbar/find-station.svg")));
    case ToolbarImage::kCurrentWeather:
      return QIcon(new SvgIconEngine(QStringLiteral(":/toolbar/current-weather.svg")));
    case ToolbarImage::kWatchedStations:
      return QIcon(new SvgIconEngine(QStringLiteral(":/toolbar/watched-stations.svg")));
  }
  return QIcon();
}

}  // namespace nimbrel
