#include "ui/ChartOpener.h"

#include <QProgressDialog>
#include <QTimer>
#include <algorithm>

#include "ui/QtText.h"
#include "ui/ReadingText.h"
#include "ui/Session.h"
#include "ui/StationChartView.h"

namespace nimbrel {

struct ChartOpener::Opening {
  int id = 0;
  Station station;
  std::unique_ptr<FetchTicket> ticket;
  StationChartView* view = nullptr;  // owned until it is handed over
  QPointer<QProgressDialog> progress;
};

ChartOpener::ChartOpener(Session& session, UserPort& port, QWidget* dialogParent)
    : QObject(dialogParent), session(session), port(port), dialogParent(dialogParent) {}

ChartOpener::~ChartOpener() { cancelAll(); }

void ChartOpener::open(const Station& station) {
  auto opening = std::make_unique<Opening>();
  Opening* op = opening.get();
  op->station = station;
  op->id = ++lastId;
  openings.push_back(std::move(opening));
  port.beginWaitCursor();
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
  op->view = new StationChartView(op->station, session.settings(), session.reportSource(), port,
                                  session.forecastSource());
  op->view->load([this, op](LoadOutcome outcome) {
    // The opening is over before anything is told: a message box's own
    // event loop must find no progress window and no half-made chart.
    std::unique_ptr<StationChartView> view(op->view);
    op->view = nullptr;
    const Station station = op->station;
    finish(op);
    if (!outcome.ok) view.reset();
    // Why the service gave no (or not every) report, e.g. a rate limit or an
    // unreadable answer: the no-data box alone would not say.
    if (const std::string note = readingNote(outcome.reading); !note.empty())
      port.setStatusText(station.name + ": " + note);
    for (const std::string& message : openingMessages(outcome, station)) port.showMessage(message);
    if (view) emit chartOpened(view.release());
  });
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
  delete opening->view;
  if (opening->progress) {
    opening->progress->disconnect(this);
    opening->progress->close();
  }
  port.endWaitCursor();
}

void ChartOpener::cancelAll() {
  while (!openings.empty()) finish(openings.front().get());
}

}  // namespace nimbrel
