// Fetching a station's report page and reading it: the URL, the read
// buffer, the no-data message and the guard against a second call while
// the first one's message box is open.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "observations/CurlPageFetcher.h"
#include "observations/ReportPageSource.h"
#include "support/FakePageFetcher.h"
#include "support/FakeUserPort.h"
#include "support/ReadFile.h"
#include "support/ReportPages.h"

namespace nimbrel {
namespace {

using test::FakePageFetcher;
using test::FakeUserPort;

Station SampleField() {
  Station station;
  station.name = "SAMPLE FIELD";
  station.cd = "ZZ";
  station.icao = "KXYZ";
  station.latText = "12 34N";
  station.lonText = "056 07W";
  station.elevText = "89";
  station.country = "QQ";
  return station;
}

const char* kNoData = "Sorry, no data available for the Station:\n\nSAMPLE FIELD ZZ KXYZ   (12 34N, 056 07W),  "
                      "Elevation: 89 m,  QQ.";

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

class ReportPageSourceTest : public ::testing::Test {
 protected:
  FakePageFetcher fetcher;
  FakeUserPort port;
  ReportPageSource source{fetcher, port};
  const Station station = SampleField();
};

TEST_F(ReportPageSourceTest, AsksForThePeriodAndReplacesTheObservations) {
  source.serviceHost = "127.0.0.1:8123";
  fetcher.page = test::ReadFixture("report_example.html") + test::ReadFixture("report_example.html");
  ObservationList observations(3);
  observations[0].reportText = "stale";

  EXPECT_TRUE(source.getMeteodata(station, &observations, "past+6+hours", 6));
  EXPECT_EQ(fetcher.urls, std::vector<std::string>{meteodataUrl("127.0.0.1:8123", "KXYZ", "past+6+hours")});
  EXPECT_EQ(fetcher.sizes, std::vector<int>{170000});
  ASSERT_EQ(observations.size(), 2u);
  EXPECT_EQ(observations[0].reportText, "KXYZ 051753Z 16009KT 10SM -RA FEW120 12/M04 A3001");
  EXPECT_TRUE(port.messages.empty());
  EXPECT_FALSE(source.isBusy());

  // Without a list the page is only tested.
  EXPECT_TRUE(source.getMeteodata(station, nullptr, "most+recent+only", 1));
  EXPECT_EQ(fetcher.sizes.back(), 70000);
}

TEST_F(ReportPageSourceTest, NoDataShowsTheStationsHeadingAndFails) {
  const char* pages[] = {"", "<P>Sorry</P>", "<HTML></HTML>"};
  fetcher.queued.assign(std::begin(pages), std::end(pages));
  for (const char* page : pages) {
    port.messages.clear();
    ObservationList observations(2);
    EXPECT_FALSE(source.getMeteodata(station, &observations, "most+recent+only", 1)) << page;
    EXPECT_EQ(port.messages, std::vector<std::string>{kNoData}) << page;
    EXPECT_TRUE(observations.empty()) << page;
  }
  port.messages.clear();
  EXPECT_FALSE(source.getMeteodata(station, nullptr, "most+recent+only", 1));  // the empty page
  EXPECT_EQ(port.messages, std::vector<std::string>{kNoData});
  EXPECT_EQ(fetcher.urls.size(), 4u);
}

TEST_F(ReportPageSourceTest, ABadDateKeepsTheEarlierReportsButFails) {
  std::string second = test::ReadFixture("report_example.html");
  second.replace(second.find("4/5/2005"), 8, "13/5/2005");
  fetcher.page = test::ReadFixture("report_example.html") + second;
  ObservationList observations;
  EXPECT_FALSE(source.getMeteodata(station, &observations, "past+6+hours", 6));
  EXPECT_EQ(observations.size(), 1u);
  EXPECT_EQ(port.messages, std::vector<std::string>{kNoData});
}

TEST_F(ReportPageSourceTest, ASecondCallWhileTheMessageIsOpenDoesNothing) {
  int innerCalls = 0;
  bool innerResult = true;
  bool busyDuringMessage = false;
  port.onMessage = [&](const std::string&) {
    // A refresh tick of another window fires while the no-data box is open.
    busyDuringMessage = source.isBusy();
    ++innerCalls;
    fetcher.page = test::ReadFixture("report_example.html");  // would succeed if it ran
    ObservationList other;
    innerResult = source.getMeteodata(station, &other, "most+recent+only", 1);
  };
  EXPECT_FALSE(source.getMeteodata(station, nullptr, "most+recent+only", 1));
  EXPECT_EQ(innerCalls, 1);
  EXPECT_TRUE(busyDuringMessage);
  EXPECT_FALSE(innerResult);
  EXPECT_EQ(fetcher.urls.size(), 1u) << "the second call fetched";
  EXPECT_EQ(port.messages.size(), 1u) << "the second call showed a message";
  EXPECT_FALSE(source.isBusy());
  port.onMessage = nullptr;
  EXPECT_TRUE(source.getMeteodata(station, nullptr, "most+recent+only", 1));
}

// The whole way through a real HTTP server: the service reads back the
// values exactly as they were given, and the page's reports arrive.
TEST(ReportPageSourceOverHttp, TheServiceReadsTheValuesAsGivenAndItsPageIsRead) {
  test::ReportService service;
  ASSERT_TRUE(service.start());
  service.SetPage("most recent only", test::ComposePage(test::Reports(3, 30)));
  CurlPageFetcher fetcher;
  FakeUserPort port;
  ReportPageSource source(fetcher, port);
  source.serviceHost = service.Host();

  Station station = SampleField();
  station.icao = "K&Z=#";
  ObservationList observations;
  ASSERT_TRUE(source.getMeteodata(station, &observations, "most recent only", 1));
  EXPECT_EQ(service.LastStation(), "K&Z=#");
  EXPECT_EQ(service.LastHours(), "most recent only");
  ASSERT_EQ(observations.size(), 3u);
  EXPECT_DOUBLE_EQ(observations[0].temperature, 10.0);
  EXPECT_DOUBLE_EQ(observations[2].temperature, 12.0);
  EXPECT_EQ(observations[1].observedAt, test::AsLocal(2026, 12, 7, 17, 23));

  // "+" is the service's blank.
  EXPECT_FALSE(source.getMeteodata(station, &observations, "past+6+hours", 6));
  EXPECT_EQ(service.LastHours(), "past 6 hours");
  EXPECT_EQ(service.Requests(), 2);
  EXPECT_EQ(port.messages.size(), 1u);
}

}  // namespace
}  // namespace nimbrel
