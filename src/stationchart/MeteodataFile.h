#pragma once
// The export of a station window's observations to a tab-separated file in
// the "Meteodata" folder of the current folder.
#include <ctime>
#include <filesystem>
#include <string>

#include "observations/Observation.h"

namespace nimbrel {

class UserPort;

// "%02d_%02d_%04d_%s.txt": month, day and year of `now` (local time) and the
// station's name in lower case with "/", "(", ")" and "-" made "_".
std::string meteodataFileName(const std::string& stationName, std::time_t now);

// The whole file's content, with CR LF line ends.
std::string formatMeteodata(const ObservationList& observations);

// Writes "Meteodata/<name>" below `folder` (created when missing), by path:
// the process's current folder is never changed. Tells the user through the
// main frame when the file cannot be opened. Returns the path written, or
// an empty path on failure.
std::filesystem::path writeMeteodataFile(UserPort& frame, const std::filesystem::path& folder,
                                         const std::string& stationName, const ObservationList& observations,
                                         std::time_t now);

}  // namespace nimbrel
