#include "ui/StationChartView.h"

#include <QHelpEvent>
#include <QMdiSubWindow>
#include <QPainter>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <filesystem>

#include "charts/StationChart.h"
#include "ui/MainWindow.h"
#include "ui/QtDrawContext.h"
#include "ui/QtText.h"

namespace nimbrel {

StationChartView::StationChartView(MainWindow& window, const Station& station)
    : window(window), model(station, window.settings(), window.reportSource(), window, this, window.forecastSource()) {
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  // Each appended row asks for a paint; Qt folds them into one.
  model.onChartChanged = [this] { update(); };
  model.onStateChanged = [this] {
    setWindowTitle(toQString(model.title()));
    // Stale or fresh again: the status bar follows when this chart is in front.
    if (this->window.activeView() == this) this->window.showActiveStatus();
  };
}

StationChartView::~StationChartView() {
  if (timer != nullptr) timer->stop();
  if (!model.isLoaded()) return;
  model.close(std::filesystem::current_path());
  window.stationChartClosed(model.station());
}

void StationChartView::load(std::function<void(LoadOutcome)> finished) {
  model.load([this, finished = std::move(finished)](LoadOutcome outcome) {
    if (outcome.ok) {
      timer = new QTimer(this);
      timer->setTimerType(Qt::VeryCoarseTimer);
      connect(timer, &QTimer::timeout, this, &StationChartView::refresh);
      timer->start(model.refreshIntervalMs());
    }
    if (finished) finished(std::move(outcome));
  });
}

void StationChartView::refresh() { model.refresh(); }

void StationChartView::draw(QPainter& painter) {
  QtDrawContext dc(painter);
  model.placeForecast();
  paintStationChart(*model.chart, dc, model.dialDirection, model.dialSpeed);
}

void StationChartView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  draw(painter);
  model.chartDrawn();
  // The strip takes its band off the bottom: the window grows by it once,
  // so the plot of the reports keeps its size.
  const int extra = model.chart->forecastSpace;
  if (extra > 0 && !grownForForecast) {
    grownForForecast = true;
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (sub != nullptr && !sub->isMaximized() && !sub->isMinimized()) {
      // Never past the area's bottom: the window then keeps its height.
      QTimer::singleShot(0, sub, [sub, extra] {
        const QWidget* area = sub->parentWidget();
        const int room = area != nullptr ? area->height() - sub->y() - sub->height() : extra;
        if (room > 0) sub->resize(sub->width(), sub->height() + std::min(extra, room));
      });
    }
  }
}

bool StationChartView::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  auto* help = static_cast<QHelpEvent*>(event);
  const int hour = model.chart->forecastHourAt(help->pos().x(), help->pos().y());
  if (hour >= 0 && model.forecast()) {
    const Settings& settings = window.settings();
    const DisplayUnits* units = unitsChosen(settings) ? &settings.units : nullptr;
    QToolTip::showText(help->globalPos(),
                       toQString(forecastHourText(*model.forecast(), static_cast<std::size_t>(hour), units)), this);
    return true;
  }
  // A detail text drawn cut: the whole of it, wrapped to a readable width.
  const std::string whole = model.chart->detailTipAt(help->pos().x(), help->pos().y());
  if (!whole.empty()) {
    QToolTip::showText(help->globalPos(), Qt::convertFromPlainText(toQString(whole), Qt::WhiteSpaceNormal), this);
    return true;
  }
  QToolTip::hideText();
  event->ignore();
  return true;
}

Rect StationChartView::getClientRect() const { return Rect{0, 0, width(), height()}; }

}  // namespace nimbrel
