#pragma once
// A painter for core tests: every drawing call is recorded with its
// arguments and the state it ran under (pen, font, colours). Text sizes are
// fixed per character so positions can be asserted.
#include <string>
#include <string_view>
#include <vector>

#include "base/Painter.h"

namespace nimbrel::test {

struct DrawCall {
  std::string op;         // "Rect", "Ellipse", "Line", "Text", "TextSize", "FillRect", "Pixel", "Image"
  std::vector<int> args;  // Rect, Ellipse: left, top, right, bottom; Line: from x, y, to x, y;
                          // FillRect: left, top, width, height; Text, Pixel, Image: x, y
  std::string text;       // Text, TextSize; Image: the picture's name
  Colour colour = 0;      // FillRect, Pixel
  Pen pen;                // the pen at the call
  Font font;              // the font at the call
  Align align = Align::kLeft;
  Colour textColour = 0;
  Colour textBackground = 0;
};

struct Segment {
  int x0, y0, x1, y1;
  Pen pen;
  bool operator==(const Segment& other) const {
    return x0 == other.x0 && y0 == other.y0 && x1 == other.x1 && y1 == other.y1;
  }
};

class RecordingPainter : public Painter {
 public:
  std::vector<DrawCall> calls;
  int charWidth = 6;  // textSize: characters x charWidth by the font height

  void rect(const Rect& r) override { Record("Rect", {r.left, r.top, r.right, r.bottom}); }
  void ellipse(const Rect& r) override { Record("Ellipse", {r.left, r.top, r.right, r.bottom}); }
  void fillRect(const Rect& r, Colour colour) override {
    Record("FillRect", {r.left, r.top, r.width(), r.height()}).colour = colour;
  }
  void line(Point from, Point to) override { Record("Line", {from.x, from.y, to.x, to.y}); }
  void pixel(Point at, Colour colour) override { Record("Pixel", {at.x, at.y}).colour = colour; }
  void text(Point at, std::string_view text, Align align) override {
    DrawCall& call = Record("Text", {at.x, at.y});
    call.text = text;
    call.align = align;
  }
  Size textSize(std::string_view text) override {
    Record("TextSize", {}).text = text;
    return Size{static_cast<int>(text.size()) * charWidth, font().height};
  }
  void image(std::string_view name, Point at) override { Record("Image", {at.x, at.y}).text = name; }

  // Views of the record.
  std::vector<const DrawCall*> Calls(const std::string& op) const {
    std::vector<const DrawCall*> result;
    for (const auto& call : calls)
      if (call.op == op) result.push_back(&call);
    return result;
  }
  std::vector<Segment> Segments() const {
    std::vector<Segment> result;
    for (const auto& call : calls)
      if (call.op == "Line") result.push_back(Segment{call.args[0], call.args[1], call.args[2], call.args[3], call.pen});
    return result;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> result;
    for (const auto& call : calls)
      if (call.op == "Text") result.push_back(call.text);
    return result;
  }
  const DrawCall* FindText(const std::string& text) const {
    for (const auto& call : calls)
      if (call.op == "Text" && call.text == text) return &call;
    return nullptr;
  }
  bool HasSegment(int x0, int y0, int x1, int y1) const {
    for (const auto& s : Segments())
      if (s == Segment{x0, y0, x1, y1, {}}) return true;
    return false;
  }
  void Clear() { calls.clear(); }

 private:
  DrawCall& Record(const char* op, std::vector<int> args) {
    calls.push_back(DrawCall{op, std::move(args), {}, 0, pen(), font(), Align::kLeft, textColour(), textBackground()});
    return calls.back();
  }
};

}  // namespace nimbrel::test
