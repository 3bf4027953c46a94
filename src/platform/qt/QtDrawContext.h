#pragma once
// IDrawContext over a QPainter, keeping the platform rules the chart and map
// drawing rely on: rectangles and their fill leave out the right and bottom
// edges, a line leaves out its end point, text has an opaque background and
// is placed by the alignment flags, no anti-aliasing of shapes.
#include <QPainter>
#include <QPoint>

#include "platform/DrawContext.h"

namespace nimbrel {

class QtDrawContext : public IDrawContext {
 public:
  // The painter must outlive this object; its state is restored on exit.
  explicit QtDrawContext(QPainter& painter);
  ~QtDrawContext() override;
  QtDrawContext(const QtDrawContext&) = delete;
  QtDrawContext& operator=(const QtDrawContext&) = delete;

  void Rectangle(int left, int top, int right, int bottom) override;
  void Ellipse(int left, int top, int right, int bottom) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void TextOut(int x, int y, const std::string& text) override;
  unsigned SetTextAlign(unsigned align) override;
  COLORREF SetTextColor(COLORREF colour) override;
  COLORREF SetBkColor(COLORREF colour) override;
  CPen SelectPen(const CPen& pen) override;
  CPen GetCurrentPen() const override;
  CFontSpec SelectFont(const CFontSpec& font) override;
  CSize GetTextExtent(const std::string& text) override;
  void FillSolidRect(int x, int y, int width, int height, COLORREF colour) override;
  void SetPixel(int x, int y, COLORREF colour) override;
  void DrawBitmap(int resourceId, int x, int y) override;

  // The Qt font a font description resolves to: a missing face (such as
  // "Arial Cyr") becomes the metric-compatible "Liberation Sans", and a
  // positive height is the cell height (ascent + descent) in pixels.
  static QFont ResolveFont(const CFontSpec& description);

 private:
  struct FontEntry;
  static const FontEntry& LookUpFont(const CFontSpec& description);
  const FontEntry& CurrentFont();

  QPainter& painter;
  QPoint current;
  CPen pen;
  QPen qtPen;
  CFontSpec font;
  const FontEntry* fontEntry;
  unsigned textAlign = TA_LEFT | TA_TOP;
  COLORREF textColour = RGB(0, 0, 0);
  COLORREF bkColour = RGB(255, 255, 255);
};

}  // namespace nimbrel
