#pragma once
// The live source's terminal aerodrome forecast of one station: the
// aviation weather Data API's TAF answer, decoded by our own decoder.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/AsyncPageFetcher.h"
#include "catalog/Station.h"
#include "metar/TafHour.h"
#include "metar/TafReport.h"
#include "metar/UtcDateTime.h"
#include "observations/MetarSource.h"

namespace nimbrel {

// One decoded forecast, hour by hour over its validity.
struct TafForecast {
  std::string rawText;  // the TAF as sent
  UtcDateTime issued;   // the service's issue time
  TafReport report;
  std::vector<TafHour> hours;
};

// What one answer gave.
struct TafReading {
  bool ok = false;         // the service answered readably: a TAF or none
  bool cancelled = false;  // the caller gave up
  std::optional<TafForecast> forecast;  // with ok: empty when the station has no TAF
  std::string note;                     // without ok: why
};

// "2026-05-20T08:52:00.000Z" (seconds and fraction optional); empty otherwise.
std::optional<UtcDateTime> parseIsoTime(std::string_view text);

// Reads the API's JSON array: the first object's rawTAF, decoded anchored on
// its issueTime (else validTimeFrom). Never throws.
TafReading readTafAnswer(std::string_view json);

// A TAF's text decoded hour by hour, its day-hour times anchored on
// `anchor` (the issue time when known); issued is the TAF's own issue time,
// else the anchor. NIL, CNL and undecodable TAFs come back without hours.
TafForecast decodedForecast(std::string raw, const UtcDateTime& anchor);

class TafSource {
 public:
  using Clock = std::function<std::int64_t()>;  // seconds since 1970
  using Done = std::function<void(TafReading)>;

  explicit TafSource(AsyncPageFetcher& fetcher, Clock clock = {});

  std::string baseUrl = kDefaultMetarUrl;
  // Settable so a test can move time on.
  Clock clock;

  // "{base}/api/data/taf?ids=ICAO&format=json"
  std::string url(const std::string& icao) const;
  std::unique_ptr<FetchTicket> request(const Station& station, Done done);
  std::int64_t now() const { return clock(); }
  // Each forecast read is kept there with its issue time (on the worker).
  void setStore(std::shared_ptr<ReportStore> newStore) { store = std::move(newStore); }
  // The station's forecasts the store kept, issued from `from` to `to` (UTC
  // seconds), oldest first, read and decoded on a worker and handed over
  // later; null without a store.
  using StoredDone = std::function<void(std::vector<TafForecast>)>;
  std::unique_ptr<FetchTicket> requestStored(const Station& station, std::int64_t from, std::int64_t to,
                                             StoredDone done);

  static TafReading readAnswer(const FetchResult& fetched);

 private:
  AsyncPageFetcher& fetcher;
  std::shared_ptr<ReportStore> store;
};

}  // namespace nimbrel
