// Placeholder until the station chart windows exist: no chart window opens.
#include "catalog/StationCatalog.h"

namespace nimbrel {

void CStationCatalog::OpenStationGraph(const CStation&) {}

}  // namespace nimbrel
