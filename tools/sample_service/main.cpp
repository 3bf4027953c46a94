// nimbrel-sample-service [--port N] [--stations FILE] [--pages DIR] [--metar FILE] [--hold-back MINUTES]
// Serves report pages and a day of real METARs in the Data API's form on
// 127.0.0.1, so the viewer can run with no network. With --hold-back the
// day's last minutes come in only as POST /sample/advance?minutes=N moves
// the service's clock on.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "SampleMetarDay.h"
#include "SampleService.h"
#include "catalog/StationListLocation.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void onSignal(int) { stopRequested = 1; }

// The shipped day of reports: installed beside the program's data
// (PREFIX/bin -> PREFIX/share/nimbrel), else in the source tree it was built from.
std::string defaultMetarDay(const char* argv0) {
  std::error_code ignored;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ignored);
  if (program.empty()) program = argv0;
  const std::filesystem::path installed =
      program.parent_path() / ".." / "share" / "nimbrel" / "noaa-cycles-2010-11-14.txt.gz";
  if (std::filesystem::is_regular_file(installed, ignored)) return installed.lexically_normal().string();
  return NIMBREL_METAR_DAY;
}

// The station list as the viewer finds it: the working folder's, the
// user's data folder's, then the one installed beside the program.
std::string findStationList(const char* argv0) {
  std::error_code ignored;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ignored);
  if (program.empty()) program = argv0;
  const std::vector<std::filesystem::path> places =
      nimbrel::stationListPlaces(std::filesystem::current_path(ignored), std::getenv("XDG_DATA_HOME"),
                                 std::getenv("HOME"), nimbrel::installedDataDir(program));
  for (const std::filesystem::path& place : places)
    if (std::filesystem::exists(place, ignored)) return place.string();
  std::fprintf(stderr, "nimbrel-sample-service: %s\n", nimbrel::stationListNotFoundMessage(places).c_str());
  return {};
}

int Usage() {
  std::fprintf(stderr,
               "usage: nimbrel-sample-service [--port N] [--stations FILE] [--pages DIR] [--metar FILE]\n"
               "                              [--hold-back MINUTES]\n"
               "  --hold-back MINUTES  replay the day up to MINUTES before its last report; each\n"
               "                       POST /sample/advance?minutes=N moves the clock and the day on\n"
               "                       N minutes, so the held-back reports come in:\n"
               "                       curl -d '' 'http://127.0.0.1:PORT/sample/advance?minutes=N'\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int port = 8642;
  std::string stationsFile;
  std::string pagesDir;
  std::string metarFile = defaultMetarDay(argv[0]);
  int holdBack = 0;
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--port") == 0 && hasValue) {
      char* end = nullptr;
      const long value = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || value < 0 || value > 65535) return Usage();
      port = static_cast<int>(value);
    } else if (std::strcmp(argv[i], "--stations") == 0 && hasValue) {
      stationsFile = argv[++i];
    } else if (std::strcmp(argv[i], "--pages") == 0 && hasValue) {
      pagesDir = argv[++i];
    } else if (std::strcmp(argv[i], "--metar") == 0 && hasValue) {
      metarFile = argv[++i];
    } else if (std::strcmp(argv[i], "--hold-back") == 0 && hasValue) {
      char* end = nullptr;
      const long value = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || value < 0 || value > 24 * 60) return Usage();
      holdBack = static_cast<int>(value);
    } else {
      return Usage();
    }
  }
  if (stationsFile.empty()) stationsFile = findStationList(argv[0]);
  if (stationsFile.empty()) return 2;
  std::ifstream in(stationsFile, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "nimbrel-sample-service: cannot read %s\n", stationsFile.c_str());
    return 2;
  }
  std::ostringstream text;
  text << in.rdbuf();

  nimbrel::sample::SampleService service(text.str(), pagesDir);
  std::string error;
  if (!service.loadMetarDay(metarFile, error)) {
    std::fprintf(stderr, "nimbrel-sample-service: %s\n", error.c_str());
    return 2;
  }
  // Real TAFs: beside the METAR day (installed or in data/metar/), else the source tree's.
  std::string tafFile = (std::filesystem::path(metarFile).parent_path() / "real-reports-taf.tsv").string();
  if (!std::filesystem::is_regular_file(tafFile)) tafFile = NIMBREL_TAF_CORPUS;
  if (!service.loadTafCorpus(tafFile, error)) std::fprintf(stderr, "nimbrel-sample-service: %s, no TAFs\n", error.c_str());
  service.holdBack(holdBack);
  if (!service.start(port)) {
    std::fprintf(stderr, "nimbrel-sample-service: cannot listen on 127.0.0.1:%d\n", port);
    return 1;
  }
  std::printf("nimbrel-sample-service: %d stations, %zu METARs of %zu stations on http://127.0.0.1:%d/\n",
              service.stationCount(), service.metarDay()->reportCount(), service.metarDay()->stationCount(),
              service.listeningPort());
  std::fflush(stdout);
  std::signal(SIGINT, onSignal);
  std::signal(SIGTERM, onSignal);
  while (stopRequested == 0) pause();
  service.stop();
  return 0;
}
