#pragma once
// Writes the station list the reader takes: fixed-column lines of 83
// characters, one station each, under a few comment lines.
#include <string>
#include <string_view>

#include "catalog/Station.h"

namespace nimbrel {

// "47 29N" for 47.48, "08 32S" for -8.53 (nearest minute); empty off the globe.
std::string latitudeText(double degrees);
// "008 32E" for 8.53, "122 07W" for -122.12; empty off the globe.
std::string longitudeText(double degrees);

// The 83-character line of a station (no line end) from its texts: each
// text cut to its column, the elevation right-aligned.
std::string stationLine(const Station& station);

// comment (its lines prefixed with "! "), the column header, then one line
// per station in list order, LF line ends.
std::string stationListText(const StationList& stations, std::string_view comment);

}  // namespace nimbrel
