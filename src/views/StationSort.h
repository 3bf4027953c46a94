#pragma once
// The station tables' columns and their sort: texts compared byte by byte,
// "ELEV" by its leading number. The sort state is shared by every table.
#include <string>
#include <vector>

#include "catalog/Station.h"

namespace nimbrel {

constexpr int kStationColumnCount = 8;
constexpr int kElevationColumn = 3;
constexpr int kIcaoColumn = 6;

enum class ColumnAlignment { kLeft, kCentre };

struct StationColumn {
  const char* header;
  int width;  // pixels
  ColumnAlignment alignment;
};

extern const StationColumn kStationColumns[kStationColumnCount];

// Process-wide: the column compared, and the direction of the next sort.
extern int sortColumn;
extern bool sortDescending;

// The text a station shows in a column, as the catalogue keeps it.
const std::string& StationCellText(const CStation& station, int column);

// The C library's atoi, but without its undefined overflow: out-of-range
// numbers are clamped.
int LeadingInteger(const std::string& text);

// Reorders rows (indices into stations) by one column. Rows with equal keys
// keep their present order.
void SortStationRows(std::vector<int>& rows, const CStationArray& stations, int column, bool descending);

// " Line: %6d / %6d" for a zero-based row.
std::string FormatLineStatus(int row, int rowCount);

}  // namespace nimbrel
