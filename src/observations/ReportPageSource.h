#pragma once
// The weather service's report pages: fetching one station's page and
// reading its reports.
#include <string>

#include "catalog/Station.h"
#include "observations/Observation.h"

namespace nimbrel {

class UserPort;
class PageFetcher;

// The weather service's host when none is given on the command line: the
// sample report service that scripts/run starts.
inline constexpr const char* kDefaultServiceHost = "127.0.0.1:8642";

// "http://" + host + the report page's path and query, with icao and
// hoursStr percent-encoded.
std::string meteodataUrl(const std::string& serviceHost, const std::string& icao, const std::string& hoursStr);

// The station's line in the no-data message.
std::string stationHeading(const Station& station);

// The read buffer for a page of the given hours: hours x 20,000 + 50,000,
// kept within what an int holds.
int meteodataBufferSize(int hours);

class ReportPageSource {
 public:
  ReportPageSource(PageFetcher& fetcher, UserPort& port) : fetcher(fetcher), port(port) {}

  std::string serviceHost = kDefaultServiceHost;

  // Fetches the station's page for the period hoursStr ("most+recent+only",
  // "most recent only" or "past+N+hours") and reads every report into
  // observations (emptied first) when given. True when at least one report
  // was read. Without data the no-data message is shown and false returned;
  // while another call runs (its message box open) it returns false at once.
  bool getMeteodata(const Station& station, ObservationList* observations, const std::string& hoursStr, int hours);
  bool isBusy() const { return busy; }

 private:
  PageFetcher& fetcher;
  UserPort& port;
  bool busy = false;
};

}  // namespace nimbrel
