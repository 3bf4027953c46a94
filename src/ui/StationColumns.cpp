#include "ui/StationColumns.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <QtGlobal>

namespace nimbrel {

// The headers are translated where the table shows them.
const TableColumn kStationColumns[kStationColumnCount] = {
    {QT_TRANSLATE_NOOP("StationTable", "STATION"), 120, ColumnAlignment::kLeft},
    {QT_TRANSLATE_NOOP("StationTable", "LAT"), 70, ColumnAlignment::kCentre},
    {QT_TRANSLATE_NOOP("StationTable", "LON"), 70, ColumnAlignment::kCentre},
    {QT_TRANSLATE_NOOP("StationTable", "ELEV"), 50, ColumnAlignment::kCentre},
    {QT_TRANSLATE_NOOP("StationTable", "CY"), 30, ColumnAlignment::kCentre},
    {QT_TRANSLATE_NOOP("StationTable", "CD"), 30, ColumnAlignment::kCentre},
    {QT_TRANSLATE_NOOP("StationTable", "ICAO"), 50, ColumnAlignment::kCentre},
    {QT_TRANSLATE_NOOP("StationTable", "IATA"), 50, ColumnAlignment::kCentre},
};

const std::string& stationCellText(const Station& station, int column) {
  switch (column) {
    case 0: return station.name;
    case 1: return station.latText;
    case 2: return station.lonText;
    case 3: return station.elevText;
    case 4: return station.country;
    case 5: return station.cd;
    case 6: return station.icao;
    default: return station.iata;
  }
}

int leadingInteger(const std::string& text) {
  errno = 0;
  const long value = std::strtol(text.c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

namespace {

// A row with its sort key made once: the elevation's leading number, or the
// first eight bytes of its text read big-endian, so that keys compare as the
// bytes do; rows with equal prefixes fall back to their whole texts.
struct KeyedRow {
  std::uint64_t key;
  int row;
};

std::uint64_t textPrefix(const std::string& text) {
  std::uint64_t key = 0;
  for (std::size_t i = 0; i < 8; ++i)
    key = key << 8 | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0U);
  return key;
}

std::uint64_t integerKey(int value) {
  return static_cast<std::uint64_t>(static_cast<std::int64_t>(value) - std::int64_t{INT_MIN});
}

}  // namespace

void sortStationRows(std::vector<int>& rows, const StationList& stations, int column, bool descending) {
  const bool byNumber = column == kElevationColumn;
  auto text = [&](int row) -> const std::string& { return stationCellText(stations.at(static_cast<std::size_t>(row)), column); };
  std::vector<KeyedRow> keyed;
  keyed.reserve(rows.size());
  for (const int row : rows) keyed.push_back({byNumber ? integerKey(leadingInteger(text(row))) : textPrefix(text(row)), row});

  // std::string compares bytes as unsigned values, the order the table needs.
  auto less = [&](const KeyedRow& a, const KeyedRow& b) {
    if (a.key != b.key) return a.key < b.key;
    return !byNumber && text(a.row).compare(text(b.row)) < 0;
  };
  if (descending) {
    std::stable_sort(keyed.begin(), keyed.end(), [&](const KeyedRow& a, const KeyedRow& b) { return less(b, a); });
  } else {
    std::stable_sort(keyed.begin(), keyed.end(), less);
  }
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = keyed[i].row;
}

std::string formatLineStatus(int row, int rowCount) {
  char text[48];
  std::snprintf(text, sizeof text, " Line: %6d / %6d", row + 1, rowCount);
  return text;
}

}  // namespace nimbrel
