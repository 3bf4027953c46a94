#include "observations/MetarObservation.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "observations/ApiJson.h"

#include "base/Text.h"
#include "base/Units.h"
#include "metar/CloudLayer.h"
#include "metar/MetarDecoder.h"
#include "metar/WeatherGroup.h"
#include "observations/ReportDateTime.h"

namespace nimbrel {
namespace {



long fahrenheit(double celsius) { return std::lround(celsius * 1.8 + 32.0); }

const char* compassPoint(int degrees) {
  static const char* const kPoints[] = {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
                                        "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"};
  return kPoints[((degrees % 360 + 360) % 360 * 100 + 1125) / 2250 % 16];
}

// "6 MPH (5 knots; 2.6 m/s)"
std::string speedText(double knots) {
  return formatText("%ld MPH (%ld knots; %.1f m/s)", std::lround(knots * kMilesPerHourPerKnot), std::lround(knots),
                knots * kMetresPerSecondPerKnot);
}

std::string windsText(const Wind& wind) {
  if (!wind.speedKt) return {};
  if (wind.isCalm()) return "calm";
  std::string text = wind.directionDeg ? formatText("from the %s (%d degrees) at ", compassPoint(*wind.directionDeg),
                                                *wind.directionDeg)
                                       : std::string("variable at ");
  text += speedText(*wind.speedKt);
  if (wind.gustKt) text += " gusting to " + speedText(*wind.gustKt);
  return text;
}

std::string visibilityText(const Visibility& visibility) {
  if (!visibility.prevailingM) return {};
  const double metres = *visibility.prevailingM;
  const double miles = metres / kMetresPerMile;
  // "9999", CAVOK and "P6SM" say only that it is at least that far.
  if (visibility.moreThan || metres >= 10000.0)
    return formatText("%ld or more miles (%ld+ km)", std::lround(std::floor(miles)), std::lround(std::floor(metres / 1000)));
  const std::string prefix = visibility.lessThan ? "less than " : "";
  if (visibility.inStatuteMiles) return prefix + formatText("%g miles (%.1f km)", std::round(miles * 100) / 100, metres / 1000);
  return prefix + formatText("%.1f miles (%g km)", miles, metres / 1000);
}

std::string cloudsText(std::span<const CloudLayer> layers) {
  std::string text;
  for (const CloudLayer& layer : layers) {
    if (!text.empty()) text += "; ";
    text += cloudText(layer);
    if (layer.baseFt) text += " AGL";
  }
  return text;
}

}  // namespace

Observation toObservation(const MetarReport& report, std::string_view rawReport) {
  Observation o;
  const Conditions& now = report.current;
  if (report.temperatureC) o.temperature = *report.temperatureC;
  if (report.dewPointC) o.dewpoint = *report.dewPointC;
  if (const auto humidity = report.relativeHumidity()) o.humidity = *humidity;
  if (report.pressureHpa) {
    o.pressure = *report.pressureHpa - 1000.0;
    o.pressureInches = *report.pressureHpa / kHectopascalsPerInch;
  }
  if (now.wind.speedKt) o.windSpeed = *now.wind.speedKt * kMetresPerSecondPerKnot;
  if (now.wind.directionDeg) o.windDirection = *now.wind.directionDeg;
  if (now.visibility.prevailingM) o.visibility = *now.visibility.prevailingM / 1000.0;

  const UtcDateTime& t = report.time;
  o.conditionsText = formatText("%s %d/%d/%04d UTC, observed %02d:%02d UTC", report.station.c_str(), t.month, t.day,
                            t.year, t.hour, t.minute);
  // "\xB0" is the degree sign of the program's Windows-1252 texts.
  if (report.temperatureC)
    o.temperatureText = formatText("%.1f\xB0" "C (%ld\xB0" "F)", *report.temperatureC, fahrenheit(*report.temperatureC));
  if (report.dewPointC) {
    o.dewpointText = formatText("%.1f\xB0" "C (%ld\xB0" "F)", *report.dewPointC, fahrenheit(*report.dewPointC));
    if (const auto humidity = report.relativeHumidity()) o.dewpointText += formatText(" [RH = %ld%%]", std::lround(*humidity));
  }
  if (report.pressureHpa)
    o.pressureText = formatText("%.2f inches Hg (%.1f mb)", *report.pressureHpa / kHectopascalsPerInch, *report.pressureHpa);
  o.windsText = windsText(now.wind);
  o.visibilityText = visibilityText(now.visibility);
  if (const auto ceiling = report.ceilingFt()) o.ceilingText = formatText("at %d feet AGL", *ceiling);
  o.cloudsText = cloudsText(now.clouds.view());
  o.weatherText = weatherText(now.weather.view());
  o.reportText = std::string(rawReport);
  o.rawReport = std::string(rawReport);
  if (report.flightCategory() != FlightCategory::Unknown) o.categoryText = flightCategoryText(report.flightCategory());

  std::int64_t seconds = 0;
  if (convertReportTime(t, seconds)) o.observedAt = seconds;
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
