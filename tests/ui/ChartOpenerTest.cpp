// Opening a chart on its own, without the main window: the session's
// source, a recording port, and the chart handed over by a signal.
#include <gtest/gtest.h>

#include <QTimer>
#include <algorithm>

#include "MainWindowFixture.h"
#include "support/ReportPages.h"

namespace nimbrel::test {
namespace {

// The few services of the main window the opener uses, recorded.
struct RecordingPort : UserPort {
  void showMessage(const std::string& text) override { messages.push_back(text); }
  void setStatusText(const std::string& text) override { status = text; }
  void beginWaitCursor() override { mostBusy = std::max(mostBusy, ++busy); }
  void endWaitCursor() override { --busy; }
  std::time_t currentTime() override { return std::time(nullptr); }
  std::vector<std::string> messages;
  std::string status;
  int busy = 0;
  int mostBusy = 0;
};

Station Named(const std::string& name, const std::string& icao) {
  Station station;
  station.name = name;
  station.icao = icao;
  return station;
}

TEST(ChartOpener, HandsOverALoadedChartAndTellsOnlyAFailure) {
  FetchLog log;
  // TEST has reports every half hour; every other station has none.
  Session session(std::make_unique<ScriptedFetcher>(log, [](const std::string& url) {
    if (url.find("metarIds=TEST") == std::string::npos) return std::string("<HTML>Sorry, no data</HTML>");
    return ComposePage(Reports(url.find("most+recent") != std::string::npos ? 1 : 12, 30));
  }));
  session.setReportSource(ReportSource::kReportPages);
  RecordingPort port;
  ChartOpener opener(session, port, nullptr);
  std::vector<std::unique_ptr<StationChartView>> opened;
  QObject::connect(&opener, &ChartOpener::chartOpened,
                   [&opened](std::unique_ptr<StationChartView>& view) { opened.push_back(std::move(view)); });

  opener.open(Named("SAMPLE FIELD", "TEST"));
  EXPECT_EQ(opener.openingCount(), 1);
  EXPECT_EQ(port.busy, 1);
  ASSERT_TRUE(WaitUntil([&] { return !opened.empty(); }));
  ASSERT_NE(opened.front(), nullptr);
  StationChartView& chart = *opened.front();  // the receiver's now
  EXPECT_EQ(chart.chart()->getRowCount(), 12);
  // Loaded before it was made: its refresh runs from the start.
  ASSERT_NE(chart.refreshTimer(), nullptr);
  EXPECT_TRUE(chart.refreshTimer()->isActive());
  EXPECT_EQ(opener.openingCount(), 0);
  EXPECT_EQ(port.busy, 0);
  // The quick look and the loading share one busy cursor.
  EXPECT_EQ(port.mostBusy, 1);
  EXPECT_TRUE(port.messages.empty());

  // No data: the opening ends first, then the box; no chart is handed over.
  opener.open(Named("SILENT HILL", "NONE"));
  ASSERT_TRUE(WaitUntil([&] { return opener.openingCount() == 0; }));
  EXPECT_EQ(opened.size(), 1u);
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].rfind("Sorry, no data available for the Station:", 0), 0u) << port.messages[0];
  EXPECT_EQ(port.busy, 0);

  // A view nobody takes is dropped, not leaked; a cancelled opening hands
  // nothing over and leaves no busy cursor.
  QObject::disconnect(&opener, &ChartOpener::chartOpened, nullptr, nullptr);
  opener.open(Named("SAMPLE FIELD", "TEST"));
  ASSERT_TRUE(WaitUntil([&] { return opener.openingCount() == 0; }));
  opener.open(Named("SAMPLE FIELD", "TEST"));
  opener.cancelAll();
  EXPECT_EQ(opener.openingCount(), 0);
  EXPECT_EQ(port.busy, 0);
  EXPECT_EQ(opened.size(), 1u);
}

}  // namespace
}  // namespace nimbrel::test
