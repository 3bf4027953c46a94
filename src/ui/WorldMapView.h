#pragma once
// A world map window: the map picture, every station as a point when asked,
// the open stations marked; the pointer's position in the status bar and a
// double-click lists the stations around it.
#include <QPoint>
#include <QTimer>
#include <QWidget>

#include "catalog/PixelGrid.h"
#include "charts/WeatherLayer.h"

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
  // The current-weather layer of this window, and what colours its points.
  bool showsWeather() const { return weatherShown; }
  void setShowsWeather(bool on);
  WeatherColouring weatherColouring() const { return colouring; }
  void setWeatherColouring(WeatherColouring how);
  // The weather reading changed: the points and the hover index follow.
  void weatherChanged();
  // The catalogue index of the station shown with weather within 4 pixels
  // of a view pixel, or -1.
  int weatherStationAt(QPoint pixel) const;
  // The hover tooltip's text for a view pixel ("" when no station is there).
  QString weatherTooltipAt(QPoint pixel) const;
  // Draws the map on any target; the printer gets the same pixel coordinates.
  void draw(QPainter& painter);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void showHoverTip();

  MainWindow& window;
  bool markAll = false;
  bool weatherShown = false;
  WeatherColouring colouring = WeatherColouring::kFlightCategory;
  StationPixelIndex weatherIndex;
  QTimer hoverTimer;
  QPoint hoverPixel;
  // The release that ends a double-click: its first click already acted.
  bool releaseEndsDoubleClick = false;
};

}  // namespace nimbrel
