#pragma once
// The Reports list beside a chart window's chart: a splitter over the
// window, shown only with the list, whose first pane is left clear so the
// chart the window paints shows through it and gets its mouse. The list's
// reports are the chart's, its forecasts those the store kept of the
// period (read on a worker) with the current one.
#include <QSplitter>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/AsyncPageFetcher.h"
#include "base/Settings.h"
#include "observations/TafSource.h"

namespace nimbrel {

class ReportsList;
class StationChartObject;

class ChartReportsPane : public QSplitter {
  Q_OBJECT

 public:
  ChartReportsPane(StationChartObject& object, const Settings& settings, QWidget* view);

  // Shows or hides the list; the window grows by it (shrinks back) where
  // the area has room, so the chart keeps its size.
  void showList(bool on);
  bool isListShown() const { return shown; }
  // Where the chart is drawn in the window.
  QRect chartArea() const;
  ReportsList* list() const { return reports; }
  // A forecast read of the store is under way.
  bool isReading() const { return reading != nullptr; }

 protected:
  // Covers the window as it is resized.
  bool eventFilter(QObject* watched, QEvent* event) override;

 signals:
  void listShownChanged(bool shown);

 private:
  // The rows again from the chart's reports and the forecasts known.
  void showRows();
  // Asks the store for the period's forecasts when the period or the
  // newest forecast moved since it last asked.
  void readForecasts();

  StationChartObject& object;
  const Settings& settings;
  QWidget* clear = nullptr;
  ReportsList* reports = nullptr;
  bool shown = false;
  int grownBy = 0;  // how much wider the window became for the list
  std::unique_ptr<FetchTicket> reading;
  std::vector<TafForecast> stored;
  // What the last read was for: the period's start and the newest forecast's issue.
  std::int64_t readFrom = -1;
  std::int64_t readIssued = -1;
};

}  // namespace nimbrel
