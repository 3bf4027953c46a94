#include "observations/MetarObservation.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "observations/ApiJson.h"

#include "base/Text.h"
#include "base/Units.h"
#include "metar/CloudLayer.h"
#include "metar/MetarDecoder.h"
#include "metar/WeatherGroup.h"
#include "observations/ReportDateTime.h"

namespace nimbrel {
Observation toObservation(const MetarReport& report, std::string_view rawReport) {
  Observation o;
  const Conditions& now = report.current;
  o.observedAt = report.time.epochMinutes() * 60;
  o.station = report.station;
  if (report.temperatureC) o.temperature = *report.temperatureC;
  if (report.dewPointC) o.dewpoint = *report.dewPointC;
  if (const auto humidity = report.relativeHumidity()) o.humidity = *humidity;
  if (report.pressureHpa) o.pressure = *report.pressureHpa;
  const Wind& wind = now.wind;
  if (wind.speedKt) {
    o.windSpeed = *wind.speedKt * kMetresPerSecondPerKnot;
    o.wind = wind.isCalm() ? WindState::kCalm : wind.directionDeg ? WindState::kFrom : WindState::kVariable;
    if (wind.directionDeg && !wind.isCalm()) o.windDirection = *wind.directionDeg;
    if (wind.gustKt) o.windGust = *wind.gustKt * kMetresPerSecondPerKnot;
  }
  if (now.visibility.prevailingM) {
    o.visibility = *now.visibility.prevailingM;
    o.visibilityBound = now.visibility.moreThan   ? VisibilityBound::kOrMore
                        : now.visibility.lessThan ? VisibilityBound::kLessThan
                                                  : VisibilityBound::kExact;
    o.visibilityInMiles = now.visibility.inStatuteMiles;
  }
  o.cavok = now.cavok;
  o.clouds = now.clouds;
  o.weather = now.weather;
  o.ceilingKnown = now.cavok || !now.clouds.empty();
  if (const auto ceiling = report.ceilingFt()) o.ceilingFt = *ceiling;
  o.category = report.flightCategory();
  o.rawReport = std::string(rawReport);
  return o;
}

MetarAnswer readMetarAnswer(std::string_view json, std::int64_t now) {
  MetarAnswer answer;
  const nlohmann::json document = parseApiJson(json);
  if (document.is_discarded() || !document.is_array()) return answer;
  answer.readable = true;
  for (const nlohmann::json& item : document) {
    const auto raw = item.is_object() ? item.find("rawOb") : item.end();
    const auto time = item.is_object() ? item.find("obsTime") : item.end();
    if (!item.is_object() || raw == item.end() || !raw->is_string() || time == item.end() ||
        !time->is_number_integer()) {
      ++answer.skipped;
      continue;
    }
    const std::string& text = raw->get_ref<const std::string&>();
    // A time no report can have (before year 1, after 9999, or more than a
    // day ahead of now) is the server's fault, not a report.
    const std::int64_t obsSeconds = time->get<std::int64_t>();
    const std::optional<UtcDateTime> observed = epochSecondsToUtc(obsSeconds);
    if (!observed || obsSeconds > now + kMostAheadSeconds) {
      ++answer.skipped;
      continue;
    }
    const MetarReport report = decodeMetar(text, *observed);
    // The report's own day and time must be the ones the service says.
    if (report.status == MetarStatus::Rejected || report.nil || report.time != *observed) {
      ++answer.skipped;
      continue;
    }
    answer.observations.push_back(toObservation(report, text));
    answer.reports.push_back(StoredMetar{report.station, report.time.epochMinutes() * 60, text, ReportOrigin::kChart,
                                         report.corrected});
  }
  return answer;
}

}  // namespace nimbrel
