#pragma once
// A world map window: the map picture, every station as a point when asked,
// the open stations marked; the pointer's position in the status bar and a
// double-click lists the stations around it.
#include <QWidget>

class QPainter;

namespace nimbrel {

class MainWindow;

class WorldMapView : public QWidget {
  Q_OBJECT

 public:
  explicit WorldMapView(MainWindow& window);
  ~WorldMapView() override;

  bool marksAllStations() const { return markAll; }
  void setMarkAllStations(bool on);
  // Draws the map on any target; the printer gets the same pixel coordinates.
  void draw(QPainter& painter);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  MainWindow& window;
  bool markAll = false;
};

}  // namespace nimbrel
