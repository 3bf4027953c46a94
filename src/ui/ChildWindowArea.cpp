#include "ui/ChildWindowArea.h"

#include <QEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QStyle>
#include <algorithm>

namespace nimbrel {
namespace {

// Where a child window keeps its normal size, which Cascade restores.
constexpr const char* kNormalSizeProperty = "nimbrelNormalSize";
constexpr const char* kWindowListEntry = "windowListEntry";

}  // namespace

ChildWindowArea::ChildWindowArea(QWidget* parent) : QMdiArea(parent) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

QWidget* ChildWindowArea::activeView() const {
  QMdiSubWindow* child = activeSubWindow();
  return child != nullptr ? child->widget() : nullptr;
}

QMdiSubWindow* ChildWindowArea::addChild(QWidget* view, const QString& title, QSize clientSize, bool centred) {
  // A maximised window stays so; the new one gets its normal size and
  // place first, and is maximised as the area keeps it.
  QMdiSubWindow* previous = activeSubWindow();
  const bool maximised = previous != nullptr && previous->isMaximized();
  auto* child = new QMdiSubWindow;
  child->setAttribute(Qt::WA_DeleteOnClose);
  child->setWidget(view);
  child->setWindowTitle(title);
  addSubWindow(child);
  child->show();
  if (child->isMaximized()) child->showNormal();
  // The frame's margins are known once it is shown; a window never starts
  // larger than the area.
  const QSize space = viewport()->size();
  if (clientSize.isValid()) {
    const QSize wanted = clientSize.grownBy(child->contentsMargins());
    // Before the main window shows, the area has no size of its own yet.
    child->resize(isVisible() ? wanted.boundedTo(space) : wanted);
  }
  if (centred) {
    QPoint at(std::max(0, (space.width() - child->width()) / 2), std::max(0, (space.height() - child->height()) / 2));
    // Never exactly over another window: cascaded from it instead.
    const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this) + 2;
    for (bool taken = true; taken;) {
      taken = false;
      for (QMdiSubWindow* other : subWindowList())
        if (other != child && !other->isMinimized() && other->pos() == at) taken = true;
      if (taken) at += QPoint(step, step);
      if (at.x() + child->width() > space.width() || at.y() + child->height() > space.height()) break;
    }
    child->move(at);
  }
  if (!space.isEmpty()) {
    // Fully inside the visible area where it fits: moved up and left as needed.
    const QPoint at = child->pos();
    child->move(std::max(0, std::min(at.x(), space.width() - child->width())),
                std::max(0, std::min(at.y(), space.height() - child->height())));
  }
  child->setProperty(kNormalSizeProperty, child->size());
  child->installEventFilter(this);
  if (maximised) child->showMaximized();
  connect(view, &QWidget::windowTitleChanged, child, &QWidget::setWindowTitle);
  return child;
}

void ChildWindowArea::cascade() {
  // Each window at its own normal size (never what a tiling left it), one
  // title bar's step down and right of the one before.
  const QSize space = viewport()->size();
  const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this) + 2;
  QPoint at(0, 0);
  for (QMdiSubWindow* sub : subWindowList(QMdiArea::StackingOrder)) {
    if (sub->isMinimized()) continue;
    if (sub->isMaximized()) sub->showNormal();
    QSize size = sub->property(kNormalSizeProperty).toSize();
    if (!size.isValid()) size = sub->size();
    size = size.boundedTo(space);
    if (at.x() + size.width() > space.width() || at.y() + size.height() > space.height()) at = QPoint(0, 0);
    arranging = true;
    sub->setGeometry(QRect(at, size));
    arranging = false;
    sub->raise();
    at += QPoint(step, step);
  }
}

void ChildWindowArea::tile() {
  arranging = true;
  tileSubWindows();
  arranging = false;
}

void ChildWindowArea::arrangeIcons() {
  int x = 0;
  const int bottom = viewport()->height();
  for (QMdiSubWindow* sub : subWindowList()) {
    if (!sub->isMinimized()) continue;
    sub->move(x, bottom - sub->height());
    x += sub->width();
  }
}

QMenu* ChildWindowArea::makeWindowMenu(QWidget* parent) {
  auto* menu = new QMenu(tr("&Window"), parent);
  auto command = [&](const QString& text, const QString& tip, void (ChildWindowArea::*act)()) {
    QAction* action = menu->addAction(text);
    action->setStatusTip(tip);
    connect(action, &QAction::triggered, this, act);
  };
  command(tr("&Cascade"), tr("Arrange windows so they overlap"), &ChildWindowArea::cascade);
  command(tr("&Tile"), tr("Arrange windows as non-overlapping tiles"), &ChildWindowArea::tile);
  command(tr("&Arrange Icons"), tr("Arrange icons at the bottom of the window"), &ChildWindowArea::arrangeIcons);
  QAction* separator = menu->addSeparator();
  separator->setVisible(false);
  connect(menu, &QMenu::aboutToShow, this, [this, menu, separator] { listWindowsIn(menu, separator); });
  return menu;
}

void ChildWindowArea::listWindowsIn(QMenu* menu, QAction* separator) {
  // The open windows below the commands, the active one checked, as a
  // window list always reads.
  for (QAction* action : menu->actions())
    if (action->property(kWindowListEntry).toBool()) delete action;
  const QList<QMdiSubWindow*> windows = subWindowList();
  separator->setVisible(!windows.isEmpty());
  for (int i = 0; i < windows.size(); ++i) {
    QMdiSubWindow* sub = windows.at(i);
    const QString title = sub->windowTitle();
    auto* action = menu->addAction(i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(title)
                                         : QStringLiteral("%1 %2").arg(i + 1).arg(title));
    action->setProperty(kWindowListEntry, true);
    action->setCheckable(true);
    action->setChecked(sub == activeSubWindow());
    connect(action, &QAction::triggered, this, [this, sub = QPointer<QMdiSubWindow>(sub)] {
      if (sub) setActiveSubWindow(sub);
    });
  }
}

bool ChildWindowArea::eventFilter(QObject* watched, QEvent* event) {
  // A child's normal size follows the user's resizing, not an arrangement's.
  if (event->type() == QEvent::Resize && !arranging) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(watched); sub != nullptr && !sub->isMaximized() && !sub->isMinimized())
      sub->setProperty(kNormalSizeProperty, sub->size());
  }
  return QMdiArea::eventFilter(watched, event);
}

}  // namespace nimbrel
