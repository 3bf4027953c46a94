// nimbrel-report chart: a station's chart as its window would show it, built
// by the window's own model, written as text lines or drawn into a PNG.
#include <QGuiApplication>
#include <QImage>
#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "ReportCommands.h"
#include "base/ClockText.h"
#include "base/DisplayUnits.h"
#include "base/Settings.h"
#include "base/Text.h"
#include "base/UserPort.h"
#include "catalog/StationListLocation.h"
#include "catalog/StationListReader.h"
#include "charts/Chart.h"
#include "observations/CurlPageFetcher.h"
#include "observations/MetarSource.h"
#include "observations/TafSource.h"
#include "render/QtPainter.h"
#include "reportstore/ReportStore.h"
#include "stationchart/StationChart.h"
#include "stationchart/StationChartModel.h"

namespace {

namespace fs = std::filesystem;
using namespace nimbrel;

constexpr const char* kUsage =
    "usage: nimbrel-report chart ICAO [--hours N] [--units aviation|metric|us] [--time utc|local]\n"
    "                            [--store FILE | --url URL [--timeout SECONDS]] [--now YYYY-MM-DDTHH:MMZ]\n"
    "                            [--text | --png FILE [--size WxH]]\n";
constexpr int kMostHours = 720;
// The chart window's client size when it opens.
constexpr int kDefaultWidth = 650;
constexpr int kDefaultHeight = 670;
constexpr int kLargestSide = 8000;
// A command must not wait as long as a window may: seconds for each download.
constexpr int kDefaultTimeoutSeconds = 30;
constexpr int kLongestTimeoutSeconds = 300;

int usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

int fail(const std::string& text) {
  std::fprintf(stderr, "nimbrel-report chart: %s\n", text.c_str());
  return 1;
}

// Downloads in the order asked, each run when the command waits for its
// answer: a command has nothing else to do meanwhile, so no worker thread.
class InlineFetcher : public AsyncPageFetcher {
 public:
  explicit InlineFetcher(int timeoutSeconds) {
    curl.setTimeouts(std::min(10, timeoutSeconds) * 1000L, timeoutSeconds * 1000L);
    curl.setUserAgent("Nimbrel (surface weather observations viewer)");
  }
  std::unique_ptr<FetchTicket> start(const std::string& url, int readBufferSize, Work work) override {
    auto job = std::make_shared<Job>();
    job->url = url;
    job->size = readBufferSize;
    job->work = std::move(work);
    jobs.push_back(job);
    return std::make_unique<Ticket>(job);
  }
  std::unique_ptr<FetchTicket> post(std::function<void()> done) override {
    auto job = std::make_shared<Job>();
    job->known = std::move(done);
    jobs.push_back(job);
    return std::make_unique<Ticket>(job);
  }
  // Runs the oldest job not cancelled; false when none is left.
  bool runNext() {
    while (!jobs.empty()) {
      std::shared_ptr<Job> job = std::move(jobs.front());
      jobs.pop_front();
      if (job->cancelled) continue;
      std::function<void()> done = job->known ? std::move(job->known) : job->work(curl.fetch(job->url, job->size));
      if (!job->cancelled) done();
      return true;
    }
    return false;
  }

 private:
  struct Job {
    std::string url;
    int size = 0;
    Work work;
    std::function<void()> known;
    bool cancelled = false;
  };
  class Ticket : public FetchTicket {
   public:
    explicit Ticket(std::shared_ptr<Job> job) : job(std::move(job)) {}
    ~Ticket() override { cancel(); }
    void cancel() override { job->cancelled = true; }

   private:
    std::shared_ptr<Job> job;
  };
  CurlPageFetcher curl;
  std::deque<std::shared_ptr<Job>> jobs;
};

// The reports of a store file alone, read as the window's live source reads
// them from its store; the file is opened read-only and nothing is fetched.
class StoredSource : public ObservationSource {
 public:
  // Reports up to `to`: the chart's now, or a little past the clock's (a
  // station's clock ahead of ours).
  StoredSource(AsyncPageFetcher& fetcher, std::shared_ptr<ReportStore> store, std::int64_t now, std::int64_t to)
      : fetcher(fetcher), store(std::move(store)), now(now), to(to) {}
  std::unique_ptr<FetchTicket> requestPastHours(const Station& station, int hours, Done done) override {
    return fetcher.deliverLater(read(station, now - std::int64_t{std::max(hours, 1)} * 3600), std::move(done));
  }
  std::unique_ptr<FetchTicket> requestNewest(const Station& station, bool, Done done) override {
    return requestPastHours(station, 1, std::move(done));
  }
  bool checksBeforeOpening() const override { return false; }
  bool catchesUpAfterGaps() const override { return false; }
  int minimumRefreshMinutes() const override { return 5; }
  std::string name() const override { return "stored METAR"; }
  ObservationList storedSince(const Station& station, std::int64_t from) override {
    return read(station, from).observations;
  }

 private:
  PageReading read(const Station& station, std::int64_t from) const {
    return MetarSource::readStored(station, store->metars(station.icao, from, to));
  }
  AsyncPageFetcher& fetcher;
  std::shared_ptr<ReportStore> store;
  std::int64_t now;
  std::int64_t to;
};

// No one to show a message to: notes go to standard error.
class CommandPort : public UserPort {
 public:
  explicit CommandPort(std::time_t now) : now(now) {}
  void showMessage(const std::string& text) override { std::fprintf(stderr, "nimbrel-report chart: %s\n", text.c_str()); }
  void setStatusText(const std::string&) override {}
  void beginWaitCursor() override {}
  void endWaitCursor() override {}
  std::time_t currentTime() override { return now; }

 private:
  std::time_t now;
};

class ImageOwner : public ChartOwner {
 public:
  ImageOwner(int width, int height) : client{0, 0, width, height} {}
  Rect clientRect() const override { return client; }

 private:
  Rect client;
};

// Why a load gave no chart, in a line.
std::string whyNoChart(const PageReading& reading, const std::string& icao, int hours) {
  switch (reading.outcome) {
    case ReadOutcome::kNoData: return "no report of " + icao + " in the past " + std::to_string(hours) + " hours";
    case ReadOutcome::kUnreachable: return "the service could not be reached (" + reading.detail + ")";
    case ReadOutcome::kTimedOut:
      return "the service did not answer within " + std::to_string(reading.timeoutSeconds) + " s";
    case ReadOutcome::kRateLimited: return "the service asked us to wait; try again in a minute";
    case ReadOutcome::kRequestLimit: return "too many requests this minute; try again in a minute";
    case ReadOutcome::kServiceError: return "the service answered with an error (" + reading.detail + ")";
    case ReadOutcome::kUnreadable: return "the service's answer could not be read";
    default: return "no reports";
  }
}

// The station list the program would read, and the station of that code in it.
std::optional<Station> findStation(const std::string& icao, std::string& why) {
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  const std::vector<fs::path> places = stationListPlaces(fs::current_path(error), std::getenv("XDG_DATA_HOME"),
                                                         std::getenv("HOME"), installedDataDir(program));
  for (const fs::path& place : places) {
    std::string text;
    if (!readStationListFile(place.string(), text)) continue;
    StationList stations;
    parseStationList(text, stations);
    for (const Station& station : stations)
      if (station.icao == icao) return station;
    why = "no station " + icao + " in the station list " + place.string();
    return std::nullopt;
  }
  why = stationListNotFoundMessage(places);
  return std::nullopt;
}

// The UTC instant a time of the chart's axis stands for: the axis counts
// the wall clock of the zone shown. Twice round for a change of offset.
std::int64_t axisUtc(std::int64_t wall, bool timeUtc) {
  if (timeUtc) return wall;
  std::int64_t utc = wall - (shownWallClock(wall, false) - wall);
  utc = wall - (shownWallClock(utc, false) - utc);
  return utc;
}

// A text of the chart as a field: UTF-8, no tab or line break inside.
std::string field(std::string_view text) {
  std::string flat(text);
  for (char& c : flat)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return windows1252ToUtf8(flat);
}

std::string isoUtc(std::int64_t utc) { return utcText(utc, "%Y-%m-%dT%H:%MZ"); }

void writeText(const StationChartModel& model, bool timeUtc) {
  const Chart& chart = *model.chart;
  std::string out = "title\t" + field(chart.title) + "\n";
  const int count = std::min<int>(chart.seriesCount, static_cast<int>(chart.series.size()));
  if (!chart.series.empty() && chart.series.front().title)
    out += "caption\t" + field(*chart.series.front().title) + "\n";
  for (int k = 1; k < count; ++k)
    out += "legend\t" + field(chart.series[static_cast<std::size_t>(k)].title.value_or("")) + "\n";
  for (int k = 1; k < count; ++k) {
    const auto& lines = chart.series[static_cast<std::size_t>(k)].detailLines;
    if (!lines) continue;
    for (const std::string& line : *lines) out += "detail\t" + field(shownDetailLine(line)) + "\n";
  }
  for (const AxisLabel& label : chart.xLabels)
    out += "axis\t" + field(label.text) + "\t" + field(label.date) + "\t" + isoUtc(axisUtc(label.time, timeUtc)) + "\n";
  if (chart.nowX >= 0 && chart.getNow())
    out += "now\t" + isoUtc(axisUtc(*chart.getNow(), timeUtc)) + "\n";
  for (int k = 1; k < count; ++k) {
    const std::string title = field(chart.series[static_cast<std::size_t>(k)].title.value_or(""));
    for (int row = 0; row < chart.getRowCount(); ++row) {
      double value = 0;
      if (!chart.seriesValue(k, row, value)) continue;
      const std::int64_t at = chart.row(row).time.value_or(0);
      out += "point\t" + title + "\t" + field(chart.rowLabel(row)) + "\t" + isoUtc(axisUtc(at, timeUtc)) + "\t" +
             formatText("%.2f", value) + "\n";
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
}

}  // namespace

// "2026-12-07T18:25Z" to seconds since 1970.
std::optional<std::int64_t> readUtcTime(const char* text) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  char zone = 0;
  int used = 0;
  if (std::sscanf(text, "%4d-%2d-%2dT%2d:%2d%c%n", &year, &month, &day, &hour, &minute, &zone, &used) != 6 ||
      zone != 'Z' || text[used] != '\0')
    return std::nullopt;
  if (year < 1970 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59) return std::nullopt;
  return wallClockSeconds(year, month, day, hour, minute);
}

int runChartCommand(int argc, char** argv) {
  std::string icao;
  int hours = 6;
  std::optional<UnitPreset> preset;
  bool timeUtc = false;
  std::string storeFile;
  std::string url;
  std::string pngFile;
  bool text = false;
  int width = kDefaultWidth;
  int height = kDefaultHeight;
  std::optional<std::int64_t> at;
  int timeoutSeconds = kDefaultTimeoutSeconds;
  for (int i = 0; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--text") {
      text = true;
      continue;
    }
    if (!option.starts_with("-")) {
      if (!icao.empty()) return usage();
      icao = option;
      continue;
    }
    // Every other option takes a value.
    if (i + 1 >= argc) return usage();
    const char* value = argv[++i];
    if (option == "--hours") {
      char* end = nullptr;
      const long n = std::strtol(value, &end, 10);
      if (end == value || *end != '\0' || n < 1 || n > kMostHours) {
        std::fprintf(stderr, "nimbrel-report chart: --hours takes 1 to %d\n", kMostHours);
        return 2;
      }
      hours = static_cast<int>(n);
    } else if (option == "--units") {
      const std::string name = value;
      if (name == "aviation") preset = UnitPreset::kAviation;
      else if (name == "metric") preset = UnitPreset::kMetric;
      else if (name == "us") preset = UnitPreset::kUs;
      else return usage();
    } else if (option == "--time") {
      const std::string name = value;
      if (name != "utc" && name != "local") return usage();
      timeUtc = name == "utc";
    } else if (option == "--store") {
      storeFile = value;
    } else if (option == "--url") {
      url = value;
    } else if (option == "--png") {
      pngFile = value;
    } else if (option == "--size") {
      char x = 0;
      int used = 0;
      if (std::sscanf(value, "%d%c%d%n", &width, &x, &height, &used) != 3 || x != 'x' || value[used] != '\0' ||
          width < 1 || height < 1 || width > kLargestSide || height > kLargestSide)
        return usage();
    } else if (option == "--timeout") {
      char* end = nullptr;
      const long n = std::strtol(value, &end, 10);
      if (end == value || *end != '\0' || n < 1 || n > kLongestTimeoutSeconds) return usage();
      timeoutSeconds = static_cast<int>(n);
    } else if (option == "--now") {
      at = readUtcTime(value);
      if (!at) return usage();
    } else {
      return usage();
    }
  }
  if (icao.empty() || (!storeFile.empty() && !url.empty()) || (text && !pngFile.empty())) return usage();
  for (char& c : icao) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

  std::string why;
  const std::optional<Station> station = findStation(icao, why);
  if (!station) return fail(why);
  const std::int64_t now = at.value_or(static_cast<std::int64_t>(std::time(nullptr)));

  // The settings a user would have chosen: the preset's units (none: the
  // program's defaults), the zone of the times and the hours shown.
  Settings settings;
  if (preset) {
    // As the Parameters dialog does: statute miles where the computer is
    // in North America.
    const QLocale::Territory territory = QLocale::system().territory();
    settings.units = unitPreset(*preset, territory == QLocale::UnitedStates || territory == QLocale::Canada);
  }
  settings.timeUtc = timeUtc;
  settings.pastHours = hours;

  InlineFetcher fetcher(timeoutSeconds);
  std::unique_ptr<ObservationSource> source;
  // The service's forecast comes with its reports, as in the window.
  std::unique_ptr<TafSource> forecasts;
  if (!storeFile.empty()) {
    std::error_code error;
    if (!fs::is_regular_file(storeFile, error)) return fail("no report store at " + storeFile);
    ReportStoreOptions options;
    options.readOnly = true;
    auto store = std::make_shared<ReportStore>(storeFile, options);
    if (!store->isOpen()) return fail("can not read the report store " + storeFile + ": " + store->takeNote());
    source = std::make_unique<StoredSource>(fetcher, std::move(store), now, at ? now : now + 3600);
  } else {
    auto live = std::make_unique<MetarSource>(fetcher, [now] { return now; });
    if (!url.empty()) live->baseUrl = url;
    forecasts = std::make_unique<TafSource>(fetcher, [now] { return now; });
    forecasts->baseUrl = live->baseUrl;
    source = std::move(live);
  }

  // The chart is measured and drawn with the program's Qt painter, which
  // needs a GUI application but no display.
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Qt's notes on the display-less platform (no runtime folder, say) are
  // not the command's to tell; its errors still are.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  });
  int qtArgc = 1;
  char name[] = "nimbrel-report";
  char* qtArgv[] = {name, nullptr};
  QGuiApplication application(qtArgc, qtArgv);

  CommandPort port(static_cast<std::time_t>(now));
  ImageOwner owner(width, height);
  StationChartModel model(*station, settings, *source, port, &owner, forecasts.get());
  std::optional<LoadOutcome> outcome;
  model.load([&outcome](LoadOutcome done) { outcome = std::move(done); });
  while (!outcome && fetcher.runNext()) {
  }
  if (!outcome) return fail("the reports never came");
  if (!outcome->ok) return fail(whyNoChart(outcome->reading, icao, hours));

  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    QtPainter onImage(painter);
    model.placeForecast();
    paintStationChart(*model.chart, onImage, model.dialDirection, model.dialSpeed);
  }
  if (!pngFile.empty()) {
    if (!image.save(QString::fromStdString(pngFile), "PNG")) return fail("can not write " + pngFile);
    return 0;
  }
  writeText(model, timeUtc);
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) return fail("can not write the chart");
  return 0;
}
