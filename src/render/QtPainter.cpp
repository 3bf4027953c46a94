#include "render/QtPainter.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "services/QtText.h"

namespace nimbrel {
namespace {

QColor toQColor(Colour colour) { return QColor(redOf(colour), greenOf(colour), blueOf(colour)); }

QRect toQRect(const Rect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

QPen makePen(const Pen& pen) {
  // A square cap makes Qt draw both ends of a one-pixel line in every
  // direction (a flat cap drops the start instead of the end of lines going
  // up or left); line() then ends one pixel early. Widths below 1 draw one pixel.
  QPen result(toQColor(pen.colour), std::max(1, pen.width));
  result.setCosmetic(true);
  result.setCapStyle(pen.width <= 1 ? Qt::SquareCap : Qt::FlatCap);
  result.setJoinStyle(Qt::MiterJoin);
  return result;
}

const QString kFallbackFamily = QStringLiteral("Liberation Sans");

}  // namespace

struct QtPainter::FontEntry {
  Font description;
  QFont font;
  QFontMetrics metrics;
  int ascent;
  int cellHeight;
};

QFont QtPainter::resolveFont(const Font& description) {
  QString family = toQString(description.family);
  if (family.isEmpty() || !QFontDatabase::hasFamily(family)) family = kFallbackFamily;
  QFont result(family);
  result.setWeight(static_cast<QFont::Weight>(std::clamp(description.weight > 0 ? description.weight : 400, 1, 1000)));
  result.setStyleStrategy(QFont::PreferMatch);
  const int height = description.height == 0 ? 16 : description.height;
  if (height < 0) {
    result.setPixelSize(-height);  // a negative height is the character (em) height
    return result;
  }
  result.setPixelSize(height);
  QFontMetrics metrics(result);
  const int cell = metrics.ascent() + metrics.descent();
  if (cell > 0 && cell != height) {
    int pixels = std::max(1, static_cast<int>(std::lround(static_cast<double>(height) * height / cell)));
    result.setPixelSize(pixels);
    while (pixels > 1 && QFontMetrics(result).ascent() + QFontMetrics(result).descent() > height) {
      result.setPixelSize(--pixels);
    }
  }
  return result;
}

const QtPainter::FontEntry& QtPainter::lookUpFont(const Font& description) {
  // Fonts are resolved once per description for the life of the program;
  // the chart uses three, a few sizes each as windows shrink.
  static std::vector<std::unique_ptr<FontEntry>> cache;
  for (const auto& entry : cache) {
    if (entry->description == description) return *entry;
  }
  QFont qfont = resolveFont(description);
  QFontMetrics metrics(qfont);
  cache.push_back(std::unique_ptr<FontEntry>(
      new FontEntry{description, qfont, metrics, metrics.ascent(), metrics.ascent() + metrics.descent()}));
  return *cache.back();
}

QtPainter::QtPainter(QPainter& qpainter) : painter(qpainter) {
  if (painter.device() != nullptr) deviceRatio = painter.device()->devicePixelRatioF();
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  qtPen = makePen(pen());
  painter.setPen(qtPen);
  painter.setBrush(Qt::NoBrush);
}

QtPainter::~QtPainter() { painter.restore(); }

void QtPainter::penChanged() {
  qtPen = makePen(pen());
  painter.setPen(qtPen);
}

void QtPainter::fontChanged() { fontEntry = nullptr; }

// The font is resolved when text first needs it: a map paint never does.
const QtPainter::FontEntry& QtPainter::currentFont() {
  if (fontEntry == nullptr) {
    fontEntry = &lookUpFont(font());
    painter.setFont(fontEntry->font);
  }
  return *fontEntry;
}

void QtPainter::rect(const Rect& area) {
  if (area.width() < 1 || area.height() < 1) return;
  painter.fillRect(toQRect(area), toQColor(brush()));
  // A stroked QRect covers its size plus the pen: right - 1 and bottom - 1.
  painter.drawRect(QRect(area.left, area.top, area.width() - 1, area.height() - 1));
}

void QtPainter::ellipse(const Rect& bounds) {
  if (bounds.width() < 1 || bounds.height() < 1) return;
  painter.setBrush(toQColor(brush()));
  painter.drawEllipse(QRect(bounds.left, bounds.top, bounds.width() - 1, bounds.height() - 1));
  painter.setBrush(Qt::NoBrush);
}

void QtPainter::fillRect(const Rect& area, Colour colour) {
  if (area.width() > 0 && area.height() > 0) painter.fillRect(toQRect(area), toQColor(colour));
}

void QtPainter::line(Point from, Point to) {
  if (from == to) return;
  const QPoint start(from.x, from.y);
  if (pen().width > 1) {
    painter.drawLine(start, QPoint(to.x, to.y));
    return;
  }
  // The last pixel before the end: one step back along the longer axis,
  // the other coordinate rounded on the line.
  const int dx = to.x - from.x;
  const int dy = to.y - from.y;
  QPoint last;
  if (std::abs(dx) >= std::abs(dy)) {
    const int lx = to.x - (dx > 0 ? 1 : -1);
    last = QPoint(lx, from.y + static_cast<int>(std::lround(static_cast<double>(lx - from.x) * dy / dx)));
  } else {
    const int ly = to.y - (dy > 0 ? 1 : -1);
    last = QPoint(from.x + static_cast<int>(std::lround(static_cast<double>(ly - from.y) * dx / dy)), ly);
  }
  if (last == start) {
    painter.drawPoint(start);
  } else {
    painter.drawLine(start, last);
  }
}

void QtPainter::pixel(Point at, Colour colour) { painter.fillRect(QRect(at.x, at.y, 1, 1), toQColor(colour)); }

void QtPainter::text(Point at, std::string_view text, Align align) {
  if (text.empty()) return;
  const QString qtext = toQString(text);
  const FontEntry& entry = currentFont();
  const int width = entry.metrics.horizontalAdvance(qtext);
  int left = at.x;
  if (align == Align::kCentre) {
    left = at.x - width / 2;
  } else if (align == Align::kRight) {
    left = at.x - width;
  }
  painter.fillRect(QRect(left, at.y, width, entry.cellHeight), toQColor(textBackground()));
  painter.setPen(toQColor(textColour()));
  painter.drawText(left, at.y + entry.ascent, qtext);
  painter.setPen(qtPen);
}

Size QtPainter::textSize(std::string_view text) {
  const FontEntry& entry = currentFont();
  return Size{entry.metrics.horizontalAdvance(toQString(text)), entry.cellHeight};
}

void QtPainter::rimmedPoints(std::span<const Point> centres, Colour fill, Colour rim) {
  // One picture of the point, copied to each place: a map of thousands of
  // points costs a copy each instead of three fills. Whole device pixels only.
  const qreal ratio = deviceRatio;
  if (ratio != std::floor(ratio) || painter.transform().type() > QTransform::TxTranslate) {
    Painter::rimmedPoints(centres, fill, rim);
    return;
  }
  static QHash<quint64, QImage> pictures;
  const quint64 key = (quint64{fill} << 32) ^ (quint64{rim} << 8) ^ static_cast<quint64>(ratio);
  auto found = pictures.constFind(key);  // const: no copy-on-write check per run
  if (found == pictures.cend()) {
    if (pictures.size() > 512) pictures.clear();  // a temperature scale has a few hundred colours
    QImage point(QSize(5, 5) * static_cast<int>(ratio), QImage::Format_ARGB32_Premultiplied);
    point.setDevicePixelRatio(ratio);
    point.fill(Qt::transparent);
    QPainter onPoint(&point);
    onPoint.fillRect(QRect(1, 0, 3, 5), toQColor(rim));
    onPoint.fillRect(QRect(0, 1, 5, 3), toQColor(rim));
    onPoint.fillRect(QRect(1, 1, 3, 3), toQColor(fill));
    onPoint.end();
    found = pictures.insert(key, point);
  }
  for (const Point c : centres) painter.drawImage(QPoint(c.x - 2, c.y - 2), *found);
}

void QtPainter::image(std::string_view name, Point at) {
  // Above scale 1 the picture drawn at twice the size, where there is one,
  // fills the same logical rectangle; at scale 1 the original is copied as is.
  const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
  const QString key = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
  static QHash<QString, QImage> images;
  static QHash<QString, QImage> doubleImages;
  auto load = [&key](QHash<QString, QImage>& cache, const QString& path, const char* format, qreal scale) {
    auto found = cache.find(key);
    if (found == cache.end()) {
      // Kept in the window's own pixel format, so a paint copies the picture
      // instead of converting its colour table every time.
      found = cache.insert(key, QImage(path, format).convertToFormat(QImage::Format_RGB32));
      found->setDevicePixelRatio(scale);
    }
    return found;
  };
  const QPoint topLeft(at.x, at.y);
  if (ratio > 1.0) {
    auto found = load(doubleImages, QStringLiteral(":/pictures/%1@2x.png").arg(key), "PNG", 2.0);
    if (!found->isNull()) {
      // Below scale 2 the picture shrinks; sampled without smoothing it would
      // drop whole rows and columns of its one-device-pixel lines.
      const bool smooth = painter.testRenderHint(QPainter::SmoothPixmapTransform);
      if (ratio < 2.0) painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
      painter.drawImage(topLeft, *found);
      painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
      return;
    }
  }
  auto found = load(images, QStringLiteral(":/pictures/%1.bmp").arg(key), "BMP", 1.0);
  if (!found->isNull()) painter.drawImage(topLeft, *found);
}

}  // namespace nimbrel
