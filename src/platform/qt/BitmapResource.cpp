#include "platform/qt/BitmapResource.h"

#include <QResource>

#include <cstdint>
#include <limits>

namespace nimbrel {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::int32_t kLargestSide = 32768;

std::uint32_t U16(const unsigned char* p) { return static_cast<std::uint32_t>(p[0] | (p[1] << 8)); }
std::uint32_t U32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::int32_t I32(const unsigned char* p) { return static_cast<std::int32_t>(U32(p)); }

}  // namespace

QImage DecodeBitmap(const unsigned char* data, std::size_t size) {
  if (data == nullptr || size < kFileHeaderSize + kInfoHeaderSize || data[0] != 'B' || data[1] != 'M') return {};
  const std::uint32_t pixelOffset = U32(data + 10);
  const unsigned char* info = data + kFileHeaderSize;
  const std::uint32_t infoSize = U32(info);
  const std::int32_t width = I32(info + 4);
  const std::int32_t rawHeight = I32(info + 8);
  const std::uint32_t bitsPerPixel = U16(info + 14);
  const std::uint32_t compression = U32(info + 16);
  std::uint32_t colourCount = U32(info + 32);
  if (infoSize < kInfoHeaderSize || infoSize > size - kFileHeaderSize || compression != 0) return {};
  if (rawHeight == std::numeric_limits<std::int32_t>::min()) return {};
  const bool topDown = rawHeight < 0;
  const std::int32_t height = topDown ? -rawHeight : rawHeight;
  if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide) return {};

  const bool paletted = bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8;
  if (!paletted && bitsPerPixel != 24 && bitsPerPixel != 32) return {};
  QRgb palette[256] = {};
  if (paletted) {
    const std::uint32_t largest = 1u << bitsPerPixel;
    if (colourCount == 0 || colourCount > largest) colourCount = largest;
    const std::size_t paletteStart = kFileHeaderSize + infoSize;
    if (paletteStart + std::size_t{colourCount} * 4 > size) return {};
    for (std::uint32_t i = 0; i < colourCount; ++i) {
      const unsigned char* entry = data + paletteStart + std::size_t{i} * 4;
      palette[i] = qRgb(entry[2], entry[1], entry[0]);
    }
  }

  // Rows are padded to whole 32-bit words.
  const std::size_t stride = ((std::size_t(width) * bitsPerPixel + 31) / 32) * 4;
  if (pixelOffset > size || stride * std::size_t(height) > size - pixelOffset) return {};

  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) return {};
  for (std::int32_t y = 0; y < height; ++y) {
    const unsigned char* row = data + pixelOffset + stride * std::size_t(topDown ? y : height - 1 - y);
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    switch (bitsPerPixel) {
      case 1:
        for (std::int32_t x = 0; x < width; ++x) out[x] = palette[(row[x >> 3] >> (7 - (x & 7))) & 1];
        break;
      case 4:
        for (std::int32_t x = 0; x < width; ++x) out[x] = palette[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F];
        break;
      case 8:
        for (std::int32_t x = 0; x < width; ++x) out[x] = palette[row[x]];
        break;
      case 24:
        for (std::int32_t x = 0; x < width; ++x) out[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
        break;
      default:
        for (std::int32_t x = 0; x < width; ++x) out[x] = qRgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
        break;
    }
  }
  return image;
}

QImage LoadBitmapResource(int resourceId) {
  const QString path = QStringLiteral(":/bitmaps/%1.bmp").arg(resourceId);
  const QResource resource(path);
  if (!resource.isValid()) return {};
  const QByteArray bytes = resource.uncompressedData();
  QImage image = DecodeBitmap(reinterpret_cast<const unsigned char*>(bytes.constData()),
                              static_cast<std::size_t>(bytes.size()));
  if (image.isNull()) {
    image = QImage(path, "BMP");
    if (!image.isNull() && image.format() != QImage::Format_RGB32) image.convertTo(QImage::Format_RGB32);
  }
  return image;
}

}  // namespace nimbrel
