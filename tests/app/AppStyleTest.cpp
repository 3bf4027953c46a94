// The program's style looks exactly like the style it stands in front of.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QStyleFactory>
#include <QToolBar>

#include <memory>

#include "app/AppStyle.h"
#include "app/Icons.h"

namespace nimbrel {
namespace {

QImage ToolbarPicture(QStyle* style, Qt::ToolBarArea area) {
  QMainWindow window;
  window.setStyle(style);
  window.resize(400, 300);
  auto* bar = new QToolBar(QStringLiteral("Toolbar"), &window);
  bar->setStyle(style);
  bar->addAction(QStringLiteral("One"));
  window.addToolBar(area, bar);
  window.show();
  QApplication::processEvents();
  return bar->grab().toImage();
}

TEST(AppStyle, ToolbarsLookAsFusionDrawsThem) {
  std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
  ASSERT_NE(fusion, nullptr);
  CAppStyle ours;
  ours.setBaseStyle(QStyleFactory::create(QStringLiteral("fusion")));
  // The top row is drawn our way, the others are Fusion's own: all alike.
  for (Qt::ToolBarArea area : {Qt::TopToolBarArea, Qt::LeftToolBarArea, Qt::BottomToolBarArea}) {
    const QImage expected = ToolbarPicture(fusion.get(), area);
    const QImage actual = ToolbarPicture(&ours, area);
    ASSERT_EQ(actual.size(), expected.size()) << area;
    EXPECT_TRUE(actual == expected) << "toolbar area " << area;
  }
}

TEST(AppStyle, DeferredStandardIconsGiveTheStylesPictures) {
  CAppStyle ours;
  ours.setBaseStyle(QStyleFactory::create(QStringLiteral("fusion")));
  const QStyle* base = ours.baseStyle();
  for (QStyle::StandardPixmap which : {QStyle::SP_TitleBarCloseButton, QStyle::SP_TitleBarMaxButton,
                                       QStyle::SP_ToolBarHorizontalExtensionButton}) {
    auto widget = std::make_unique<QWidget>();
    const QIcon deferred = ours.standardIcon(which, nullptr, widget.get());
    EXPECT_FALSE(deferred.isNull());
    // The widget may be gone by the time the picture is wanted.
    widget.reset();
    const QImage got = deferred.pixmap(16, 16).toImage();
    const QImage want = base->standardIcon(which).pixmap(16, 16).toImage();
    ASSERT_FALSE(want.isNull());
    EXPECT_TRUE(got == want) << which;
  }
  // Others pass straight through.
  EXPECT_TRUE(ours.standardIcon(QStyle::SP_DialogOkButton).pixmap(16, 16).toImage() ==
              base->standardIcon(QStyle::SP_DialogOkButton).pixmap(16, 16).toImage());
}

TEST(AppStyle, ProgramIconIsDrawnAtEverySizeAskedFor) {
  const QIcon icon = ProgramIcon();
  EXPECT_FALSE(icon.isNull());
  for (int side : {16, 32, 48, 64}) {
    const QImage image = icon.pixmap(side, side).toImage();
    ASSERT_EQ(image.size(), QSize(side, side));
    // A blue globe in the middle, nothing in the corners.
    const QColor centre = image.pixelColor(side / 4, side / 2);
    EXPECT_GT(centre.blue(), centre.red()) << side;
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << side;
  }
}

}  // namespace
}  // namespace nimbrel
