// A watch list of 50 stations brought up to date from a world download:
// the user-interface thread's share (the rows, the trend, the alerts) should
// take at most 2 ms. The program's own way: the bundled station list, the
// sample service's real day of METARs on 127.0.0.1, the report store.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "SampleMetarDay.h"
#include "SampleService.h"
#include "catalog/StationListReader.h"
#include "reportstore/ReportStore.h"
#include "services/ReportSources.h"
#include "services/Session.h"
#include "services/UserSettings.h"
#include "services/WatchService.h"
#include "services/WeatherFeed.h"

namespace nimbrel {
namespace {

constexpr int kWatched = 50;
Session* session = nullptr;

template <typename Done>
bool WaitFor(Done done) {
  for (int i = 0; i < 3000 && !done(); ++i) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(2);
  }
  return done();
}

void BM_WatchUpdate50(benchmark::State& state) {
  WatchService& watch = session->watchService();
  std::size_t withReport = 0;
  for (const WatchRow& row : watch.rows()) withReport += row.ageMinutes >= 0;
  if (watch.rows().size() != kWatched || withReport < kWatched / 2) {
    state.SkipWithError("the watched stations have no reports");
    return;
  }
  for (auto _ : state) {
    watch.update();
    benchmark::DoNotOptimize(watch.rows().data());
  }
  state.counters["stations"] = static_cast<double>(watch.rows().size());
  state.counters["with_report"] = static_cast<double>(withReport);
  state.counters["catalogue"] = static_cast<double>(session->allStations().size());
}
BENCHMARK(BM_WatchUpdate50)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nimbrel

int main(int argc, char** argv) {
  using namespace nimbrel;
  QTemporaryDir folder;
  setenv("XDG_CONFIG_HOME", QFile::encodeName(folder.path()).constData(), 1);
  setenv("XDG_DATA_HOME", QFile::encodeName(folder.path()).constData(), 1);  // the report store too
  QCoreApplication application(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Quillfen"));
  QCoreApplication::setApplicationName(QStringLiteral("Nimbrel"));

  std::ifstream listFile(NIMBREL_SOURCE_DIR "/data/Stations.txt", std::ios::binary);
  std::stringstream listText;
  listText << listFile.rdbuf();
  sample::SampleService service(listText.str());
  std::string error;
  if (!service.loadMetarDay(NIMBREL_METAR_DAY, error) || !service.start(0)) {
    std::fprintf(stderr, "the sample service did not start: %s\n", error.c_str());
    return 1;
  }

  auto stations = std::make_shared<StationList>();
  parseStationList(listText.str(), *stations);
  auto owned = std::make_unique<Session>();
  session = owned.get();
  session->stations().setCatalogue(stations);
  session->setMetarUrl("http://127.0.0.1:" + std::to_string(service.listeningPort()));

  // Watch the first 50 stations of the download that have a report.
  WeatherFeed& feed = session->weatherFeed();
  QObject map;
  feed.addUser(&map);
  if (!WaitFor([&] { return feed.snapshot() != nullptr && !feed.isLoading(); }) || feed.snapshot()->stations.size() < kWatched) {
    std::fprintf(stderr, "the world download did not come\n");
    return 1;
  }
  std::vector<std::string> codes;
  for (const StationWeather& weather : feed.snapshot()->stations) {
    if (codes.size() == kWatched) break;
    codes.push_back((*stations)[weather.station].icao);
  }
  storeWatchList(codes);
  WatchService& watch = session->watchService();
  WaitFor([&] { return !watch.isReadingStore() && watch.rows().size() == kWatched; });

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  feed.removeUser(&map);
  owned.reset();
  service.stop();
  return 0;
}
