#include "observations/ObservationText.h"

#include <cmath>

#include "base/ClockText.h"
#include "base/Text.h"
#include "base/Units.h"

namespace nimbrel {
namespace {

long fahrenheit(double celsius) { return std::lround(celsius * 1.8 + 32.0); }

double knots(double metresPerSecond) { return metresPerSecond / kMetresPerSecondPerKnot; }

const char* compassPoint(long degrees) {
  static const char* const kPoints[] = {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
                                        "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"};
  return kPoints[((degrees % 360 + 360) % 360 * 100 + 1125) / 2250 % 16];
}

// "6 MPH (5 knots; 2.6 m/s)": the METAR source's wording of a speed.
std::string sourceSpeedText(double metresPerSecond) {
  const double kt = knots(metresPerSecond);
  return formatText("%ld MPH (%ld knots; %.1f m/s)", std::lround(kt * kMilesPerHourPerKnot), std::lround(kt),
                    metresPerSecond);
}

std::string sourceWindText(const Observation& o) {
  switch (o.wind) {
    case WindState::kMissing: return {};
    case WindState::kCalm: return "calm";
    case WindState::kVariable:
    case WindState::kFrom: break;
  }
  const long degrees = std::lround(o.windDirection);
  std::string text = o.wind == WindState::kFrom
                         ? formatText("from the %s (%ld degrees) at ", compassPoint(degrees), degrees)
                         : std::string("variable at ");
  text += sourceSpeedText(o.windSpeed);
  if (std::isfinite(o.windGust)) text += " gusting to " + sourceSpeedText(o.windGust);
  return text;
}

std::string sourceVisibilityText(const Observation& o) {
  if (!std::isfinite(o.visibility)) return {};
  const double metres = o.visibility;
  const double miles = metres / kMetresPerMile;
  // The source words anything from 10 km on as "or more", as its pages do.
  if (o.visibilityBound == VisibilityBound::kOrMore || metres >= 10000.0)
    return formatText("%ld or more miles (%ld+ km)", std::lround(std::floor(miles)),
                      std::lround(std::floor(metres / 1000)));
  const std::string prefix = o.visibilityBound == VisibilityBound::kLessThan ? "less than " : "";
  if (o.visibilityInMiles)
    return prefix + formatText("%g miles (%.1f km)", std::round(miles * 100) / 100, metres / 1000);
  return prefix + formatText("%.1f miles (%g km)", miles, metres / 1000);
}

// "broken clouds at 2500 feet AGL; ..." with the heights in `unit` (null:
// in feet, as the decoder words them).
std::string cloudsText(const Observation& o, const HeightUnit* unit) {
  std::string text;
  for (const CloudLayer& layer : o.clouds.view()) {
    std::string part = cloudText(layer);
    if (layer.baseFt) {
      if (unit != nullptr) {
        const std::string feet = std::to_string(*layer.baseFt) + " feet";
        if (const auto at = part.find(feet); at != std::string::npos)
          part.replace(at, feet.size(), heightText(*layer.baseFt, *unit));
      }
      part += " AGL";
    }
    text += (text.empty() ? "" : "; ") + part;
  }
  // CAVOK says there is no cloud of note.
  if (text.empty() && o.cavok) return "CAVOK";
  return text;
}

std::string ceilingText(const Observation& o, const HeightUnit* unit) {
  if (o.hasCeiling())
    return "at " + (unit != nullptr ? heightText(o.ceilingFt, *unit) : formatText("%d feet", o.ceilingFt)) + " AGL";
  return o.ceilingKnown ? "none" : std::string();
}

// No weather group is no weather to speak of only where the sky is stated
// (CAVOK or a clear sky); otherwise the report just left it out.
std::string presentText(const Observation& o) {
  if (!o.weather.empty()) return weatherText(o.weather.view());
  if (o.cavok) return "CAVOK";
  for (const CloudLayer& layer : o.clouds.view())
    if (!layer.baseFt && layer.cover >= CloudCover::SkyClear) return "none";
  return {};
}

std::string temperatureWithFahrenheit(double celsius) {
  // "\xB0" is the degree sign of the program's Windows-1252 texts.
  return formatText("%.1f\xB0" "C (%ld\xB0" "F)", celsius, fahrenheit(celsius));
}

std::string humidityText(const Observation& o) {
  return std::isfinite(o.humidity) ? formatText(" [RH = %ld%%]", std::lround(o.humidity)) : std::string();
}

template <typename Words>
std::string ifGiven(double value, Words words) {
  return std::isfinite(value) ? words(value) : std::string();
}

using Lines = std::vector<std::string>;

// A METAR in the wording its source has always had.
Lines metarLines(const Observation& o) {
  const std::string temperature = ifGiven(o.temperature, temperatureWithFahrenheit);
  std::string dewpoint = ifGiven(o.dewpoint, temperatureWithFahrenheit);
  if (!dewpoint.empty()) dewpoint += humidityText(o);
  const std::string pressure = ifGiven(o.pressure, [](double hpa) {
    return formatText("%.2f inches Hg (%.1f mb)", hpa / kHectopascalsPerInch, hpa);
  });
  return {"DATE: ",
          "TEMP: " + temperature,
          "DEWPOINT: " + dewpoint,
          "PRESSURE: " + pressure,
          "WINDS: " + sourceWindText(o),
          "VISIBILITY: " + sourceVisibilityText(o),
          "CEILING: " + ceilingText(o, nullptr),
          "CLOUDS: " + cloudsText(o, nullptr),
          "PRESENT: " + presentText(o)};
}

// A report page's own cells.
Lines pageLines(const Observation& o) {
  const SourceTexts& s = o.source;
  return {"DATE: ",
          "TEMP: " + s.temperatureText,   "DEWPOINT: " + s.dewpointText, "PRESSURE: " + s.pressureText,
          "WINDS: " + s.windsText,        "VISIBILITY: " + s.visibilityText, "CEILING: " + s.ceilingText,
          "CLOUDS: " + s.cloudsText,      "PRESENT: " + s.weatherText};
}

Lines linesIn(const Observation& o, const DisplayUnits& units) {
  auto temperature = [&](double c) { return temperatureText(c, units.temperature); };
  std::string dewpoint = ifGiven(o.dewpoint, temperature);
  if (!dewpoint.empty()) dewpoint += humidityText(o);
  const std::string visibility =
      o.cavok ? std::string("CAVOK") : ifGiven(o.visibility, [&](double metres) {
        return visibilityText(metres, o.visibilityBound, units.visibility);
      });
  const bool page = o.rawReport.empty();
  return {"DATE: ",
          "TEMP: " + ifGiven(o.temperature, temperature),
          "DEWPOINT: " + dewpoint,
          "PRESSURE: " + ifGiven(o.pressure, [&](double hpa) { return pressureText(hpa, units.pressure); }),
          "WINDS: " + windText(o.wind, o.windDirection, knots(o.windSpeed), knots(o.windGust), units.speed),
          "VISIBILITY: " + visibility,
          // A page words its sky only in its own words.
          "CEILING: " + (page ? o.source.ceilingText : ceilingText(o, &units.height)),
          "CLOUDS: " + (page ? o.source.cloudsText : cloudsText(o, &units.height)),
          "PRESENT: " + (page ? o.source.weatherText : presentText(o))};
}

}  // namespace

std::string reportDateText(const Observation& o, bool timeUtc) {
  if (!o.rawReport.empty()) {
    const ShownTime t = shownTime(o.observedAt, timeUtc);
    return o.station + formatText(" %d/%d/%04d ", t.month, t.day, t.year) + t.zone + ", observed " +
           formatText("%02d:%02d ", t.hour, t.minute) + t.zone;
  }
  const std::string& text = o.source.conditionsText;
  if (timeUtc || !text.ends_with(" UTC") || text.find(" UTC, observed ") == std::string::npos) return text;
  // The station's code and the blanks after it stay as the source wrote them.
  const std::size_t date = text.find_first_not_of(' ', text.find(' '));
  const ShownTime t = shownTime(o.observedAt, false);
  return text.substr(0, date) + formatText("%d/%d/%04d ", t.month, t.day, t.year) + t.zone + ", observed " +
         formatText("%02d:%02d ", t.hour, t.minute) + t.zone;
}

std::vector<std::string> detailLines(const Observation& o, const DisplayUnits* units, bool timeUtc) {
  Lines lines = units != nullptr ? linesIn(o, *units) : o.rawReport.empty() ? pageLines(o) : metarLines(o);
  lines.front() += reportDateText(o, timeUtc);
  // A METAR also shows its flight category and the report as sent.
  if (!o.rawReport.empty()) {
    lines.push_back("CATEGORY: " +
                    std::string(o.category == FlightCategory::Unknown ? "" : flightCategoryText(o.category)));
    lines.push_back("METAR: " + o.rawReport);
  }
  return lines;
}

}  // namespace nimbrel
