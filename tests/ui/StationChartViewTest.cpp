// Station chart windows in the running program, fed by a report server on
// 127.0.0.1: opened from a table, the command line, the recent list and
// New; refreshed; printed; closed with the export file.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QDate>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QSettings>
#include <QTimer>
#include <filesystem>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>

#include "MainWindowFixture.h"
#include "observations/CurlPageFetcher.h"
#include "support/ChartTestSupport.h"
#include "support/LocalHttpServer.h"
#include "support/ReadFile.h"
#include "stationchart/StationChart.h"
#include "support/ReportPages.h"
#include "support/ZoneScope.h"
#include "ui/ParametersDialog.h"
#include "ui/StationChartView.h"
#include "ui/StationTableModel.h"
#include "ui/StationTableView.h"
#include "ui/WorldMapView.h"

namespace nimbrel::test {
namespace {

namespace fs = std::filesystem;

// Report pages by station and period; a station or period without a page
// gets the service's "no data" answer. A period can be made to stall (no
// answer until released or the server stops) or to fail with a status.
class StationPages {
 public:
  StationPages() {
    server.Server().Get("/weather/surface/index.php", [this](const httplib::Request& request,
                                                             httplib::Response& response) {
      std::unique_lock lock(mutex);
      ++requests;
      const Key key{request.get_param_value("metarIds"), Blanks(request.get_param_value("hoursStr"))};
      if (stalled.count(key) != 0) {
        ++stalledRequests;
        released.wait_for(lock, std::chrono::seconds(20), [&] { return stopping || stalled.count(key) == 0; });
      }
      if (auto failure = failing.find(key); failure != failing.end()) {
        response.status = failure->second;
        response.set_content("<HTML>Internal error</HTML>", "text/html");
        return;
      }
      auto it = pages.find(key);
      response.set_content(it != pages.end() ? it->second : "<HTML>Sorry, no data</HTML>", "text/html");
    });
  }
  ~StationPages() {
    {
      std::lock_guard lock(mutex);
      stopping = true;
    }
    released.notify_all();
    server.stop();
  }
  bool start() { return server.start(); }

  void stall(const std::string& icao, const std::string& hoursStr) {
    std::lock_guard lock(mutex);
    stalled.insert({icao, Blanks(hoursStr)});
  }
  void release(const std::string& icao, const std::string& hoursStr) {
    {
      std::lock_guard lock(mutex);
      stalled.erase({icao, Blanks(hoursStr)});
    }
    released.notify_all();
  }
  void fail(const std::string& icao, const std::string& hoursStr, int status) {
    std::lock_guard lock(mutex);
    failing[{icao, Blanks(hoursStr)}] = status;
  }
  void heal(const std::string& icao, const std::string& hoursStr) {
    std::lock_guard lock(mutex);
    failing.erase({icao, Blanks(hoursStr)});
  }
  int stalledCount() {
    std::lock_guard lock(mutex);
    return stalledRequests;
  }
  std::string host() const { return "127.0.0.1:" + std::to_string(server.listeningPort()); }

  void set(const std::string& icao, const std::string& hoursStr, const std::string& page) {
    std::lock_guard lock(mutex);
    pages[{icao, Blanks(hoursStr)}] = page;
  }
  void remove(const std::string& icao, const std::string& hoursStr) {
    std::lock_guard lock(mutex);
    pages.erase({icao, Blanks(hoursStr)});
  }
  int requestCount() {
    std::lock_guard lock(mutex);
    return requests;
  }

 private:
  // The program writes the periods with "+" or with blanks; both mean blanks.
  static std::string Blanks(std::string text) {
    for (char& c : text)
      if (c == '+') c = ' ';
    return text;
  }

  using Key = std::pair<std::string, std::string>;
  LocalHttpServer server;
  std::mutex mutex;
  std::condition_variable released;
  std::map<Key, std::string> pages;
  std::set<Key> stalled;
  std::map<Key, int> failing;
  bool stopping = false;
  int requests = 0;
  int stalledRequests = 0;
};

class StationChartViewTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    ASSERT_TRUE(pages.start());
    StationFields paul;
    paul.name = "ST-PAUL (CITY)";
    paul.icao = "KSTP";
    paul.latitude = 44.93;
    paul.longitude = -93.05;
    WriteStations({StationLine("SAMPLE FIELD", "TEST", 8.5, 47.5), StationLine(paul),
                   StationLine("SILENT HILL", "NONE", 20.0, 10.0)});
  }

  void Start(const std::string& stationName = {}, std::unique_ptr<PageFetcher> fetcher = nullptr) {
    StartWindow(stationName, std::move(fetcher), pages.host());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Frame()));
    ASSERT_FALSE(session->allStations().empty());
  }

  // Reports every 30 minutes for TEST: one for the check, `count` for the past hours.
  void ServeTest(int count, int step = 30) {
    pages.set("TEST", "most recent only", ComposePage(Reports(1, step)));
    pages.set("TEST", "past+6+hours", ComposePage(Reports(count, step)));
  }

  StationChartView* Open(const std::string& icao) {
    for (const Station& s : session->allStations())
      if (s.icao == icao) return OpenChart(s);
    ADD_FAILURE() << "no station " << icao;
    return nullptr;
  }
  // Begins an opening without waiting for it.
  void BeginOpening(const std::string& icao) {
    for (const Station& s : session->allStations())
      if (s.icao == icao) return Frame()->openStationChart(s);
    ADD_FAILURE() << "no station " << icao;
  }
  // One refresh tick, then waits for its answer.
  static void Refresh(StationChartView* chart) {
    chart->refresh();
    EXPECT_TRUE(WaitUntil([chart] { return !chart->chartModel().isBusy(); })) << "the refresh never ended";
    QApplication::processEvents();
  }
  QProgressDialog* Progress() const {
    for (auto* dialog : Frame()->findChildren<QProgressDialog*>())
      if (dialog->isVisible()) return dialog;
    return nullptr;
  }

  std::vector<StationChartView*> Charts() const { return Views<StationChartView>(); }
  std::vector<std::string> OpenCodes() const {
    std::vector<std::string> codes;
    for (const Station& s : session->openStations()) codes.push_back(s.icao);
    return codes;
  }

  StationPages pages;
};

// Counts the paints a widget receives.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

TEST_F(StationChartViewTest, TableDoubleClickOpensTheStationsChart) {
  ZoneScope zone("UTC");  // the rows' labels below are the reports' own minutes
  pages.set("TEST", "most recent only", ComposePage(Reports(1, 30)));
  pages.set("TEST", "past+6+hours", ComposePage(Reports(12, 30)));
  Start();
  StationTableView* table = Frame()->openAllStationsTable();
  ASSERT_NE(table, nullptr);
  int row = -1;
  for (int r = 0; r < table->rowCount(); ++r)
    if (table->model()->stationAt(r).icao == "TEST") row = r;
  ASSERT_GE(row, 0);
  QWidget* viewport = table->grid()->viewport();
  const QPoint at = table->grid()->visualRect(table->model()->index(row, 0)).center();
  QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, at);
  QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, at);
  ASSERT_TRUE(WaitForOpenings());

  ASSERT_EQ(Charts().size(), 1u) << (messages.empty() ? "" : messages.front());
  StationChartView* chart = Charts().front();
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(chart->size(), QSize(650, 670));
  EXPECT_EQ(TitleOf(chart), QStringLiteral("SAMPLE FIELD"));
  EXPECT_EQ(ActiveView(Frame()), chart);
  // Centred in the main window's area.
  const QSize area = AreaOf(Frame())->viewport()->size();
  const QWidget* child = SubWindowOf(chart);
  EXPECT_EQ(child->pos(), QPoint(std::max(0, (area.width() - child->width()) / 2),
                                 std::max(0, (area.height() - child->height()) / 2)));

  // Twelve rows, the oldest (5.5 hours before the newest) first.
  const Chart& graph = *chart->chart();
  ASSERT_EQ(graph.getRowCount(), 12);
  EXPECT_NEAR(ValueAt(graph, 0, 1), 21.00, 1e-9);
  EXPECT_NEAR(ValueAt(graph, 11, 1), 10.00, 1e-9);
  EXPECT_NEAR(ValueAt(graph, 0, 4), 12.00, 1e-9);
  EXPECT_NEAR(ValueAt(graph, 11, 4), 1.00, 1e-9);
  EXPECT_EQ(graph.rowLabel(11).substr(3), "53");
  EXPECT_EQ(graph.rowLabel(0).substr(3), "23");
  // The newest report, in stored units.
  const Observation& newest = chart->chartModel().currentObservation;
  EXPECT_DOUBLE_EQ(newest.temperature, 10.0);
  EXPECT_NEAR(newest.pressure, 1016.3, 1e-9);
  EXPECT_NEAR(newest.windSpeed, 4.6, 1e-9);
  EXPECT_DOUBLE_EQ(newest.windDirection, 10.0);
  EXPECT_EQ(newest.observedAt, AtUtc(2026, 12, 7, 17, 53));

  // Refreshed every 30 minutes; recorded as open and in the recent list.
  ASSERT_NE(chart->refreshTimer(), nullptr);
  EXPECT_TRUE(chart->refreshTimer()->isActive());
  EXPECT_EQ(chart->refreshTimer()->interval(), 30 * 60000);
  EXPECT_EQ(OpenCodes(), std::vector<std::string>{"TEST"});
  EXPECT_EQ(session->recentList().entries(), QStringList{QStringLiteral("SAMPLE FIELD")});
  EXPECT_FALSE(WaitCursorShown());
}

TEST_F(StationChartViewTest, NoDataOpensNoWindowAndLeavesNoTrace) {
  // No report at all: the check says so and nothing opens.
  Start();
  const auto before = Children().size();
  EXPECT_EQ(Open("NONE"), nullptr);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind("Sorry, no data available for the Station:\n\nSILENT HILL", 0), 0u) << messages[0];
  EXPECT_EQ(Children().size(), before);

  // A report for the check but none for the past hours: the window fails.
  messages.clear();
  pages.set("KSTP", "most recent only", ComposePage(Reports(1, 30)));
  EXPECT_EQ(Open("KSTP"), nullptr);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].rfind("Sorry, no data available for the Station:\n\nST-PAUL (CITY)", 0), 0u) << messages[0];
  EXPECT_EQ(messages[1], "Can not get meteodata for the station: \"ST-PAUL (CITY)\"");
  EXPECT_EQ(Children().size(), before);
  EXPECT_TRUE(Charts().empty());
  EXPECT_TRUE(session->openStations().empty());
  EXPECT_TRUE(session->recentList().entries().isEmpty());
  EXPECT_FALSE(WaitCursorShown());
}

TEST_F(StationChartViewTest, OneReportOrNoPeriodFallsBackToHalfHourly) {
  ServeTest(1, 20);
  Start();
  StationChartView* chart = Open("TEST");
  ASSERT_NE(chart, nullptr);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0],
            "Get only one record from the station \"SAMPLE FIELD\".\nTherefore compelled to set the time-period to "
            "30 mins and the time-delta UTC to 0 hours, sorry.");
  EXPECT_EQ(chart->chart()->getRowCount(), 1);
  EXPECT_EQ(chart->chartModel().refreshMinutes(), 30);
  EXPECT_EQ(chart->chartModel().utcDeltaHours(), 0);
  EXPECT_TRUE(chart->chart()->series.front().title.value_or("").ends_with(" (every 30 min)"))
      << chart->chart()->series.front().title.value_or("");
  EXPECT_EQ(chart->refreshTimer()->interval(), 30 * 60000);

  // Two reports a day apart at the same minute: no usable period, so the
  // window opens on the same half-hourly footing instead of failing.
  messages.clear();
  std::vector<PageReport> sameTime = Reports(2, 0);
  sameTime[1].day = 6;
  pages.set("KSTP", "most recent only", ComposePage(sameTime));
  pages.set("KSTP", "past+6+hours", ComposePage(sameTime));
  StationChartView* second = Open("KSTP");
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(second->chart()->getRowCount(), 2);
  EXPECT_EQ(second->refreshTimer()->interval(), 30 * 60000);
  EXPECT_TRUE(second->refreshTimer()->isActive());
}

TEST_F(StationChartViewTest, RefreshTicksAddOnlyANewerReport) {
  ServeTest(3, 20);
  Start();
  StationChartView* chart = Open("TEST");
  ASSERT_NE(chart, nullptr);
  EXPECT_EQ(chart->refreshTimer()->interval(), 20 * 60000);
  const Chart& graph = *chart->chart();
  ASSERT_EQ(graph.getRowCount(), 3);
  ASSERT_EQ(chart->chartModel().observations.size(), 3u);

  // The page repeats the report already shown: nothing is doubled.
  ASSERT_TRUE(QMetaObject::invokeMethod(chart->refreshTimer(), "timeout", Qt::DirectConnection));
  EXPECT_TRUE(WaitUntil([&] { return !chart->chartModel().isBusy(); }));
  EXPECT_EQ(graph.getRowCount(), 3);
  EXPECT_EQ(chart->chartModel().observations.size(), 3u);

  // A newer report: one row, kept with every earlier observation, and painted.
  std::vector<PageReport> newer = Reports(1, 20);
  newer[0].minute = 59;
  newer[0].temperature = 30.5;
  pages.set("TEST", "most recent only", ComposePage(newer));
  PaintCounter counter;
  chart->installEventFilter(&counter);
  Refresh(chart);
  ASSERT_EQ(graph.getRowCount(), 4);
  EXPECT_NEAR(ValueAt(graph, 3, 1), 30.50, 1e-9);
  ASSERT_EQ(chart->chartModel().observations.size(), 4u);
  EXPECT_EQ(chart->chartModel().observations.front().observedAt, AtUtc(2026, 12, 7, 17, 59));
  EXPECT_EQ(chart->chartModel().currentObservation.observedAt, AtUtc(2026, 12, 7, 17, 59));
  EXPECT_EQ(chart->chartModel().observations.back().observedAt, AtUtc(2026, 12, 7, 17, 13));
  WaitUntil([&] { return counter.paints > 0; });
  EXPECT_GT(counter.paints, 0);
  chart->removeEventFilter(&counter);

  // The same newer report again: still four.
  Refresh(chart);
  EXPECT_EQ(graph.getRowCount(), 4);
  EXPECT_TRUE(messages.empty());
  EXPECT_FALSE(WaitCursorShown());
}

TEST_F(StationChartViewTest, AFailedRefreshMarksTheTitleWithoutABoxUntilOneSucceeds) {
  ServeTest(3, 20);
  Start();
  StationChartView* chart = Open("TEST");
  ASSERT_NE(chart, nullptr);
  const QString name = QStringLiteral("SAMPLE FIELD");
  ASSERT_EQ(TitleOf(chart), name);
  // The newest report's time as the chart shows it, its zone named.
  const QString since = QString::fromStdString(chart->chart()->rowLabel(2)).left(5) + QStringLiteral(" ") +
                        QString::fromStdString(zoneName(chart->chartModel().observations.front().observedAt,
                                                        session->settings().timeUtc));

  // The service fails: no box, the rows stay, the title and status say how old they are.
  pages.fail("TEST", "most recent only", 500);
  Refresh(chart);
  EXPECT_TRUE(messages.empty()) << messages.front();
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(chart->chart()->getRowCount(), 3);
  EXPECT_EQ(chart->chartModel().observations.size(), 3u);
  EXPECT_EQ(TitleOf(chart), name + QStringLiteral(" (no new report since ") + since + QStringLiteral(")"));
  EXPECT_EQ(StatusText(Frame()), name + QStringLiteral(": no new report since ") + since + QStringLiteral("."));
  EXPECT_TRUE(Frame()->windowTitle().endsWith(QStringLiteral("(no new report since ") + since + QStringLiteral(")")))
      << Frame()->windowTitle().toStdString();

  // A page without data is a failure too.
  pages.heal("TEST", "most recent only");
  pages.remove("TEST", "most recent only");
  Refresh(chart);
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(TitleOf(chart).startsWith(name + QStringLiteral(" (no new report since")));
  EXPECT_EQ(chart->chart()->getRowCount(), 3);

  // A refresh that succeeds clears the mark, even with no newer report.
  pages.set("TEST", "most recent only", ComposePage(Reports(1, 20)));
  Refresh(chart);
  EXPECT_EQ(TitleOf(chart), name);
  EXPECT_EQ(chart->chart()->getRowCount(), 3);
  EXPECT_TRUE(chart->refreshTimer()->isActive());
  EXPECT_TRUE(messages.empty());
}

// Time UTC switched in Parameters: the open chart's axis, texts, title and
// status bar move to the zone chosen and name it.
TEST_F(StationChartViewTest, TimeUtcMovesAnOpenChartsTimesAndNamesTheZone) {
  ZoneScope zone("XST-2");  // the computer's clock: UTC + 2 hours
  ServeTest(3, 20);
  Start();
  ASSERT_FALSE(session->settings().timeUtc);
  StationChartView* chart = Open("TEST");
  ASSERT_NE(chart, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(chart));
  pages.fail("TEST", "most recent only", 500);
  Refresh(chart);

  const struct {
    const char* newest;  // the newest row's label
    const char* axis;
    const char* date;
    const char* since;
  } shown[] = {
      {"19:53", "Time XST (every 20 min)", "DATE: TEST  12/7/2026 XST, observed 19:53 XST", "19:53 XST"},
      {"17:53", "Time UTC (every 20 min)", "DATE: TEST  12/7/2026 UTC, observed 17:53 UTC", "17:53 UTC"},
  };
  QImage before;
  for (const auto& s : shown) {
    SCOPED_TRACE(s.since);
    if (&s != shown) {
      ModalWatch<ParametersDialog> parameters([](ParametersDialog* dialog) {
        EXPECT_FALSE(dialog->timeUtc->isChecked());
        dialog->timeUtc->setChecked(true);
        dialog->okButton->click();
      });
      ActionOf(Frame(), "parametersAction")->trigger();
      ASSERT_TRUE(parameters.seen());
      QApplication::processEvents();
      EXPECT_NE(chart->grab().toImage(), before);
    }
    const Chart& graph = *chart->chart();
    ASSERT_EQ(graph.getRowCount(), 3);
    EXPECT_EQ(graph.rowLabel(2), s.newest);
    EXPECT_EQ(graph.series.front().title, s.axis);
    ASSERT_TRUE(graph.series.back().detailLines.has_value());
    EXPECT_EQ(graph.series.back().detailLines->front(), s.date);
    EXPECT_EQ(TitleOf(chart), QStringLiteral("SAMPLE FIELD (no new report since ") + s.since + QStringLiteral(")"));
    EXPECT_EQ(StatusText(Frame()),
              QStringLiteral("SAMPLE FIELD: no new report since ") + s.since + QStringLiteral("."));
    before = chart->grab().toImage();
  }
}

// A change of the settings reaches every open chart by the settings' own
// signal, the one behind as much as the one in front: no window passes it on.
TEST_F(StationChartViewTest, EveryOpenChartFollowsTheSettingsSignal) {
  ZoneScope zone("Asia/Kolkata");  // UTC + 5:30
  ServeTest(3, 20);
  pages.set("KSTP", "most recent only", ComposePage(Reports(1, 20)));
  pages.set("KSTP", "past+6+hours", ComposePage(Reports(3, 20)));
  Start();
  StationChartView* behind = Open("TEST");
  StationChartView* front = Open("KSTP");
  ASSERT_NE(behind, nullptr);
  ASSERT_NE(front, nullptr);
  ASSERT_EQ(ActiveView(Frame()), front);

  DisplayUnits mixed = unitPreset(UnitPreset::kMetric);
  mixed.pressure = unitPreset(UnitPreset::kUs).pressure;
  const struct {
    const char* what;
    DisplayUnits units;
    bool timeUtc;
    const char* newest;
    const char* zoneName;
  } cases[] = {
      {"US units, the computer's zone", unitPreset(UnitPreset::kUs), false, "23:23", "IST"},
      {"metric with inHg, Time UTC", mixed, true, "17:53", "UTC"},
      {"the default units, the computer's zone", DisplayUnits{}, false, "23:23", "IST"},
  };
  for (const auto& c : cases) {
    const QImage before = behind->grab().toImage();
    Settings changed = session->settings();
    changed.units = c.units;
    changed.timeUtc = c.timeUtc;
    session->settingsService().apply(changed);
    QApplication::processEvents();
    for (StationChartView* chart : {behind, front}) {
      const Chart& graph = *chart->chart();
      ASSERT_EQ(graph.getRowCount(), 3) << c.what;
      EXPECT_EQ(graph.rowLabel(2), c.newest) << c.what;
      EXPECT_NE(graph.series.front().title.value_or("").find(c.zoneName), std::string::npos)
          << c.what << ": " << graph.series.front().title.value_or("");
      // Both reports pages are TEST's.
      ASSERT_TRUE(graph.series.back().detailLines.has_value()) << c.what;
      EXPECT_EQ(graph.series.back().detailLines->front(),
                std::string("DATE: TEST  12/7/2026 ") + c.zoneName + ", observed " + c.newest + " " + c.zoneName)
          << c.what;
    }
    EXPECT_NE(behind->grab().toImage(), before) << c.what << ": the chart behind was not drawn again";
  }
}

TEST_F(StationChartViewTest, ARefreshAgainstAStalledServiceDelaysNoTimer) {
  ServeTest(3, 20);
  Start();
  StationChartView* chart = Open("TEST");
  ASSERT_NE(chart, nullptr);
  pages.stall("TEST", "most recent only");

  int ticks = 0;
  QTimer ticker(chart);
  ticker.setTimerType(Qt::PreciseTimer);
  QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
  ticker.start(10);
  QElapsedTimer clock;
  clock.start();
  chart->refresh();
  ASSERT_TRUE(WaitUntil([&] { return pages.stalledCount() == 1; })) << "the refresh never reached the server";
  // A quarter of a second on, still outstanding: the timer kept ticking.
  WaitUntil([&] { return clock.elapsed() >= 250; });
  EXPECT_TRUE(chart->chartModel().isBusy());
  const qint64 expected = clock.elapsed() / 10;
  EXPECT_GE(ticks, expected / 2) << ticks << " ticks in " << clock.elapsed() << " ms";

  // Another tick while the first is outstanding asks for nothing.
  const int requests = pages.requestCount();
  chart->refresh();
  QTest::qWait(50);
  EXPECT_EQ(pages.requestCount(), requests);
  const int before = ticks;
  WaitUntil([&] { return ticks >= before + 5; });
  EXPECT_GE(ticks, before + 5) << "ticks stopped while the refresh was outstanding";

  // Released, the answer lands and the next tick fetches again.
  pages.release("TEST", "most recent only");
  EXPECT_TRUE(WaitUntil([&] { return !chart->chartModel().isBusy(); }));
  EXPECT_EQ(chart->chart()->getRowCount(), 3);
  EXPECT_TRUE(messages.empty());
}

TEST_F(StationChartViewTest, AStalledOpeningShowsProgressAndCancelLeavesNoTrace) {
  ServeTest(3);
  pages.stall("TEST", "past+6+hours");
  Start();
  const auto before = Children().size();
  int ticks = 0;
  QTimer ticker;
  ticker.setTimerType(Qt::PreciseTimer);
  QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
  ticker.start(10);
  QElapsedTimer clock;
  clock.start();
  BeginOpening("TEST");
  EXPECT_EQ(OpenerOf(Frame()).openingCount(), 1);
  EXPECT_EQ(Progress(), nullptr) << "no progress window at once";

  // Half a second on, the progress window names the station; the window
  // handled its events all along.
  ASSERT_TRUE(WaitUntil([this] { return Progress() != nullptr; }));
  EXPECT_GE(clock.elapsed(), 450);
  QProgressDialog* progress = Progress();
  EXPECT_EQ(progress->labelText(), QStringLiteral("Loading the reports of SAMPLE FIELD ..."));
  // The chart loads, not the program: every other window takes input.
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(pages.stalledCount(), 1);
  EXPECT_GE(ticks, clock.elapsed() / 10 / 2) << ticks << " ticks in " << clock.elapsed() << " ms";
  EXPECT_EQ(OpenerOf(Frame()).openingCount(), 1);

  // Cancel: no box, no window, nothing under way.
  QPushButton* cancel = nullptr;
  for (QPushButton* button : progress->findChildren<QPushButton*>())
    if (button->text() == QStringLiteral("Cancel")) cancel = button;
  ASSERT_NE(cancel, nullptr);
  QTest::mouseClick(cancel, Qt::LeftButton);
  EXPECT_TRUE(WaitUntil([this] { return OpenerOf(Frame()).openingCount() == 0; }));
  EXPECT_TRUE(WaitUntil([this] { return Progress() == nullptr; }));
  // The stalled answer, once released, changes nothing.
  pages.release("TEST", "past+6+hours");
  QTest::qWait(100);
  EXPECT_TRUE(messages.empty()) << messages.front();
  EXPECT_EQ(Children().size(), before);
  EXPECT_TRUE(Charts().empty());
  EXPECT_TRUE(session->openStations().empty());
  EXPECT_TRUE(session->recentList().entries().isEmpty());
  EXPECT_FALSE(WaitCursorShown());
  EXPECT_EQ(OpenerOf(Frame()).openingCount(), 0);
}

TEST_F(StationChartViewTest, AQuickOpeningLeavesNoProgressWindowToTheNext) {
  // The first opening ends at once; the next one stalls and gets exactly
  // one progress window, which goes with it.
  ServeTest(3);
  pages.set("KSTP", "most recent only", ComposePage(Reports(1, 30)));
  pages.set("KSTP", "past+6+hours", ComposePage(Reports(3, 30)));
  pages.stall("TEST", "past+6+hours");
  Start();
  ASSERT_NE(Open("KSTP"), nullptr);
  BeginOpening("TEST");
  ASSERT_TRUE(WaitUntil([this] { return Progress() != nullptr; }));
  // Past both openings' half seconds.
  QTest::qWait(700);
  int shown = 0;
  for (auto* dialog : Frame()->findChildren<QProgressDialog*>()) shown += dialog->isVisible() ? 1 : 0;
  EXPECT_EQ(shown, 1);
  OpenerOf(Frame()).cancelAll();
  EXPECT_TRUE(WaitUntil([this] { return Progress() == nullptr; })) << "a progress window outlived its opening";
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  pages.release("TEST", "past+6+hours");
}

TEST_F(StationChartViewTest, CancelChartOpeningsGivesUpQuietly) {
  ServeTest(3);
  pages.stall("TEST", "most recent only");
  Start();
  BeginOpening("TEST");
  BeginOpening("TEST");
  ASSERT_EQ(OpenerOf(Frame()).openingCount(), 2);
  ASSERT_TRUE(WaitUntil([this] { return pages.stalledCount() == 2; }));
  OpenerOf(Frame()).cancelAll();
  EXPECT_EQ(OpenerOf(Frame()).openingCount(), 0);
  pages.release("TEST", "most recent only");
  QTest::qWait(100);
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(Charts().empty());
  EXPECT_FALSE(WaitCursorShown());
}

TEST_F(StationChartViewTest, AStalledServiceIsToldApartFromNoData) {
  ServeTest(3);
  pages.stall("TEST", "most recent only");
  auto fetcher = std::make_unique<CurlPageFetcher>();
  // Short limits, so the test needs no idle limit's wait.
  fetcher->setTimeouts(1000, 1500);
  Start({}, std::move(fetcher));
  EXPECT_EQ(Open("TEST"), nullptr);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind("Sorry, the weather service did not answer (timed out after ", 0), 0u) << messages[0];
  EXPECT_TRUE(Charts().empty());
  EXPECT_FALSE(WaitCursorShown());
  EXPECT_EQ(Progress(), nullptr) << "the progress window closed with the opening";

  // Nobody listening: could not be reached, and no no-data message after it.
  messages.clear();
  LocalHttpServer closed;
  ASSERT_TRUE(closed.start());
  const std::string host = "127.0.0.1:" + std::to_string(closed.listeningPort());
  closed.stop();
  session->setServiceHost(host);
  EXPECT_EQ(Open("TEST"), nullptr);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind("Sorry, the weather service could not be reached (", 0), 0u) << messages[0];
}

TEST_F(StationChartViewTest, AStationOpenedTwiceKeepsItsMarkUntilBothClose) {
  ServeTest(4);
  Start();
  WorldMapView* map = LastView<WorldMapView>();
  ASSERT_NE(map, nullptr);
  const QPoint mark = MapPixelOf(session->allStations().at(0));
  const QColor blue(0, 0, 255);
  auto marked = [&] { return map->grab().toImage().pixelColor(mark.x() - 1, mark.y() - 1) == blue; };
  EXPECT_FALSE(marked());

  Open("TEST");
  Open("TEST");
  ASSERT_EQ(Charts().size(), 2u);
  EXPECT_EQ(OpenCodes(), (std::vector<std::string>{"TEST", "TEST"}));
  EXPECT_TRUE(marked());

  CloseView(Charts().front());
  ASSERT_EQ(Charts().size(), 1u);
  EXPECT_EQ(OpenCodes(), std::vector<std::string>{"TEST"});
  EXPECT_TRUE(marked());

  CloseView(Charts().front());
  EXPECT_TRUE(Charts().empty());
  EXPECT_TRUE(session->openStations().empty());
  EXPECT_FALSE(marked());
  EXPECT_EQ(session->recentList().entries(), QStringList{QStringLiteral("SAMPLE FIELD")});
}

TEST_F(StationChartViewTest, ClosingWritesTheExportFileInTheWorkingFolder) {
  std::vector<PageReport> reports = Reports(2, 30);
  reports[0].temperature = 12.2;
  reports[0].windDirection = 160;
  reports[1].temperature = -3.5;
  reports[1].windDirection = 5;
  reports[1].windSpeed = 12.3;
  std::string page = ComposePage(reports);
  // The older report has no readable pressure.
  const std::string older = ComposeReport(reports[1]);
  const std::size_t from = page.find("<TR><TD>Pressure", page.find(older));
  page.erase(from, page.find('\n', from) + 1 - from);
  std::vector<PageReport> latest = {reports[0]};
  latest[0].minute = 59;
  pages.set("KSTP", "most recent only", ComposePage(latest));
  pages.set("KSTP", "past+6+hours", page);
  Start();
  ChangeSettings(*session, [&](Settings& s) { s.writeMeteodata = true; });
  const QString folder = QDir::currentPath();
  auto exportFile = [&] {
    const QDate today = QDate::currentDate();
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%02d_%02d_%04d_", today.month(), today.day(), today.year());
    return fs::path(workDir.path().toStdString()) / "Meteodata" / (std::string(prefix) + "st_paul _city_.txt");
  };
  // The lines of the reports; the file's layout is the export's own business.
  const std::string newer = "12/07/2026\t17:53\t12.20\t1016.30\t\t160.00\t\t4.60\r\n";
  // A report without a pressure leaves that cell empty.
  const std::string withoutPressure = "12/07/2026\t17:23\t-3.50\t\t\t5.00\t\t12.30\r\n";
  const std::string refreshed = "12/07/2026\t17:59\t12.20\t1016.30\t\t160.00\t\t4.60\r\n";
  auto holds = [](const std::string& text, const std::string& line) { return text.find(line) != std::string::npos; };

  ASSERT_NE(Open("KSTP"), nullptr);
  CloseView(Charts().front());
  std::string written = ReadAll(exportFile());
  EXPECT_TRUE(holds(written, "Date\t\tTime\tTemp.\tPressure\tWind dir\tWind speed\r\n")) << written;
  EXPECT_TRUE(holds(written, newer)) << written;
  EXPECT_TRUE(holds(written, withoutPressure)) << written;
  EXPECT_FALSE(holds(written, refreshed)) << written;
  EXPECT_EQ(QDir::currentPath(), folder);

  // A window that refreshed writes what the last tick brought too.
  ASSERT_NE(Open("KSTP"), nullptr);
  Refresh(Charts().front());
  ASSERT_EQ(Charts().front()->chartModel().observations.size(), 3u);
  CloseView(Charts().front());
  written = ReadAll(exportFile());
  EXPECT_TRUE(holds(written, refreshed)) << written;
  // Loaded and refreshed together, oldest first.
  EXPECT_LT(written.find(withoutPressure), written.find(newer)) << written;
  EXPECT_LT(written.find(newer), written.find(refreshed)) << written;
  EXPECT_TRUE(messages.empty());

  // A file that cannot be opened is reported; the folder stays the same.
  fs::remove(exportFile());
  fs::create_directory(exportFile());
  ASSERT_NE(Open("KSTP"), nullptr);
  // Told while the chart's window still stands, before it is destroyed.
  std::size_t chartsWhileTold = 0;
  onMessage = [&](const std::string&) { chartsWhileTold = Charts().size(); };
  CloseView(Charts().front());
  onMessage = nullptr;
  EXPECT_EQ(chartsWhileTold, 1u);
  EXPECT_TRUE(Charts().empty());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Can not open an output file \"" + exportFile().filename().string() + "\".");
  EXPECT_EQ(QDir::currentPath(), folder);
  EXPECT_TRUE(session->openStations().empty());

  // A window still open when the program ends does its closing work too.
  fs::remove(exportFile());
  ASSERT_NE(Open("KSTP"), nullptr);
  session->recentList().add(QStringLiteral("SOMEWHERE ELSE"));
  StopWindow();
  written = ReadAll(exportFile());
  EXPECT_TRUE(holds(written, newer)) << written;
  EXPECT_TRUE(holds(written, withoutPressure)) << written;
  EXPECT_EQ(QDir::currentPath(), folder);
  // Its name went back on top of the recent list before the list was saved.
  QSettings settings(QStringLiteral("Quillfen"), QStringLiteral("Nimbrel"));
  EXPECT_EQ(settings.value(QStringLiteral("Recent File List/File1")).toString(), QStringLiteral("ST-PAUL (CITY)"));
  EXPECT_EQ(settings.value(QStringLiteral("Recent File List/File2")).toString(), QStringLiteral("SOMEWHERE ELSE"));
}

TEST_F(StationChartViewTest, ActionsOfAChartWindow) {
  ServeTest(6);
  Start();
  StationChartView* chart = Open("TEST");
  ASSERT_NE(chart, nullptr);
  ASSERT_EQ(ActiveView(Frame()), chart);
  EXPECT_FALSE(ShowsFrameMenu(Frame()));
  EXPECT_TRUE(ActionOf(Frame(), "parametersAction")->isEnabled());
  EXPECT_FALSE(ActionOf(Frame(), "markAllStationsAction")->isEnabled());
  EXPECT_FALSE(ActionOf(Frame(), "markAllStationsAction")->isChecked());
  EXPECT_TRUE(ActionOf(Frame(), "showAllStationsAction")->isEnabled());
  EXPECT_TRUE(ActionOf(Frame(), "findStationAction")->isEnabled());
  EXPECT_TRUE(ActionOf(Frame(), "printAction")->isEnabled());
  EXPECT_TRUE(ActionOf(Frame(), "printPreviewAction")->isEnabled());

  // A marked map made active checks the mark; back on the chart it is off.
  WorldMapView* map = LastView<WorldMapView>();
  map->setMarkAllStations(true);
  Activate(map);
  EXPECT_TRUE(ActionOf(Frame(), "markAllStationsAction")->isEnabled());
  EXPECT_TRUE(ActionOf(Frame(), "markAllStationsAction")->isChecked());
  Activate(chart);
  EXPECT_FALSE(ActionOf(Frame(), "markAllStationsAction")->isEnabled());
  EXPECT_FALSE(ActionOf(Frame(), "markAllStationsAction")->isChecked());

  // Show all stations from a chart opens the whole list.
  ActionOf(Frame(), "showAllStationsAction")->trigger();
  ASSERT_NE(LastView<StationTableView>(), nullptr);
  EXPECT_EQ(LastView<StationTableView>()->rowCount(), 3);
}

TEST_F(StationChartViewTest, ParametersWithOkChangeTheChartAndCancelChangesNothing) {
  ServeTest(6);
  Start();
  StationChartView* chart = Open("TEST");
  ASSERT_NE(chart, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(chart));
  QApplication::processEvents();
  const QImage before = chart->grab().toImage();
  PaintCounter counter;
  chart->installEventFilter(&counter);
  {
    ModalWatch<ParametersDialog> parameters([](ParametersDialog* dialog) {
      EXPECT_TRUE(dialog->showLegend->isChecked()) << "the dialog shows the chart's options";
      dialog->showLegend->setChecked(false);
      dialog->pastHoursList->setCurrentIndex(dialog->pastHoursList->findText(QStringLiteral("12")));
      dialog->okButton->click();
    });
    ActionOf(Frame(), "parametersAction")->trigger();
    ASSERT_TRUE(parameters.seen());
  }
  QApplication::processEvents();
  EXPECT_FALSE(chart->chart()->showLegend);
  EXPECT_EQ(session->settings().pastHours, 12);
  EXPECT_GT(counter.paints, 0);
  EXPECT_NE(chart->grab().toImage(), before);

  // Cancel changes nothing.
  const int width = chart->chart()->lineWidth;
  ModalWatch<ParametersDialog> cancelled([](ParametersDialog* dialog) {
    dialog->lineWidthEdit->setText(QStringLiteral("7"));
    dialog->showLegend->setChecked(true);
    dialog->cancelButton->click();
  });
  ActionOf(Frame(), "parametersAction")->trigger();
  ASSERT_TRUE(cancelled.seen());
  EXPECT_EQ(chart->chart()->lineWidth, width);
  EXPECT_FALSE(chart->chart()->showLegend);
  chart->removeEventFilter(&counter);

  // From a map the dialog changes the settings only.
  Activate(LastView<WorldMapView>());
  ModalWatch<ParametersDialog> fromMap([](ParametersDialog* dialog) {
    dialog->showNearestEdit->setText(QStringLiteral("45"));
    dialog->okButton->click();
  });
  ActionOf(Frame(), "parametersAction")->trigger();
  ASSERT_TRUE(fromMap.seen());
  EXPECT_EQ(session->settings().nearestMinutes, 45.0);
  EXPECT_FALSE(chart->chart()->showLegend);
}

TEST_F(StationChartViewTest, PrintingDrawsTheScreenPicture) {
  ServeTest(6);
  Start();
  StationChartView* chart = Open("TEST");
  ASSERT_NE(chart, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(chart));
  const QImage screen = chart->grab().toImage().convertToFormat(QImage::Format_RGB32);
  QImage printed(chart->size(), QImage::Format_RGB32);
  printed.fill(Qt::white);
  {
    QPainter painter(&printed);
    chart->draw(painter);
  }
  ASSERT_EQ(screen.size(), printed.size());
  int differing = 0;
  int ink = 0;
  for (int y = 0; y < printed.height(); ++y)
    for (int x = 0; x < printed.width(); ++x) {
      differing += screen.pixel(x, y) != printed.pixel(x, y);
      ink += printed.pixel(x, y) != qRgb(255, 255, 255);
    }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(ink, 1000) << "a chart was drawn";

  // Through the print dialog to a file: one page with the chart on it.
  const QString path = workDir.filePath(QStringLiteral("chart.pdf"));
  ModalWatch<QPrintDialog> print([&path](QPrintDialog* dialog) {
    dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
    dialog->printer()->setOutputFileName(path);
    dialog->done(QDialog::Accepted);
  });
  ActionOf(Frame(), "printAction")->trigger();
  ASSERT_TRUE(print.seen());
  QFile pdf(path);
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  const QByteArray bytes = pdf.readAll();
  EXPECT_TRUE(bytes.startsWith("%PDF"));
  EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page "), 1);
  EXPECT_GT(bytes.size(), 5000) << "more than an empty page";
  EXPECT_TRUE(messages.empty());
}

TEST_F(StationChartViewTest, OpensByNameFromTheCommandLineAndTheRecentList) {
  ServeTest(3);
  Start("sample field");
  ASSERT_TRUE(WaitForOpenings());
  ASSERT_EQ(Charts().size(), 1u);
  EXPECT_EQ(TitleOf(Charts().front()), QStringLiteral("SAMPLE FIELD"));
  EXPECT_EQ(Charts().front()->chart()->getRowCount(), 3);
  // Opened after the map, on top of it.
  EXPECT_EQ(ActiveView(Frame()), Charts().front());
  CloseView(Charts().front());

  QMenu* fileMenu = Frame()->menuBar()->actions().first()->menu();
  QAction* entry = fileMenu->actions().first();
  ASSERT_EQ(entry->text(), QStringLiteral("&1 SAMPLE FIELD"));
  entry->trigger();
  ASSERT_TRUE(WaitForOpenings());
  ASSERT_EQ(Charts().size(), 1u);
  EXPECT_EQ(TitleOf(Charts().front()), QStringLiteral("SAMPLE FIELD"));
  EXPECT_TRUE(messages.empty());

  // An ICAO code names a station too.
  FinderOf(Frame()).openByName("kstp");
  ASSERT_TRUE(WaitForOpenings());
  EXPECT_EQ(messages.size(), 1u) << "ST-PAUL has no reports";
  EXPECT_EQ(messages[0].rfind("Sorry, no data available for the Station:\n\nST-PAUL (CITY)", 0), 0u);
}

TEST_F(StationChartViewTest, ANameBeyondAsciiReopensFromTheRecentList) {
  WriteStations({StationLine("Z\xdcRICH", "LSZH", 8.55, 47.46)});
  pages.set("LSZH", "most recent only", ComposePage(Reports(1, 30)));
  pages.set("LSZH", "past+6+hours", ComposePage(Reports(3, 30)));
  Start();
  ASSERT_NE(Open("LSZH"), nullptr);
  const QString name = QString::fromUtf8("Z\u00dcRICH");
  EXPECT_EQ(TitleOf(Charts().front()), name);
  CloseView(Charts().front());

  QAction* entry = Frame()->menuBar()->actions().first()->menu()->actions().first();
  ASSERT_EQ(entry->text(), QStringLiteral("&1 ") + name);
  entry->trigger();
  ASSERT_TRUE(WaitForOpenings());
  ASSERT_EQ(Charts().size(), 1u);
  EXPECT_TRUE(messages.empty()) << messages.front();
  StopWindow();
  QSettings settings(QStringLiteral("Quillfen"), QStringLiteral("Nimbrel"));
  EXPECT_EQ(settings.value(QStringLiteral("Recent File List/File1")).toString(), name);
}

TEST_F(StationChartViewTest, NewOpensTheLastStationUntilAWorldMapCloses) {
  ServeTest(3);
  Start();
  ASSERT_NE(Open("TEST"), nullptr);
  ActionOf(Frame(), "newAction")->trigger();
  ASSERT_TRUE(WaitForOpenings());
  ASSERT_EQ(Charts().size(), 2u);
  EXPECT_EQ(TitleOf(Charts().back()), QStringLiteral("SAMPLE FIELD"));
  EXPECT_EQ(Views<WorldMapView>().size(), 1u);

  // A table opened in between does not change what New opens.
  Frame()->openAllStationsTable();
  ActionOf(Frame(), "newAction")->trigger();
  ASSERT_TRUE(WaitForOpenings());
  EXPECT_EQ(Charts().size(), 3u);

  CloseView(LastView<WorldMapView>());
  ActionOf(Frame(), "newAction")->trigger();
  EXPECT_EQ(OpenerOf(Frame()).openingCount(), 0) << "a map, not a chart";
  EXPECT_EQ(Views<WorldMapView>().size(), 1u);
  EXPECT_EQ(Charts().size(), 3u);
  EXPECT_TRUE(messages.empty());
}

TEST_F(StationChartViewTest, TheCommandLineShowsTheWindowFirstAndCentresTheChart) {
  ServeTest(3);
  pages.stall("TEST", "most recent only");
  Start("sample field");
  // The window is on the screen while the station's first fetch is under way.
  EXPECT_TRUE(Frame()->isVisible());
  EXPECT_EQ(OpenerOf(Frame()).openingCount(), 1);
  ASSERT_TRUE(WaitUntil([this] { return pages.stalledCount() == 1; }));
  EXPECT_TRUE(Charts().empty());

  pages.release("TEST", "most recent only");
  ASSERT_TRUE(WaitForOpenings());
  ASSERT_EQ(Charts().size(), 1u) << (messages.empty() ? "" : messages.front());
  StationChartView* chart = Charts().front();
  EXPECT_EQ(ActiveView(Frame()), chart);
  // Centred in the area's visible part.
  const QSize area = AreaOf(Frame())->viewport()->size();
  const QWidget* child = SubWindowOf(chart);
  EXPECT_EQ(child->pos(), QPoint(std::max(0, (area.width() - child->width()) / 2),
                                 std::max(0, (area.height() - child->height()) / 2)));
  EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace nimbrel::test
