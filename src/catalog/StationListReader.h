#pragma once
// The station list: fixed-column lines of 83 characters (84 with a carriage
// return), one station each; every other line is skipped.
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "catalog/Station.h"
#include "base/TextNumbers.h"

namespace nimbrel {

inline constexpr const char* kStationListFileName = "Stations.txt";
// The list is read in one piece of at most this many bytes: eight times the
// service's own list of about 2 MB.
inline constexpr std::size_t kStationListReadLimit = std::size_t{16} << 20;

// Reads at most kStationListReadLimit bytes of the file at path into text,
// up to its first zero byte; *cut (when given) tells whether the limit left
// part of the file unread. False when the file cannot be opened or read.
bool readStationListFile(const std::string& path, std::string& text, bool* cut = nullptr);
// The same for a file already open, which stays open.
bool readStationList(std::FILE* file, std::string& text, bool* cut = nullptr);

// "The station list \"PATH\" is larger than 16 MB: only its first N stations were read."
std::string stationListCutMessage(const std::string& path, std::size_t stations);

// Appends one record per station line of text, in file order, and returns
// how many were appended. A last line without a line feed counts too.
int parseStationList(std::string_view text, StationList& stations);

// Fills the station elements of record from one station line.
void parseStationLine(std::string_view line, Station& record);


}  // namespace nimbrel
