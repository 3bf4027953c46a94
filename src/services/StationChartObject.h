#pragma once
// A station chart's model as an object with signals: it loads the past
// hours, then tells who shows it that it loaded, that its chart changed
// (a new report, a change of settings) or that its state changed (the
// title: stale, offline). The window that shows it is made once it loaded.
#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "charts/Chart.h"
#include "stationchart/StationChartModel.h"

namespace nimbrel {

class StationChartObject : public QObject, public ChartOwner {
  Q_OBJECT

 public:
  // The settings are the program's, read at every step; messages and the
  // clock come from `port`.
  StationChartObject(const Station& station, const Settings& settings, ObservationSource& source, UserPort& port,
                     TafSource* forecastSource = nullptr, QObject* parent = nullptr);
  ~StationChartObject() override;

  // Asks for the past hours; `loaded` follows once, unless the object is
  // destroyed first (the download is then dropped).
  void load();
  // One tick of the refresh: never waits for the network.
  void refresh() { chartModel.refresh(); }
  // Draws the chart again when the settings it was drawn with changed.
  void followSettings();
  // The words for how a request ended, for the status bar's notes.
  void setDescription(std::function<std::string(const PageReading&)> describe);

  StationChartModel& model() { return chartModel; }
  const StationChartModel& model() const { return chartModel; }
  const Station& station() const { return chartModel.station(); }

  // The chart fits the area the view gives it; none before there is a view.
  void setClientArea(std::function<Rect()> area) { clientArea = std::move(area); }
  Rect clientRect() const override { return clientArea ? clientArea() : Rect{}; }

 signals:
  void loaded(const nimbrel::LoadOutcome& outcome);
  // The chart should be painted again.
  void changed();
  // The title or the staleness changed.
  void stateChanged();

 private:
  std::function<Rect()> clientArea;
  StationChartModel chartModel;
};

}  // namespace nimbrel
