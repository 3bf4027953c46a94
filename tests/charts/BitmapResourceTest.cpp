// Bitmap resources read by our own reader give the pixels Qt's reader gives.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <vector>

#include "platform/qt/BitmapResource.h"

namespace nimbrel {
namespace {

void Put16(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t value) {
  bytes[at] = value & 0xFF;
  bytes[at + 1] = (value >> 8) & 0xFF;
}
void Put32(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = (value >> (8 * i)) & 0xFF;
}

// A BI_RGB bitmap with a pattern that changes with every pixel and row, so a
// swapped nibble, a wrong row order or a missed row padding shows.
std::vector<unsigned char> MakeBitmap(int width, int height, int bits, bool topDown) {
  const int colours = bits <= 8 ? (1 << bits) : 0;
  const std::size_t stride = ((std::size_t(width) * bits + 31) / 32) * 4;
  const std::size_t offset = 14 + 40 + 4 * std::size_t(colours);
  std::vector<unsigned char> bytes(offset + stride * height, 0);
  bytes[0] = 'B';
  bytes[1] = 'M';
  Put32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
  Put32(bytes, 10, static_cast<std::uint32_t>(offset));
  Put32(bytes, 14, 40);
  Put32(bytes, 18, static_cast<std::uint32_t>(width));
  Put32(bytes, 22, static_cast<std::uint32_t>(topDown ? -height : height));
  Put16(bytes, 26, 1);
  Put16(bytes, 28, static_cast<std::uint32_t>(bits));
  Put32(bytes, 46, static_cast<std::uint32_t>(colours));
  for (int i = 0; i < colours; ++i) {
    bytes[54 + 4 * i] = static_cast<unsigned char>(17 * i);
    bytes[55 + 4 * i] = static_cast<unsigned char>(255 - 9 * i);
    bytes[56 + 4 * i] = static_cast<unsigned char>(40 + 3 * i);
  }
  for (int y = 0; y < height; ++y) {
    unsigned char* row = bytes.data() + offset + stride * y;
    for (std::size_t i = 0; i < stride; ++i) row[i] = static_cast<unsigned char>((i * 37 + y * 11 + 5) & 0xFF);
  }
  return bytes;
}

QImage WithQtReader(const std::vector<unsigned char>& bytes) {
  QImage image = QImage::fromData(QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())), "BMP");
  return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

void ExpectSamePixels(const QImage& ours, const QImage& qts) {
  ASSERT_FALSE(ours.isNull());
  ASSERT_FALSE(qts.isNull());
  ASSERT_EQ(ours.size(), qts.size());
  EXPECT_EQ(ours.format(), QImage::Format_RGB32);
  for (int y = 0; y < ours.height(); ++y)
    for (int x = 0; x < ours.width(); ++x) ASSERT_EQ(ours.pixel(x, y), qts.pixel(x, y)) << x << "," << y;
}

TEST(BitmapResource, EveryDepthAndRowOrderReadsAsQtReadsIt) {
  for (int bits : {1, 4, 8, 24, 32}) {
    for (bool topDown : {false, true}) {
      // Odd widths leave part-bytes and row padding to get right.
      for (int width : {1, 7, 13}) {
        SCOPED_TRACE(testing::Message() << bits << " bits, width " << width << (topDown ? ", top-down" : ""));
        const std::vector<unsigned char> bytes = MakeBitmap(width, 5, bits, topDown);
        ExpectSamePixels(DecodeBitmap(bytes.data(), bytes.size()), WithQtReader(bytes));
      }
    }
  }
}

TEST(BitmapResource, TheWorldMapResourceReadsAsQtReadsIt) {
  const QImage map = LoadBitmapResource(130);
  EXPECT_EQ(map.size(), QSize(540, 341));
  QImage qts(QStringLiteral(":/bitmaps/130.bmp"), "BMP");
  ExpectSamePixels(map, qts.convertToFormat(QImage::Format_RGB32));
  EXPECT_TRUE(LoadBitmapResource(999).isNull());
}

TEST(BitmapResource, MalformedBitmapsGiveANullImage) {
  const std::vector<unsigned char> good = MakeBitmap(9, 4, 4, false);
  ASSERT_FALSE(DecodeBitmap(good.data(), good.size()).isNull());
  // Every shortened copy: the headers, the palette or the last row missing.
  for (std::size_t size = 0; size < good.size(); ++size) {
    EXPECT_TRUE(DecodeBitmap(good.data(), size).isNull()) << size;
  }
  EXPECT_TRUE(DecodeBitmap(nullptr, 100).isNull());

  auto changed = [&](std::size_t at, std::uint32_t value, bool wide) {
    std::vector<unsigned char> bytes = good;
    if (wide) Put32(bytes, at, value); else Put16(bytes, at, value);
    return DecodeBitmap(bytes.data(), bytes.size());
  };
  EXPECT_TRUE(changed(0, 'X' | ('M' << 8), false).isNull());   // not "BM"
  EXPECT_TRUE(changed(30, 1, true).isNull());                  // RLE compression
  EXPECT_TRUE(changed(28, 16, false).isNull());                // 16 bits per pixel
  EXPECT_TRUE(changed(18, 0, true).isNull());                  // no width
  EXPECT_TRUE(changed(18, 0x80000000u, true).isNull());        // negative width
  EXPECT_TRUE(changed(22, 0x80000000u, true).isNull());        // the one height with no sign to drop
  EXPECT_TRUE(changed(18, 40000, true).isNull());              // beyond any sane size
  EXPECT_TRUE(changed(10, 0xFFFFFFF0u, true).isNull());        // pixels beyond the end
  EXPECT_TRUE(changed(14, 0xFFFFFFF0u, true).isNull());        // header beyond the end
  // A palette entry count beyond the depth is read as the depth's count.
  ExpectSamePixels(changed(46, 4096, true), WithQtReader(good));
}

}  // namespace
}  // namespace nimbrel
