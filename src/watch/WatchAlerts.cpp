#include "watch/WatchAlerts.h"

#include <algorithm>

#include "charts/WeatherLayer.h"

namespace nimbrel {

std::vector<WatchAlert> WatchAlerts::feedReport(const std::string& icao, const StationWeather& weather) {
  Seen& state = seen[icao];
  // A report of the same time may be a correction: weighed like a new one.
  if (state.reported && weather.observedMinutes < state.observedMinutes) return {};
  const std::vector<std::string> broken = belowMinima(weather, minima.forStation(icao));
  const bool below = !broken.empty();
  WatchAlert alert;
  alert.station = icao;
  alert.report = weather.rawReport;
  if (state.reported) {
    // An unknown category (a report without ceiling or visibility) is no change to tell.
    if (weather.category != state.category && weather.category != FlightCategory::Unknown &&
        state.category != FlightCategory::Unknown) {
      alert.categoryChanged = true;
      alert.what = std::string(categoryName(state.category)) + " to " + categoryName(weather.category);
    }
    if (below != state.below) {
      alert.minimaChanged = true;
      std::string limits;
      for (const std::string& limit : broken) limits += (limits.empty() ? "" : ", ") + limit;
      alert.what += (alert.what.empty() ? "" : "; ") + (below ? "below minima: " + limits : std::string("back above minima"));
    }
  }
  state.reported = true;
  state.observedMinutes = weather.observedMinutes;
  if (weather.category != FlightCategory::Unknown) state.category = weather.category;
  state.below = below;
  if (quiet || alert.what.empty()) return {};
  return {alert};
}

std::vector<WatchAlert> WatchAlerts::feedSnapshot(const WeatherSnapshot& snapshot, const StationList& catalogue,
                                                  const std::vector<std::string>& watched) {
  std::vector<WatchAlert> alerts;
  std::vector<std::string_view> codes(watched.begin(), watched.end());
  std::sort(codes.begin(), codes.end());
  for (const StationWeather& weather : snapshot.stations) {
    if (weather.station >= catalogue.size()) continue;
    const std::string& icao = catalogue[weather.station].icao;
    if (!std::binary_search(codes.begin(), codes.end(), std::string_view(icao))) continue;
    for (WatchAlert& alert : feedReport(icao, weather)) alerts.push_back(std::move(alert));
  }
  return alerts;
}

std::vector<WatchAlert> WatchAlerts::feedForecast(const std::string& icao, const TafReport& taf, std::string_view raw) {
  if (!taf.issued) return {};
  Seen& state = seen[icao];
  const std::int64_t issued = taf.issued->epochMinutes();
  const bool first = !state.forecastSeen;
  if (!first && issued <= state.issuedMinutes) return {};
  state.forecastSeen = true;
  state.issuedMinutes = issued;
  if (first || quiet || !taf.amended) return {};
  WatchAlert alert;
  alert.station = icao;
  alert.what = "TAF amended";
  alert.report = std::string(raw);
  alert.tafAmended = true;
  return {alert};
}

void WatchAlerts::forget(const std::string& icao) { seen.erase(icao); }

}  // namespace nimbrel
