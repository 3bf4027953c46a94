#pragma once
// The live source's terminal aerodrome forecast of one station: the
// aviation weather Data API's TAF answer, decoded by our own decoder.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
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

// What an answer for a past instant gave: every TAF valid then (an
// amendment comes beside the TAF it replaced).
struct PastTafReading {
  bool ok = false;         // the service answered readably: TAFs or none
  bool cancelled = false;  // the caller gave up
  std::vector<TafForecast> forecasts;  // with ok: those that forecast something
  std::string note;                    // without ok: why
};

// "2026-05-20T08:52:00.000Z" (seconds and fraction optional); empty otherwise.
std::optional<UtcDateTime> parseIsoTime(std::string_view text);

// Reads the API's JSON array: the first object's rawTAF, decoded anchored on
// its issueTime (else validTimeFrom). Never throws.
TafReading readTafAnswer(std::string_view json);
// Reads every object of the array as readTafAnswer reads the first; NIL,
// cancelled and undecodable TAFs are left out. Never throws.
PastTafReading readTafAnswers(std::string_view json);

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

  // The TAFs valid at a past instant: "{base}/api/data/taf?ids=ICAO&format=json
  // &date=2026-12-07T12%3A00%3A00Z" (UTC seconds, to the minute).
  using PastDone = std::function<void(PastTafReading)>;
  std::string url(const std::string& icao, std::int64_t validAt) const;
  // Asks for them once in a run: every TAF of the answer goes into the store
  // (on the worker), so a later run finds it there. Refused, as a failure,
  // beyond kPastRequestsPerMinute, which leaves most of the service's
  // hundred a minute to the reports.
  std::unique_ptr<FetchTicket> requestValidAt(const Station& station, std::int64_t validAt, PastDone done);
  // Whether the TAFs valid at that instant were asked for in this run.
  bool wasAsked(const std::string& icao, std::int64_t validAt) const;
  static constexpr int kPastRequestsPerMinute = 30;
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
  static PastTafReading readPastAnswer(const FetchResult& fetched);

 private:
  AsyncPageFetcher& fetcher;
  std::shared_ptr<ReportStore> store;
  std::set<std::pair<std::string, std::int64_t>> asked;  // (station, instant) asked for past TAFs
  std::deque<std::int64_t> pastSentTimes;                 // past requests of the last minute
};

}  // namespace nimbrel
