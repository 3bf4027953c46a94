#include "ui/ChartReportsPane.h"

#include <QEvent>
#include <QMdiSubWindow>
#include <algorithm>
#include <limits>

#include "services/StationChartObject.h"
#include "stationchart/ReportRows.h"
#include "ui/ReportsList.h"

namespace nimbrel {
namespace {

// The most hours a TAF runs: one issued that far before the period may
// still be in force at its start.
constexpr std::int64_t kLongestTafSeconds = 30 * 3600;
constexpr std::int64_t kFarFuture = std::numeric_limits<std::int64_t>::max() / 4;

std::int64_t issuedAt(const TafForecast& forecast) { return forecast.issued.epochMinutes() * 60; }

}  // namespace

ChartReportsPane::ChartReportsPane(StationChartObject& chartObject, const Settings& settings, QWidget* view)
    : QSplitter(Qt::Horizontal, view), object(chartObject), settings(settings) {
  setObjectName(QStringLiteral("chartReportsPane"));
  setChildrenCollapsible(false);
  // Moves over the chart's pane reach the window behind it.
  setMouseTracking(true);
  clear = new QWidget(this);
  clear->setAttribute(Qt::WA_TransparentForMouseEvents);
  clear->setMinimumWidth(100);
  reports = new ReportsList(this);
  reports->setMinimumWidth(120);
  addWidget(clear);
  addWidget(reports);
  setStretchFactor(0, 1);
  setStretchFactor(1, 0);
  hide();
  if (view != nullptr) view->installEventFilter(this);
  connect(&object, &StationChartObject::changed, this, [this] {
    if (!shown) return;
    showRows();
    readForecasts();
  });
}

bool ChartReportsPane::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
  return QSplitter::eventFilter(watched, event);
}

QRect ChartReportsPane::chartArea() const {
  const QWidget* view = parentWidget();
  if (!shown || view == nullptr) return view != nullptr ? view->rect() : QRect();
  return QRect(QPoint(0, 0), clear->size());
}

void ChartReportsPane::showList(bool on) {
  if (on == shown) return;
  QWidget* view = parentWidget();
  auto* sub = view != nullptr ? qobject_cast<QMdiSubWindow*>(view->parentWidget()) : nullptr;
  const bool resizable = sub != nullptr && !sub->isMaximized() && !sub->isMinimized();
  if (on) {
    const int chartWidth = view != nullptr ? view->width() : 600;
    const int listWidth = std::max(320, chartWidth * 3 / 5);
    // The list and the splitter's handle.
    const int wanted = listWidth + handleWidth();
    int room = wanted;
    if (resizable && sub->parentWidget() != nullptr)
      room = std::clamp(sub->parentWidget()->width() - sub->x() - sub->width(), 0, wanted);
    grownBy = resizable ? room : 0;
    if (grownBy > 0) sub->resize(sub->width() + grownBy, sub->height());
    shown = true;
    if (view != nullptr) setGeometry(view->rect());
    show();
    const int total = width();
    setSizes({std::max(clear->minimumWidth(), total - handleWidth() - listWidth), listWidth});
    showRows();
    readForecasts();
  } else {
    shown = false;
    hide();
    reading.reset();
    // Back to the width it had, unless the user resized it meanwhile.
    if (resizable && grownBy > 0) sub->resize(std::max(sub->minimumWidth(), sub->width() - grownBy), sub->height());
    grownBy = 0;
  }
  if (view != nullptr) view->update();
  emit listShownChanged(shown);
}

void ChartReportsPane::showRows() {
  const StationChartModel& model = object.model();
  std::vector<TafForecast> forecasts = stored;
  if (model.forecast()) forecasts.push_back(*model.forecast());
  const std::int64_t from = model.observations.empty() ? 0 : model.observations.back().observedAt;
  const DisplayUnits* units = unitsChosen(settings) ? &settings.units : nullptr;
  reports->showRows(
      reportRows(model.observations, forecastsOfPeriod(std::move(forecasts), from, kFarFuture), units, settings.timeUtc));
}

void ChartReportsPane::readForecasts() {
  const StationChartModel& model = object.model();
  TafSource* source = model.forecastSupplier();
  if (source == nullptr || reading || model.observations.empty()) return;
  const std::int64_t from = model.observations.back().observedAt;
  const std::int64_t issued = model.forecast() ? issuedAt(*model.forecast()) : 0;
  if (from == readFrom && issued == readIssued) return;
  readFrom = from;
  readIssued = issued;
  reading = source->requestStored(model.station(), from - kLongestTafSeconds, kFarFuture,
                                  [this](std::vector<TafForecast> forecasts) {
                                    reading.reset();
                                    stored = std::move(forecasts);
                                    if (shown) showRows();
                                  });
}

}  // namespace nimbrel
