// nimbrel-report update-stations [--url BASE] [--current FILE] [--output FILE]:
// the weather service's station list as the program's station list, written
// whole into the output file (or on standard output), with what changed on
// standard error.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

// The list in use: the given file, else the one about to be replaced, else
// the first of the program's places that holds stations ("> Stations.txt"
// has emptied the working folder's one before this runs).
nimbrel::StationList currentStations(const std::string& given, const std::string& output) {
  std::vector<std::filesystem::path> places;
  if (!given.empty()) {
    places.push_back(given);
  } else {
    // The list about to be replaced is the one in use.
    if (!output.empty()) places.push_back(output);
    std::error_code ignored;
    const auto found = nimbrel::stationListPlaces(std::filesystem::current_path(ignored), std::getenv("XDG_DATA_HOME"),
                                        std::getenv("HOME"),
                                        nimbrel::installedDataDir(std::filesystem::read_symlink("/proc/self/exe", ignored)));
    places.insert(places.end(), found.begin(), found.end());
  }
  for (const std::filesystem::path& place : places) {
    std::string text;
    nimbrel::StationList stations;
    if (nimbrel::readStationListFile(place.string(), text) && nimbrel::parseStationList(text, stations) > 0)
      return stations;
  }
  return {};
}

// A named list to compare with must be one: a missing file, a pipe, a
// device or a folder would compare as empty and pass any list.
bool readableRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), R_OK) == 0;
}

// The whole text into a new file beside `path`, then moved over it: a
// failure at any point leaves the file that was there as it was.
bool writeAtomically(const std::string& path, const std::string& text, std::string& why) {
  std::string temporary = path + ".new-XXXXXX";
  const int file = ::mkstemp(temporary.data());
  if (file < 0) {
    why = std::strerror(errno);
    return false;
  }
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(file, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  // Readable as a station list is; mkstemp makes it private.
  const bool ok = written == text.size() && ::fchmod(file, 0644) == 0 && ::fsync(file) == 0;
  if (!ok) why = std::strerror(errno != 0 ? errno : EIO);
  if (::close(file) != 0 || !ok || ::rename(temporary.c_str(), path.c_str()) != 0) {
    if (why.empty()) why = std::strerror(errno);
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

int runUpdateStationsCommand(int argc, char** argv) {
  std::string base = nimbrel::kDefaultMetarUrl;
  std::string current;
  std::string output;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--url") == 0 && i + 1 < argc) {
      base = argv[++i];
    } else if (std::strcmp(argv[i], "--current") == 0 && i + 1 < argc) {
      current = argv[++i];
    } else if (std::strcmp(argv[i], "--output") == 0 && i + 1 < argc) {
      output = argv[++i];
    } else {
      std::fprintf(stderr, "usage: nimbrel-report update-stations [--url BASE] [--current FILE] [--output FILE]\n");
      return 2;
    }
  }
  if (!current.empty() && !readableRegularFile(current)) {
    std::fprintf(stderr, "nimbrel-report: --current %s is not a readable file\n", current.c_str());
    return 2;
  }
  if (!output.empty()) {
    struct stat info {};
    if (::stat(output.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
      std::fprintf(stderr, "nimbrel-report: --output %s is not a file\n", output.c_str());
      return 2;
    }
  }
  const std::string url = nimbrel::stationsCacheUrl(base);
  nimbrel::CurlPageFetcher fetcher;
  fetcher.setUserAgent("Nimbrel (surface weather observations viewer)");
  const nimbrel::StationList inUse = currentStations(current, output);
  const nimbrel::StationListUpdate update =
      nimbrel::prepareStationListUpdate(fetcher.fetch(url, 0), inUse, nimbrel::stationListOrigin(url, std::time(nullptr)));
  if (!update.accepted) {
    std::fprintf(stderr, "nimbrel-report: %s\n", update.message.c_str());
    return 1;
  }
  if (!output.empty()) {
    std::string why;
    if (!writeAtomically(output, update.text, why)) {
      std::fprintf(stderr, "nimbrel-report: can not write %s (%s): the station list there is kept\n", output.c_str(),
                   why.c_str());
      return 1;
    }
  } else if (std::fwrite(update.text.data(), 1, update.text.size(), stdout) != update.text.size() ||
             std::fflush(stdout) != 0) {
    std::fprintf(stderr, "nimbrel-report: can not write the station list\n");
    return 1;
  }
  std::fprintf(stderr, "%s\n", update.message.c_str());
  return 0;
}
