#include "ui/StationChartView.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QMenu>
#include <QHelpEvent>
#include <QMdiSubWindow>
#include <QPainter>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <filesystem>

#include "stationchart/StationChart.h"
#include "ui/ChartBriefing.h"
#include "ui/ChartExport.h"
#include "ui/WatchToggle.h"
#include "ui/ChartReportsPane.h"
#include "ui/QtPainter.h"
#include "services/QtText.h"
#include "ui/ReadingText.h"

namespace nimbrel {

StationChartView::StationChartView(std::unique_ptr<StationChartObject> loaded, SettingsService& settingsService)
    : object(std::move(loaded)), model(object->model()), settings(settingsService.settings()) {
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  setWindowTitle(toQString(model.title()));
  reports = new ChartReportsPane(*object, settings, this);
  // The chart keeps the area left of the Reports list, when shown, and above
  // the aviation panel.
  object->setClientArea([this] {
    const QRect area = chartRect();
    return Rect{area.left(), area.top(), area.right() + 1, area.bottom() + 1 - panelSpace()};
  });
  // Each appended row asks for a paint; Qt folds them into one.
  connect(object.get(), &StationChartObject::changed, this, qOverload<>(&QWidget::update));
  connect(object.get(), &StationChartObject::stateChanged, this, [this] {
    setWindowTitle(toQString(model.title()));
    emit statusChanged();
  });
  // A change of units or zone draws the chart again from its reports.
  connect(&settingsService, &SettingsService::settingsChanged, object.get(), &StationChartObject::followSettings);
  timer = new QTimer(this);
  timer->setTimerType(Qt::VeryCoarseTimer);
  connect(timer, &QTimer::timeout, this, &StationChartView::refresh);
  timer->start(model.refreshIntervalMs());
}

StationChartView::~StationChartView() {
  if (timer != nullptr) timer->stop();
  // Destroyed without closing (the program quitting): the export is still written.
  model.close(std::filesystem::current_path());
}

void StationChartView::closeEvent(QCloseEvent* event) {
  if (timer != nullptr) timer->stop();
  const bool wasOpen = model.isLoaded();
  model.close(std::filesystem::current_path());
  if (wasOpen) emit chartClosed(model.station());
  QWidget::closeEvent(event);
}

std::string StationChartView::statusText() const {
  std::string text = model.staleNote();
  if (model.refreshProblem())
    if (const std::string note = readingNote(*model.refreshProblem()); !note.empty()) text += " " + note;
  return text.empty() ? readyText() : text;
}

void StationChartView::refresh() { model.refresh(); }

QRect StationChartView::chartRect() const { return drawingBriefing ? rect() : reports->chartArea(); }

void StationChartView::drawForBriefing(QPainter& painter) {
  drawingBriefing = true;
  draw(painter);
  drawingBriefing = false;
  // The screen's chart is laid out again, beside the list, on its next paint.
  update();
}

void StationChartView::print(QPainter& painter) {
  const QPaintDevice* device = painter.device();
  if (device != nullptr) paintBriefing(painter, QRect(0, 0, device->width(), device->height()), *this);
}

void StationChartView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  fillContextMenu(menu);
  menu.exec(event->globalPos());
}

void StationChartView::fillContextMenu(QMenu& menu) {
  fillChartMenu(menu, *this);
  if (watch == nullptr) return;
  menu.addSeparator();
  addWatchEntry(menu, watch, model.station());
}

void StationChartView::draw(QPainter& painter) {
  QtPainter onWindow(painter);
  model.placeForecast();
  paintStationChart(*model.chart, onWindow, model.dialDirection, model.dialSpeed);
  if (panelSpace() > 0) {
    model.panel.drawGusts(onWindow, *model.chart);
    model.panel.draw(onWindow, *model.chart, panelArea());
  }
}

int StationChartView::panelSpace() const { return model.showsPanel() ? AviationPanel::kHeight : 0; }

Rect StationChartView::panelArea() const {
  // Under a chart laid out at its smallest size rather than over it.
  const QRect area = chartRect();
  const int top = std::max(area.bottom() + 1 - panelSpace(), kMinChartHeight);
  return Rect{area.left(), top, area.right() + 1, top + AviationPanel::kHeight};
}

void StationChartView::fitPanel() {
  const bool shown = panelSpace() > 0;
  if (shown == panelFitted) return;
  panelFitted = shown;
  auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
  if (sub == nullptr || sub->isMaximized() || sub->isMinimized()) return;
  // Grows as far as the area has room and shrinks by what it grew, so the
  // chart above keeps its size either way.
  QTimer::singleShot(0, sub, [this, sub, shown] {
    int by = -grownForPanel;
    if (shown) {
      const QWidget* area = sub->parentWidget();
      const int room = area != nullptr ? area->height() - sub->y() - sub->height() : AviationPanel::kHeight;
      by = std::clamp(room, 0, AviationPanel::kHeight);
    }
    grownForPanel += by;
    if (by != 0) sub->resize(sub->width(), sub->height() + by);
  });
}

void StationChartView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  draw(painter);
  model.chartDrawn();
  // The strip takes its band off the bottom: the window grows by it once,
  // so the plot of the reports keeps its size.
  fitPanel();
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
    const DisplayUnits* units = unitsChosen(settings) ? &settings.units : nullptr;
    const std::string text = forecastHourText(*model.forecast(), static_cast<std::size_t>(hour), settings.timeUtc, units);
    QToolTip::showText(help->globalPos(), toQString(text), this);
    return true;
  }
  // Over the panel's bands: that report, or how that hour's forecast fared.
  if (const std::string tip = model.panelTip(help->pos().x(), help->pos().y()); !tip.empty()) {
    QToolTip::showText(help->globalPos(), toQString(tip), this);
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

}  // namespace nimbrel
