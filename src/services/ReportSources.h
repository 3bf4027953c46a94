#pragma once
// Where reports come from: the download lanes, the report pages', live
// METAR and forecast sources on them, the report store they fill and the
// whole world's weather feed.
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <string>

#include "base/AsyncPageFetcher.h"
#include "base/PageFetcher.h"
#include "base/Settings.h"
#include "catalog/Station.h"
#include "observations/MetarSource.h"
#include "observations/ReportPageSource.h"
#include "observations/TafSource.h"

namespace nimbrel {

class ReportStore;
class WeatherFeed;

class ReportSources : public QObject {
  Q_OBJECT

 public:
  // fetcher: null for the real one (libcurl); a given one serves every lane.
  explicit ReportSources(std::unique_ptr<PageFetcher> fetcher = nullptr, QObject* parent = nullptr);
  ~ReportSources() override;

  // The source of charts' reports for the setting given.
  ObservationSource& source(ReportSource which);
  // The forecast source beside the live METAR source; null with report pages.
  TafSource* forecastSource(ReportSource which);
  MetarSource& liveMetarSource() { return metarSource; }
  WeatherFeed& weatherFeed() { return *feed; }
  // The lane of the whole-world downloads (the weather file, the station list).
  AsyncPageFetcher& weatherLane() { return *weatherFetcher; }

  // The METAR service's address, for METAR, forecasts and the weather feed.
  void setMetarUrl(const std::string& url);
  void setServiceHost(const std::string& host) { pageSource.serviceHost = host; }
  // The stations the weather feed matches its reports to.
  void setCatalogue(std::shared_ptr<const StationList> stations);

  // The reports kept between runs (null without one); read it on workers.
  std::shared_ptr<ReportStore> store() const { return reportStore; }
  // The reports kept between runs; what it had to say on opening, once.
  std::string takeStoreNote();
  // "Report store: 1,234 reports of 56 stations", for the About box.
  QString storeSummary() const;
  // The store's retention in days and size limit in megabytes (saturated
  // at what an int holds), and what it holds now, for Parameters.
  struct StoreLimits {
    int retentionDays = 0;
    long long sizeLimitMegabytes = 0;
    QString usage;
  };
  StoreLimits storeLimits() const;
  // Applies them now and keeps them for the next runs.
  void setStoreLimits(int retentionDays, long long sizeLimitMegabytes);
  // Why the store is off, for as long as it is; empty while it works.
  QString storeOffReason() const;

 signals:
  // What the store had to say once opened (a file moved aside).
  void statusNote(const std::string& text);
  // The store went off (reason) or came back (empty).
  void storeOffChanged(const QString& reason);

 private:
  void checkStore();

  std::shared_ptr<PageFetcher> given;
  std::unique_ptr<AsyncPageFetcher> pageFetcher;
  std::unique_ptr<AsyncPageFetcher> metarFetcher;
  std::unique_ptr<AsyncPageFetcher> tafFetcher;
  std::unique_ptr<AsyncPageFetcher> weatherFetcher;
  ReportPageSource pageSource;
  MetarSource metarSource;
  TafSource tafSource;
  std::shared_ptr<ReportStore> reportStore;
  // The store goes off and comes back on workers: looked at now and then.
  QTimer storeWatch;
  QString lastOffReason;
  // Last: its worker stops while the lanes it may reach still stand.
  std::unique_ptr<WeatherFeed> feed;
};

}  // namespace nimbrel
