#pragma once
// A grid over the map's pixels that finds the station nearest a pointer
// without looking at every station: only the cells the search circle touches.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "catalog/MapProjection.h"
#include "catalog/Station.h"

namespace nimbrel {

class StationPixelIndex {
 public:
  static constexpr int kCellSize = 8;

  // Every station that has a position.
  void build(const StationList& stations);
  // Only the stations of these indices (those that have a position).
  void build(const StationList& stations, std::span<const std::size_t> indices);

  // The index of the station whose pixel is nearest (x, y) within `radius`
  // pixels (Euclidean, the edge included), or -1. Ties go to the lower index.
  int nearest(int x, int y, int radius = 4) const;

  std::size_t size() const { return entries.size(); }

 private:
  struct Entry {
    int x = 0;
    int y = 0;
    int station = 0;
  };

  void add(const Station& station, std::size_t index, std::vector<std::pair<int, Entry>>& cellEntries) const;
  void finish(std::vector<std::pair<int, Entry>>& cellEntries);
  int column(std::int64_t x) const;
  int row(std::int64_t y) const;

  // The grid covers the map's active rectangle; stations off it fall into
  // the border cells, which stays exact as distances are measured on the
  // stations' own pixels.
  static constexpr int kOriginX = MapProjection::kLeft;
  static constexpr int kOriginY = MapProjection::kTop;
  static constexpr int kColumns = (MapProjection::kRight - MapProjection::kLeft) / kCellSize + 1;
  static constexpr int kRows = (MapProjection::kBottom - MapProjection::kTop) / kCellSize + 1;

  std::vector<std::uint32_t> cellStart;  // kColumns * kRows + 1 offsets into entries
  std::vector<Entry> entries;            // grouped by cell
};

}  // namespace nimbrel
