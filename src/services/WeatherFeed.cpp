#include "services/WeatherFeed.h"

#include <QDateTime>
#include <algorithm>
#include <unordered_map>

#include "charts/WeatherLayer.h"
#include "observations/MetarCache.h"
#include "reportstore/ReportStore.h"

namespace nimbrel {

WeatherFeed::WeatherFeed(AsyncPageFetcher& fetcher, QObject* parent) : QObject(parent), fetcher(fetcher) {
  timer.setInterval(kRefreshMs);
  connect(&timer, &QTimer::timeout, this, &WeatherFeed::refresh);
}

// A reading still on a worker keeps its own catalogue and is never handed
// over once the ticket is gone.
WeatherFeed::~WeatherFeed() = default;

void WeatherFeed::setCatalogue(std::shared_ptr<const StationList> stations) {
  const std::shared_ptr<const StationList> old = std::exchange(catalogue, std::move(stations));
  const bool wasLoading = ticket != nullptr;
  ticket.reset();
  if (current) {
    std::unordered_map<std::string_view, std::size_t> byIcao;
    for (std::size_t i = 0; i < catalogue->size(); ++i) byIcao.try_emplace((*catalogue)[i].icao, i);
    auto moved = std::make_shared<WeatherSnapshot>(*current);
    moved->stations.clear();
    for (const StationWeather& w : current->stations) {
      const auto it = w.station < old->size() ? byIcao.find((*old)[w.station].icao) : byIcao.end();
      if (it == byIcao.end()) continue;
      moved->stations.push_back(w);
      moved->stations.back().station = it->second;
    }
    std::sort(moved->stations.begin(), moved->stations.end(),
              [](const StationWeather& a, const StationWeather& b) { return a.station < b.station; });
    // A code listed twice in the old list has one reading in the new.
    moved->stations.erase(std::unique(moved->stations.begin(), moved->stations.end(),
                                      [](const StationWeather& a, const StationWeather& b) { return a.station == b.station; }),
                          moved->stations.end());
    current = std::move(moved);
  }
  if (current || wasLoading) emit changed();
  if (wasLoading) {
    lastDownloadMs = 0;
    refresh();
  }
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
  const qint64 now = clock();
  if (current && now - lastDownloadMs < kCacheSeconds * 1000) return;
  lastDownloadMs = now;
  ++downloads;
  // Reading a large download takes a while: on the worker too, with the
  // catalogue of now.
  // Without the service, the stored reports stand in, unless the map
  // already shows a download of this run.
  ticket = fetcher.fetchRead(
      metarCacheUrl(baseUrl), 0,
      [stations = catalogue, kept = store, storedStandIn = current == nullptr, nowSeconds = now / 1000](FetchResult fetched) {
        auto snapshot = std::make_shared<WeatherSnapshot>();
        if (fetched.ok()) {
          std::vector<StoredMetar> reports;
          MetarCacheOptions options;
          options.reports = kept ? &reports : nullptr;
          *snapshot = readMetarCache(fetched.body, *stations, options);
          if (kept && !reports.empty()) {
            // One transaction for the whole download, here on the worker.
            kept->putMetars(reports);
            kept->maintainIfDue();
          }
        } else {
          if (kept && storedStandIn) {
            const auto since = nowSeconds - kOfflineSeconds;
            *snapshot = storedWeather(kept->newestMetars(since), *stations);
          }
          snapshot->downloadFailed = true;
          snapshot->problem = "the download failed: " +
                              (fetched.errorText.empty() ? std::string("no answer") : fetched.errorText);
        }
        if (kept) {
          const std::string note = kept->takeNote();
          if (!note.empty()) snapshot->problem += (snapshot->problem.empty() ? "" : "; ") + note;
        }
        return snapshot;
      },
      [this](std::shared_ptr<WeatherSnapshot> snapshot) { arrived(std::move(snapshot)); });
  emit changed();
}

void WeatherFeed::arrived(std::shared_ptr<WeatherSnapshot> snapshot) {
  ticket.reset();
  // A failed download keeps the reports already shown.
  if (snapshot->stations.empty() && current) {
    auto kept = std::make_shared<WeatherSnapshot>(*current);
    kept->problem = snapshot->problem;
    kept->downloadFailed = snapshot->downloadFailed;
    current = std::move(kept);
  } else {
    current = std::move(snapshot);
  }
  emit changed();
}

std::string WeatherFeed::statusText(bool timeUtc) const {
  if (users.empty()) return {};
  if (isLoading()) return "Current weather: loading the reports ...";
  return current ? currentWeatherStatusText(*current, timeUtc) : std::string();
}

}  // namespace nimbrel
