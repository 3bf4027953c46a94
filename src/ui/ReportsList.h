#pragma once
// The Reports list of a chart window: every METAR and TAF of the chart's
// period, newest first, as sent (a long TAF wraps, never cut), each with
// its decoding as tooltip; Ctrl+C copies the selected reports.
#include <QTableWidget>
#include <vector>

#include "stationchart/ReportRows.h"

namespace nimbrel {

class ReportsList : public QTableWidget {
  Q_OBJECT

 public:
  explicit ReportsList(QWidget* parent = nullptr);

  // Shows these rows; the reports selected before stay selected.
  void showRows(const std::vector<ReportRow>& rows);
  // The selected reports as sent, one a line, in the list's order.
  QString selectedReports() const;
  void copySelected() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // Ctrl+C copies every selected report, not the current cell alone.
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace nimbrel
