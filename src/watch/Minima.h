#pragma once
// A user's personal minima: the lowest ceiling and visibility and the
// strongest wind, gust and crosswind they fly in. One global set and
// overrides for single stations; an override gives only the limits it
// changes, the rest come from the global set.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "catalog/StationWeather.h"

namespace nimbrel {

struct Minima {
  std::optional<int> ceilingFt;
  std::optional<int> visibilityM;
  std::optional<int> windKt;       // the mean wind
  std::optional<int> gustKt;
  std::optional<int> runwayDeg;    // heading of the runway the crosswind is on, 1..360
  std::optional<int> crosswindKt;  // needs a runway

  bool operator==(const Minima&) const = default;
};

struct MinimaSet {
  Minima global;
  std::vector<std::pair<std::string, Minima>> stations;  // ICAO, override; in the order given

  // The global set with the station's override laid over it.
  Minima forStation(std::string_view icao) const;
  bool operator==(const MinimaSet&) const = default;
};

struct MinimaReading {
  MinimaSet minima;
  std::string error;  // "line 3: ..." ; empty when the whole text was read
};

// One line a station ("*" for the global set), limits as name=value:
//   * ceiling=1000 visibility=5000 wind=25 gust=35
//   EGLL ceiling=500 runway=270 crosswind=20
// Blank lines and "#" comments are passed over. The first bad line stops
// the reading with its number and why.
MinimaReading readMinima(std::string_view text);
// The same form, one line a set ('\n' ended), read back whole by readMinima.
std::string minimaText(const MinimaSet& minima);

// The wind's component across a runway: the whole speed for a variable
// wind, none without a wind.
std::optional<double> crosswindKt(const StationWeather& weather, int runwayDeg);

// The limits a report breaks, one text each ("ceiling 400 ft < 500",
// "visibility 1500 m < 5000", "wind 30 kt > 25", "gust 40 kt > 35",
// "crosswind 12.5 kt > 10"); a value the report does not give breaks none.
std::vector<std::string> belowMinima(const StationWeather& weather, const Minima& minima);

}  // namespace nimbrel
