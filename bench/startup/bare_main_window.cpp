// A second yardstick: a bare main window as every desktop program has one,
// with a menu bar, a status bar text and one child widget, quitting once the
// child has painted. Unlike the text-less window it loads the font database.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>

#include "FirstPaintChild.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.resize(800, 800);
  window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("E&xit"));
  window.statusBar()->showMessage(QStringLiteral("Ready"));
  auto* child = new FirstPaintChild;
  window.setCentralWidget(child);
  window.show();
  return QApplication::exec();
}
