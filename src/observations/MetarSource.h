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
#include <optional>
#include <string>
#include <vector>

#include "base/Settings.h"
#include "observations/ApiJson.h"
#include "observations/ObservationSource.h"
#include "reportstore/ReportStore.h"

namespace nimbrel {

class MetarSource : public ObservationSource {
 public:
  // Seconds since 1970; a test gives its own.
  using Clock = std::function<std::int64_t()>;

  static constexpr int kStationLimitSeconds = 60;
  static constexpr int kRequestsPerMinute = 100;
  static constexpr int kBackOffSeconds = 60;
  // How far back the service keeps a station's reports.
  static constexpr int kServiceHours = 15 * 24;

  explicit MetarSource(AsyncPageFetcher& fetcher, Clock clock = {});

  std::string baseUrl = kDefaultMetarUrl;
  void setClock(Clock newClock) { clock = std::move(newClock); }
  // Every report read is kept there (on the worker that read it), and
  // charts open from it first. Null: none.
  void setStore(std::shared_ptr<ReportStore> newStore) { store = std::move(newStore); }
  const std::shared_ptr<ReportStore>& reportStore() const { return store; }

  // "{base}/api/data/metar?ids=ICAO&format=json" and "&hours=N" when hours > 0.
  std::string url(const std::string& icao, int hours) const;

  std::unique_ptr<FetchTicket> requestPastHours(const Station& station, int hours, Done done) override;
  std::unique_ptr<FetchTicket> requestNewest(const Station& station, bool opening, Done done) override;
  bool checksBeforeOpening() const override { return false; }
  bool catchesUpAfterGaps() const override { return true; }
  bool isLive() const override { return true; }
  int minimumRefreshMinutes() const override { return 5; }
  std::string name() const override { return "live METAR"; }
  std::string storedName() const override { return "stored METAR"; }
  std::unique_ptr<FetchTicket> requestStored(const Station& station, int hours, Done done) override;
  // The hours since the newest stored report; the first time a station's
  // past hours reach back past what was ever asked, all the hours the
  // service still has, once.
  std::unique_ptr<FetchTicket> requestLacking(const Station& station, int hours, Done done) override;
  // The hours requestLacking asks for, and from when the store then holds
  // every report (when it asks for them all).
  struct Lacking {
    int hours = 0;
    std::optional<std::int64_t> completeFrom;
  };
  Lacking lacking(const Station& station, int hours) const;
  ObservationList storedSince(const Station& station, std::int64_t from) override;
  // A station's stored TAFs issued in [from, to], each decoded at its issue time.
  // The longest a TAF runs: one issued that long before a period may be in
  // force at its start.
  static constexpr std::int64_t kLongestTafSeconds = 30 * 3600;
  static std::vector<IssuedForecast> readStoredForecasts(const ReportStore& store, const std::string& icao,
                                                         std::int64_t from, std::int64_t to);

  // Stored reports (oldest first) as a chart reads them (newest first),
  // each decoded again.
  static PageReading readStored(const Station& station, const std::vector<StoredMetar>& reports);

  // What an answer of the service gives (public for tests). Runs on the
  // worker: reads nothing of the source.
  // `reports` gets the reports read as the store keeps them.
  static PageReading readAnswer(const FetchResult& fetched, std::int64_t now = epochSecondsNow(),
                                std::vector<StoredMetar>* reports = nullptr);
  // Stations whose answer of the last minute is kept for reuse.
  std::size_t keptAnswers() const { return answers.size(); }

 private:
  struct Answer {
    std::int64_t at = 0;
    int hours = 0;
    PageReading reading;
  };

  std::unique_ptr<FetchTicket> request(const Station& station, int hours, Done done,
                                       std::optional<std::int64_t> completeFrom = std::nullopt);
  std::unique_ptr<FetchTicket> refuse(ReadOutcome why, Done done);
  void forgetOldAnswers(std::int64_t now);

  AsyncPageFetcher& fetcher;
  Clock clock;
  std::shared_ptr<ReportStore> store;
  // The last readable answer of each station, only for its minute.
  std::map<std::string, Answer> answers;
  std::deque<std::int64_t> sentTimes;     // requests of the last minute
  std::int64_t pausedUntil = 0;
};

}  // namespace nimbrel
