// The catalogue's GetMeteodata: the main frame's fetcher and frame, the
// catalogue's service host, and the report page reading of observations/.
#include "catalog/StationCatalog.h"
#include "observations/Meteodata.h"

namespace nimbrel {

bool CStationCatalog::GetMeteodata(const CStation* station, CObservationArray* observations,
                                   const std::string& hoursStr, int hours) {
  if (fetcher == nullptr || mainFrame == nullptr) return false;
  return nimbrel::GetMeteodata(*fetcher, *mainFrame, serviceHost, station, observations, hoursStr, hours);
}

}  // namespace nimbrel
