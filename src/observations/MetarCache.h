#pragma once
// The whole world's latest METARs in one download (the service's gzipped
// cache CSV): inflated within a ceiling, read as CSV by its column names,
// every report decoded by our own decoder, the newest of each station kept
// and matched to the catalogue.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "catalog/Station.h"
#include "catalog/StationWeather.h"
#include "metar/MetarReport.h"
#include "metar/UtcDateTime.h"
#include "reportstore/ReportStore.h"

namespace nimbrel {

// The map's compact view of one decoded report of catalogue station
// `station` (the report as sent, without a leading "METAR "/"SPECI ").
StationWeather weatherOf(const MetarReport& report, std::string_view raw, std::size_t station);

// "{base}/data/cache/metars.cache.csv.gz"
std::string metarCacheUrl(const std::string& baseUrl);

inline constexpr std::size_t kDefaultInflateCeiling = std::size_t{64} << 20;

struct Inflated {
  std::string text;
  bool complete = false;  // the whole stream, within the ceiling
  std::string problem;    // why not, for the user
};

// A gzip stream (several members are read one after the other) inflated to
// at most `ceiling` bytes; text that is not gzip is taken as it is, cut at
// the ceiling too. A damaged or cut stream keeps what came before the fault.
Inflated inflateDownload(std::string_view data, std::size_t ceiling = kDefaultInflateCeiling);

struct MetarCacheOptions {
  std::size_t inflateCeiling = kDefaultInflateCeiling;
  // Anchors reports whose row gives no observation_time; empty: now.
  std::optional<UtcDateTime> receivedAt;
  // Gets every decoded report of the download, of any station, as the
  // report store keeps them.
  std::vector<StoredMetar>* reports = nullptr;
};

// Reads the download, gzipped or plain. Lines before the column header
// (the service's "No errors", "N results") are passed over; raw_text is
// required, station_id and observation_time are used when present, other
// columns are ignored. Never throws; bad input keeps what could be read.
WeatherSnapshot readMetarCache(std::string_view download, const StationList& catalogue,
                               const MetarCacheOptions& options = {});

// The weather of stored reports (each station's newest), matched to the
// catalogue and marked offline: what the map shows without the service.
WeatherSnapshot storedWeather(const std::vector<StoredMetar>& reports, const StationList& catalogue);

}  // namespace nimbrel
