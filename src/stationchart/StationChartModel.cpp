#include "stationchart/StationChartModel.h"

#include <algorithm>
#include <cmath>
#include <climits>
#include <limits>
#include <cstdio>
#include <span>
#include <utility>
#include <unordered_set>

#include "base/ClockText.h"
#include "base/Units.h"
#include "base/Text.h"
#include "base/UserPort.h"
#include "stationchart/StationChart.h"
#include "charts/WeatherLayer.h"
#include "metar/CloudLayer.h"
#include "metar/MetarDecoder.h"
#include "metar/WeatherGroup.h"
#include "observations/ObservationText.h"
#include "metar/WeatherGroup.h"
#include "observations/ReportPageSource.h"
#include "stationchart/MeteodataFile.h"

namespace nimbrel {
namespace {


std::int64_t utcSeconds(const UtcDateTime& time) { return time.epochMinutes() * 60; }



std::string windText(const Wind& wind, const DisplayUnits* units) {
  if (!wind.speedKt) return "not given";
  if (wind.isCalm()) return "calm";
  if (units != nullptr)
    return windText(wind.directionDeg ? WindState::kFrom : WindState::kVariable, wind.directionDeg.value_or(0),
                    *wind.speedKt, wind.gustKt.value_or(kNoValue), units->speed);
  std::string text = wind.directionDeg ? formatText("%03d degrees", *wind.directionDeg) : std::string("variable");
  text += formatText(" at %ld knots", std::lround(*wind.speedKt));
  if (wind.gustKt) text += formatText(" gusting to %ld", std::lround(*wind.gustKt));
  return text;
}

std::string visibilityText(const Conditions& conditions, const DisplayUnits* units) {
  if (conditions.cavok) return "CAVOK";
  const Visibility& v = conditions.visibility;
  if (!v.prevailingM) return "not given";
  const double metres = *v.prevailingM;
  if (units != nullptr)
    return visibilityText(metres,
                          v.moreThan ? VisibilityBound::kOrMore
                          : v.lessThan ? VisibilityBound::kLessThan
                                       : VisibilityBound::kExact,
                          units->visibility);
  if (v.inStatuteMiles) {
    const double miles = metres / kMetresPerStatuteMile;
    return formatText("%s%g miles", v.moreThan ? "more than " : v.lessThan ? "less than " : "", std::round(miles * 100) / 100);
  }
  if (v.moreThan || metres >= 10000.0) return "10 km or more";
  return formatText("%s%g km", v.lessThan ? "less than " : "", metres / 1000);
}

// The conditions a group states; what it leaves out stays as it was.
std::string conditionsText(const Conditions& c, bool whole, const DisplayUnits* units) {
  std::vector<std::string> parts;
  if (whole || c.wind.reported) parts.push_back("wind " + windText(c.wind, units));
  if (whole || c.visibility.reported || c.cavok) parts.push_back("visibility " + visibilityText(c, units));
  if (!c.weather.empty()) parts.push_back(weatherText(c.weather.view()));
  else if (c.noSignificantWeather) parts.push_back("no significant weather");
  if (!c.clouds.empty()) parts.push_back(cloudText(c.clouds.view()));
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : ", ") + part;
  return text;
}

// "12:00-14:00 UTC"; both zones named when a change of clocks falls between.
std::string changeTimesText(std::int64_t from, std::int64_t to, bool timeUtc) {
  const ShownTime start = shownTime(from, timeUtc);
  const ShownTime end = shownTime(to, timeUtc);
  const std::string startText = formatText("%02d:%02d", start.hour, start.minute);
  const std::string endText = formatText("%02d:%02d ", end.hour, end.minute) + end.zone;
  return start.zone == end.zone ? startText + "-" + endText : startText + " " + start.zone + "-" + endText;
}

// "5/20 09:00-15:00 UTC", "5/20 22:00-5/21 02:00 UTC"; both zones named
// when a change of clocks falls between.
std::string periodText(std::int64_t from, std::int64_t to, bool timeUtc) {
  const ShownTime start = shownTime(from, timeUtc);
  const ShownTime end = shownTime(to, timeUtc);
  std::string text = formatText("%d/%d %02d:%02d", start.month, start.day, start.hour, start.minute);
  if (start.zone != end.zone) text += " " + start.zone;
  text += "-";
  if (start.day != end.day || start.month != end.month) text += formatText("%d/%d ", end.month, end.day);
  return text + formatText("%02d:%02d ", end.hour, end.minute) + end.zone;
}

std::string groupKindText(const TafGroup& group) {
  const char* word = group.intermittent ? "INTER" : "TEMPO";
  switch (group.kind) {
    case TafGroupKind::Base: return "From";
    case TafGroupKind::From: return "FM";
    case TafGroupKind::Becoming: return "BECMG";
    case TafGroupKind::Temporary: return word;
    case TafGroupKind::Probability: return formatText("PROB%d", group.probability);
    case TafGroupKind::ProbabilityTemporary: return formatText("PROB%d %s", group.probability, word);
  }
  return {};
}

}  // namespace

ChartForecast forecastStrip(const TafForecast& forecast) {
  ChartForecast strip;
  strip.from = utcSeconds(forecast.report.validFrom);
  strip.to = utcSeconds(forecast.report.validTo);
  for (const TafHour& hour : forecast.hours) {
    ForecastHour shown;
    shown.time = utcSeconds(hour.time);
    shown.colour = flightCategoryColour(hour.prevailing.flightCategory());
    // The categories worsen in the enumeration's order, Unknown first.
    FlightCategory worst = FlightCategory::Unknown;
    for (std::size_t index : hour.possible) {
      if (index >= forecast.report.groups.size()) continue;
      worst = std::max(worst, forecast.report.groups[index].flightCategory());
    }
    if (!hour.possible.empty()) shown.hatch = flightCategoryColour(worst);
    strip.hours.push_back(shown);
  }
  return strip;
}

std::string forecastLine(const TafForecast& forecast, bool timeUtc) {
  return "FORECAST: issued " + dateClockText(utcSeconds(forecast.issued), timeUtc) + ": " + forecast.rawText;
}

std::string forecastHourText(const TafForecast& forecast, std::size_t hourIndex, bool timeUtc,
                             const DisplayUnits* units) {
  if (hourIndex >= forecast.hours.size()) return {};
  const TafHour& hour = forecast.hours[hourIndex];
  const ShownTime t = shownTime(utcSeconds(hour.time), timeUtc);
  const FlightCategory category = hour.prevailing.flightCategory();
  std::string text = formatText("%d/%d %02d:%02d ", t.month, t.day, t.hour, t.minute) + t.zone + "  " +
                     (category == FlightCategory::Unknown ? std::string("category unknown")
                                                          : std::string(flightCategoryText(category)));
  text += "\n" + conditionsText(hour.prevailing, true, units);
  for (std::size_t index : hour.possible) {
    if (index >= forecast.report.groups.size()) continue;
    const TafGroup& group = forecast.report.groups[index];
    const char* word = group.intermittent ? "INTER" : "TEMPO";
    std::string kind = group.kind == TafGroupKind::Temporary     ? std::string(word)
                       : group.kind == TafGroupKind::Probability ? formatText("PROB%d", group.probability)
                                                                 : formatText("PROB%d %s", group.probability, word);
    const FlightCategory possible = group.flightCategory();
    text += "\n" + kind + " " + changeTimesText(utcSeconds(group.from), utcSeconds(group.to), timeUtc);
    if (possible != FlightCategory::Unknown) text += std::string(" ") + flightCategoryText(possible);
    const std::string stated = conditionsText(group.conditions, false, units);
    if (!stated.empty()) text += ": " + stated;
  }
  return text;
}

std::string forecastChangesText(const TafForecast& forecast, bool timeUtc, const DisplayUnits* units) {
  const TafReport& taf = forecast.report;
  std::string text = "TAF " + (taf.station.empty() ? std::string() : taf.station + " ") + "issued " +
                     dateClockText(utcSeconds(forecast.issued), timeUtc);
  if (taf.status == MetarStatus::Rejected) return text + ": not decoded";
  if (taf.nil) return text + ": NIL, no forecast";
  if (taf.cancelled) return text + ": cancelled";
  text += ", valid " + periodText(utcSeconds(taf.validFrom), utcSeconds(taf.validTo), timeUtc);
  if (taf.amended) text += " (amended)";
  for (const TafGroup& group : taf.groups) {
    // Base and FM forecasts state every condition; the others only what changes.
    const bool whole = group.kind == TafGroupKind::Base || group.kind == TafGroupKind::From;
    text += "\n" + groupKindText(group) + " ";
    if (whole) {
      const ShownTime t = shownTime(utcSeconds(group.from), timeUtc);
      text += formatText("%d/%d %02d:%02d ", t.month, t.day, t.hour, t.minute) + t.zone;
    } else {
      text += periodText(utcSeconds(group.from), utcSeconds(group.to), timeUtc);
    }
    if (const FlightCategory category = group.flightCategory(); category != FlightCategory::Unknown)
      text += std::string("  ") + flightCategoryText(category);
    const std::string stated = conditionsText(group.conditions, whole, units);
    if (!stated.empty()) text += ": " + stated;
    else if (group.noSignificantChange) text += ": no significant change";
  }
  return text;
}

StationChartModel::StationChartModel(const Station& station, const Settings& settings, ObservationSource& source,
                                     UserPort& port, ChartOwner* chartOwner, TafSource* forecastSource)
    : chart(std::make_unique<Chart>(chartOwner)),
      m_station(station),
      settings(settings),
      source(source),
      port(port),
      forecastSource(forecastSource) {}

void StationChartModel::requestForecast() {
  if (forecastSource == nullptr || forecastTicket) return;
  forecastTicket = forecastSource->request(m_station, [this](TafReading reading) {
    forecastTicket.reset();
    if (reading.cancelled) return;
    // A failure leaves the observations and the last forecast alone.
    if (reading.ok) {
      forecastAnsweredAt = forecastSource->now();
      m_forecast = std::move(reading.forecast);
      // Kept for how the forecasts fared, also when the store is off.
      if (m_forecast) addForecasts({IssuedForecast{utcSeconds(m_forecast->issued), m_forecast->report}});
      showForecast();
    }
    // The current TAF covers the last hours: the past ones are looked for now.
    askPastForecasts();
  });
}

void StationChartModel::askPastForecasts() {
  if (!loaded || forecastSource == nullptr || !source.isLive() || offlineSince || staleSince) return;
  // The service's answer for the reports says whether it is there at all.
  if (pending || forecastTicket || pastForecastTicket || pastForecastsFailed ||
      pastForecastRequests >= kMostPastForecastRequests)
    return;
  // Most stations issue no TAF: one with none stored and none now is not asked.
  if (forecasts.empty()) return;
  const std::int64_t oldest = static_cast<std::int64_t>(port.currentTime()) - kPastForecastSeconds;
  for (const VerifiedHour& hour : m_verification.hours) {
    // An hour without reports cannot be judged: no TAF is asked for it. An
    // hour asked before stays as its answer left it.
    if (hour.start < oldest || !hour.allowed.empty() || hour.observed == FlightCategory::Unknown) continue;
    if (forecastSource->wasAsked(m_station.icao, hour.start)) continue;
    ++pastForecastRequests;
    pastForecastTicket = forecastSource->requestValidAt(m_station, hour.start, [this](PastTafReading reading) {
      pastForecastTicket.reset();
      if (reading.cancelled) return;
      // Nothing shown changes; the next opening tries the hours after it.
      if (!reading.ok) {
        pastForecastsFailed = true;
        return;
      }
      std::vector<IssuedForecast> more;
      for (TafForecast& f : reading.forecasts) more.push_back({utcSeconds(f.issued), std::move(f.report)});
      if (addForecasts(std::move(more))) {
        if (!chart->series.empty())
          chart->setDetailLines(static_cast<int>(chart->series.size()) - 1, linesWithForecast(currentObservation));
        if (onChartChanged) onChartChanged();
      }
      askPastForecasts();
    });
    return;
  }
}

void StationChartModel::placeForecast() {
  chart->setNow(chartWallClock(port.currentTime(), settings.timeUtc));  // a "now" line with or without a forecast
  if (!m_forecast) {
    chart->setForecast(std::nullopt);
    return;
  }
  // The strip goes on the chart's own time axis, in the chart's zone.
  ChartForecast strip = forecastStrip(*m_forecast);
  strip.from = chartWallClock(strip.from, settings.timeUtc);
  strip.to = chartWallClock(strip.to, settings.timeUtc);
  for (ForecastHour& hour : strip.hours) hour.time = chartWallClock(hour.time, settings.timeUtc);
  strip.now = chartWallClock(port.currentTime(), settings.timeUtc);
  strip.hoursAhead = std::clamp(settings.forecastHours, 0, kMostForecastHours);
  chart->setForecast(std::move(strip));
}

void StationChartModel::showForecast() {
  placeForecast();
  if (loaded && !chart->series.empty())
    chart->setDetailLines(static_cast<int>(chart->series.size()) - 1, linesWithForecast(currentObservation));
  if (onChartChanged) onChartChanged();
}

TextLines StationChartModel::linesWithForecast(const Observation& observation) const {
  TextLines lines = detailLines(observation, unitsChosen(settings) ? &settings.units : nullptr, settings.timeUtc);
  // Before the report as sent and the TAF's long line, which the legend cuts
  // when they do not fit.
  if (showsPanel())
    if (std::string summary = verificationSummary(m_verification); !summary.empty()) {
      const auto raw = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.starts_with("METAR: "); });
      lines.insert(raw, std::move(summary));
    }
  if (m_forecast) lines.push_back(forecastLine(*m_forecast, settings.timeUtc));
  return lines;
}

void StationChartModel::load(std::function<void(LoadOutcome)> finished) {
  // The forecast comes beside the reports; it never holds up the opening.
  requestForecast();
  port.beginWaitCursor();
  waitingForLoad = true;
  auto opened = [this](LoadOutcome outcome, const std::function<void(LoadOutcome)>& finished) {
    pending.reset();
    waitingForLoad = false;
    port.endWaitCursor();
    if (finished) finished(std::move(outcome));
  };
  // From the service alone; when it cannot be reached, from what the store
  // had, marked offline.
  auto fromService = [this, opened](PageReading stored, std::function<void(LoadOutcome)> finished) {
    pending = source.requestPastHours(
        m_station, settings.pastHours,
        [this, opened, stored = std::move(stored), finished = std::move(finished)](PageReading reading) mutable {
          if (!reading.ok() && reading.offline() && stored.ok()) {
            reading.observations.clear();
            LoadOutcome outcome = loadFinished(std::move(stored));
            markOffline(reading);
            opened(std::move(outcome), finished);
            return;
          }
          LoadOutcome outcome = loadFinished(std::move(reading));
          pending.reset();
          askPastForecasts();
          opened(std::move(outcome), finished);
        });
  };
  pending = source.requestStored(
      m_station, settings.pastHours,
      [this, opened, fromService, finished](PageReading stored) mutable {
        addForecasts(std::move(stored.forecasts));
        // A single stored report would set the refresh period from nothing:
        // the service's hours come first then.
        if (!stored.ok() || stored.observations.size() < 2) {
          fromService(std::move(stored), std::move(finished));
          return;
        }
        LoadOutcome outcome = loadFinished(std::move(stored));
        pending.reset();
        // The chart opens at once; the service fills in what it lacks.
        pending = source.requestLacking(m_station, settings.pastHours, [this](PageReading reading) {
          pending.reset();
          addFromService(std::move(reading));
        });
        waitingForLoad = false;
        port.endWaitCursor();
        if (finished) finished(std::move(outcome));
      });
  if (!pending) fromService(PageReading{}, std::move(finished));
}

std::string StationChartModel::shownSourceName() const {
  return offlineSince ? source.storedName() : source.name();
}

void StationChartModel::setOffline(std::optional<std::int64_t> since) {
  offlineSince = since;
  if (loaded || !chart->series.empty()) chart->setTitle(stationChartHeading(m_station, shownSourceName()));
}

void StationChartModel::markOffline(const PageReading& why) {
  setOffline(newestTime());
  if (onStateChanged) onStateChanged();
  port.setStatusText(m_station.name + ": " + describedReading(why) + " Showing the stored reports up to " +
                     (offlineSince ? timeText(*offlineSince) : std::string()) + ".");
}

std::string StationChartModel::describedReading(const PageReading& reading) const {
  return describe ? describe(reading) : std::string();
}

void StationChartModel::addFromService(PageReading reading) {
  if (reading.cancelled()) return;
  if (!reading.ok() && reading.offline()) {
    markOffline(reading);
    return;
  }
  if (const std::string note = describedReading(reading); !note.empty())
    port.setStatusText(m_station.name + ": " + note);
  if (!reading.ok()) {
    // Nothing newer than the store's: the service is there all the same.
    if (reading.outcome == ReadOutcome::kNoData) askPastForecasts();
    return;
  }
  const bool wasOffline = offlineSince.has_value();
  setOffline(std::nullopt);
  addReports(std::move(reading.observations));
  if (wasOffline && onStateChanged) onStateChanged();
  askPastForecasts();
}

void StationChartModel::addReports(ObservationList reports) {
  // Every report newer than the newest shown goes on the end, oldest
  // first; older ones the chart lacked (hours the store did not have) make
  // it drawn again whole. A report already shown is not doubled.
  const std::int64_t newestShown = observations.empty() ? INT64_MIN : observations.front().observedAt;
  std::unordered_set<std::int64_t> shown;
  for (const Observation& o : observations) shown.insert(o.observedAt);
  ObservationList fresh;
  bool older = false;
  for (Observation& o : reports) {
    if (o.observedAt > newestShown) {
      fresh.push_back(std::move(o));
    } else if (shown.insert(o.observedAt).second) {
      older = true;
      observations.push_back(std::move(o));
    }
  }
  std::sort(fresh.begin(), fresh.end(), [](const Observation& a, const Observation& b) {
    return a.observedAt < b.observedAt;
  });
  fresh.erase(std::unique(fresh.begin(), fresh.end(),
                          [](const Observation& a, const Observation& b) { return a.observedAt == b.observedAt; }),
              fresh.end());
  if (older) {
    for (Observation& o : fresh) observations.push_back(std::move(o));
    std::sort(observations.begin(), observations.end(), [](const Observation& a, const Observation& b) {
      return a.observedAt > b.observedAt;
    });
    observations.erase(std::unique(observations.begin(), observations.end(),
                                   [](const Observation& a, const Observation& b) { return a.observedAt == b.observedAt; }),
                       observations.end());
    currentObservation = observations.front();
    chartAllReports();
    if (onChartChanged) onChartChanged();
    return;
  }
  if (fresh.empty()) return;
  // The owner hears once, when the panel and the details are current too.
  const auto changed = std::exchange(onChartChanged, nullptr);
  for (const Observation& o : fresh) {
    observations.insert(observations.begin(), o);
    currentObservation = o;
    addObservationToChart(o);
    // The dial reads metres per second: its needle is the same length in every unit.
    dialDirection = o.windDirection;
    dialSpeed = o.windSpeed;
  }
  onChartChanged = changed;
  verify();
  feedPanel();
  if (!chart->series.empty())
    chart->setDetailLines(static_cast<int>(chart->series.size()) - 1, linesWithForecast(currentObservation));
  if (onChartChanged) onChartChanged();
}

LoadOutcome StationChartModel::loadFinished(PageReading reading) {
  LoadOutcome outcome;
  if (!reading.ok()) {
    outcome.reading = std::move(reading);
    return outcome;
  }
  outcome.ok = true;
  observations = std::move(reading.observations);
  outcome.reading = std::move(reading);
  outcome.reading.observations.clear();
  if (observations.size() == 1) {
    outcome.singleRecord = true;
    m_refreshMinutes = 30;
    m_utcDeltaHours = 0;
  } else {
    computePeriodAndDelta();
  }
  currentObservation = observations.front();
  chartAllReports();
  loaded = true;
  return outcome;
}

bool StationChartModel::showsPanel() const {
  // Only METAR reports carry what the panel shows.
  return settings.showAviationPanel && !observations.empty() && !observations.front().rawReport.empty();
}

bool StationChartModel::addForecasts(std::vector<IssuedForecast> more) {
  bool added = false;
  for (IssuedForecast& f : more) {
    if (std::any_of(forecasts.begin(), forecasts.end(), [&](const IssuedForecast& g) { return g.issuedAt == f.issuedAt; }))
      continue;
    forecasts.push_back(std::move(f));
    added = true;
  }
  if (!added || !loaded) return added;
  verify();
  feedPanel();
  return true;
}

void StationChartModel::verify() {
  if (observations.empty()) {
    m_verification = {};
    return;
  }
  m_verification = verifyForecasts(forecasts, observations, observations.back().observedAt,
                                   static_cast<std::int64_t>(port.currentTime()));
}

void StationChartModel::feedPanel() {
  const DisplayUnits units = shownUnits(settings);
  panel.visibilityUnit = units.visibility;
  // A station's usual spacing and a half: one report missed shows as a gap.
  panel.holdSeconds = std::max<std::int64_t>(AviationPanel::kDefaultHoldSeconds, m_refreshMinutes * 90LL);
  panel.gustPen.reset();
  if (settings.showAviationPanel)
    for (const ChartSeries& s : chart->series)
      if (s.valueColumn == kWindSpeedColumn) panel.gustPen = s.pen;
  panel.reports.clear();
  panel.reports.reserve(observations.size());
  for (auto it = observations.rbegin(); it != observations.rend(); ++it) {
    const Observation& o = *it;
    PanelReport report;
    report.time = chartWallClock(o.observedAt, settings.timeUtc);
    report.category = o.category;
    if (o.hasCeiling()) report.ceilingFt = o.ceilingFt;
    else if (o.ceilingKnown) report.ceilingFt = std::numeric_limits<double>::infinity();
    report.visibilityM = o.visibility;
    report.windSpeed = speedIn(o.windSpeed / kMetresPerSecondPerKnot, units.speed);
    report.gust = speedIn(o.windGust / kMetresPerSecondPerKnot, units.speed);
    for (const WeatherGroup& group : o.weather.view()) {
      if (group.recent) continue;
      if (!report.weather.empty()) report.weather += ' ';
      report.weather += weatherCode(group);
    }
    panel.reports.push_back(std::move(report));
  }
  panel.hours.clear();
  panelHourSources.clear();
  for (std::size_t i = 0; i < m_verification.hours.size(); ++i) {
    const VerifiedHour& hour = m_verification.hours[i];
    if (hour.verdict == ForecastVerdict::kNone) continue;
    panelHourSources.push_back(i);
    const HourVerdict verdict = hour.verdict == ForecastVerdict::kRight    ? HourVerdict::kRight
                                : hour.verdict == ForecastVerdict::kOneOff ? HourVerdict::kOneOff
                                                                           : HourVerdict::kWorse;
    panel.hours.push_back(PanelHour{chartWallClock(hour.start, settings.timeUtc),
                                    chartWallClock(hour.start + 3600, settings.timeUtc), verdict});
  }
}

std::string StationChartModel::panelTip(int x, int y) const {
  if (!showsPanel()) return {};
  if (const int index = panel.hourAt(x, y); index >= 0 && static_cast<std::size_t>(index) < panelHourSources.size()) {
    const VerifiedHour& hour = m_verification.hours[panelHourSources[static_cast<std::size_t>(index)]];
    std::string text = timeText(hour.start) + "  forecast " + flightCategoryText(hour.forecast);
    std::string others;
    for (const FlightCategory c : hour.allowed)
      if (c != hour.forecast) others += (others.empty() ? "" : ", ") + std::string(flightCategoryText(c));
    if (!others.empty()) text += " (or " + others + ")";
    return text + ", observed " + flightCategoryText(hour.observed) + ": " + forecastVerdictText(hour.verdict);
  }
  const int index = panel.reportAt(x, y);
  if (index < 0 || static_cast<std::size_t>(index) >= observations.size()) return {};
  // The panel's reports are oldest first.
  const Observation& o = observations[observations.size() - 1 - static_cast<std::size_t>(index)];
  return timeText(o.observedAt) + "  " + flightCategoryText(o.category) + "\n" + o.rawReport;
}

void StationChartModel::cancel() {
  pending.reset();
  forecastTicket.reset();
  pastForecastTicket.reset();
  if (waitingForLoad) {
    waitingForLoad = false;
    port.endWaitCursor();
  }
}

StationChartModel::~StationChartModel() { cancel(); }

int medianGapMinutes(const ObservationList& observations) {
  std::vector<std::int64_t> gaps;
  for (std::size_t i = 1; i < observations.size(); ++i) {
    const std::int64_t gap = (observations[i - 1].observedAt - observations[i].observedAt) / 60;
    if (gap > 0) gaps.push_back(gap);
  }
  if (gaps.empty()) return 0;
  // The upper middle of an even count: the longer period asks the service less.
  std::nth_element(gaps.begin(), gaps.begin() + static_cast<std::ptrdiff_t>(gaps.size() / 2), gaps.end());
  return static_cast<int>(std::min<std::int64_t>(gaps[gaps.size() / 2], 24 * 60));
}

int StationChartModel::computePeriodAndDelta() {
  const std::int64_t t0 = observations.at(0).observedAt;
  const std::int64_t t1 = observations.at(1).observedAt;
  std::int64_t minutes = 0;
  if (!observations.front().rawReport.empty()) {
    // METAR stations add a SPECI a minute after a routine report now and
    // then: their usual spacing, not the last gap, sets the period.
    minutes = medianGapMinutes(observations);
  } else {
    const std::int64_t diff = t0 - t1;
    minutes = diff / 60 - (diff / 86400) * 1440;
  }
  if (minutes <= 0) {
    // Two reports at the same time of day, or a page not newest first: a
    // timer of zero or negative length makes no sense, so refresh every
    // half hour, as with a single report.
    m_refreshMinutes = 30;
    m_utcDeltaHours = 0;
    return m_refreshMinutes;
  }
  m_refreshMinutes = static_cast<int>(minutes);
  // The computer's own offset from UTC at the newest report; the reports'
  // age has no part in it.
  const std::int64_t utc = observations.front().observedAt;
  m_utcDeltaHours = static_cast<int>((chartWallClock(utc, false) - utc) / 3600);
  return m_refreshMinutes;
}

void StationChartModel::chartAllReports() {
  drawn = drawnWith();
  verify();
  // Rows come one by one here: the owner hears once, from the caller.
  const auto changed = std::exchange(onChartChanged, nullptr);
  setupStationChart(*chart, m_station, settings, m_refreshMinutes, shownSourceName());
  for (auto it = observations.rbegin(); it != observations.rend(); ++it)
    addObservationToChart(*it);
  onChartChanged = changed;
  feedPanel();
  dialDirection = currentObservation.windDirection;
  dialSpeed = currentObservation.windSpeed;
}

StationChartModel::DrawnWith StationChartModel::drawnWith() const {
  return DrawnWith{settings.timeUtc, settings.metricStyle, settings.units, settings.showAviationPanel};
}

bool StationChartModel::followSettings() {
  if (!loaded || drawnWith() == drawn) return false;
  chartAllReports();
  if (onStateChanged && (staleSince || offlineSince)) onStateChanged();
  if (onChartChanged) onChartChanged();
  return true;
}

void StationChartModel::addObservationToChart(const Observation& observation) {
  const std::int64_t utc = observation.observedAt;
  // Each value is converted once, here, for its row; the detail lines word
  // the report's own values.
  const DisplayUnits units = shownUnits(settings);
  const double pressure = units.pressure == PressureUnit::kInchOfMercury
                              ? pressureIn(observation.pressure, units.pressure)
                              : observation.pressure - 1000.0;  // the chart's "hps-1000" scale
  addObservationRow(*chart, chartWallClock(utc, settings.timeUtc), temperatureIn(observation.temperature, units.temperature),
                    pressure, speedIn(observation.windSpeed / kMetresPerSecondPerKnot, units.speed),
                    observation.windDirection);
  // A new row moves "now" on; the forecast follows.
  if (m_forecast) placeForecast();
  if (chart->series.empty()) return;
  // The axis names its zone as at the newest report.
  chart->series.front().title = timeAxisTitle(m_refreshMinutes, zoneName(utc, settings.timeUtc));
  chart->setDetailLines(static_cast<int>(chart->series.size()) - 1, linesWithForecast(observation));
  if (onChartChanged) onChartChanged();
}

int StationChartModel::catchUpHours() const {
  if (observations.empty() || !source.catchesUpAfterGaps()) return 0;
  const std::int64_t newest = observations.front().observedAt;
  const std::int64_t age = static_cast<std::int64_t>(port.currentTime()) - newest;
  if (!staleSince && age <= static_cast<std::int64_t>(m_refreshMinutes) * 60) return 0;
  // Every hour since the newest report, within the fifteen days a service
  // keeps.
  return static_cast<int>(std::clamp<std::int64_t>((age + 3599) / 3600, 1, kLongestCatchUpHours));
}

void StationChartModel::refresh() {
  // A tick while the last one is still under way waits for it.
  if (!loaded) return;
  if (forecastSource != nullptr &&
      (!forecastAnsweredAt || forecastSource->now() - *forecastAnsweredAt > kForecastAgeSeconds))
    requestForecast();
  if (pending) return;
  auto added = [this](PageReading reading) {
    pending.reset();
    if (reading.cancelled()) return;
    if (!reading.ok()) {
      // Nothing loaded is lost; the chart says how old its newest report is.
      staleSince = newestTime();
      reading.observations.clear();
      m_refreshProblem = std::move(reading);
      if (onStateChanged) onStateChanged();
      return;
    }
    const bool wasStale = staleSince || offlineSince;
    staleSince.reset();
    m_refreshProblem.reset();
    if (offlineSince) setOffline(std::nullopt);
    addReports(std::move(reading.observations));
    if (wasStale && onStateChanged) onStateChanged();
    askPastForecasts();
  };
  const int hours = catchUpHours();
  pending = hours > 0 ? source.requestPastHours(m_station, hours, std::move(added))
                      : source.requestNewest(m_station, false, std::move(added));
}

std::optional<std::int64_t> StationChartModel::newestTime() const {
  if (observations.empty()) return std::nullopt;
  return observations.front().observedAt;
}

std::string StationChartModel::timeText(std::int64_t utcSeconds) const {
  return clockText(utcSeconds, settings.timeUtc);
}

std::string StationChartModel::staleNote() const {
  return staleSince ? m_station.name + ": no new report since " + timeText(*staleSince) + "." : std::string();
}

void StationChartModel::chartDrawn() {
  const bool beyond = chart->valuesBeyondScale();
  if (beyond && !toldBeyondScale)
    port.setStatusText(m_station.name + ": some values lie beyond the chart's scale; Autoscale (Parameters) shows them.");
  toldBeyondScale = beyond;
}

std::string StationChartModel::title() const {
  if (offlineSince) return m_station.name + " (offline, newest report " + timeText(*offlineSince) + ")";
  if (!staleSince) return m_station.name;
  return m_station.name + " (no new report since " + timeText(*staleSince) + ")";
}

void StationChartModel::close(const std::filesystem::path& currentFolder) {
  cancel();
  if (!loaded) return;
  loaded = false;
  if (!settings.writeMeteodata) return;
  // The file keeps the day: the store may hold more of it than the chart
  // showed (a chart of a few hours, or opened late in the day).
  const std::time_t now = port.currentTime();
  ObservationList rows = observations;
  std::unordered_set<std::int64_t> shown;
  for (const Observation& o : rows) shown.insert(o.observedAt);
  bool added = false;
  for (Observation& o : source.storedSince(m_station, startOfDay(now, false)))
    if (shown.insert(o.observedAt).second) {
      rows.push_back(std::move(o));
      added = true;
    }
  if (added)
    std::sort(rows.begin(), rows.end(), [](const Observation& a, const Observation& b) { return a.observedAt > b.observedAt; });
  writeMeteodataFile(port, currentFolder, m_station.name, rows, now);
}

int StationChartModel::refreshIntervalMs() const {
  const std::int64_t ms = static_cast<std::int64_t>(m_refreshMinutes) * 60000;
  const std::int64_t shortest = static_cast<std::int64_t>(std::max(1, source.minimumRefreshMinutes())) * 60000;
  return static_cast<int>(std::clamp<std::int64_t>(ms, shortest, 24LL * 60 * 60000));
}

}  // namespace nimbrel
