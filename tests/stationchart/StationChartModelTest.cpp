// The data life of a station's chart: loading the past hours from a real
// local report service, the refresh period and UTC offset, the rows, the
// refresh tick and the export on closing.
#include <gtest/gtest.h>

#include <ctime>
#include <memory>

#include "charts/StationChart.h"
#include "observations/CurlPageFetcher.h"
#include "observations/ReportPageSource.h"
#include "stationchart/StationChartModel.h"
#include "support/FakeUserPort.h"
#include "support/ReadFile.h"
#include "support/ReportPages.h"
#include "support/TempFolder.h"

namespace nimbrel::test {
namespace {

class StationChartModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(service.start());
    source.serviceHost = service.Host();
    station.name = "SAMPLE FIELD";
    station.icao = "TEST";
    station.cd = "ZZ";
    station.latText = "12 34N";
    station.lonText = "056 07W";
    station.elevText = "89";
    station.country = "QQ";
    port.now = AsLocal(2026, 12, 7, 20, 5);
  }

  std::unique_ptr<StationChartModel> Make() {
    return std::make_unique<StationChartModel>(station, settings, source, port, nullptr);
  }

  ReportService service;
  CurlPageFetcher fetcher;
  FakeUserPort port;
  ReportPageSource source{fetcher, port};
  Settings settings;
  Station station;
};

TEST_F(StationChartModelTest, LoadGivesOneRowPerReportOldestFirst) {
  service.SetPage("past+6+hours", ComposePage(Reports(12, 30)));
  const auto model = Make();
  ASSERT_TRUE(model->load());
  EXPECT_TRUE(model->isLoaded());
  ASSERT_EQ(model->chart->getRowCount(), 12);
  EXPECT_EQ(model->refreshMinutes(), 30);
  // The oldest report, 5.5 hours before the newest, comes first.
  EXPECT_EQ(model->chart->getRow(11)[1], "10.00");
  EXPECT_EQ(model->chart->getRow(0)[1], "21.00");
  // currentObservation is the newest report in stored units, and the dial
  // shows its wind.
  EXPECT_DOUBLE_EQ(model->currentObservation.temperature, 10.0);
  EXPECT_NEAR(model->currentObservation.pressure, 16.3, 1e-9);
  EXPECT_EQ(model->currentObservation.observedAt, AsLocal(2026, 12, 7, 17, 53));
  EXPECT_EQ(model->dialDirection, 10.0);
  EXPECT_DOUBLE_EQ(model->dialSpeed, 4.6);
  // The heading, the refresh period on the X axis and the nine detail lines
  // of the newest report on the last series.
  EXPECT_EQ(model->chart->title, "SAMPLE FIELD   ZZ   (12 34N, 056 07W),  elevation 89 m,  QQ");
  EXPECT_EQ(model->chart->series.front().title, "Time (every 30 min)");
  ASSERT_TRUE(model->chart->series.back().detailLines.has_value());
  const TextLines& details = *model->chart->series.back().detailLines;
  ASSERT_EQ(details.size(), 9u);
  EXPECT_EQ(details[0], "DATE: TEST  12/7/2026 UTC, observed 17:53 UTC");
  EXPECT_EQ(details[8], "PRESENT: ");
  EXPECT_EQ(port.waitCount, 0);
  EXPECT_TRUE(port.messages.empty());
}

TEST_F(StationChartModelTest, ThePastHoursComeFromTheSettings) {
  settings.pastHours = 1;
  service.SetPage("past+1+hours", ComposePage(Reports(3, 20)));
  const auto model = Make();
  ASSERT_TRUE(model->load());
  EXPECT_EQ(service.LastHours(), "past 1 hours");
  EXPECT_EQ(model->chart->getRowCount(), 3);
  EXPECT_EQ(model->refreshMinutes(), 20);
}

TEST_F(StationChartModelTest, NoDataFailsWithBothMessagesAndClosesWithoutWork) {
  settings.writeMeteodata = true;
  const auto model = Make();
  EXPECT_FALSE(model->load());
  EXPECT_FALSE(model->isLoaded());
  ASSERT_EQ(port.messages.size(), 2u);
  EXPECT_EQ(port.messages[0].rfind("Sorry, no data available for the Station:\n\nSAMPLE FIELD ZZ TEST", 0), 0u);
  EXPECT_EQ(port.messages[1], "Can not get meteodata for the station: \"SAMPLE FIELD\"");
  EXPECT_EQ(port.waitCount, 0);
  // A window that never opened writes no export.
  TempFolder folder;
  model->close(folder.Path());
  EXPECT_FALSE(std::filesystem::exists(folder / "Meteodata"));
}

TEST_F(StationChartModelTest, OneReportFallsBackToHalfHourlyRefresh) {
  service.SetPage("past+6+hours", ComposePage(Reports(1, 30)));
  const auto model = Make();
  ASSERT_TRUE(model->load());
  EXPECT_EQ(port.messages,
            std::vector<std::string>{"Get only one record from the station \"SAMPLE FIELD\".\nTherefore compelled to "
                                     "set the time-period to 30 mins and the time-delta UTC to 0 hours, sorry."});
  EXPECT_EQ(model->refreshMinutes(), 30);
  EXPECT_EQ(model->utcDeltaHours(), 0);
  EXPECT_EQ(model->chart->getRowCount(), 1);
  EXPECT_EQ(model->refreshIntervalMs(), 30 * 60000);
}

TEST_F(StationChartModelTest, DisplayUnitsWhenMetricStyleIsOff) {
  Observation stored;
  stored.temperature = 20.0;
  stored.pressure = 16.3;
  stored.pressureInches = 30.01;
  stored.windSpeed = 5.0;
  stored.windDirection = 180.0;
  const Observation shown = toDisplayUnits(stored, false);
  EXPECT_DOUBLE_EQ(stored.temperature, 20.0);  // the stored report is unchanged
  EXPECT_EQ(toDisplayUnits(stored, true), stored);

  const auto model = Make();
  settings.metricStyle = false;
  setupStationChart(*model->chart, station, settings, 30);
  model->addObservationToChart(shown);
  const TextLines& row = model->chart->getRow(0);
  EXPECT_EQ(row[1], "68.00");
  EXPECT_EQ(row[2], "30.01");
  EXPECT_EQ(row[3], "11.18");
  EXPECT_EQ(row[4], "-18.00");
  stored.windDirection = 179.9;
  model->addObservationToChart(toDisplayUnits(stored, true));
  EXPECT_EQ(model->chart->getRow(1)[4], "17.99");
  EXPECT_EQ(model->chart->getRow(1)[2], "16.30");
}

TEST_F(StationChartModelTest, PeriodAndDeltaFromTheTwoNewestReports) {
  const auto model = Make();
  const struct {
    std::int64_t newest, older;
    int minutes, delta;
  } cases[] = {
      {AsLocal(2026, 12, 7, 17, 53), AsLocal(2026, 12, 7, 16, 53), 60, 2},
      {AsLocal(2026, 12, 7, 17, 53), AsLocal(2026, 12, 6, 17, 43), 10, 2},
      // 17:53 UTC at 20:05 local: 3 hours would put the newest report in
      // the future, so 2.
      {AsLocal(2026, 12, 7, 17, 53), AsLocal(2026, 12, 7, 17, 23), 30, 2},
      // A report exactly as old as the offset says is not in the future.
      {AsLocal(2026, 12, 7, 18, 5), AsLocal(2026, 12, 7, 17, 5), 60, 2},
      {AsLocal(2026, 12, 7, 18, 6), AsLocal(2026, 12, 7, 17, 6), 60, 1},
      // Same time of day, or a page not newest first: half-hourly, no offset.
      {AsLocal(2026, 12, 7, 17, 53), AsLocal(2026, 12, 6, 17, 53), 30, 0},
      {AsLocal(2026, 12, 7, 17, 23), AsLocal(2026, 12, 7, 17, 53), 30, 0},
  };
  for (const auto& c : cases) {
    model->observations.assign(2, Observation{});
    model->observations[0].observedAt = c.newest;
    model->observations[1].observedAt = c.older;
    EXPECT_EQ(model->computePeriodAndDelta(), c.minutes) << c.newest << " " << c.older;
    EXPECT_EQ(model->refreshMinutes(), c.minutes);
    EXPECT_EQ(model->utcDeltaHours(), c.delta) << c.newest << " " << c.older;
    EXPECT_EQ(model->refreshIntervalMs(), c.minutes * 60000);
  }
}

TEST_F(StationChartModelTest, RowTimesInUtcOrShiftedByTheOffset) {
  service.SetPage("past+6+hours", ComposePage(Reports(2, 30)));
  const auto local = Make();
  ASSERT_TRUE(local->load());
  EXPECT_EQ(local->utcDeltaHours(), 2);
  EXPECT_EQ(local->chart->getRow(1)[0], "19:53");

  settings.timeUtc = true;
  const auto utc = Make();
  ASSERT_TRUE(utc->load());
  EXPECT_EQ(utc->chart->getRow(1)[0], "17:53");
}

TEST_F(StationChartModelTest, EveryRefreshTickAppendsTheMostRecentReportUnderTheSettingsOfTheMoment) {
  service.SetPage("past+6+hours", ComposePage(Reports(3, 20)));
  service.SetPage("most+recent+only", ComposePage(Reports(1, 20)));
  const auto model = Make();
  ASSERT_TRUE(model->load());
  int changes = 0;
  model->onChartChanged = [&] { ++changes; };
  const Observation loaded = model->currentObservation;
  model->refresh();
  // The Parameters dialog switched to UTC: the next row follows.
  settings.timeUtc = true;
  model->refresh();
  ASSERT_EQ(model->chart->getRowCount(), 5);
  EXPECT_EQ(model->chart->getRow(3)[0], "19:53");
  EXPECT_EQ(model->chart->getRow(4)[0], "17:53");
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(model->observations.size(), 1u);
  EXPECT_EQ(model->currentObservation, loaded);
  EXPECT_EQ(port.waitCount, 0);
  EXPECT_EQ(port.waitBegins, 3);
}

TEST_F(StationChartModelTest, ATickWhileANoDataMessageIsOpenDoesNothing) {
  service.SetPage("past+6+hours", ComposePage(Reports(3, 20)));
  const auto model = Make();
  ASSERT_TRUE(model->load());
  int requestsDuringMessage = -1;
  port.onMessage = [&](const std::string&) {
    // This window's timer fires while another window's no-data box is open.
    const int before = service.Requests();
    model->refresh();
    requestsDuringMessage = service.Requests() - before;
  };
  Station other = station;
  other.icao = "NONE";
  EXPECT_FALSE(source.getMeteodata(other, nullptr, "most recent only", 1));
  EXPECT_EQ(requestsDuringMessage, 0);
  EXPECT_EQ(model->chart->getRowCount(), 3);
}

TEST_F(StationChartModelTest, ClosingWritesTheExportOnceWhenTheSettingsAskForIt) {
  service.SetPage("past+6+hours", ComposePage(Reports(2, 30)));
  TempFolder folder;
  const std::filesystem::path exported = folder / "Meteodata" / "12_07_2026_sample field.txt";

  const auto quiet = Make();
  ASSERT_TRUE(quiet->load());
  quiet->close(folder.Path());
  EXPECT_FALSE(std::filesystem::exists(folder / "Meteodata"));

  settings.writeMeteodata = true;
  const auto model = Make();
  ASSERT_TRUE(model->load());
  model->close(folder.Path());
  const std::string text = ReadAll(exported);
  EXPECT_NE(text.find("12/07/2026\t17:53\t10.00\t1016.30\t\t10.00\t\t4.60\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("12/07/2026\t17:23\t11.00\t"), std::string::npos) << text;
  EXPECT_FALSE(model->isLoaded());

  std::filesystem::remove(exported);
  model->close(folder.Path());
  EXPECT_FALSE(std::filesystem::exists(exported)) << "the closing work ran twice";
}

}  // namespace
}  // namespace nimbrel::test
