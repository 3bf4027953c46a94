#include "ui/ChartOpener.h"

#include <QProgressDialog>
#include <QTimer>
#include <algorithm>
#include <optional>

#include "services/QtText.h"
#include "services/Session.h"
#include "services/StationChartObject.h"
#include "ui/ReadingText.h"
#include "ui/StationChartView.h"

namespace nimbrel {

struct ChartOpener::Opening {
  int id = 0;
  Station station;
  std::unique_ptr<FetchTicket> ticket;
  // The quick look's busy cursor; the chart's loading shows its own.
  std::optional<BusyScope> lookingBusy;
  std::unique_ptr<StationChartObject> chart;
  QPointer<QProgressDialog> progress;
};

ChartOpener::ChartOpener(Session& session, UserPort& port, QWidget* dialogParent)
    : QObject(dialogParent), session(session), port(port), dialogParent(dialogParent) {
  setObjectName(QStringLiteral("chartOpener"));
}

ChartOpener::~ChartOpener() { cancelAll(); }

void ChartOpener::open(const Station& station) {
  auto opening = std::make_unique<Opening>();
  Opening* op = opening.get();
  op->station = station;
  op->id = ++lastId;
  openings.push_back(std::move(opening));
  QTimer::singleShot(kProgressDelayMs, this, [this, op, id = op->id] {
    if (isOpening(op) && op->id == id) showProgress(op);
  });

  // A quick look for the newest report first: no window for a station
  // that has none.
  ObservationSource& source = session.reportSource();
  if (!source.checksBeforeOpening()) {
    loadChart(op);
    return;
  }
  op->lookingBusy.emplace(port);
  op->ticket = source.requestNewest(station, true, [this, op](PageReading reading) {
    op->ticket.reset();
    if (reading.cancelled()) return;
    if (!reading.ok()) {
      const std::string message = readingMessage(reading, op->station);
      finish(op);
      if (!message.empty()) port.showMessage(message);
      return;
    }
    loadChart(op);
  });
}

void ChartOpener::showProgress(Opening* op) {
  // A small window that names the station and offers Cancel.
  auto* progress = new QProgressDialog(dialogParent);
  progress->setAttribute(Qt::WA_DeleteOnClose);
  progress->setWindowTitle(QStringLiteral("Nimbrel"));
  progress->setLabelText(tr("Loading the reports of %1 ...").arg(toQString(op->station.name)));
  progress->setCancelButtonText(tr("Cancel"));
  progress->setRange(0, 0);
  progress->setMinimumDuration(0);
  // The chart is what loads, not the program: the map and every other
  // window go on taking input.
  progress->setWindowModality(Qt::NonModal);
  connect(progress, &QProgressDialog::canceled, this, [this, op] { finish(op); });
  op->progress = progress;
  progress->show();
}

void ChartOpener::loadChart(Opening* op) {
  op->chart = std::make_unique<StationChartObject>(op->station, session.settings(), session.reportSource(), port,
                                                   session.forecastSource());
  op->chart->setDescription([station = op->station](const PageReading& reading) {
    const std::string note = readingNote(reading);
    return note.empty() ? readingMessage(reading, station) : note;
  });
  connect(op->chart.get(), &StationChartObject::loaded, this,
          [this, op](const LoadOutcome& outcome) { loaded(op, outcome); });
  // The loading's own busy cursor takes over from the quick look's.
  op->lookingBusy.reset();
  op->chart->load();
}

void ChartOpener::loaded(Opening* op, const LoadOutcome& outcome) {
  // The opening is over before anything is told: a message box's own event
  // loop must find no progress window and no half-made chart.
  std::unique_ptr<StationChartObject> chart = std::move(op->chart);
  const Station station = op->station;
  finish(op);
  // Why the service gave no (or not every) report, e.g. a rate limit or an
  // unreadable answer: the no-data box alone would not say.
  if (const std::string note = readingNote(outcome.reading); !note.empty())
    port.setStatusText(station.name + ": " + note);
  for (const std::string& message : openingMessages(outcome, station)) port.showMessage(message);
  if (!outcome.ok) {
    // Still inside its own signal: dropped once that returned.
    chart.release()->deleteLater();
    return;
  }
  std::unique_ptr<StationChartView> view = std::make_unique<StationChartView>(std::move(chart), session.settingsService());
  emit chartOpened(view);
  // Not taken (the main window closing): dropped once the chart's signal returned.
  if (view) view.release()->deleteLater();
}

bool ChartOpener::isOpening(const Opening* op) const {
  return std::any_of(openings.begin(), openings.end(), [op](const auto& o) { return o.get() == op; });
}

void ChartOpener::finish(Opening* op) {
  const auto found = std::find_if(openings.begin(), openings.end(), [op](const auto& o) { return o.get() == op; });
  if (found == openings.end()) return;
  std::unique_ptr<Opening> opening = std::move(*found);
  openings.erase(found);
  // Cancelled: the downloads are dropped and nothing is told.
  opening->ticket.reset();
  if (opening->progress) {
    opening->progress->disconnect(this);
    opening->progress->close();
  }
}

void ChartOpener::cancelAll() {
  while (!openings.empty()) finish(openings.front().get());
}

}  // namespace nimbrel
