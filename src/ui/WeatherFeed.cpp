#include "ui/WeatherFeed.h"

#include <QDateTime>
#include <QMetaObject>
#include <QThreadPool>

#include "observations/MetarCache.h"

namespace nimbrel {

WeatherFeed::WeatherFeed(AsyncPageFetcher& fetcher, const StationList& catalogue, QObject* parent)
    : QObject(parent), fetcher(fetcher), catalogue(catalogue) {
  timer.setInterval(kRefreshMs);
  connect(&timer, &QTimer::timeout, this, &WeatherFeed::refresh);
}

WeatherFeed::~WeatherFeed() {
  *alive = false;
  ticket.reset();
  // A reading still under way lets go of this object before it goes.
  pool.waitForDone();
}

void WeatherFeed::addUser(const QObject* map) {
  users.insert(map);
  if (!timer.isActive()) timer.start();
  refresh();
}

void WeatherFeed::removeUser(const QObject* map) {
  users.erase(map);
  if (users.empty()) {
    timer.stop();
    ticket.reset();
  }
}

void WeatherFeed::refresh() {
  if (users.empty() || isLoading()) return;
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  if (current && now - lastDownloadMs < kCacheSeconds * 1000) return;
  lastDownloadMs = now;
  ++downloads;
  ticket = fetcher.fetchAsync(metarCacheUrl(baseUrl), 0, [this](FetchResult fetched) { downloaded(std::move(fetched)); });
  emit changed();
}

void WeatherFeed::downloaded(FetchResult fetched) {
  ticket.reset();
  if (fetched.status == FetchStatus::kCancelled) return;
  reading = true;
  // Reading a large download takes a while: off this thread too. The
  // catalogue does not change while the program runs.
  std::shared_ptr<bool> stillAlive = alive;
  const StationList* stations = &catalogue;
  pool.start([this, stillAlive, stations, fetched = std::move(fetched)] {
    auto snapshot = std::make_shared<WeatherSnapshot>();
    if (fetched.ok()) {
      *snapshot = readMetarCache(fetched.body, *stations);
    } else {
      snapshot->problem = "the download failed: " + (fetched.errorText.empty() ? std::string("no answer")
                                                                                : fetched.errorText);
    }
    if (!*stillAlive) return;
    QMetaObject::invokeMethod(
        this,
        [this, stillAlive, snapshot] {
          if (!*stillAlive) return;
          reading = false;
          // A failed download keeps the reports already shown.
          if (snapshot->stations.empty() && current) {
            auto kept = std::make_shared<WeatherSnapshot>(*current);
            kept->problem = snapshot->problem;
            current = std::move(kept);
          } else {
            current = snapshot;
          }
          emit changed();
        },
        Qt::QueuedConnection);
  });
}

}  // namespace nimbrel
