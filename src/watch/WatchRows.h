#pragma once
// One row a watched station, as plain texts and values: built from the
// world download's snapshot (no request per station) on any thread, so the
// window only shows it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/DisplayUnits.h"
#include "catalog/Station.h"
#include "catalog/StationWeather.h"
#include "metar/TafReport.h"
#include "watch/Minima.h"

namespace nimbrel {

class ReportStore;

enum class WatchTrend { kNone, kBetter, kSteady, kWorse };

// What one station's row is made from.
struct WatchInput {
  Station station;                          // the ICAO code at least
  std::optional<StationWeather> current;    // none: no report
  std::optional<StationWeather> previous;   // the report before it, for the trend
  std::optional<TafReport> taf;             // the current forecast
};

struct WatchRow {
  std::string icao;
  std::string name;
  FlightCategory category = FlightCategory::Unknown;
  std::string categoryText;  // "VFR" ... "LIFR", "unknown"; "no report"
  std::int64_t ageMinutes = -1;  // -1: no report
  std::string age;           // "37 min ago"
  std::string wind;          // "240\xB0 at 25 kt gusting to 35 kt", "calm"; "" when not reported
  std::string visibility;
  std::string ceiling;       // "none" without one
  std::string temperature;   // "12\xB0" "C / 5\xB0" "C"
  WatchTrend trend = WatchTrend::kNone;
  std::string nextChange;    // "BECMG 14:00 UTC to 16:00 UTC: MVFR"; "" without a TAF
  std::vector<std::string> belowMinima;  // the limits broken
  std::string rawReport;
  // The values behind the texts, so a table sorts by them and not by words;
  // missing stays missing.
  std::optional<double> windKt, gustKt, visibilityM, temperatureC;
  std::optional<int> ceilingFt;
};

// Better or worse by flight category; steady when it stays the same.
WatchTrend watchTrend(const StationWeather& previous, const StationWeather& current);
// "better", "steady", "worse", "".
const char* watchTrendText(WatchTrend trend);
// "ceiling 400 ft < 500; gust 40 kt > 35", "" when above them all.
std::string minimaVerdictText(const WatchRow& row);

WatchRow watchRow(const WatchInput& input, const MinimaSet& minima, std::int64_t nowMinutes,
                  const DisplayUnits& units, bool timeUtc);

// The last two reports and the newest forecast of a station from the store,
// decoded (a worker's job: this reads the file).
WatchInput storedWatchInput(const ReportStore& store, const Station& station, std::int64_t nowSeconds);

// The watched stations' inputs, in the list's order, from the world
// download's snapshot: each station's report from it, and the report before
// it and the forecast from `stored` (a worker's storedWatchInput of each).
// A station the snapshot lacks keeps its stored report; one neither has is
// a row without a report. Reads no file: the window's thread may call it.
std::vector<WatchInput> watchInputs(const std::vector<std::string>& watched, const WeatherSnapshot& snapshot,
                                    const StationList& catalogue, const std::vector<WatchInput>& stored);

}  // namespace nimbrel
