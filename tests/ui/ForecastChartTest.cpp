// A live METAR chart's forecast in the running program, against a METAR
// and TAF service on 127.0.0.1: the strip on the chart's own time axis with
// its colours in the painted window, the axis running on past now by the
// forecast hours of the settings, no strip without a TAF, the hour
// tooltip, and the TAF asked
// again on a refresh only once it is older than half an hour.
#include <QHelpEvent>
#include <QImage>
#include <QToolTip>
#include <ctime>
#include <map>
#include <mutex>

#include "MainWindowFixture.h"
#include "stationchart/StationChart.h"
#include "charts/AviationPanel.h"
#include "charts/WeatherLayer.h"
#include "services/UserSettings.h"
#include "metar/UtcDateTime.h"
#include "support/LocalHttpServer.h"
#include "support/RecordingPainter.h"

namespace nimbrel::test {
namespace {

std::string TwoDigits(int value) {
  char text[4];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

// "ddhh" of a UTC time.
std::string DayHour(std::int64_t seconds) {
  const UtcDateTime t = UtcDateTime::fromEpochMinutes(seconds / 60);
  return TwoDigits(t.day) + TwoDigits(t.hour);
}

// The Data API's METAR and TAF answers: two reports an hour apart, the
// newest within the last hour, and for CYBN a TAF around the current hour
// H: LIFR to H+1, then VFR with a TEMPO of IFR to H+3, MVFR from H+5.
class ForecastService {
 public:
  ForecastService() {
    const std::int64_t now = std::time(nullptr);
    const std::int64_t newest = (now - 53 * 60) / 3600 * 3600 + 53 * 60;
    currentHour = now / 3600 * 3600;
    std::string metars = "[";
    for (const std::int64_t at : {newest, newest - 3600}) {
      const UtcDateTime t = UtcDateTime::fromEpochMinutes(at / 60);
      metars += std::string(metars.size() > 1 ? "," : "") + R"({"rawOb": "ICAO )" + TwoDigits(t.day) +
                TwoDigits(t.hour) + R"(53Z 16009KT 10SM FEW120 12/M04 A3001", "obsTime": )" + std::to_string(at) + "}";
    }
    metars += "]";
    server.Server().Get("/api/data/metar", [metars](const httplib::Request& request, httplib::Response& response) {
      std::string body = metars;
      const std::string icao = request.get_param_value("ids");
      for (std::size_t at = body.find("ICAO"); at != std::string::npos; at = body.find("ICAO")) body.replace(at, 4, icao);
      response.set_content(body, "application/json");
    });
    const std::int64_t h = currentHour;
    const std::int64_t issued = h - 2 * 3600 - 40 * 60;
    const UtcDateTime i = UtcDateTime::fromEpochMinutes(issued / 60);
    taf = "TAF CYBN " + TwoDigits(i.day) + TwoDigits(i.hour) + TwoDigits(i.minute) + "Z " + DayHour(h - 2 * 3600) +
          "/" + DayHour(h + 22 * 3600) + " VRB03KT 1SM BR OVC001 FM" + DayHour(h + 3600) +
          "00 VRB03KT P6SM SCT008 TEMPO " + DayHour(h + 3600) + "/" + DayHour(h + 3 * 3600) + " BKN008 FM" +
          DayHour(h + 5 * 3600) + "00 VRB03KT P6SM BKN015 BECMG " + DayHour(h + 9 * 3600) + "/" +
          DayHour(h + 11 * 3600) + " 15008KT PROB30 " + DayHour(h + 14 * 3600) + "/" + DayHour(h + 17 * 3600) +
          " 2SM -SHRA BR BKN008 RMK FCST BASED ON AUTO OBS. NXT FCST BY " + DayHour(h + 4 * 3600) + "00Z=";
    const std::string issue = std::to_string(i.year) + "-" + TwoDigits(i.month) + "-" + TwoDigits(i.day) + "T" +
                              TwoDigits(i.hour) + ":" + TwoDigits(i.minute) + ":00.000Z";
    tafAnswer = R"([{"icaoId": "CYBN", "issueTime": ")" + issue + R"(", "rawTAF": ")" + taf + R"("}])";
    server.Server().Get("/api/data/taf", [this](const httplib::Request& request, httplib::Response& response) {
      const std::string icao = request.get_param_value("ids");
      {
        std::lock_guard lock(mutex);
        ++tafRequests[icao];
      }
      response.set_content(icao == "CYBN" ? tafAnswer : "[]", "application/json");
    });
  }
  bool start() { return server.start(); }
  std::string base() const { return server.Url(""); }
  int tafRequestsOf(const std::string& icao) {
    std::lock_guard lock(mutex);
    return tafRequests[icao];
  }

  std::int64_t currentHour = 0;  // UTC seconds
  std::string taf;

 private:
  LocalHttpServer server;
  std::string tafAnswer;
  std::mutex mutex;
  std::map<std::string, int> tafRequests;
};

class ForecastChartTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    ASSERT_TRUE(service.start());
    WriteStations({StationLine("BURNS LAKE", "CYBN", -125.0, 54.0), StationLine("NO FORECAST", "KXYZ", -93.0, 44.0)});
    StartWindow();
    session->setReportSource(ReportSource::kLiveMetar);
    session->setMetarUrl(service.base());
    session->forecastSource()->clock = [this] { return clockNow; };
  }

  // Opens the station's chart and waits for its forecast's answer.
  StationChartView* OpenWithForecast(const std::string& icao) {
    for (const Station& s : session->allStations()) {
      if (s.icao != icao) continue;
      StationChartView* view = OpenChart(s);
      if (view == nullptr) return nullptr;
      EXPECT_TRUE(WaitUntil([view] { return !view->chartModel().isForecastBusy(); })) << "no forecast answer";
      return view;
    }
    ADD_FAILURE() << "no station " << icao;
    return nullptr;
  }

  // One refresh tick, waiting for the reports and the forecast.
  static void Refresh(StationChartView* view) {
    view->refresh();
    EXPECT_TRUE(WaitUntil([view] {
      return !view->chartModel().isBusy() && !view->chartModel().isForecastBusy();
    }));
  }

  // The window as painted once it has grown for its strip.
  static QImage Painted(StationChartView* view) {
    view->grab();
    QTest::qWait(50);  // the growth comes on the next turn of the event loop
    return view->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }

  // The highest the view can be in the area.
  static int Room(const StationChartView* view) {
    const QWidget* sub = view->parentWidget();
    return sub->parentWidget()->height() - sub->y() - (sub->height() - view->height());
  }

  // The start of the hour `offset` hours from the current one, on the chart's axis.
  std::int64_t HourStart(int offset) {
    return chartWallClock(service.currentHour + offset * 3600, session->settings().timeUtc);
  }

  ForecastService service;
  std::int64_t clockNow = 1'800'000'000;
};

QColor AsQColor(Colour colour) { return QColor(redOf(colour), greenOf(colour), blueOf(colour)); }

TEST_F(ForecastChartTest, ALiveChartShowsItsTafOnItsTimeAxis) {
  StationChartView* view = OpenWithForecast("CYBN");
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(view->chartModel().forecast().has_value());
  const QImage image = Painted(view);
  Chart* chart = view->chart();
  const Rect band = chart->forecastRect;
  ASSERT_GT(band.width(), 0) << "no strip";
  // The window grew by the strip's band and the aviation panel as far as
  // the area has room.
  EXPECT_EQ(view->height(), std::min(670 + chart->forecastSpace + AviationPanel::kHeight, std::max(670, Room(view))));
  // The axis runs on 12 hours past now, the default.
  ASSERT_TRUE(chart->getForecast()->now.has_value());
  const std::int64_t now = *chart->getForecast()->now;
  EXPECT_LE(std::abs(now - chartWallClock(std::time(nullptr), false)), 60);
  EXPECT_EQ(chart->axisEnd(), now + 12 * 3600);
  EXPECT_EQ(chart->nowX, chart->forecastX(now));

  const int y = (band.top + band.bottom) / 2;
  // The middle of an hour, or beside it when the "now" line crosses it there.
  auto middleOf = [&](int hour) {
    const int x = (chart->forecastX(HourStart(hour)) + chart->forecastX(HourStart(hour) + 3600)) / 2;
    return std::abs(x - chart->nowX) <= 1 ? x + 3 : x;
  };
  EXPECT_EQ(image.pixelColor(middleOf(0), y), AsQColor(kLifrColour));
  EXPECT_EQ(image.pixelColor(middleOf(6), y), AsQColor(kMvfrColour));
  EXPECT_EQ(image.pixelColor(middleOf(8), y), AsQColor(kMvfrColour));
  // H+1: VFR with the TEMPO's IFR diagonals across it.
  int green = 0;
  int red = 0;
  for (int x = chart->forecastX(HourStart(1)) + 1; x < chart->forecastX(HourStart(2)) - 1; ++x) {
    for (int row = band.top + 1; row < band.bottom - 1; ++row) {
      const QColor pixel = image.pixelColor(x, row);
      green += pixel == AsQColor(kVfrColour);
      red += pixel == AsQColor(kIfrColour);
    }
  }
  EXPECT_GT(green, 0);
  EXPECT_GT(red, 0);

  // Hovering H+1 tells that hour's conditions and its TEMPO.
  QHelpEvent help(QEvent::ToolTip, QPoint(middleOf(1), y), view->mapToGlobal(QPoint(middleOf(1), y)));
  QApplication::sendEvent(view, &help);
  const QString tip = QToolTip::text();
  // Its time in the zone the chart shows, named.
  const std::string hourText =
      clockText(service.currentHour + 3600, session->settings().timeUtc) + "  VFR";
  EXPECT_TRUE(tip.contains(QString::fromStdString(hourText))) << tip.toStdString();
  EXPECT_TRUE(tip.contains(QStringLiteral("TEMPO"))) << tip.toStdString();

  // The forecast hours of the settings move the axis' end.
  ChangeSettings(*session, [&](Settings& s) { s.forecastHours = 20; });
  Painted(view);
  EXPECT_EQ(chart->axisEnd() - *chart->getForecast()->now, 20 * 3600);
  EXPECT_TRUE(messages.empty());
}

TEST_F(ForecastChartTest, AStationWithoutATafHasNoStrip) {
  StationChartView* view = OpenWithForecast("KXYZ");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(service.tafRequestsOf("KXYZ"), 1);
  EXPECT_FALSE(view->chartModel().forecast().has_value());
  Painted(view);
  EXPECT_EQ(view->chart()->forecastRect, Rect{});
  EXPECT_EQ(view->height(), std::min(670 + AviationPanel::kHeight, std::max(670, Room(view)))) << "grown for the panel alone";
  for (const std::string& line : *view->chart()->series.back().detailLines)
    EXPECT_NE(line.rfind("FORECAST:", 0), 0u) << line;
  EXPECT_TRUE(messages.empty());
}

TEST_F(ForecastChartTest, TheTafIsAskedAgainOnlyOnceOlderThanHalfAnHour) {
  StationChartView* view = OpenWithForecast("CYBN");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(service.tafRequestsOf("CYBN"), 1);
  clockNow += 29 * 60;
  Refresh(view);
  EXPECT_EQ(service.tafRequestsOf("CYBN"), 1) << "asked again at 29 minutes";
  clockNow += 2 * 60;
  Refresh(view);
  EXPECT_EQ(service.tafRequestsOf("CYBN"), 2) << "not asked again at 31 minutes";
  Refresh(view);
  EXPECT_EQ(service.tafRequestsOf("CYBN"), 2) << "asked again right after an answer";
  EXPECT_TRUE(view->chartModel().forecast().has_value());
}

// The aviation panel under a live chart: the reports' category band and
// how the TAF fared, the summary among the details, and View's switch,
// which takes the panel away, gives the window its height back and is kept.
TEST_F(ForecastChartTest, TheAviationPanelShowsUnderTheChartAndViewSwitchesItOff) {
  // Room under the chart for the strip and the panel.
  Frame()->resize(1000, 1400);
  StationChartView* view = OpenWithForecast("CYBN");
  ASSERT_NE(view, nullptr);
  QImage image = Painted(view);
  ASSERT_EQ(view->height(), 670 + view->chart()->forecastSpace + AviationPanel::kHeight);
  StationChartModel& model = view->chartModel();
  ASSERT_TRUE(model.showsPanel());
  const Chart& chart = *view->chart();
  const AviationPanel& panel = model.panel;
  const int panelTop = view->height() - AviationPanel::kHeight;
  EXPECT_EQ(chart.frameRect.bottom, panelTop - 10) << "the chart keeps the area above the panel";
  EXPECT_GE(panel.frameRect.top, panelTop);
  EXPECT_EQ(panel.categoryRect.left, chart.plotRect.left) << "the chart's time axis";
  EXPECT_EQ(panel.nowX, chart.nowX);
  // Both reports are VFR: their segments are painted green.
  ASSERT_EQ(panel.categorySegments.size(), 2u);
  // Most of each segment's row, that is, beside the "now" line that may cross
  // it (a report of a minute ago has a segment of 2 pixels).
  auto mostlyOf = [&image, &panel](const BandSegment& s, const Rect& band, Colour colour) {
    const int y = (band.top + band.bottom) / 2;
    int same = 0, seen = 0;
    for (int x = s.left; x < s.right; ++x) {
      if (x == panel.nowX) continue;
      ++seen;
      same += image.pixelColor(x, y) == AsQColor(colour);
    }
    return seen > 0 && same * 2 > seen;
  };
  for (const BandSegment& s : panel.categorySegments)
    EXPECT_TRUE(mostlyOf(s, panel.categoryRect, kVfrColour)) << s.left << ".." << s.right;
  // The TAF gave LIFR for the reports' hours: each judged worse.
  ASSERT_FALSE(panel.verdictSegments.empty());
  for (const BandSegment& s : panel.verdictSegments) EXPECT_EQ(s.colour, kVerdictWorse);
  const BandSegment& worse = panel.verdictSegments.front();
  EXPECT_TRUE(mostlyOf(worse, panel.verdictRect, kVerdictWorse)) << worse.left << ".." << worse.right;
  auto summary = [&] {
    for (const std::string& line : *chart.series.back().detailLines)
      if (line.starts_with("Forecast: ")) return line;
    return std::string();
  };
  const int judged = static_cast<int>(panel.verdictSegments.size());
  EXPECT_EQ(summary(), "Forecast: 0 of " + std::to_string(judged) + (judged == 1 ? " hour" : " hours") + " right (0%)");
  // Hovering the verdict band tells how that hour's forecast fared.
  const QPoint over((worse.left + worse.right) / 2, panel.verdictRect.top + 1);
  QHelpEvent help(QEvent::ToolTip, over, view->mapToGlobal(over));
  QApplication::sendEvent(view, &help);
  EXPECT_TRUE(QToolTip::text().endsWith(QStringLiteral("forecast LIFR, observed VFR: worse"))) << QToolTip::text().toStdString();
  const Rect chartFrame = chart.frameRect;
  const Rect plot = chart.plotRect;
  const int nowX = chart.nowX;
  // The plot and its axis (the details lose the summary).
  const QRect area(chart.chartAreaRect.left, chart.chartAreaRect.top, chart.chartAreaRect.width(),
                   chart.chartAreaRect.height());
  const QImage chartPart = image.copy(area);
  if (const char* path = std::getenv("NIMBREL_SAVE_PICTURE")) image.save(QString::fromLocal8Bit(path));

  auto* action = Frame()->findChild<QAction*>(QStringLiteral("aviationPanelAction"));
  ASSERT_NE(action, nullptr);
  EXPECT_TRUE(action->isChecked());
  action->trigger();
  EXPECT_FALSE(session->settings().showAviationPanel);
  EXPECT_FALSE(action->isChecked());
  image = Painted(view);
  EXPECT_FALSE(model.showsPanel());
  EXPECT_EQ(view->height(), panelTop) << "the window gave back what it grew by";
  EXPECT_EQ(summary(), "");
  EXPECT_EQ(chart.frameRect, chartFrame);
  EXPECT_EQ(chart.plotRect, plot);
  // The chart as it was, pixel for pixel, unless "now" moved on meanwhile.
  if (chart.nowX == nowX) {
    EXPECT_EQ(image.copy(area), chartPart);
  }
  session->settingsService().waitForWrites();
  EXPECT_FALSE(readStoredAviationPanel()) << "kept in the settings file";
  EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace nimbrel::test
