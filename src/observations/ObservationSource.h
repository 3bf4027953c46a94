#pragma once
// Where a station chart's reports come from: the service's report pages or
// the live METAR service. Every download runs off the caller's thread.
#include <functional>
#include <memory>
#include <string>

#include "base/AsyncPageFetcher.h"
#include "catalog/Station.h"
#include "observations/Observation.h"

namespace nimbrel {

// What one answer gave.
struct PageReading {
  bool ok = false;               // at least one report read
  bool cancelled = false;        // the caller gave up: nothing to tell
  bool offline = false;          // the service could not be reached or timed out
  ObservationList observations;  // newest first
  std::string failureText;       // when neither: what to tell the user
  std::string statusNote;        // a word for the status bar (rate limits), or empty
};

// "Sorry, no data available for the Station: ..." with the station's line.
std::string noDataText(const Station& station);
// For a download that gave nothing to read (cancelled, timed out, no
// connection): fills reading and returns true. Other results are the
// source's to read.
bool describeFetchFailure(const FetchResult& fetched, PageReading& reading);

class ObservationSource {
 public:
  using Done = std::function<void(PageReading)>;

  virtual ~ObservationSource() = default;

  // The reports of the past hours, newest first.
  virtual std::unique_ptr<FetchTicket> requestPastHours(const Station& station, int hours, Done done) = 0;
  // The newest report: the look before a chart opens (opening) and each refresh.
  virtual std::unique_ptr<FetchTicket> requestNewest(const Station& station, bool opening, Done done) = 0;
  // Whether a chart first looks for the newest report before asking for
  // its past hours.
  virtual bool checksBeforeOpening() const = 0;
  // Whether a refresh after a gap asks for every hour since the newest
  // report: the live service answers any span and stamps every report;
  // a report page's charts ask for the newest report as they always did.
  virtual bool catchesUpAfterGaps() const = 0;
  // The shortest refresh period it allows, in minutes.
  virtual int minimumRefreshMinutes() const = 0;
  // Its name in the chart's heading.
  virtual std::string name() const = 0;

  // The reports a store keeps of the past hours, newest first, handed over
  // later like a download; null when the source keeps none.
  virtual std::unique_ptr<FetchTicket> requestStored(const Station&, int /*hours*/, Done) { return nullptr; }
  // After a chart opened from the store: the service is asked only for what
  // the store lacks of the past hours.
  virtual std::unique_ptr<FetchTicket> requestLacking(const Station& station, int hours, Done done) {
    return requestPastHours(station, hours, std::move(done));
  }
  // The stored reports observed since `from` (seconds since 1970, UTC),
  // newest first, read at once: a few milliseconds. Empty without a store.
  virtual ObservationList storedSince(const Station&, std::int64_t /*from*/) { return {}; }
};

}  // namespace nimbrel
