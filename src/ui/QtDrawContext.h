#pragma once
// DrawContext over a QPainter, keeping the platform rules the chart and map
// drawing rely on: rectangles and their fill leave out the right and bottom
// edges, a line leaves out its end point, text has an opaque background and
// is placed by the alignment flags, no anti-aliasing of shapes.
#include <QPainter>
#include <QPoint>

#include "base/DrawContext.h"

namespace nimbrel {

class QtDrawContext : public DrawContext {
 public:
  // The painter must outlive this object; its state is restored on exit.
  explicit QtDrawContext(QPainter& painter);
  ~QtDrawContext() override;
  QtDrawContext(const QtDrawContext&) = delete;
  QtDrawContext& operator=(const QtDrawContext&) = delete;

  void rectangle(int left, int top, int right, int bottom) override;
  void ellipse(int left, int top, int right, int bottom) override;
  void moveTo(int x, int y) override;
  void lineTo(int x, int y) override;
  void textOut(int x, int y, const std::string& text) override;
  unsigned setTextAlign(unsigned align) override;
  Colour setTextColor(Colour colour) override;
  Colour setBkColor(Colour colour) override;
  Pen selectPen(const Pen& pen) override;
  Pen getCurrentPen() const override;
  FontSpec selectFont(const FontSpec& font) override;
  Size getTextExtent(const std::string& text) override;
  void fillSolidRect(int x, int y, int width, int height, Colour colour) override;
  void drawRimmedPoints(const int* centres, std::size_t count, Colour fill, Colour rim) override;
  void setPixel(int x, int y, Colour colour) override;
  void drawBitmap(int resourceId, int x, int y) override;

  // The Qt font a font description resolves to: a missing face (such as
  // "Arial Cyr") becomes the metric-compatible "Liberation Sans", and a
  // positive height is the cell height (ascent + descent) in pixels.
  static QFont resolveFont(const FontSpec& description);

 private:
  struct FontEntry;
  static const FontEntry& lookUpFont(const FontSpec& description);
  const FontEntry& currentFont();

  QPainter& painter;
  QPoint current;
  Pen pen;
  QPen qtPen;
  FontSpec font;
  const FontEntry* fontEntry;
  unsigned textAlign = TA_LEFT | TA_TOP;
  Colour textColour = rgb(0, 0, 0);
  Colour bkColour = rgb(255, 255, 255);
};

}  // namespace nimbrel
