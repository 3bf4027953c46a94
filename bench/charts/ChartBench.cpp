// Drawing a station chart of 60 hours of 5-minute reports (720 rows, four
// series) into a 650 x 670 window-sized image, once and once per row as a
// load does.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/Settings.h"
#include "stationchart/StationChart.h"
#include "ui/QtPainter.h"

namespace nimbrel {
namespace {

constexpr int kRows = 720;

class WindowOwner : public ChartOwner {
 public:
  Rect clientRect() const override { return Rect{0, 0, 650, 670}; }
};

// Draws nothing: the cost of the chart's own work.
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

// A station reporting every 5 minutes, with the default settings: all four
// quantities charted.
void SetUp(Chart& graph) {
  Station station;
  station.name = "ST. PAUL";
  setupStationChart(graph, station, Settings{}, 5);
}

void addRow(Chart& graph, int i) {
  char time[8];
  std::snprintf(time, sizeof time, "%02d:%02d", (i / 12) % 24, (i % 12) * 5);
  addObservationRow(graph, time, 12 + 6 * std::sin(i / 40.0), 13 - (i % 100) * 0.1, 3 + (i % 7), (i * 3) % 360);
  graph.setDetailLines(graph.seriesCount - 1,
                       {"DATE: 2005.04.05 1753 UTC", "TEMP: 22.8 C", "DEWPOINT: 1.1 C", "PRESSURE: 1013 hPa",
                        "WINDS: from the WSW (250 degrees) at 12 MPH (10 knots; 5.1 m/s)", "VISIBILITY: 10 miles",
                        "CEILING: none", "CLOUDS: sky clear", "PRESENT: "});
}

void Paint(Chart& graph, QImage& image) {
  image.fill(Qt::white);
  QPainter painter(&image);
  QtPainter onImage(painter);
  paintStationChart(graph, onImage, 250.0, 5.1);
}

void BM_DrawChart720Rows(benchmark::State& state) {
  WindowOwner owner;
  Chart graph(&owner);
  SetUp(graph);
  graph.showMarks = state.range(0) != 0;
  for (int i = 0; i < kRows; ++i) addRow(graph, i);
  QImage image(650, 670, QImage::Format_RGB32);
  for (auto _ : state) {
    Paint(graph, image);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_DrawChart720Rows)->Arg(0)->Arg(1)->ArgName("marks")->Unit(benchmark::kMillisecond);

void BM_DrawChart720RowsCoreOnly(benchmark::State& state) {
  WindowOwner owner;
  Chart graph(&owner);
  SetUp(graph);
  for (int i = 0; i < kRows; ++i) addRow(graph, i);
  NullPainter nothing;
  for (auto _ : state) {
    paintStationChart(graph, nothing, 250.0, 5.1);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawChart720RowsCoreOnly)->Unit(benchmark::kMillisecond);

// A load: one row appended and the whole chart drawn, 720 times.
void BM_LoadDrawingPerRow720Rows(benchmark::State& state) {
  WindowOwner owner;
  QImage image(650, 670, QImage::Format_RGB32);
  for (auto _ : state) {
    Chart graph(&owner);
    SetUp(graph);
    for (int i = 0; i < kRows; ++i) {
      addRow(graph, i);
      Paint(graph, image);
    }
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_LoadDrawingPerRow720Rows)->Unit(benchmark::kMillisecond)->Iterations(3);

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
