#include "catalog/StationListLocation.h"

#include "catalog/StationListReader.h"

namespace nimbrel {

namespace {

// The XDG base directory rules ignore relative values; a relative HOME is no
// better, since it would only repeat the working folder under another name.
bool usableFolder(const char* value) {
  return value != nullptr && *value != '\0' && std::filesystem::path(value).is_absolute();
}

}  // namespace

std::vector<std::filesystem::path> stationListPlaces(const std::filesystem::path& workingFolder,
                                                     const char* xdgDataHome, const char* home,
                                                     const std::filesystem::path& installedDataDir) {
  std::vector<std::filesystem::path> places;
  places.push_back(workingFolder / kStationListFileName);
  std::filesystem::path user = userStationListPlace(xdgDataHome, home);
  if (!user.empty()) places.push_back(std::move(user));
  places.push_back(installedDataDir / kStationListFileName);
  return places;
}

std::filesystem::path userStationListPlace(const char* xdgDataHome, const char* home) {
  if (usableFolder(xdgDataHome)) return std::filesystem::path(xdgDataHome) / "nimbrel" / kStationListFileName;
  if (usableFolder(home)) return std::filesystem::path(home) / ".local" / "share" / "nimbrel" / kStationListFileName;
  return {};
}

std::filesystem::path installedDataDir(const std::filesystem::path& programPath) {
  // Lexical is right for a resolved program path (no links left in it) and
  // keeps the messages free of "bin/..".
  std::filesystem::path folder = programPath.parent_path();
  if (folder.empty()) folder = ".";
  return (folder / ".." / "share" / "nimbrel").lexically_normal();
}

std::string stationListNotFoundMessage(const std::vector<std::filesystem::path>& places) {
  std::string message = std::string("Can not open a file \"") + kStationListFileName + "\".";
  if (places.empty()) return message;
  message += " Looked in: ";
  for (std::size_t i = 0; i < places.size(); ++i) {
    if (i > 0) message += ", ";
    message += places[i].string();
  }
  message += ".";
  return message;
}

}  // namespace nimbrel
