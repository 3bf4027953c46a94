#pragma once
// A painter for map windows on screen that draws each station label as a
// picture of itself, made once by the ordinary text drawing, and measures
// each text once.
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "render/QtPainter.h"

namespace nimbrel {

// The zoomed map on screen draws the same few hundred station labels frame
// after frame: their widths are measured once and each label is drawn as a
// picture of itself, made once by the ordinary text drawing.
class CachedTextPainter : public QtPainter {
 public:
  explicit CachedTextPainter(QPainter& painter) : QtPainter(painter) {
    const QPaintDevice* device = painter.device();
    ratio = device != nullptr ? device->devicePixelRatioF() : 1.0;
    if (cache().ratio != ratio) {
      cache().labels.clear();
      cache().ratio = ratio;
    }
    fontNumber = numberOf(font());
  }

  Size textSize(std::string_view text) override {
    setKey(text, false);
    const auto found = cache().extents.find(key);
    if (found != cache().extents.end()) return found->second;
    const Size size = QtPainter::textSize(text);
    remember(cache().extents, key, size);
    return size;
  }

  void text(Point at, std::string_view text, Align align) override {
    if (text.empty()) return;
    setKey(text, true);
    auto found = cache().labels.find(key);
    if (found == cache().labels.end()) {
      Label made = makeLabel(text);
      found = remember(cache().labels, key, std::move(made));
    }
    const Label& label = found->second;
    int left = at.x;
    if (align == Align::kCentre) left = at.x - label.width / 2;
    else if (align == Align::kRight) left = at.x - label.width;
    qtPainter().drawImage(QPoint(left - kMargin, at.y - kMargin), label.picture);
  }

 protected:
  void fontChanged() override {
    QtPainter::fontChanged();
    fontNumber = numberOf(font());
  }

 private:
  struct Label {
    int width = 0;
    QImage picture;
  };
  struct Cache {
    std::vector<Font> fonts;
    std::unordered_map<std::string, Size> extents;
    std::unordered_map<std::string, Label> labels;
    qreal ratio = 1.0;
  };
  // Shared by every map window; a few thousand labels at most are kept.
  static Cache& cache();
  static int numberOf(const Font& font) {
    auto& fonts = cache().fonts;
    for (std::size_t i = 0; i < fonts.size(); ++i)
      if (fonts[i] == font) return static_cast<int>(i);
    fonts.push_back(font);
    return static_cast<int>(fonts.size() - 1);
  }
  template <typename T>
  static typename std::unordered_map<std::string, T>::iterator remember(std::unordered_map<std::string, T>& table,
                                                                        const std::string& key, T value) {
    if (table.size() >= kMaxEntries) table.clear();
    return table.emplace(key, std::move(value)).first;
  }
  // The text, then the font and, for a picture, its colours: one reused string.
  void setKey(std::string_view text, bool withColours) {
    key.assign(text);
    key.push_back('\0');
    key.append(reinterpret_cast<const char*>(&fontNumber), sizeof fontNumber);
    if (withColours) {
      const Colour colours[] = {textColour(), textBackground()};
      key.append(reinterpret_cast<const char*>(colours), sizeof colours);
    }
  }
  Label makeLabel(std::string_view text) {
    Label label;
    const Size size = textSize(text);
    label.width = size.width;
    // Glyphs may reach a little past their box: a clear margin keeps them.
    label.picture = QImage(QSize(size.width + 2 * kMargin, size.height + 2 * kMargin) * static_cast<int>(ratio),
                           QImage::Format_ARGB32_Premultiplied);
    label.picture.setDevicePixelRatio(ratio);
    label.picture.fill(Qt::transparent);
    QPainter onLabel(&label.picture);
    QtPainter plain(onLabel);
    plain.setFont(font());
    plain.setTextColour(textColour());
    plain.setTextBackground(textBackground());
    plain.text({kMargin, kMargin}, text);
    setKey(text, true);  // textSize above used the key
    return label;
  }

  static constexpr int kMargin = 2;
  static constexpr std::size_t kMaxEntries = 6000;
  qreal ratio = 1.0;
  int fontNumber = 0;
  std::string key;
};

}  // namespace nimbrel
