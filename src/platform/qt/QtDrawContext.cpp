#include "platform/qt/QtDrawContext.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "platform/qt/BitmapResource.h"
#include "platform/qt/QtText.h"

namespace nimbrel {
namespace {

constexpr unsigned kTaRight = 2;
constexpr unsigned kTaBottom = 8;
constexpr unsigned kTaBaseline = 24;

QColor ToQColor(COLORREF colour) { return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)); }

QPen MakePen(const CPen& pen) {
  // Cosmetic flat-capped pens leave out a line's last pixel, as the
  // platform's lines do; widths below 1 still draw one pixel.
  QPen result(ToQColor(pen.colour), std::max(1, pen.width));
  result.setCosmetic(true);
  result.setCapStyle(Qt::FlatCap);
  result.setJoinStyle(Qt::MiterJoin);
  return result;
}

const QString kFallbackFamily = QStringLiteral("Liberation Sans");

}  // namespace

struct QtDrawContext::FontEntry {
  CFontSpec description;
  QFont font;
  QFontMetrics metrics;
  int ascent;
  int cellHeight;
};

QFont QtDrawContext::ResolveFont(const CFontSpec& description) {
  QString family = ToQString(description.face);
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

const QtDrawContext::FontEntry& QtDrawContext::LookUpFont(const CFontSpec& description) {
  // Fonts are resolved once per description for the life of the program;
  // the chart uses three.
  static std::vector<std::unique_ptr<FontEntry>> cache;
  for (const auto& entry : cache) {
    if (entry->description == description) return *entry;
  }
  QFont qfont = ResolveFont(description);
  QFontMetrics metrics(qfont);
  cache.push_back(std::unique_ptr<FontEntry>(
      new FontEntry{description, qfont, metrics, metrics.ascent(), metrics.ascent() + metrics.descent()}));
  return *cache.back();
}

QtDrawContext::QtDrawContext(QPainter& qpainter)
    : painter(qpainter), pen{PS_SOLID, 1, RGB(0, 0, 0)}, font{"System", 16, 700}, fontEntry(nullptr) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  qtPen = MakePen(pen);
  painter.setPen(qtPen);
  painter.setBrush(Qt::NoBrush);
}

// The selected font is resolved when text first needs it: a map paint never does.
const QtDrawContext::FontEntry& QtDrawContext::CurrentFont() {
  if (fontEntry == nullptr) {
    fontEntry = &LookUpFont(font);
    painter.setFont(fontEntry->font);
  }
  return *fontEntry;
}

QtDrawContext::~QtDrawContext() { painter.restore(); }

void QtDrawContext::Rectangle(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  if (right - left < 1 || bottom - top < 1) return;
  painter.fillRect(QRect(left, top, right - left, bottom - top), Qt::white);
  // A stroked QRect covers its size plus the pen: right - 1 and bottom - 1.
  painter.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

void QtDrawContext::Ellipse(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  if (right - left < 1 || bottom - top < 1) return;
  painter.setBrush(Qt::white);
  painter.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
  painter.setBrush(Qt::NoBrush);
}

void QtDrawContext::MoveTo(int x, int y) { current = QPoint(x, y); }

void QtDrawContext::LineTo(int x, int y) {
  const QPoint end(x, y);
  if (end != current) painter.drawLine(current, end);
  current = end;
}

void QtDrawContext::TextOut(int x, int y, const std::string& text) {
  if (text.empty()) return;
  const QString qtext = ToQString(text);
  const FontEntry& entry = CurrentFont();
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
  painter.fillRect(QRect(left, top, width, height), ToQColor(bkColour));
  painter.setPen(ToQColor(textColour));
  painter.drawText(left, top + entry.ascent, qtext);
  painter.setPen(qtPen);
}

unsigned QtDrawContext::SetTextAlign(unsigned align) {
  const unsigned previous = textAlign;
  textAlign = align;
  return previous;
}

COLORREF QtDrawContext::SetTextColor(COLORREF colour) {
  const COLORREF previous = textColour;
  textColour = colour;
  return previous;
}

COLORREF QtDrawContext::SetBkColor(COLORREF colour) {
  const COLORREF previous = bkColour;
  bkColour = colour;
  return previous;
}

CPen QtDrawContext::SelectPen(const CPen& newPen) {
  const CPen previous = pen;
  if (!(newPen == pen)) {
    pen = newPen;
    qtPen = MakePen(pen);
    painter.setPen(qtPen);
  }
  return previous;
}

CPen QtDrawContext::GetCurrentPen() const { return pen; }

CFontSpec QtDrawContext::SelectFont(const CFontSpec& newFont) {
  CFontSpec previous = font;
  if (!(newFont == font)) {
    font = newFont;
    fontEntry = nullptr;
  }
  return previous;
}

CSize QtDrawContext::GetTextExtent(const std::string& text) {
  const FontEntry& entry = CurrentFont();
  return CSize{entry.metrics.horizontalAdvance(ToQString(text)), entry.cellHeight};
}

void QtDrawContext::FillSolidRect(int x, int y, int width, int height, COLORREF colour) {
  if (width > 0 && height > 0) painter.fillRect(QRect(x, y, width, height), ToQColor(colour));
  bkColour = colour;
}

void QtDrawContext::SetPixel(int x, int y, COLORREF colour) { painter.fillRect(QRect(x, y, 1, 1), ToQColor(colour)); }

void QtDrawContext::DrawBitmap(int resourceId, int x, int y) {
  static QHash<int, QImage> images;
  auto found = images.find(resourceId);
  if (found == images.end()) {
    // Kept in the window's own pixel format, so a paint copies the picture
    // instead of converting its colour table every time.
    found = images.insert(resourceId, LoadBitmapResource(resourceId));
  }
  if (!found->isNull()) painter.drawImage(QPoint(x, y), *found);
}

}  // namespace nimbrel
