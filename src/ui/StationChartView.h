#pragma once
// A station chart window: the chart of the station's recent reports, with
// the newest report's texts and the wind dial, refreshed on a timer.
#include <QWidget>
#include <functional>
#include <memory>

#include "catalog/Station.h"
#include "charts/Chart.h"
#include "stationchart/StationChartModel.h"
#include "ui/ChildView.h"

class QPainter;
class QTimer;

namespace nimbrel {

class StationChartView : public QWidget, public ChartOwner, public ChildView {
  Q_OBJECT

 public:
  // The settings are read at every step; messages and the clock come from `port`.
  StationChartView(const Station& station, const Settings& settings, ObservationSource& source, UserPort& port,
                   TafSource* forecastSource = nullptr);
  ~StationChartView() override;

  // Asks for the past hours; finished once they are read, with what to tell
  // the user. The refresh timer starts then.
  void load(std::function<void(LoadOutcome)> finished);
  // One tick of the refresh timer: never waits for the network.
  void refresh();
  void draw(QPainter& painter);

  Chart* chart() const { return model.chart.get(); }
  StationChartModel& chartModel() { return model; }
  QTimer* refreshTimer() const { return timer; }

  // ChartOwner: the chart fits the client area.
  Rect clientRect() const override;

  // ChildView
  bool offers(Command) const override { return true; }
  void print(QPainter& painter) override { draw(painter); }
  Chart* parametersChart() const override { return chart(); }
  std::string statusText() const override;
  void settingsChanged() override;

 signals:
  // The title or the staleness changed: the status bar follows when in front.
  void statusChanged();
  // The window closed after its export; the station is no longer open.
  void chartClosed(const nimbrel::Station& station);

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Over the forecast strip: that hour's decoded conditions.
  bool event(QEvent* event) override;
  // The export is written, and a failure told, while the window still stands.
  void closeEvent(QCloseEvent* event) override;

 private:
  StationChartModel model;
  const Settings& settings;
  QTimer* timer = nullptr;
  bool grownForForecast = false;
};

}  // namespace nimbrel
