// Budget: the aviation panel of 720 reports (60 hours of 5-minute reports)
// drawn at most 3 ms, with its gusts on the chart's wind speed line, into a
// window-sized image as the chart window paints it; and the panel's own
// work without drawing.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>

#include "charts/AviationPanel.h"
#include "stationchart/StationChart.h"
#include "ui/QtPainter.h"

namespace nimbrel {
namespace {

constexpr int kReports = 720;
constexpr int kWidth = 650;
constexpr int kChartHeight = 670;

class WindowOwner : public ChartOwner {
 public:
  Rect clientRect() const override { return Rect{0, 0, kWidth, kChartHeight}; }
};

class NullPainter : public Painter {
 public:
  void rect(const Rect&) override {}
  void ellipse(const Rect&) override {}
  void fillRect(const Rect&, Colour) override {}
  void line(Point, Point) override {}
  void pixel(Point, Colour) override {}
  void text(Point, std::string_view, Align) override {}
  Size textSize(std::string_view text) override { return Size{static_cast<int>(text.size()) * 7, 14}; }
  void image(std::string_view, Point) override {}
};

// A chart of 720 reports and a panel of the same reports: the category
// changing every few hours, now and then a report without a ceiling or a
// visibility, showers and mist coming and going, gusts every tenth report,
// and 60 judged hours.
struct Scene {
  WindowOwner owner;
  Chart chart{&owner};
  AviationPanel panel;

  Scene() {
    Station station;
    station.name = "ST. PAUL";
    setupStationChart(chart, station, Settings{}, 5);
    const std::int64_t start = wallClockSeconds(2026, 12, 5, 6, 0);
    static const FlightCategory kCategories[] = {FlightCategory::VFR, FlightCategory::MVFR, FlightCategory::IFR,
                                                 FlightCategory::LIFR};
    static const char* const kWeather[] = {"", "-SHRA", "-SHRA BR", "BR", "", "FG", "TSRA", ""};
    for (int i = 0; i < kReports; ++i) {
      const std::int64_t t = start + i * 300;
      const double speed = 3 + (i % 7);
      addObservationRow(chart, t, 12 + 6 * std::sin(i / 40.0), 13 - (i % 100) * 0.1, speed, (i * 3) % 360);
      PanelReport report;
      report.time = t;
      report.category = kCategories[(i / 30) % 4];
      report.ceilingFt = i % 53 == 0 ? std::nan("") : 300 + (i * 37) % 6000;
      report.visibilityM = i % 61 == 0 ? std::nan("") : 400 + (i * 113) % 12000;
      report.windSpeed = speed;
      report.gust = i % 10 == 0 ? speed + 8 : std::nan("");
      report.weather = kWeather[(i / 12) % 8];
      panel.reports.push_back(report);
    }
    for (int h = 0; h < 60; ++h)
      panel.hours.push_back(PanelHour{start + h * 3600, start + (h + 1) * 3600, static_cast<HourVerdict>(1 + h % 3)});
    panel.gustPen = chart.series[3].pen;
    chart.setNow(start + kReports * 300);
  }
};

void BM_DrawAviationPanel720Reports(benchmark::State& state) {
  Scene scene;
  QImage image(kWidth, kChartHeight + AviationPanel::kHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    QtPainter onImage(painter);
    paintStationChart(scene.chart, onImage, 250.0, 5.1);
  }
  const Rect area{0, kChartHeight, kWidth, kChartHeight + AviationPanel::kHeight};
  for (auto _ : state) {
    QPainter painter(&image);
    QtPainter onImage(painter);
    scene.panel.drawGusts(onImage, scene.chart);
    scene.panel.draw(onImage, scene.chart, area);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_DrawAviationPanel720Reports)->Unit(benchmark::kMillisecond);

void BM_AviationPanel720ReportsCoreOnly(benchmark::State& state) {
  Scene scene;
  NullPainter nothing;
  paintStationChart(scene.chart, nothing, 250.0, 5.1);
  const Rect area{0, kChartHeight, kWidth, kChartHeight + AviationPanel::kHeight};
  for (auto _ : state) {
    scene.panel.drawGusts(nothing, scene.chart);
    scene.panel.draw(nothing, scene.chart, area);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_AviationPanel720ReportsCoreOnly)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nimbrel

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
