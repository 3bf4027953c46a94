#include "map/StationPixelIndex.h"

#include <algorithm>

namespace nimbrel {

int StationPixelIndex::column(std::int64_t x) const {
  const std::int64_t c = (x - gridLeft) >= 0 ? (x - gridLeft) / kCellSize : -1;
  return static_cast<int>(std::clamp<std::int64_t>(c, 0, columns - 1));
}

int StationPixelIndex::row(std::int64_t y) const {
  const std::int64_t r = (y - gridTop) >= 0 ? (y - gridTop) / kCellSize : -1;
  return static_cast<int>(std::clamp<std::int64_t>(r, 0, rows - 1));
}

void StationPixelIndex::cover(const MapViewport& view) {
  if (view.showsPicture()) {
    gridLeft = MapProjection::kLeft;
    gridTop = MapProjection::kTop;
    columns = (MapProjection::kRight - MapProjection::kLeft) / kCellSize + 1;
    rows = (MapProjection::kBottom - MapProjection::kTop) / kCellSize + 1;
  } else {
    gridLeft = 0;
    gridTop = 0;
    columns = view.width() / kCellSize + 1;
    rows = view.height() / kCellSize + 1;
  }
}

void StationPixelIndex::add(const Station& station, std::size_t index, const MapViewport& view,
                            std::vector<std::pair<int, Entry>>& cellEntries) const {
  if (!station.hasPosition) return;
  // Every copy of the world the pointer can reach holds the station.
  const int first = view.firstCopy(kCopyMargin), last = view.lastCopy(kCopyMargin);
  for (int k = first; k <= last; ++k) {
    const Pixel p = view.copy(k).pixelOnFirstCopy(station.mapLongitude, station.mapColatitude);
    if (k != 0 && (p.x < -kCopyMargin || p.x >= view.width() + kCopyMargin)) continue;
    cellEntries.push_back({row(p.y) * columns + column(p.x), Entry{p.x, p.y, static_cast<int>(index)}});
  }
}

void StationPixelIndex::finish(std::vector<std::pair<int, Entry>>& cellEntries) {
  // A counting sort by cell keeps each cell's stations in index order.
  cellStart.assign(static_cast<std::size_t>(columns) * rows + 1, 0);
  for (const auto& [cell, entry] : cellEntries) ++cellStart[static_cast<std::size_t>(cell) + 1];
  for (std::size_t i = 1; i < cellStart.size(); ++i) cellStart[i] += cellStart[i - 1];
  entries.assign(cellEntries.size(), Entry{});
  std::vector<std::uint32_t> next(cellStart.begin(), cellStart.end() - 1);
  for (const auto& [cell, entry] : cellEntries) entries[next[static_cast<std::size_t>(cell)]++] = entry;
}

void StationPixelIndex::build(const StationList& stations) {
  const MapViewport view;
  cover(view);
  std::vector<std::pair<int, Entry>> cellEntries;
  cellEntries.reserve(stations.size());
  for (std::size_t i = 0; i < stations.size(); ++i) add(stations[i], i, view, cellEntries);
  finish(cellEntries);
}

void StationPixelIndex::build(const StationList& stations, std::span<const std::size_t> indices,
                              const MapViewport& view) {
  cover(view);
  std::vector<std::pair<int, Entry>> cellEntries;
  cellEntries.reserve(indices.size());
  for (const std::size_t i : indices)
    if (i < stations.size()) add(stations[i], i, view, cellEntries);
  finish(cellEntries);
}

int StationPixelIndex::nearest(int x, int y, int radius) const {
  if (entries.empty() || radius < 0) return -1;
  const std::int64_t r = radius;
  const int firstColumn = column(x - r), lastColumn = column(x + r);
  const int firstRow = row(y - r), lastRow = row(y + r);
  std::int64_t best = r * r;
  int found = -1;
  for (int cy = firstRow; cy <= lastRow; ++cy) {
    for (int cx = firstColumn; cx <= lastColumn; ++cx) {
      const std::size_t cell = static_cast<std::size_t>(cy) * columns + static_cast<std::size_t>(cx);
      for (std::uint32_t i = cellStart[cell]; i < cellStart[cell + 1]; ++i) {
        const Entry& e = entries[i];
        const std::int64_t dx = std::int64_t{e.x} - x, dy = std::int64_t{e.y} - y;
        if (dx > r || dx < -r || dy > r || dy < -r) continue;  // also keeps the squares from overflowing
        const std::int64_t d = dx * dx + dy * dy;
        if (d < best || (d == best && (found < 0 || e.station < found))) {
          best = d;
          found = e.station;
        }
      }
    }
  }
  return found;
}

}  // namespace nimbrel
