#pragma once
// The whole world's current weather for the maps that show it: one download
// of the METAR service's cache file serves every map, read on the worker
// that downloaded it, refreshed every ten minutes while any map shows it
// and never more often than the service lets its answer be cached.
#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "base/AsyncPageFetcher.h"
#include "catalog/Station.h"
#include "catalog/StationWeather.h"

namespace nimbrel {

class ReportStore;

class WeatherFeed : public QObject {
  Q_OBJECT

 public:
  static constexpr int kRefreshMs = 10 * 60 * 1000;
  static constexpr int kCacheSeconds = 60;

  WeatherFeed(AsyncPageFetcher& fetcher, QObject* parent = nullptr);
  ~WeatherFeed() override;

  // The stations reports are matched to. The reading shown is moved over
  // to the new list by ICAO code; one under way is given up, as it points
  // into the old list.
  void setCatalogue(std::shared_ptr<const StationList> stations);

  void setBaseUrl(const std::string& url) { baseUrl = url; }
  // Every download's reports are kept there (on the worker); without the
  // service the map shows the last stored ones. Null: none.
  void setStore(std::shared_ptr<ReportStore> newStore) { store = std::move(newStore); }
  // How far back stored reports are shown offline.
  static constexpr std::int64_t kOfflineSeconds = 24 * 3600;
  // A map starts or stops showing the weather; the feed downloads only
  // while one does.
  void addUser(const QObject* map);
  void removeUser(const QObject* map);
  int userCount() const { return static_cast<int>(users.size()); }

  // The newest reading, or null before the first arrived.
  const WeatherSnapshot* snapshot() const { return current.get(); }
  bool isLoading() const { return ticket != nullptr; }
  int downloadCount() const { return downloads; }
  // The status bar's words while a map shows the weather ("" with no map).
  std::string statusText(bool timeUtc) const;
  // Downloads now unless the last download is younger than the cache time.
  void refresh();
  // Milliseconds since 1970; settable so a test can move time on.
  using Clock = std::function<qint64()>;
  void setClock(Clock newClock) { clock = std::move(newClock); }

 signals:
  // A new reading arrived, or loading started or ended.
  void changed();

 private:
  void arrived(std::shared_ptr<WeatherSnapshot> snapshot);

  AsyncPageFetcher& fetcher;
  std::shared_ptr<const StationList> catalogue = std::make_shared<const StationList>();
  std::string baseUrl;
  std::shared_ptr<ReportStore> store;
  std::set<const QObject*> users;
  QTimer timer;
  std::unique_ptr<FetchTicket> ticket;
  std::shared_ptr<const WeatherSnapshot> current;
  Clock clock = [] { return QDateTime::currentMSecsSinceEpoch(); };
  qint64 lastDownloadMs = 0;
  int downloads = 0;
};

}  // namespace nimbrel
