#include "views/StationSort.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace nimbrel {

const StationColumn kStationColumns[kStationColumnCount] = {
    {"STATION", 120, ColumnAlignment::kLeft}, {"LAT", 70, ColumnAlignment::kCentre},
    {"LON", 70, ColumnAlignment::kCentre},    {"ELEV", 50, ColumnAlignment::kCentre},
    {"CY", 30, ColumnAlignment::kCentre},     {"CD", 30, ColumnAlignment::kCentre},
    {"ICAO", 50, ColumnAlignment::kCentre},   {"IATA", 50, ColumnAlignment::kCentre},
};

int sortColumn = 0;
bool sortDescending = false;

const std::string& StationCellText(const CStation& station, int column) {
  switch (column) {
    case 0: return station.name();
    case 1: return station.latText();
    case 2: return station.lonText();
    case 3: return station.elevText();
    case 4: return station.cy();
    case 5: return station.cd();
    case 6: return station.icao();
    default: return station.iata();
  }
}

int LeadingInteger(const std::string& text) {
  errno = 0;
  const long value = std::strtol(text.c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

namespace {

// Sorting 100,000 rows compares strings some two million times; a key holding
// the first eight bytes settles nearly every comparison without touching the
// stations, and only ties on it go to the full texts.
struct SortKey {
  std::uint64_t prefix;
  const std::string* text;  // null for the numeric column
  int row;
};

std::uint64_t BytePrefix(const std::string& text) {
  std::uint64_t prefix = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    const unsigned byte = i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
    prefix = (prefix << 8) | byte;
  }
  return prefix;
}

// Maps a signed number onto an unsigned key of the same order.
std::uint64_t NumberKey(int value) {
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(value) ^ 0x80000000u);
}

}  // namespace

void SortStationRows(std::vector<int>& rows, const CStationArray& stations, int column, bool descending) {
  std::vector<SortKey> keys;
  keys.reserve(rows.size());
  const bool numeric = column == kElevationColumn;
  for (int row : rows) {
    const std::string& text = StationCellText(stations.GetAt(row), column);
    if (numeric) {
      keys.push_back({NumberKey(LeadingInteger(text)), nullptr, row});
    } else {
      keys.push_back({BytePrefix(text), &text, row});
    }
  }
  // std::string compares through char_traits<char>::compare, which orders
  // bytes as unsigned values, the order the table needs.
  auto less = [](const SortKey& a, const SortKey& b) {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    if (a.text == nullptr) return false;
    return a.text->compare(*b.text) < 0;
  };
  if (descending) {
    std::stable_sort(keys.begin(), keys.end(), [&](const SortKey& a, const SortKey& b) { return less(b, a); });
  } else {
    std::stable_sort(keys.begin(), keys.end(), less);
  }
  for (std::size_t i = 0; i < keys.size(); ++i) rows[i] = keys[i].row;
}

std::string FormatLineStatus(int row, int rowCount) {
  char text[48];
  std::snprintf(text, sizeof text, " Line: %6d / %6d", row + 1, rowCount);
  return text;
}

}  // namespace nimbrel
