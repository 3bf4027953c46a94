#include "views/MapImageContext.h"

#include <QPainter>
#include <algorithm>
#include <utility>

#include "views/WorldMapDrawing.h"

// The resources live in a static library: nothing would pull their
// registration in unless it is asked for by name.
static void InitViewResources() { Q_INIT_RESOURCE(resources); }

namespace nimbrel {

namespace {

QRgb ToQRgb(COLORREF colour) { return qRgb(GetRValue(colour), GetGValue(colour), GetBValue(colour)); }

}  // namespace

CMapImageContext::CMapImageContext() : image(kWorldMapWidth, kWorldMapHeight, QImage::Format_RGB32) {
  image.fill(Qt::white);
}

const QImage& CMapImageContext::BitmapResource(int resourceId) {
  static const QImage worldMap = [] {
    InitViewResources();
    return QImage(QStringLiteral(":/bitmaps/130.bmp")).convertToFormat(QImage::Format_RGB32);
  }();
  static const QImage none;
  return resourceId == IDB_WORLD_MAP ? worldMap : none;
}

void CMapImageContext::DrawBitmap(int resourceId, int x, int y) {
  const QImage& bitmap = BitmapResource(resourceId);
  if (bitmap.isNull()) return;
  if (x == 0 && y == 0 && bitmap.size() == image.size()) {
    image = bitmap;  // shares the data until the first pixel is written
    return;
  }
  QPainter painter(&image);
  painter.drawImage(x, y, bitmap);
}

void CMapImageContext::SetPixel(int x, int y, COLORREF colour) {
  if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return;
  reinterpret_cast<QRgb*>(image.scanLine(y))[x] = ToQRgb(colour);
}

void CMapImageContext::FillSolidRect(int x, int y, int width, int height, COLORREF colour) {
  const int left = std::max(x, 0);
  const int top = std::max(y, 0);
  const int right = std::min(x + width, image.width());
  const int bottom = std::min(y + height, image.height());
  const QRgb rgb = ToQRgb(colour);
  for (int row = top; row < bottom; ++row) {
    QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(row));
    std::fill(line + left, line + std::max(left, right), rgb);
  }
  bkColour = colour;
}

unsigned CMapImageContext::SetTextAlign(unsigned align) { return std::exchange(textAlign, align); }
COLORREF CMapImageContext::SetTextColor(COLORREF colour) { return std::exchange(textColour, colour); }
COLORREF CMapImageContext::SetBkColor(COLORREF colour) { return std::exchange(bkColour, colour); }
CPen CMapImageContext::SelectPen(const CPen& newPen) { return std::exchange(pen, newPen); }
CFontSpec CMapImageContext::SelectFont(const CFontSpec& newFont) { return std::exchange(font, newFont); }

}  // namespace nimbrel
