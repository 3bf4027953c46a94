#include "ui/MapActions.h"

#include <QAction>
#include <QFileDialog>
#include <QMessageBox>

#include "ui/Icons.h"
#include "ui/WorldMapView.h"

namespace nimbrel {

MapActions::MapActions(QObject* owner, std::function<WorldMapView*()> activeMap)
    : QObject(owner), activeMap(std::move(activeMap)) {
  auto make = [this](const char* name, const QString& text, const QString& statusTip, const QString& toolTip) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setStatusTip(statusTip);
    if (!toolTip.isEmpty()) action->setToolTip(toolTip);
    return action;
  };
  // Each command acts on the map in front, then says so.
  auto onMap = [this](QAction* action, std::function<void(WorldMapView&, bool)> act) {
    connect(action, &QAction::triggered, this, [this, act](bool on) {
      if (WorldMapView* map = this->activeMap()) act(*map, on);
      emit changed();
    });
  };
  markAllStations = make("markAllStationsAction", tr("Mark all stations"), tr("Mark all stations"),
                         tr("Mark all stations"));
  markAllStations->setIcon(toolbarIcon(ToolbarImage::kMarkAllStations));
  markAllStations->setCheckable(true);
  onMap(markAllStations, [](WorldMapView& map, bool) { map.setMarkAllStations(!map.marksAllStations()); });
  currentWeather = make("currentWeatherAction", tr("Current weather"), tr("Show the current weather of every station"),
                        tr("Current weather"));
  currentWeather->setCheckable(true);
  currentWeather->setIcon(toolbarIcon(ToolbarImage::kCurrentWeather));
  onMap(currentWeather, [](WorldMapView& map, bool on) { map.setShowsWeather(on); });
  temperatureColouring = make("temperatureColouringAction", tr("Colour by temperature"),
                              tr("Colour the current weather by temperature instead of flight category"), {});
  temperatureColouring->setCheckable(true);
  onMap(temperatureColouring, [](WorldMapView& map, bool on) {
    map.setWeatherColouring(on ? WeatherColouring::kTemperature : WeatherColouring::kFlightCategory);
  });

  savePicture = make("saveMapPictureAction", tr("Save Map &Picture..."),
                     tr("Save what the map shows as a PNG or SVG picture"), {});
  onMap(savePicture, [](WorldMapView& map, bool) { saveMapPicture(map); });

  auto zoomStep = [&](const QString& text, const QString& tip, QList<QKeySequence> keys, void (WorldMapView::*act)()) {
    QAction* action = make("", text, tip, {});
    action->setShortcuts(keys);
    onMap(action, [act](WorldMapView& map, bool) { (map.*act)(); });
    zoom.append(action);
  };
  zoomStep(tr("Zoom &In"), tr("Zoom in on the centre of the map"),
           {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}, &WorldMapView::zoomIn);
  zoomStep(tr("Zoom &Out"), tr("Zoom out from the centre of the map"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)},
           &WorldMapView::zoomOut);
  zoomStep(tr("&Whole World"), tr("Show the whole world"), {QKeySequence(Qt::CTRL | Qt::Key_0)},
           &WorldMapView::showWholeWorld);
}

void saveMapPicture(WorldMapView& map) {
  QFileDialog dialog(map.window(), QObject::tr("Save Map Picture"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  const QString png = QObject::tr("PNG picture (*.png)"), svg = QObject::tr("SVG drawing (*.svg)");
  dialog.setNameFilters({png, svg});
  dialog.setDefaultSuffix(QStringLiteral("png"));
  dialog.selectFile(QStringLiteral("world-map.png"));
  // The ending follows the chosen type unless the name gives one.
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, svg](const QString& filter) {
    dialog.setDefaultSuffix(filter == svg ? QStringLiteral("svg") : QStringLiteral("png"));
  });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString path = dialog.selectedFiles().constFirst();
  QString error;
  if (!map.savePicture(path, error))
    QMessageBox::warning(map.window(), QObject::tr("Save Map Picture"),
                         QObject::tr("Could not save %1: %2").arg(path, error));
}

void MapActions::update(WorldMapView* map, bool live) {
  savePicture->setEnabled(map != nullptr);
  markAllStations->setEnabled(map != nullptr);
  markAllStations->setChecked(map != nullptr && map->marksAllStations());
  currentWeather->setEnabled(map != nullptr && live);
  currentWeather->setChecked(map != nullptr && map->showsWeather());
  currentWeather->setToolTip(live ? tr("Current weather")
                                  : tr("Current weather needs the live METAR source (Parameters, Report source)"));
  temperatureColouring->setEnabled(map != nullptr && map->showsWeather());
  temperatureColouring->setChecked(map != nullptr && map->weatherColouring() == WeatherColouring::kTemperature);
}

}  // namespace nimbrel
