#include "ui/QtDrawContext.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "ui/QtText.h"

namespace nimbrel {
namespace {

constexpr unsigned kTaRight = 2;
constexpr unsigned kTaBottom = 8;
constexpr unsigned kTaBaseline = 24;

QColor toQColor(Colour colour) { return QColor(redOf(colour), greenOf(colour), blueOf(colour)); }

QPen makePen(const Pen& pen) {
  // A square cap makes Qt draw both ends of a one-pixel line in every
  // direction (a flat cap drops the start instead of the end of lines going
  // up or left); lineTo then ends one pixel early. Widths below 1 draw one pixel.
  QPen result(toQColor(pen.colour), std::max(1, pen.width));
  result.setCosmetic(true);
  result.setCapStyle(pen.width <= 1 ? Qt::SquareCap : Qt::FlatCap);
  result.setJoinStyle(Qt::MiterJoin);
  return result;
}

const QString kFallbackFamily = QStringLiteral("Liberation Sans");

}  // namespace

struct QtDrawContext::FontEntry {
  FontSpec description;
  QFont font;
  QFontMetrics metrics;
  int ascent;
  int cellHeight;
};

QFont QtDrawContext::resolveFont(const FontSpec& description) {
  QString family = toQString(description.face);
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

const QtDrawContext::FontEntry& QtDrawContext::lookUpFont(const FontSpec& description) {
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

QtDrawContext::QtDrawContext(QPainter& qpainter)
    : painter(qpainter), pen{PS_SOLID, 1, rgb(0, 0, 0)}, font{"System", 16, 700}, fontEntry(nullptr) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  qtPen = makePen(pen);
  painter.setPen(qtPen);
  painter.setBrush(Qt::NoBrush);
}

// The selected font is resolved when text first needs it: a map paint never does.
const QtDrawContext::FontEntry& QtDrawContext::currentFont() {
  if (fontEntry == nullptr) {
    fontEntry = &lookUpFont(font);
    painter.setFont(fontEntry->font);
  }
  return *fontEntry;
}

QtDrawContext::~QtDrawContext() { painter.restore(); }

void QtDrawContext::rectangle(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  if (right - left < 1 || bottom - top < 1) return;
  painter.fillRect(QRect(left, top, right - left, bottom - top), Qt::white);
  // A stroked QRect covers its size plus the pen: right - 1 and bottom - 1.
  painter.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

void QtDrawContext::ellipse(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  if (right - left < 1 || bottom - top < 1) return;
  painter.setBrush(Qt::white);
  painter.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
  painter.setBrush(Qt::NoBrush);
}

void QtDrawContext::moveTo(int x, int y) { current = QPoint(x, y); }

void QtDrawContext::lineTo(int x, int y) {
  const QPoint end(x, y);
  if (end != current) {
    if (pen.width > 1) {
      painter.drawLine(current, end);
    } else {
      // The last pixel before the end: one step back along the longer axis,
      // the other coordinate rounded on the line.
      const int dx = end.x() - current.x();
      const int dy = end.y() - current.y();
      QPoint last;
      if (std::abs(dx) >= std::abs(dy)) {
        const int lx = end.x() - (dx > 0 ? 1 : -1);
        last = QPoint(lx, current.y() + static_cast<int>(std::lround(static_cast<double>(lx - current.x()) * dy / dx)));
      } else {
        const int ly = end.y() - (dy > 0 ? 1 : -1);
        last = QPoint(current.x() + static_cast<int>(std::lround(static_cast<double>(ly - current.y()) * dx / dy)), ly);
      }
      if (last == current) {
        painter.drawPoint(current);
      } else {
        painter.drawLine(current, last);
      }
    }
  }
  current = end;
}

void QtDrawContext::textOut(int x, int y, const std::string& text) {
  if (text.empty()) return;
  const QString qtext = toQString(text);
  const FontEntry& entry = currentFont();
  const int width = entry.metrics.horizontalAdvance(qtext);
  const int height = entry.cellHeight;
  int left = x;
  if ((textAlign & TA_CENTER) == TA_CENTER) {
    left = x - width / 2;
  } else if ((textAlign & TA_CENTER) == kTaRight) {
    left = x - width;
  }
  int top = y;
  if ((textAlign & kTaBaseline) == kTaBaseline) {
    top = y - entry.ascent;
  } else if ((textAlign & kTaBaseline) == kTaBottom) {
    top = y - height;
  }
  painter.fillRect(QRect(left, top, width, height), toQColor(bkColour));
  painter.setPen(toQColor(textColour));
  painter.drawText(left, top + entry.ascent, qtext);
  painter.setPen(qtPen);
}

unsigned QtDrawContext::setTextAlign(unsigned align) {
  const unsigned previous = textAlign;
  textAlign = align;
  return previous;
}

Colour QtDrawContext::setTextColor(Colour colour) {
  const Colour previous = textColour;
  textColour = colour;
  return previous;
}

Colour QtDrawContext::setBkColor(Colour colour) {
  const Colour previous = bkColour;
  bkColour = colour;
  return previous;
}

Pen QtDrawContext::selectPen(const Pen& newPen) {
  const Pen previous = pen;
  if (!(newPen == pen)) {
    pen = newPen;
    qtPen = makePen(pen);
    painter.setPen(qtPen);
  }
  return previous;
}

Pen QtDrawContext::getCurrentPen() const { return pen; }

FontSpec QtDrawContext::selectFont(const FontSpec& newFont) {
  FontSpec previous = font;
  if (!(newFont == font)) {
    font = newFont;
    fontEntry = nullptr;
  }
  return previous;
}

Size QtDrawContext::getTextExtent(const std::string& text) {
  const FontEntry& entry = currentFont();
  return Size{entry.metrics.horizontalAdvance(toQString(text)), entry.cellHeight};
}

void QtDrawContext::fillSolidRect(int x, int y, int width, int height, Colour colour) {
  if (width > 0 && height > 0) painter.fillRect(QRect(x, y, width, height), toQColor(colour));
  bkColour = colour;
}

void QtDrawContext::drawRimmedPoints(const int* centres, std::size_t count, Colour fill, Colour rim) {
  // One picture of the point, copied to each place: a map of thousands of
  // points costs a copy each instead of three fills. Whole device pixels only.
  const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
  if (ratio != std::floor(ratio) || painter.transform().type() > QTransform::TxTranslate) {
    DrawContext::drawRimmedPoints(centres, count, fill, rim);
    return;
  }
  static QHash<quint64, QImage> pictures;
  const quint64 key = (quint64{fill} << 32) ^ (quint64{rim} << 8) ^ static_cast<quint64>(ratio);
  auto found = pictures.find(key);
  if (found == pictures.end()) {
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
  for (std::size_t i = 0; i < count; ++i) painter.drawImage(QPoint(centres[2 * i] - 2, centres[2 * i + 1] - 2), *found);
  bkColour = fill;
}

void QtDrawContext::setPixel(int x, int y, Colour colour) { painter.fillRect(QRect(x, y, 1, 1), toQColor(colour)); }

void QtDrawContext::drawBitmap(int resourceId, int x, int y) {
  // Above scale 1 the picture drawn at twice the size, where there is one,
  // fills the same logical rectangle; at scale 1 the original is copied as is.
  const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
  const bool highResolution = ratio > 1.0;
  static QHash<int, QImage> images;
  static QHash<int, QImage> doubleImages;
  auto load = [resourceId](QHash<int, QImage>& cache, const QString& path, const char* format, qreal ratio) {
    auto found = cache.find(resourceId);
    if (found == cache.end()) {
      // Kept in the window's own pixel format, so a paint copies the picture
      // instead of converting its colour table every time.
      found = cache.insert(resourceId, QImage(path, format).convertToFormat(QImage::Format_RGB32));
      found->setDevicePixelRatio(ratio);
    }
    return found;
  };
  if (highResolution) {
    auto found = load(doubleImages, QStringLiteral(":/bitmaps/%1@2x.png").arg(resourceId), "PNG", 2.0);
    if (!found->isNull()) {
      // Below scale 2 the picture shrinks; sampled without smoothing it would
      // drop whole rows and columns of its one-device-pixel lines.
      const bool smooth = painter.testRenderHint(QPainter::SmoothPixmapTransform);
      if (ratio < 2.0) painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
      painter.drawImage(QPoint(x, y), *found);
      painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
      return;
    }
  }
  auto found = load(images, QStringLiteral(":/bitmaps/%1.bmp").arg(resourceId), "BMP", 1.0);
  if (!found->isNull()) painter.drawImage(QPoint(x, y), *found);
}

}  // namespace nimbrel
