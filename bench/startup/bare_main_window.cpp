// A second yardstick: a bare main window as every desktop program has one,
// with a menu bar, a status bar text and one child widget, quitting once the
// child has painted. Unlike the text-less window it loads the font database.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <cstdio>
namespace {
class Child : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override {
    if (painted) return;
    painted = true;
    QTimer::singleShot(0, qApp, [] {
      std::fputs("first paint\n", stdout);
      std::fflush(stdout);
      QCoreApplication::quit();
    });
  }

 private:
  bool painted = false;
};
}
int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.resize(800, 800);
  window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("E&xit"));
  window.statusBar()->showMessage(QStringLiteral("Ready"));
  auto* child = new Child;
  window.setCentralWidget(child);
  window.show();
  return QApplication::exec();
}
