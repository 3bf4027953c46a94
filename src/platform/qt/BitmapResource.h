#pragma once
// Bitmap resources are the program's own uncompressed Windows bitmaps. They
// are read here straight into the window's pixel format: Qt's image reader
// would first look through every image-format plugin installed, which costs
// more than the picture itself at start-up.
#include <QImage>

#include <cstddef>

namespace nimbrel {

// Reads an uncompressed (BI_RGB) bitmap of 1, 4, 8, 24 or 32 bits per pixel,
// bottom-up or top-down, into an RGB32 image. Anything else, and anything
// that does not fit in size, gives a null image.
QImage DecodeBitmap(const unsigned char* data, std::size_t size);

// The bitmap resource ":/bitmaps/<id>.bmp" as an RGB32 image; a bitmap the
// reader above does not take goes to Qt's reader. Null when there is none.
QImage LoadBitmapResource(int resourceId);

}  // namespace nimbrel
