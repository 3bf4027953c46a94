#pragma once
// Fetching and reading one station's report page: the core of the
// catalogue's GetMeteodata.
#include <string>

#include "catalog/Station.h"
#include "observations/Observation.h"

namespace nimbrel {

class IMainFrame;
class IPageFetcher;

// "http://" + host + the report page's path and query, icao and hoursStr
// inserted as they are.
std::string MeteodataUrl(const std::string& serviceHost, const std::string& icao, const std::string& hoursStr);

// The station's line in the no-data message.
std::string StationHeading(const CStation& station);

// The read buffer for a page of the given hours: hours x 20,000 + 50,000,
// kept within what an int holds.
int MeteodataBufferSize(int hours);

// Fetches the station's page for the period hoursStr ("most+recent+only",
// "most recent only" or "past+N+hours") and reads every report into
// observations (emptied first) when given. True when at least one report was
// read. Without data the no-data message is shown and false returned; while
// another call runs (its message box open) it returns false at once.
bool GetMeteodata(IPageFetcher& fetcher, IMainFrame& frame, const std::string& serviceHost,
                  const CStation* station, CObservationArray* observations, const std::string& hoursStr, int hours);

// Whether a GetMeteodata call is under way.
bool IsMeteodataBusy();

}  // namespace nimbrel
