#pragma once
// The child widget of both yardstick windows: once it has painted, it says
// "first paint" (the start-up benchmark reads that line) and quits.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

class FirstPaintChild : public QWidget {
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
