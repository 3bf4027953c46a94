// The world map window with the current-weather layer on 10,000 stations,
// every one with a report: a repaint should take at most 4 ms, the hover
// lookup through the view at most 0.1 ms. The reports come the program's
// own way, from a synthetic cache file served on 127.0.0.1.
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "SampleApiJson.h"
#include "map/MapProjection.h"
#include "catalog/StationListReader.h"
#include "charts/WorldMapDrawing.h"
#include "ui/Application.h"
#include "ui/ChartOpener.h"
#include "ui/MainWindow.h"
#include "services/Session.h"
#include "services/WeatherFeed.h"
#include "ui/StationCard.h"
#include "ui/WorldMapView.h"

namespace nimbrel {
namespace {

constexpr int kStations = 10000;
MainWindow* window = nullptr;
Session* session = nullptr;
// The main window's parts, found by their names as the tests find them.
QMdiArea* AreaOf(const QObject* frame) { return frame->findChild<QMdiArea*>(QStringLiteral("childWindowArea")); }
[[maybe_unused]] ChartOpener& OpenerOf(const QObject* frame) {
  return *frame->findChild<ChartOpener*>(QStringLiteral("chartOpener"));
}
WorldMapView* map = nullptr;

// A distinct four-letter code for each index.
std::string IcaoOf(int i) {
  std::string icao(4, 'A');
  for (int k = 3; k >= 0; --k, i /= 26) icao[static_cast<std::size_t>(k)] = static_cast<char>('A' + i % 26);
  return icao;
}

// Station-list lines at positions anywhere, each field in its fixed column.
std::string ListText() {
  std::mt19937 random(2024);
  std::uniform_int_distribution<int> latitude(0, 79), longitude(0, 179), minute(0, 59), side(0, 1);
  std::uniform_int_distribution<int> europeLat(36, 59), europeLon(-10, 29), usLat(30, 44), usLon(-90, -71);
  std::string text;
  char line[128];
  for (int i = 0; i < kStations; ++i) {
    const std::string icao = IcaoOf(i);
    char lat[16], lon[16];
    // As the real list: a quarter each in Europe and the eastern United States.
    int la = latitude(random) * (side(random) ? 1 : -1), lo = longitude(random) * (side(random) ? 1 : -1);
    if (i % 4 == 1) la = europeLat(random), lo = europeLon(random);
    if (i % 4 == 2) la = usLat(random), lo = usLon(random);
    std::snprintf(lat, sizeof lat, "%02d %02d%c", std::abs(la), minute(random), la >= 0 ? 'N' : 'S');
    std::snprintf(lon, sizeof lon, "%03d %02d%c", std::abs(lo), minute(random), lo >= 0 ? 'E' : 'W');
    std::snprintf(line, sizeof line, "%-2.2s %-17.17s%-4.4s  %-3.3s   %05d  %-6.6s  %-7.7s %4d   X  %c  %c  %c  %c  %c %c %-2.2s\n",
                  icao.substr(2, 2).c_str(), ("FIELD " + icao).c_str(), icao.c_str(), icao.substr(1).c_str(), i, lat,
                  lon, 100, ' ', 'V', ' ', 'A', ' ', '7', icao.substr(0, 2).c_str());
    text += line;
  }
  return text;
}

// One report for every station, the four categories and a spread of
// temperatures, gzipped like the service's cache file.
std::string CacheFile(std::time_t now) {
  const std::time_t observed = now / 3600 * 3600;
  std::tm utc{};
  gmtime_r(&observed, &utc);
  char when[32], group[16];
  std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%SZ", &utc);
  std::strftime(group, sizeof group, "%d%H%MZ", &utc);
  const char* skies[] = {"9999 FEW030", "6000 BKN020", "3000 OVC008", "0800 OVC002"};
  std::string csv = "No errors\n10000 results\nraw_text,station_id,observation_time\n";
  char temperature[16];
  for (int i = 0; i < kStations; ++i) {
    const int t = i % 71 - 30;
    std::snprintf(temperature, sizeof temperature, "%s%02d/%s%02d", t < 0 ? "M" : "", std::abs(t),
                  t - 5 < 0 ? "M" : "", std::abs(t - 5));
    const std::string icao = IcaoOf(i);
    csv.append(1, '"').append(icao).append(" ").append(group).append(" 27010KT ").append(skies[i % 4]);
    csv.append(" ").append(temperature).append(" Q1015\",").append(icao).append(",").append(when).append("\n");
  }
  return sample::gzipped(csv);
}

// The pointer's places: every station's pixel and as many anywhere.
std::vector<QPoint> HoverPoints() {
  std::vector<QPoint> points;
  for (const Station& s : session->allStations()) {
    const Pixel p = MapProjection::toPixel(s.mapLongitude, s.mapColatitude);
    points.emplace_back(p.x, p.y);
  }
  std::mt19937 random(7);
  std::uniform_int_distribution<int> x(0, kWorldMapWidth - 1), y(0, kWorldMapHeight - 1);
  for (int i = 0; i < kStations; ++i) points.emplace_back(x(random), y(random));
  std::shuffle(points.begin(), points.end(), random);
  return points;
}

void BM_WeatherLayerRepaint(benchmark::State& state) {
  for (auto _ : state) map->repaint();
  state.counters["stations"] = static_cast<double>(session->weatherFeed().snapshot()->stations.size());
  state.counters["budget_ms"] = 4;
}

void BM_WeatherHoverLookup(benchmark::State& state) {
  const std::vector<QPoint> points = HoverPoints();
  std::size_t next = 0, found = 0;
  for (auto _ : state) {
    const int index = map->weatherStationAt(points[next]);
    found += index >= 0;
    benchmark::DoNotOptimize(index);
    next = next + 1 == points.size() ? 0 : next + 1;
  }
  state.counters["hit_share"] = static_cast<double>(found) / static_cast<double>(state.iterations());
  state.counters["budget_us"] = 100;
}

// The whole pointer move as the view handles it: the lookup, the tooltip
// timer and the position in the status bar.
void BM_WeatherHoverMove(benchmark::State& state) {
  const std::vector<QPoint> points = HoverPoints();
  std::size_t next = 0;
  for (auto _ : state) {
    const QPointF at(points[next]);
    QMouseEvent move(QEvent::MouseMove, at, map->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(map, &move);
    next = next + 1 == points.size() ? 0 : next + 1;
  }
  state.counters["budget_us"] = 100;
}

// The map window at 1200 x 800 over a place: 0 the whole world, 1 Europe
// at 8x, 2 the eastern United States at 64x (labels and station plots on).
MapViewport PlaceView(int place) {
  MapViewport view;
  view.setSize(map->width(), map->height());
  const double centre[3][2] = {{0.0, 0.0}, {10.0, 48.0}, {-78.0, 38.0}};
  const double zoom[3] = {1.0, 8.0, 64.0};
  if (place == 0) return view;
  const PointF at = view.toView(180.0 + centre[place][0], 90.0 - centre[place][1]);
  view.zoomAbout(zoom[place], at.x, at.y);
  view.panBy(view.width() / 2.0 - at.x, view.height() / 2.0 - at.y);
  return view;
}

struct LargeWindow {
  LargeWindow() {
    sub = qobject_cast<QMdiSubWindow*>(map->parentWidget());
    before = sub->size();
    sub->resize(QSize(1200, 800).grownBy(sub->contentsMargins()));
    QCoreApplication::processEvents();
  }
  ~LargeWindow() {
    map->showWholeWorld();
    sub->resize(before);
    QCoreApplication::processEvents();
  }
  QMdiSubWindow* sub;
  QSize before;
};

// One wheel step in and out again by turns, each redrawn.
void BM_MapZoomFrame(benchmark::State& state) {
  LargeWindow large;
  const MapViewport place = PlaceView(static_cast<int>(state.range(0)));
  MapViewport closer = place;
  closer.zoomAboutCentre(2.0);
  map->setViewport(place);
  map->repaint();  // the scale's data read before timing
  bool in = false;
  for (auto _ : state) {
    map->setViewport((in = !in) ? closer : place);
    map->repaint();
  }
  state.counters["width"] = map->width();
  state.counters["map_data_MB"] = static_cast<double>(WorldMapView::mapDataBytes()) / (1 << 20);
  state.counters["budget_ms"] = 8;
}

// One arrow-key step of a pan and back by turns, each redrawn.
void BM_MapPanFrame(benchmark::State& state) {
  LargeWindow large;
  const MapViewport place = PlaceView(static_cast<int>(state.range(0)));
  MapViewport moved = place;
  moved.panBy(map->width() / 8.0, map->height() / 8.0);
  map->setViewport(place);
  map->repaint();
  bool step = false;
  for (auto _ : state) {
    map->setViewport((step = !step) ? moved : place);
    map->repaint();
  }
  state.counters["budget_ms"] = 8;
}

// A click on a station's point to its card drawn beside it: at most 2 ms.
// Arg 0: the card was closed (the map under it drawn before timing); arg 1:
// the card moves from the other station, and the map redraws what it leaves.
void BM_ClickToCard(benchmark::State& state) {
  const bool moving = state.range(0) == 1;
  QPointF at[2];
  for (int i = 0; i < 2; ++i) {
    const Station& s = session->allStations()[static_cast<std::size_t>(i)];
    const Pixel p = MapProjection::toPixel(s.mapLongitude, s.mapColatitude);
    at[i] = QPointF(p.x, p.y);
  }
  int which = 0;
  qint64 clickNs = 0, drawNs = 0;
  long mapPaints = 0;
  struct Counter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override { paints += e->type() == QEvent::Paint; return false; }
  } counter;
  map->installEventFilter(&counter);
  // A click comes to a map that stands still: it has had its moment to settle.
  QElapsedTimer settle;
  settle.start();
  while (settle.elapsed() < 400) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  for (auto _ : state) {
    if (!moving && map->stationCard() != nullptr) {
      state.PauseTiming();
      QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QCoreApplication::sendEvent(map, &escape);
      QCoreApplication::processEvents();  // draws where the card was
      state.ResumeTiming();
    }
    const QPointF p = at[which ^= 1];
    QMouseEvent press(QEvent::MouseButtonPress, p, map->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, p, map->mapToGlobal(p), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QElapsedTimer split;
    split.start();
    QCoreApplication::sendEvent(map, &press);
    QCoreApplication::sendEvent(map, &release);
    clickNs += split.nsecsElapsed();
    if (map->stationCard() == nullptr || !map->stationCard()->isOpen()) {
      state.SkipWithError("no card opened");
      break;
    }
    // Draws whatever the click left to draw: the card, and the map where needed.
    split.restart();
    const int before = counter.paints;
    map->stationCard()->repaint();
    drawNs += split.nsecsElapsed();
    mapPaints += counter.paints - before;
  }
  map->removeEventFilter(&counter);
  // The benchmarks after this one draw the map without a card over it.
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(map, &escape);
  QCoreApplication::processEvents();
  state.counters["map_paints"] = static_cast<double>(mapPaints) / static_cast<double>(state.iterations());
  state.counters["click_ms"] = static_cast<double>(clickNs) / 1e6 / static_cast<double>(state.iterations());
  state.counters["draw_ms"] = static_cast<double>(drawNs) / 1e6 / static_cast<double>(state.iterations());
  state.counters["budget_ms"] = 2;
}

BENCHMARK(BM_ClickToCard)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The map window at 1920 x 1080, the main window grown to hold it: 0 the
// whole world, narrower than the window, repeated at both sides; 1 Fiji at
// 8x and 2 the Bering Strait at 64x, the antimeridian across the middle.
struct FullHdWindow {
  FullHdWindow() {
    sub = qobject_cast<QMdiSubWindow*>(map->parentWidget());
    before = sub->size();
    frameBefore = window->size();
    window->resize(2200, 1400);
    sub->resize(QSize(1920, 1080).grownBy(sub->contentsMargins()));
    QCoreApplication::processEvents();
  }
  ~FullHdWindow() {
    map->showWholeWorld();
    sub->resize(before);
    window->resize(frameBefore);
    QCoreApplication::processEvents();
  }
  QMdiSubWindow* sub;
  QSize before, frameBefore;
};

MapViewport WrappedView(int place) {
  MapViewport view;
  view.setSize(map->width(), map->height());
  const double centre[3][2] = {{0.0, 0.0}, {180.0, -17.5}, {-169.0, 65.8}};
  const double zoom[3] = {1.0, 8.0, 64.0};
  if (place == 0) return view;
  const PointF at = view.toView(180.0 + centre[place][0], 90.0 - centre[place][1]);
  view.zoomAbout(zoom[place], at.x, at.y);
  const PointF now = view.toView(180.0 + centre[place][0], 90.0 - centre[place][1]);
  view.panBy(view.width() / 2.0 - now.x, view.height() / 2.0 - now.y);
  return view;
}

// A repaint of the wrapped view as it is.
void BM_WrappedFrame(benchmark::State& state) {
  FullHdWindow large;
  map->setViewport(WrappedView(static_cast<int>(state.range(0))));
  map->repaint();
  for (auto _ : state) map->repaint();
  state.counters["width"] = map->width();
  state.counters["copies"] = static_cast<double>(copiesInView(map->viewport()).size());
  state.counters["budget_ms"] = 8;
}

// An arrow-key step across the antimeridian and back by turns, each redrawn.
void BM_WrappedPanFrame(benchmark::State& state) {
  FullHdWindow large;
  const MapViewport place = WrappedView(static_cast<int>(state.range(0)));
  MapViewport moved = place;
  moved.panBy(map->width() / 8.0, 0);
  map->setViewport(place);
  map->repaint();
  bool step = false;
  for (auto _ : state) {
    map->setViewport((step = !step) ? moved : place);
    map->repaint();
  }
  state.counters["budget_ms"] = 8;
}

// A wheel step in and out by turns over the antimeridian, each redrawn.
void BM_WrappedZoomFrame(benchmark::State& state) {
  FullHdWindow large;
  const MapViewport place = WrappedView(static_cast<int>(state.range(0)));
  MapViewport closer = place;
  closer.zoomAboutCentre(2.0);
  map->setViewport(place);
  map->repaint();
  bool in = false;
  for (auto _ : state) {
    map->setViewport((in = !in) ? closer : place);
    map->repaint();
  }
  state.counters["budget_ms"] = 8;
}

BENCHMARK(BM_WeatherLayerRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WrappedFrame)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WrappedPanFrame)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WrappedZoomFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapZoomFrame)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapPanFrame)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WeatherHoverLookup)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WeatherHoverMove)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace nimbrel

int main(int argc, char** argv) {
  using namespace nimbrel;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QTemporaryDir folder;
  setenv("XDG_CONFIG_HOME", QFile::encodeName(folder.path()).constData(), 1);
  setenv("XDG_DATA_HOME", QFile::encodeName(folder.path()).constData(), 1);  // the report store too
  Application application(argc, argv);

  const QString previous = QDir::currentPath();
  QDir::setCurrent(folder.path());
  std::ofstream(kStationListFileName, std::ios::binary) << ListText();

  httplib::Server server;
  const std::string cache = CacheFile(std::time(nullptr));
  server.Get("/data/cache/metars.cache.csv.gz", [&cache](const httplib::Request&, httplib::Response& response) {
    response.set_content(cache, "application/x-gzip");
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  if (port <= 0) return 1;
  std::thread serving([&server] { server.listen_after_bind(); });

  auto session = std::make_unique<Session>();
  auto mainWindow = std::make_unique<MainWindow>(*session);
  window = mainWindow.get();
  nimbrel::session = session.get();
  window->messageHook = [](const std::string&) {};
  session->setReportSource(ReportSource::kLiveMetar);
  session->setMetarUrl("http://127.0.0.1:" + std::to_string(port));
  window->start();
  QCoreApplication::processEvents();
  for (QMdiSubWindow* sub : AreaOf(window)->subWindowList())
    if (auto* view = qobject_cast<WorldMapView*>(sub->widget())) map = view;
  int status = 1;
  if (map == nullptr || static_cast<int>(session->allStations().size()) != kStations) {
    std::fprintf(stderr, "bench_weather_layer_view: no map, or the list held %zu stations\n",
                 session->allStations().size());
  } else {
    AreaOf(window)->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(map->parentWidget()));
    window->findChild<QAction*>(QStringLiteral("currentWeatherAction"))->trigger();
    QElapsedTimer clock;
    clock.start();
    WeatherFeed& feed = session->weatherFeed();
    while ((feed.isLoading() || feed.snapshot() == nullptr) && clock.elapsed() < 60000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QCoreApplication::processEvents();
    const std::size_t shown = feed.snapshot() != nullptr ? feed.snapshot()->stations.size() : 0;
    if (shown != static_cast<std::size_t>(kStations)) {
      std::fprintf(stderr, "bench_weather_layer_view: %zu stations have weather\n", shown);
    } else {
      benchmark::Initialize(&argc, argv);
      if (!benchmark::ReportUnrecognizedArguments(argc, argv)) {
        benchmark::RunSpecifiedBenchmarks();
        status = 0;
      }
      benchmark::Shutdown();
    }
  }

  window->close();
  map = nullptr;
  window = nullptr;
  nimbrel::session = nullptr;
  mainWindow.reset();
  server.stop();
  serving.join();
  QDir::setCurrent(previous);
  return status;
}
