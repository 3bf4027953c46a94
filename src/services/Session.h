#pragma once
// The program's state, owned by main() and outliving every window: the
// settings, the report sources and the stations, each a service of its
// own that windows follow by its signals. The session ties them together.
#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "base/PageFetcher.h"
#include "base/Settings.h"
#include "catalog/Station.h"
#include "services/ReportSources.h"
#include "services/SettingsService.h"
#include "services/StationService.h"

namespace nimbrel {

class WatchService;

class Session {
 public:
  // fetcher: null for the real one (libcurl); a given one serves every lane.
  explicit Session(std::unique_ptr<PageFetcher> fetcher = nullptr);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  ~Session();

  SettingsService& settingsService() { return keeper; }
  ReportSources& sources() { return reports; }
  StationService& stations() { return known; }

  // The settings of the moment, and the parts most asked for.
  const Settings& settings() const { return keeper.settings(); }
  void applySettings(const Settings& changed) { keeper.apply(changed); }
  void setReportSource(ReportSource source) { keeper.setReportSource(source); }
  void setMetarUrl(const std::string& url) { keeper.setMetarUrl(url); }
  void setServiceHost(const std::string& host) { reports.setServiceHost(host); }
  // The source the settings choose, and its forecasts (null with report pages).
  ObservationSource& reportSource() { return reports.source(settings().reportSource); }
  TafSource* forecastSource() { return reports.forecastSource(settings().reportSource); }

  std::vector<std::string> loadStationList() { return known.loadStationList(); }
  const StationList& allStations() const { return known.allStations(); }
  std::shared_ptr<const StationList> catalogue() const { return known.catalogue(); }
  const StationList& openStations() const { return known.openStations(); }
  RecentList& recentList() { return known.recentList(); }
  WeatherFeed& weatherFeed() { return reports.weatherFeed(); }
  // The watched stations, made on first use (a session without windows
  // watches nothing).
  WatchService& watchService();

 private:
  SettingsService keeper;
  StationService known;
  // Last: its workers stop first, while the catalogue they may reach stands.
  ReportSources reports;
  // After the sources: it stops before the feed and the store it follows.
  std::unique_ptr<WatchService> watch;
};

}  // namespace nimbrel
