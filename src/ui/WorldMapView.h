#pragma once
// A world map window: the map picture, every station as a point when asked,
// the open stations marked; the pointer's position in the status bar and a
// double-click lists the stations around it.
#include <QList>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

#include "map/StationPixelIndex.h"
#include "base/UserPort.h"
#include "charts/WeatherLayer.h"
#include "ui/ChildView.h"

class QAction;
class QPainter;

namespace nimbrel {

class Session;
class StationCard;

class WorldMapView : public QWidget, public ChildView {
  Q_OBJECT

 public:
  // Reads the catalogue, the open stations, the settings and the weather
  // feed of `session`; the busy cursor and the status line go to `port`.
  WorldMapView(Session& session, UserPort& port);
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
  // What the badge on the map says while it has no current weather ("" when
  // it has, or does not show the weather).
  std::string noticeText() const;
  // The hover tooltip's text for a view pixel ("" when no station is there).
  QString weatherTooltipAt(QPoint pixel) const;
  // The card of a catalogue station, opened beside it (a click on its point
  // does this); null before the first.
  void openStationCard(std::size_t catalogueIndex);
  StationCard* stationCard() const { return card; }
  // Centres the map on a station, zoomed in to see its plot, and opens its card.
  void goToStation(const Station& station);
  // Draws the map on any target; the printer gets the same pixel coordinates.
  void draw(QPainter& painter);

  // What the window shows; the wheel, dragging, the arrow keys and the zoom
  // commands change it.
  const MapViewport& viewport() const { return view; }
  // Shows this view (its size stays the window's).
  void setViewport(const MapViewport& shown);
  void zoomIn() { zoomAboutCentre(2.0); }
  void zoomOut() { zoomAboutCentre(0.5); }
  void showWholeWorld();
  // Bytes the vector map data read so far takes.
  static std::size_t mapDataBytes();

  // ChildView
  bool offers(Command) const override { return true; }
  void print(QPainter& painter) override { draw(painter); }
  std::string statusText() const override;

 signals:
  // A double-click on a station's weather point, or its card's Chart button.
  void stationActivated(const nimbrel::Station& station);
  // A double-click away from any weather point: the stations around that
  // place (none: off the map).
  void nearestRequested(const std::optional<nimbrel::MapPoint>& point);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void showHoverTip();
  void zoomAboutCentre(double factor);
  void viewChanged();
  void drawVectorMap(QPainter& painter);
  // `screen`: a paint of the window rather than a print.
  void drawOn(QPainter& painter, bool screen);

  void closeStationCard();
  // Follows the view and the reading: the card's place and texts.
  void refreshStationCard();

  Session& session;
  UserPort& port;
  StationCard* card = nullptr;
  std::size_t cardIndex = 0;
  bool markAll = false;
  bool weatherShown = false;
  WeatherColouring colouring = WeatherColouring::kFlightCategory;
  // Built for the current view on the first look-up after a change.
  mutable StationPixelIndex weatherIndex;
  mutable bool weatherIndexStale = true;
  QTimer hoverTimer;
  QPoint hoverPixel;
  // The release that ends a double-click: its first click already acted.
  bool releaseEndsDoubleClick = false;
  MapViewport view;
  // A left-button press that may become a drag; once it moved it is one.
  QPoint pressPixel;
  QPoint dragLast;
  bool pressed = false;
  bool dragging = false;
};

}  // namespace nimbrel
