#pragma once
// The drawing operations the chart and the world map need, with the
// semantics of the platform they were designed for (end points excluded,
// opaque text background, right/bottom edges excluded from rectangles).
#include <cstddef>
#include <cstdint>
#include <string>

namespace nimbrel {

using Colour = std::uint32_t;  // red in the low byte, then green, then blue

constexpr Colour rgb(int r, int g, int b) {
  return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int redOf(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int greenOf(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  void inflateRect(int dx, int dy) { left -= dx; top -= dy; right += dx; bottom += dy; }
  bool operator==(const Rect&) const = default;
};

struct Size {
  int cx = 0;
  int cy = 0;
  bool operator==(const Size&) const = default;
};

constexpr int PS_SOLID = 0;

struct Pen {
  int style = PS_SOLID;
  int width = 1;
  Colour colour = 0;
  bool operator==(const Pen&) const = default;
};

struct FontSpec {
  std::string face;
  int height = 0;  // logical height in pixels
  int weight = 400;
  bool operator==(const FontSpec&) const = default;
};

// Text alignment flags, the values the drawing code relies on.
constexpr unsigned TA_LEFT = 0;
constexpr unsigned TA_TOP = 0;
constexpr unsigned TA_CENTER = 6;

class DrawContext {
 public:
  virtual ~DrawContext() = default;

  // Outline with the current pen, fill with the current brush (white).
  virtual void rectangle(int left, int top, int right, int bottom) = 0;
  virtual void ellipse(int left, int top, int right, int bottom) = 0;
  virtual void moveTo(int x, int y) = 0;
  // Line from the current position, end point excluded; the end becomes current.
  virtual void lineTo(int x, int y) = 0;
  virtual void textOut(int x, int y, const std::string& text) = 0;
  virtual unsigned setTextAlign(unsigned align) = 0;  // returns the previous one
  virtual Colour setTextColor(Colour colour) = 0;
  virtual Colour setBkColor(Colour colour) = 0;
  virtual Pen selectPen(const Pen& pen) = 0;          // returns the previous pen
  virtual Pen getCurrentPen() const = 0;
  virtual FontSpec selectFont(const FontSpec& font) = 0;  // returns the previous font
  virtual Size getTextExtent(const std::string& text) = 0;
  // Fills x, y, width, height; the background colour is then that colour.
  virtual void fillSolidRect(int x, int y, int width, int height, Colour colour) = 0;
  // A 3 x 3 point in `fill` with a one-pixel rim in `rim` that leaves the
  // corners out, centred on each (x, y) pair of `centres` in turn; a painter
  // can stamp one picture of it instead of filling three rectangles each.
  virtual void drawRimmedPoints(const int* centres, std::size_t count, Colour fill, Colour rim) {
    for (std::size_t i = 0; i < count; ++i) {
      const int x = centres[2 * i], y = centres[2 * i + 1];
      fillSolidRect(x - 1, y - 2, 3, 5, rim);
      fillSolidRect(x - 2, y - 1, 5, 3, rim);
      fillSolidRect(x - 1, y - 1, 3, 3, fill);
    }
  }
  virtual void setPixel(int x, int y, Colour colour) = 0;
  // Copies a bitmap resource unscaled with its top-left corner at x, y.
  virtual void drawBitmap(int resourceId, int x, int y) = 0;
};

}  // namespace nimbrel
