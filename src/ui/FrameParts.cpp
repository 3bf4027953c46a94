#include "ui/FrameParts.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QScreen>
#include <QStatusBar>
#include <algorithm>

namespace nimbrel {

QLabel* addStatusPanes(QMainWindow& window) {
  QStatusBar* bar = window.statusBar();
  auto* messagePane = new QLabel(QCoreApplication::translate("MainWindow", "Ready"), &window);
  messagePane->setObjectName(QStringLiteral("messagePane"));
  // The whole bar's width. No lock-key panes: they could only ever show their
  // names greyed, and they cut long messages short.
  bar->addWidget(messagePane, 1);
  QObject::connect(bar, &QStatusBar::messageChanged, messagePane,
                   [messagePane](const QString& text) { messagePane->setVisible(text.isEmpty()); });
  return messagePane;
}

QLabel* addStorePane(QMainWindow& window) {
  auto* pane = new QLabel(QCoreApplication::translate("MainWindow", "Store off"), &window);
  pane->setObjectName(QStringLiteral("storePane"));
  pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  pane->setAlignment(Qt::AlignCenter);
  pane->hide();
  // At the bar's right end, beside the message.
  window.statusBar()->addPermanentWidget(pane);
  return pane;
}

void fitToScreen(QMainWindow& window, bool onlyIfOutside) {
  QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect free = screen->availableGeometry();
  if (onlyIfOutside && (free.isEmpty() || free.contains(window.frameGeometry()))) return;
  // The frame is known once the window manager framed the window: the
  // fit is made again then.
  const QSize frame = window.frameGeometry().size() - window.geometry().size();
  window.resize(window.size().boundedTo(free.size() - frame));
  QRect placed = window.frameGeometry();
  placed.setSize(window.size() + frame);
  placed.moveCenter(free.center());
  window.move(std::max(placed.left(), free.left()), std::max(placed.top(), free.top()));
}

void BusyCursor::begin() {
  if (depth++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void BusyCursor::end() {
  if (depth <= 0) return;
  if (--depth == 0) QApplication::restoreOverrideCursor();
}

}  // namespace nimbrel
