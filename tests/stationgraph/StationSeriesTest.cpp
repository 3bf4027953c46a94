#include <gtest/gtest.h>

#include <ctime>

#include "catalog/StationCatalog.h"
#include "charts/StationChart.h"
#include "observations/CurlPageFetcher.h"
#include "observations/Meteodata.h"
#include "observations/StationSeries.h"
#include "support/FakeMainFrame.h"
#include "support/ReportPages.h"

namespace nimbrel::test {
namespace {

class StationSeriesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(service.Start());
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
    CopyStationFields(frame.currentRecord, station);
    frame.now = AsLocal(2026, 12, 7, 20, 5);
  }

  CStationSeries MakeSeries() { return CStationSeries(catalogue, frame, nullptr); }

  ReportService service;
  CCurlPageFetcher fetcher;
  FakeMainFrame frame;
  CStationCatalog catalogue;
  CStation station;
};

TEST_F(StationSeriesTest, LoadGivesOneRowPerReportOldestFirst) {
  service.SetPage("past+6+hours", ComposePage(Reports(12, 30)));
  CStationSeries series = MakeSeries();
  ASSERT_TRUE(series.Create());
  ASSERT_EQ(series.graph->GetRowCount(), 12);
  EXPECT_EQ(series.station.refreshMinutes(), 30);
  // The oldest report, 5.5 hours before the newest, comes first.
  EXPECT_EQ(series.graph->GetRow(11)[1], "10.00");
  EXPECT_EQ(series.graph->GetRow(0)[1], "21.00");
  // currentObservation is the newest report in stored units.
  EXPECT_DOUBLE_EQ(series.currentObservation.temperature, 10.0);
  EXPECT_NEAR(series.currentObservation.pressure, 16.3, 1e-9);
  EXPECT_EQ(series.currentObservation.observedAt, AsLocal(2026, 12, 7, 17, 53));
  // The heading and the nine detail lines on the last series.
  EXPECT_EQ(series.graph->title, "SAMPLE FIELD   ZZ   (12 34N, 056 07W),  elevation 89 m,  QQ");
  ASSERT_TRUE(series.graph->series.back().detailLines.has_value());
  const CStringArray& details = *series.graph->series.back().detailLines;
  ASSERT_EQ(details.size(), 9u);
  EXPECT_EQ(details[0], "DATE: TEST  12/7/2026 UTC, observed 17:53 UTC");
  EXPECT_EQ(details[8], "PRESENT: ");
  EXPECT_EQ(frame.waitCount, 0);
}

TEST_F(StationSeriesTest, NoDataFailsTheWindowWithBothMessages) {
  CStationSeries series = MakeSeries();
  EXPECT_FALSE(series.Create());
  ASSERT_EQ(frame.messages.size(), 2u);
  EXPECT_EQ(frame.messages[0].rfind("Sorry, no data available for the Station:\n\nSAMPLE FIELD ZZ TEST", 0), 0u);
  EXPECT_EQ(frame.messages[1], "Can not get meteodata for the station: \"SAMPLE FIELD\"");
  // A window that never opened does no closing work.
  frame.openStations.Add(station);
  series.Destroy(".");
  EXPECT_EQ(frame.openStations.GetSize(), 1);
  EXPECT_TRUE(frame.recent.empty());
}

TEST_F(StationSeriesTest, OneReportFallsBackToHalfHourlyRefresh) {
  service.SetPage("past+6+hours", ComposePage(Reports(1, 30)));
  CStationSeries series = MakeSeries();
  ASSERT_TRUE(series.Create());
  ASSERT_EQ(frame.messages.size(), 1u);
  EXPECT_EQ(frame.messages[0],
            "Get only one record from the station \"SAMPLE FIELD\".\nTherefore compelled to set the time-period to "
            "30 mins and the time-delta UTC to 0 hours, sorry.");
  EXPECT_EQ(series.station.refreshMinutes(), 30);
  EXPECT_EQ(series.station.utcDeltaHours(), 0);
  EXPECT_EQ(series.graph->GetRowCount(), 1);
  EXPECT_EQ(series.RefreshIntervalMs(), 30 * 60000);
  EXPECT_EQ(series.graph->series.front().title, "Time (every 30 min)");
}

TEST_F(StationSeriesTest, DisplayUnitsWhenMetricStyleIsOff) {
  CObservation stored;
  stored.temperature = 20.0;
  stored.pressure = 16.3;
  stored.pressureInches = 30.01;
  stored.windSpeed = 5.0;
  stored.windDirection = 180.0;
  const CObservation shown = ToDisplayUnits(stored, false);
  EXPECT_DOUBLE_EQ(stored.temperature, 20.0);  // the stored report is unchanged
  CStationSeries series = MakeSeries();
  series.graph = std::make_unique<CGraph>();
  frame.currentRecord.metricStyle() = false;
  SetupGraph(*series.graph, series.station, frame.currentRecord);
  series.AddObservationToGraph(shown);
  const CStringArray& row = series.graph->GetRow(0);
  EXPECT_EQ(row[1], "68.00");
  EXPECT_EQ(row[2], "30.01");
  EXPECT_EQ(row[3], "11.18");
  EXPECT_EQ(row[4], "-18.00");
  stored.windDirection = 179.9;
  series.AddObservationToGraph(ToDisplayUnits(stored, true));
  EXPECT_EQ(series.graph->GetRow(1)[4], "17.99");
  EXPECT_EQ(series.graph->GetRow(1)[2], "16.30");
}

TEST_F(StationSeriesTest, PeriodAndDeltaFromTheTwoNewestReports) {
  CStationSeries series = MakeSeries();
  auto period = [&](std::int64_t newest, std::int64_t older) {
    series.observations.RemoveAll();
    CObservation o;
    o.observedAt = newest;
    series.observations.Add(o);
    o.observedAt = older;
    series.observations.Add(o);
    return series.ComputePeriodAndDelta();
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
  EXPECT_EQ(series.RefreshIntervalMs(), 30 * 60000);
}

TEST_F(StationSeriesTest, RowTimesInUtcOrShiftedByTheOffset) {
  service.SetPage("past+6+hours", ComposePage(Reports(2, 30)));
  CStationSeries local = MakeSeries();
  ASSERT_TRUE(local.Create());
  EXPECT_EQ(local.station.utcDeltaHours(), 2);
  EXPECT_EQ(local.graph->GetRow(1)[0], "19:53");

  frame.currentRecord.timeUtc() = true;
  CStationSeries utc = MakeSeries();
  ASSERT_TRUE(utc.Create());
  EXPECT_EQ(utc.graph->GetRow(1)[0], "17:53");
}

TEST_F(StationSeriesTest, EveryRefreshTickAppendsTheMostRecentReport) {
  service.SetPage("past+6+hours", ComposePage(Reports(3, 20)));
  service.SetPage("most+recent+only", ComposePage(Reports(1, 20)));
  CStationSeries series = MakeSeries();
  ASSERT_TRUE(series.Create());
  const CObservation loaded = series.currentObservation;
  series.OnTimer();
  series.OnTimer();
  ASSERT_EQ(series.graph->GetRowCount(), 5);
  EXPECT_EQ(series.graph->GetRow(3)[0], series.graph->GetRow(4)[0]);
  EXPECT_EQ(series.observations.GetSize(), 1);
  EXPECT_EQ(series.currentObservation, loaded);
  EXPECT_EQ(frame.waitCount, 0);
}

TEST_F(StationSeriesTest, ATickWhileANoDataMessageIsOpenDoesNothing) {
  service.SetPage("past+6+hours", ComposePage(Reports(3, 20)));
  CStationSeries series = MakeSeries();
  ASSERT_TRUE(series.Create());
  int requestsDuringMessage = -1;
  frame.onMessage = [&](const std::string&) {
    // Another window's timer fires while the no-data box is open.
    const int before = service.Requests();
    series.OnTimer();
    requestsDuringMessage = service.Requests() - before;
  };
  CStation other = station;
  other.icao() = "NONE";
  EXPECT_FALSE(catalogue.GetMeteodata(&other, nullptr, "most recent only", 1));
  EXPECT_EQ(requestsDuringMessage, 0);
  EXPECT_EQ(series.graph->GetRowCount(), 3);
}

TEST_F(StationSeriesTest, ClosingWorkInOrder) {
  service.SetPage("past+6+hours", ComposePage(Reports(2, 30)));
  CStationSeries first = MakeSeries();
  CStationSeries second = MakeSeries();
  ASSERT_TRUE(first.Create());
  ASSERT_TRUE(second.Create());
  CStation other = station;
  other.icao() = "OTHR";
  frame.openStations.Add(other);
  frame.openStations.Add(station);
  frame.openStations.Add(station);
  first.Destroy(".");
  EXPECT_EQ(frame.recent, std::vector<std::string>{"SAMPLE FIELD"});
  ASSERT_EQ(frame.openStations.GetSize(), 2);
  EXPECT_EQ(frame.openStations.GetAt(0).icao(), "OTHR");
  EXPECT_EQ(frame.openStations.GetAt(1).icao(), "TEST");
  EXPECT_EQ(first.graph, nullptr);
  second.Destroy(".");
  EXPECT_EQ(frame.openStations.GetSize(), 1);
}

TEST_F(StationSeriesTest, OpenStationGraphChecksForDataAndRecordsTheWindow) {
  service.SetPage("most recent only", ComposePage(Reports(1, 20)));
  frame.currentRecord.pastHours() = 24;
  CStation chosen = station;
  chosen.mapLongitude() = 123.88;
  catalogue.OpenStationGraph(chosen);
  ASSERT_EQ(frame.windows.size(), 1u);
  EXPECT_EQ(frame.windows[0].kind, 1);
  EXPECT_EQ(frame.windows[0].title, "SAMPLE FIELD");
  EXPECT_EQ(frame.currentRecord.mapLongitude(), 123.88);
  EXPECT_EQ(frame.currentRecord.pastHours(), 24);  // settings untouched
  ASSERT_EQ(frame.openStations.GetSize(), 1);
  EXPECT_EQ(frame.recent, std::vector<std::string>{"SAMPLE FIELD"});

  // No data: the no-data message, no window.
  CStation silent = station;
  silent.icao() = "NONE";
  silent.name() = "SILENT";
  service.SetPage("most recent only", "<HTML>Sorry</HTML>");
  catalogue.OpenStationGraph(silent);
  EXPECT_EQ(frame.windows.size(), 1u);
  EXPECT_EQ(frame.openStations.GetSize(), 1);
  ASSERT_EQ(frame.messages.size(), 1u);
}

}  // namespace
}  // namespace nimbrel::test
