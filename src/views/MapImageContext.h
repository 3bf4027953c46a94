#pragma once
// The map's raster target: the world-map drawing writes straight into an
// image, which the view then puts on the screen or the printer in one copy.
// Only what the map draws is supported (bitmap copy, pixels, solid
// rectangles); this is no general drawing context.
#include <QImage>

#include "platform/DrawContext.h"

namespace nimbrel {

class CMapImageContext : public IDrawContext {
 public:
  // An image of the map picture's size, white until something is drawn.
  CMapImageContext();

  const QImage& Image() const { return image; }

  void DrawBitmap(int resourceId, int x, int y) override;
  void SetPixel(int x, int y, COLORREF colour) override;
  void FillSolidRect(int x, int y, int width, int height, COLORREF colour) override;

  // Not used by the map; they draw nothing.
  void Rectangle(int, int, int, int) override {}
  void Ellipse(int, int, int, int) override {}
  void MoveTo(int, int) override {}
  void LineTo(int, int) override {}
  void TextOut(int, int, const std::string&) override {}
  unsigned SetTextAlign(unsigned align) override;
  COLORREF SetTextColor(COLORREF colour) override;
  COLORREF SetBkColor(COLORREF colour) override;
  CPen SelectPen(const CPen& pen) override;
  CPen GetCurrentPen() const override { return pen; }
  CFontSpec SelectFont(const CFontSpec& font) override;
  CSize GetTextExtent(const std::string&) override { return {}; }

  // The picture of a bitmap resource, read once from the Qt resources; a null
  // image for an unknown id.
  static const QImage& BitmapResource(int resourceId);

 private:
  QImage image;
  unsigned textAlign = 0;
  COLORREF textColour = 0;
  COLORREF bkColour = RGB(255, 255, 255);
  CPen pen;
  CFontSpec font;
};

}  // namespace nimbrel
