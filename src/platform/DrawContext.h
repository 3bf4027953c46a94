#pragma once
// The drawing operations the chart and the world map need, with the
// semantics of the platform they were designed for (end points excluded,
// opaque text background, right/bottom edges excluded from rectangles).
#include <cstdint>
#include <string>

namespace nimbrel {

using COLORREF = std::uint32_t;  // red in the low byte, then green, then blue

constexpr COLORREF RGB(int r, int g, int b) {
  return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }

struct CRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  void InflateRect(int dx, int dy) { left -= dx; top -= dy; right += dx; bottom += dy; }
  bool operator==(const CRect&) const = default;
};

struct CSize {
  int cx = 0;
  int cy = 0;
  bool operator==(const CSize&) const = default;
};

constexpr int PS_SOLID = 0;

struct CPen {
  int style = PS_SOLID;
  int width = 1;
  COLORREF colour = 0;
  bool operator==(const CPen&) const = default;
};

struct CFontSpec {
  std::string face;
  int height = 0;  // logical height in pixels
  int weight = 400;
  bool operator==(const CFontSpec&) const = default;
};

// Text alignment flags, the values the drawing code relies on.
constexpr unsigned TA_LEFT = 0;
constexpr unsigned TA_TOP = 0;
constexpr unsigned TA_CENTER = 6;

class IDrawContext {
 public:
  virtual ~IDrawContext() = default;

  // Outline with the current pen, fill with the current brush (white).
  virtual void Rectangle(int left, int top, int right, int bottom) = 0;
  virtual void Ellipse(int left, int top, int right, int bottom) = 0;
  virtual void MoveTo(int x, int y) = 0;
  // Line from the current position, end point excluded; the end becomes current.
  virtual void LineTo(int x, int y) = 0;
  virtual void TextOut(int x, int y, const std::string& text) = 0;
  virtual unsigned SetTextAlign(unsigned align) = 0;  // returns the previous one
  virtual COLORREF SetTextColor(COLORREF colour) = 0;
  virtual COLORREF SetBkColor(COLORREF colour) = 0;
  virtual CPen SelectPen(const CPen& pen) = 0;          // returns the previous pen
  virtual CPen GetCurrentPen() const = 0;
  virtual CFontSpec SelectFont(const CFontSpec& font) = 0;  // returns the previous font
  virtual CSize GetTextExtent(const std::string& text) = 0;
  // Fills x, y, width, height; the background colour is then that colour.
  virtual void FillSolidRect(int x, int y, int width, int height, COLORREF colour) = 0;
  virtual void SetPixel(int x, int y, COLORREF colour) = 0;
  // Copies a bitmap resource unscaled with its top-left corner at x, y.
  virtual void DrawBitmap(int resourceId, int x, int y) = 0;
};

}  // namespace nimbrel
