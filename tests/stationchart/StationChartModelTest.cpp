#include <gtest/gtest.h>

#include <ctime>

#include "catalog/MapProjection.h"
#include "charts/StationChart.h"
#include "observations/CurlPageFetcher.h"
#include "observations/ReportPageSource.h"
#include "stationchart/StationChartModel.h"
#include "support/FakeMainFrame.h"
#include "support/ReportPages.h"

namespace nimbrel::test {
namespace {

class StationSeriesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(service.start());
    catalogue.fetcher = &fetcher;
    catalogue.mainFrame = &frame;
    catalogue.currentRecord = &frame.currentRecord;
    catalogue.stations = &frame.allStations;
    catalogue.serviceHost = service.Host();
    station.name() = "SAMPLE FIELD";
    station.icao() = "TEST";
    station.cd() = "ZZ";
    station.latText() = "12 34N";
    station.lonText() = "056 07W";
    station.elevText() = "89";
    station.cy() = "QQ";
    copyStationFields(frame.currentRecord, station);
    frame.now = AsLocal(2026, 12, 7, 20, 5);
  }

  StationChartModel MakeSeries() { return StationChartModel(catalogue, frame, nullptr); }

  ReportService service;
  CurlPageFetcher fetcher;
  FakeMainFrame frame;
  StationCatalog catalogue;
  Station station;
};

TEST_F(StationSeriesTest, LoadGivesOneRowPerReportOldestFirst) {
  service.SetPage("past+6+hours", ComposePage(Reports(12, 30)));
  StationChartModel series = MakeSeries();
  ASSERT_TRUE(series.create());
  ASSERT_EQ(series.graph->getRowCount(), 12);
  EXPECT_EQ(series.station.refreshMinutes(), 30);
  // The oldest report, 5.5 hours before the newest, comes first.
  EXPECT_EQ(series.graph->getRow(11)[1], "10.00");
  EXPECT_EQ(series.graph->getRow(0)[1], "21.00");
  // currentObservation is the newest report in stored units.
  EXPECT_DOUBLE_EQ(series.currentObservation.temperature, 10.0);
  EXPECT_NEAR(series.currentObservation.pressure, 16.3, 1e-9);
  EXPECT_EQ(series.currentObservation.observedAt, AsLocal(2026, 12, 7, 17, 53));
  // The heading and the nine detail lines on the last series.
  EXPECT_EQ(series.graph->title, "SAMPLE FIELD   ZZ   (12 34N, 056 07W),  elevation 89 m,  QQ");
  ASSERT_TRUE(series.graph->series.back().detailLines.has_value());
  const TextLines& details = *series.graph->series.back().detailLines;
  ASSERT_EQ(details.size(), 9u);
  EXPECT_EQ(details[0], "DATE: TEST  12/7/2026 UTC, observed 17:53 UTC");
  EXPECT_EQ(details[8], "PRESENT: ");
  EXPECT_EQ(frame.waitCount, 0);
}

TEST_F(StationSeriesTest, NoDataFailsTheWindowWithBothMessages) {
  StationChartModel series = MakeSeries();
  EXPECT_FALSE(series.create());
  ASSERT_EQ(frame.messages.size(), 2u);
  EXPECT_EQ(frame.messages[0].rfind("Sorry, no data available for the Station:\n\nSAMPLE FIELD ZZ TEST", 0), 0u);
  EXPECT_EQ(frame.messages[1], "Can not get meteodata for the station: \"SAMPLE FIELD\"");
  // A window that never opened does no closing work.
  frame.openStations.add(station);
  series.destroy(".");
  EXPECT_EQ(frame.openStations.getSize(), 1);
  EXPECT_TRUE(frame.recent.empty());
}

TEST_F(StationSeriesTest, OneReportFallsBackToHalfHourlyRefresh) {
  service.SetPage("past+6+hours", ComposePage(Reports(1, 30)));
  StationChartModel series = MakeSeries();
  ASSERT_TRUE(series.create());
  ASSERT_EQ(frame.messages.size(), 1u);
  EXPECT_EQ(frame.messages[0],
            "Get only one record from the station \"SAMPLE FIELD\".\nTherefore compelled to set the time-period to "
            "30 mins and the time-delta UTC to 0 hours, sorry.");
  EXPECT_EQ(series.station.refreshMinutes(), 30);
  EXPECT_EQ(series.station.utcDeltaHours(), 0);
  EXPECT_EQ(series.graph->getRowCount(), 1);
  EXPECT_EQ(series.refreshIntervalMs(), 30 * 60000);
  EXPECT_EQ(series.graph->series.front().title, "Time (every 30 min)");
}

TEST_F(StationSeriesTest, DisplayUnitsWhenMetricStyleIsOff) {
  Observation stored;
  stored.temperature = 20.0;
  stored.pressure = 16.3;
  stored.pressureInches = 30.01;
  stored.windSpeed = 5.0;
  stored.windDirection = 180.0;
  const Observation shown = toDisplayUnits(stored, false);
  EXPECT_DOUBLE_EQ(stored.temperature, 20.0);  // the stored report is unchanged
  StationChartModel series = MakeSeries();
  series.graph = std::make_unique<Chart>();
  frame.currentRecord.metricStyle() = false;
  setupGraph(*series.graph, series.station, frame.currentRecord);
  series.addObservationToGraph(shown);
  const TextLines& row = series.graph->getRow(0);
  EXPECT_EQ(row[1], "68.00");
  EXPECT_EQ(row[2], "30.01");
  EXPECT_EQ(row[3], "11.18");
  EXPECT_EQ(row[4], "-18.00");
  stored.windDirection = 179.9;
  series.addObservationToGraph(toDisplayUnits(stored, true));
  EXPECT_EQ(series.graph->getRow(1)[4], "17.99");
  EXPECT_EQ(series.graph->getRow(1)[2], "16.30");
}

TEST_F(StationSeriesTest, PeriodAndDeltaFromTheTwoNewestReports) {
  StationChartModel series = MakeSeries();
  auto period = [&](std::int64_t newest, std::int64_t older) {
    series.observations.removeAll();
    Observation o;
    o.observedAt = newest;
    series.observations.add(o);
    o.observedAt = older;
    series.observations.add(o);
    return series.computePeriodAndDelta();
  };
  EXPECT_EQ(period(AsLocal(2026, 12, 7, 17, 53), AsLocal(2026, 12, 7, 16, 53)), 60);
  EXPECT_EQ(period(AsLocal(2026, 12, 7, 17, 53), AsLocal(2026, 12, 6, 17, 43)), 10);
  // Reports 17:53 and 17:23 UTC at 20:05 local: 3 hours would put the
  // newest report in the future, so 2.
  EXPECT_EQ(period(AsLocal(2026, 12, 7, 17, 53), AsLocal(2026, 12, 7, 17, 23)), 30);
  EXPECT_EQ(series.station.utcDeltaHours(), 2);
  // Same time of day, or a page not newest first: half-hourly, no offset.
  EXPECT_EQ(period(AsLocal(2026, 12, 7, 17, 53), AsLocal(2026, 12, 6, 17, 53)), 30);
  EXPECT_EQ(series.station.utcDeltaHours(), 0);
  EXPECT_EQ(period(AsLocal(2026, 12, 7, 17, 23), AsLocal(2026, 12, 7, 17, 53)), 30);
  EXPECT_EQ(series.refreshIntervalMs(), 30 * 60000);
}

TEST_F(StationSeriesTest, RowTimesInUtcOrShiftedByTheOffset) {
  service.SetPage("past+6+hours", ComposePage(Reports(2, 30)));
  StationChartModel local = MakeSeries();
  ASSERT_TRUE(local.create());
  EXPECT_EQ(local.station.utcDeltaHours(), 2);
  EXPECT_EQ(local.graph->getRow(1)[0], "19:53");

  frame.currentRecord.timeUtc() = true;
  StationChartModel utc = MakeSeries();
  ASSERT_TRUE(utc.create());
  EXPECT_EQ(utc.graph->getRow(1)[0], "17:53");
}

TEST_F(StationSeriesTest, EveryRefreshTickAppendsTheMostRecentReport) {
  service.SetPage("past+6+hours", ComposePage(Reports(3, 20)));
  service.SetPage("most+recent+only", ComposePage(Reports(1, 20)));
  StationChartModel series = MakeSeries();
  ASSERT_TRUE(series.create());
  const Observation loaded = series.currentObservation;
  series.onTimer();
  series.onTimer();
  ASSERT_EQ(series.graph->getRowCount(), 5);
  EXPECT_EQ(series.graph->getRow(3)[0], series.graph->getRow(4)[0]);
  EXPECT_EQ(series.observations.getSize(), 1);
  EXPECT_EQ(series.currentObservation, loaded);
  EXPECT_EQ(frame.waitCount, 0);
}

TEST_F(StationSeriesTest, ATickWhileANoDataMessageIsOpenDoesNothing) {
  service.SetPage("past+6+hours", ComposePage(Reports(3, 20)));
  StationChartModel series = MakeSeries();
  ASSERT_TRUE(series.create());
  int requestsDuringMessage = -1;
  frame.onMessage = [&](const std::string&) {
    // Another window's timer fires while the no-data box is open.
    const int before = service.Requests();
    series.onTimer();
    requestsDuringMessage = service.Requests() - before;
  };
  Station other = station;
  other.icao() = "NONE";
  EXPECT_FALSE(catalogue.getMeteodata(&other, nullptr, "most recent only", 1));
  EXPECT_EQ(requestsDuringMessage, 0);
  EXPECT_EQ(series.graph->getRowCount(), 3);
}

TEST_F(StationSeriesTest, ClosingWorkInOrder) {
  service.SetPage("past+6+hours", ComposePage(Reports(2, 30)));
  StationChartModel first = MakeSeries();
  StationChartModel second = MakeSeries();
  ASSERT_TRUE(first.create());
  ASSERT_TRUE(second.create());
  Station other = station;
  other.icao() = "OTHR";
  frame.openStations.add(other);
  frame.openStations.add(station);
  frame.openStations.add(station);
  first.destroy(".");
  EXPECT_EQ(frame.recent, std::vector<std::string>{"SAMPLE FIELD"});
  ASSERT_EQ(frame.openStations.getSize(), 2);
  EXPECT_EQ(frame.openStations.getAt(0).icao(), "OTHR");
  EXPECT_EQ(frame.openStations.getAt(1).icao(), "TEST");
  EXPECT_EQ(first.graph, nullptr);
  second.destroy(".");
  EXPECT_EQ(frame.openStations.getSize(), 1);
}

TEST_F(StationSeriesTest, OpenStationGraphChecksForDataAndRecordsTheWindow) {
  service.SetPage("most recent only", ComposePage(Reports(1, 20)));
  frame.currentRecord.pastHours() = 24;
  Station chosen = station;
  chosen.mapLongitude() = 123.88;
  catalogue.openStationGraph(chosen);
  ASSERT_EQ(frame.windows.size(), 1u);
  EXPECT_EQ(frame.windows[0].kind, 1);
  EXPECT_EQ(frame.windows[0].title, "SAMPLE FIELD");
  EXPECT_EQ(frame.currentRecord.mapLongitude(), 123.88);
  EXPECT_EQ(frame.currentRecord.pastHours(), 24);  // settings untouched
  ASSERT_EQ(frame.openStations.getSize(), 1);
  EXPECT_EQ(frame.recent, std::vector<std::string>{"SAMPLE FIELD"});

  // No data: the no-data message, no window.
  Station silent = station;
  silent.icao() = "NONE";
  silent.name() = "SILENT";
  service.SetPage("most recent only", "<HTML>Sorry</HTML>");
  catalogue.openStationGraph(silent);
  EXPECT_EQ(frame.windows.size(), 1u);
  EXPECT_EQ(frame.openStations.getSize(), 1);
  ASSERT_EQ(frame.messages.size(), 1u);
}

}  // namespace
}  // namespace nimbrel::test
