#pragma once
// A drawing context for core tests: every call is recorded with its
// arguments and the state it ran under (pen, font, alignment, colours).
// Text extents are fixed per character so positions can be asserted.
#include <string>
#include <vector>

#include "platform/DrawContext.h"

namespace nimbrel::test {

struct DrawCall {
  std::string op;         // the operation's name: "Rectangle", "LineTo", "TextOut", ...
  std::vector<int> args;  // LineTo: from x, from y, to x, to y; others: as called
  std::string text;       // TextOut and GetTextExtent
  COLORREF colour = 0;    // FillSolidRect, SetPixel, SetTextColor, SetBkColor
  CPen pen;               // the pen current at the call (the new one for SelectPen)
  CFontSpec font;         // the font current at the call (the new one for SelectFont)
  unsigned align = 0;
  COLORREF textColour = 0;
  COLORREF bkColour = 0;
};

struct Segment {
  int x0, y0, x1, y1;
  CPen pen;
  bool operator==(const Segment& other) const {
    return x0 == other.x0 && y0 == other.y0 && x1 == other.x1 && y1 == other.y1;
  }
};

class RecordingDrawContext : public IDrawContext {
 public:
  std::vector<DrawCall> calls;
  int charWidth = 6;  // GetTextExtent: characters x charWidth by the font height

  void Rectangle(int left, int top, int right, int bottom) override { Record("Rectangle", {left, top, right, bottom}); }
  void Ellipse(int left, int top, int right, int bottom) override { Record("Ellipse", {left, top, right, bottom}); }
  void MoveTo(int x, int y) override {
    Record("MoveTo", {x, y});
    cx = x;
    cy = y;
  }
  void LineTo(int x, int y) override {
    Record("LineTo", {cx, cy, x, y});
    cx = x;
    cy = y;
  }
  void TextOut(int x, int y, const std::string& text) override { Record("TextOut", {x, y}).text = text; }
  unsigned SetTextAlign(unsigned value) override {
    unsigned previous = align;
    align = value;
    Record("SetTextAlign", {static_cast<int>(value)});
    return previous;
  }
  COLORREF SetTextColor(COLORREF colour) override {
    COLORREF previous = textColour;
    textColour = colour;
    Record("SetTextColor", {}).colour = colour;
    return previous;
  }
  COLORREF SetBkColor(COLORREF colour) override {
    COLORREF previous = bkColour;
    bkColour = colour;
    Record("SetBkColor", {}).colour = colour;
    return previous;
  }
  CPen SelectPen(const CPen& value) override {
    CPen previous = pen;
    pen = value;
    Record("SelectPen", {});
    return previous;
  }
  CPen GetCurrentPen() const override { return pen; }
  CFontSpec SelectFont(const CFontSpec& value) override {
    CFontSpec previous = font;
    font = value;
    Record("SelectFont", {});
    return previous;
  }
  CSize GetTextExtent(const std::string& text) override {
    Record("GetTextExtent", {}).text = text;
    return CSize{static_cast<int>(text.size()) * charWidth, font.height};
  }
  void FillSolidRect(int x, int y, int width, int height, COLORREF colour) override {
    Record("FillSolidRect", {x, y, width, height}).colour = colour;
    bkColour = colour;
  }
  void SetPixel(int x, int y, COLORREF colour) override { Record("SetPixel", {x, y}).colour = colour; }
  void DrawBitmap(int resourceId, int x, int y) override { Record("DrawBitmap", {resourceId, x, y}); }

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

  CPen pen{PS_SOLID, 1, RGB(0, 0, 0)};
  CFontSpec font{"System", 16, 700};
  unsigned align = TA_LEFT | TA_TOP;
  COLORREF textColour = RGB(0, 0, 0);
  COLORREF bkColour = RGB(255, 255, 255);

 private:
  DrawCall& Record(const char* op, std::vector<int> args) {
    calls.push_back(DrawCall{op, std::move(args), {}, 0, pen, font, align, textColour, bkColour});
    return calls.back();
  }
  int cx = 0;
  int cy = 0;
};

}  // namespace nimbrel::test
