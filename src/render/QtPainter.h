#pragma once
// The painter over a QPainter, keeping the pixel rules the chart and map
// drawing rely on: rectangles and their fill leave out the right and bottom
// edges, a line leaves out its end point, text has an opaque background, no
// anti-aliasing of shapes.
#include <QFont>
#include <QPainter>

#include "base/Painter.h"

namespace nimbrel {

class QtPainter : public Painter {
 public:
  // The QPainter must outlive this object; its state is restored on exit.
  explicit QtPainter(QPainter& painter);
  ~QtPainter() override;
  QtPainter(const QtPainter&) = delete;
  QtPainter& operator=(const QtPainter&) = delete;

  void rect(const Rect& area) override;
  void ellipse(const Rect& bounds) override;
  void fillRect(const Rect& area, Colour colour) override;
  void line(Point from, Point to) override;
  void pixel(Point at, Colour colour) override;
  void text(Point at, std::string_view text, Align align = Align::kLeft) override;
  Size textSize(std::string_view text) override;
  void image(std::string_view name, Point at) override;
  void rimmedPoints(std::span<const Point> centres, Colour fill, Colour rim) override;

  // The Qt font a font description resolves to: a missing family (such as
  // "Arial Cyr") becomes the metric-compatible "Liberation Sans", and a
  // positive height is the cell height (ascent + descent) in pixels.
  static QFont resolveFont(const Font& description);

  // The QPainter underneath, for what the Painter interface does not draw
  // (the base map's filled outlines).
  QPainter& qtPainter() { return painter; }

 protected:
  void penChanged() override;
  void fontChanged() override;

 private:
  struct FontEntry;
  static const FontEntry& lookUpFont(const Font& description);
  const FontEntry& currentFont();

  QPainter& painter;
  // The device's scale, asked once: a widget answers it through its screen.
  qreal deviceRatio = 1.0;
  QPen qtPen;
  const FontEntry* fontEntry = nullptr;
};

}  // namespace nimbrel
