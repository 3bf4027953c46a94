#pragma once
// A drawing context that records the calls the map drawing makes.
#include <string>
#include <vector>

#include "platform/DrawContext.h"

namespace nimbrel::test {

struct DrawCall {
  std::string op;  // "bitmap", "pixel", "fill"
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  COLORREF colour = 0;
  int resourceId = 0;
  bool operator==(const DrawCall&) const = default;
};

class RecordingDrawContext : public IDrawContext {
 public:
  std::vector<DrawCall> calls;
  std::vector<std::string> others;  // any call the map should not make

  void DrawBitmap(int resourceId, int x, int y) override { calls.push_back({"bitmap", x, y, 0, 0, 0, resourceId}); }
  void SetPixel(int x, int y, COLORREF colour) override { calls.push_back({"pixel", x, y, 0, 0, colour, 0}); }
  void FillSolidRect(int x, int y, int width, int height, COLORREF colour) override {
    calls.push_back({"fill", x, y, width, height, colour, 0});
  }
  void Rectangle(int, int, int, int) override { others.push_back("Rectangle"); }
  void Ellipse(int, int, int, int) override { others.push_back("Ellipse"); }
  void MoveTo(int, int) override { others.push_back("MoveTo"); }
  void LineTo(int, int) override { others.push_back("LineTo"); }
  void TextOut(int, int, const std::string&) override { others.push_back("TextOut"); }
  unsigned SetTextAlign(unsigned) override { others.push_back("SetTextAlign"); return 0; }
  COLORREF SetTextColor(COLORREF) override { others.push_back("SetTextColor"); return 0; }
  COLORREF SetBkColor(COLORREF) override { others.push_back("SetBkColor"); return 0; }
  CPen SelectPen(const CPen&) override { others.push_back("SelectPen"); return {}; }
  CPen GetCurrentPen() const override { return {}; }
  CFontSpec SelectFont(const CFontSpec&) override { others.push_back("SelectFont"); return {}; }
  CSize GetTextExtent(const std::string&) override { others.push_back("GetTextExtent"); return {}; }

  std::vector<DrawCall> CallsOf(const std::string& op) const {
    std::vector<DrawCall> out;
    for (const DrawCall& c : calls) {
      if (c.op == op) out.push_back(c);
    }
    return out;
  }
};

}  // namespace nimbrel::test
