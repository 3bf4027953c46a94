// The yardstick for start-up: a main window with one child widget that
// quits as soon as that child has painted. It paints no text.
#include <QApplication>
#include <QMainWindow>

#include "FirstPaintChild.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.resize(800, 800);
  auto* child = new FirstPaintChild;
  child->resize(550, 350);
  window.setCentralWidget(child);
  window.show();
  return QApplication::exec();
}
