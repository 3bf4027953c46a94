// Placeholder bodies so that the program links while the catalogue is built.
#include "catalog/StationCatalog.h"

namespace nimbrel {

bool CStationCatalog::LoadStations(bool) { return false; }
int CStationCatalog::FindStations(std::string, const CStationArray&, bool) { return 0; }
int CStationCatalog::FindNearestStations(int, int, double) { return 0; }
bool CStationCatalog::ShowMapPointPosition(int, int, CMapPoint*) { return false; }
CPixel CStationCatalog::MapToPixel(double, double) { return {}; }
bool CStationCatalog::GetMeteodata(const CStation*, CObservationArray*, const std::string&, int) { return false; }
void CStationCatalog::OpenStationGraph(const CStation&) {}

}  // namespace nimbrel
