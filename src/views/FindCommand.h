#pragma once
// The find command's search, after its dialog closed with OK.
#include <string>

#include "catalog/Station.h"

namespace nimbrel {

class IMainFrame;
class CStationCatalog;

// The text of the last find dialog closed with OK, for the whole process.
extern std::string lastFindText;

// Searches a list for lastFindText and, on a match, opens a "Nearest
// stations" table of the matches. Returns the number of matches.
int FindAndShowStations(IMainFrame& frame, CStationCatalog& catalogue, const CStationArray& searched);

}  // namespace nimbrel
