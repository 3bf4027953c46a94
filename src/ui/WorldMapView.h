#pragma once
// A world map window: the map picture, every station as a point when asked,
// the open stations marked; the pointer's position in the status bar and a
// double-click lists the stations around it. What it shows is a stack of
// map layers over a view that goes on round the world east and west.
#include <QImage>
#include <QList>
#include <QPoint>
#include <QTimer>
#include <QRegion>
#include <QWidget>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "base/UserPort.h"
#include "charts/MapLayer.h"
#include "charts/WeatherLayer.h"
#include "ui/ChildView.h"

class QAction;
class QPainter;

namespace nimbrel {

class Session;
class StationCard;
struct WatchToggle;

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
  // The catalogue index of the station shown with weather within `radius`
  // pixels of a view pixel (on any copy of the world), or -1: the one hit
  // test of the map's clicks, hover and card.
  int weatherStationAt(QPoint pixel, int radius = 4) const;
  // What the badge on the map says while it has no current weather ("" when
  // it has, or does not show the weather).
  std::string noticeText() const;
  // The hover tooltip's text for a view pixel ("" when no station is there).
  QString weatherTooltipAt(QPoint pixel) const;
  // The card of a catalogue station, opened beside it and the station
  // selected (a click on its point does this); null before the first.
  void openStationCard(std::size_t catalogueIndex);
  StationCard* stationCard() const { return card; }
  // The card's Watch button asks this (null: no button).
  void setWatchToggle(const WatchToggle* toggle);
  // Centres the map on a station, zoomed in to see its plot, and opens its card.
  void goToStation(const Station& station);
  // Draws the map on any target at the window's own pixel coordinates.
  void draw(QPainter& painter);
  // Draws the map scaled to fit `page` (in the painter's coordinates), with
  // a caption under it: the current weather's reports and their time.
  void drawFitted(QPainter& painter, const QRect& page);
  // The part of the window a print shows: the rows the world takes (all of
  // the window for the picture).
  QRect printedArea() const;
  // The caption printed under the map ("" when there is nothing to say).
  QString captionText() const;
  // Writes what the window shows as a picture; the file name's ending
  // chooses PNG or SVG. False, with a reason, when it could not be written.
  bool savePicture(const QString& path, QString& error);

  // The selected station (a catalogue index), drawn framed on the map.
  std::optional<std::size_t> selectedStation() const { return selected; }
  void selectStation(std::optional<std::size_t> catalogueIndex);
  // Where a card about the selected station hangs: its pixel nearest the
  // window's centre, when it is on the window.
  std::optional<QPoint> selectionAnchor() const;
  // Puts a layer over the others (under nothing the window adds later).
  MapLayer& addLayer(std::unique_ptr<MapLayer> layer);

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
  // The page's painter: the map fitted to the page with its caption.
  void print(QPainter& painter) override;
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
  // The map shows no focus: the card taking it and giving it back redraws nothing.
  void focusInEvent(QFocusEvent*) override {}
  void focusOutEvent(QFocusEvent*) override {}

 private:
  void showHoverTip();
  void zoomAboutCentre(double factor);
  void viewChanged();
  // `screen`: a paint of the window rather than a print.
  // area: the part being painted on screen (null: all of it).
  void drawOn(QPainter& painter, bool screen, const QRegion& area = {});
  // The layers under the selection (first..end) on the given painter.
  void drawLayers(QPainter& painter, bool screen, const QRegion& area, std::size_t first, std::size_t end);
  // Once the map has stood still a moment, a picture of the layers under the
  // selection: a click then redraws the card's and the frames' places from it.
  void keepPictureBelowSelection();
  // What the map shows changed: all of it is drawn again (every change but
  // the selection's goes through here, or the kept picture would show it stale).
  void redrawAll();
  MapContent content() const;

  void closeStationCard();
  // Follows the view and the reading: the card's place and texts.
  void refreshStationCard();

  Session& session;
  UserPort& port;
  StationCard* card = nullptr;
  const WatchToggle* watch = nullptr;
  std::size_t cardIndex = 0;
  bool markAll = false;
  bool weatherShown = false;
  WeatherColouring colouring = WeatherColouring::kFlightCategory;
  std::optional<std::size_t> selected;
  MapLayerStack layers;
  std::size_t selectionLayer = 0;  // the stack's index of the selection's layer
  QImage belowSelection;
  bool belowSelectionFresh = false;  // no full paint since it was drawn
  QTimer settleTimer;
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
