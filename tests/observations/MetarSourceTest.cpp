// The live METAR source above the fetcher: its URL, how it reads the
// service's answers, and the service's limits kept with a clock of the
// test's own (one request a station a minute, answers reused within it,
// a hundred a minute in all, a pause after "too many requests").
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "observations/MetarSource.h"
#include "observations/MetarObservation.h"
#include "reportstore/ReportStore.h"
#include "support/DeferredFetcher.h"
#include "support/TempFolder.h"

namespace nimbrel {
namespace {

using test::DeferredFetcher;
using test::FailedResult;
using test::PageResult;
using test::TempFolder;

// 2026-12-07 17:53 UTC and a report of that time.
constexpr std::int64_t kObserved = 1796665980;
const char* kAnswer = R"([{"rawOb": "KXYZ 071753Z 16009KT 10SM FEW120 12/M04 A3001", "obsTime": 1796665980}])";

Station Named(const std::string& icao) {
  Station station;
  station.name = "SAMPLE " + icao;
  station.icao = icao;
  return station;
}

TEST(MetarSourceUrl, BaseWithoutTrailingSlashesAndTheHoursOnlyWhenAsked) {
  DeferredFetcher fetcher;
  MetarSource source(fetcher, [] { return kObserved; });
  const struct {
    const char* base;
    const char* icao;
    int hours;
    const char* url;
  } cases[] = {
      {"https://aviationweather.gov", "KXYZ", 0, "https://aviationweather.gov/api/data/metar?ids=KXYZ&format=json"},
      {"http://127.0.0.1:8642//", "KXYZ", 6, "http://127.0.0.1:8642/api/data/metar?ids=KXYZ&format=json&hours=6"},
      {"http://h", "K&Z=", 24, "http://h/api/data/metar?ids=K%26Z%3D&format=json&hours=24"},
  };
  for (const auto& c : cases) {
    source.baseUrl = c.base;
    EXPECT_EQ(source.url(c.icao, c.hours), c.url);
  }
}

TEST(MetarSourceAnswer, EachAnswerGivesReportsOrSaysWhy) {
  FetchResult noContent = PageResult("");
  noContent.httpStatus = 204;
  const struct {
    const char* what;
    FetchResult fetched;
    ReadOutcome outcome;
    int skipped;
  } cases[] = {
      {"a report", PageResult(kAnswer), ReadOutcome::kLoaded, 0},
      {"unknown station", noContent, ReadOutcome::kNoData, 0},
      {"no reports", PageResult("[]"), ReadOutcome::kNoData, 0},
      {"not JSON", PageResult("<html>"), ReadOutcome::kUnreadable, 0},
      {"too many requests", FailedResult(FetchStatus::kHttpError, "HTTP status 429", 0, 429), ReadOutcome::kRateLimited,
       0},
      {"server error", FailedResult(FetchStatus::kHttpError, "HTTP status 500", 0, 500), ReadOutcome::kServiceError, 0},
      {"timed out", FailedResult(FetchStatus::kTimedOut, "Operation timed out", 20), ReadOutcome::kTimedOut, 0},
      // A time past the year 9999, or days ahead: the server's fault, not a report.
      {"impossible time", PageResult(R"([{"rawOb": "KXYZ 071753Z 16009KT 10SM 12/M04 A3001", "obsTime": 67767976234742400}])"),
       ReadOutcome::kNoData, 1},
      {"two days ahead", PageResult(R"([{"rawOb": "KXYZ 091753Z 16009KT 10SM 12/M04 A3001", "obsTime": 1796838780}])"),
       ReadOutcome::kNoData, 1},
      {"nested too deep", PageResult(std::string(100000, '[') + std::string(100000, ']')), ReadOutcome::kUnreadable, 0},
      {"larger than an answer can be", PageResult("[" + std::string(5 << 20, ' ') + "]"), ReadOutcome::kUnreadable, 0},
  };
  for (const auto& c : cases) {
    const PageReading reading = MetarSource::readAnswer(c.fetched, kObserved + 60);
    EXPECT_EQ(reading.outcome, c.outcome) << c.what;
    EXPECT_EQ(reading.skippedReports, c.skipped) << c.what;
    if (c.outcome == ReadOutcome::kLoaded) {
      ASSERT_EQ(reading.observations.size(), 1u) << c.what;
      EXPECT_EQ(reading.observations[0].temperature, 12.0) << c.what;
      EXPECT_FALSE(reading.observations[0].rawReport.empty()) << c.what;
    }
  }
}

class MetarSourceLimits : public ::testing::Test {
 protected:
  // Asks for the station's hours (0: the newest report) and answers it:
  // a download with `answer`, or what the source knew without one.
  // Returns the reading and whether a download was asked for.
  std::pair<PageReading, bool> Ask(const std::string& icao, int hours, const FetchResult& answer = PageResult(kAnswer)) {
    const std::size_t before = fetcher.urls.size();
    std::optional<PageReading> got;
    auto done = [&got](PageReading reading) { got = std::move(reading); };
    const auto ticket = hours > 0 ? source.requestPastHours(Named(icao), hours, done)
                                  : source.requestNewest(Named(icao), false, done);
    EXPECT_FALSE(got.has_value()) << "answered inside the request";
    fetcher.deliverNext(answer);
    EXPECT_TRUE(got.has_value());
    return {got.value_or(PageReading{}), fetcher.urls.size() > before};
  }

  std::int64_t now = kObserved + 600;
  DeferredFetcher fetcher;
  MetarSource source{fetcher, [this] { return now; }};
};

TEST_F(MetarSourceLimits, AStationAskedAgainWithinAMinuteIsAnsweredFromTheLastAnswer) {
  const struct {
    int after;  // seconds since the step before
    int hours;
    bool downloads;
  } steps[] = {
      {0, 6, true},
      {10, 0, false},  // the newest report lies in the six hours
      {10, 6, false},  // another chart of the station
      {10, 3, false},
      {10, 24, true},  // more hours than the last answer holds: asked for
      {10, 6, false},  // and that answer serves the minute
      {60, 0, true},
      {10, 6, true},
  };
  int step = 0;
  for (const auto& s : steps) {
    now += s.after;
    const auto [reading, downloaded] = Ask("KXYZ", s.hours);
    EXPECT_EQ(downloaded, s.downloads) << "step " << step;
    EXPECT_TRUE(reading.ok()) << "step " << step;
    ++step;
  }
  // Only the minute's answers are kept.
  Ask("KABC", 6);
  EXPECT_EQ(source.keptAnswers(), 2u);
  now += 60;
  Ask("KDEF", 6);
  EXPECT_EQ(source.keptAnswers(), 1u);
}

TEST_F(MetarSourceLimits, AHundredRequestsAMinuteAndAPauseAfterTooMany) {
  for (int i = 0; i < MetarSource::kRequestsPerMinute; ++i) {
    ASSERT_TRUE(Ask("K" + std::to_string(100 + i), 1).second) << i;
  }
  const auto [refused, asked] = Ask("KNEW", 1);
  EXPECT_FALSE(asked);
  EXPECT_EQ(refused.outcome, ReadOutcome::kRequestLimit);
  now += 60;
  EXPECT_TRUE(Ask("KNEW", 1).second);

  // The service says we asked too often: nobody is asked for a minute.
  now += 60;
  const auto [told, sent] = Ask("KONE", 1, FailedResult(FetchStatus::kHttpError, "HTTP status 429", 0, 429));
  EXPECT_TRUE(sent);
  EXPECT_FALSE(told.ok());
  now += 59;
  const auto [waiting, sentDuringPause] = Ask("KTWO", 1);
  EXPECT_FALSE(sentDuringPause);
  EXPECT_EQ(waiting.outcome, ReadOutcome::kRateLimited);
  now += 1;
  EXPECT_TRUE(Ask("KTWO", 1).second);
  // A failed answer is not reused: the next minute asks again.
  now += 60;
  EXPECT_TRUE(Ask("KONE", 1).second);
}

TEST_F(MetarSourceLimits, ADroppedRequestIsNeverAnswered) {
  bool called = false;
  source.requestPastHours(Named("KXYZ"), 6, [&](PageReading) { called = true; });
  auto cancelled = source.requestNewest(Named("KABC"), true, [&](PageReading) { called = true; });
  cancelled->cancel();
  EXPECT_EQ(fetcher.deliverAll(PageResult(kAnswer)), 0);
  EXPECT_EQ(fetcher.urls.size(), 2u);
  EXPECT_FALSE(called);
}

// With a store: every answer read is kept, a chart opens from the stored
// reports, and the service is asked for the hours the store lacks, all of
// a station's hours only the first time they reach back past what was asked.
TEST_F(MetarSourceLimits, AnswersAreStoredAndOnlyWhatTheStoreLacksIsAsked) {
  TempFolder folder;
  auto store = std::make_shared<ReportStore>(folder / "reports.sqlite");
  source.setStore(store);
  const struct {
    int after;  // seconds since the step before
    int hours;  // the chart's past hours
    const char* asked;
  } steps[] = {
      {0, 6, "&hours=6"},        // never asked: all of them
      {7200, 6, "&hours=3"},     // the newest stored is 2 h 10 min old
      {61, 24, "&hours=24"},     // more hours than were ever asked: once
      {61, 24, "&hours=3"},
      {61, 24 * 30, "&hours=360"},  // no more than the service keeps
  };
  for (const auto& step : steps) {
    now += step.after;
    std::optional<PageReading> got;
    const auto ticket = source.requestLacking(Named("KXYZ"), step.hours, [&](PageReading r) { got = std::move(r); });
    ASSERT_TRUE(fetcher.deliverNext(PageResult(kAnswer)));
    EXPECT_TRUE(got && got->ok()) << step.asked;
    EXPECT_TRUE(fetcher.urls.back().ends_with(step.asked)) << fetcher.urls.back();
  }
  const std::vector<StoredMetar> kept = store->metars("KXYZ", 0, now);
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].observedAt, kObserved);
  EXPECT_EQ(kept[0].raw, "KXYZ 071753Z 16009KT 10SM FEW120 12/M04 A3001");

  // The chart's opening from the store, decoded again, handed over later.
  std::optional<PageReading> stored;
  const auto ticket = source.requestStored(Named("KXYZ"), 6, [&](PageReading r) { stored = std::move(r); });
  ASSERT_NE(ticket, nullptr);
  EXPECT_FALSE(stored.has_value());
  fetcher.deliverNext(FetchResult{});
  ASSERT_TRUE(stored && stored->ok());
  ASSERT_EQ(stored->observations.size(), 1u);
  EXPECT_EQ(stored->observations[0], readMetarAnswer(kAnswer, now).observations.at(0));
  // Without a store there is nothing to open from.
  source.setStore(nullptr);
  EXPECT_EQ(source.requestStored(Named("KXYZ"), 6, [](PageReading) {}), nullptr);
}

}  // namespace
}  // namespace nimbrel
