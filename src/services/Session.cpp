#include "services/Session.h"

#include "services/WatchService.h"
#include "services/WeatherFeed.h"

namespace nimbrel {

Session::Session(std::unique_ptr<PageFetcher> fetcher) : reports(std::move(fetcher)) {
  // The sources follow the METAR address the settings name, the weather
  // feed the catalogue in use.
  const auto pointSources = [this] { reports.setMetarUrl(keeper.settings().metarUrl); };
  pointSources();
  QObject::connect(&keeper, &SettingsService::sourceChanged, &reports, pointSources);
  QObject::connect(&known, &StationService::catalogueChanged, &reports,
                   [this] { reports.setCatalogue(known.catalogue()); });
}

Session::~Session() = default;

WatchService& Session::watchService() {
  if (!watch) watch = std::make_unique<WatchService>(*this);
  return *watch;
}

}  // namespace nimbrel
