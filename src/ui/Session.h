#pragma once
// The program's state, owned by main() and outliving every window: the
// station catalogue, the settings, the report sources with their download
// lanes, the weather feed, the recent list and the shared table sort.
#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "base/PageFetcher.h"
#include "base/Settings.h"
#include "catalog/Station.h"
#include "ui/StationColumns.h"
#include "observations/MetarSource.h"
#include "observations/ReportPageSource.h"
#include "observations/TafSource.h"
#include "ui/RecentList.h"

namespace nimbrel {

class ReportStore;
class WeatherFeed;

class Session : public QObject {
  Q_OBJECT

 public:
  // fetcher: null for the real one (libcurl); a given one serves every lane.
  explicit Session(std::unique_ptr<PageFetcher> fetcher = nullptr);
  ~Session() override;

  // Reads the station list from the first place that has one; returns what
  // to tell the user (nothing when it was read whole).
  std::vector<std::string> loadStationList();
  const StationList& allStations() const { return *stations; }
  // Shared with workers that may outlive a reload.
  std::shared_ptr<const StationList> catalogue() const { return stations; }
  void setCatalogue(std::shared_ptr<const StationList> list);

  // The stations with a chart open; maps mark them.
  const StationList& openStations() const { return m_openStations; }
  void addOpenStation(const Station& station);
  void removeOpenStation(const std::string& icao);

  const Settings& settings() const { return m_settings; }
  // Takes the Parameters dialog's result; a changed source or address is kept.
  void applySettings(const Settings& changed);
  // For this run only (the command line): not kept with the settings.
  void setReportSource(ReportSource source);
  void setMetarUrl(const std::string& url);
  void setServiceHost(const std::string& host) { pageSource.serviceHost = host; }

  // The source the settings choose.
  ObservationSource& reportSource();
  // The forecast source beside the live METAR source; null with report pages.
  TafSource* forecastSource();
  MetarSource& liveMetarSource() { return metarSource; }
  WeatherFeed& weatherFeed() { return *feed; }
  // The lane of the whole-world downloads (the weather file, the station list).
  AsyncPageFetcher& weatherLane() { return *weatherFetcher; }
  // The reports kept between runs; what it had to say on opening, once.
  std::string takeStoreNote();
  // "Report store: 1,234 reports of 56 stations", for the About box.
  QString storeSummary() const;

  TableSortState& sortState() { return m_sortState; }
  RecentList& recentList() { return m_recentList; }
  // Puts a station's name on top of the recent list.
  void addRecent(const std::string& stationName);

 signals:
  void catalogueChanged();
  void openStationsChanged();
  void recentListChanged();
  // The Report source or the METAR address changed.
  void sourceChanged();
  // A settings file that could not be written, and the like.
  void statusNote(const std::string& text);

 private:
  void readSourceSettings();
  void writeSourceSettings();
  void pointSourcesAtSettings();

  std::shared_ptr<PageFetcher> given;
  std::unique_ptr<AsyncPageFetcher> pageFetcher;
  std::unique_ptr<AsyncPageFetcher> metarFetcher;
  std::unique_ptr<AsyncPageFetcher> tafFetcher;
  std::unique_ptr<AsyncPageFetcher> weatherFetcher;
  ReportPageSource pageSource;
  MetarSource metarSource;
  TafSource tafSource;
  std::shared_ptr<ReportStore> reportStore;
  WeatherFeed* feed = nullptr;
  std::shared_ptr<const StationList> stations = std::make_shared<const StationList>();
  StationList m_openStations;
  Settings m_settings;
  // The METAR address as kept: one given for this run only is not saved.
  std::string storedMetarUrl;
  TableSortState m_sortState;
  RecentList m_recentList;
};

}  // namespace nimbrel
