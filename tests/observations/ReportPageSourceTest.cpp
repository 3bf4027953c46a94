#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "observations/ReportPageSource.h"
#include "base/PageFetcher.h"
#include "support/FakeMainFrame.h"

namespace nimbrel {
namespace {

class ScriptedFetcher : public PageFetcher {
 public:
  std::string fetch(const std::string& url, int readBufferSize) override {
    urls.push_back(url);
    sizes.push_back(readBufferSize);
    return page;
  }
  std::string page;
  std::vector<std::string> urls;
  std::vector<int> sizes;
};

std::string ExamplePage() {
  std::ifstream in(std::string(NIMBREL_FIXTURES_DIR) + "/report_example.html", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

Station Station() {
  Station station;
  station.name() = "SAMPLE FIELD";
  station.cd() = "ZZ";
  station.icao() = "KXYZ";
  station.latText() = "12 34N";
  station.lonText() = "056 07W";
  station.elevText() = "89";
  station.cy() = "QQ";
  return station;
}

const char* kNoData = "Sorry, no data available for the Station:\n\nSAMPLE FIELD ZZ KXYZ   (12 34N, 056 07W),  "
                      "Elevation: 89 m,  QQ.";

TEST(getMeteodata, BuildsTheUrlAndBufferAndFillsTheArray) {
  ScriptedFetcher fetcher;
  fetcher.page = ExamplePage() + ExamplePage();
  test::FakeMainFrame frame;
  const Station station = Station();
  ObservationList observations;
  Observation stale;
  stale.reportText = "stale";
  observations.add(stale);

  EXPECT_TRUE(getMeteodata(fetcher, frame, "127.0.0.1:8642", &station, &observations, "past+6+hours", 6));
  ASSERT_EQ(fetcher.urls.size(), 1u);
  EXPECT_EQ(fetcher.urls[0],
            "http://127.0.0.1:8642/weather/surface/index.php?metarIds=KXYZ&hoursStr=past+6+hours"
            "&std_trans=translated&num_metars=number&submit_metars=Retrieve");
  EXPECT_EQ(fetcher.sizes[0], 170000);
  ASSERT_EQ(observations.getSize(), 2);
  EXPECT_EQ(observations.getAt(0).reportText, "KXYZ 051753Z 16009KT 10SM -RA FEW120 12/M04 A3001");
  EXPECT_TRUE(frame.messages.empty());
  EXPECT_FALSE(isMeteodataBusy());

  // Without an output array the page is only tested.
  EXPECT_TRUE(getMeteodata(fetcher, frame, "h", &station, nullptr, "most recent only", 1));
  EXPECT_EQ(fetcher.sizes[1], 70000);
  EXPECT_NE(fetcher.urls[1].find("hoursStr=most recent only&"), std::string::npos);
}

TEST(getMeteodata, NoDataShowsTheHeadingAndReturnsFalse) {
  ScriptedFetcher fetcher;
  test::FakeMainFrame frame;
  const Station station = Station();
  ObservationList observations;
  for (const std::string& page : {std::string(), std::string("<P>Sorry</P>"), std::string("<HTML></HTML>")}) {
    fetcher.page = page;
    frame.messages.clear();
    EXPECT_FALSE(getMeteodata(fetcher, frame, "h", &station, &observations, "most+recent+only", 1));
    ASSERT_EQ(frame.messages.size(), 1u);
    EXPECT_EQ(frame.messages[0], kNoData);
    EXPECT_EQ(observations.getSize(), 0);
  }
  // No output array: the message still comes.
  frame.messages.clear();
  EXPECT_FALSE(getMeteodata(fetcher, frame, "h", &station, nullptr, "most+recent+only", 1));
  EXPECT_EQ(frame.messages.size(), 1u);
}

TEST(getMeteodata, BadDateKeepsEarlierReportsButFails) {
  ScriptedFetcher fetcher;
  std::string second = ExamplePage();
  second.replace(second.find("4/5/2005"), 8, "13/5/2005");
  fetcher.page = ExamplePage() + second;
  test::FakeMainFrame frame;
  const Station station = Station();
  ObservationList observations;
  EXPECT_FALSE(getMeteodata(fetcher, frame, "h", &station, &observations, "past+6+hours", 6));
  EXPECT_EQ(observations.getSize(), 1);
  EXPECT_EQ(frame.messages.size(), 1u);
}

TEST(getMeteodata, BusyFlagStopsReentryWhileTheMessageIsOpen) {
  ScriptedFetcher fetcher;
  test::FakeMainFrame frame;
  const Station station = Station();
  int innerCalls = 0;
  bool innerResult = true;
  bool busyDuringMessage = false;
  frame.onMessage = [&](const std::string&) {
    busyDuringMessage = isMeteodataBusy();
    ++innerCalls;
    ObservationList other;
    fetcher.page = ExamplePage();  // would succeed if it ran
    innerResult = getMeteodata(fetcher, frame, "h", &station, &other, "most+recent+only", 1);
  };
  EXPECT_FALSE(getMeteodata(fetcher, frame, "h", &station, nullptr, "most+recent+only", 1));
  EXPECT_EQ(innerCalls, 1);
  EXPECT_TRUE(busyDuringMessage);
  EXPECT_FALSE(innerResult);
  EXPECT_EQ(fetcher.urls.size(), 1u) << "the re-entered call fetched nothing";
  EXPECT_EQ(frame.messages.size(), 1u) << "the re-entered call showed nothing";
  EXPECT_FALSE(isMeteodataBusy());
  frame.onMessage = nullptr;
  EXPECT_TRUE(getMeteodata(fetcher, frame, "h", &station, nullptr, "most+recent+only", 1));
}

TEST(getMeteodata, NoStationDoesNothing) {
  ScriptedFetcher fetcher;
  test::FakeMainFrame frame;
  EXPECT_FALSE(getMeteodata(fetcher, frame, "h", nullptr, nullptr, "most+recent+only", 1));
  EXPECT_TRUE(fetcher.urls.empty());
  EXPECT_TRUE(frame.messages.empty());
}

TEST(getMeteodata, BufferSizeDoesNotOverflow) {
  EXPECT_EQ(meteodataBufferSize(2), 90000);
  EXPECT_EQ(meteodataBufferSize(INT_MAX), INT_MAX);
  EXPECT_LT(meteodataBufferSize(-10), 0);
}

}  // namespace
}  // namespace nimbrel
