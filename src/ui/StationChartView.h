#pragma once
// A station chart window: the chart of the station's recent reports, with
// the newest report's texts and the wind dial, refreshed on a timer.
#include <QWidget>
#include <functional>
#include <memory>

#include "catalog/Station.h"
#include "charts/Chart.h"
#include "stationchart/StationChartModel.h"

class QPainter;
class QTimer;

namespace nimbrel {

class MainWindow;

class StationChartView : public QWidget, public ChartOwner {
  Q_OBJECT

 public:
  StationChartView(MainWindow& window, const Station& station);
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

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Over the forecast strip: that hour's decoded conditions.
  bool event(QEvent* event) override;

 private:
  MainWindow& window;
  StationChartModel model;
  QTimer* timer = nullptr;
  bool grownForForecast = false;
};

}  // namespace nimbrel
