#pragma once
// Where a station chart's reports come from: the service's report pages or
// the live METAR service. Every download runs off the caller's thread.
#include <functional>
#include <memory>
#include <string>

#include "base/AsyncPageFetcher.h"
#include "catalog/Station.h"
#include "observations/ForecastVerification.h"
#include "observations/Observation.h"

namespace nimbrel {

// How a request for reports ended; the user interface chooses the words.
enum class ReadOutcome {
  kLoaded,        // at least one report read
  kNoData,        // the service has no report of the station in the hours asked
  kUnreachable,   // no connection (detail: libcurl's words)
  kTimedOut,      // no answer within timeoutSeconds
  kRateLimited,   // the service asked us to wait
  kRequestLimit,  // our own limit of requests a minute
  kServiceError,  // the service answered with an error (detail: its status)
  kUnreadable,    // the answer could not be read
  kCancelled,     // the caller gave up: nothing to tell
};

// What one answer gave.
struct PageReading {
  ReadOutcome outcome = ReadOutcome::kNoData;
  ObservationList observations;  // newest first
  std::string detail;            // with kUnreachable and kServiceError
  int timeoutSeconds = 0;        // with kTimedOut
  int skippedReports = 0;        // reports of the answer that could not be read
  std::string storeNote;         // what the report store has to say, or empty
  // With a store's reports: its TAFs issued from a TAF's length before the
  // hours read up to now, for how the forecasts fared.
  std::vector<IssuedForecast> forecasts;

  bool ok() const { return outcome == ReadOutcome::kLoaded; }
  bool cancelled() const { return outcome == ReadOutcome::kCancelled; }
  // The service could not be reached or did not answer in time.
  bool offline() const { return outcome == ReadOutcome::kUnreachable || outcome == ReadOutcome::kTimedOut; }
};

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
  // Whether it is the live METAR service, whose forecast service may be
  // asked for the TAFs of past hours.
  virtual bool isLive() const { return false; }
  // The shortest refresh period it allows, in minutes.
  virtual int minimumRefreshMinutes() const = 0;
  // Its name in the chart's heading.
  virtual std::string name() const = 0;
  // What a chart shows while the service cannot be reached and its
  // reports come from the store.
  virtual std::string storedName() const { return name(); }

  // The reports a store keeps of the past hours, newest first, and its
  // TAFs of that time, handed over later like a download; null when the
  // source keeps none.
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
