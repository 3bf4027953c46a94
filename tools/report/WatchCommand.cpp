// nimbrel-report watch: the watched stations' table from the report store
// (which the program fills from the world download), and, until
// interrupted, the alerts as new reports and forecasts arrive.
#include <algorithm>
#include <QLocale>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ReportCommands.h"
#include "TsvOutput.h"
#include "base/ClockText.h"
#include "base/Text.h"
#include "catalog/StationListLocation.h"
#include "catalog/StationListReader.h"
#include "metar/TafDecoder.h"
#include "reportstore/ReportStore.h"
#include "watch/WatchAlerts.h"
#include "watch/WatchList.h"
#include "watch/WatchRows.h"

namespace {

namespace fs = std::filesystem;
using namespace nimbrel;

constexpr const char* kUsage =
    "usage: nimbrel-report watch ICAO... [--minima FILE] [--once] [--store FILE]\n"
    "                            [--units aviation|metric|us] [--time utc|local]\n"
    "                            [--now YYYY-MM-DDTHH:MMZ] [--interval SECONDS]\n";

// The store can't be read: apart from 1, which says a station is below its minima.
constexpr int kNoStore = 3;

volatile std::sig_atomic_t interrupted = 0;
extern "C" void onInterrupt(int) { interrupted = 1; }

int usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

// The names of the stations from the station list the program would read;
// a code it does not hold (or no list) leaves the name empty.
std::vector<Station> namedStations(const std::vector<std::string>& codes) {
  std::vector<Station> stations(codes.size());
  for (std::size_t i = 0; i < codes.size(); ++i) stations[i].icao = codes[i];
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  for (const fs::path& place : stationListPlaces(fs::current_path(error), std::getenv("XDG_DATA_HOME"),
                                                 std::getenv("HOME"), installedDataDir(program))) {
    std::string text;
    if (!readStationListFile(place.string(), text)) continue;
    StationList list;
    parseStationList(text, list);
    for (Station& wanted : stations)
      for (const Station& listed : list)
        if (listed.icao == wanted.icao) {
          wanted = listed;
          break;
        }
    break;
  }
  return stations;
}

std::string field(const std::string& text) {
  std::string flat = text;
  for (char& c : flat)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return windows1252ToUtf8(flat);
}

void writeRow(TsvOutput& out, const WatchRow& row) {
  const std::string fields[] = {row.icao,    row.name,       row.categoryText, row.age,
                                row.wind,    row.visibility, row.ceiling,      row.temperature,
                                watchTrendText(row.trend), row.nextChange, minimaVerdictText(row)};
  bool first = true;
  for (const std::string& text : fields) {
    if (!first) out.tab();
    first = false;
    out.text(field(text));
  }
  out.endLine();
}

}  // namespace

int runWatchCommand(int argc, char** argv) {
  std::vector<std::string> codes;
  fs::path store = defaultStorePath(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
  const char* minimaFile = nullptr;
  bool once = false;
  bool timeUtc = true;
  std::optional<UnitPreset> preset;
  std::optional<std::int64_t> at;
  int intervalSeconds = 60;
  for (int i = 0; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--once") {
      once = true;
      continue;
    }
    if (option.starts_with("--")) {
      if (i + 1 >= argc) return usage();
      const std::string value = argv[++i];
      if (option == "--store") {
        store = value;
      } else if (option == "--minima") {
        minimaFile = argv[i];
      } else if (option == "--units") {
        if (value == "aviation") preset = UnitPreset::kAviation;
        else if (value == "metric") preset = UnitPreset::kMetric;
        else if (value == "us") preset = UnitPreset::kUs;
        else return usage();
      } else if (option == "--time") {
        if (value != "utc" && value != "local") return usage();
        timeUtc = value == "utc";
      } else if (option == "--now") {
        at = readUtcTime(value.c_str());
        if (!at) return usage();
      } else if (option == "--interval") {
        char* end = nullptr;
        const long seconds = std::strtol(value.c_str(), &end, 10);
        if (end == value.c_str() || *end != '\0' || seconds < 1 || seconds > 3600) return usage();
        intervalSeconds = static_cast<int>(seconds);
      } else {
        return usage();
      }
      continue;
    }
    const std::string code = watchedCode(option);
    if (code.empty()) {
      std::fprintf(stderr, "nimbrel-report watch: \"%s\" is no ICAO code\n", argv[i]);
      return 2;
    }
    if (std::find(codes.begin(), codes.end(), code) == codes.end()) codes.push_back(code);
  }
  if (codes.empty()) return usage();
  // A fixed time is for one table; watching goes with the clock.
  if (at && !once) return usage();

  MinimaSet minima;
  if (minimaFile != nullptr) {
    std::ifstream in(minimaFile, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "nimbrel-report watch: cannot read %s\n", minimaFile);
      return 2;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const MinimaReading reading = readMinima(text);
    if (!reading.error.empty()) {
      std::fprintf(stderr, "nimbrel-report watch: %s: %s\n", minimaFile, reading.error.c_str());
      return 2;
    }
    minima = reading.minima;
  }

  std::error_code error;
  if (store.empty() || !fs::is_regular_file(store, error)) {
    std::fprintf(stderr, "nimbrel-report: no report store%s%s\n", store.empty() ? "" : " at ", store.c_str());
    return kNoStore;
  }
  ReportStoreOptions options;
  options.readOnly = true;
  ReportStore reports(store, options);
  if (!reports.isOpen()) {
    std::fprintf(stderr, "nimbrel-report: %s\n", reports.takeNote().c_str());
    return kNoStore;
  }

  // The units a user would have picked with the preset (statute miles where
  // the computer is in North America, as the Parameters dialog does); none:
  // the program's defaults.
  DisplayUnits units;
  if (preset) {
    const QLocale::Territory territory = QLocale::system().territory();
    units = unitPreset(*preset, territory == QLocale::UnitedStates || territory == QLocale::Canada);
  }
  const std::vector<Station> stations = namedStations(codes);
  const std::int64_t now = at.value_or(static_cast<std::int64_t>(std::time(nullptr)));

  WatchAlerts alerts(minima);
  bool anyBelow = false;
  TsvOutput out;
  out.text("station\tname\tcategory\tage\twind\tvisibility\tceiling\ttemperature\ttrend\tnext change\tminima");
  out.endLine();
  for (std::size_t i = 0; i < stations.size(); ++i) {
    const WatchInput input = storedWatchInput(reports, stations[i], now);
    const WatchRow row = watchRow(input, minima, now / 60, units, timeUtc);
    anyBelow = anyBelow || !row.belowMinima.empty();
    writeRow(out, row);
    // Where the alerts start from.
    if (input.current) alerts.feedReport(stations[i].icao, *input.current);
    if (input.taf) alerts.feedForecast(stations[i].icao, *input.taf, "");
  }
  if (!out.finish()) return 1;
  if (once) return anyBelow ? 1 : 0;

  std::signal(SIGINT, onInterrupt);
  std::signal(SIGTERM, onInterrupt);
  while (!interrupted) {
    for (int tenths = 0; tenths < intervalSeconds * 10 && !interrupted; ++tenths)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (interrupted) break;
    const std::int64_t time = static_cast<std::int64_t>(std::time(nullptr));
    // Opened again each round: a read-only store opened while no copy of
    // the program ran reads the file as it was then, and never its later reports.
    const ReportStore round(store, options);
    for (std::size_t i = 0; i < stations.size(); ++i) {
      const WatchInput input = storedWatchInput(round, stations[i], time);
      std::vector<WatchAlert> told;
      if (input.current) told = alerts.feedReport(stations[i].icao, *input.current);
      if (const std::optional<StoredForecast> forecast = round.newestForecast(stations[i].icao); forecast && input.taf)
        for (WatchAlert& alert : alerts.feedForecast(stations[i].icao, *input.taf, forecast->raw))
          told.push_back(std::move(alert));
      for (const WatchAlert& alert : told) {
        out.text(utcText(time, "%Y-%m-%dT%H:%MZ"));
        out.tab();
        out.text(alert.station);
        out.tab();
        out.text(field(alert.what));
        out.tab();
        out.text(field(alert.report));
        out.endLine();
      }
    }
    if (!out.finish()) return 1;
  }
  return 0;
}
