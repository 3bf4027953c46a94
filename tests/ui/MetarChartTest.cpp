// Station charts from the live METAR source in the running program, fed by
// the sample service's real day of reports on 127.0.0.1 (through a counting
// front that can also answer for the service), checked against our own
// decoding of the very answers the service gives.
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QSettings>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>

#include "MainWindowFixture.h"
#include "SampleMetarDay.h"
#include "SampleService.h"
#include "base/ClockText.h"
#include "base/Text.h"
#include "base/Units.h"
#include "charts/ChartText.h"
#include "stationchart/StationChart.h"
#include "observations/MetarObservation.h"
#include "stationchart/StationChartModel.h"
#include "support/LocalHttpServer.h"
#include "support/ReadFile.h"
#include "support/ReportPages.h"
#include "ui/ParametersDialog.h"
#include "services/WeatherFeed.h"

namespace nimbrel::test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const std::string kBoston = "BOSTON LOGAN INT";

std::string ListText() {
  StationFields boston;
  boston.name = kBoston;
  boston.icao = "KBOS";
  boston.latitude = 42.37;
  boston.longitude = -71.0;
  boston.cd = "MA";
  boston.country = "US";
  // Not in the day's reports: the service answers 204.
  return StationLine(boston) + "\n" + StationLine("NOWHERE FIELD", "ZZZZ", 10.0, 10.0) + "\n";
}

// The program's way to the METAR API: passes requests on to the sample
// service and counts them, unless told to answer with a status and body.
class MetarApiFront {
 public:
  explicit MetarApiFront(int servicePort) : servicePort(servicePort) {
    server.Server().Get("/api/data/metar", [this](const httplib::Request& request, httplib::Response& response) {
      std::lock_guard lock(mutex);
      ++requests;
      queries.push_back(request.get_param_value("ids") + " " + request.get_param_value("hours"));
      if (scripted) {
        response.status = scripted->first;
        response.set_content(scripted->second, "application/json");
        return;
      }
      httplib::Client client("127.0.0.1", this->servicePort);
      std::string path = request.path + "?";
      for (const auto& [key, value] : request.params) path += key + "=" + value + "&";
      auto result = client.Get(path);
      if (!result) {
        response.status = 502;
        return;
      }
      response.status = result->status;
      response.set_content(result->body, "application/json");
    });
  }
  bool start() { return server.start(); }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(server.listeningPort()); }
  void answer(int status, const std::string& body) {
    std::lock_guard lock(mutex);
    scripted = {status, body};
  }
  // The service's own answers again.
  void passThrough() {
    std::lock_guard lock(mutex);
    scripted.reset();
  }
  int requestCount() {
    std::lock_guard lock(mutex);
    return requests;
  }
  std::vector<std::string> asked() {
    std::lock_guard lock(mutex);
    return queries;
  }

 private:
  int servicePort;
  LocalHttpServer server;
  std::mutex mutex;
  std::optional<std::pair<int, std::string>> scripted;
  std::vector<std::string> queries;
  int requests = 0;
};

// A value as the chart's hundredths show it.
std::string Fixed(double value) { return formatFixed(value, 2); }

// A row's value as shown, "" for none.
std::string Cell(const Chart& graph, int row, int column) {
  const std::optional<double> value = graph.value(row, column);
  return value ? Fixed(*value) : std::string();
}

std::string HourMinute(std::int64_t seconds) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm fields{};
  localtime_r(&t, &fields);
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", fields.tm_hour, fields.tm_min);
  return text;
}

void ClearStoredSource() { QSettings(QStringLiteral("Quillfen"), QStringLiteral("Nimbrel")).remove(QStringLiteral("Settings")); }

class MetarChartTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    ClearStoredSource();
    WriteStationList(ListText());
    service = std::make_unique<sample::SampleService>(ListText());
    // Read once for the program: decoding the day is most of a test's time.
    static const std::shared_ptr<const sample::SampleMetarDay> day = [] {
      auto read = std::make_shared<sample::SampleMetarDay>();
      std::string error;
      EXPECT_TRUE(read->loadFile(NIMBREL_METAR_DAY, error)) << error;
      return read;
    }();
    ASSERT_GT(day->reportCount(), 0u);
    service->useMetarDay(day);
    // Reports end now, so the chart's offset from UTC is read as usual.
    serviceNow = std::time(nullptr);
    service->setNow(serviceNow);
    ASSERT_TRUE(service->start(0));
    front = std::make_unique<MetarApiFront>(service->listeningPort());
    ASSERT_TRUE(front->start());
  }
  void TearDown() override {
    MainWindowFixture::TearDown();
    front.reset();
    service->stop();
    ClearStoredSource();
  }

  void StartLive() {
    StartWindow();
    session->setReportSource(ReportSource::kLiveMetar);
    session->setMetarUrl(front->url());
  }

  StationChartView* Open(const std::string& icao) {
    for (const Station& s : session->allStations())
      if (s.icao == icao) return OpenChart(s);
    ADD_FAILURE() << "no station " << icao;
    return nullptr;
  }

  // The service's answer to the query, asked directly, and our decoding of it.
  json ServedJson(const std::string& query) {
    httplib::Client client("127.0.0.1", service->listeningPort());
    auto result = client.Get("/api/data/metar?format=json&" + query);
    if (!result || result->status != 200) return json::array();
    return json::parse(result->body);
  }
  ObservationList Decoded(const std::string& query) {
    httplib::Client client("127.0.0.1", service->listeningPort());
    auto result = client.Get("/api/data/metar?format=json&" + query);
    if (!result || result->status != 200) return {};
    const MetarAnswer answer = readMetarAnswer(result->body);
    EXPECT_EQ(answer.skipped, 0) << "every served report is ours to decode";
    return answer.observations;
  }

  // The rows a chart shows of reports, newest first, in metric units, at
  // their times on the computer's clock.
  static void ExpectRows(const Chart& graph, const ObservationList& reports) {
    ASSERT_EQ(graph.getRowCount(), static_cast<int>(reports.size()));
    for (int i = 0; i < graph.getRowCount(); ++i) {
      const Observation& o = reports[reports.size() - 1 - i];
      EXPECT_EQ(graph.rowLabel(i), HourMinute(o.observedAt)) << "row " << i << " " << o.rawReport;
      EXPECT_EQ(Cell(graph, i, 1), Fixed(o.temperature)) << "row " << i << " " << o.rawReport;
      EXPECT_EQ(Cell(graph, i, 2), Fixed(o.pressure - 1000.0)) << "row " << i << " " << o.rawReport;
      EXPECT_EQ(Cell(graph, i, 3), Fixed(o.windSpeed)) << "row " << i << " " << o.rawReport;
      EXPECT_EQ(Cell(graph, i, 4), o.windSpeed > 0 ? Fixed(windDirectionOnChart(o.windDirection)) : "")
          << "row " << i << " " << o.rawReport;
    }
  }

  std::unique_ptr<sample::SampleService> service;
  std::unique_ptr<MetarApiFront> front;
  std::time_t serviceNow = 0;
};

TEST_F(MetarChartTest, AChartShowsThePastSixHoursAsTheServiceServesThem) {
  StartLive();
  StationChartView* chart = Open("KBOS");
  ASSERT_NE(chart, nullptr) << (messages.empty() ? "" : messages.front());
  EXPECT_TRUE(messages.empty()) << messages.front();
  EXPECT_EQ(front->asked(), std::vector<std::string>{"KBOS 6"});

  const json served = ServedJson("ids=KBOS&hours=6");
  const ObservationList reports = Decoded("ids=KBOS&hours=6");
  ASSERT_GE(reports.size(), 5u) << "an hourly station has at least five reports in six hours";
  ASSERT_EQ(served.size(), reports.size());
  const Chart& graph = *chart->chart();
  ExpectRows(graph, reports);
  // Oldest first: the times only grow.
  for (std::size_t i = 1; i < chart->chartModel().observations.size(); ++i)
    EXPECT_GT(chart->chartModel().observations[i - 1].observedAt, chart->chartModel().observations[i].observedAt);

  // The newest report's details, against the service's own fields.
  const Observation& newest = reports.front();
  EXPECT_EQ(chart->chartModel().currentObservation, newest);
  ASSERT_TRUE(graph.series.back().detailLines.has_value());
  const TextLines& details = *graph.series.back().detailLines;
  EXPECT_EQ(details, detailLines(newest, nullptr, session->settings().timeUtc));
  ASSERT_EQ(details.size(), 11u);
  const std::string temperature = formatText("TEMP: %.1f\xB0" "C (%ld\xB0" "F)", newest.temperature,
                                             std::lround(newest.temperature * 1.8 + 32));
  EXPECT_EQ(details[1], temperature);
  EXPECT_EQ(details[9], "CATEGORY: " + served[0]["fltCat"].get<std::string>());
  EXPECT_EQ(details[10], "METAR: " + served[0]["rawOb"].get<std::string>());
  EXPECT_NEAR(newest.temperature, served[0]["temp"].get<double>(), 0.051);
  EXPECT_NEAR(newest.pressure, served[0]["altim"].get<double>(), 0.051);

  // The heading names the source; the refresh comes no oftener than the service allows.
  EXPECT_TRUE(graph.title.ends_with(",  live METAR")) << graph.title;
  EXPECT_GE(chart->refreshTimer()->interval(), 5 * 60000);
  EXPECT_FALSE(WaitCursorShown());
}

TEST_F(MetarChartTest, AnswersWithoutReportsOpenNoWindowAndSayWhy) {
  const struct {
    const char* what;
    int status;  // 0: the sample service answers
    const char* body;
    const char* statusText;  // "" when no status text is due
  } cases[] = {
      {"unknown station", 0, "", ""},
      {"not JSON", 200, "<html>busy</html>", "The aviation weather service's answer could not be read."},
      {"an object without rawOb", 200, R"([{"icaoId":"KBOS","obsTime":1779270840,"temp":20}])",
       "1 of the service's reports could not be read."},
      {"a server error", 500, "{}", "The aviation weather service answered: "},
  };
  StartLive();
  for (const auto& c : cases) {
    messages.clear();
    Frame()->setStatusText("Ready");
    if (c.status != 0) front->answer(c.status, c.body);
    // A station not yet asked this minute.
    EXPECT_EQ(Open(c.status == 0 ? "ZZZZ" : "KBOS"), nullptr) << c.what;
    ASSERT_FALSE(messages.empty()) << c.what;
    EXPECT_EQ(messages[0].rfind("Sorry, no data available for the Station:\n\n", 0), 0u) << c.what << messages[0];
    EXPECT_TRUE(Views<StationChartView>().empty()) << c.what;
    EXPECT_TRUE(session->openStations().empty()) << c.what;
    EXPECT_FALSE(WaitCursorShown()) << c.what;
    if (*c.statusText != '\0') {
      EXPECT_NE(StatusText(Frame()).indexOf(QString::fromUtf8(c.statusText)), -1)
          << c.what << ": " << StatusText(Frame()).toStdString();
    }
    // The next case asks anew: past the station's minute.
    StopWindow();
    StartLive();
  }
}

TEST_F(MetarChartTest, TooManyRequestsPausesAskingForAMinute) {
  front->answer(429, "");
  StartLive();
  EXPECT_EQ(Open("KBOS"), nullptr);
  EXPECT_EQ(front->requestCount(), 1);
  EXPECT_TRUE(Views<StationChartView>().empty());
  const QString wait = QStringLiteral("asked us to wait");
  EXPECT_NE(StatusText(Frame()).indexOf(wait), -1) << StatusText(Frame()).toStdString();

  // Again within the minute, and another station: nobody is asked.
  Frame()->setStatusText("Ready");
  EXPECT_EQ(Open("KBOS"), nullptr);
  EXPECT_EQ(Open("ZZZZ"), nullptr);
  EXPECT_EQ(front->requestCount(), 1);
  EXPECT_TRUE(Views<StationChartView>().empty());
  EXPECT_NE(StatusText(Frame()).indexOf(wait), -1) << StatusText(Frame()).toStdString();
  EXPECT_FALSE(WaitCursorShown());
}

// Each tick asks for the newest report; the service lets an answer be
// reused for a minute, which the source's own clock is moved past. Once
// ticks failed, or the newest report is older than the period, a tick asks
// for every hour since it, so nothing sent during an outage is missed.
TEST_F(MetarChartTest, ARefreshAddsEveryReportSinceTheNewestOnce) {
  // The service is two hours behind at first: an outage as the chart sees it.
  const std::time_t realNow = serviceNow;
  serviceNow -= 2 * 3600;
  service->setNow(serviceNow);
  StartLive();
  std::int64_t clockSeconds = QDateTime::currentSecsSinceEpoch();
  session->sources().liveMetarSource().setClock([&clockSeconds] { return clockSeconds; });
  StationChartView* chart = Open("KBOS");
  ASSERT_NE(chart, nullptr) << (messages.empty() ? "" : messages.front());
  const Chart& graph = *chart->chart();
  const int rows = graph.getRowCount();
  auto tick = [chart] {
    chart->refresh();
    EXPECT_TRUE(WaitUntil([chart] { return !chart->chartModel().isBusy(); })) << "the tick never ended";
    QApplication::processEvents();
  };

  // Within the minute: the opening's answer again, nothing doubled, nobody asked.
  tick();
  EXPECT_EQ(graph.getRowCount(), rows);
  EXPECT_EQ(front->requestCount(), 1);

  // The service fails: the chart keeps its rows and says since when.
  front->answer(500, "{}");
  clockSeconds += 61;
  tick();
  EXPECT_EQ(graph.getRowCount(), rows);
  EXPECT_TRUE(TitleOf(chart).contains(QStringLiteral("no new report since")));

  // Back with the two hours: every report of the outage comes in, oldest
  // first, each once.
  front->passThrough();
  const std::int64_t newestBefore = chart->chartModel().observations.front().observedAt;
  serviceNow = realNow;
  service->setNow(serviceNow);
  ObservationList missed;
  for (const Observation& o : Decoded("ids=KBOS&hours=4"))
    if (o.observedAt > newestBefore) missed.insert(missed.begin(), o);
  ASSERT_GE(missed.size(), 2u) << "an hourly station sends two reports in two hours";
  clockSeconds += 61;
  tick();
  EXPECT_NE(front->asked().back(), "KBOS ") << "a tick after a failure asks for hours";
  ASSERT_EQ(graph.getRowCount(), rows + static_cast<int>(missed.size()));
  for (std::size_t i = 0; i < missed.size(); ++i) {
    EXPECT_EQ(Cell(graph, rows + static_cast<int>(i), 1), Fixed(missed[i].temperature)) << i;
    EXPECT_EQ(chart->chartModel().observations[missed.size() - 1 - i], missed[i]) << i;
  }
  EXPECT_EQ(chart->chartModel().currentObservation, missed.back());
  EXPECT_EQ(*graph.series.back().detailLines,
            detailLines(missed.back(), nullptr, session->settings().timeUtc));
  EXPECT_EQ(TitleOf(chart), QString::fromStdString(kBoston)) << "no longer marked stale";

  // Nothing newer within the minute: no row, nobody asked.
  const int asked = front->requestCount();
  tick();
  EXPECT_EQ(graph.getRowCount(), rows + static_cast<int>(missed.size()));
  EXPECT_EQ(front->requestCount(), asked);
  EXPECT_TRUE(messages.empty());
}

// The reports of a chart are kept: with the service gone, the station's
// chart opens from the store at once, marked offline, with no box.
TEST_F(MetarChartTest, WithoutTheServiceAChartOpensFromTheStoredReports) {
  StartLive();
  StationChartView* first = Open("KBOS");
  ASSERT_NE(first, nullptr) << (messages.empty() ? "" : messages.front());
  const ObservationList shown = first->chartModel().observations;
  StopWindow();

  // A new run, past the minute an answer is reused, and the service gone.
  StartLive();
  session->sources().liveMetarSource().setClock([] { return QDateTime::currentSecsSinceEpoch() + 120; });
  session->setMetarUrl("http://127.0.0.1:" + std::to_string(ClosedPort()));
  StationChartView* chart = Open("KBOS");
  ASSERT_NE(chart, nullptr) << (messages.empty() ? "" : messages.front());
  EXPECT_TRUE(messages.empty()) << messages.front();
  EXPECT_EQ(chart->chartModel().observations, shown);
  EXPECT_TRUE(WaitUntil([chart] { return chart->chartModel().isOffline(); }));
  const std::string title = kBoston + " (offline, newest report " +
                            clockText(shown.front().observedAt, session->settings().timeUtc) + ")";
  EXPECT_EQ(TitleOf(chart).toStdString(), title);
  // The heading names what the chart shows: the store's reports.
  EXPECT_TRUE(chart->chart()->title.ends_with(",  stored METAR")) << chart->chart()->title;
}

// A failed opening tells once and leaves the program as it was, however
// long the user takes over the box; a second chart of a station within its
// minute is the minute's answer again, never refused.
TEST_F(MetarChartTest, AFailedOpeningTellsOnceAndTheProgramGoesOn) {
  StartLive();
  session->setMetarUrl("http://127.0.0.1:" + std::to_string(ClosedPort()));
  int openingsWhileTold = -1;
  int progressWindowsWhileTold = 0;
  onMessage = [&](const std::string&) {
    // Longer than the progress window's delay: the opening is over by then.
    QTest::qWait(700);
    openingsWhileTold = OpenerOf(Frame()).openingCount();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* progress = qobject_cast<QProgressDialog*>(widget);
      if (progress == nullptr || !progress->isVisible()) continue;
      ++progressWindowsWhileTold;
      progress->cancel();
    }
  };
  EXPECT_EQ(Open("KBOS"), nullptr);
  onMessage = nullptr;
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind("Sorry, the weather service could not be reached (", 0), 0u) << messages[0];
  EXPECT_EQ(openingsWhileTold, 0);
  EXPECT_EQ(progressWindowsWhileTold, 0);
  EXPECT_TRUE(Views<StationChartView>().empty());
  EXPECT_FALSE(WaitCursorShown());

  messages.clear();
  session->setMetarUrl(front->url());
  ASSERT_NE(Open("KBOS"), nullptr);
  ASSERT_NE(Open("KBOS"), nullptr) << (messages.empty() ? "" : messages.front());
  EXPECT_EQ(front->requestCount(), 1);
  EXPECT_EQ(Views<StationChartView>().size(), 2u);
  EXPECT_TRUE(messages.empty());
}

// Charts opening against a stalled service hold up neither the map's
// weather download nor the user: the progress window leaves every other
// window its input, and closing the main window quits at once.
TEST_F(MetarChartTest, StalledOpeningsHoldUpNoOtherDownloadNorTheUser) {
  LocalHttpServer stalled;
  stalled.ServeStalled("/api/data/metar");
  stalled.ServeStalled("/api/data/taf");
  stalled.Serve("/data/cache/metars.cache.csv.gz",
                "raw_text,station_id,observation_time\n"
                "KBOS 071754Z 16009KT 10SM FEW120 12/M04 A3001,KBOS,2026-12-07T17:54:00Z\n",
                "text/csv");
  ASSERT_TRUE(stalled.start());
  StartLive();
  session->setMetarUrl(stalled.Url(""));
  const Station& boston = session->allStations().front();
  for (int i = 0; i < 5; ++i) Frame()->openStationChart(boston);
  ASSERT_TRUE(WaitUntil([&] { return stalled.StalledRequests() >= 4; }));
  ASSERT_TRUE(WaitUntil([] {
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (qobject_cast<QProgressDialog*>(widget) != nullptr && widget->isVisible()) return true;
    return false;
  }));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

  WeatherFeed& feed = session->weatherFeed();
  QSignalSpy changed(&feed, &WeatherFeed::changed);
  feed.setBaseUrl(stalled.Url(""));
  QObject map;
  feed.addUser(&map);
  // Well within the stalled answers' 20 seconds.
  ASSERT_TRUE(WaitUntil([&] { return feed.snapshot() != nullptr; }, 5000));
  EXPECT_EQ(feed.snapshot()->stations.size(), 1u);
  EXPECT_GE(changed.count(), 2);
  feed.removeUser(&map);

  EXPECT_EQ(OpenerOf(Frame()).openingCount(), 5);
  EXPECT_TRUE(Frame()->close());
  EXPECT_EQ(OpenerOf(Frame()).openingCount(), 0);
  EXPECT_TRUE(Views<StationChartView>().empty());
  EXPECT_TRUE(messages.empty());
}

// Closing while the map's weather download is read: the reading keeps what
// it reads, and the close waits for it (AddressSanitizer watches).
TEST_F(MetarChartTest, ClosingWhileTheWeatherIsReadLeavesNothingBehind) {
  std::string rows = "raw_text,station_id,observation_time\n";
  for (int i = 0; i < 20000; ++i)
    rows += "KBOS 071754Z 16009KT 10SM FEW120 12/M04 A3001,KBOS,2026-12-07T17:54:00Z\n";
  LocalHttpServer cache;
  cache.Serve("/data/cache/metars.cache.csv.gz", rows, "text/csv");
  ASSERT_TRUE(cache.start());
  StartLive();
  WeatherFeed& feed = session->weatherFeed();
  feed.setBaseUrl(cache.Url(""));
  QObject map;
  feed.addUser(&map);
  ASSERT_TRUE(feed.isLoading());
  StopWindow();
}

// The same reports through both sources, in UTC and US units: the same rows.
TEST_F(MetarChartTest, UtcAndUsUnitsGiveThePageSourcesRows) {
  StartLive();
  ChangeSettings(*session, [&](Settings& s) { s.timeUtc = true; });
  ChangeSettings(*session, [&](Settings& s) { s.metricStyle = false; });
  StationChartView* live = Open("KBOS");
  ASSERT_NE(live, nullptr);

  // A report page of our decoding of the very reports served.
  std::vector<PageReport> page;
  for (const Observation& o : Decoded("ids=KBOS&hours=6")) {
    const ShownTime utc = shownTime(o.observedAt, true);
    PageReport r;
    r.year = utc.year;
    r.month = utc.month;
    r.day = utc.day;
    r.hour = utc.hour;
    r.minute = utc.minute;
    r.temperature = o.temperature;
    r.pressureMb = o.pressure;
    r.inches = o.pressure / kHectopascalsPerInch;
    r.windDirection = o.windDirection;
    r.windSpeed = o.windSpeed;
    r.calm = o.windSpeed == 0.0;
    page.push_back(r);
  }
  ReportService pages;
  ASSERT_TRUE(pages.start());
  pages.SetPage("most recent only", ComposePage({page.front()}));
  pages.SetPage("past+6+hours", ComposePage(page));
  session->setServiceHost(pages.Host());
  session->setReportSource(ReportSource::kReportPages);
  StationChartView* paged = Open("KBOS");
  ASSERT_NE(paged, nullptr) << (messages.empty() ? "" : messages.front());

  const Chart& a = *live->chart();
  const Chart& b = *paged->chart();
  ASSERT_EQ(a.getRowCount(), b.getRowCount());
  ASSERT_EQ(a.series.size(), b.series.size());
  for (std::size_t s = 0; s < a.series.size(); ++s) EXPECT_EQ(a.series[s].title, b.series[s].title);
  EXPECT_TRUE(b.title.ends_with(",  report pages")) << b.title;
  for (int i = 0; i < a.getRowCount(); ++i) {
    EXPECT_EQ(a.rowLabel(i), b.rowLabel(i)) << "UTC time, row " << i;
    EXPECT_EQ(Cell(a, i, 1), Cell(b, i, 1)) << "degrees F, row " << i;
    EXPECT_EQ(Cell(a, i, 2), Cell(b, i, 2)) << "inches of mercury, row " << i;
    // The page gives the wind to a tenth of a metre a second: 0.05 m/s is 0.112 MPH.
    EXPECT_NEAR(a.value(i, 3).value_or(-1), b.value(i, 3).value_or(-1), 0.12) << "MPH, row " << i;
    EXPECT_EQ(Cell(a, i, 4), Cell(b, i, 4)) << "direction, row " << i;
  }
  // US units are the page's: Fahrenheit of the METAR's Celsius.
  const Observation& oldest = live->chartModel().observations.back();
  EXPECT_EQ(Cell(a, 0, 1), Fixed(oldest.temperature * 1.8 + 32.0));
  EXPECT_EQ(Cell(a, 0, 2), Fixed(oldest.pressure / kHectopascalsPerInch));
}

TEST_F(MetarChartTest, ClosingWritesTheChartsRows) {
  StartLive();
  ChangeSettings(*session, [&](Settings& s) { s.writeMeteodata = true; });
  ASSERT_NE(Open("KBOS"), nullptr);
  const ObservationList reports = Decoded("ids=KBOS&hours=6");
  CloseView(Views<StationChartView>().front());

  const fs::path folder = fs::path(workDir.path().toStdString()) / "Meteodata";
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() != ".lock") files.push_back(entry.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_TRUE(files[0].filename().string().ends_with("boston logan int.txt")) << files[0];
  const std::string written = ReadAll(files[0]);
  std::size_t last = 0;
  // Oldest first, each report's line.
  for (auto it = reports.rbegin(); it != reports.rend(); ++it) {
    const ShownTime f = shownTime(it->observedAt, true);
    const std::string line = formatText("%02d/%02d/%04d\t%02d:%02d\t%.2f\t%.2f\t\t%.2f\t\t%.2f\r\n", f.month,
                                        f.day, f.year, f.hour, f.minute, it->temperature, it->pressure,
                                        it->windDirection, it->windSpeed);
    const std::size_t at = written.find(line);
    ASSERT_NE(at, std::string::npos) << line << "in\n" << written;
    EXPECT_GE(at, last) << line;
    last = at;
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(MetarChartTest, TheSourceChosenInParametersOutlivesTheRun) {
  const struct {
    ReportSource before;
    int chosen;  // the combo's index
    const char* stored;
    ReportSource after;
  } cases[] = {
      {ReportSource::kReportPages, 0, "metar", ReportSource::kLiveMetar},
      {ReportSource::kLiveMetar, 1, "pages", ReportSource::kReportPages},
  };
  for (const auto& c : cases) {
    ClearStoredSource();
    StartWindow();
    session->setReportSource(c.before);
    // For this run only, as from the command line.
    session->setMetarUrl(front->url());
    ModalWatch<ParametersDialog> parameters([&c](ParametersDialog* dialog) {
      auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("reportSource"));
      ASSERT_NE(combo, nullptr);
      combo->setCurrentIndex(c.chosen);
      dialog->pastHoursList->setCurrentIndex(dialog->pastHoursList->findText(QStringLiteral("24")));
      dialog->okButton->click();
    });
    ActionOf(Frame(), "parametersAction")->trigger();
    ASSERT_TRUE(parameters.seen()) << c.stored;
    EXPECT_EQ(session->settings().reportSource, c.after);
    EXPECT_EQ(session->settings().pastHours, 24);
    StopWindow();

    QSettings stored(QStringLiteral("Quillfen"), QStringLiteral("Nimbrel"));
    EXPECT_EQ(stored.value(QStringLiteral("Settings/ReportSource")).toString(), QString::fromLatin1(c.stored));
    Session again;
    Settings expected;
    expected.reportSource = c.after;
    EXPECT_EQ(again.settings().reportSource, c.after) << c.stored;
    EXPECT_EQ(again.settings().metarUrl, expected.metarUrl) << "this run's address is not kept";
    EXPECT_EQ(again.settings().pastHours, expected.pastHours);
    EXPECT_TRUE(again.settings() == expected) << "the source kept, everything else as at first";
  }
}

}  // namespace
}  // namespace nimbrel::test
