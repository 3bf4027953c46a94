#include "watch/WatchRows.h"

#include <algorithm>
#include <limits>

#include "charts/StationCardText.h"
#include "charts/WeatherLayer.h"
#include "metar/MetarDecoder.h"
#include "metar/TafDecoder.h"
#include "observations/MetarCache.h"
#include "reportstore/ReportStore.h"

namespace nimbrel {

namespace {

std::string afterPrefix(std::string text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0 ? text.substr(prefix.size()) : text;
}

}  // namespace

WatchTrend watchTrend(const StationWeather& previous, const StationWeather& current) {
  const int before = categorySeverity(previous.category), now = categorySeverity(current.category);
  if (before == 0 || now == 0) return WatchTrend::kNone;
  return now < before ? WatchTrend::kBetter : now > before ? WatchTrend::kWorse : WatchTrend::kSteady;
}

const char* watchTrendText(WatchTrend trend) {
  switch (trend) {
    case WatchTrend::kBetter: return "better";
    case WatchTrend::kSteady: return "steady";
    case WatchTrend::kWorse: return "worse";
    case WatchTrend::kNone: break;
  }
  return "";
}

std::string minimaVerdictText(const WatchRow& row) {
  std::string text;
  for (const std::string& limit : row.belowMinima) text += (text.empty() ? "" : "; ") + limit;
  return text;
}

WatchRow watchRow(const WatchInput& input, const MinimaSet& minima, std::int64_t nowMinutes,
                  const DisplayUnits& units, bool timeUtc) {
  WatchRow row;
  row.icao = input.station.icao;
  row.name = input.station.name;
  if (input.taf) row.nextChange = afterPrefix(nextChangeText(*input.taf, nowMinutes, timeUtc), "Next change: ");
  if (!input.current) {
    row.categoryText = "no report";
    return row;
  }
  const StationWeather& weather = *input.current;
  row.category = weather.category;
  row.categoryText = categoryName(weather.category);
  row.ageMinutes = std::max<std::int64_t>(0, nowMinutes - weather.observedMinutes);
  row.age = reportAgeText(nowMinutes - weather.observedMinutes);
  // The map's wording of each value, without its "Wind: " label.
  row.wind = weather.windSpeedKt ? afterPrefix(windLine(weather, units), "Wind: ") : "";
  row.visibility = weather.visibilityM ? afterPrefix(visibilityLine(weather, units), "Visibility: ") : "";
  row.ceiling = afterPrefix(ceilingLine(weather, units), "Ceiling: ");
  const auto degrees = [&](const std::optional<double>& celsius) {
    return celsius ? temperatureText(*celsius, units.temperature) : std::string("-");
  };
  if (weather.temperatureC || weather.dewPointC) row.temperature = degrees(weather.temperatureC) + " / " + degrees(weather.dewPointC);
  if (input.previous) row.trend = watchTrend(*input.previous, weather);
  row.belowMinima = belowMinima(weather, minima.forStation(row.icao));
  row.rawReport = weather.rawReport;
  row.windKt = weather.windSpeedKt;
  row.gustKt = weather.windGustKt;
  row.visibilityM = weather.visibilityM;
  row.temperatureC = weather.temperatureC;
  row.ceilingFt = weather.ceilingFt;
  return row;
}

WatchInput storedWatchInput(const ReportStore& store, const Station& station, std::int64_t nowSeconds) {
  WatchInput input;
  input.station = station;
  const std::optional<std::int64_t> newest = store.newestTime(station.icao);
  if (newest && *newest <= nowSeconds + 3600) {
    // The report before the newest is within a day of it, or there is no trend to give.
    const std::vector<StoredMetar> reports = store.metars(station.icao, *newest - 24 * 3600, *newest);
    const auto decoded = [](const StoredMetar& stored) {
      const MetarReport report = decodeMetar(stored.raw, UtcDateTime::fromEpochMinutes(stored.observedAt / 60));
      return weatherOf(report, stored.raw, 0);
    };
    if (!reports.empty()) input.current = decoded(reports.back());
    if (reports.size() >= 2) input.previous = decoded(reports[reports.size() - 2]);
  }
  if (const std::optional<StoredForecast> forecast = store.newestForecast(station.icao)) {
    TafReport taf = decodeTaf(forecast->raw, UtcDateTime::fromEpochMinutes(forecast->issuedAt / 60));
    if (taf.status != MetarStatus::Rejected) input.taf = std::move(taf);
  }
  return input;
}

std::vector<WatchInput> watchInputs(const std::vector<std::string>& watched, const WeatherSnapshot& snapshot,
                                    const StationList& catalogue, const std::vector<WatchInput>& stored) {
  std::vector<WatchInput> inputs(watched.size());
  // One pass over the catalogue, the watched codes looked up sorted: a
  // world list of thousands against a few dozen codes.
  std::vector<std::pair<std::string_view, std::size_t>> wanted;
  for (std::size_t i = 0; i < watched.size(); ++i) {
    inputs[i].station.icao = watched[i];
    wanted.emplace_back(watched[i], i);
  }
  std::sort(wanted.begin(), wanted.end());
  for (std::size_t index = 0; index < catalogue.size(); ++index) {
    const auto found = std::lower_bound(wanted.begin(), wanted.end(), std::pair<std::string_view, std::size_t>(catalogue[index].icao, 0));
    for (auto it = found; it != wanted.end() && it->first == catalogue[index].icao; ++it) {
      WatchInput& input = inputs[it->second];
      if (input.current) continue;  // a code listed twice: the entry with weather
      input.station = catalogue[index];
      if (const StationWeather* weather = snapshot.forStation(index)) input.current = *weather;
    }
  }
  for (WatchInput& input : inputs) {
    const auto known = std::find_if(stored.begin(), stored.end(),
                                    [&](const WatchInput& s) { return s.station.icao == input.station.icao; });
    if (known == stored.end()) continue;
    input.taf = known->taf;
    if (input.station.name.empty()) input.station.name = known->station.name;
    if (!known->current) continue;
    if (!input.current || input.current->observedMinutes < known->current->observedMinutes) {
      // The store is newer than the download (a chart brought a report since).
      input.current = known->current;
      input.previous = known->previous;
    } else if (input.current->observedMinutes == known->current->observedMinutes) {
      input.previous = known->previous;
    } else {
      input.previous = known->current;
    }
  }
  return inputs;
}

}  // namespace nimbrel
