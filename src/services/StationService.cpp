#include "services/StationService.h"

#include <QCoreApplication>
#include <cstdlib>
#include <filesystem>

#include "catalog/StationListLocation.h"
#include "catalog/StationListReader.h"
#include "services/QtText.h"

namespace nimbrel {

std::vector<std::string> StationService::loadStationList() {
  // The working folder's list, else the user's own data folder's, else the
  // one installed with the program.
  std::error_code ignored;
  const std::vector<std::filesystem::path> places = stationListPlaces(
      std::filesystem::current_path(ignored), std::getenv("XDG_DATA_HOME"), std::getenv("HOME"),
      installedDataDir(QCoreApplication::applicationFilePath().toStdString()));
  for (const std::filesystem::path& place : places) {
    if (!std::filesystem::exists(std::filesystem::symlink_status(place, ignored))) continue;
    std::string text;
    bool cut = false;
    if (!readStationListFile(place.string(), text, &cut))
      return {std::string("Can not open a file \"") + kStationListFileName + "\"."};
    auto read = std::make_shared<StationList>();
    parseStationList(text, *read);
    const std::size_t count = read->size();
    setCatalogue(std::move(read));
    if (cut) return {stationListCutMessage(place.string(), count)};
    return {};
  }
  return {stationListNotFoundMessage(places)};
}

void StationService::setCatalogue(std::shared_ptr<const StationList> list) {
  stations = std::move(list);
  emit catalogueChanged();
}

void StationService::addOpenStation(const Station& station) {
  open.push_back(station);
  emit openStationsChanged();
}

void StationService::removeOpenStation(const std::string& icao) {
  if (nimbrel::removeOpenStation(open, icao)) emit openStationsChanged();
}

void StationService::addRecent(const std::string& stationName) {
  recent.add(toQString(stationName));
  emit recentListChanged();
}

}  // namespace nimbrel
