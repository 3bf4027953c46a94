// The map picture and the toolbar images on a screen at scale 2.
#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <string>

#include "ui/Icons.h"
#include "ui/QtPainter.h"

// The pictures are resources of the static nimbrel_ui library.
static void InitResources() { Q_INIT_RESOURCE(resources); }

namespace nimbrel {
namespace {

const QSize kMapSize(540, 341);
const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kWhitePixel = qRgb(255, 255, 255);
const QRgb kBlackPixel = qRgb(0, 0, 0);
// In neither picture, so any pixel the picture does not cover shows.
const QRgb kUncovered = qRgb(1, 2, 3);

QImage PaintMap(qreal ratio) {
  InitResources();
  QImage image(kMapSize * ratio, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(kUncovered);
  {
    QPainter painter(&image);
    QtPainter onImage(painter);
    onImage.image("worldmap", {0, 0});
  }
  return image;
}

QImage OneX() {
  InitResources();
  return QImage(QStringLiteral(":/pictures/worldmap.bmp")).convertToFormat(QImage::Format_RGB32);
}

// Points of the 1x picture well inside land or sea (no coast, border or
// grid line within three pixels), with their colour there.
struct MapPoint {
  const char* name;
  int x;
  int y;
  QRgb colour;
};
const MapPoint kInland[] = {
    {"Siberia", 421, 82, kYellow},    {"Brazil", 197, 180, kYellow},   {"Australia", 453, 204, kYellow},
    {"Pacific", 75, 183, kWhitePixel},     {"Atlantic", 220, 114, kWhitePixel},  {"Indian Ocean", 380, 217, kWhitePixel},
};

TEST(HighResolutionMap, AtScaleOneIsTheOriginalPicture) {
  const QImage painted = PaintMap(1.0);
  const QImage original = OneX();
  ASSERT_EQ(original.size(), kMapSize);
  EXPECT_TRUE(painted == original);
}

TEST(HighResolutionMap, AtScaleTwoFillsTheSameLogicalRectangle) {
  const QImage painted = PaintMap(2.0);
  ASSERT_EQ(painted.size(), QSize(1080, 682));
  int uncovered = 0;
  for (int y = 0; y < painted.height(); ++y) {
    for (int x = 0; x < painted.width(); ++x) uncovered += painted.pixel(x, y) == kUncovered;
  }
  EXPECT_EQ(uncovered, 0);
  // The frame reaches the far corner: not a 540 x 341 picture in a quarter,
  // nor a 1080 x 682 one drawn at twice its logical size.
  EXPECT_EQ(painted.pixel(1079, 681), kBlackPixel);
  EXPECT_EQ(painted.pixel(1078, 680), kBlackPixel);
  EXPECT_NE(painted.pixel(1077, 679), kBlackPixel);
}

TEST(HighResolutionMap, AtScaleTwoLandAndSeaKeepTheirPlaces) {
  const QImage original = OneX();
  const QImage painted = PaintMap(2.0);
  for (const MapPoint& point : kInland) {
    ASSERT_EQ(original.pixel(point.x, point.y), point.colour) << point.name << " in the 1x picture";
    for (int dy = 0; dy < 2; ++dy) {
      for (int dx = 0; dx < 2; ++dx) {
        EXPECT_EQ(painted.pixel(2 * point.x + dx, 2 * point.y + dy), point.colour) << point.name;
      }
    }
  }
}

TEST(HighResolutionMap, AtScaleTwoGridLinesAreOneDevicePixelThin) {
  const QImage original = OneX();
  const QImage painted = PaintMap(2.0);
  // The 30 S parallel over the Pacific, and the 120 W meridian over the
  // southern Pacific: black in the first device row or column of their
  // logical pixel, sea in the second (a scaled-up 1x line is black in both).
  ASSERT_EQ(original.pixel(60, 212), kBlackPixel);
  ASSERT_EQ(original.pixel(60, 213), kWhitePixel);
  EXPECT_EQ(painted.pixel(120, 424), kBlackPixel);
  EXPECT_EQ(painted.pixel(121, 424), kBlackPixel);
  EXPECT_EQ(painted.pixel(120, 425), kWhitePixel);
  EXPECT_EQ(painted.pixel(120, 423), kWhitePixel);
  ASSERT_EQ(original.pixel(104, 230), kBlackPixel);
  ASSERT_EQ(original.pixel(105, 230), kWhitePixel);
  EXPECT_EQ(painted.pixel(208, 460), kBlackPixel);
  EXPECT_EQ(painted.pixel(208, 461), kBlackPixel);
  EXPECT_EQ(painted.pixel(209, 460), kWhitePixel);
  EXPECT_EQ(painted.pixel(207, 460), kWhitePixel);
}

TEST(HighResolutionMap, AtScaleTwoCoastsHaveDetailWithinALogicalPixel) {
  // A 1x picture scaled up has every 2 x 2 block of one colour; coastlines,
  // borders and grid lines drawn at 2x split thousands of them.
  const QImage painted = PaintMap(2.0);
  int split = 0;
  for (int y = 0; y < kMapSize.height(); ++y) {
    for (int x = 0; x < kMapSize.width(); ++x) {
      const QRgb first = painted.pixel(2 * x, 2 * y);
      split += painted.pixel(2 * x + 1, 2 * y) != first || painted.pixel(2 * x, 2 * y + 1) != first ||
               painted.pixel(2 * x + 1, 2 * y + 1) != first;
    }
  }
  EXPECT_GT(split, 5000);
}

TEST(HighResolutionMap, AtScaleOneAndAHalfNoLineIsLost) {
  // Every black pixel of the 2x picture still darkens the pixel it shrinks
  // into; a plain nearest-pixel shrink drops a quarter of the rows and columns.
  InitResources();
  const QImage doubled = QImage(QStringLiteral(":/pictures/worldmap@2x.png")).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(doubled.size(), QSize(1080, 682));
  const QImage painted = PaintMap(1.5);
  ASSERT_EQ(painted.size(), QSize(810, 512));
  int black = 0;
  int lost = 0;
  for (int y = 0; y < doubled.height(); ++y) {
    for (int x = 0; x < doubled.width(); ++x) {
      if (doubled.pixel(x, y) != kBlackPixel) continue;
      ++black;
      const QRgb shrunk = painted.pixel(std::min(x * 3 / 4, 809), std::min(y * 3 / 4, 511));
      lost += shrunk == kWhitePixel || shrunk == kYellow;
    }
  }
  EXPECT_GT(black, 10000);
  EXPECT_EQ(lost, 0);
}

struct ToolbarCase {
  ToolbarImage image;
  const char* name;
  QRgb colour;  // a colour the image must show, fully opaque
};

class ToolbarIconTest : public ::testing::TestWithParam<ToolbarCase> {};

int CountOpaque(const QImage& image, QRgb colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == colour;
  }
  return count;
}

TEST_P(ToolbarIconTest, IsDrawnAtScaleTwoRatherThanScaledUp) {
  const QIcon icon = toolbarIcon(GetParam().image);
  const QImage small = icon.pixmap(QSize(17, 18), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
  const QPixmap bigPixmap = icon.pixmap(QSize(17, 18), 2.0);
  const QImage big = bigPixmap.toImage().convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(small.size(), QSize(17, 18));
  ASSERT_EQ(big.size(), QSize(34, 36));
  EXPECT_EQ(bigPixmap.devicePixelRatio(), 2.0);

  int opaque = 0;
  for (int y = 0; y < big.height(); ++y) {
    for (int x = 0; x < big.width(); ++x) opaque += qAlpha(big.pixel(x, y)) == 255;
  }
  EXPECT_GT(opaque, 34 * 36 / 4) << "mostly empty";
  EXPECT_GT(CountOpaque(big, GetParam().colour), 8) << "lacks its colour";
  EXPECT_GT(CountOpaque(small, GetParam().colour), 2) << "lacks its colour at 1x";

  const QImage upscaled = small.scaled(34, 36, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  int differing = 0;
  for (int y = 0; y < big.height(); ++y) {
    for (int x = 0; x < big.width(); ++x) differing += big.pixel(x, y) != upscaled.pixel(x, y);
  }
  EXPECT_GE(differing, 4);
}

INSTANTIATE_TEST_SUITE_P(
    Toolbar, ToolbarIconTest,
    ::testing::Values(ToolbarCase{ToolbarImage::kParameters, "Parameters", qRgb(0, 0, 200)},
                      ToolbarCase{ToolbarImage::kMarkAllStations, "MarkAllStations", qRgb(255, 0, 0)},
                      ToolbarCase{ToolbarImage::kShowAllStations, "ShowAllStations", qRgb(0, 0, 128)},
                      ToolbarCase{ToolbarImage::kFindStation, "FindStation", qRgb(200, 230, 255)}),
    [](const ::testing::TestParamInfo<ToolbarCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace nimbrel
