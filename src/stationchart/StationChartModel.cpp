#include "stationchart/StationChartModel.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "base/Text.h"
#include "base/UserPort.h"
#include "charts/StationChart.h"
#include "observations/ReportPageSource.h"
#include "stationchart/MeteodataFile.h"

namespace nimbrel {
namespace {

constexpr double kMilesPerHourPerMetreSecond = 2.2369418519393043;

}  // namespace

Observation toDisplayUnits(const Observation& observation, bool metricStyle) {
  Observation shown = observation;
  if (!metricStyle) {
    shown.temperature = observation.temperature * 1.8 + 32.0;
    shown.pressure = observation.pressureInches;
    shown.windSpeed = observation.windSpeed * kMilesPerHourPerMetreSecond;
  }
  return shown;
}

TextLines detailLines(const Observation& o) {
  TextLines lines = {"DATE: " + o.conditionsText,   "TEMP: " + o.temperatureText, "DEWPOINT: " + o.dewpointText,
                     "PRESSURE: " + o.pressureText, "WINDS: " + o.windsText,      "VISIBILITY: " + o.visibilityText,
                     "CEILING: " + o.ceilingText,   "CLOUDS: " + o.cloudsText,    "PRESENT: " + o.weatherText};
  // A live report also shows its flight category and the report as sent.
  if (!o.rawReport.empty()) {
    lines.push_back("CATEGORY: " + o.categoryText);
    lines.push_back("METAR: " + o.rawReport);
  }
  return lines;
}

StationChartModel::StationChartModel(const Station& station, const Settings& settings, ObservationSource& source,
                                     UserPort& port, ChartOwner* chartOwner)
    : chart(std::make_unique<Chart>(chartOwner)), m_station(station), settings(settings), source(source), port(port) {}

void StationChartModel::load(std::function<void(bool)> finished) {
  port.beginWaitCursor();
  waitingForLoad = true;
  pending = source.requestPastHours(m_station, settings.pastHours,
                           [this, finished = std::move(finished)](PageReading reading) {
                             pending.reset();
                             waitingForLoad = false;
                             port.endWaitCursor();
                             const bool ok = loadFinished(std::move(reading));
                             if (finished) finished(ok);
                           });
}

bool StationChartModel::loadFinished(PageReading reading) {
  if (reading.cancelled) return false;
  if (!reading.ok) {
    port.showMessage(reading.failureText);
    // A page without data also gets the chart's own word; a service that
    // did not answer has said all there is.
    if (reading.failureText.rfind("Sorry, no data", 0) == 0)
      port.showMessage("Can not get meteodata for the station: \"" + m_station.name + "\"");
    return false;
  }
  observations = std::move(reading.observations);
  if (observations.size() == 1) {
    port.showMessage("Get only one record from the station \"" + m_station.name +
                     "\".\nTherefore compelled to set the time-period to 30 mins and the time-delta UTC to 0 "
                     "hours, sorry.");
    m_refreshMinutes = 30;
    m_utcDeltaHours = 0;
  } else {
    computePeriodAndDelta();
  }
  setupStationChart(*chart, m_station, settings, m_refreshMinutes, source.name());
  for (auto it = observations.rbegin(); it != observations.rend(); ++it)
    addObservationToChart(toDisplayUnits(*it, settings.metricStyle));
  currentObservation = observations.front();
  dialDirection = currentObservation.windDirection;
  dialSpeed = currentObservation.windSpeed;
  loaded = true;
  return true;
}

void StationChartModel::cancel() {
  pending.reset();
  if (waitingForLoad) {
    waitingForLoad = false;
    port.endWaitCursor();
  }
}

StationChartModel::~StationChartModel() { cancel(); }

int StationChartModel::computePeriodAndDelta() {
  const std::int64_t t0 = observations.at(0).observedAt;
  const std::int64_t t1 = observations.at(1).observedAt;
  const std::int64_t diff = t0 - t1;
  const std::int64_t minutes = diff / 60 - (diff / 86400) * 1440;
  if (minutes <= 0) {
    // Two reports at the same time of day, or a page not newest first: a
    // timer of zero or negative length makes no sense, so refresh every
    // half hour and show the page's times, as with a single report.
    m_refreshMinutes = 30;
    m_utcDeltaHours = 0;
    return m_refreshMinutes;
  }
  m_refreshMinutes = static_cast<int>(minutes);

  const std::time_t now = port.currentTime();
  m_utcDeltaHours = localTime(now).tm_hour - localTime(t0).tm_hour;
  // A report cannot lie in the future.
  if (t0 + static_cast<std::int64_t>(m_utcDeltaHours) * 3600 > now) --m_utcDeltaHours;
  return m_refreshMinutes;
}

void StationChartModel::addObservationToChart(const Observation& observation) {
  std::int64_t shown = observation.observedAt;
  if (!settings.timeUtc) shown += static_cast<std::int64_t>(m_utcDeltaHours) * 3600;
  addObservationRow(*chart, wallClockSeconds(localTime(shown)), observation.temperature, observation.pressure,
                    observation.windSpeed, observation.windDirection);
  if (chart->series.empty()) return;
  chart->setDetailLines(static_cast<int>(chart->series.size()) - 1, detailLines(observation));
  dialDirection = observation.windDirection;
  dialSpeed = observation.windSpeed;
  if (onChartChanged) onChartChanged();
}

void StationChartModel::refresh() {
  // A tick while the last one is still under way waits for it.
  if (!loaded || pending) return;
  pending = source.requestNewest(m_station, false, [this](PageReading reading) {
    pending.reset();
    if (reading.cancelled) return;
    if (!reading.ok) {
      // Nothing loaded is lost; the chart says how old its newest report is.
      staleSince = newestTimeText();
      port.setStatusText(m_station.name + ": no new report since " + staleSince + "." +
                         (reading.statusNote.empty() ? "" : " " + reading.statusNote));
      if (onStateChanged) onStateChanged();
      return;
    }
    const bool wasStale = !staleSince.empty();
    staleSince.clear();
    const Observation& newest = reading.observations.front();
    // The page may repeat the report already shown: it is not doubled.
    if (observations.empty() || newest.observedAt > observations.front().observedAt) {
      observations.insert(observations.begin(), newest);
      currentObservation = newest;
      addObservationToChart(toDisplayUnits(newest, settings.metricStyle));
    }
    if (wasStale && onStateChanged) onStateChanged();
  });
}

std::string StationChartModel::newestTimeText() const {
  if (observations.empty()) return {};
  std::int64_t shown = observations.front().observedAt;
  if (!settings.timeUtc) shown += static_cast<std::int64_t>(m_utcDeltaHours) * 3600;
  const std::tm time = localTime(shown);
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", time.tm_hour, time.tm_min);
  return text;
}

std::string StationChartModel::title() const {
  if (staleSince.empty()) return m_station.name;
  return m_station.name + " (no new report since " + staleSince + ")";
}

void StationChartModel::close(const std::filesystem::path& currentFolder) {
  cancel();
  if (!loaded) return;
  loaded = false;
  if (settings.writeMeteodata)
    writeMeteodataFile(port, currentFolder, m_station.name, observations, port.currentTime());
}

int StationChartModel::refreshIntervalMs() const {
  const std::int64_t ms = static_cast<std::int64_t>(m_refreshMinutes) * 60000;
  const std::int64_t shortest = static_cast<std::int64_t>(std::max(1, source.minimumRefreshMinutes())) * 60000;
  return static_cast<int>(std::clamp<std::int64_t>(ms, shortest, 24LL * 60 * 60000));
}

}  // namespace nimbrel
