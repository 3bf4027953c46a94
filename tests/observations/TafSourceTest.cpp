// The live source's forecast: the TAF answer read into a decoded forecast
// (fields, no TAF, answers that cannot be used), and a real request to a
// server on 127.0.0.1.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "observations/CurlPageFetcher.h"
#include "observations/TafSource.h"
#include "support/FakePageFetcher.h"
#include "support/LocalHttpServer.h"

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

}  // namespace
}  // namespace nimbrel
