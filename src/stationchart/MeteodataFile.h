#pragma once
// The export of a station window's observations to a tab-separated file in
// the "Meteodata" folder of the current folder.
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "observations/Observation.h"

namespace nimbrel {

class UserPort;

// "%02d_%02d_%04d_%s.txt": month, day and year of `now` (local time) and the
// station's name in lower case with "/", "(", ")" and "-" made "_".
std::string meteodataFileName(const std::string& stationName, std::time_t now);

// One row, "MM/DD/YYYY\tHH:MM\ttemp\tpressure\t\twind dir\t\twind speed\r\n";
// a value outside its physical range is left empty between its tabs.
std::string formatMeteodataRow(const Observation& observation);

// The whole file's content, with CR LF line ends: the header, then the
// observations oldest first (the list is newest first).
std::string formatMeteodata(const ObservationList& observations);

// The file's content with the rows of an existing file (`existing`, its
// whole text) and the new observations as one set: one row per observation
// date and time, the new observation's row where both have one, oldest
// first. Existing lines whose date and time cannot be read follow, as they
// were.
std::string mergeMeteodata(std::string_view existing, const ObservationList& observations);

// Writes every byte, through short writes and interrupted calls.
bool writeAll(int fd, std::string_view bytes);

enum class FileReplacement { kReplaced, kCannotOpen, kCannotWrite };

// Replaces the file at `path` by `bytes` through a fresh temporary file in
// the same folder, renamed over the name once written, synced and closed:
// on any failure the old file stays whole and the temporary is removed. A
// symbolic link at `path` is replaced, never followed. `beforeRename`, when
// given, runs just before the rename; false from it abandons the
// replacement as a crash at that moment would.
FileReplacement replaceFile(const std::filesystem::path& path, std::string_view bytes,
                            const std::function<bool()>& beforeRename = {});

// An existing export larger than this is not merged into (a day of one
// station's rows is some tens of KB).
inline constexpr std::uint64_t kLargestMergedFile = std::uint64_t{16} << 20;

// Writes "Meteodata/<name>" below `folder` (created when missing), by path:
// the process's current folder is never changed. A file of that name from
// earlier keeps its rows (see mergeMeteodata); a lock file beside it keeps
// two running copies from writing it at once. Tells the user through the
// main frame when the file cannot be opened or written. Returns the path
// written, or an empty path on failure.
std::filesystem::path writeMeteodataFile(UserPort& frame, const std::filesystem::path& folder,
                                         const std::string& stationName, const ObservationList& observations,
                                         std::time_t now);

}  // namespace nimbrel
