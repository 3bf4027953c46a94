#pragma once
// Start-up reads and parses the station list on a worker thread while the
// user-interface thread builds its windows; LoadStations then takes the
// result instead of reading the file itself. Nothing is shared meanwhile:
// the worker fills its own list and hands it over whole.
#include "catalog/Station.h"

namespace nimbrel {

// Starts reading "Stations.txt" of the current folder. Call it once, early.
void PrefetchStationList();

// When a prefetch was started and not yet taken: waits for it, tells whether
// the file could be read, moves its stations out and returns true.
bool TakePrefetchedStationList(bool& fileRead, CStationArray& stations);

}  // namespace nimbrel
