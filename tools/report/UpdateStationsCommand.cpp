// nimbrel-report update-stations [--url BASE] [--current FILE]: the weather
// service's station list as the program's station list, on standard output,
// with what changed on standard error.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>

#include "ReportCommands.h"
#include "catalog/StationListLocation.h"
#include "catalog/StationListReader.h"
#include "observations/CurlPageFetcher.h"
#include "observations/MetarSource.h"
#include "observations/ServiceStationList.h"

namespace {

// The list in use: the given file, else the first of the program's places
// that holds stations ("> Stations.txt" has emptied the working folder's
// one before this runs).
nimbrel::StationList currentStations(const std::string& given) {
  std::vector<std::filesystem::path> places;
  if (!given.empty()) {
    places.push_back(given);
  } else {
    std::error_code ignored;
    places = nimbrel::stationListPlaces(std::filesystem::current_path(ignored), std::getenv("XDG_DATA_HOME"),
                                        std::getenv("HOME"),
                                        nimbrel::installedDataDir(std::filesystem::read_symlink("/proc/self/exe", ignored)));
  }
  for (const std::filesystem::path& place : places) {
    std::string text;
    nimbrel::StationList stations;
    if (nimbrel::readStationListFile(place.string(), text) && nimbrel::parseStationList(text, stations) > 0)
      return stations;
  }
  return {};
}


}  // namespace

int runUpdateStationsCommand(int argc, char** argv) {
  std::string base = nimbrel::kDefaultMetarUrl;
  std::string current;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--url") == 0 && i + 1 < argc) {
      base = argv[++i];
    } else if (std::strcmp(argv[i], "--current") == 0 && i + 1 < argc) {
      current = argv[++i];
    } else {
      std::fprintf(stderr, "usage: nimbrel-report update-stations [--url BASE] [--current FILE]\n");
      return 2;
    }
  }
  const std::string url = nimbrel::stationsCacheUrl(base);
  nimbrel::CurlPageFetcher fetcher;
  fetcher.setUserAgent("Nimbrel (surface weather observations viewer)");
  const nimbrel::StationList inUse = currentStations(current);
  const nimbrel::StationListUpdate update =
      nimbrel::prepareStationListUpdate(fetcher.fetch(url, 0), inUse, nimbrel::stationListOrigin(url, std::time(nullptr)));
  if (!update.accepted) {
    std::fprintf(stderr, "nimbrel-report: %s\n", update.message.c_str());
    return 1;
  }
  if (std::fwrite(update.text.data(), 1, update.text.size(), stdout) != update.text.size() || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "nimbrel-report: can not write the station list\n");
    return 1;
  }
  std::fprintf(stderr, "%s\n", update.message.c_str());
  return 0;
}
