// Asking for a station's report page and reading it: the URL, the read
// buffer, the failure texts, and the answer that comes only later.
#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "observations/CurlPageFetcher.h"
#include "observations/ReportPageSource.h"
#include "support/DeferredFetcher.h"
#include "support/ReadFile.h"
#include "support/ReportPages.h"
#include "support/SampleField.h"

namespace nimbrel {
namespace {

using test::DeferredFetcher;
using test::FailedResult;
using test::PageResult;

using test::SampleField;

TEST(MeteodataUrl, ValuesArePercentEncodedAndPlusStays) {
  const struct {
    const char* icao;
    const char* hours;
    const char* query;
  } cases[] = {
      {"KXYZ", "past+6+hours", "metarIds=KXYZ&hoursStr=past+6+hours&"},
      {"KXYZ", "most recent only", "metarIds=KXYZ&hoursStr=most%20recent%20only&"},
      {"K&Z=", "x#y", "metarIds=K%26Z%3D&hoursStr=x%23y&"},
      {"A/B?", "100%", "metarIds=A%2FB%3F&hoursStr=100%25&"},
      {"\xC9t\xE9", "-_.~", "metarIds=%C9t%E9&hoursStr=-_.~&"},
      {"", "", "metarIds=&hoursStr=&"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(meteodataUrl("127.0.0.1:8642", c.icao, c.hours),
              std::string("http://127.0.0.1:8642/weather/surface/index.php?") + c.query +
                  "std_trans=translated&num_metars=number&submit_metars=Retrieve")
        << c.icao << " " << c.hours;
  }
}

TEST(MeteodataUrl, BufferSizeGrowsWithTheHoursWithoutOverflowing) {
  const std::pair<int, int> cases[] = {{1, 70000}, {2, 90000}, {6, 170000}, {INT_MAX, INT_MAX}, {-10, -150000}};
  for (const auto& [hours, size] : cases) EXPECT_EQ(meteodataBufferSize(hours), size) << hours;
}

std::string BadDatePage() {
  std::string second = test::ReadFixture("report_example.html");
  second.replace(second.find("4/5/2005"), 8, "13/5/2005");
  return test::ReadFixture("report_example.html") + second;
}

TEST(ReadPageResult, EachEndGivesItsOutcome) {
  const std::string page = test::ReadFixture("report_example.html");
  FetchResult pageWithError = PageResult(page);
  pageWithError.status = FetchStatus::kHttpError;
  pageWithError.httpStatus = 500;
  const struct {
    const char* what;
    FetchResult fetched;
    ReadOutcome outcome;
    std::string detail;
    int timeoutSeconds;
    std::size_t observations;
  } cases[] = {
      {"two reports", PageResult(page + page), ReadOutcome::kLoaded, "", 0, 2},
      {"timed out", FailedResult(FetchStatus::kTimedOut, "Operation timed out", 20), ReadOutcome::kTimedOut, "", 20, 0},
      {"total limit", FailedResult(FetchStatus::kTimedOut, "Operation timed out", 120), ReadOutcome::kTimedOut, "", 120,
       0},
      {"refused", FailedResult(FetchStatus::kUnreachable, "Couldn't connect to server"), ReadOutcome::kUnreachable,
       "Couldn't connect to server", 0, 0},
      {"cancelled", FailedResult(FetchStatus::kCancelled, "Callback aborted"), ReadOutcome::kCancelled, "", 0, 0},
      // Reports on an error page are not trusted.
      {"HTTP 500", pageWithError, ReadOutcome::kNoData, "", 0, 0},
      {"too large", FailedResult(FetchStatus::kTooLarge, "larger than 64 bytes"), ReadOutcome::kNoData, "", 0, 0},
      {"failed", FailedResult(FetchStatus::kFailed, "Maximum (10) redirects followed"), ReadOutcome::kNoData, "", 0, 0},
      {"empty page", PageResult(""), ReadOutcome::kNoData, "", 0, 0},
      {"no reports", PageResult("<P>Sorry</P>"), ReadOutcome::kNoData, "", 0, 0},
      {"bare page", PageResult("<HTML></HTML>"), ReadOutcome::kNoData, "", 0, 0},
      // A bad date part way: what came before it is not shown as the page.
      {"bad date", PageResult(BadDatePage()), ReadOutcome::kNoData, "", 0, 0},
  };
  for (const auto& c : cases) {
    const PageReading reading = readPageResult(SampleField(), c.fetched);
    EXPECT_EQ(reading.outcome, c.outcome) << c.what;
    EXPECT_EQ(reading.detail, c.detail) << c.what;
    EXPECT_EQ(reading.timeoutSeconds, c.timeoutSeconds) << c.what;
    EXPECT_EQ(reading.observations.size(), c.observations) << c.what;
  }
}

class ReportPageSourceTest : public ::testing::Test {
 protected:
  DeferredFetcher fetcher;
  ReportPageSource source{fetcher};
  const Station station = SampleField();
};

TEST_F(ReportPageSourceTest, AsksForThePeriodAndAnswersOnlyWhenTheDownloadIsDone) {
  source.serviceHost = "127.0.0.1:8123";
  std::optional<PageReading> got;
  const auto ticket = source.request(station, "past+6+hours", 6, [&](PageReading reading) { got = reading; });
  EXPECT_EQ(fetcher.urls, std::vector<std::string>{meteodataUrl("127.0.0.1:8123", "KXYZ", "past+6+hours")});
  EXPECT_EQ(fetcher.sizes, std::vector<int>{170000});
  EXPECT_FALSE(got.has_value()) << "answered before the download came";

  ASSERT_TRUE(fetcher.deliverNext(test::ReadFixture("report_example.html")));
  ASSERT_TRUE(got.has_value());
  EXPECT_TRUE(got->ok());
  ASSERT_EQ(got->observations.size(), 1u);
  EXPECT_EQ(got->observations[0].source.reportText, "KXYZ 051753Z 16009KT 10SM -RA FEW120 12/M04 A3001");

  // The station is the one asked for, even when the caller's copy changed.
  Station changing = station;
  got.reset();
  const auto second = source.request(changing, "most+recent+only", 1, [&](PageReading reading) { got = reading; });
  changing.name = "ELSEWHERE";
  EXPECT_EQ(fetcher.sizes.back(), 70000);
  ASSERT_TRUE(fetcher.deliverNext(PageResult("")));
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->outcome, ReadOutcome::kNoData);
}

TEST_F(ReportPageSourceTest, ADroppedOrCancelledRequestNeverAnswers) {
  int answers = 0;
  source.request(station, "most+recent+only", 1, [&](PageReading) { ++answers; });  // dropped at once
  auto cancelled = source.request(station, "most+recent+only", 1, [&](PageReading) { ++answers; });
  cancelled->cancel();
  auto kept = source.request(station, "most+recent+only", 1, [&](PageReading) { ++answers; });
  EXPECT_EQ(fetcher.deliverAll(PageResult(test::ReadFixture("report_example.html"))), 1);
  EXPECT_EQ(answers, 1);
  EXPECT_EQ(fetcher.dropped, 2);
}

// The whole way through a real HTTP server: the service reads back the
// values exactly as they were given, and the page's reports arrive.
TEST(ReportPageSourceOverHttp, TheServiceReadsTheValuesAsGivenAndItsPageIsRead) {
  test::ReportService service;
  ASSERT_TRUE(service.start());
  service.SetPage("most recent only", test::ComposePage(test::Reports(3, 30)));
  CurlPageFetcher fetcher;
  Station station = SampleField();
  station.icao = "K&Z=#";
  auto read = [&](const std::string& hoursStr, int hours) {
    return readPageResult(station, fetcher.fetch(meteodataUrl(service.Host(), station.icao, hoursStr),
                                                 meteodataBufferSize(hours)));
  };

  const PageReading latest = read("most recent only", 1);
  ASSERT_TRUE(latest.ok());
  EXPECT_EQ(service.LastStation(), "K&Z=#");
  EXPECT_EQ(service.LastHours(), "most recent only");
  ASSERT_EQ(latest.observations.size(), 3u);
  EXPECT_DOUBLE_EQ(latest.observations[0].temperature, 10.0);
  EXPECT_DOUBLE_EQ(latest.observations[2].temperature, 12.0);
  EXPECT_EQ(latest.observations[1].observedAt, test::AtUtc(2026, 12, 7, 17, 23));

  // "+" is the service's blank.
  const PageReading past = read("past+6+hours", 6);
  EXPECT_FALSE(past.ok());
  EXPECT_EQ(service.LastHours(), "past 6 hours");
  EXPECT_EQ(service.Requests(), 2);
  EXPECT_EQ(past.outcome, ReadOutcome::kNoData);
}

}  // namespace
}  // namespace nimbrel
