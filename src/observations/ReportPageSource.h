#pragma once
// The weather service's report pages: asking for one station's page and
// reading its reports. Every download runs off the caller's thread.
#include <functional>
#include <memory>
#include <string>

#include "base/AsyncPageFetcher.h"
#include "catalog/Station.h"
#include "observations/Observation.h"
#include "observations/ObservationSource.h"

namespace nimbrel {

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

// The page's reports, or the message that says why there are none: a
// service that did not answer or could not be reached is told apart from
// a page without data.
PageReading readPageResult(const Station& station, const FetchResult& fetched);

class ReportPageSource : public ObservationSource {
 public:
  explicit ReportPageSource(AsyncPageFetcher& fetcher) : fetcher(fetcher) {}

  std::string serviceHost = kDefaultServiceHost;

  // Asks for the station's page for the period hoursStr ("most+recent+only",
  // "most recent only" or "past+N+hours"). done comes later, on the
  // caller's thread, unless the ticket was dropped first.
  std::unique_ptr<FetchTicket> request(const Station& station, const std::string& hoursStr, int hours, Done done);

  std::unique_ptr<FetchTicket> requestPastHours(const Station& station, int hours, Done done) override;
  std::unique_ptr<FetchTicket> requestNewest(const Station& station, bool opening, Done done) override;
  bool checksBeforeOpening() const override { return true; }
  bool catchesUpAfterGaps() const override { return false; }
  int minimumRefreshMinutes() const override { return 1; }
  std::string name() const override { return "report pages"; }

 private:
  AsyncPageFetcher& fetcher;
};

}  // namespace nimbrel
