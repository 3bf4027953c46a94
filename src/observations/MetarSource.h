#pragma once
// The live METAR source: the public aviation weather Data API's reports of
// one station, decoded by our own decoder on the worker that downloaded it.
// It keeps the service's limits: a hundred requests a minute in all, a
// minute's pause when the service says we asked too often, and a station's
// answer reused for the minute the service allows it to be cached.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>

#include "observations/ApiJson.h"
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
  bool catchesUpAfterGaps() const override { return true; }
  int minimumRefreshMinutes() const override { return 5; }
  std::string name() const override { return "live METAR"; }

  // What an answer of the service gives (public for tests). Runs on the
  // worker: reads nothing of the source.
  static PageReading readAnswer(const FetchResult& fetched, std::int64_t now = epochSecondsNow());
  // Stations whose answer of the last minute is kept for reuse.
  std::size_t keptAnswers() const { return answers.size(); }

 private:
  struct Answer {
    std::int64_t at = 0;
    int hours = 0;
    PageReading reading;
  };

  std::unique_ptr<FetchTicket> request(const Station& station, int hours, Done done);
  std::unique_ptr<FetchTicket> refuse(ReadOutcome why, Done done);
  void forgetOldAnswers(std::int64_t now);

  AsyncPageFetcher& fetcher;
  Clock clock;
  // The last readable answer of each station, only for its minute.
  std::map<std::string, Answer> answers;
  std::deque<std::int64_t> sentTimes;     // requests of the last minute
  std::int64_t pausedUntil = 0;
};

}  // namespace nimbrel
