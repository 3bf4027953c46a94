// The Qt painter keeps the pixel rules the charts and the map are laid out by.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <span>
#include <string>

#include "ui/QtPainter.h"
#include "services/QtText.h"

namespace nimbrel {
namespace {

const QRgb kWhitePixel = qRgb(255, 255, 255);
const QRgb kBlackPixel = qRgb(0, 0, 0);
const QRgb kGrey = qRgb(128, 128, 128);

QImage Blank(int width, int height, QRgb colour = kWhitePixel) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

template <typename Paint>
QImage Painted(QImage image, Paint paint) {
  QPainter painter(&image);
  QtPainter onImage(painter);
  paint(onImage);
  return image;
}

TEST(QtPainter, RectangleLeavesOutItsRightAndBottomEdges) {
  QImage image = Painted(Blank(20, 20, kGrey), [](QtPainter& p) { p.rect(Rect{2, 3, 10, 9}); });
  for (int x = 2; x < 10; ++x) {
    EXPECT_EQ(image.pixel(x, 3), kBlackPixel) << x;
    EXPECT_EQ(image.pixel(x, 8), kBlackPixel) << x;
    EXPECT_EQ(image.pixel(x, 9), kGrey) << x;
  }
  for (int y = 3; y < 9; ++y) {
    EXPECT_EQ(image.pixel(2, y), kBlackPixel) << y;
    EXPECT_EQ(image.pixel(9, y), kBlackPixel) << y;
    EXPECT_EQ(image.pixel(10, y), kGrey) << y;
  }
  EXPECT_EQ(image.pixel(5, 5), kWhitePixel);  // filled with the white brush
  EXPECT_EQ(image.pixel(1, 5), kGrey);
}

TEST(QtPainter, LinesLeaveOutTheirEndPoint) {
  QImage image = Painted(Blank(30, 30), [](QtPainter& p) {
    p.line({1, 1}, {10, 1});
    p.line({10, 1}, {10, 8});  // on from the end, which the first left out
    p.line({20, 20}, {25, 25});
  });
  for (int x = 1; x < 10; ++x) EXPECT_EQ(image.pixel(x, 1), kBlackPixel) << x;
  for (int y = 1; y < 8; ++y) EXPECT_EQ(image.pixel(10, y), kBlackPixel) << y;
  EXPECT_EQ(image.pixel(10, 8), kWhitePixel);
  EXPECT_EQ(image.pixel(0, 1), kWhitePixel);
  EXPECT_EQ(image.pixel(24, 24), kBlackPixel);
  EXPECT_EQ(image.pixel(25, 25), kWhitePixel);
}

// Every direction, the ones Qt draws backwards included: the start pixel
// is drawn, the end pixel is not, one pixel per step of the longer axis.
TEST(QtPainter, LinesInEveryDirectionLeaveOutTheEndAndKeepTheStart) {
  const QPoint ends[] = {{30, 20}, {10, 20}, {20, 30}, {20, 10}, {30, 30}, {10, 10}, {30, 16},
                         {10, 24}, {23, 10}, {17, 30}, {21, 20}, {20, 19}, {30, 10}, {10, 30}};
  for (const QPoint& end : ends) {
    QImage image = Painted(Blank(41, 41), [&](QtPainter& p) { p.line({20, 20}, {end.x(), end.y()}); });
    SCOPED_TRACE(std::to_string(end.x()) + "," + std::to_string(end.y()));
    EXPECT_EQ(image.pixel(20, 20), kBlackPixel);
    EXPECT_EQ(image.pixel(end), kWhitePixel);
    int black = 0;
    for (int y = 0; y < 41; ++y)
      for (int x = 0; x < 41; ++x) black += image.pixel(x, y) == kBlackPixel ? 1 : 0;
    EXPECT_EQ(black, std::max(std::abs(end.x() - 20), std::abs(end.y() - 20)));
  }
}

// A grid line drawn up to the plot's outline leaves the black edge whole.
TEST(QtPainter, GridLinesEndingOnTheOutlineLeaveItBlack) {
  QImage image = Painted(Blank(40, 40), [](QtPainter& p) {
    p.rect(Rect{5, 5, 35, 35});
    p.setPen(Pen{rgb(220, 220, 220), 1});
    for (int y = 10; y < 35; y += 5) p.line({33, y}, {5, y});  // right to left onto the left edge
    for (int x = 10; x < 35; x += 5) p.line({x, 33}, {x, 5});  // bottom to top onto the top edge
  });
  for (int i = 5; i < 35; ++i) {
    EXPECT_EQ(image.pixel(5, i), kBlackPixel) << i;
    EXPECT_EQ(image.pixel(i, 5), kBlackPixel) << i;
    EXPECT_EQ(image.pixel(34, i), kBlackPixel) << i;
  }
}

TEST(QtPainter, PensSetColourAndWidth) {
  QImage image = Painted(Blank(30, 30), [](QtPainter& p) {
    p.setPen(Pen{rgb(255, 0, 0), 2});
    p.line({2, 10}, {20, 10});
    p.setPen(Pen{rgb(0, 0, 250), 0});  // width 0 still draws one pixel
    p.line({2, 20}, {20, 20});
  });
  int redRows = 0;
  for (int y = 8; y <= 12; ++y) redRows += image.pixel(10, y) == qRgb(255, 0, 0) ? 1 : 0;
  EXPECT_EQ(redRows, 2);
  EXPECT_EQ(image.pixel(10, 20), qRgb(0, 0, 250));
  EXPECT_EQ(image.pixel(10, 19), kWhitePixel);
  EXPECT_EQ(image.pixel(10, 21), kWhitePixel);
}

TEST(QtPainter, FilledRectanglesAndPixels) {
  QImage image = Painted(Blank(20, 20), [](QtPainter& p) {
    p.fillRect(Rect::fromSize(2, 2, 5, 5), rgb(0, 150, 100));
    p.fillRect(Rect::fromSize(10, 10, 0, 4), rgb(1, 2, 3));  // empty: draws nothing
    p.pixel({15, 15}, rgb(9, 8, 7));
  });
  EXPECT_EQ(image.pixel(2, 2), qRgb(0, 150, 100));
  EXPECT_EQ(image.pixel(6, 6), qRgb(0, 150, 100));
  EXPECT_EQ(image.pixel(7, 6), kWhitePixel);
  EXPECT_EQ(image.pixel(6, 7), kWhitePixel);
  EXPECT_EQ(image.pixel(10, 10), kWhitePixel);
  EXPECT_EQ(image.pixel(15, 15), qRgb(9, 8, 7));
  EXPECT_EQ(image.pixel(16, 15), kWhitePixel);
}

TEST(QtPainter, RimmedPointsStampedAreTheirThreeFillsAtEveryWholeScale) {
  // Overlapping points: the later one's rim lies over the earlier one's colour.
  const Point centres[] = {{10, 10}, {12, 11}, {30, 5}, {0, 0}, {39, 19}};
  const std::span<const Point> green(centres, 3), red(centres + 3, 2);
  for (const qreal ratio : {1.0, 2.0}) {
    auto blank = [ratio] {
      QImage image = Blank(static_cast<int>(40 * ratio), static_cast<int>(20 * ratio));
      image.setDevicePixelRatio(ratio);
      return image;
    };
    const QImage stamped = Painted(blank(), [&](QtPainter& p) {
      p.rimmedPoints(green, rgb(0, 170, 0), rgb(40, 40, 40));
      p.rimmedPoints(red, rgb(230, 0, 0), rgb(40, 40, 40));
    });
    const QImage filled = Painted(blank(), [&](QtPainter& p) {
      p.Painter::rimmedPoints(green, rgb(0, 170, 0), rgb(40, 40, 40));
      p.Painter::rimmedPoints(red, rgb(230, 0, 0), rgb(40, 40, 40));
    });
    EXPECT_EQ(stamped, filled) << "ratio " << ratio;
    EXPECT_EQ(filled.pixel(static_cast<int>(12 * ratio), static_cast<int>(11 * ratio)), qRgb(0, 170, 0));
  }
}

TEST(QtPainter, EllipseIsOutlinedAndFilled) {
  QImage image = Painted(Blank(30, 30, kGrey), [](QtPainter& p) { p.ellipse(Rect{4, 4, 25, 25}); });
  EXPECT_EQ(image.pixel(14, 14), kWhitePixel);
  EXPECT_EQ(image.pixel(14, 4), kBlackPixel);
  EXPECT_EQ(image.pixel(4, 14), kBlackPixel);
  EXPECT_EQ(image.pixel(14, 25), kGrey);
  EXPECT_EQ(image.pixel(25, 14), kGrey);
  EXPECT_EQ(image.pixel(5, 5), kGrey);  // the corner lies outside
}

TEST(QtPainter, ChartFontsHaveTheirCellHeights) {
  for (int height : {14, 16}) {
    const Font description{"Arial Cyr", height, 400};
    const QFont font = QtPainter::resolveFont(description);
    if (!QFontDatabase::hasFamily(QStringLiteral("Arial Cyr"))) {
      EXPECT_EQ(font.family(), QStringLiteral("Liberation Sans"));
    }
    const QFontMetrics metrics(font);
    EXPECT_LE(metrics.ascent() + metrics.descent(), height);
    EXPECT_GE(metrics.ascent() + metrics.descent(), height - 1);
    QImage image = Blank(10, 10);
    QPainter painter(&image);
    QtPainter onImage(painter);
    onImage.setFont(description);
    const Size extent = onImage.textSize("00:00");
    EXPECT_EQ(extent.height, metrics.ascent() + metrics.descent());
    EXPECT_EQ(extent.width, metrics.horizontalAdvance(QStringLiteral("00:00")));
    EXPECT_GT(extent.width, 0);
  }
}

// The box of a text: every pixel is the background or ink, nothing of the
// grey beneath; the placement follows the alignment.
void ExpectOpaqueBox(const QImage& image, int left, int top, const Size& extent) {
  int ink = 0;
  for (int y = top; y < top + extent.height; ++y) {
    for (int x = left; x < left + extent.width; ++x) {
      ASSERT_NE(image.pixel(x, y), kGrey) << x << "," << y;
      if (image.pixel(x, y) != qRgb(255, 255, 0)) ++ink;
    }
  }
  EXPECT_GT(ink, 10);
  EXPECT_EQ(image.pixel(left - 1, top + extent.height / 2), kGrey);
  EXPECT_EQ(image.pixel(left + extent.width, top + extent.height / 2), kGrey);
  EXPECT_EQ(image.pixel(left + extent.width / 2, top - 1), kGrey);
  EXPECT_EQ(image.pixel(left + extent.width / 2, top + extent.height), kGrey);
}

TEST(QtPainter, TextHasAnOpaqueBackgroundAndFollowsTheAlignment) {
  Size extent;
  QImage image = Painted(Blank(200, 110, kGrey), [&](QtPainter& p) {
    p.setFont(Font{"Arial Cyr", 16, 400});
    p.setTextBackground(rgb(255, 255, 0));
    p.setTextColour(rgb(0, 0, 0));
    extent = p.textSize("Wind 270");
    p.text({10, 5}, "Wind 270");
    p.text({100, 40}, "Wind 270", Align::kCentre);
    p.text({190, 75}, "Wind 270", Align::kRight);
  });
  ExpectOpaqueBox(image, 10, 5, extent);
  ExpectOpaqueBox(image, 100 - extent.width / 2, 40, extent);
  ExpectOpaqueBox(image, 190 - extent.width, 75, extent);
}

TEST(QtPainter, MissingPictureDrawsNothing) {
  QImage image = Painted(Blank(10, 10), [](QtPainter& p) { p.image("no such picture", {0, 0}); });
  EXPECT_EQ(image, Blank(10, 10));
}

// The program's texts are Windows-1252 bytes; every byte comes back as it went.
TEST(QtText, WindowsBytesRoundTrip) {
  std::string all;
  for (int byte = 1; byte < 256; ++byte) all.push_back(static_cast<char>(byte));
  EXPECT_EQ(fromQString(toQString(all)), all);
  EXPECT_EQ(toQString("\x80 \xdc \x9f"), QString::fromUtf8("\u20ac \u00dc \u0178"));
  EXPECT_EQ(toQString("\x81"), QString(QChar(0x81))) << "an unassigned byte stays a control character";
  EXPECT_EQ(fromQString(QString::fromUtf8("Z\u00fcrich \u20ac \u4e2d")), "Z\xfcrich \x80 ?");
}

}  // namespace
}  // namespace nimbrel
