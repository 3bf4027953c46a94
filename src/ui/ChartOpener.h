#pragma once
// Opening a station's chart: the quick look for its newest report, then the
// past hours, both off the user-interface thread, with a progress window
// and Cancel once it takes long enough to notice. The window never waits.
// The chart's view is made only once its model loaded, and handed over.
#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

#include "base/AsyncPageFetcher.h"
#include "base/UserPort.h"
#include "catalog/Station.h"
#include "stationchart/StationChartModel.h"

class QProgressDialog;
class QWidget;

namespace nimbrel {

class Session;
class StationChartView;

class ChartOpener : public QObject {
  Q_OBJECT

 public:
  // An opening shorter than this shows no progress window.
  static constexpr int kProgressDelayMs = 500;

  // Messages and the busy cursor go to `port`; progress windows are
  // children of `dialogParent`.
  ChartOpener(Session& session, UserPort& port, QWidget* dialogParent);
  ~ChartOpener() override;

  void open(const Station& station);
  // Charts still being opened.
  int openingCount() const { return static_cast<int>(openings.size()); }
  // Gives up every chart still being opened, quietly.
  void cancelAll();

 signals:
  // A chart has its reports; a receiver takes the view by moving it out,
  // else it is dropped (so: direct connections only). Comes after any
  // message of the opening was shown.
  void chartOpened(std::unique_ptr<nimbrel::StationChartView>& view);

 private:
  struct Opening;
  bool isOpening(const Opening* op) const;
  void showProgress(Opening* op);
  void loadChart(Opening* op);
  void loaded(Opening* op, const LoadOutcome& outcome);
  void finish(Opening* op);

  Session& session;
  UserPort& port;
  QWidget* dialogParent;
  std::vector<std::unique_ptr<Opening>> openings;
  int lastId = 0;
};

}  // namespace nimbrel
