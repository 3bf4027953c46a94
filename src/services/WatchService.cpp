#include "services/WatchService.h"

#include <QDateTime>
#include <algorithm>
#include <map>

#include "reportstore/ReportStore.h"
#include "services/ReportSources.h"
#include "services/Session.h"
#include "services/UserSettings.h"
#include "services/WeatherFeed.h"
#include "watch/WatchList.h"

namespace nimbrel {

struct WatchService::Impl {
  WatchAlerts alerts;
  Clock clock = [] { return static_cast<std::int64_t>(QDateTime::currentSecsSinceEpoch()); };
  // The watched stations' reports and forecasts from the store, read on a
  // worker after each download (which stored its reports first).
  std::vector<WatchInput> stored;
  std::unique_ptr<FetchTicket> storedTicket;
  // The snapshot the rows were last made from, to tell a new download.
  const WeatherSnapshot* lastSnapshot = nullptr;
  int lastDownload = -1;
  // Each station's newest report seen this run: the trend's "before" when
  // there is no store.
  std::map<std::string, StationWeather, std::less<>> lastSeen;
  std::map<std::string, StationWeather, std::less<>> beforeLastSeen;

  // The TAF requests: when each station was last asked, the requests of
  // the last minute, and those under way.
  std::map<std::string, std::int64_t, std::less<>> tafAsked;
  std::vector<std::int64_t> tafSent;
  std::map<std::string, std::unique_ptr<FetchTicket>, std::less<>> tafTickets;
  std::map<std::string, TafReport, std::less<>> tafs;
  QTimer tafTimer;
  // Ages ("37 min ago") move on with the clock.
  QTimer ageTimer;
};

WatchService::WatchService(Session& session, Clock clock, QObject* parent)
    : QObject(parent), d(std::make_unique<Impl>()), session(session) {
  if (clock) d->clock = std::move(clock);
  codes = readStoredWatchList();
  limits = readStoredMinima();
  quiet = readStoredWatchQuiet();
  d->alerts.setMinima(limits);
  d->alerts.setQuiet(quiet);

  WeatherFeed& feed = session.weatherFeed();
  connect(&feed, &WeatherFeed::changed, this, [this] { weatherChanged(); });
  connect(&session.settingsService(), &SettingsService::settingsChanged, this, [this] { remakeRows(); });
  d->tafTimer.setInterval(60 * 1000);
  connect(&d->tafTimer, &QTimer::timeout, this, [this] { askForecasts(); });
  d->ageTimer.setInterval(60 * 1000);
  connect(&d->ageTimer, &QTimer::timeout, this, [this] { remakeRows(); });
  followList();
}

// The tickets go first: nothing is handed over to a service half gone.
WatchService::~WatchService() {
  d->storedTicket.reset();
  d->tafTickets.clear();
  session.weatherFeed().removeUser(this);
}

bool WatchService::isWatched(std::string_view icao) const {
  return std::find(codes.begin(), codes.end(), icao) != codes.end();
}

bool WatchService::add(const std::string& icao) {
  const std::string code = watchedCode(icao);
  if (code.empty()) return false;
  if (isWatched(code)) return true;
  codes.push_back(code);
  storeWatchList(codes);
  followList();
  emit listChanged();
  return true;
}

void WatchService::remove(const std::string& icao) {
  const auto it = std::find(codes.begin(), codes.end(), icao);
  if (it == codes.end()) return;
  codes.erase(it);
  storeWatchList(codes);
  d->alerts.forget(icao);
  d->tafAsked.erase(icao);
  d->tafTickets.erase(icao);
  d->tafs.erase(icao);
  followList();
  emit listChanged();
}

void WatchService::setMinima(MinimaSet minima) {
  if (minima == limits) return;
  limits = std::move(minima);
  storeMinima(limits);
  d->alerts.setMinima(limits);
  remakeRows();
  emit listChanged();
}

void WatchService::setQuiet(bool on) {
  if (on == quiet) return;
  quiet = on;
  d->alerts.setQuiet(on);
  storeWatchQuiet(on);
  emit quietChanged(on);
}

bool WatchService::isReadingStore() const { return d->storedTicket != nullptr; }

FlightCategory WatchService::worstCategory() const {
  FlightCategory worst = FlightCategory::Unknown;
  for (const WatchRow& row : shown)
    if (static_cast<int>(row.category) > static_cast<int>(worst)) worst = row.category;
  return worst;
}

void WatchService::followList() {
  WeatherFeed& feed = session.weatherFeed();
  if (codes.empty()) {
    feed.removeUser(this);
    d->tafTimer.stop();
    d->ageTimer.stop();
  } else {
    if (!d->tafTimer.isActive()) d->tafTimer.start();
    if (!d->ageTimer.isActive()) d->ageTimer.start();
    feed.addUser(this);
  }
  // The rows of the list as it now is at once, then with the stored reports.
  update();
  readStored();
  askForecasts();
}

void WatchService::weatherChanged() {
  const WeatherFeed& feed = session.weatherFeed();
  const WeatherSnapshot* snapshot = feed.snapshot();
  if (!snapshot || feed.isLoading()) return;
  if (snapshot == d->lastSnapshot && feed.downloadCount() == d->lastDownload) return;
  d->lastSnapshot = snapshot;
  d->lastDownload = feed.downloadCount();
  // The download stored its reports before it arrived: the store now has
  // the report before each newest one for the trend.
  readStored();
  askForecasts();
}

void WatchService::readStored() {
  const std::shared_ptr<ReportStore> store = session.sources().store();
  if (!store || codes.empty()) {
    d->storedTicket.reset();
    d->stored.clear();
    update();
    return;
  }
  d->storedTicket = session.sources().weatherLane().makeLater(
      [store, catalogue = session.catalogue(), codes = codes, now = d->clock()] {
        std::vector<WatchInput> inputs;
        if (!store->isOpen()) return inputs;
        for (const std::string& code : codes) {
          Station station;
          station.icao = code;
          const auto known = std::find_if(catalogue->begin(), catalogue->end(),
                                          [&](const Station& s) { return s.icao == code; });
          if (known != catalogue->end()) station = *known;
          inputs.push_back(storedWatchInput(*store, station, now));
        }
        return inputs;
      },
      [this](std::vector<WatchInput> inputs) {
        d->storedTicket.reset();
        d->stored = std::move(inputs);
        update();
      });
}

void WatchService::update() {
  const WeatherFeed& feed = session.weatherFeed();
  static const WeatherSnapshot kNone;
  const WeatherSnapshot& snapshot = feed.snapshot() ? *feed.snapshot() : kNone;
  std::vector<WatchInput> inputs = watchInputs(codes, snapshot, *session.catalogue(), d->stored);
  for (WatchInput& input : inputs) {
    const std::string& icao = input.station.icao;
    if (const auto taf = d->tafs.find(icao); taf != d->tafs.end()) {
      if (!input.taf || (taf->second.issued && input.taf->issued && *input.taf->issued < *taf->second.issued))
        input.taf = taf->second;
    }
    if (!input.current) continue;
    // Without a store the trend is against the report seen before in this run.
    const auto last = d->lastSeen.find(icao);
    if (last != d->lastSeen.end() && last->second.observedMinutes < input.current->observedMinutes) {
      d->beforeLastSeen[icao] = last->second;
    }
    if (last == d->lastSeen.end() || last->second.observedMinutes <= input.current->observedMinutes)
      d->lastSeen[icao] = *input.current;
    if (!input.previous) {
      const auto before = d->beforeLastSeen.find(icao);
      if (before != d->beforeLastSeen.end()) input.previous = before->second;
    }
    for (const WatchAlert& alert : d->alerts.feedReport(icao, *input.current)) emit alerted(alert);
  }
  makeRows(inputs);
  lastInputs = std::move(inputs);
}

void WatchService::remakeRows() { makeRows(lastInputs); }

void WatchService::makeRows(const std::vector<WatchInput>& inputs) {
  const Settings& settings = session.settings();
  const std::int64_t nowMinutes = d->clock() / 60;
  std::vector<WatchRow> rows;
  rows.reserve(inputs.size());
  for (const WatchInput& input : inputs)
    rows.push_back(watchRow(input, limits, nowMinutes, shownUnits(settings), settings.timeUtc));
  shown = std::move(rows);
  emit rowsChanged();
}

void WatchService::askForecasts() {
  TafSource* source = session.sources().forecastSource(ReportSource::kLiveMetar);
  if (!source || codes.empty()) return;
  const std::int64_t now = d->clock();
  std::erase_if(d->tafSent, [now](std::int64_t sent) { return now - sent >= 60; });
  for (const std::string& code : codes) {
    if (static_cast<int>(d->tafSent.size()) >= kTafPerMinute) break;
    if (d->tafTickets.contains(code)) continue;
    const auto asked = d->tafAsked.find(code);
    if (asked != d->tafAsked.end() && now - asked->second < kTafEverySeconds) continue;
    d->tafAsked[code] = now;
    d->tafSent.push_back(now);
    Station station;
    station.icao = code;
    d->tafTickets[code] = source->request(
        station, [this, code](TafReading reading) { forecastArrived(std::string(code), std::move(reading)); });
  }
}

void WatchService::forecastArrived(std::string icao, TafReading reading) {
  d->tafTickets.erase(icao);
  if (!reading.ok || !reading.forecast) return;
  const TafForecast& forecast = *reading.forecast;
  if (forecast.report.status == MetarStatus::Rejected) return;
  for (const WatchAlert& alert : d->alerts.feedForecast(icao, forecast.report, forecast.rawText)) emit alerted(alert);
  d->tafs[icao] = forecast.report;
  update();
}

}  // namespace nimbrel
