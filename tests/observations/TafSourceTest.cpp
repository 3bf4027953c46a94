// The live source's forecast: the TAF answer read into a decoded forecast
// (fields, no TAF, answers that cannot be used), and a real request to a
// server on 127.0.0.1.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "observations/CurlPageFetcher.h"
#include "observations/TafSource.h"
#include "reportstore/ReportStore.h"
#include "support/FakePageFetcher.h"
#include "support/LocalHttpServer.h"
#include "support/TempFolder.h"

namespace nimbrel {
namespace {

using test::FailedResult;
using test::PageResult;

// KORD's answer of 2026-05-20 as the Data API gave it
// (api-samples/awc_api_taf_json_KORD_KBOS_KMCI_2026-05-20.json), its
// decoded "fcsts" left out.
const char* kKordAnswer = R"([{"icaoId": "KORD", "dbPopTime": "2026-05-20T08:52:15.598Z",
  "bulletinTime": "2026-05-20T08:52:00.000Z", "issueTime": "2026-05-20T08:52:00.000Z",
  "validTimeFrom": 1779267600, "validTimeTo": 1779364800,
  "rawTAF": "TAF KORD 200852Z 2009/2112 33012KT P6SM BKN035 BKN200 FM201200 03014KT P6SM SCT035 SCT250 FM210100 06008KT P6SM FEW030 BKN250",
  "mostRecent": 1, "remarks": " AMD", "lat": 41.96017, "lon": -87.93161, "elev": 202, "prior": 0,
  "name": "Chicago/O'Hare Intl"}])";

TEST(TafAnswer, ReadsTheTafDecodedOnItsIssueTime) {
  const TafReading reading = readTafAnswer(kKordAnswer);
  ASSERT_TRUE(reading.ok) << reading.note;
  ASSERT_TRUE(reading.forecast.has_value());
  const TafForecast& f = *reading.forecast;
  EXPECT_EQ(f.rawText.rfind("TAF KORD 200852Z 2009/2112", 0), 0u);
  EXPECT_EQ(f.issued, (UtcDateTime{2026, 5, 20, 8, 52}));
  EXPECT_EQ(f.report.station, "KORD");
  // The validity agrees with the service's own Unix times.
  EXPECT_EQ(f.report.validFrom.epochMinutes() * 60, 1779267600);
  EXPECT_EQ(f.report.validTo.epochMinutes() * 60, 1779364800);
  ASSERT_EQ(f.report.groups.size(), 3u);
  EXPECT_EQ(f.hours.size(), 27u);  // 09Z to 12Z the next day
  EXPECT_EQ(f.hours.front().time, (UtcDateTime{2026, 5, 20, 9, 0}));
}

TEST(TafAnswer, WithoutAnIssueTimeTheValidityAnchorsIt) {
  const TafReading reading = readTafAnswer(
      R"([{"validTimeFrom": 1779267600, "rawTAF": "TAF KORD 200852Z 2009/2112 33012KT P6SM BKN035"}])");
  ASSERT_TRUE(reading.ok && reading.forecast) << reading.note;
  EXPECT_EQ(reading.forecast->report.validFrom, (UtcDateTime{2026, 5, 20, 9, 0}));
}

// An answer without a TAF clears the strip (ok, no forecast); one that
// cannot be used is a failure, which keeps what was shown.
TEST(TafAnswer, AnswersWithoutAUsableTaf) {
  FetchResult noContent = PageResult("");
  noContent.httpStatus = 204;
  const struct {
    const char* what;
    FetchResult fetched;
    bool ok;
    bool cancelled;
  } cases[] = {
      {"no TAF", PageResult("[]"), true, false},
      {"unknown station", noContent, true, false},
      {"NIL", PageResult(R"([{"issueTime": "2026-05-20T08:52:00.000Z", "rawTAF": "TAF KORD 200852Z NIL"}])"), true,
       false},
      {"not JSON", PageResult("<html>busy</html>"), false, false},
      {"JSON cut short", PageResult(std::string(kKordAnswer).substr(0, 120)), false, false},
      {"an object, not an array", PageResult(R"({"rawTAF": "TAF KORD"})"), false, false},
      {"missing rawTAF", PageResult(R"([{"icaoId": "KORD", "issueTime": "2026-05-20T08:52:00.000Z"}])"), false,
       false},
      {"rawTAF not text", PageResult(R"([{"rawTAF": 42, "issueTime": "2026-05-20T08:52:00.000Z"}])"), false, false},
      {"no time at all", PageResult(R"([{"rawTAF": "TAF KORD 200852Z 2009/2112 33012KT P6SM BKN035"}])"), false,
       false},
      {"a validity past the year 9999",
       PageResult(R"([{"validTimeFrom": 67767976234742400, "rawTAF": "TAF KORD 200852Z 2009/2112 33012KT P6SM"}])"),
       false, false},
      {"nested too deep", PageResult(std::string(5000, '[') + std::string(5000, ']')), false, false},
      {"not a TAF", PageResult(R"([{"rawTAF": "HELLO WORLD", "issueTime": "2026-05-20T08:52:00.000Z"}])"), false,
       false},
      {"server error", FailedResult(FetchStatus::kHttpError, "HTTP status 500", 0, 500), false, false},
      {"timed out", FailedResult(FetchStatus::kTimedOut, "Operation timed out", 20), false, false},
      {"cancelled", FailedResult(FetchStatus::kCancelled), false, true},
  };
  for (const auto& c : cases) {
    const TafReading reading = TafSource::readAnswer(c.fetched);
    EXPECT_EQ(reading.ok, c.ok) << c.what;
    EXPECT_EQ(reading.cancelled, c.cancelled) << c.what;
    EXPECT_FALSE(reading.forecast.has_value()) << c.what;
    EXPECT_EQ(reading.note.empty(), c.ok || c.cancelled) << c.what << ": " << reading.note;
  }
}

TEST(TafAnswer, IsoTimes) {
  EXPECT_EQ(parseIsoTime("2026-05-20T08:52:00.000Z"), (UtcDateTime{2026, 5, 20, 8, 52}));
  EXPECT_EQ(parseIsoTime("2026-12-31 23:59"), (UtcDateTime{2026, 12, 31, 23, 59}));
  for (const char* bad : {"", "2026-05-20", "2026-02-30T08:52:00Z", "2026/05/20T08:52", "20260520T0852"})
    EXPECT_FALSE(parseIsoTime(bad).has_value()) << bad;
}

// Real fetches, answered once the test asks: fetchAsync never calls done
// itself, as the program's threaded fetcher.
class BlockingAsyncFetcher : public AsyncPageFetcher {
 public:
  std::unique_ptr<FetchTicket> start(const std::string& url, int size, Work work) override {
    waiting.push_back(work(curl.fetch(url, size, nullptr)));
    return nullptr;
  }
  std::unique_ptr<FetchTicket> post(std::function<void()> done) override {
    waiting.push_back(std::move(done));
    return nullptr;
  }
  void deliverAll() {
    auto now = std::move(waiting);
    for (auto& done : now) done();
  }

 private:
  CurlPageFetcher curl;
  std::vector<std::function<void()>> waiting;
};

TEST(TafSourceFetch, AsksTheServiceForTheStationsTafAndDecodesIt) {
  test::LocalHttpServer server;
  std::vector<std::string> asked;
  server.Server().Get("/api/data/taf", [&asked](const httplib::Request& request, httplib::Response& response) {
    asked.push_back(request.get_param_value("ids") + " " + request.get_param_value("format"));
    response.set_content(request.get_param_value("ids") == "KORD" ? kKordAnswer : "[]", "application/json");
  });
  ASSERT_TRUE(server.start());
  BlockingAsyncFetcher fetcher;
  TafSource source(fetcher, [] { return std::int64_t{1779267600}; });
  source.baseUrl = server.Url("/");
  EXPECT_EQ(source.url("KORD"), server.Url("/api/data/taf?ids=KORD&format=json"));

  std::vector<TafReading> readings;
  Station station;
  for (const char* icao : {"KORD", "KXYZ"}) {
    station.icao = icao;
    source.request(station, [&readings](TafReading reading) { readings.push_back(std::move(reading)); });
  }
  EXPECT_TRUE(readings.empty()) << "answered inside request";
  fetcher.deliverAll();
  server.stop();
  EXPECT_EQ(asked, (std::vector<std::string>{"KORD json", "KXYZ json"}));
  ASSERT_EQ(readings.size(), 2u);
  ASSERT_TRUE(readings[0].ok && readings[0].forecast) << readings[0].note;
  EXPECT_EQ(readings[0].forecast->report.station, "KORD");
  EXPECT_TRUE(readings[1].ok);
  EXPECT_FALSE(readings[1].forecast.has_value());
}

// The TAFs valid at a past instant: a TAF and the amendment that replaced
// it, with a NIL and an unreadable one left out.
const char* kPastAnswer = R"([
  {"issueTime": "2026-05-20T08:52:00.000Z", "rawTAF": "TAF KORD 200852Z 2009/2112 33012KT P6SM BKN035"},
  {"issueTime": "2026-05-20T11:30:00.000Z", "rawTAF": "TAF AMD KORD 201130Z 2012/2112 33012KT 3SM BR OVC008"},
  {"issueTime": "2026-05-20T10:00:00.000Z", "rawTAF": "TAF KORD 201000Z NIL"},
  {"issueTime": "2026-05-20T10:00:00.000Z", "rawTAF": "HELLO WORLD"}])";

TEST(TafAnswer, APastAnswerGivesEveryTafThatForecasts) {
  const PastTafReading reading = readTafAnswers(kPastAnswer);
  ASSERT_TRUE(reading.ok) << reading.note;
  ASSERT_EQ(reading.forecasts.size(), 2u);
  EXPECT_EQ(reading.forecasts[0].issued, (UtcDateTime{2026, 5, 20, 8, 52}));
  EXPECT_EQ(reading.forecasts[1].issued, (UtcDateTime{2026, 5, 20, 11, 30}));
  EXPECT_TRUE(reading.forecasts[1].report.amended);
  EXPECT_TRUE(readTafAnswers("[]").ok);
  for (const char* bad : {"<html>busy</html>", R"({"rawTAF": "TAF KORD"})", "[{"}) {
    const PastTafReading failed = readTafAnswers(bad);
    EXPECT_FALSE(failed.ok) << bad;
    EXPECT_FALSE(failed.note.empty()) << bad;
  }
}

// A past instant is asked for once a run, its TAFs kept in the store; past
// the minute's share the source refuses without asking.
TEST(TafSourceFetch, AsksForThePastTafsOnceAndKeepsThem) {
  test::LocalHttpServer server;
  std::vector<std::string> dates;
  server.Server().Get("/api/data/taf", [&dates](const httplib::Request& request, httplib::Response& response) {
    dates.push_back(request.get_param_value("date"));
    if (request.get_param_value("date") == "2026-05-20T09:00:00Z")
      response.set_content(kPastAnswer, "application/json");
    else
      response.set_content("[]", "application/json");
  });
  ASSERT_TRUE(server.start());
  test::TempFolder folder;
  auto store = std::make_shared<ReportStore>(folder.Path() / "reports.sqlite");
  BlockingAsyncFetcher fetcher;
  std::int64_t now = 1779300000;
  TafSource source(fetcher, [&now] { return now; });
  source.baseUrl = server.Url("/");
  source.setStore(store);
  const std::int64_t nine = 1779267600;  // 2026-05-20T09:00Z
  EXPECT_EQ(source.url("KORD", nine + 59), server.Url("/api/data/taf?ids=KORD&format=json&date=2026-05-20T09%3A00%3A00Z"));

  Station station;
  station.icao = "KORD";
  std::vector<PastTafReading> readings;
  auto keep = [&readings](PastTafReading reading) { readings.push_back(std::move(reading)); };
  EXPECT_FALSE(source.wasAsked("KORD", nine));
  source.requestValidAt(station, nine, keep);
  EXPECT_TRUE(source.wasAsked("KORD", nine));
  EXPECT_FALSE(source.wasAsked("KORD", nine + 3600));
  EXPECT_FALSE(source.wasAsked("KJFK", nine));
  for (int hour = 1; hour < TafSource::kPastRequestsPerMinute + 1; ++hour)
    source.requestValidAt(station, nine + hour * 3600, keep);
  EXPECT_TRUE(readings.empty()) << "answered inside the request";
  fetcher.deliverAll();
  ASSERT_EQ(readings.size(), static_cast<std::size_t>(TafSource::kPastRequestsPerMinute) + 1);
  ASSERT_TRUE(readings[0].ok) << readings[0].note;
  EXPECT_EQ(readings[0].forecasts.size(), 2u);
  EXPECT_TRUE(readings[1].ok && readings[1].forecasts.empty());
  EXPECT_FALSE(readings.back().ok) << "one more than the minute allows";
  EXPECT_FALSE(source.wasAsked("KORD", nine + TafSource::kPastRequestsPerMinute * 3600)) << "refused, not asked";
  EXPECT_EQ(dates.size(), static_cast<std::size_t>(TafSource::kPastRequestsPerMinute));
  EXPECT_EQ(dates[0], "2026-05-20T09:00:00Z");
  EXPECT_EQ(dates[1], "2026-05-20T10:00:00Z");
  // A minute on, the source asks again.
  now += 60;
  source.requestValidAt(station, nine - 3600, keep);
  fetcher.deliverAll();
  EXPECT_TRUE(readings.back().ok);
  server.stop();

  const std::vector<StoredForecast> stored = store->forecasts("KORD", 0, now);
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[0].issuedAt, nine - 8 * 60);
  EXPECT_EQ(stored[1].issuedAt, 1779276600);  // the amendment, 11:30
  EXPECT_TRUE(stored[1].raw.starts_with("TAF AMD KORD 201130Z"));
}

}  // namespace
}  // namespace nimbrel
