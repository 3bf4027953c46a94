#include "ui/StationChartView.h"

#include <QPainter>
#include <QTimer>
#include <filesystem>

#include "charts/StationChart.h"
#include "ui/MainWindow.h"
#include "ui/QtDrawContext.h"
#include "ui/QtText.h"

namespace nimbrel {

StationChartView::StationChartView(MainWindow& window, const Station& station)
    : window(window), model(station, window.settings(), window.reportSource(), window, this) {
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  // Each appended row asks for a paint; Qt folds them into one.
  model.onChartChanged = [this] { update(); };
  model.onStateChanged = [this] { setWindowTitle(toQString(model.title())); };
}

StationChartView::~StationChartView() {
  if (timer != nullptr) timer->stop();
  if (!model.isLoaded()) return;
  model.close(std::filesystem::current_path());
  window.stationChartClosed(model.station());
}

void StationChartView::load(std::function<void(bool)> finished) {
  model.load([this, finished = std::move(finished)](bool ok) {
    if (ok) {
      timer = new QTimer(this);
      timer->setTimerType(Qt::VeryCoarseTimer);
      connect(timer, &QTimer::timeout, this, &StationChartView::refresh);
      timer->start(model.refreshIntervalMs());
    }
    if (finished) finished(ok);
  });
}

void StationChartView::refresh() { model.refresh(); }

void StationChartView::draw(QPainter& painter) {
  QtDrawContext dc(painter);
  paintStationChart(*model.chart, dc, model.dialDirection, model.dialSpeed);
}

void StationChartView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  draw(painter);
}

Rect StationChartView::getClientRect() const { return Rect{0, 0, width(), height()}; }

}  // namespace nimbrel
