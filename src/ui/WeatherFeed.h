#pragma once
// The whole world's current weather for the maps that show it: one download
// of the METAR service's cache file serves every map, read off the
// user-interface thread, refreshed every ten minutes while any map shows it
// and never more often than the service lets its answer be cached.
#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "base/AsyncPageFetcher.h"
#include "catalog/Station.h"
#include "catalog/StationWeather.h"

namespace nimbrel {

class WeatherFeed : public QObject {
  Q_OBJECT

 public:
  static constexpr int kRefreshMs = 10 * 60 * 1000;
  static constexpr int kCacheSeconds = 60;

  WeatherFeed(AsyncPageFetcher& fetcher, const StationList& catalogue, QObject* parent = nullptr);
  ~WeatherFeed() override;

  void setBaseUrl(const std::string& url) { baseUrl = url; }
  // A map starts or stops showing the weather; the feed downloads only
  // while one does.
  void addUser(const QObject* map);
  void removeUser(const QObject* map);
  int userCount() const { return static_cast<int>(users.size()); }

  // The newest reading, or null before the first arrived.
  const WeatherSnapshot* snapshot() const { return current.get(); }
  bool isLoading() const { return ticket != nullptr || reading; }
  int downloadCount() const { return downloads; }
  // Downloads now unless the last download is younger than the cache time.
  void refresh();

 signals:
  // A new reading arrived, or loading started or ended.
  void changed();

 private:
  void downloaded(FetchResult fetched);

  AsyncPageFetcher& fetcher;
  const StationList& catalogue;
  std::string baseUrl;
  std::set<const QObject*> users;
  QTimer timer;
  QThreadPool pool;
  std::unique_ptr<FetchTicket> ticket;
  std::shared_ptr<const WeatherSnapshot> current;
  qint64 lastDownloadMs = 0;
  bool reading = false;
  int downloads = 0;
  // Tells a reading still on a worker that the feed is gone.
  std::shared_ptr<bool> alive = std::make_shared<bool>(true);
};

}  // namespace nimbrel
