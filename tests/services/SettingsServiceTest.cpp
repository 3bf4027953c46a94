// The settings' keeping and their signals: what a change tells the views,
// and what a later run reads back.
#include <gtest/gtest.h>

#include <QSettings>
#include <QSignalSpy>

#include "services/SettingsService.h"

namespace nimbrel::test {
namespace {

TEST(SettingsService, TellsEveryChangeAndKeepsTheSourceAddressAndUnits) {
  QSettings().clear();
  SettingsService first;
  QSignalSpy changed(&first, &SettingsService::settingsChanged);
  QSignalSpy sourceChanged(&first, &SettingsService::sourceChanged);
  EXPECT_EQ(first.settings(), Settings{});

  struct Step {
    const char* what;
    void (*edit)(Settings&);
    bool movesTheSource;
  };
  const Step steps[] = {
      {"Time UTC", [](Settings& s) { s.timeUtc = true; }, false},
      {"mixed units", [](Settings& s) {
         s.units = unitPreset(UnitPreset::kMetric);
         s.units.pressure = unitPreset(UnitPreset::kUs).pressure;
       }, false},
      {"the report pages", [](Settings& s) { s.reportSource = ReportSource::kReportPages; }, true},
      {"another address", [](Settings& s) { s.metarUrl = "http://127.0.0.1:9"; }, true},
      {"no aviation panel", [](Settings& s) { s.showAviationPanel = false; }, false},
  };
  for (const Step& step : steps) {
    changed.clear();
    sourceChanged.clear();
    Settings edited = first.settings();
    step.edit(edited);
    first.apply(edited);
    EXPECT_EQ(first.settings(), edited) << step.what;
    EXPECT_EQ(changed.count(), 1) << step.what;
    EXPECT_EQ(sourceChanged.count(), step.movesTheSource ? 1 : 0) << step.what;
  }

  // The next run starts with the source, the address, the units and the
  // aviation panel's switch kept;
  // Time UTC, like every other option, starts from its default.
  first.waitForWrites();
  SettingsService next;
  EXPECT_EQ(next.settings().reportSource, ReportSource::kReportPages);
  EXPECT_EQ(next.settings().metarUrl, "http://127.0.0.1:9");
  EXPECT_EQ(next.settings().units, first.settings().units);
  EXPECT_FALSE(next.settings().timeUtc);
  EXPECT_FALSE(next.settings().showAviationPanel);

  // For this run only: told, not kept.
  QSignalSpy nextSource(&next, &SettingsService::sourceChanged);
  next.setReportSource(ReportSource::kLiveMetar);
  next.setMetarUrl("http://127.0.0.1:10");
  EXPECT_EQ(nextSource.count(), 2);
  SettingsService third;
  EXPECT_EQ(third.settings().reportSource, ReportSource::kReportPages);
  EXPECT_EQ(third.settings().metarUrl, "http://127.0.0.1:9");
}

TEST(SettingsService, AnUnknownStoredSourceNameLeavesTheDefault) {
  QSettings().clear();
  QSettings().setValue(QStringLiteral("Settings/ReportSource"), QStringLiteral("carrier pigeon"));
  SettingsService read;
  EXPECT_EQ(read.settings().reportSource, ReportSource::kLiveMetar);
  EXPECT_EQ(read.settings().metarUrl, kDefaultMetarUrl);
}

}  // namespace
}  // namespace nimbrel::test
