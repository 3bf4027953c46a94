#pragma once
// When to tell the user about a watched station: its flight category
// changed, it went below its minima or back above them, or its TAF was
// amended. Fed each new snapshot and forecast; gives plain alerts, and the
// caller decides how to show them.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/Station.h"
#include "catalog/StationWeather.h"
#include "metar/TafReport.h"
#include "watch/Minima.h"

namespace nimbrel {

struct WatchAlert {
  std::string station;
  // "MVFR to IFR", "below minima: ceiling 400 ft < 500", "back above
  // minima", "TAF amended"; several joined by "; " when one report brings them.
  std::string what;
  std::string report;  // the report (or TAF) as sent
  bool categoryChanged = false;
  bool minimaChanged = false;
  bool tafAmended = false;
};

class WatchAlerts {
 public:
  explicit WatchAlerts(MinimaSet minima = {}) : minima(std::move(minima)) {}

  // Quiet: the state still follows the reports, but nothing is told, and
  // nothing is owed when it ends.
  void setQuiet(bool on) { quiet = on; }
  bool isQuiet() const { return quiet; }
  void setMinima(MinimaSet set) { minima = std::move(set); }

  // A station's report. The first one seen of a station is where it starts
  // from (no alert); one older than the last seen is passed over; one
  // alert at most per report.
  std::vector<WatchAlert> feedReport(const std::string& icao, const StationWeather& weather);
  // The watched stations' reports in a world snapshot (catalogue indices).
  std::vector<WatchAlert> feedSnapshot(const WeatherSnapshot& snapshot, const StationList& catalogue,
                                       const std::vector<std::string>& watched);
  // A station's forecast: an amended one issued after the last seen gives
  // an alert; the first seen is where it starts from.
  std::vector<WatchAlert> feedForecast(const std::string& icao, const TafReport& taf, std::string_view raw);
  // Forget a station that is no longer watched.
  void forget(const std::string& icao);

 private:
  struct Seen {
    bool reported = false;
    std::int64_t observedMinutes = 0;
    FlightCategory category = FlightCategory::Unknown;
    bool below = false;
    bool forecastSeen = false;
    std::int64_t issuedMinutes = 0;
  };

  MinimaSet minima;
  bool quiet = false;
  std::map<std::string, Seen, std::less<>> seen;
};

}  // namespace nimbrel
