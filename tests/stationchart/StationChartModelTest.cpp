// The data life of a station's chart: loading the past hours through a
// fetcher that answers when the test says so, the refresh period and UTC
// offset, the rows, the refresh tick and the export on closing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>

#include "stationchart/StationChart.h"
#include "metar/MetarDecoder.h"
#include "observations/MetarObservation.h"
#include "observations/CurlPageFetcher.h"
#include "observations/MetarSource.h"
#include "observations/ReportPageSource.h"
#include "reportstore/ReportStore.h"
#include "stationchart/MeteodataFile.h"
#include "stationchart/StationChartModel.h"
#include "support/ChartTestSupport.h"
#include "support/DeferredFetcher.h"
#include "support/FakeUserPort.h"
#include "support/LocalHttpServer.h"
#include "support/ReadFile.h"
#include "support/RecordingPainter.h"
#include "support/ReportPages.h"
#include "support/TempFolder.h"
#include "support/ZoneScope.h"

namespace nimbrel::test {
namespace {

// One report at hh:mm UTC on 7 December, with its own temperature.
PageReport At(int hour, int minute, double temperature) {
  PageReport report;
  report.hour = hour;
  report.minute = minute;
  report.temperature = temperature;
  return report;
}

std::string PageOf(const PageReport& report) { return ComposePage({report}); }

class StationChartModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zone.emplace("XST-2");
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

  // Loads the model with the page and says whether finished() told it is
  // loaded, or nothing when it was never called; `told` gets its outcome.
  std::optional<bool> Load(StationChartModel& model, const FetchResult& page) {
    std::optional<bool> finished;
    model.load([this, &finished](LoadOutcome outcome) {
      finished = outcome.ok;
      told = std::move(outcome);
    });
    EXPECT_FALSE(finished.has_value()) << "finished before the page came";
    EXPECT_TRUE(model.isBusy());
    fetcher.deliverNext(page);
    return finished;
  }
  std::optional<bool> Load(StationChartModel& model, const std::string& page) {
    return Load(model, PageResult(page));
  }

  // The model, loaded with reports every 20 minutes up to 17:53 UTC.
  std::unique_ptr<StationChartModel> Loaded(int reports = 3) {
    auto model = Make();
    EXPECT_EQ(Load(*model, ComposePage(Reports(reports, 20))), true);
    return model;
  }

  std::optional<ZoneScope> zone;  // local time is UTC + 2 hours
  DeferredFetcher fetcher;
  FakeUserPort port;
  LoadOutcome told;  // how the last load ended
  ReportPageSource source{fetcher};
  Settings settings;
  Station station;
};

TEST_F(StationChartModelTest, LoadGivesOneRowPerReportOldestFirst) {
  source.serviceHost = "127.0.0.1:8123";
  const auto model = Make();
  std::optional<bool> finished;
  model->load([&](LoadOutcome outcome) { finished = outcome.ok; });
  EXPECT_EQ(fetcher.urls, std::vector<std::string>{meteodataUrl("127.0.0.1:8123", "TEST", "past+6+hours")});
  EXPECT_EQ(fetcher.sizes, std::vector<int>{meteodataBufferSize(6)});
  EXPECT_EQ(port.waitCount, 1) << "no busy cursor while loading";
  EXPECT_FALSE(model->isLoaded());
  EXPECT_FALSE(finished.has_value());

  fetcher.deliverNext(ComposePage(Reports(12, 30)));
  EXPECT_EQ(finished, true);
  EXPECT_FALSE(model->isBusy());
  EXPECT_TRUE(model->isLoaded());
  ASSERT_EQ(model->chart->getRowCount(), 12);
  EXPECT_EQ(model->refreshMinutes(), 30);
  // The oldest report, 5.5 hours before the newest, comes first.
  EXPECT_NEAR(ValueAt(*model->chart, 11, 1), 10.00, 1e-9);
  EXPECT_NEAR(ValueAt(*model->chart, 0, 1), 21.00, 1e-9);
  // currentObservation is the newest report in stored units, and the dial
  // shows its wind.
  EXPECT_DOUBLE_EQ(model->currentObservation.temperature, 10.0);
  EXPECT_NEAR(model->currentObservation.pressure, 1016.3, 1e-9);
  EXPECT_EQ(model->currentObservation.observedAt, AtUtc(2026, 12, 7, 17, 53));
  EXPECT_EQ(model->dialDirection, 10.0);
  EXPECT_DOUBLE_EQ(model->dialSpeed, 4.6);
  // The heading names the source; the refresh period on the X axis and
  // the nine detail lines of the newest report on the last series.
  EXPECT_EQ(model->chart->title, "SAMPLE FIELD   ZZ   (12 34N, 056 07W),  elevation 89 m,  QQ,  report pages");
  EXPECT_EQ(model->chart->series.front().title, "Time XST (every 30 min)");
  ASSERT_TRUE(model->chart->series.back().detailLines.has_value());
  const TextLines& details = *model->chart->series.back().detailLines;
  ASSERT_EQ(details.size(), 9u);
  EXPECT_EQ(details[0], "DATE: TEST  12/7/2026 XST, observed 19:53 XST");
  EXPECT_EQ(details[8], "PRESENT: ");
  EXPECT_EQ(port.waitCount, 0);
  EXPECT_TRUE(port.messages.empty());
  EXPECT_EQ(model->title(), "SAMPLE FIELD");
}

TEST_F(StationChartModelTest, ThePastHoursComeFromTheSettings) {
  settings.pastHours = 1;
  const auto model = Make();
  ASSERT_EQ(Load(*model, ComposePage(Reports(3, 20))), true);
  EXPECT_NE(fetcher.urls.at(0).find("hoursStr=past+1+hours&"), std::string::npos) << fetcher.urls[0];
  EXPECT_EQ(fetcher.sizes.at(0), meteodataBufferSize(2)) << "a page of at least two hours is read";
  EXPECT_EQ(model->chart->getRowCount(), 3);
  EXPECT_EQ(model->refreshMinutes(), 20);
}

// A failed load says how it ended and leaves nothing to close. Nothing is
// told while the load is under way: the opening ends first.
TEST_F(StationChartModelTest, AFailedLoadTellsWhyAndClosesWithoutWork) {
  settings.writeMeteodata = true;
  const struct {
    const char* what;
    FetchResult fetched;
    ReadOutcome outcome;
  } cases[] = {
      {"no reports", PageResult("<HTML>Sorry</HTML>"), ReadOutcome::kNoData},
      {"HTTP 404", FailedResult(FetchStatus::kHttpError, "HTTP status 404", 0, 404), ReadOutcome::kNoData},
      {"timed out", FailedResult(FetchStatus::kTimedOut, "Operation timed out", 20), ReadOutcome::kTimedOut},
      {"refused", FailedResult(FetchStatus::kUnreachable, "Couldn't connect to server"), ReadOutcome::kUnreachable},
  };
  for (const auto& c : cases) {
    const auto model = Make();
    EXPECT_EQ(Load(*model, c.fetched), false) << c.what;
    EXPECT_EQ(told.reading.outcome, c.outcome) << c.what;
    EXPECT_FALSE(told.singleRecord) << c.what;
    EXPECT_TRUE(port.messages.empty()) << c.what;
    EXPECT_FALSE(model->isLoaded()) << c.what;
    EXPECT_EQ(port.waitCount, 0) << c.what;
    // A window that never opened writes no export.
    TempFolder folder;
    model->close(folder.Path());
    EXPECT_FALSE(std::filesystem::exists(folder / "Meteodata")) << c.what;
  }
}

TEST_F(StationChartModelTest, CancelledOrDroppedBeforeTheAnswerTellsNothing) {
  {
    const auto model = Make();
    bool called = false;
    model->load([&](LoadOutcome) { called = true; });
    model->cancel();
    EXPECT_FALSE(model->isBusy());
    EXPECT_EQ(port.waitCount, 0);
    model->cancel();  // twice is harmless
    EXPECT_EQ(port.waitCount, 0);
    EXPECT_EQ(fetcher.deliverAll(PageResult(ComposePage(Reports(3, 20)))), 0);
    EXPECT_FALSE(called);
    EXPECT_FALSE(model->isLoaded());
    // A window closed while loading: the model goes with the download.
    bool closedCalled = false;
    const auto closing = Make();
    closing->load([&](LoadOutcome) { closedCalled = true; });
    EXPECT_EQ(port.waitCount, 1);
    TempFolder folder;
    closing->close(folder.Path());
    EXPECT_EQ(port.waitCount, 0);
    EXPECT_EQ(fetcher.deliverAll(PageResult("")), 0);
    EXPECT_FALSE(closedCalled);
  }
  auto destroyed = Make();
  destroyed->load([](LoadOutcome) { ADD_FAILURE() << "finished after the model went"; });
  destroyed.reset();
  EXPECT_EQ(port.waitCount, 0);
  EXPECT_EQ(fetcher.deliverAll(PageResult(ComposePage(Reports(3, 20)))), 0);
  EXPECT_TRUE(port.messages.empty());
  EXPECT_EQ(fetcher.dropped, 3);
}

TEST_F(StationChartModelTest, OneReportFallsBackToHalfHourlyRefresh) {
  const auto model = Make();
  ASSERT_EQ(Load(*model, ComposePage(Reports(1, 30))), true);
  EXPECT_TRUE(told.singleRecord);
  EXPECT_EQ(model->refreshMinutes(), 30);
  EXPECT_EQ(model->utcDeltaHours(), 0);
  EXPECT_EQ(model->chart->getRowCount(), 1);
  EXPECT_EQ(model->refreshIntervalMs(), 30 * 60000);
}

// Each row value is the report's own converted once; the detail lines word
// the same report, not the converted row (that read 115.5 °F for 8 °C).
TEST_F(StationChartModelTest, RowsAndDetailLinesInTheUnitsShown) {
  Observation stored;
  stored.temperature = 8.0;
  stored.pressure = 994.0;
  stored.wind = WindState::kFrom;
  stored.windSpeed = 5.144;  // 10 kt
  stored.windDirection = 90.0;
  stored.source.temperatureText = "8.0\xB0" "C (46\xB0" "F)";
  const struct {
    const char* name;
    DisplayUnits units;
    bool metricStyle;
    double temperature, pressure, speed;
    const char* temperatureLine;
    const char* pressureLine;
  } cases[] = {
      // The default: the chart's "hps-1000" scale and the report's own words.
      {"default", DisplayUnits{}, true, 8.0, -6.0, 5.144, "TEMP: 8.0\xB0" "C (46\xB0" "F)", "PRESSURE: "},
      {"metric style off", DisplayUnits{}, false, 46.4, 29.35, 11.51, "TEMP: 8.0\xB0" "C (46\xB0" "F)", "PRESSURE: "},
      {"aviation", unitPreset(UnitPreset::kAviation), true, 8.0, -6.0, 10.0, "TEMP: 8.0\xB0" "C",
       "PRESSURE: 994.0 hPa"},
      {"metric", unitPreset(UnitPreset::kMetric), true, 8.0, -6.0, 18.52, "TEMP: 8.0\xB0" "C", "PRESSURE: 994.0 hPa"},
      {"US", unitPreset(UnitPreset::kUs), true, 46.4, 29.35, 11.51, "TEMP: 46.4\xB0" "F", "PRESSURE: 29.35 inHg"},
      {"mixed", DisplayUnits{TemperatureUnit::kFahrenheit, PressureUnit::kHectopascal, SpeedUnit::kKnot,
                             VisibilityUnit::kMetric, HeightUnit::kMetre},
       true, 46.4, -6.0, 10.0, "TEMP: 46.4\xB0" "F", "PRESSURE: 994.0 hPa"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    settings.units = c.units;
    settings.metricStyle = c.metricStyle;
    const auto model = Make();
    setupStationChart(*model->chart, station, settings, 30);
    const double yDelta = model->chart->yDelta;
    model->addObservationToChart(stored);
    EXPECT_NEAR(ValueAt(*model->chart, 0, 1), c.temperature, 0.006);
    EXPECT_NEAR(ValueAt(*model->chart, 0, 2), c.pressure, 0.006);
    EXPECT_NEAR(ValueAt(*model->chart, 0, 3), c.speed, 0.006);
    EXPECT_NEAR(ValueAt(*model->chart, 0, 4), 9.0, 1e-9);
    const TextLines& lines = *model->chart->series.back().detailLines;
    EXPECT_EQ(lines[1], c.temperatureLine);
    EXPECT_EQ(lines[3], c.pressureLine);
    // No choice of units moves the Y range.
    EXPECT_EQ(model->chart->yDelta, yDelta);
  }
}

TEST(DetailLines, EachValueOnceInTheChosenUnits) {
  const std::string raw = "KORD 071753Z 27015G25KT 3/4SM BR BKN008 OVC015 M02/M05 A2992 RMK AO2";
  const Observation live = toObservation(decodeMetar(raw, UtcDateTime{2026, 12, 7, 18, 0}), raw);
  // A report page: numbers and the page's own words, no report text.
  Observation page;
  page.source.conditionsText = "12/7/2026 17:53";
  page.temperature = 20.0;
  page.pressure = 1013.2;
  page.wind = WindState::kFrom;
  page.windSpeed = 5.144;  // 10 kt
  page.windDirection = 90.0;
  page.visibility = 16000.0;
  page.visibilityBound = VisibilityBound::kOrMore;
  page.source.ceilingText = "at 2500 feet AGL";
  page.source.weatherText = "haze";
  const struct {
    const Observation* observation;
    DisplayUnits units;
    std::vector<std::string> lines;  // TEMP to CLOUDS
  } cases[] = {
      {&live, unitPreset(UnitPreset::kAviation),
       {"TEMP: -2.0\xB0" "C", "PRESSURE: 1013.2 hPa", "WINDS: 270\xB0 at 15 kt gusting to 25 kt",
        "VISIBILITY: 1200 m", "CEILING: at 800 ft AGL",
        "CLOUDS: broken clouds at 800 ft AGL; overcast at 1500 ft AGL"}},
      {&live, unitPreset(UnitPreset::kUs),
       {"TEMP: 28.4\xB0" "F", "PRESSURE: 29.92 inHg", "WINDS: 270\xB0 at 17 mph gusting to 29 mph",
        "VISIBILITY: 3/4 SM", "CEILING: at 800 ft AGL",
        "CLOUDS: broken clouds at 800 ft AGL; overcast at 1500 ft AGL"}},
      {&live, unitPreset(UnitPreset::kMetric),
       {"TEMP: -2.0\xB0" "C", "PRESSURE: 1013.2 hPa", "WINDS: 270\xB0 at 28 km/h gusting to 46 km/h",
        "VISIBILITY: 1200 m", "CEILING: at 244 m AGL",
        "CLOUDS: broken clouds at 244 m AGL; overcast at 457 m AGL"}},
      {&page, unitPreset(UnitPreset::kUs),
       {"TEMP: 68.0\xB0" "F", "PRESSURE: 29.92 inHg", "WINDS: 090\xB0 at 12 mph", "VISIBILITY: 10 SM or more",
        "CEILING: at 2500 feet AGL", "CLOUDS: "}},
  };
  for (const auto& c : cases) {
    const TextLines lines = detailLines(*c.observation, &c.units);
    SCOPED_TRACE(c.lines[2]);
    const bool isLive = !c.observation->rawReport.empty();
    ASSERT_EQ(lines.size(), isLive ? 11u : 9u);
    EXPECT_EQ(lines[0], isLive ? "DATE: KORD 12/7/2026 UTC, observed 17:53 UTC" : "DATE: 12/7/2026 17:53");
    EXPECT_EQ((std::vector<std::string>{lines[1], lines[3], lines[4], lines[5], lines[6], lines[7]}), c.lines);
    EXPECT_EQ(lines[8], isLive ? "PRESENT: mist" : "PRESENT: haze");
    if (isLive) {
      // The dew point in the same unit as the temperature, the report as sent.
      EXPECT_EQ(lines[2].rfind(c.units.temperature == TemperatureUnit::kFahrenheit ? "DEWPOINT: 23.0\xB0" "F [RH = "
                                                                                   : "DEWPOINT: -5.0\xB0" "C [RH = ",
                               0),
                0u);
      EXPECT_EQ(lines[10], "METAR: " + raw);
    }
  }
  // Without a choice a METAR keeps its source's wording.
  EXPECT_EQ(detailLines(live)[3], "PRESSURE: 29.92 inches Hg (1013.2 mb)");
}

TEST_F(StationChartModelTest, PagesTakeThePeriodFromTheTwoNewestReports) {
  const auto model = Make();
  const struct {
    std::int64_t newest, older;
    int minutes, delta;
  } cases[] = {
      {AtUtc(2026, 12, 7, 17, 53), AtUtc(2026, 12, 7, 16, 53), 60, 2},
      {AtUtc(2026, 12, 7, 17, 53), AtUtc(2026, 12, 6, 17, 43), 10, 2},
      // The zone's offset, whatever the reports' age (here 3 hours).
      {AtUtc(2026, 12, 7, 15, 5), AtUtc(2026, 12, 7, 14, 5), 60, 2},
      // Same time of day, or a page not newest first: half-hourly, no offset.
      {AtUtc(2026, 12, 7, 17, 53), AtUtc(2026, 12, 6, 17, 53), 30, 0},
      {AtUtc(2026, 12, 7, 17, 23), AtUtc(2026, 12, 7, 17, 53), 30, 0},
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

// A METAR station's extra SPECI a minute after a routine report does not
// make the chart refresh every minute: the usual spacing decides.
TEST_F(StationChartModelTest, MetarReportsTakeTheMedianGap) {
  const std::pair<std::vector<int>, int> cases[] = {  // minutes back, newest first; the period
      {{0, 1, 5, 10, 15}, 5},       // a SPECI one minute after the newest report
      {{0, 60, 61, 120, 180}, 60},  // hourly with one SPECI between
      {{0, 30, 60, 61}, 30},        // an even count: the longer of the middle two
      {{0, 0, 0}, 30},              // no gap at all: half-hourly
  };
  const auto model = Make();
  for (const auto& [minutesBack, period] : cases) {
    model->observations.assign(minutesBack.size(), Observation{});
    for (std::size_t i = 0; i < minutesBack.size(); ++i) {
      model->observations[i].rawReport = "TEST 071753Z 16009KT 10SM FEW120 12/M04 A3001";
      model->observations[i].observedAt = AtUtc(2026, 12, 7, 17, 53) - minutesBack[i] * 60;
    }
    EXPECT_EQ(model->computePeriodAndDelta(), period) << minutesBack.size() << " reports";
  }
}

// The chart's times: the reports' UTC time, or the computer's local time
// of it, never shifted by the reports' age (here the newest is more than
// two hours old); the stale mark says the same time.
TEST_F(StationChartModelTest, RowTimesAreUtcOrTheComputersLocalTime) {
  const struct {
    const char* zone;
    bool timeUtc;
    const char* newest;  // the newest row's time
    const char* named;  // the zone named beside it
  } cases[] = {
      {"UTC0", false, "17:53", "UTC"}, {"UTC0", true, "17:53", "UTC"},  {"XST-2", false, "19:53", "XST"},
      {"XST-2", true, "17:53", "UTC"}, {"YST5", false, "12:53", "YST"}, {"YST5", true, "17:53", "UTC"},
  };
  for (const auto& c : cases) {
    ZoneScope scope(c.zone);
    port.now = AsLocal(2026, 12, 7, 20, 5);
    settings.timeUtc = c.timeUtc;
    const auto model = Loaded(3);
    ASSERT_EQ(model->chart->getRowCount(), 3);
    EXPECT_EQ(model->chart->rowLabel(2), c.newest) << c.zone << " utc " << c.timeUtc;
    model->refresh();
    ASSERT_TRUE(fetcher.deliverNext(FailedResult(FetchStatus::kTimedOut, "Operation timed out", 20)));
    EXPECT_EQ(model->title(), std::string("SAMPLE FIELD (no new report since ") + c.newest + " " + c.named + ")")
        << c.zone;
  }
}

// The report's date line, the forecast's texts, the time axis and the
// title are in the zone chosen, named; an open chart follows a change.
TEST_F(StationChartModelTest, TimesFollowTheZoneChosen) {
  const TafReading taf = readTafAnswer(
      R"([{"issueTime": "2026-12-07T17:20:00.000Z", "rawTAF": "TAF TEST 071720Z 0718/0818 24010KT P6SM SCT030 )"
      R"(TEMPO 0720/0722 3SM BR"}])");
  ASSERT_TRUE(taf.ok && taf.forecast) << taf.note;
  const struct {
    bool timeUtc;
    const char* date;
    const char* axis;
    const char* newest;  // the newest row's label
    const char* title;
    const char* issued;
    const char* hour;   // the forecast's third hour (20Z)
    const char* tempo;  // its TEMPO change
  } cases[] = {
      {true, "DATE: TEST  12/7/2026 UTC, observed 17:53 UTC", "Time UTC (every 20 min)", "17:53",
       "SAMPLE FIELD (no new report since 17:53 UTC)", "FORECAST: issued 12/7/2026 17:20 UTC: TAF TEST",
       "12/7 20:00 UTC  VFR", "TEMPO 20:00-22:00 UTC MVFR"},
      {false, "DATE: TEST  12/7/2026 XST, observed 19:53 XST", "Time XST (every 20 min)", "19:53",
       "SAMPLE FIELD (no new report since 19:53 XST)", "FORECAST: issued 12/7/2026 19:20 XST: TAF TEST",
       "12/7 22:00 XST  VFR", "TEMPO 22:00-00:00 XST MVFR"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.timeUtc);
    const std::string issued = forecastLine(*taf.forecast, c.timeUtc);
    EXPECT_EQ(issued.rfind(c.issued, 0), 0u) << issued;
    const std::string hour = forecastHourText(*taf.forecast, 2, c.timeUtc);
    EXPECT_EQ(hour.rfind(c.hour, 0), 0u) << hour;
    EXPECT_NE(hour.find(c.tempo), std::string::npos) << hour;

    // Opened in the other zone and stale; then the Parameters dialog switches.
    settings.timeUtc = !c.timeUtc;
    const auto model = Loaded(3);
    model->refresh();
    ASSERT_TRUE(fetcher.deliverNext(FailedResult(FetchStatus::kTimedOut, "Operation timed out", 20)));
    int changes = 0, stateChanges = 0;
    model->onChartChanged = [&] { ++changes; };
    model->onStateChanged = [&] { ++stateChanges; };
    settings.timeUtc = c.timeUtc;
    EXPECT_TRUE(model->followSettings());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(stateChanges, 1);
    ASSERT_EQ(model->chart->getRowCount(), 3);
    EXPECT_EQ(model->chart->rowLabel(2), c.newest);
    EXPECT_EQ(model->chart->series.front().title, c.axis);
    ASSERT_TRUE(model->chart->series.back().detailLines.has_value());
    EXPECT_EQ(model->chart->series.back().detailLines->front(), c.date);
    EXPECT_EQ(model->title(), c.title);
    EXPECT_FALSE(model->followSettings()) << "nothing changed since";
    EXPECT_EQ(changes, 1);
  }
}

// The dial's needle reads the wind in metres per second whatever unit the
// chart shows, after loading and after a refresh alike.
TEST_F(StationChartModelTest, TheDialIsTheSameInEveryUnit) {
  for (const UnitPreset preset : {UnitPreset::kMetric, UnitPreset::kUs}) {
    settings.units = unitPreset(preset);
    const auto model = Loaded(3);
    EXPECT_DOUBLE_EQ(model->dialSpeed, model->currentObservation.windSpeed);
    PageReport later = At(18, 13, 11.0);
    later.windSpeed = 9.2;
    model->refresh();
    ASSERT_TRUE(fetcher.deliverNext(PageOf(later)));
    ASSERT_EQ(model->chart->getRowCount(), 4);
    EXPECT_GT(model->currentObservation.windSpeed, 0.0);
    EXPECT_DOUBLE_EQ(model->dialSpeed, model->currentObservation.windSpeed);
    EXPECT_NE(ValueAt(*model->chart, 3, 3), model->dialSpeed) << "the row is in the unit chosen";
  }
}

// A quantity a report lacks is a gap in its line, not a 0; the export
// leaves its cell empty and writes present values as before.
TEST_F(StationChartModelTest, AMissingValueIsAGapInTheChartAndTheExport) {
  std::int64_t now = 1796665980 + 120;
  MetarSource metar(fetcher, [&now] { return now; });
  settings.writeMeteodata = true;
  StationChartModel model(station, settings, metar, port, nullptr);
  model.load([](LoadOutcome) {});
  fetcher.deliverNext(PageResult(R"([{"rawOb": "TEST 071753Z 16009KT 10SM FEW120 12/M04 A3001", "obsTime": 1796665980},
      {"rawOb": "TEST 071653Z VRB03KT 10SM FEW120 11/M04", "obsTime": 1796662380},
      {"rawOb": "TEST 071553Z 16009KT 10SM FEW120 A3002", "obsTime": 1796658780}])"));
  ASSERT_TRUE(model.isLoaded());
  ASSERT_EQ(model.chart->getRowCount(), 3);
  const struct {
    int row;
    const char* label;
    double values[4];  // kGap: none
  } rows[] = {{0, "17:53", {kGap, 16.59, 4.63, 16.0}}, {1, "18:53", {11.0, kGap, 1.54, kGap}}};  // 18:53: variable
  for (const auto& r : rows) {
    EXPECT_EQ(model.chart->rowLabel(r.row), r.label);
    for (int column = 1; column <= 4; ++column) {
      const double expected = r.values[column - 1];
      if (std::isnan(expected))
        EXPECT_EQ(model.chart->value(r.row, column), std::nullopt) << r.label << " column " << column;
      else
        EXPECT_NEAR(ValueAt(*model.chart, r.row, column), expected, 0.005) << r.label << " column " << column;
    }
  }

  TempFolder folder;
  model.close(folder.Path());
  const std::string text = ReadAll(folder / "Meteodata" / meteodataFileName("SAMPLE FIELD", port.now));
  EXPECT_NE(text.find("\t16:53\t11.00\t\t\t\t\t1.54\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\t15:53\t\t1016.59\t\t160.00\t\t4.63\r\n"), std::string::npos) << text;
}

// Values below the fixed scale: the status bar says so, once.
TEST_F(StationChartModelTest, ValuesBeyondTheScaleAreToldInTheStatusBar) {
  FixedOwner owner(650, 670);
  StationChartModel model(station, settings, source, port, &owner);
  std::vector<PageReport> reports = Reports(3, 20);
  for (PageReport& report : reports) report.temperature = -24.0;
  model.load([](LoadOutcome) {});
  fetcher.deliverNext(ComposePage(reports));
  ASSERT_TRUE(model.isLoaded());
  for (int paint = 0; paint < 2; ++paint) {
    RecordingPainter painter;
    paintStationChart(*model.chart, painter, 0.0, 0.0);
    model.chartDrawn();
  }
  EXPECT_EQ(port.statusTexts, std::vector<std::string>{"SAMPLE FIELD: some values lie beyond the chart's scale; "
                                                       "Autoscale (Parameters) shows them."});
}

TEST_F(StationChartModelTest, ARefreshAddsANewerReportOnceUnderTheSettingsOfTheMoment) {
  const auto model = Loaded();
  int changes = 0;
  int stateChanges = 0;
  model->onChartChanged = [&] { ++changes; };
  model->onStateChanged = [&] { ++stateChanges; };
  fetcher.urls.clear();
  fetcher.sizes.clear();

  model->refresh();
  // Ticks while the first is under way ask nothing more.
  model->refresh();
  model->refresh();
  EXPECT_EQ(fetcher.urls.size(), 1u);
  EXPECT_NE(fetcher.urls.at(0).find("hoursStr=most+recent+only&"), std::string::npos) << fetcher.urls[0];
  EXPECT_EQ(fetcher.sizes.at(0), meteodataBufferSize(1));
  EXPECT_EQ(port.waitCount, 0) << "a refresh shows no busy cursor";
  EXPECT_EQ(model->chart->getRowCount(), 3);

  ASSERT_TRUE(fetcher.deliverNext(PageOf(At(18, 13, 30.0))));
  ASSERT_EQ(model->chart->getRowCount(), 4);
  EXPECT_EQ(model->chart->rowLabel(3), "20:13");
  EXPECT_NEAR(ValueAt(*model->chart, 3, 1), 30.00, 1e-9);
  EXPECT_DOUBLE_EQ(model->currentObservation.temperature, 30.0);
  EXPECT_EQ(model->observations.size(), 4u);
  EXPECT_EQ(changes, 1);

  // The same report again, and an older one: nothing is doubled.
  for (const PageReport& report : {At(18, 13, 30.0), At(17, 33, 11.0)}) {
    model->refresh();
    ASSERT_TRUE(fetcher.deliverNext(PageOf(report)));
    EXPECT_EQ(model->chart->getRowCount(), 4);
    EXPECT_EQ(model->observations.size(), 4u);
    EXPECT_DOUBLE_EQ(model->currentObservation.temperature, 30.0);
  }
  EXPECT_EQ(changes, 1);

  // The Parameters dialog switched to UTC: the next row follows.
  settings.timeUtc = true;
  model->refresh();
  ASSERT_TRUE(fetcher.deliverNext(PageOf(At(18, 33, 31.0))));
  ASSERT_EQ(model->chart->getRowCount(), 5);
  EXPECT_EQ(model->chart->rowLabel(4), "18:33");
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(stateChanges, 0);
  EXPECT_TRUE(port.messages.empty());
  EXPECT_TRUE(port.statusTexts.empty());
  EXPECT_EQ(model->title(), "SAMPLE FIELD");
}

// A refresh that fails keeps every row, marks the chart as stale and says
// so in the status bar, without a message box; the next success clears it.
TEST_F(StationChartModelTest, AFailedRefreshKeepsEverythingAndMarksTheTitle) {
  const struct {
    const char* what;
    FetchResult fetched;
  } cases[] = {
      {"timed out", FailedResult(FetchStatus::kTimedOut, "Operation timed out", 20)},
      {"refused", FailedResult(FetchStatus::kUnreachable, "Couldn't connect to server")},
      {"HTTP 500", FailedResult(FetchStatus::kHttpError, "HTTP status 500", 0, 500)},
      {"no reports", PageResult("<HTML>Sorry, no data</HTML>")},
  };
  for (const auto& c : cases) {
    port.statusTexts.clear();
    const auto model = Loaded();
    const ObservationList before = model->observations;
    int stateChanges = 0;
    model->onStateChanged = [&] { ++stateChanges; };

    model->refresh();
    ASSERT_TRUE(fetcher.deliverNext(c.fetched)) << c.what;
    EXPECT_EQ(model->observations, before) << c.what;
    EXPECT_EQ(model->chart->getRowCount(), 3) << c.what;
    EXPECT_TRUE(model->isLoaded()) << c.what;
    EXPECT_TRUE(port.messages.empty()) << c.what;
    // The newest report, 17:53 UTC, in the window's local time; the window
    // tells it when the state changes, with how the refresh ended.
    EXPECT_EQ(model->staleNote(), "SAMPLE FIELD: no new report since 19:53 XST.") << c.what;
    ASSERT_TRUE(model->refreshProblem().has_value()) << c.what;
    EXPECT_FALSE(model->refreshProblem()->ok()) << c.what;
    EXPECT_EQ(model->title(), "SAMPLE FIELD (no new report since 19:53 XST)") << c.what;
    EXPECT_EQ(stateChanges, 1) << c.what;

    // A repeated report is a success too: the mark goes, nothing is added.
    model->refresh();
    ASSERT_TRUE(fetcher.deliverNext(PageOf(At(17, 53, 10.0)))) << c.what;
    EXPECT_EQ(model->title(), "SAMPLE FIELD") << c.what;
    EXPECT_EQ(stateChanges, 2) << c.what;
    EXPECT_FALSE(model->refreshProblem().has_value()) << c.what;
    EXPECT_EQ(model->chart->getRowCount(), 3) << c.what;
  }
}

TEST_F(StationChartModelTest, ARefreshBeforeLoadingOrAfterClosingAsksNothing) {
  const auto model = Make();
  model->refresh();
  EXPECT_TRUE(fetcher.urls.empty());
  EXPECT_EQ(Load(*model, ComposePage(Reports(3, 20))), true);
  TempFolder folder;
  model->close(folder.Path());
  model->refresh();
  EXPECT_EQ(fetcher.urls.size(), 1u);
}

// A refresh under way when the window closes is dropped.
TEST_F(StationChartModelTest, ClosingDropsARefreshUnderWay) {
  const auto model = Loaded();
  model->refresh();
  TempFolder folder;
  model->close(folder.Path());
  EXPECT_FALSE(model->isBusy());
  EXPECT_EQ(fetcher.deliverAll(PageResult(PageOf(At(18, 13, 30.0)))), 0);
  EXPECT_EQ(model->observations.size(), 3u);
}

// What the export writes for these observations, through the same writer.
std::string ExpectedExport(FakeUserPort& port, const std::string& name, const ObservationList& observations) {
  TempFolder folder;
  return ReadAll(writeMeteodataFile(port, folder.Path(), name, observations, port.now));
}

TEST_F(StationChartModelTest, TheExportWritesTheLoadedAndTheRefreshedReportsOldestFirst) {
  settings.writeMeteodata = true;
  const std::string past = ComposePage(Reports(2, 30));
  const auto model = Make();
  ASSERT_EQ(Load(*model, past), true);
  const PageReport ticks[] = {At(18, 23, 20.0), At(18, 23, 20.0), At(18, 53, 21.0)};
  for (const PageReport& report : ticks) {
    model->refresh();
    ASSERT_TRUE(fetcher.deliverNext(PageOf(report)));
  }
  // One failed tick between: it changes nothing written.
  model->refresh();
  ASSERT_TRUE(fetcher.deliverNext(FailedResult(FetchStatus::kTimedOut, "Operation timed out", 20)));

  ObservationList expected = readPageResult(station, PageResult(PageOf(ticks[2]))).observations;
  expected.push_back(readPageResult(station, PageResult(PageOf(ticks[0]))).observations.at(0));
  for (const Observation& o : readPageResult(station, PageResult(past)).observations) expected.push_back(o);
  ASSERT_EQ(expected.size(), 4u);

  TempFolder folder;
  model->close(folder.Path());
  const std::string written = ReadAll(folder / "Meteodata" / meteodataFileName("SAMPLE FIELD", port.now));
  EXPECT_EQ(written, ExpectedExport(port, "SAMPLE FIELD", expected));
  const std::size_t first = written.find("\t17:23\t");
  const std::size_t second = written.find("\t17:53\t");
  const std::size_t third = written.find("\t18:23\t");
  const std::size_t fourth = written.find("\t18:53\t");
  ASSERT_NE(fourth, std::string::npos) << written;
  EXPECT_LT(first, second);
  EXPECT_LT(second, third);
  EXPECT_LT(third, fourth);
  EXPECT_EQ(written.find("\t18:23\t", third + 1), std::string::npos) << "a repeated report was written twice";
}

TEST_F(StationChartModelTest, TheExportAfterAFailedTickWritesEveryLoadedRow) {
  settings.writeMeteodata = true;
  const std::string past = ComposePage(Reports(5, 20));
  const auto model = Make();
  ASSERT_EQ(Load(*model, past), true);
  model->refresh();
  ASSERT_TRUE(fetcher.deliverNext(FailedResult(FetchStatus::kUnreachable, "Couldn't connect to server")));
  TempFolder folder;
  model->close(folder.Path());
  EXPECT_EQ(ReadAll(folder / "Meteodata" / meteodataFileName("SAMPLE FIELD", port.now)),
            ExpectedExport(port, "SAMPLE FIELD", readPageResult(station, PageResult(past)).observations));
}

TEST_F(StationChartModelTest, ClosingWritesTheExportOnceWhenTheSettingsAskForIt) {
  TempFolder folder;
  const std::filesystem::path exported = folder / "Meteodata" / "12_07_2026_sample field.txt";

  const auto quiet = Loaded(2);
  quiet->close(folder.Path());
  EXPECT_FALSE(std::filesystem::exists(folder / "Meteodata"));

  settings.writeMeteodata = true;
  const auto model = Make();
  ASSERT_EQ(Load(*model, ComposePage(Reports(2, 30))), true);
  model->close(folder.Path());
  const std::string text = ReadAll(exported);
  EXPECT_NE(text.find("12/07/2026\t17:53\t10.00\t1016.30\t\t10.00\t\t4.60\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("12/07/2026\t17:23\t11.00\t"), std::string::npos) << text;
  EXPECT_FALSE(model->isLoaded());

  std::filesystem::remove(exported);
  model->close(folder.Path());
  EXPECT_FALSE(std::filesystem::exists(exported)) << "the closing work ran twice";
}

// Charts with a report store under the live METAR source: they open from
// the store at once and the service adds what the store lacked, or open
// from it marked offline when the service cannot be reached.
class StoredChartTest : public StationChartModelTest {
 protected:
  static constexpr std::int64_t kDayStart = 1796601600;  // 2026-12-07T00:00Z

  void SetUp() override {
    StationChartModelTest::SetUp();
    Reset("reports");
  }
  // A new store and source, for the next case.
  void Reset(const std::string& name) {
    store = std::make_shared<ReportStore>(folder / (name + ".sqlite"));
    metar = std::make_unique<MetarSource>(fetcher, [this] { return now; });
    metar->setStore(store);
  }

  static std::int64_t At(int hour, int minute) { return kDayStart + hour * 3600 + minute * 60; }
  static std::string Raw(int hour, int minute) {
    char text[80];
    std::snprintf(text, sizeof text, "TEST 07%02d%02dZ 16009KT 10SM FEW120 %02d/M04 A3001", hour, minute, minute % 30);
    return text;
  }
  void Store(std::initializer_list<std::pair<int, int>> times) {
    std::vector<StoredMetar> reports;
    for (auto [h, m] : times) reports.push_back(StoredMetar{"TEST", At(h, m), Raw(h, m), ReportOrigin::kChart, false});
    ASSERT_TRUE(store->putMetars(reports));
  }
  static std::string Answer(std::initializer_list<std::pair<int, int>> times) {
    std::string json = "[";
    for (auto [h, m] : times)
      json += (json.size() > 1 ? "," : "") + std::string("{\"rawOb\": \"") + Raw(h, m) +
              "\", \"obsTime\": " + std::to_string(At(h, m)) + "}";
    return json + "]";
  }
  std::unique_ptr<StationChartModel> MakeLive() {
    return std::make_unique<StationChartModel>(station, settings, *metar, port, nullptr);
  }
  std::vector<std::string> RowTimes(const StationChartModel& model) {
    std::vector<std::string> times;
    for (int i = 0; i < model.chart->getRowCount(); ++i) times.push_back(model.chart->rowLabel(i));
    return times;
  }

  TempFolder folder;
  std::shared_ptr<ReportStore> store;
  std::int64_t now = At(18, 5);
  std::unique_ptr<MetarSource> metar;
};

TEST_F(StoredChartTest, OpensFromTheStoreThenAddsWhatTheServiceHad) {
  settings.timeUtc = true;
  Store({{16, 53}, {17, 13}, {17, 33}});
  auto model = MakeLive();
  std::optional<bool> finished;
  model->load([&](LoadOutcome outcome) { finished = outcome.ok; });
  ASSERT_TRUE(fetcher.deliverNext(FetchResult{}));  // the store's reports, handed over later
  ASSERT_EQ(finished, true);
  EXPECT_EQ(RowTimes(*model), (std::vector<std::string>{"16:53", "17:13", "17:33"}));
  // The station's hours were never all asked: the service fills them once.
  ASSERT_EQ(fetcher.urls.size(), 1u);
  EXPECT_NE(fetcher.urls.back().find("&hours=6"), std::string::npos) << fetcher.urls.back();
  ASSERT_TRUE(fetcher.deliverNext(Answer({{17, 53}, {17, 33}, {15, 53}})));
  EXPECT_EQ(RowTimes(*model), (std::vector<std::string>{"15:53", "16:53", "17:13", "17:33", "17:53"}));
  EXPECT_EQ(model->currentObservation.rawReport, Raw(17, 53));
  EXPECT_EQ(model->title(), "SAMPLE FIELD");
  EXPECT_EQ(store->metars("TEST", 0, At(23, 0)).size(), 5u);

  // The next chart of the station, past the minute an answer is reused,
  // asks only for the hours since the newest.
  model.reset();
  now += 120;
  auto next = MakeLive();
  next->load([&](LoadOutcome outcome) { finished = outcome.ok; });
  ASSERT_TRUE(fetcher.deliverNext(FetchResult{}));
  EXPECT_EQ(next->chart->getRowCount(), 5);
  EXPECT_NE(fetcher.urls.back().find("&hours=1"), std::string::npos) << fetcher.urls.back();
}

TEST_F(StoredChartTest, WithoutTheServiceOpensFromTheStoreMarkedOffline) {
  const struct {
    const char* what;
    std::vector<std::pair<int, int>> stored;
    std::optional<bool> opened;
    std::size_t rows;
  } cases[] = {
      {"three stored reports", {{16, 53}, {17, 13}, {17, 33}}, true, 3},
      {"one stored report", {{17, 33}}, true, 1},
      {"reports older than the hours asked", {{3, 53}}, false, 0},
      {"nothing stored", {}, false, 0},
  };
  for (const auto& c : cases) {
    Reset(c.what);
    for (auto [h, m] : c.stored) Store({{h, m}});
    auto model = MakeLive();
    std::optional<bool> finished;
    model->load([&](LoadOutcome outcome) { finished = outcome.ok; });
    // The store's answer, then the service that cannot be reached.
    for (int i = 0; i < 2 && !finished; ++i)
      fetcher.deliverNext(i == 0 ? FetchResult{} : FailedResult(FetchStatus::kUnreachable, "Couldn't connect"));
    if (c.opened == true && c.rows > 1) {
      EXPECT_EQ(finished, true) << c.what;
      ASSERT_TRUE(fetcher.deliverNext(FailedResult(FetchStatus::kUnreachable, "Couldn't connect"))) << c.what;
    }
    EXPECT_EQ(finished, c.opened) << c.what;
    EXPECT_EQ(model->observations.size(), c.rows) << c.what;
    EXPECT_EQ(model->isOffline(), c.opened == true) << c.what;
    if (c.opened == true) {
      EXPECT_EQ(model->title(), "SAMPLE FIELD (offline, newest report 19:33 XST)") << c.what;
      // The heading names what the chart shows (it said "live METAR").
      EXPECT_TRUE(model->chart->title.ends_with(",  stored METAR")) << model->chart->title;
      // Once the service answers again the mark goes and the reports come.
      model->refresh();
      ASSERT_TRUE(fetcher.deliverNext(Answer({{17, 53}}))) << c.what;
      EXPECT_EQ(model->title(), "SAMPLE FIELD") << c.what;
      EXPECT_TRUE(model->chart->title.ends_with(",  live METAR")) << model->chart->title;
      EXPECT_EQ(model->observations.size(), c.rows + 1) << c.what;
    }
  }
}

TEST_F(StoredChartTest, TheExportTakesTheDaysReportsTheStoreHolds) {
  settings.writeMeteodata = true;
  // 01:53 UTC is 03:53 local, of the day but long before the chart's six hours.
  Store({{1, 53}, {16, 53}, {17, 13}, {17, 33}});
  auto model = MakeLive();
  model->load([](LoadOutcome) {});
  ASSERT_TRUE(fetcher.deliverNext(FetchResult{}));
  ASSERT_TRUE(fetcher.deliverNext(Answer({{17, 53}})));
  EXPECT_EQ(model->observations.size(), 4u);
  model->close(folder.Path());
  const std::string text = ReadAll(folder / "Meteodata" / meteodataFileName("SAMPLE FIELD", port.now));
  for (const char* time : {"\t01:53\t", "\t16:53\t", "\t17:53\t"})
    EXPECT_NE(text.find(std::string("12/07/2026") + time), std::string::npos) << time << " in " << text;
}

// How the stored TAFs fared against the reports: read with them on the
// store's worker, judged hour by hour, a band of verdicts on the chart's
// axis and the summary among the details; the panel's reports in the zone
// chosen; the panel's switch takes the summary and the gusts away.
TEST_F(StoredChartTest, TheStoredTafsAreJudgedAgainstTheReportsShown) {
  const std::pair<int, const char*> hourly[] = {
      {13, "16009KT 10SM FEW120"},          // VFR
      {14, "16009G25KT 1/2SM FG OVC002"},  // LIFR
      {15, "16009KT 4SM BR OVC020"},        // MVFR
      {16, "16009KT 2SM -RA BR OVC008"},    // IFR
      {17, "16009KT 10SM FEW120"},          // VFR
  };
  std::vector<StoredMetar> reports;
  for (auto [h, groups] : hourly) {
    char raw[96];
    std::snprintf(raw, sizeof raw, "TEST 07%02d53Z %s 12/M04 A3001", h, groups);
    reports.push_back(StoredMetar{"TEST", At(h, 53), raw, ReportOrigin::kChart, false});
  }
  ASSERT_TRUE(store->putMetars(reports));
  // VFR throughout, with a TEMPO of IFR from 15 to 17 UTC; the TAF of the
  // day before is replaced by it from its issue time.
  const StoredForecast tafs[] = {
      {"TEST", At(12, 40) - 86400, "TAF TEST 061240Z 0613/0718 24010KT 1SM BR OVC002"},
      {"TEST", At(12, 40), "TAF TEST 071240Z 0713/0818 24010KT P6SM SCT030 TEMPO 0715/0717 3SM BR BKN008"}};
  ASSERT_TRUE(store->putForecasts(tafs));

  for (const bool utc : {true, false}) {
    SCOPED_TRACE(utc);
    settings.timeUtc = utc;
    settings.showAviationPanel = true;
    auto model = MakeLive();
    std::optional<bool> finished;
    model->load([&](LoadOutcome outcome) { finished = outcome.ok; });
    EXPECT_TRUE(model->verification().hours.empty()) << "nothing read on the caller's thread";
    ASSERT_TRUE(fetcher.deliverNext(FetchResult{}));  // the store's reports and TAFs
    ASSERT_EQ(finished, true);
    ASSERT_TRUE(model->showsPanel());

    const ForecastVerification& verification = model->verification();
    std::vector<ForecastVerdict> verdicts;
    for (const VerifiedHour& hour : verification.hours) verdicts.push_back(hour.verdict);
    using V = ForecastVerdict;
    EXPECT_EQ(verdicts, (std::vector<V>{V::kRight, V::kWorse, V::kOneOff, V::kRight, V::kRight}));
    const TextLines& details = *model->chart->series.back().detailLines;
    const auto summary = std::find(details.begin(), details.end(), "Forecast: 3 of 5 hours right (60%)");
    EXPECT_NE(summary, details.end());
    // Above the report as sent, which the legend cuts first when room runs out.
    const auto raw = std::find_if(details.begin(), details.end(), [](const std::string& l) { return l.starts_with("METAR: "); });
    ASSERT_NE(raw, details.end());
    EXPECT_LT(summary, raw);

    // The band's hours and the reports on the chart's axis, in its zone.
    const std::int64_t shift = utc ? 0 : 2 * 3600;
    const AviationPanel& panel = model->panel;
    ASSERT_EQ(panel.hours.size(), 5u);
    EXPECT_EQ(panel.hours[1].start, At(14, 0) + shift);
    EXPECT_EQ(panel.hours[1].end, At(15, 0) + shift);
    EXPECT_EQ(panel.hours[1].verdict, HourVerdict::kWorse);
    ASSERT_EQ(panel.reports.size(), 5u);
    EXPECT_EQ(panel.reports[0].time, At(13, 53) + shift);
    EXPECT_TRUE(std::isinf(panel.reports[0].ceilingFt)) << "few clouds: no ceiling";
    const PanelReport& fog = panel.reports[1];
    EXPECT_EQ(fog.category, FlightCategory::LIFR);
    EXPECT_EQ(fog.ceilingFt, 200);
    EXPECT_NEAR(fog.visibilityM, 804.7, 0.1);
    EXPECT_EQ(fog.weather, "FG");
    EXPECT_NEAR(fog.gust, 25 * 0.514444, 0.01) << "in the chart's speed unit";
    EXPECT_NEAR(fog.windSpeed, 9 * 0.514444, 0.01);
    EXPECT_TRUE(std::isnan(panel.reports[0].gust));
    EXPECT_EQ(panel.reports[3].weather, "-RA BR");
    ASSERT_TRUE(panel.gustPen.has_value());

    // Hovering the bands, as the window lays them out: an hour's verdict,
    // a report's category and text, each in the zone chosen.
    model->placeForecast();
    RecordingPainter painter;
    model->chart->draw(painter);
    model->panel.layout(*model->chart, Rect{0, 600, 840, 600 + AviationPanel::kHeight});
    auto middle = [](const BandSegment& s) { return (s.left + s.right) / 2; };
    ASSERT_EQ(panel.verdictSegments.size(), 5u);
    const char* zone = utc ? "UTC" : "XST";
    const int bandY = panel.verdictRect.top;
    EXPECT_EQ(model->panelTip(middle(panel.verdictSegments[1]), bandY),
              std::string(utc ? "14:00 " : "16:00 ") + zone + "  forecast VFR, observed LIFR: worse");
    EXPECT_EQ(model->panelTip(middle(panel.verdictSegments[2]), bandY),
              std::string(utc ? "15:00 " : "17:00 ") + zone + "  forecast VFR (or IFR), observed MVFR: one off");
    ASSERT_EQ(panel.categorySegments.size(), 5u);
    EXPECT_EQ(model->panelTip(middle(panel.categorySegments[1]), panel.categoryRect.top + 2),
              std::string(utc ? "14:53 " : "16:53 ") + zone + "  LIFR\n" + reports[1].raw);
    EXPECT_EQ(model->panelTip(middle(panel.categorySegments[1]), panel.ceilingRect.top + 5), "") << "off the bands";

    // Switched off: the summary and the gusts go, the chart is as before.
    settings.showAviationPanel = false;
    EXPECT_TRUE(model->followSettings());
    EXPECT_FALSE(model->showsPanel());
    const TextLines& without = *model->chart->series.back().detailLines;
    EXPECT_TRUE(std::none_of(without.begin(), without.end(), [](const std::string& l) { return l.starts_with("Forecast: "); }));
    EXPECT_FALSE(model->panel.gustPen.has_value());
    EXPECT_EQ(model->panelTip(middle(panel.categorySegments[1]), panel.categoryRect.top + 2), "") << "no panel shown";
  }
}

// The TAFs the store lacks for the chart's past hours, asked of a real
// server: hourly VFR reports from 06:53 to 17:53 UTC, and a stored TAF
// issued at 13:40 that is in force from 14:00 only.
class PastTafChartTest : public StoredChartTest {
 protected:
  void SetUp() override {
    StoredChartTest::SetUp();
    settings.pastHours = 12;
    settings.showAviationPanel = true;
    port.now = At(18, 5);
    server.Server().Get("/api/data/metar", [this](const httplib::Request&, httplib::Response& response) {
      response.set_content(Answer({{17, 53}}), "application/json");
    });
    server.Server().Get("/api/data/taf", [this](const httplib::Request& request, httplib::Response& response) {
      const std::string date = request.get_param_value("date");
      dates.push_back(date);
      if (!failAt.empty() && date == failAt) {
        response.status = 500;
        return;
      }
      const auto answer = answers.find(date);
      response.set_content(answer == answers.end() ? "[]" : answer->second, "application/json");
    });
    ASSERT_TRUE(server.start());
  }
  void TearDown() override { server.stop(); }

  // A new store with the reports and the 13:40 TAF, and a new run's sources.
  void Fresh(const std::string& name, bool withTaf = true) {
    Reset(name);
    metar->baseUrl = server.Url("/");
    NewRun();
    std::vector<StoredMetar> reports;
    for (int h = 6; h <= 17; ++h) reports.push_back(StoredMetar{"TEST", At(h, 53), Raw(h, 53), ReportOrigin::kChart, false});
    ASSERT_TRUE(store->putMetars(reports));
    const StoredForecast stored{"TEST", At(13, 40), "TAF TEST 071340Z 0714/0818 16010KT P6SM SCT030"};
    if (withTaf) {
      ASSERT_TRUE(store->putForecasts(std::span(&stored, 1)));
    }
    dates.clear();
  }
  void NewRun() {
    taf = std::make_unique<TafSource>(fetcher, [this] { return now; });
    taf->baseUrl = server.Url("/");
    taf->setStore(store);
  }
  static std::string TafAnswer(const char* issued, const char* raw) {
    return std::string(R"([{"issueTime": ")") + issued + R"(", "rawTAF": ")" + raw + "\"}]";
  }
  // Opens a chart and answers every request, and every one it leads to,
  // from the server.
  std::unique_ptr<StationChartModel> Open(ObservationSource& from) {
    auto model = std::make_unique<StationChartModel>(station, settings, from, port, nullptr, taf.get());
    std::optional<bool> finished;
    model->load([&](LoadOutcome outcome) { finished = outcome.ok; });
    while (fetcher.fetchNext(curl)) {
    }
    EXPECT_EQ(finished, true);
    EXPECT_FALSE(model->isPastForecastBusy());
    return model;
  }
  static std::string Summary(const StationChartModel& model) {
    for (const std::string& line : *model.chart->series.back().detailLines)
      if (line.starts_with("Forecast: ")) return line;
    return "";
  }
  // The judged hours, "06:00 worse", in UTC.
  static std::vector<std::string> Verdicts(const StationChartModel& model) {
    std::vector<std::string> verdicts;
    for (const VerifiedHour& hour : model.verification().hours)
      if (hour.verdict != ForecastVerdict::kNone)
        verdicts.push_back(formatText("%02d:00 ", static_cast<int>(hour.start % 86400 / 3600)) +
                           forecastVerdictText(hour.verdict));
    return verdicts;
  }

  LocalHttpServer server;
  CurlPageFetcher curl;
  std::unique_ptr<TafSource> taf;
  std::vector<std::string> dates;  // the TAF requests' dates, "" for the current TAF
  std::map<std::string, std::string> answers;
  std::string failAt;
};

// The oldest hour without a TAF is asked first; an answer covers its
// validity, one without a TAF moves on an hour; the band, the verdicts and
// the summary are made again, on the chart's axis in the zone chosen; a
// second opening (the next run) finds them all in the store.
TEST_F(PastTafChartTest, TheOlderHoursGetTheirTafsFromTheServiceOnce) {
  answers["2026-12-07T06:00:00Z"] = TafAnswer("2026-12-07T05:20:00Z", "TAF TEST 070520Z 0706/0712 16010KT 3SM BR OVC008");
  answers["2026-12-07T12:00:00Z"] = TafAnswer("2026-12-07T11:50:00Z", "TAF TEST 071150Z 0712/0718 16010KT P6SM SCT030");
  const struct {
    const char* zone;
    bool utc;
    std::int64_t shift;  // of the chart's axis from UTC
  } cases[] = {{"UTC0", true, 0}, {"Asia/Kolkata", false, 5 * 3600 + 1800}, {"America/New_York", false, -5 * 3600},
               {"Asia/Kolkata", true, 0}};
  int run = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.zone) + (c.utc ? " UTC" : " local"));
    zone.reset();
    zone.emplace(c.zone);
    settings.timeUtc = c.utc;
    Fresh("past-" + std::to_string(++run));

    auto model = Open(*metar);
    // Whole UTC hours whatever the zone; the first answer covered 06 to 12.
    EXPECT_EQ(dates, (std::vector<std::string>{"", "2026-12-07T06:00:00Z", "2026-12-07T12:00:00Z"}));
    std::vector<std::string> expected;
    for (int h = 6; h <= 11; ++h) expected.push_back(formatText("%02d:00 worse", h));  // IFR forecast, VFR seen
    for (int h = 12; h <= 17; ++h) expected.push_back(formatText("%02d:00 right", h));
    EXPECT_EQ(Verdicts(*model), expected);
    EXPECT_EQ(Summary(*model), "Forecast: 6 of 12 hours right (50%)");
    ASSERT_EQ(model->panel.hours.size(), 12u);
    EXPECT_EQ(model->panel.hours.front().start, At(6, 0) + c.shift);
    EXPECT_EQ(model->panel.hours.front().verdict, HourVerdict::kWorse);
    EXPECT_EQ(model->panel.hours[6].start, At(12, 0) + c.shift);
    EXPECT_EQ(model->panel.hours[6].verdict, HourVerdict::kRight);
    EXPECT_EQ(store->forecasts("TEST", 0, At(23, 0)).size(), 3u);

    model.reset();
    NewRun();
    dates.clear();
    auto again = Open(*metar);
    EXPECT_EQ(dates, std::vector<std::string>{""}) << "only the current TAF";
    EXPECT_EQ(Verdicts(*again), expected);
    EXPECT_EQ(Summary(*again), "Forecast: 6 of 12 hours right (50%)");
  }
}

// Without the stored TAF every hour lacks one: at most eight are asked for,
// and the same run never asks an hour again; a failure stops the asking and
// changes nothing shown; without any TAF of the station, or offline,
// nothing is asked.
TEST_F(PastTafChartTest, TheAskingIsCappedStopsOnAFailureAndNeedsTheLiveService) {
  settings.timeUtc = false;
  auto hoursFrom = [](int first, int last) {
    std::vector<std::string> list{""};
    for (int h = first; h <= last; ++h) list.push_back(formatText("2026-12-07T%02d:00:00Z", h));
    return list;
  };
  const std::string storedOnly = "Forecast: 4 of 4 hours right (100%)";

  // Only a current TAF, and none for the past: eight hours asked, each
  // answer without a TAF moving on an hour; the next chart of the run asks
  // only hours not yet asked.
  Fresh("cap", false);
  answers[""] = TafAnswer("2026-12-07T17:40:00Z", "TAF TEST 071740Z 0718/0824 16010KT P6SM SCT030");
  auto model = Open(*metar);
  ASSERT_TRUE(model->forecast().has_value());
  EXPECT_EQ(dates, hoursFrom(6, 13));
  EXPECT_EQ(Summary(*model), "");
  dates.clear();
  auto next = Open(*metar);
  EXPECT_EQ(dates, hoursFrom(14, 17));

  // A week on, only the hours of the last seven days are asked.
  Fresh("week", false);
  port.now = At(18, 5) + StationChartModel::kPastForecastSeconds - 9 * 3600;
  model = Open(*metar);
  EXPECT_EQ(dates, hoursFrom(10, 17));
  port.now = At(18, 5);

  // A station with no TAF at all, stored or current, is not asked.
  Fresh("none", false);
  answers.erase("");
  model = Open(*metar);
  EXPECT_EQ(dates, std::vector<std::string>{""});

  // A failure: the hours after it are not asked and nothing shown changes.
  Fresh("failure");
  failAt = "2026-12-07T06:00:00Z";
  model = Open(*metar);
  EXPECT_EQ(dates, hoursFrom(6, 6));
  EXPECT_EQ(Summary(*model), storedOnly);
  EXPECT_EQ(model->panel.hours.size(), 4u);
  EXPECT_EQ(model->panel.hours.front().start, chartWallClock(At(14, 0), false));
  failAt.clear();

  // Offline: the chart shows the store's reports and asks for no past TAF.
  Fresh("offline");
  metar->baseUrl = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/";
  model = Open(*metar);
  EXPECT_TRUE(model->isOffline());
  EXPECT_EQ(dates, std::vector<std::string>{""});
  EXPECT_EQ(Summary(*model), storedOnly);
}

}  // namespace
}  // namespace nimbrel::test
