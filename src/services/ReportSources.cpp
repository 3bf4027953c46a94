#include "services/ReportSources.h"

#include <algorithm>
#include <climits>

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>
#include <algorithm>
#include <climits>

#include "observations/ApiJson.h"
#include "observations/CurlPageFetcher.h"
#include "reportstore/ReportStore.h"
#include "services/ReportStoreSettings.h"
#include "services/ThreadedPageFetcher.h"
#include "services/WeatherFeed.h"

namespace nimbrel {
namespace {

// A station's answer arrives in a second; one still trickling after this
// is given up.
constexpr long kApiTotalTimeoutMs = 30000;

// The kinds of download, each in a lane of its own: a stalled server or a
// slow kind never holds up another's workers.
enum class Lane { kReportPages, kMetar, kTaf, kWeather };

// The services' downloads on worker threads. The report pages' service is
// asked as a browser would; the METAR service wants to know who asks, is
// reached over TLS, and answers one station in a few KB, so its answers are
// capped and a trickling one given up soon. A fetcher given by a test
// serves every lane.
std::unique_ptr<AsyncPageFetcher> makeLane(const std::shared_ptr<PageFetcher>& given, Lane lane) {
  const int threads = lane == Lane::kWeather ? 1 : lane == Lane::kTaf ? 2 : 4;
  if (given) return std::make_unique<ThreadedPageFetcher>(given, threads);
  auto curl = std::make_shared<CurlPageFetcher>();
  if (lane != Lane::kReportPages) {
    const std::string version = QCoreApplication::applicationVersion().toStdString();
    curl->setUserAgent("Nimbrel/" + version + " (surface weather observations viewer)");
  }
  if (lane == Lane::kMetar || lane == Lane::kTaf) {
    curl->setMaxBodyBytes(kMaxApiAnswerBytes);
    curl->setTimeouts(CurlPageFetcher::kDefaultConnectTimeoutMs, kApiTotalTimeoutMs);
  }
  return std::make_unique<ThreadedPageFetcher>(curl, threads);
}

}  // namespace

ReportSources::ReportSources(std::unique_ptr<PageFetcher> fetcher, QObject* parent)
    : QObject(parent),
      given(std::move(fetcher)),
      pageFetcher(makeLane(given, Lane::kReportPages)),
      metarFetcher(makeLane(given, Lane::kMetar)),
      tafFetcher(makeLane(given, Lane::kTaf)),
      weatherFetcher(makeLane(given, Lane::kWeather)),
      pageSource(*pageFetcher),
      metarSource(*metarFetcher),
      tafSource(*tafFetcher),
      feed(std::make_unique<WeatherFeed>(*weatherFetcher)) {
  // Reports kept between runs: the live source and the weather feed fill it.
  reportStore = openReportStore();
  // The file is opened off the user-interface thread while the windows come
  // up (a first use before that waits for it); what it had to say, a file
  // moved aside, is told on the user-interface thread.
  QThreadPool::globalInstance()->start(
      [store = reportStore, self = QPointer<ReportSources>(this), app = QCoreApplication::instance()] {
        store->open();
        QMetaObject::invokeMethod(app, [store, self] {
          if (self == nullptr) return;
          if (const std::string note = store->takeNote(); !note.empty()) emit self->statusNote(note);
          self->checkStore();
        }, Qt::QueuedConnection);
      });
  storeWatch.setInterval(2000);
  connect(&storeWatch, &QTimer::timeout, this, &ReportSources::checkStore);
  storeWatch.start();
  metarSource.setStore(reportStore);
  tafSource.setStore(reportStore);
  feed->setStore(reportStore);
}

ReportSources::~ReportSources() {
  // Quitting ends a prune or a long statement now, not when it is done.
  if (reportStore) reportStore->stop();
  // The feed's worker is stopped and waited for while the lanes and the
  // catalogue it may reach still stand.
  feed.reset();
}

ObservationSource& ReportSources::source(ReportSource which) {
  if (which == ReportSource::kReportPages) return pageSource;
  return metarSource;
}

TafSource* ReportSources::forecastSource(ReportSource which) {
  return which == ReportSource::kReportPages ? nullptr : &tafSource;
}

void ReportSources::setMetarUrl(const std::string& url) {
  metarSource.baseUrl = url;
  tafSource.baseUrl = url;
  feed->setBaseUrl(url);
}

void ReportSources::setCatalogue(std::shared_ptr<const StationList> stations) { feed->setCatalogue(std::move(stations)); }

std::string ReportSources::takeStoreNote() { return reportStore ? reportStore->takeNote() : std::string(); }

ReportSources::StoreLimits ReportSources::storeLimits() const {
  StoreLimits limits;
  const ReportStoreOptions options = reportStore ? reportStore->options() : ReportStoreOptions{};
  limits.retentionDays = options.retentionDays;
  limits.sizeLimitMegabytes = static_cast<long long>(std::min<std::uint64_t>(options.sizeLimitBytes >> 20, LLONG_MAX));
  if (reportStore && !reportStore->isOpening() && reportStore->isOpen()) {
    const StoreCounts counts = reportStore->counts();
    const double megabytes = double(reportStore->fileBytes()) / double(1 << 20);
    limits.usage = tr("In use: %1 MB, %L2 reports of %L3 stations")
                       .arg(megabytes, 0, 'f', 1)
                       .arg(counts.reports)
                       .arg(counts.stations);
  } else {
    limits.usage = storeSummary();
  }
  return limits;
}

void ReportSources::setStoreLimits(int retentionDays, long long sizeLimitMegabytes) {
  if (reportStore) {
    reportStore->setRetentionDays(retentionDaysOrDefault(retentionDays));
    reportStore->setSizeLimitBytes(sizeLimitBytesOrDefault(sizeLimitMegabytes));
  }
  saveReportStoreLimits(retentionDays, sizeLimitMegabytes);
}

QString ReportSources::storeOffReason() const {
  return reportStore ? QString::fromStdString(reportStore->offReason()) : QString();
}

void ReportSources::checkStore() {
  const QString reason = storeOffReason();
  if (reason == lastOffReason) return;
  lastOffReason = reason;
  emit storeOffChanged(reason);
}

QString ReportSources::storeSummary() const {
  if (const QString reason = storeOffReason(); !reason.isEmpty()) return tr("Report store: off. %1").arg(reason);
  // The About box never waits for the file another thread is opening.
  if (reportStore && reportStore->isOpening()) return tr("Report store: opening");
  if (!reportStore || !reportStore->isOpen()) return tr("Report store: not in use");
  const StoreCounts counts = reportStore->counts();
  return tr("Report store: %L1 reports of %L2 stations").arg(counts.reports).arg(counts.stations);
}

}  // namespace nimbrel
