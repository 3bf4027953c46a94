#pragma once
// A drawing context for core tests: every call is recorded with its
// arguments and the state it ran under (pen, font, alignment, colours).
// Text extents are fixed per character so positions can be asserted.
#include <string>
#include <vector>

#include "base/DrawContext.h"

namespace nimbrel::test {

struct DrawCall {
  std::string op;         // the operation's name: "Rectangle", "LineTo", "TextOut", ...
  std::vector<int> args;  // lineTo: from x, from y, to x, to y; others: as called
  std::string text;       // textOut and getTextExtent
  Colour colour = 0;    // fillSolidRect, setPixel, setTextColor, setBkColor
  Pen pen;               // the pen current at the call (the new one for selectPen)
  FontSpec font;         // the font current at the call (the new one for selectFont)
  unsigned align = 0;
  Colour textColour = 0;
  Colour bkColour = 0;
};

struct Segment {
  int x0, y0, x1, y1;
  Pen pen;
  bool operator==(const Segment& other) const {
    return x0 == other.x0 && y0 == other.y0 && x1 == other.x1 && y1 == other.y1;
  }
};

class RecordingDrawContext : public DrawContext {
 public:
  std::vector<DrawCall> calls;
  int charWidth = 6;  // getTextExtent: characters x charWidth by the font height

  void rectangle(int left, int top, int right, int bottom) override { Record("Rectangle", {left, top, right, bottom}); }
  void ellipse(int left, int top, int right, int bottom) override { Record("Ellipse", {left, top, right, bottom}); }
  void moveTo(int x, int y) override {
    Record("MoveTo", {x, y});
    cx = x;
    cy = y;
  }
  void lineTo(int x, int y) override {
    Record("LineTo", {cx, cy, x, y});
    cx = x;
    cy = y;
  }
  void textOut(int x, int y, const std::string& text) override { Record("TextOut", {x, y}).text = text; }
  unsigned setTextAlign(unsigned value) override {
    unsigned previous = align;
    align = value;
    Record("SetTextAlign", {static_cast<int>(value)});
    return previous;
  }
  Colour setTextColor(Colour colour) override {
    Colour previous = textColour;
    textColour = colour;
    Record("SetTextColor", {}).colour = colour;
    return previous;
  }
  Colour setBkColor(Colour colour) override {
    Colour previous = bkColour;
    bkColour = colour;
    Record("SetBkColor", {}).colour = colour;
    return previous;
  }
  Pen selectPen(const Pen& value) override {
    Pen previous = pen;
    pen = value;
    Record("SelectPen", {});
    return previous;
  }
  Pen getCurrentPen() const override { return pen; }
  FontSpec selectFont(const FontSpec& value) override {
    FontSpec previous = font;
    font = value;
    Record("SelectFont", {});
    return previous;
  }
  Size getTextExtent(const std::string& text) override {
    Record("GetTextExtent", {}).text = text;
    return Size{static_cast<int>(text.size()) * charWidth, font.height};
  }
  void fillSolidRect(int x, int y, int width, int height, Colour colour) override {
    Record("FillSolidRect", {x, y, width, height}).colour = colour;
    bkColour = colour;
  }
  void setPixel(int x, int y, Colour colour) override { Record("SetPixel", {x, y}).colour = colour; }
  void drawBitmap(int resourceId, int x, int y) override { Record("DrawBitmap", {resourceId, x, y}); }

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
      if (call.op == "LineTo")
        result.push_back(Segment{call.args[0], call.args[1], call.args[2], call.args[3], call.pen});
    return result;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> result;
    for (const auto& call : calls)
      if (call.op == "TextOut") result.push_back(call.text);
    return result;
  }
  const DrawCall* FindText(const std::string& text) const {
    for (const auto& call : calls)
      if (call.op == "TextOut" && call.text == text) return &call;
    return nullptr;
  }
  bool HasSegment(int x0, int y0, int x1, int y1) const {
    for (const auto& s : Segments())
      if (s == Segment{x0, y0, x1, y1, {}}) return true;
    return false;
  }
  void Clear() { calls.clear(); }

  Pen pen{PS_SOLID, 1, rgb(0, 0, 0)};
  FontSpec font{"System", 16, 700};
  unsigned align = TA_LEFT | TA_TOP;
  Colour textColour = rgb(0, 0, 0);
  Colour bkColour = rgb(255, 255, 255);

 private:
  DrawCall& Record(const char* op, std::vector<int> args) {
    calls.push_back(DrawCall{op, std::move(args), {}, 0, pen, font, align, textColour, bkColour});
    return calls.back();
  }
  int cx = 0;
  int cy = 0;
};

}  // namespace nimbrel::test
