// The Qt drawing context keeps the platform's pixel rules.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <string>

#include "ui/QtDrawContext.h"
#include "ui/QtText.h"

namespace nimbrel {
namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kGrey = qRgb(128, 128, 128);

QImage Blank(int width, int height, QRgb colour = kWhite) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

template <typename Paint>
QImage Painted(QImage image, Paint paint) {
  QPainter painter(&image);
  QtDrawContext dc(painter);
  paint(dc);
  return image;
}

TEST(QtDrawContext, RectangleLeavesOutItsRightAndBottomEdges) {
  QImage image = Painted(Blank(20, 20, kGrey), [](QtDrawContext& dc) { dc.rectangle(2, 3, 10, 9); });
  for (int x = 2; x < 10; ++x) {
    EXPECT_EQ(image.pixel(x, 3), kBlack) << x;
    EXPECT_EQ(image.pixel(x, 8), kBlack) << x;
    EXPECT_EQ(image.pixel(x, 9), kGrey) << x;
  }
  for (int y = 3; y < 9; ++y) {
    EXPECT_EQ(image.pixel(2, y), kBlack) << y;
    EXPECT_EQ(image.pixel(9, y), kBlack) << y;
    EXPECT_EQ(image.pixel(10, y), kGrey) << y;
  }
  EXPECT_EQ(image.pixel(5, 5), kWhite);  // filled with the white brush
  EXPECT_EQ(image.pixel(1, 5), kGrey);
}

TEST(QtDrawContext, LinesLeaveOutTheirEndPoint) {
  QImage image = Painted(Blank(30, 30), [](QtDrawContext& dc) {
    dc.moveTo(1, 1);
    dc.lineTo(10, 1);  // then on from the end, which becomes current
    dc.lineTo(10, 8);
    dc.moveTo(20, 20);
    dc.lineTo(25, 25);
  });
  for (int x = 1; x < 10; ++x) EXPECT_EQ(image.pixel(x, 1), kBlack) << x;
  for (int y = 1; y < 8; ++y) EXPECT_EQ(image.pixel(10, y), kBlack) << y;
  EXPECT_EQ(image.pixel(10, 8), kWhite);
  EXPECT_EQ(image.pixel(0, 1), kWhite);
  EXPECT_EQ(image.pixel(24, 24), kBlack);
  EXPECT_EQ(image.pixel(25, 25), kWhite);
}

// Every direction, the ones Qt draws backwards included: the start pixel
// is drawn, the end pixel is not, one pixel per step of the longer axis.
TEST(QtDrawContext, LinesInEveryDirectionLeaveOutTheEndAndKeepTheStart) {
  const QPoint ends[] = {{30, 20}, {10, 20}, {20, 30}, {20, 10}, {30, 30}, {10, 10}, {30, 16},
                         {10, 24}, {23, 10}, {17, 30}, {21, 20}, {20, 19}, {30, 10}, {10, 30}};
  for (const QPoint& end : ends) {
    QImage image = Painted(Blank(41, 41), [&](QtDrawContext& dc) {
      dc.moveTo(20, 20);
      dc.lineTo(end.x(), end.y());
    });
    SCOPED_TRACE(std::to_string(end.x()) + "," + std::to_string(end.y()));
    EXPECT_EQ(image.pixel(20, 20), kBlack);
    EXPECT_EQ(image.pixel(end), kWhite);
    int black = 0;
    for (int y = 0; y < 41; ++y)
      for (int x = 0; x < 41; ++x) black += image.pixel(x, y) == kBlack ? 1 : 0;
    EXPECT_EQ(black, std::max(std::abs(end.x() - 20), std::abs(end.y() - 20)));
  }
}

// A grid line drawn up to the plot's outline leaves the black edge whole.
TEST(QtDrawContext, GridLinesEndingOnTheOutlineLeaveItBlack) {
  QImage image = Painted(Blank(40, 40), [](QtDrawContext& dc) {
    dc.rectangle(5, 5, 35, 35);
    dc.selectPen(Pen{PS_SOLID, 1, rgb(220, 220, 220)});
    for (int y = 10; y < 35; y += 5) {
      dc.moveTo(33, y);  // drawn right to left onto the left edge
      dc.lineTo(5, y);
    }
    for (int x = 10; x < 35; x += 5) {
      dc.moveTo(x, 33);  // bottom to top onto the top edge
      dc.lineTo(x, 5);
    }
  });
  for (int i = 5; i < 35; ++i) {
    EXPECT_EQ(image.pixel(5, i), kBlack) << i;
    EXPECT_EQ(image.pixel(i, 5), kBlack) << i;
    EXPECT_EQ(image.pixel(34, i), kBlack) << i;
  }
}

TEST(QtDrawContext, PensSetColourAndWidth) {
  QImage image = Painted(Blank(30, 30), [](QtDrawContext& dc) {
    const Pen old = dc.selectPen(Pen{PS_SOLID, 2, rgb(255, 0, 0)});
    EXPECT_EQ(old, (Pen{PS_SOLID, 1, rgb(0, 0, 0)}));
    EXPECT_EQ(dc.getCurrentPen(), (Pen{PS_SOLID, 2, rgb(255, 0, 0)}));
    dc.moveTo(2, 10);
    dc.lineTo(20, 10);
    dc.selectPen(Pen{PS_SOLID, 0, rgb(0, 0, 250)});  // width 0 still draws one pixel
    dc.moveTo(2, 20);
    dc.lineTo(20, 20);
  });
  int redRows = 0;
  for (int y = 8; y <= 12; ++y) redRows += image.pixel(10, y) == qRgb(255, 0, 0) ? 1 : 0;
  EXPECT_EQ(redRows, 2);
  EXPECT_EQ(image.pixel(10, 20), qRgb(0, 0, 250));
  EXPECT_EQ(image.pixel(10, 19), kWhite);
  EXPECT_EQ(image.pixel(10, 21), kWhite);
}

TEST(QtDrawContext, FillSolidRectAndPixelsAndBackgroundColour) {
  QImage image = Painted(Blank(20, 20), [](QtDrawContext& dc) {
    dc.fillSolidRect(2, 2, 5, 5, rgb(0, 150, 100));
    EXPECT_EQ(dc.setBkColor(rgb(255, 255, 255)), rgb(0, 150, 100));
    dc.fillSolidRect(10, 10, 0, 4, rgb(1, 2, 3));  // empty: draws nothing
    dc.setPixel(15, 15, rgb(9, 8, 7));
  });
  EXPECT_EQ(image.pixel(2, 2), qRgb(0, 150, 100));
  EXPECT_EQ(image.pixel(6, 6), qRgb(0, 150, 100));
  EXPECT_EQ(image.pixel(7, 6), kWhite);
  EXPECT_EQ(image.pixel(6, 7), kWhite);
  EXPECT_EQ(image.pixel(10, 10), kWhite);
  EXPECT_EQ(image.pixel(15, 15), qRgb(9, 8, 7));
  EXPECT_EQ(image.pixel(16, 15), kWhite);
}

TEST(QtDrawContext, RimmedPointsStampedAreTheirThreeFillsAtEveryWholeScale) {
  // Overlapping points: the later one's rim lies over the earlier one's colour.
  const int centres[] = {10, 10, 12, 11, 30, 5, 0, 0, 39, 19};
  for (const qreal ratio : {1.0, 2.0}) {
    auto blank = [ratio] {
      QImage image = Blank(static_cast<int>(40 * ratio), static_cast<int>(20 * ratio));
      image.setDevicePixelRatio(ratio);
      return image;
    };
    const QImage stamped = Painted(blank(), [&](QtDrawContext& dc) {
      dc.drawRimmedPoints(centres, 3, rgb(0, 170, 0), rgb(40, 40, 40));
      dc.drawRimmedPoints(centres + 6, 2, rgb(230, 0, 0), rgb(40, 40, 40));
    });
    const QImage filled = Painted(blank(), [&](QtDrawContext& dc) {
      dc.DrawContext::drawRimmedPoints(centres, 3, rgb(0, 170, 0), rgb(40, 40, 40));
      dc.DrawContext::drawRimmedPoints(centres + 6, 2, rgb(230, 0, 0), rgb(40, 40, 40));
    });
    EXPECT_EQ(stamped, filled) << "ratio " << ratio;
    EXPECT_EQ(filled.pixel(static_cast<int>(12 * ratio), static_cast<int>(11 * ratio)), qRgb(0, 170, 0));
  }
}

TEST(QtDrawContext, EllipseIsOutlinedAndFilled) {
  QImage image = Painted(Blank(30, 30, kGrey), [](QtDrawContext& dc) { dc.ellipse(4, 4, 25, 25); });
  EXPECT_EQ(image.pixel(14, 14), kWhite);
  EXPECT_EQ(image.pixel(14, 4), kBlack);
  EXPECT_EQ(image.pixel(4, 14), kBlack);
  EXPECT_EQ(image.pixel(14, 25), kGrey);
  EXPECT_EQ(image.pixel(25, 14), kGrey);
  EXPECT_EQ(image.pixel(5, 5), kGrey);  // the corner lies outside
}

TEST(QtDrawContext, ChartFontsHaveTheirCellHeights) {
  for (int height : {14, 16}) {
    const FontSpec description{"Arial Cyr", height, 400};
    const QFont font = QtDrawContext::resolveFont(description);
    if (!QFontDatabase::hasFamily(QStringLiteral("Arial Cyr"))) {
      EXPECT_EQ(font.family(), QStringLiteral("Liberation Sans"));
    }
    const QFontMetrics metrics(font);
    EXPECT_LE(metrics.ascent() + metrics.descent(), height);
    EXPECT_GE(metrics.ascent() + metrics.descent(), height - 1);
    QImage image = Blank(10, 10);
    QPainter painter(&image);
    QtDrawContext dc(painter);
    dc.selectFont(description);
    const Size extent = dc.getTextExtent("00:00");
    EXPECT_EQ(extent.cy, metrics.ascent() + metrics.descent());
    EXPECT_EQ(extent.cx, metrics.horizontalAdvance(QStringLiteral("00:00")));
    EXPECT_GT(extent.cx, 0);
  }
}

// The box of a text: every pixel is the background or ink, nothing of the
// grey beneath; the placement follows the alignment.
void ExpectOpaqueBox(const QImage& image, int left, int top, const Size& extent) {
  int ink = 0;
  for (int y = top; y < top + extent.cy; ++y) {
    for (int x = left; x < left + extent.cx; ++x) {
      ASSERT_NE(image.pixel(x, y), kGrey) << x << "," << y;
      if (image.pixel(x, y) != qRgb(255, 255, 0)) ++ink;
    }
  }
  EXPECT_GT(ink, 10);
  EXPECT_EQ(image.pixel(left - 1, top + extent.cy / 2), kGrey);
  EXPECT_EQ(image.pixel(left + extent.cx, top + extent.cy / 2), kGrey);
  EXPECT_EQ(image.pixel(left + extent.cx / 2, top - 1), kGrey);
  EXPECT_EQ(image.pixel(left + extent.cx / 2, top + extent.cy), kGrey);
}

TEST(QtDrawContext, TextHasAnOpaqueBackgroundAndFollowsTheAlignment) {
  Size extent;
  QImage image = Painted(Blank(200, 80, kGrey), [&](QtDrawContext& dc) {
    dc.selectFont(FontSpec{"Arial Cyr", 16, 400});
    dc.setBkColor(rgb(255, 255, 0));
    dc.setTextColor(rgb(0, 0, 0));
    extent = dc.getTextExtent("Wind 270");
    EXPECT_EQ(dc.setTextAlign(TA_LEFT | TA_TOP), TA_LEFT | TA_TOP);
    dc.textOut(10, 5, "Wind 270");
    dc.setTextAlign(TA_CENTER | TA_TOP);
    dc.textOut(100, 40, "Wind 270");
  });
  ExpectOpaqueBox(image, 10, 5, extent);
  ExpectOpaqueBox(image, 100 - extent.cx / 2, 40, extent);
}

TEST(QtDrawContext, MissingBitmapDrawsNothing) {
  QImage image = Painted(Blank(10, 10), [](QtDrawContext& dc) { dc.drawBitmap(999999, 0, 0); });
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
