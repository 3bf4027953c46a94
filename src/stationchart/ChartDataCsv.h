#pragma once
// A chart's reports as CSV for spreadsheets and scripts: RFC 4180 (CR LF
// line ends, a field with a comma, quote or line break quoted, quotes
// doubled), UTF-8, times in ISO 8601 UTC whatever zone the program shows,
// one column per quantity with its unit in the header, the report as sent
// last. The Meteodata export is another file and stays as it is.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/AsyncPageFetcher.h"
#include "base/Settings.h"
#include "catalog/Station.h"
#include "observations/Observation.h"
#include "observations/ObservationSource.h"

namespace nimbrel {

// "Time (UTC),Station,Temperature (°C),...,Report" in `units`.
std::string chartDataHeader(const DisplayUnits& units);
// Appends `field` to `line`, quoted when it must be.
void appendCsvField(std::string& line, std::string_view field);
// The header and one row a report, oldest first whatever the list's order;
// a value a report lacks is an empty field. Values in the units the chart
// shows them in (shownUnits); times in UTC whatever the settings' zone.
std::string chartDataCsv(const ObservationList& observations, const Settings& settings);

// How writing the file ended; message says why it failed.
struct CsvWriteResult {
  bool ok = false;
  std::string message;
};

// Writes the CSV to `path` through a temporary file renamed over it: on a
// failure no part of it is left and a file there before stays whole.
CsvWriteResult writeChartDataCsv(const std::filesystem::path& path, const ObservationList& observations,
                                 const Settings& settings);

// Every report the source's store keeps of the station, with those shown
// (a report once), newest first: read and decoded off the caller's thread
// and handed to `done` later on it. Null when the source keeps no store.
std::unique_ptr<FetchTicket> requestWholeHistory(ObservationSource& source, const Station& station,
                                                 ObservationList shown, std::function<void(ObservationList)> done);

}  // namespace nimbrel
