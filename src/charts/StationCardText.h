#pragma once
// What a station's card on the world map says: the station, its current
// report in the user's units and zone, and the next change its TAF
// forecasts. The values are worded as the map's tooltip words them.
#include <cstdint>
#include <string>
#include <vector>

#include "base/DisplayUnits.h"
#include "catalog/Station.h"
#include "catalog/StationWeather.h"
#include "metar/TafReport.h"

namespace nimbrel {

struct StationCardText {
  std::string title;     // the name ("" stays the ICAO code)
  std::string codes;     // "HLLB / BEN", "HLLB" without an IATA code
  std::string category;  // "VFR" ... "LIFR", "unknown"; "No current report"
  std::string age;       // "Observed 14:50 UTC, 37 min ago"; "" without a report
  // Wind, visibility, ceiling, temperature and dew point lines.
  std::vector<std::string> values;
  std::string rawReport;
};

// `weather` null: the station has no current report.
StationCardText stationCardText(const Station& station, const StationWeather* weather, std::int64_t nowMinutes,
                                const DisplayUnits& units, bool timeUtc);

// The first change the forecast makes after `nowMinutes`: "Next change: FM
// 18:00 UTC: MVFR", "Next change: TEMPO 15:00 UTC to 18:00 UTC: IFR",
// "PROB30 TEMPO ..."; "No change forecast until 06:00 UTC" when none comes
// before its end; "Forecast ended at 06:00 UTC" after it.
std::string nextChangeText(const TafReport& taf, std::int64_t nowMinutes, bool timeUtc);

}  // namespace nimbrel
