// The yardstick for start-up: a main window with one child widget that
// quits as soon as that child has painted.
#include <QApplication>
#include <QEvent>
#include <QMainWindow>
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

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.resize(800, 800);
  auto* child = new Child;
  child->resize(550, 350);
  window.setCentralWidget(child);
  window.show();
  return QApplication::exec();
}
