#pragma once
// A small stand-in for the weather service: report pages of plausible,
// deterministic observations for every station of a station list, the list
// itself, saved pages from a folder, and a real day of METARs in the Data
// API's form (SampleMetarDay). Listens on 127.0.0.1 only.
#include <atomic>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <optional>
#include <thread>
#include <unordered_map>
#include <vector>

namespace httplib {
class Server;
}

namespace nimbrel::sample {

struct SampleStation {
  std::string icao;
  double latitude = 0.0;   // degrees north
  double longitude = 0.0;  // degrees east
  // Braced, so the three-value form above still fills the whole station.
  std::string name{};      // as the list writes it, "BOSTON LOGAN INT"
  std::string region{};    // US state or Canadian province code
  std::string country{};   // ISO 3166 two letters
  std::string iata{};
  std::optional<int> elevationM{};
};

// Station lines of the fixed-column list: region at 0, name at 3..18, ICAO
// at 20..23, latitude "dd mmH" at 39, longitude "ddd mmH" at 47, elevation
// at 54..58, country at 81. Comment lines, lines shorter than a station's
// 83 characters (the column header) and lines without an ICAO are skipped.
std::vector<SampleStation> readSampleStations(const std::string& listText);

// The service's own station list (stations.cache.json.gz before gzip): one
// object per station in the service's field names, every one a METAR station.
std::string stationsCacheJson(const std::vector<SampleStation>& stations);

// 20, 30 or 60 minutes, from a hash of the ICAO.
int reportIntervalMinutes(const std::string& icao);

// The times of the reports a page for the period shows, newest first:
// hours 0 means "most recent only".
std::vector<std::time_t> reportTimes(const SampleStation& station, int hours, std::time_t now);

// A whole report page in the service's grammar.
std::string makeReportPage(const SampleStation& station, int hours, std::time_t now);
std::string makeSorryPage(const std::string& icao);

// The hours a hoursStr asks for ("past+N+hours" or "past N hours"), 0 for
// "most recent only" in either spelling, -1 when it is neither.
int hoursFromQuery(const std::string& hoursStr);

class SampleMetarDay;
class SampleTafCorpus;

class SampleService {
 public:
  // listText is served as the station list; pagesDir, when not empty, holds
  // saved pages: "<ICAO>.html" replaces the generated page of that station
  // and every file is served under "/pages/".
  SampleService(std::string listText, std::string pagesDir = {});
  ~SampleService();
  SampleService(const SampleService&) = delete;
  SampleService& operator=(const SampleService&) = delete;

  // Port 0 lets the system choose. False when the port cannot be had.
  bool start(int port);
  void stop();
  int listeningPort() const { return port; }
  int stationCount() const { return static_cast<int>(stations.size()); }

  // Fixed "now" for tests; 0 means the clock (for the METAR day, the time
  // the service started).
  void setNow(std::time_t fixedNow) { now = fixedNow; }

  // The last `minutes` of the METAR day are held back at start: the day is
  // replayed up to that point, which lands on now. Before start().
  void holdBack(int minutes) { heldBack = minutes; }
  // Moves the service's clock on by `minutes`, and the replayed day with it:
  // the reports of those minutes come in (a held-back report keeps its time),
  // the TAFs and pages are those of the later time. Any thread; also
  // POST /sample/advance?minutes=N.
  void advance(int minutes) { advanced += minutes; }
  int advancedMinutes() const { return static_cast<int>(advanced.load()); }

  // A gzipped day of METAR cycle files, served as the Data API's
  // /api/data/metar and /data/cache/metars.cache.csv.gz. False with `error`.
  bool loadMetarDay(const std::string& gzPath, std::string& error);
  // A day read once and served by several services in turn (a test program's).
  void useMetarDay(std::shared_ptr<const SampleMetarDay> day) { metar = std::move(day); }
  const SampleMetarDay* metarDay() const { return metar.get(); }

  // Real TAFs ("date<TAB>report" lines) of the listed stations, served as
  // the Data API's /api/data/taf, re-dated to be valid at the request's now
  // (or, with `date`, at that instant of the day up to now).
  bool loadTafCorpus(const std::string& tsvPath, std::string& error);
  const SampleTafCorpus* tafCorpus() const { return taf.get(); }

  // The body for a report page request.
  std::string reportPageFor(const std::string& icao, const std::string& hoursStr) const;

 private:
  std::string listText;
  std::string pagesDir;
  std::vector<SampleStation> stations;
  std::unordered_map<std::string, const SampleStation*> stationsByIcao;
  std::shared_ptr<const SampleMetarDay> metar;
  std::unique_ptr<SampleTafCorpus> taf;
  std::time_t startTime = 0;
  std::unique_ptr<httplib::Server> server;
  std::thread thread;
  int port = 0;
  std::time_t now = 0;
  // The time the answers are made for (the clock, or the fixed now, plus
  // the advance) and how far before the day's end the replay stands then.
  struct Replay {
    std::time_t now;
    std::int64_t behind;
  };
  Replay replayAt(std::time_t clock) const {
    const std::int64_t moved = advanced.load();
    return {static_cast<std::time_t>(clock + moved * 60), heldBack - moved};
  }

  int heldBack = 0;
  std::atomic<std::int64_t> advanced{0};
};

}  // namespace nimbrel::sample
