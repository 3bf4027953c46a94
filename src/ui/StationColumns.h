#pragma once
// The station tables' columns and their sort: texts compared byte by byte,
// "ELEV" by its leading number.
#include <string>
#include <vector>

#include "catalog/Station.h"

namespace nimbrel {

constexpr int kStationColumnCount = 8;
constexpr int kElevationColumn = 3;
constexpr int kIcaoColumn = 6;

enum class ColumnAlignment { kLeft, kCentre };

struct TableColumn {
  const char* header;
  int width;  // pixels
  ColumnAlignment alignment;
};

extern const TableColumn kStationColumns[kStationColumnCount];

// The sort every station table shares: a header click sorts by its column,
// then reverses the direction for the next sort of any table.
struct TableSortState {
  int column = 0;
  bool descending = false;
};

// The text a station shows in a column.
const std::string& stationCellText(const Station& station, int column);

// The C library's atoi, but without its undefined overflow: out-of-range
// numbers are clamped.
int leadingInteger(const std::string& text);

// Reorders rows (indices into stations) by one column. Rows with equal keys
// keep their present order.
void sortStationRows(std::vector<int>& rows, const StationList& stations, int column, bool descending);

// " Line: %6d / %6d" for a zero-based row.
std::string formatLineStatus(int row, int rowCount);

}  // namespace nimbrel
