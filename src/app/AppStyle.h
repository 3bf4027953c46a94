#pragma once
// The program's style: the platform's own, with two start-up costs taken
// out. The standard icons Qt asks for while building windows (title-bar and
// overflow buttons) are read only when first shown, as most never are; and
// Fusion's main-window toolbar background is painted without the blending
// that makes it the slowest part of the window to paint.
#include <QProxyStyle>

namespace nimbrel {

class CAppStyle : public QProxyStyle {
 public:
  QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                     const QWidget* widget = nullptr) const override;
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget = nullptr) const override;
};

}  // namespace nimbrel
