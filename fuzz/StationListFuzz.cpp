// Any bytes as a station list: reading must not crash, must append exactly
// one record per line of station length, each the same as reading that line
// alone, with trimmed texts that fit their columns and finite numbers.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "catalog/StationListReader.h"

namespace {

constexpr std::size_t kWidths[16] = {2, 17, 4, 3, 5, 6, 7, 4, 1, 1, 1, 1, 1, 1, 1, 2};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The station lines of text, split the plain way.
std::vector<std::string_view> StationLines(std::string_view text) {
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

void CheckRecord(const nimbrel::Station& record) {
  for (std::size_t i = 0; i < 16; ++i) {
    const std::string& text = record.texts[i];
    if (text.size() > kWidths[i]) __builtin_trap();
    if (!text.empty() && (IsBlank(text.front()) || IsBlank(text.back()))) __builtin_trap();
  }
  if (record.name().find_first_of("/\\") != std::string::npos) __builtin_trap();
  if (!std::isfinite(record.mapColatitude()) || !std::isfinite(record.mapLongitude()) ||
      !std::isfinite(record.elevation()))
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  // Records already in the array stay as they were.
  nimbrel::StationList stations;
  nimbrel::Station first;
  first.name() = "KEPT";
  stations.add(first);
  const int count = nimbrel::parseStationList(text, stations);

  const std::vector<std::string_view> lines = StationLines(text);
  if (count != static_cast<int>(lines.size()) || stations.getSize() != count + 1) __builtin_trap();
  if (!(stations.getAt(0) == first)) __builtin_trap();
  for (int i = 0; i < count; ++i) {
    const nimbrel::Station& record = stations.getAt(i + 1);
    CheckRecord(record);
    nimbrel::Station alone;
    nimbrel::parseStationLine(lines[static_cast<std::size_t>(i)], alone);
    if (!(alone == record)) __builtin_trap();
  }

  // A line of any length, short ones included, reads without harm.
  nimbrel::Station any;
  nimbrel::parseStationLine(text, any);
  CheckRecord(any);
  return 0;
}
