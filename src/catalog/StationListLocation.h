// Where the program looks for its station list: the working folder first (a
// list of one's own wins), then the user's data folder, then the list that
// was installed beside the program.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace nimbrel {

// The places to try, in order: workingFolder/Stations.txt,
// DATA/nimbrel/Stations.txt (DATA is $XDG_DATA_HOME, or $HOME/.local/share
// when that is unset, empty or relative; left out when neither gives an
// absolute folder), installedDataDir/Stations.txt. The environment values are
// passed in (null for unset), so callers and tests need not touch the
// process environment.
std::vector<std::filesystem::path> stationListPlaces(const std::filesystem::path& workingFolder,
                                                     const char* xdgDataHome, const char* home,
                                                     const std::filesystem::path& installedDataDir);

// The user's own list, DATA/nimbrel/Stations.txt, as above; empty when
// neither value gives an absolute folder. "Update Station List" writes it.
std::filesystem::path userStationListPlace(const char* xdgDataHome, const char* home);

// The data folder of an installed program: PREFIX/bin/nimbrel gives
// PREFIX/share/nimbrel. Give it the resolved program path (/proc/self/exe,
// or QCoreApplication::applicationFilePath()), not argv[0], which may be a
// bare name or a link.
std::filesystem::path installedDataDir(const std::filesystem::path& programPath);

// "Can not open a file "Stations.txt". Looked in: A, B, C."
std::string stationListNotFoundMessage(const std::vector<std::filesystem::path>& places);

}  // namespace nimbrel
