#pragma once
// The live METAR source: the public aviation weather Data API's reports of
// one station, decoded by our own decoder. It keeps the service's limits:
// one request a station a minute, a hundred a minute in all, a minute's
// pause when the service says we asked too often, and answers reused for
// the minute the service allows them to be cached.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>

#include "observations/ObservationSource.h"

namespace nimbrel {

inline constexpr const char* kDefaultMetarUrl = "https://aviationweather.gov";

class MetarSource : public ObservationSource {
 public:
  // Seconds since 1970; a test gives its own.
  using Clock = std::function<std::int64_t()>;

  static constexpr int kStationLimitSeconds = 60;
  static constexpr int kRequestsPerMinute = 100;
  static constexpr int kBackOffSeconds = 60;

  explicit MetarSource(AsyncPageFetcher& fetcher, Clock clock = {});

  std::string baseUrl = kDefaultMetarUrl;
  void setClock(Clock newClock) { clock = std::move(newClock); }

  // "{base}/api/data/metar?ids=ICAO&format=json" and "&hours=N" when hours > 0.
  std::string url(const std::string& icao, int hours) const;

  std::unique_ptr<FetchTicket> requestPastHours(const Station& station, int hours, Done done) override;
  std::unique_ptr<FetchTicket> requestNewest(const Station& station, bool opening, Done done) override;
  bool checksBeforeOpening() const override { return false; }
  int minimumRefreshMinutes() const override { return 5; }
  std::string name() const override { return "live METAR"; }

  // What an answer of the service gives (public for tests).
  static PageReading readAnswer(const Station& station, const FetchResult& fetched);

 private:
  struct Answer {
    std::int64_t at = 0;
    int hours = 0;
    FetchResult result;
  };

  std::unique_ptr<FetchTicket> request(const Station& station, int hours, Done done);
  std::unique_ptr<FetchTicket> refuse(const Station& station, const std::string& note, Done done);

  AsyncPageFetcher& fetcher;
  Clock clock;
  std::map<std::string, Answer> answers;  // the last answer of each station
  std::deque<std::int64_t> sentTimes;     // requests of the last minute
  std::int64_t pausedUntil = 0;
};

}  // namespace nimbrel
