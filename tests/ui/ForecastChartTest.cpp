// A live METAR chart's forecast in the running program, against a METAR
// and TAF service on 127.0.0.1: the strip's colours in the painted window,
// no strip without a TAF, the FORECAST line, the tooltip, and the TAF asked
// again on a refresh only once it is older than half an hour.
#include <QHelpEvent>
#include <QImage>
#include <QToolTip>
#include <ctime>
#include <map>
#include <mutex>

#include "MainWindowFixture.h"
#include "charts/StationChart.h"
#include "charts/WeatherLayer.h"
#include "metar/UtcDateTime.h"
#include "support/LocalHttpServer.h"
#include "support/RecordingDrawContext.h"

namespace nimbrel::test {
namespace {

// CYBN's TAF of 2018-09-12 (real-reports-taf.tsv), its day "12" replaced
// by today's: LIFR 10Z-12Z, then VFR with a TEMPO of IFR to 14Z, MVFR later.
const char* kCybnTaf =
    "TAF CYBN 121018Z 1210/1222 VRB03KT 1SM BR OVC001 BECMG 1210/1212 P6SM NSW SCT008 FM121200 VRB03KT P6SM "
    "SCT008 TEMPO 1212/1214 BKN008 FM121500 VRB03KT P6SM BKN015 TEMPO 1214/1217 BKN025 FM121800 15008KT P6SM "
    "BKN025 RMK FCST BASED ON AUTO OBS. NXT FCST BY 121200Z=";

std::string TwoDigits(int value) {
  char text[4];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

// Every day-hour group of day 12 moved to `day`.
std::string Redated(std::string taf, int day) {
  const std::string from = "12";
  const std::string to = TwoDigits(day);
  std::string out;
  std::size_t start = 0;
  while (start <= taf.size()) {
    std::size_t end = taf.find(' ', start);
    if (end == std::string::npos) end = taf.size();
    std::string token = taf.substr(start, end - start);
    auto allDigits = [&](std::size_t at, std::size_t count) {
      if (at + count > token.size()) return false;
      for (std::size_t i = at; i < at + count; ++i)
        if (token[i] < '0' || token[i] > '9') return false;
      return true;
    };
    if (token.size() == 8 && token.rfind("FM" + from, 0) == 0 && allDigits(2, 6)) {
      token.replace(2, 2, to);
    } else if ((token.size() == 7 || token.size() == 8) && token[6] == 'Z' && allDigits(0, 6) &&
               token.rfind(from, 0) == 0) {
      token.replace(0, 2, to);
    } else if (token.size() == 9 && token[4] == '/' && allDigits(0, 4) && allDigits(5, 4)) {
      if (token.compare(0, 2, from) == 0) token.replace(0, 2, to);
      if (token.compare(5, 2, from) == 0) token.replace(5, 2, to);
    }
    out += (out.empty() ? "" : " ") + token;
    start = end + 1;
  }
  return out;
}

// The Data API's METAR and TAF answers: two reports an hour apart, the
// newest within the last hour, and CYBN's TAF issued today.
class ForecastService {
 public:
  ForecastService() {
    const std::int64_t now = std::time(nullptr);
    const std::int64_t newest = (now - 53 * 60) / 3600 * 3600 + 53 * 60;
    today = UtcDateTime::fromEpochMinutes(now / 60);
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
    const std::string taf = Redated(kCybnTaf, today.day);
    const std::string issue = std::to_string(today.year) + "-" + TwoDigits(today.month) + "-" + TwoDigits(today.day) +
                              "T10:18:00.000Z";
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

  UtcDateTime today;

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
    Frame()->setReportSource(ReportSource::kLiveMetar);
    Frame()->setMetarUrl(service.base());
    Frame()->forecastSource()->clock = [this] { return clockNow; };
  }

  // Opens the station's chart and waits for its forecast's answer.
  StationChartView* OpenWithForecast(const std::string& icao) {
    for (const Station& s : Frame()->allStations()) {
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

  std::int64_t HourStart(int hour) const {
    return wallClockSeconds(service.today.year, service.today.month, service.today.day, hour, 0);
  }

  ForecastService service;
  std::int64_t clockNow = 1'800'000'000;
};

QColor AsQColor(Colour colour) { return QColor(redOf(colour), greenOf(colour), blueOf(colour)); }

TEST_F(ForecastChartTest, ALiveChartShowsTheStripOfItsTaf) {
  StationChartView* view = OpenWithForecast("CYBN");
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(view->chartModel().forecast().has_value());
  const QImage image = Painted(view);
  Chart* chart = view->chart();
  const Rect band = chart->forecastRect;
  ASSERT_GT(band.width(), 0) << "no strip";
  // The window grew by the strip's band: the plot kept its size.
  EXPECT_EQ(view->height(), 670 + chart->forecastSpace);
  const int y = (band.top + band.bottom) / 2;
  auto middleOf = [&](int hour) { return (chart->forecastX(HourStart(hour)) + chart->forecastX(HourStart(hour) + 3600)) / 2; };
  EXPECT_EQ(image.pixelColor(middleOf(10), y), AsQColor(kLifrColour));
  EXPECT_EQ(image.pixelColor(middleOf(11), y), AsQColor(kLifrColour));
  EXPECT_EQ(image.pixelColor(middleOf(18), y), AsQColor(kMvfrColour));
  EXPECT_EQ(image.pixelColor(middleOf(21), y), AsQColor(kMvfrColour));
  // 12Z: VFR with the TEMPO's IFR diagonals across it.
  int green = 0;
  int red = 0;
  for (int x = chart->forecastX(HourStart(12)) + 1; x < chart->forecastX(HourStart(13)) - 1; ++x) {
    for (int row = band.top + 1; row < band.bottom - 1; ++row) {
      const QColor pixel = image.pixelColor(x, row);
      green += pixel == AsQColor(kVfrColour);
      red += pixel == AsQColor(kIfrColour);
    }
  }
  EXPECT_GT(green, 0);
  EXPECT_GT(red, 0);

  // The FORECAST line is among the detail texts, as drawn.
  RecordingDrawContext dc;
  paintStationChart(*chart, dc, 0.0, 0.0);
  bool drawn = false;
  for (const std::string& text : dc.Texts()) drawn = drawn || text.rfind("FORECAST: issued", 0) == 0;
  EXPECT_TRUE(drawn);
  const TextLines& lines = *chart->series.back().detailLines;
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().rfind("FORECAST: issued " + std::to_string(service.today.month) + "/" +
                                   std::to_string(service.today.day) + "/" + std::to_string(service.today.year) +
                                   " 10:18 UTC: TAF CYBN",
                               0),
            0u)
      << lines.back();
  view->update();
  QApplication::processEvents();

  // Hovering 12Z tells that hour's conditions and its TEMPO.
  QHelpEvent help(QEvent::ToolTip, QPoint(middleOf(12), y), view->mapToGlobal(QPoint(middleOf(12), y)));
  QApplication::sendEvent(view, &help);
  const QString tip = QToolTip::text();
  EXPECT_TRUE(tip.contains(QStringLiteral("12:00Z  VFR"))) << tip.toStdString();
  EXPECT_TRUE(tip.contains(QStringLiteral("TEMPO 12:00Z-14:00Z IFR"))) << tip.toStdString();
  EXPECT_TRUE(messages.empty());
}

TEST_F(ForecastChartTest, AStationWithoutATafHasNoStrip) {
  StationChartView* view = OpenWithForecast("KXYZ");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(service.tafRequestsOf("KXYZ"), 1);
  EXPECT_FALSE(view->chartModel().forecast().has_value());
  Painted(view);
  EXPECT_EQ(view->chart()->forecastRect, Rect{});
  EXPECT_EQ(view->height(), 670);
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

}  // namespace
}  // namespace nimbrel::test
