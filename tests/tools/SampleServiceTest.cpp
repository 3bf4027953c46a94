#include <gtest/gtest.h>

#include <cmath>

#include <string>

#include "SampleService.h"
#include "observations/CurlPageFetcher.h"
#include "observations/ReportPage.h"
#include "observations/ReportPageSource.h"
#include "observations/ServiceStationList.h"
#include "catalog/StationListReader.h"
#include "support/TempFolder.h"

namespace nimbrel {
namespace {

// The station's page read the way the program reads it, without a thread.
PageReading ReadPage(CurlPageFetcher& fetcher, const std::string& host, const Station& station,
                     const std::string& hoursStr, int hours) {
  return readPageResult(station, fetcher.fetch(meteodataUrl(host, station.icao, hoursStr), meteodataBufferSize(hours)));
}

// Two station lines of the fixed-column list (ICAO at 20, lat at 39, lon at 47).
const char* kList =
    "! comment line\n"
    "NY NYC/JFK ARPT     KJFK  JFK   74486  40 38N  073 46W    9   X     U     A    1 US\n"
    "   FRANKFURT MAIN A EDDF        10637  50 03N  008 36E  113   X     T          6 DE\n"
    "   SOUTH POLE       NZSP        89009  90 00S  000 00E 2835   X                7 AA\n";

TEST(SampleService, ReadsTheStationColumns) {
  const auto stations = sample::readSampleStations(kList);
  ASSERT_EQ(stations.size(), 3u);
  EXPECT_EQ(stations[0].icao, "KJFK");
  EXPECT_NEAR(stations[0].latitude, 40 + 38 / 60.0, 1e-9);
  EXPECT_NEAR(stations[0].longitude, -(73 + 46 / 60.0), 1e-9);
  EXPECT_NEAR(stations[2].latitude, -90, 1e-9);
}

TEST(SampleService, PeriodsAndIntervals) {
  EXPECT_EQ(sample::hoursFromQuery("most+recent+only"), 0);
  EXPECT_EQ(sample::hoursFromQuery("most recent only"), 0);
  EXPECT_EQ(sample::hoursFromQuery("past+6+hours"), 6);
  EXPECT_EQ(sample::hoursFromQuery("past 12 hours"), 12);
  EXPECT_EQ(sample::hoursFromQuery("past+x+hours"), -1);
  EXPECT_EQ(sample::hoursFromQuery(""), -1);

  const sample::SampleStation station{"EDDF", 50.05, 8.6};
  const std::time_t now = 1765000000;
  const int interval = sample::reportIntervalMinutes("EDDF");
  const auto times = sample::reportTimes(station, 6, now);
  ASSERT_EQ(static_cast<int>(times.size()), 6 * 60 / interval);
  EXPECT_LE(times[0], now);
  EXPECT_GT(times[0], now - interval * 60);
  for (std::size_t i = 1; i < times.size(); ++i) EXPECT_EQ(times[i - 1] - times[i], interval * 60);
  EXPECT_EQ(sample::reportTimes(station, 0, now).size(), 1u);
}

// The pages the service writes are read back by the program's parser: the
// right count, newest first at the stations' own interval, plausible values.
TEST(SampleService, RoundTripThroughFetchAndParser) {
  sample::SampleService service(kList);
  const std::time_t now = 1765000000;  // 2025-12-06 05:46:40 UTC
  service.setNow(now);
  ASSERT_TRUE(service.start(0));
  const std::string host = "127.0.0.1:" + std::to_string(service.listeningPort());
  CurlPageFetcher fetcher;

  for (const char* icao : {"KJFK", "EDDF", "NZSP"}) {
    Station station;
    station.icao = icao;
    PageReading past = ReadPage(fetcher, host, station, "past+12+hours", 12);
    ASSERT_TRUE(past.ok()) << icao;
    const ObservationList& observations = past.observations;
    const int interval = sample::reportIntervalMinutes(icao);
    ASSERT_EQ(static_cast<int>(observations.size()), 12 * 60 / interval) << icao;
    for (int i = 0; i < static_cast<int>(observations.size()); ++i) {
      const Observation& o = observations[i];
      if (i > 0) {
        EXPECT_EQ(observations[i - 1].observedAt - o.observedAt, interval * 60);
      }
      EXPECT_GT(o.temperature, -80);
      EXPECT_LT(o.temperature, 50);
      EXPECT_LE(o.dewpoint, o.temperature);
      EXPECT_GT(o.humidity, 0);
      EXPECT_LE(o.humidity, 100);
      EXPECT_GT(o.pressure, 960);
      EXPECT_LT(o.pressure, 1040);
      // A calm or variable wind has no direction: no value (NaN).
      const bool hasDirection = o.source.windsText.find("degrees") != std::string::npos;
      EXPECT_EQ(!std::isnan(o.windDirection), hasDirection) << o.source.windsText;
      if (hasDirection) {
        EXPECT_GE(o.windDirection, 0);
        EXPECT_LE(o.windDirection, 360);
      }
      EXPECT_GT(o.visibility, 0);
      EXPECT_EQ(o.source.reportText.substr(0, 4), icao);
      EXPECT_EQ(o.source.weatherText.empty(), o.source.reportText.find("-RA") == std::string::npos);
    }
    // Its newest report lies within one interval before now.
    const std::int64_t nowMinute = now / 60 * 60;
    EXPECT_LE(observations[0].observedAt, nowMinute);
    EXPECT_GT(observations[0].observedAt, nowMinute - interval * 60);

    const PageReading latest = ReadPage(fetcher, host, station, "most recent only", 1);
    ASSERT_TRUE(latest.ok()) << icao;
    ASSERT_EQ(latest.observations.size(), 1u);
    EXPECT_EQ(latest.observations[0], observations[0]);
  }

  Station unknown;
  unknown.icao = "QQQQ";
  const PageReading none = ReadPage(fetcher, host, unknown, "most+recent+only", 1);
  EXPECT_EQ(none.outcome, ReadOutcome::kNoData);

  EXPECT_EQ(fetcher.fetch("http://" + host + "/weather/surface/stations.txt", 0).body, kList);
}

TEST(SampleService, ValuesBelowOneDegreeSurviveTheRoundTrip) {
  // Scan stations and times until pages carry temperatures in (-1, 1): the
  // writer must put the sign where the reader expects it.
  int checked = 0;
  for (int lat = 30; lat <= 70 && checked < 5; lat += 2) {
    const sample::SampleStation station{"T" + std::to_string(lat), static_cast<double>(lat), 0.0};
    for (std::time_t t = 1765000000; t < 1765000000 + 86400 * 3 && checked < 5; t += 3600) {
      const std::string page = sample::makeReportPage(station, 0, t);
      ObservationList observations;
      ASSERT_EQ(readReportPage(page, &observations), ReportPageStatus::kReports);
      const Observation& o = observations[0];
      if (o.temperature > -1 && o.temperature < 1 && o.temperature != 0) {
        const std::string expected = (o.temperature < 0 ? "-0." : "0.");
        EXPECT_EQ(o.source.temperatureText.substr(0, expected.size()), expected);
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 0);
}

TEST(SampleService, ServesSavedPagesFromAFolder) {
  test::TempFolder pages;
  const std::string page = "<P>saved page for KXYZ</P>";
  pages.Write("KXYZ.html", page);
  sample::SampleService service(kList, pages.Path().string());
  ASSERT_TRUE(service.start(0));
  CurlPageFetcher fetcher;
  const std::string base = "http://127.0.0.1:" + std::to_string(service.listeningPort());
  EXPECT_EQ(fetcher.fetch(base + "/weather/surface/index.php?metarIds=KXYZ&hoursStr=past+6+hours", 0).body, page);
  EXPECT_EQ(fetcher.fetch(base + "/pages/KXYZ.html", 0).body, page);
  // A name that is no ICAO never reaches the file system.
  EXPECT_NE(fetcher.fetch(base + "/weather/surface/index.php?metarIds=../KXYZ&hoursStr=past+6+hours", 0)
                .body.find("Sorry"),
            std::string::npos);
  service.stop();
}

// The service's own station file, made from the list it serves, converts
// back to the same stations: "Update Station List" works offline.
TEST(SampleService, ServesItsListAsTheServicesStationFile) {
  sample::SampleService service(kList);
  ASSERT_TRUE(service.start(0));
  CurlPageFetcher fetcher;
  const FetchResult fetched =
      fetcher.fetch(stationsCacheUrl("http://127.0.0.1:" + std::to_string(service.listeningPort()) + "/"), 0);
  ASSERT_TRUE(fetched.ok()) << fetched.errorText;
  const ServiceStations read = readServiceStations(fetched.body);
  ASSERT_TRUE(read.readable) << read.problem;
  StationList listed;
  parseStationList(kList, listed);
  ASSERT_EQ(read.stations.size(), listed.size());
  for (std::size_t i = 0; i < listed.size(); ++i) {
    const Station& a = read.stations[i];
    const Station& b = listed[i];
    EXPECT_EQ(std::vector<std::string>({a.icao, a.iata, a.cd, a.latText, a.lonText, a.elevText, a.country}),
              std::vector<std::string>({b.icao, b.iata, b.cd, b.latText, b.lonText, b.elevText, b.country}));
  }
  EXPECT_EQ(read.stations[0].name, "NYC/JFK ARPT");
}

}  // namespace
}  // namespace nimbrel
