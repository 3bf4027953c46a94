// Any bytes as a station list: reading must not crash, must append exactly
// one record per line of station length, each the same as reading that line
// alone, with trimmed texts that fit their columns and finite numbers.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "catalog/StationListReader.h"

namespace {


bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The station lines of text, split the plain way.
std::vector<std::string_view> stationLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    if (line.size() == 83 || line.size() == 84) lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

void checkRecord(const nimbrel::Station& record) {
  const std::pair<const std::string*, std::size_t> texts[] = {
      {&record.cd, 2},    {&record.name, 17},   {&record.icao, 4},    {&record.iata, 3},
      {&record.synop, 5}, {&record.latText, 6}, {&record.lonText, 7}, {&record.elevText, 4},
      {&record.country, 2}};
  for (const auto& [text, width] : texts) {
    if (text->size() > width) __builtin_trap();
    if (!text->empty() && (isBlank(text->front()) || isBlank(text->back()))) __builtin_trap();
  }
  // A one-letter column is its letter or a blank, never a control byte.
  for (const char flag : {record.metarFlag, record.nexradFlag, record.aviationFlag, record.upperAirFlag,
                          record.autoFlag, record.officeFlag, record.plotPriority})
    if (flag != ' ' && isBlank(flag)) __builtin_trap();
  if (record.name.find_first_of("/\\") != std::string::npos) __builtin_trap();
  if (!std::isfinite(record.mapColatitude) || !std::isfinite(record.mapLongitude) || !std::isfinite(record.elevation))
    __builtin_trap();
  // A drawn station lies on the globe.
  if (record.hasPosition && (record.mapLongitude < 0 || record.mapLongitude > 360 || record.mapColatitude < 0 ||
                             record.mapColatitude > 180))
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  // Records already in the array stay as they were.
  nimbrel::StationList stations;
  nimbrel::Station first;
  first.name = "KEPT";
  stations.push_back(first);
  const int count = nimbrel::parseStationList(text, stations);

  const std::vector<std::string_view> lines = stationLines(text);
  if (count != static_cast<int>(lines.size()) || stations.size() != static_cast<std::size_t>(count) + 1) __builtin_trap();
  if (!(stations.at(0) == first)) __builtin_trap();
  for (int i = 0; i < count; ++i) {
    const nimbrel::Station& record = stations.at(static_cast<std::size_t>(i) + 1);
    checkRecord(record);
    nimbrel::Station alone;
    nimbrel::parseStationLine(lines[static_cast<std::size_t>(i)], alone);
    if (!(alone == record)) __builtin_trap();
  }

  // A line of any length, short ones included, reads without harm.
  nimbrel::Station any;
  nimbrel::parseStationLine(text, any);
  checkRecord(any);
  return 0;
}
