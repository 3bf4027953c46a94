// A station chart's model object, without windows: what it signals while
// it loads, refreshes, goes stale or offline and follows the settings.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <memory>
#include <optional>
#include <vector>

#include "observations/MetarSource.h"
#include "observations/ReportPageSource.h"
#include "reportstore/ReportStore.h"
#include "services/StationChartObject.h"
#include "support/DeferredFetcher.h"
#include "support/FakeUserPort.h"
#include "support/ReportPages.h"
#include "support/TempFolder.h"
#include "support/ZoneScope.h"

namespace nimbrel::test {
namespace {

PageReport At(int hour, int minute) {
  PageReport report;
  report.hour = hour;
  report.minute = minute;
  report.temperature = 12.0;
  return report;
}

class StationChartObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    station.name = "SAMPLE FIELD";
    station.icao = "TEST";
    port.now = AsLocal(2026, 12, 7, 18, 5);
  }

  ZoneScope zone{"UTC"};
  DeferredFetcher fetcher;
  FakeUserPort port;
  ReportPageSource pages{fetcher};
  Settings settings;
  Station station;
};

TEST_F(StationChartObjectTest, LoadedOnceThenChangedByRefreshesAndStateChangedWhileStale) {
  StationChartObject chart(station, settings, pages, port);
  QSignalSpy loaded(&chart, &StationChartObject::loaded);
  QSignalSpy changed(&chart, &StationChartObject::changed);
  QSignalSpy stateChanged(&chart, &StationChartObject::stateChanged);
  std::optional<LoadOutcome> outcome;
  QObject::connect(&chart, &StationChartObject::loaded, [&outcome](const LoadOutcome& o) { outcome = o; });

  chart.load();
  EXPECT_EQ(loaded.count(), 0) << "loaded before the answer came";
  EXPECT_EQ(port.waitCount, 1);
  ASSERT_TRUE(fetcher.deliverNext(ComposePage(Reports(3, 20))));
  EXPECT_EQ(loaded.count(), 1);
  ASSERT_TRUE(outcome.has_value());
  EXPECT_TRUE(outcome->ok);
  EXPECT_EQ(port.waitCount, 0);
  EXPECT_EQ(chart.model().chart->getRowCount(), 3);

  // A newer report: the chart changed, the state did not, nothing loads again.
  changed.clear();
  chart.refresh();
  ASSERT_TRUE(fetcher.deliverNext(ComposePage({At(18, 13)})));
  EXPECT_EQ(chart.model().chart->getRowCount(), 4);
  EXPECT_GE(changed.count(), 1);
  EXPECT_EQ(stateChanged.count(), 0);

  // A failing refresh marks it stale; the next success clears the mark.
  chart.refresh();
  ASSERT_TRUE(fetcher.deliverNext(FailedResult(FetchStatus::kUnreachable, "Couldn't connect")));
  EXPECT_EQ(stateChanged.count(), 1);
  EXPECT_EQ(chart.model().title(), "SAMPLE FIELD (no new report since 18:13 UTC)");
  chart.refresh();
  ASSERT_TRUE(fetcher.deliverNext(ComposePage({At(18, 13)})));
  EXPECT_EQ(stateChanged.count(), 2);
  EXPECT_EQ(chart.model().title(), "SAMPLE FIELD");
  EXPECT_EQ(loaded.count(), 1);
}

TEST_F(StationChartObjectTest, FollowsTheSettingsItWasDrawnWith) {
  StationChartObject chart(station, settings, pages, port);
  chart.load();
  ASSERT_TRUE(fetcher.deliverNext(ComposePage(Reports(3, 20))));
  QSignalSpy changed(&chart, &StationChartObject::changed);
  const struct {
    const char* what;
    void (*edit)(Settings&);
  } cases[] = {
      {"Time UTC on", [](Settings& s) { s.timeUtc = true; }},
      {"the US units", [](Settings& s) { s.units = unitPreset(UnitPreset::kUs); }},
      {"a chart option only", [](Settings& s) { s.showPressure = false; }},
  };
  for (const auto& c : cases) {
    changed.clear();
    c.edit(settings);
    chart.followSettings();
    // Drawn again or not, the view is asked to paint once more.
    EXPECT_GE(changed.count(), 1) << c.what;
  }
  EXPECT_EQ(chart.model().chart->getRowCount(), 3);
}

TEST_F(StationChartObjectTest, DestroyedBeforeTheAnswerTellsNothingAndLeavesNoBusyCursor) {
  int told = 0;
  {
    StationChartObject chart(station, settings, pages, port);
    QObject::connect(&chart, &StationChartObject::loaded, [&told] { ++told; });
    chart.load();
    EXPECT_EQ(port.waitCount, 1);
  }
  EXPECT_EQ(port.waitCount, 0);
  EXPECT_FALSE(fetcher.deliverNext(ComposePage(Reports(3, 20))));
  EXPECT_EQ(told, 0);
}

// Live METAR with a store: the service unreachable, the chart opens from the
// stored report marked offline, its state told before it is loaded.
TEST_F(StationChartObjectTest, OfflineIsAStateChangeBeforeTheLoad) {
  TempFolder folder;
  auto store = std::make_shared<ReportStore>(folder / "reports.sqlite");
  const std::int64_t at = 1796601600 + 17 * 3600 + 33 * 60;  // 2026-12-07 17:33Z
  const std::vector<StoredMetar> stored = {
      StoredMetar{"TEST", at, "TEST 071733Z 16009KT 10SM FEW120 12/M04 A3001", ReportOrigin::kChart, false}};
  ASSERT_TRUE(store->putMetars(stored));
  MetarSource metar(fetcher, [at] { return at + 1800; });
  metar.setStore(store);
  settings.timeUtc = true;
  StationChartObject chart(station, settings, metar, port);
  std::vector<std::string> order;
  QObject::connect(&chart, &StationChartObject::stateChanged, [&order] { order.push_back("state"); });
  QObject::connect(&chart, &StationChartObject::loaded, [&order](const LoadOutcome& o) {
    order.push_back(o.ok ? "loaded" : "failed");
  });

  chart.load();
  for (int i = 0; i < 2 && order.size() < 2; ++i)
    fetcher.deliverNext(i == 0 ? FetchResult{} : FailedResult(FetchStatus::kUnreachable, "Couldn't connect"));
  EXPECT_EQ(order, (std::vector<std::string>{"state", "loaded"}));
  EXPECT_TRUE(chart.model().isOffline());
  EXPECT_EQ(chart.model().title(), "SAMPLE FIELD (offline, newest report 17:33 UTC)");
}

}  // namespace
}  // namespace nimbrel::test
