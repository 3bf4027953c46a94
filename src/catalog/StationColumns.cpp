#include "catalog/StationColumns.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace nimbrel {

const TableColumn kStationColumns[kStationColumnCount] = {
    {"STATION", 120, ColumnAlignment::kLeft}, {"LAT", 70, ColumnAlignment::kCentre},
    {"LON", 70, ColumnAlignment::kCentre},    {"ELEV", 50, ColumnAlignment::kCentre},
    {"CY", 30, ColumnAlignment::kCentre},     {"CD", 30, ColumnAlignment::kCentre},
    {"ICAO", 50, ColumnAlignment::kCentre},   {"IATA", 50, ColumnAlignment::kCentre},
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

void sortStationRows(std::vector<int>& rows, const StationList& stations, int column, bool descending) {
  auto text = [&](int row) -> const std::string& { return stationCellText(stations.at(static_cast<std::size_t>(row)), column); };
  // std::string compares bytes as unsigned values, the order the table needs.
  auto less = [&](int a, int b) {
    if (column == kElevationColumn) return leadingInteger(text(a)) < leadingInteger(text(b));
    return text(a).compare(text(b)) < 0;
  };
  if (descending) {
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return less(b, a); });
  } else {
    std::stable_sort(rows.begin(), rows.end(), less);
  }
}

std::string formatLineStatus(int row, int rowCount) {
  char text[48];
  std::snprintf(text, sizeof text, " Line: %6d / %6d", row + 1, rowCount);
  return text;
}

}  // namespace nimbrel
