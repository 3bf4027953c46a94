#pragma once
// A station chart window: the chart of the station's recent reports, with
// the newest report's texts and the wind dial, refreshed on a timer.
#include <QWidget>
#include <memory>

#include "catalog/Station.h"
#include "charts/Chart.h"
#include "services/SettingsService.h"
#include "services/StationChartObject.h"
#include "stationchart/StationChartModel.h"
#include "ui/ChildView.h"

class QMenu;
class QPainter;
class QTimer;

namespace nimbrel {

class ChartReportsPane;
struct WatchToggle;

class StationChartView : public QWidget, public ChildView {
  Q_OBJECT

 public:
  // Shows a chart that has loaded, from then on following its signals and
  // the settings' changes; the refresh timer starts here.
  StationChartView(std::unique_ptr<StationChartObject> loaded, SettingsService& settings);
  ~StationChartView() override;

  // One tick of the refresh timer: never waits for the network.
  void refresh();
  void draw(QPainter& painter);

  Chart* chart() const { return model.chart.get(); }
  StationChartModel& chartModel() { return model; }
  QTimer* refreshTimer() const { return timer; }
  const Settings& chartSettings() const { return settings; }
  // The Reports list beside the chart, hidden until asked for.
  ChartReportsPane* reportsPane() const { return reports; }
  // The context menu's "Watch" entry asks this (null: no entry).
  void setWatchToggle(const WatchToggle* toggle) { watch = toggle; }
  // The context menu: the chart's commands, then Watch or Stop Watching.
  void fillContextMenu(QMenu& menu);
  // The size draw() paints: the window less the Reports list.
  QSize drawnSize() const { return chartRect().size(); }
  // The briefing's picture: the chart and panel laid out over the whole
  // window, as if the Reports list were not beside them.
  QSize briefingSize() const { return size(); }
  void drawForBriefing(QPainter& painter);

  // ChildView
  bool offers(Command) const override { return true; }
  // The one-page briefing, fitted to the printer's page.
  void print(QPainter& painter) override;
  Chart* parametersChart() const override { return chart(); }
  std::string statusText() const override;

 signals:
  // The title or the staleness changed: the status bar follows when in front.
  void statusChanged();
  // The window closed after its export; the station is no longer open.
  void chartClosed(const nimbrel::Station& station);

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Over the forecast strip: that hour's decoded conditions; over the
  // panel's bands: that report or that hour's verdict.
  bool event(QEvent* event) override;
  // The export is written, and a failure told, while the window still stands.
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  std::unique_ptr<StationChartObject> object;
  StationChartModel& model;
  const Settings& settings;
  QTimer* timer = nullptr;
  ChartReportsPane* reports = nullptr;
  const WatchToggle* watch = nullptr;
  bool grownForForecast = false;
  // The aviation panel's place under the chart, and what the window grew by
  // for it (taken back when the panel is switched off).
  int panelSpace() const;
  // Where the chart and panel go: left of the Reports list, or the whole
  // window while the briefing is drawn.
  QRect chartRect() const;
  bool drawingBriefing = false;
  Rect panelArea() const;
  void fitPanel();
  bool panelFitted = false;  // the window was fitted to the panel shown
  int grownForPanel = 0;
};

}  // namespace nimbrel
