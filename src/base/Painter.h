#pragma once
// What the charts and the map draw with, free of any toolkit. The painter
// holds its pen, brush, font and text colours as values; shapes and text
// take them. A painter lives for one paint and is handed to each draw call.
//
// Pixel rules the drawings are laid out by: a line leaves out its end
// point; a Rect's right and bottom are one past its last pixel; text is
// drawn on an opaque box of the text background colour.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace nimbrel {

using Colour = std::uint32_t;  // red in the low byte, then green, then blue

constexpr Colour rgb(int r, int g, int b) {
  return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int redOf(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int greenOf(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

constexpr Colour kBlack = rgb(0, 0, 0);
constexpr Colour kWhite = rgb(255, 255, 255);

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;  // one past the last column
  int bottom = 0;  // one past the last row
  static constexpr Rect fromSize(int x, int y, int width, int height) { return Rect{x, y, x + width, y + height}; }
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  // dx more on the left and the right, dy more on the top and the bottom.
  Rect grown(int dx, int dy) const { return Rect{left - dx, top - dy, right + dx, bottom + dy}; }
  bool contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  bool intersects(const Rect& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
  bool operator==(const Rect&) const = default;
};

struct Pen {
  Colour colour = kBlack;
  int width = 1;
  bool operator==(const Pen&) const = default;
};

struct Font {
  std::string family;
  int height = 0;  // the text's cell height in pixels (ascent + descent)
  int weight = 400;
  bool operator==(const Font&) const = default;
};

// Where text sits horizontally against its anchor point; the point's y is
// always the text's top.
enum class Align : std::uint8_t { kLeft, kCentre, kRight };

class Painter {
 public:
  virtual ~Painter() = default;

  void setPen(const Pen& pen) {
    if (pen == m_pen) return;
    m_pen = pen;
    penChanged();
  }
  const Pen& pen() const { return m_pen; }
  // What rect() and ellipse() are filled with.
  void setBrush(Colour fill) { m_brush = fill; }
  Colour brush() const { return m_brush; }
  void setFont(const Font& font) {
    if (font == m_font) return;
    m_font = font;
    fontChanged();
  }
  const Font& font() const { return m_font; }
  void setTextColour(Colour colour) { m_textColour = colour; }
  Colour textColour() const { return m_textColour; }
  void setTextBackground(Colour colour) { m_textBackground = colour; }
  Colour textBackground() const { return m_textBackground; }

  // Filled with the brush, outlined with the pen along its edge pixels.
  virtual void rect(const Rect& area) = 0;
  virtual void ellipse(const Rect& bounds) = 0;
  virtual void fillRect(const Rect& area, Colour colour) = 0;
  // In the pen, the end point left out.
  virtual void line(Point from, Point to) = 0;
  virtual void pixel(Point at, Colour colour) = 0;
  // Text in the font and text colours, its top at at.y; at.x is its left
  // end, centre or right end by align.
  virtual void text(Point at, std::string_view text, Align align = Align::kLeft) = 0;
  // The box text takes in the current font.
  virtual Size textSize(std::string_view text) = 0;
  // A named picture ("worldmap"), unscaled, its top-left corner at `at`.
  virtual void image(std::string_view name, Point at) = 0;
  // A 3 x 3 point in `fill` with a one-pixel rim in `rim` that leaves the
  // corners out, centred on each point; an adaptor may stamp one picture
  // of it instead of filling three rectangles each.
  virtual void rimmedPoints(std::span<const Point> centres, Colour fill, Colour rim) {
    for (const Point c : centres) {
      fillRect(Rect::fromSize(c.x - 1, c.y - 2, 3, 5), rim);
      fillRect(Rect::fromSize(c.x - 2, c.y - 1, 5, 3), rim);
      fillRect(Rect::fromSize(c.x - 1, c.y - 1, 3, 3), fill);
    }
  }

 protected:
  // For adaptors that keep a toolkit object per pen or font.
  virtual void penChanged() {}
  virtual void fontChanged() {}

 private:
  Pen m_pen;
  Colour m_brush = kWhite;
  Font m_font{"System", 16, 700};
  Colour m_textColour = kBlack;
  Colour m_textBackground = kWhite;
};

// Puts a painter's pen, brush, font and text colours back as they were
// when it was made: a drawing that sets its own leaves the caller's alone.
class KeptPainterState {
 public:
  explicit KeptPainterState(Painter& painter)
      : painter(painter),
        pen(painter.pen()),
        brush(painter.brush()),
        font(painter.font()),
        textColour(painter.textColour()),
        textBackground(painter.textBackground()) {}
  ~KeptPainterState() {
    painter.setPen(pen);
    painter.setBrush(brush);
    painter.setFont(font);
    painter.setTextColour(textColour);
    painter.setTextBackground(textBackground);
  }
  KeptPainterState(const KeptPainterState&) = delete;
  KeptPainterState& operator=(const KeptPainterState&) = delete;

 private:
  Painter& painter;
  Pen pen;
  Colour brush;
  Font font;
  Colour textColour;
  Colour textBackground;
};

}  // namespace nimbrel
