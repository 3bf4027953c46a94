#include "app/AppStyle.h"

#include <QIconEngine>
#include <QMainWindow>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>
#include <QWidget>

namespace nimbrel {
namespace {

// Stands for a standard icon until somebody wants its pixels, then asks the
// style for the real one (for the same widget, while it lives) and keeps it.
class DeferredStandardIcon : public QIconEngine {
 public:
  DeferredStandardIcon(const QStyle* style, QStyle::StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget)
      : style(style), which(which), widget(widget) {
    if (option != nullptr) {
      this->option = *option;
      hasOption = true;
    }
  }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    Resolved().paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Resolved().pixmap(size, mode, state);
  }
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
    return Resolved().pixmap(size, scale, mode, state);
  }
  // Layouts ask for sizes; the standard pictures fill whatever they get.
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return resolved ? icon.actualSize(size, mode, state) : size;
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    return Resolved().availableSizes(mode, state);
  }
  bool isNull() override { return resolved && icon.isNull(); }
  QString key() const override { return QStringLiteral("DeferredStandardIcon"); }
  QIconEngine* clone() const override {
    auto* copy = new DeferredStandardIcon(style, which, hasOption ? &option : nullptr, widget);
    copy->resolved = resolved;
    copy->icon = icon;
    return copy;
  }

 private:
  const QIcon& Resolved() {
    if (!resolved) {
      resolved = true;
      if (!style.isNull()) icon = style->standardIcon(which, hasOption ? &option : nullptr, widget.data());
    }
    return icon;
  }

  QPointer<const QStyle> style;
  QStyle::StandardPixmap which;
  QPointer<const QWidget> widget;
  // The styles read only the option's common part (its direction) here.
  QStyleOption option;
  bool hasOption = false;
  bool resolved = false;
  QIcon icon;
};

bool IsDeferred(QStyle::StandardPixmap which) {
  switch (which) {
    case QStyle::SP_TitleBarMenuButton:
    case QStyle::SP_TitleBarMinButton:
    case QStyle::SP_TitleBarMaxButton:
    case QStyle::SP_TitleBarCloseButton:
    case QStyle::SP_TitleBarNormalButton:
    case QStyle::SP_TitleBarShadeButton:
    case QStyle::SP_TitleBarUnshadeButton:
    case QStyle::SP_TitleBarContextHelpButton:
    case QStyle::SP_ToolBarHorizontalExtensionButton:
    case QStyle::SP_ToolBarVerticalExtensionButton:
      return true;
    default:
      return false;
  }
}

}  // namespace

QIcon CAppStyle::standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const {
  if (IsDeferred(which) && baseStyle() != nullptr) {
    return QIcon(new DeferredStandardIcon(baseStyle(), which, option, widget));
  }
  return QProxyStyle::standardIcon(which, option, widget);
}

void CAppStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                            const QWidget* widget) const {
  const auto* bar = qstyleoption_cast<const QStyleOptionToolBar*>(option);
  // Fusion's look for the usual case, a single toolbar row at the top of a
  // main window: the same gradient and lines, pixel for pixel, drawn as plain
  // fills. Fusion's own drawing hands each paint to the thread pool and takes
  // ten times as long or more.
  if (element == CE_ToolBar && bar != nullptr && baseStyle()->name() == QLatin1String("fusion") &&
      widget != nullptr && qobject_cast<const QMainWindow*>(widget->parentWidget()) != nullptr &&
      bar->toolBarArea == Qt::TopToolBarArea && (option->state & State_Horizontal) &&
      bar->positionOfLine == QStyleOptionToolBar::OnlyOne) {
    const QRect r = option->rect;
    QLinearGradient gradient(r.topLeft(), r.bottomLeft());
    gradient.setColorAt(0, option->palette.window().color().lighter(104));
    gradient.setColorAt(1, option->palette.window().color());
    painter->fillRect(r, gradient);
    const QColor light(255, 255, 255, 90);
    const QColor shadow(0, 0, 0, 60);
    painter->fillRect(QRect(r.left(), r.top(), r.width(), 1), light);
    painter->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), light);
    painter->fillRect(QRect(r.left(), r.bottom() - 1, r.width(), 1), shadow);
    return;
  }
  QProxyStyle::drawControl(element, option, painter, widget);
}

}  // namespace nimbrel
