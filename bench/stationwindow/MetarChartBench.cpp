// Budgets: opening a 24-hour chart from the live METAR source (fetch, JSON,
// decoding, rows, first paint) at most 10 ms, not counting the service's own
// time, which BM_MetarServiceAnswer measures so it can be taken off; one
// refresh tick at most 2 ms of the user-interface thread's time.
#include <benchmark/benchmark.h>
#include <time.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "SampleMetarDay.h"
#include "SampleService.h"
#include "base/UserPort.h"
#include "charts/Chart.h"
#include "stationchart/StationChart.h"
#include "observations/CurlPageFetcher.h"
#include "observations/MetarSource.h"
#include "stationchart/StationChartModel.h"
#include "ui/Application.h"
#include "ui/ChartOpener.h"
#include "ui/MainWindow.h"
#include "services/Session.h"
#include "ui/QtPainter.h"
#include "ui/StationChartView.h"
#include "services/ThreadedPageFetcher.h"

namespace nimbrel {
namespace {

sample::SampleService* service = nullptr;
std::string metarUrl;
Station chosen;
// 12:00 UTC on 7 December 2026: the answers do not change between runs.
constexpr std::time_t kNow = 1796644800;

const char* kList =
    "MA BOSTON LOGAN INT KBOS  BOS          42 22N  071 00W    6   X                  US\n"
    "NY KENNEDY INTL     KJFK  JFK          40 38N  073 47W    4   X                  US\n"
    "IL CHICAGO O'HARE   KORD  ORD          41 59N  087 54W  201   X                  US\n"
    "   LONDON HEATHROW  EGLL  LHR          51 29N  000 27W   24   X                  GB\n";

// The user-interface thread's own processor time: the network's wait is not in it.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// Runs the event loop until done() holds or 30 s passed.
template <typename Done>
bool PumpUntil(Done done) {
  QElapsedTimer clock;
  clock.start();
  QTimer heartbeat;
  heartbeat.start(100);
  while (!done()) {
    if (clock.elapsed() > 30000) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  return true;
}

// A fresh window each time: the source reuses a station's answer for a
// minute, and a reused answer is no opening.
// The program's state and its window, as main() holds them.
struct Program {
  std::unique_ptr<Session> session = std::make_unique<Session>();
  std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>(*session);
  MainWindow* operator->() const { return window.get(); }
  MainWindow& operator*() const { return *window; }
  MainWindow* get() const { return window.get(); }
  void reset() {
    window.reset();
    session.reset();
  }
};

// The chart opener of a main window, found by its name.
ChartOpener& OpenerOf(const QObject* frame) { return *frame->findChild<ChartOpener*>(QStringLiteral("chartOpener")); }

Program NewWindow() {
  Program window;
  window->messageHook = [](const std::string& text) { std::fprintf(stderr, "message: %s\n", text.c_str()); };
  window.session->setReportSource(ReportSource::kLiveMetar);
  window.session->setMetarUrl(metarUrl);
  Settings longer = window.session->settings();
  longer.pastHours = 24;
  window.session->applySettings(longer);
  window->start();
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
  return window;
}

void BM_OpenMetarChart(benchmark::State& state) {
  PaintCounter counter;
  int rows = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Program window = NewWindow();
    state.ResumeTiming();
    StationChartView* view = nullptr;
    QObject::connect(window.get(), &MainWindow::stationChartOpened, [&view](StationChartView* opened) { view = opened; });
    window->openStationChart(chosen);
    PumpUntil([&] { return view != nullptr || OpenerOf(window.get()).openingCount() == 0; });
    if (view == nullptr) {
      state.SkipWithError("no chart window");
      break;
    }
    view->installEventFilter(&counter);
    view->repaint();
    state.PauseTiming();
    rows = view->chart()->getRowCount();
    view->removeEventFilter(&counter);
    window->close();
    window.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["rows"] = rows;
  state.counters["paints"] = benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
}

// What the service spends making one opening's answer (24 hours of the station).
void BM_MetarServiceAnswer(benchmark::State& state) {
  const std::unordered_map<std::string, const sample::SampleStation*> stations;
  std::size_t bytes = 0;
  for (auto _ : state) {
    const sample::ApiAnswer answer = service->metarDay()->metarApi(chosen.icao, "json", "24", true, kNow, stations);
    bytes = answer.body.size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

// The fetch and the reading of the answer alone, through the program's fetcher.
void BM_FetchAndReadAnswer(benchmark::State& state) {
  CurlPageFetcher fetcher;
  std::size_t reports = 0;
  const std::string url = metarUrl + "/api/data/metar?ids=" + chosen.icao + "&format=json&hours=24";
  for (auto _ : state) {
    const PageReading reading = MetarSource::readAnswer(fetcher.fetch(url, 64 * 1024));
    if (!reading.ok()) {
      state.SkipWithError("no reports");
      break;
    }
    reports = reading.observations.size();
  }
  state.counters["reports"] = static_cast<double>(reports);
}

// A chart window of a model of our own, so that the source's clock can move
// on by the shortest refresh period between ticks.
class TickChart : public QWidget, public ChartOwner {
 public:
  StationChartModel* model = nullptr;
  Rect clientRect() const override { return Rect{0, 0, width(), height()}; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    QtPainter onImage(painter);
    paintStationChart(*model->chart, onImage, model->dialDirection, model->dialSpeed);
  }
};

// The window's port on the benchmark's clock: the model judges how old its
// newest report is by this clock, and the wall clock is a day past the
// service's fixed now.
class ClockedPort : public UserPort {
 public:
  ClockedPort(UserPort& window, const std::int64_t& clock) : window(window), clock(clock) {}
  void showMessage(const std::string& text) override { window.showMessage(text); }
  void showInformation(const std::string& text) override { window.showInformation(text); }
  void setStatusText(const std::string& text) override { window.setStatusText(text); }
  void beginWaitCursor() override { window.beginWaitCursor(); }
  void endWaitCursor() override { window.endWaitCursor(); }
  std::time_t currentTime() override { return static_cast<std::time_t>(clock); }

 private:
  UserPort& window;
  const std::int64_t& clock;
};

// When the service's newest report of the chosen station was observed, as
// the service answers at `now`.
std::optional<std::int64_t> NewestReportAt(std::time_t now) {
  const std::unordered_map<std::string, const sample::SampleStation*> none;
  FetchResult answer;
  answer.status = FetchStatus::kOk;
  answer.httpStatus = 200;
  answer.body = service->metarDay()->metarApi(chosen.icao, "json", "", false, now, none).body;
  // Read at the service's now: a report past the wall clock is no fault here.
  const PageReading reading = MetarSource::readAnswer(answer, now);
  if (!reading.ok() || reading.observations.empty()) return std::nullopt;
  return reading.observations.front().observedAt;
}

// A tick (the newest report through the worker thread and back, one more
// row) and the paint it asks for, in the user-interface thread's processor
// time. The service replays its day moved so that it ends at the service's
// now: moving that clock on by the station's report period brings the
// station's newest report that much later. Between ticks (untimed) the
// service moves on so, and the chart's clock goes to the instant that
// report was observed, so each tick is the plain one of a chart whose next
// report is due (not a catch-up after a gap, whose answer would come back
// with every older report re-dated too). The chart is loaded afresh every
// 50 ticks.
void BM_RefreshTick(benchmark::State& state) {
  Program window = NewWindow();
  std::int64_t clock = kNow;
  std::time_t serviceNow = kNow;
  ClockedPort port(*window, clock);
  ThreadedPageFetcher fetcher(std::make_shared<CurlPageFetcher>(), 4);
  MetarSource source(fetcher, [&clock] { return clock; });
  source.baseUrl = metarUrl;
  TickChart widget;
  widget.resize(650, 670);
  std::unique_ptr<StationChartModel> model;
  auto load = [&] {
    model = std::make_unique<StationChartModel>(chosen, window.session->settings(), source, port, &widget);
    widget.model = model.get();
    model->onChartChanged = [&widget] { widget.update(); };
    model->load(nullptr);
    return PumpUntil([&] { return !model->isBusy(); }) && model->isLoaded();
  };
  auto moveOn = [&] {
    serviceNow += model->refreshIntervalMs() / 1000;
    service->setNow(serviceNow);
    const std::optional<std::int64_t> next = NewestReportAt(serviceNow);
    if (!next) return false;
    clock = *next;
    return true;
  };
  if (!load()) {
    state.SkipWithError("no chart");
    return;
  }
  widget.show();
  int ticks = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const bool moved = moveOn();
    state.ResumeTiming();
    if (!moved) {
      state.SkipWithError("the service has no report of the station");
      break;
    }
    const int before = model->chart->getRowCount();
    const double start = ThreadSeconds();
    model->refresh();
    if (!PumpUntil([&] { return !model->isBusy(); })) {
      state.SkipWithError("the tick never came back");
      break;
    }
    widget.repaint();
    state.SetIterationTime(ThreadSeconds() - start);
    const int added = model->chart->getRowCount() - before;
    if (added == 0) {
      state.SkipWithError("the tick appended no row");
      break;
    }
    if (added != 1) {
      state.SkipWithError(("the tick appended " + std::to_string(added) + " rows, not one").c_str());
      break;
    }
    if (++ticks % 50 == 0) {
      state.PauseTiming();
      const bool reloaded = moveOn() && load();
      state.ResumeTiming();
      if (!reloaded) {
        state.SkipWithError("no chart");
        break;
      }
    }
  }
  state.counters["ticks"] = ticks;
  model.reset();
  service->setNow(kNow);
}

BENCHMARK(BM_OpenMetarChart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MetarServiceAnswer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FetchAndReadAnswer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshTick)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nimbrel

int main(int argc, char** argv) {
  using namespace nimbrel;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The recent list goes to a private settings folder, not the user's.
  QTemporaryDir folder;
  setenv("XDG_CONFIG_HOME", QFile::encodeName(folder.path()).constData(), 1);
  setenv("XDG_DATA_HOME", QFile::encodeName(folder.path()).constData(), 1);  // the report store too
  Application application(argc, argv);

  sample::SampleService sampleService(kList);
  std::string error;
  if (!sampleService.loadMetarDay(NIMBREL_METAR_DAY, error)) {
    std::fprintf(stderr, "bench_metar_chart: %s\n", error.c_str());
    return 1;
  }
  sampleService.setNow(kNow);
  if (!sampleService.start(0)) return 1;
  service = &sampleService;
  metarUrl = "http://127.0.0.1:" + std::to_string(sampleService.listeningPort());

  const QString previous = QDir::currentPath();
  QDir::setCurrent(folder.path());
  {
    QFile list(QStringLiteral("Stations.txt"));
    if (!list.open(QIODevice::WriteOnly)) return 1;
    list.write(kList);
  }
  // The station with the most reports in 24 hours: the worst case.
  std::size_t most = 0;
  const std::unordered_map<std::string, const sample::SampleStation*> none;
  for (const char* icao : {"KBOS", "KJFK", "KORD", "EGLL"}) {
    FetchResult answer;
    answer.status = FetchStatus::kOk;
    answer.httpStatus = 200;
    answer.body = sampleService.metarDay()->metarApi(icao, "json", "24", true, kNow, none).body;
    const std::size_t reports = MetarSource::readAnswer(answer, kNow).observations.size();
    if (reports > most) {
      most = reports;
      chosen.icao = icao;
    }
  }
  {
    auto window = NewWindow();
    for (const Station& s : window.session->allStations())
      if (s.icao == chosen.icao) chosen = s;
    window->close();
  }
  if (chosen.name.empty()) return 1;
  std::fprintf(stderr, "station: %s (%s), %zu reports in 24 hours\n", chosen.name.c_str(), chosen.icao.c_str(), most);

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  sampleService.stop();
  QDir::setCurrent(previous);
  return 0;
}
