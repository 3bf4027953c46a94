#pragma once
// A chart window's File commands beyond printing: Export Chart Data... (CSV
// of the range shown or of the station's whole stored history) and Save as
// PDF... (the one-page briefing), with the Reports list's switch; shared by
// the main window's menus and the chart's context menu.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "base/AsyncPageFetcher.h"
#include "observations/Observation.h"

class QAction;
class QMenu;

namespace nimbrel {

class StationChartView;

// Writes one chart's data file; a whole history is read from the store on
// a worker first. Owned by the chart's window: gone with it, nothing comes.
class ChartDataExporter : public QObject {
  Q_OBJECT

 public:
  explicit ChartDataExporter(StationChartView& view);
  ~ChartDataExporter() override;

  // finished follows once, later for a whole history.
  void start(const QString& path, bool wholeHistory);
  bool isBusy() const { return reading != nullptr; }

 signals:
  // message: what was written, or why nothing was.
  void finished(bool ok, const QString& message);

 private:
  void write(const QString& path, const ObservationList& reports);
  void endWait();

  StationChartView& view;
  std::unique_ptr<FetchTicket> reading;
  bool waiting = false;
};

// Asks for a file and which reports, then writes them; a failure is shown.
void exportChartData(StationChartView& view);
// Asks for a file and writes the briefing there as PDF; a failure is shown.
void saveChartPdf(StationChartView& view);

class ChartActions : public QObject {
  Q_OBJECT

 public:
  ChartActions(QObject* owner, std::function<StationChartView*()> activeChart);
  // Follows the chart in front (null: none).
  void update(StationChartView* chart);

  // File > "Export Chart Data..." and "Save as PDF...".
  QAction* exportData = nullptr;
  QAction* savePdf = nullptr;
  // View > "Reports": the list beside the chart.
  QAction* showReports = nullptr;

 private:
  std::function<StationChartView*()> activeChart;
};

// The chart window's context menu: Reports, Export Chart Data..., Save as
// PDF..., Print....
void fillChartMenu(QMenu& menu, StationChartView& view);

}  // namespace nimbrel
