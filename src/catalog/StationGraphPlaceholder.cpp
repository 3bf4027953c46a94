// Placeholders until the report retrieval and the station chart windows
// exist: no station has data, so no chart window opens.
#include "catalog/StationCatalog.h"

namespace nimbrel {

bool CStationCatalog::GetMeteodata(const CStation*, CObservationArray*, const std::string&, int) { return false; }

void CStationCatalog::OpenStationGraph(const CStation&) {}

}  // namespace nimbrel
