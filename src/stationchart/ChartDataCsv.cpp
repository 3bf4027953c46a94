#include "stationchart/ChartDataCsv.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_set>

#include "base/ClockText.h"
#include "base/Text.h"
#include "base/Units.h"
#include "metar/FlightCategory.h"
#include "stationchart/MeteodataFile.h"

namespace nimbrel {
namespace {

// A number to `decimals` places without trailing zeros ("12", "12.5");
// empty when the report lacks it.
std::string number(double value, int decimals) {
  if (!std::isfinite(value)) return {};
  std::string text = formatText("%.*f", decimals, value);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return text == "-0" ? "0" : text;
}

// Longer than any store keeps its reports.
constexpr int kWholeHistoryHours = 20 * 366 * 24;

const char* visibilitySymbol(VisibilityUnit unit) { return unit == VisibilityUnit::kStatuteMile ? "SM" : "m"; }

}  // namespace

std::string chartDataHeader(const DisplayUnits& units) {
  // "\xB0" is the degree sign of the program's Windows-1252 texts.
  const std::string temperature = unitSymbol(units.temperature);
  const std::string speed = unitSymbol(units.speed);
  return "Time (UTC),Station,Temperature (" + temperature + "),Dew point (" + temperature +
         "),Relative humidity (%),Pressure (" + unitSymbol(units.pressure) + "),Wind direction (\xB0),Wind speed (" +
         speed + "),Wind gust (" + speed + "),Visibility (" + visibilitySymbol(units.visibility) + "),Ceiling (" +
         unitSymbol(units.height) + "),Flight category,Present weather,Report";
}

void appendCsvField(std::string& line, std::string_view field) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    line += field;
    return;
  }
  line += '"';
  for (const char c : field) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

std::string chartDataCsv(const ObservationList& observations, const Settings& settings) {
  const DisplayUnits units = shownUnits(settings);
  std::vector<std::size_t> order(observations.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return observations[a].observedAt < observations[b].observedAt;
  });
  std::string text = chartDataHeader(units) + "\r\n";
  text.reserve(observations.size() * 200 + text.size());
  const int pressureDecimals = units.pressure == PressureUnit::kInchOfMercury ? 2 : 1;
  const int visibilityDecimals = units.visibility == VisibilityUnit::kStatuteMile ? 2 : 0;
  auto field = [&text](std::string_view value) {
    appendCsvField(text, value);
    text += ',';
  };
  for (const std::size_t index : order) {
    const Observation& o = observations[index];
    const double knots = o.windSpeed / kMetresPerSecondPerKnot;
    const double gustKnots = o.windGust / kMetresPerSecondPerKnot;
    field(utcText(o.observedAt, "%Y-%m-%dT%H:%M:%SZ"));
    field(o.station);
    field(number(temperatureIn(o.temperature, units.temperature), 1));
    field(number(temperatureIn(o.dewpoint, units.temperature), 1));
    field(number(o.humidity, 0));
    field(number(pressureIn(o.pressure, units.pressure), pressureDecimals));
    field(o.wind == WindState::kFrom ? number(o.windDirection, 0) : std::string());
    field(o.wind == WindState::kMissing ? std::string() : number(speedIn(knots, units.speed), 1));
    field(number(speedIn(gustKnots, units.speed), 1));
    field(number(visibilityIn(o.visibility, units.visibility), visibilityDecimals));
    field(o.hasCeiling() ? number(heightIn(o.ceilingFt, units.height), 0) : std::string());
    field(o.category == FlightCategory::Unknown ? "" : flightCategoryText(o.category));
    field(o.weather.empty() ? std::string() : weatherText(o.weather.view()));
    appendCsvField(text, o.rawReport.empty() ? o.source.reportText : o.rawReport);
    text += "\r\n";
  }
  return windows1252ToUtf8(text);
}

CsvWriteResult writeChartDataCsv(const std::filesystem::path& path, const ObservationList& observations,
                                 const Settings& settings) {
  switch (replaceFile(path, chartDataCsv(observations, settings))) {
    case FileReplacement::kReplaced: return {true, {}};
    case FileReplacement::kCannotOpen:
      return {false, "Can not create a file in \"" + path.parent_path().string() + "\"."};
    case FileReplacement::kCannotWrite: break;
  }
  return {false, "Can not write \"" + path.string() + "\"; nothing was written."};
}

std::unique_ptr<FetchTicket> requestWholeHistory(ObservationSource& source, const Station& station,
                                                 ObservationList shown, std::function<void(ObservationList)> done) {
  return source.requestStored(
      station, kWholeHistoryHours,
      [shown = std::move(shown), done = std::move(done)](PageReading stored) mutable {
        // A report the chart has that the store lacks (the store off for a while) still goes in.
        std::unordered_set<std::int64_t> times;
        for (const Observation& o : stored.observations) times.insert(o.observedAt);
        bool added = false;
        for (Observation& o : shown)
          if (times.insert(o.observedAt).second) {
            stored.observations.push_back(std::move(o));
            added = true;
          }
        if (added)
          std::stable_sort(stored.observations.begin(), stored.observations.end(),
                           [](const Observation& a, const Observation& b) { return a.observedAt > b.observedAt; });
        done(std::move(stored.observations));
      });
}

}  // namespace nimbrel
