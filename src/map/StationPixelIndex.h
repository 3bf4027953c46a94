#pragma once
// A grid over the map's pixels that finds the station nearest a pointer
// without looking at every station: only the cells the search circle touches.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "map/MapProjection.h"
#include "catalog/Station.h"

namespace nimbrel {

class StationPixelIndex {
 public:
  static constexpr int kCellSize = 8;
  // How far beside the window a copy of a station is still kept: the widest
  // search radius asked for.
  static constexpr int kCopyMargin = 32;

  // Every station that has a position.
  void build(const StationList& stations);
  // Only the stations of these indices (those that have a position), at
  // their pixels in a view (the picture's by default), on every copy of a
  // world that wraps.
  void build(const StationList& stations, std::span<const std::size_t> indices,
             const MapViewport& view = MapViewport());

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

  void cover(const MapViewport& view);
  void add(const Station& station, std::size_t index, const MapViewport& view,
           std::vector<std::pair<int, Entry>>& cellEntries) const;
  void finish(std::vector<std::pair<int, Entry>>& cellEntries);
  int column(std::int64_t x) const;
  int row(std::int64_t y) const;

  // The grid covers the map's active rectangle (the view when zoomed);
  // stations off it fall into the border cells, which stays exact as
  // distances are measured on the stations' own pixels.
  int gridLeft = MapProjection::kLeft;
  int gridTop = MapProjection::kTop;
  int columns = 1;
  int rows = 1;

  std::vector<std::uint32_t> cellStart;  // columns * rows + 1 offsets into entries
  std::vector<Entry> entries;            // grouped by cell
};

}  // namespace nimbrel
