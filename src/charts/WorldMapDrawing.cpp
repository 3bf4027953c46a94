#include "charts/WorldMapDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "map/MapProjection.h"

namespace nimbrel {

void drawMapPicture(Painter& painter) { painter.image(kWorldMapPicture, {0, 0}); }

void drawAllStationPoints(Painter& painter, const StationList& stations) {
  for (const Station& station : stations) {
    if (!station.hasPosition) continue;
    const Pixel p = MapProjection::toPixel(station.mapLongitude, station.mapColatitude);
    painter.pixel({p.x, p.y}, kStationPointColour);
  }
}

void drawOpenStationMarks(Painter& painter, const StationList& openStations) {
  for (const Station& station : openStations) {
    if (!station.hasPosition) continue;
    const Pixel p = MapProjection::toPixel(station.mapLongitude, station.mapColatitude);
    painter.fillRect(Rect::fromSize(p.x - 2, p.y - 2, 4, 4), kOpenStationColour);
  }
}

std::string totalStationsText(const StationList& stations) {
  return "Total stations: " + std::to_string(stations.size());
}

namespace {

// Reads the file's little-endian fields, remembering the first fault.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes(bytes) {}
  bool ok() const { return good; }
  bool atEnd() const { return at == bytes.size(); }
  std::uint32_t u8() {
    if (!need(1)) return 0;
    return static_cast<unsigned char>(bytes[at++]);
  }
  std::uint32_t u32() {
    if (!need(4)) return 0;
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t{static_cast<unsigned char>(bytes[at++])} << (8 * i);
    return v;
  }
  std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
  std::int64_t varint() {
    std::uint64_t z = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      if (!need(1)) return 0;
      const auto byte = static_cast<unsigned char>(bytes[at++]);
      z |= std::uint64_t{byte & 0x7Fu} << shift;
      if ((byte & 0x80u) == 0) return (z & 1u) ? -static_cast<std::int64_t>(z >> 1) - 1 : static_cast<std::int64_t>(z >> 1);
    }
    good = false;
    return 0;
  }
  // A count can be no larger than the bytes left to describe its items.
  bool plausible(std::uint64_t count, std::uint64_t bytesEach) {
    if (count * bytesEach > bytes.size() - at) good = false;
    return good;
  }

 private:
  bool need(std::size_t n) {
    if (!good || bytes.size() - at < n) good = false;
    return good;
  }
  std::string_view bytes;
  std::size_t at = 0;
  bool good = true;
};

constexpr std::int32_t kUnitsPerDegree = 10000;

}  // namespace

bool VectorMap::read(std::string_view bytes, std::string& error) {
  layers.clear();
  if (bytes.substr(0, 4) != "NMV1") {
    error = "not a map data file";
    return false;
  }
  Reader in(bytes.substr(4));
  const std::uint32_t layerCount = in.u32();
  if (!in.plausible(layerCount, 5)) {
    error = "map data cut short";
    return false;
  }
  for (std::uint32_t l = 0; l < layerCount && in.ok(); ++l) {
    VectorLayer layer;
    const std::uint32_t kind = in.u8();
    if (kind > static_cast<std::uint32_t>(MapLayerKind::kDivisionBorder)) {
      error = "unknown map layer " + std::to_string(kind);
      layers.clear();
      return false;
    }
    layer.kind = static_cast<MapLayerKind>(kind);
    const std::uint32_t chunkCount = in.u32();
    if (!in.plausible(chunkCount, 20)) break;
    layer.chunks.reserve(chunkCount);
    for (std::uint32_t c = 0; c < chunkCount && in.ok(); ++c) {
      VectorLayer::Chunk chunk;
      chunk.west = in.i32();
      chunk.south = in.i32();
      chunk.east = in.i32();
      chunk.north = in.i32();
      chunk.firstRing = static_cast<std::uint32_t>(layer.ringStart.size());
      chunk.ringCount = in.u32();
      if (!in.plausible(chunk.ringCount, 4)) break;
      for (std::uint32_t r = 0; r < chunk.ringCount && in.ok(); ++r) {
        layer.ringStart.push_back(static_cast<std::uint32_t>(layer.points.size() / 2));
        const std::uint32_t pointCount = in.u32();
        if (!in.plausible(pointCount, 2)) break;
        std::int64_t x = chunk.west, y = chunk.south;
        for (std::uint32_t p = 0; p < pointCount && in.ok(); ++p) {
          x += in.varint();
          y += in.varint();
          // Every point within its chunk's bounds, or the file is damaged.
          if (x < chunk.west || x > chunk.east || y < chunk.south || y > chunk.north) {
            error = "map data out of its bounds";
            layers.clear();
            return false;
          }
          layer.points.push_back(static_cast<std::int32_t>(x));
          layer.points.push_back(static_cast<std::int32_t>(y));
        }
      }
      layer.chunks.push_back(chunk);
    }
    layer.ringStart.push_back(static_cast<std::uint32_t>(layer.points.size() / 2));
    layers.push_back(std::move(layer));
  }
  if (!in.ok() || !in.atEnd()) {
    error = in.ok() ? "map data has bytes after its end" : "map data cut short";
    layers.clear();
    return false;
  }
  return true;
}

const VectorLayer* VectorMap::layer(MapLayerKind kind) const {
  for (const VectorLayer& l : layers)
    if (l.kind == kind) return &l;
  return nullptr;
}

std::size_t VectorMap::pointCount() const {
  std::size_t n = 0;
  for (const VectorLayer& l : layers) n += l.points.size() / 2;
  return n;
}

std::size_t VectorMap::memoryBytes() const {
  std::size_t n = sizeof *this;
  for (const VectorLayer& l : layers)
    n += sizeof l + l.chunks.capacity() * sizeof(VectorLayer::Chunk) + l.ringStart.capacity() * 4 + l.points.capacity() * 4;
  return n;
}

int mapScaleFor(const MapViewport& view) {
  // The finer data once a degree takes more pixels than its outlines have points.
  const double pixelsPerDegree = view.scaleX();
  if (pixelsPerDegree < 8.0) return 0;
  if (pixelsPerDegree < 45.0) return 1;
  return 2;
}

std::vector<MapLayerStyle> mapLayersFor(const MapViewport& view) {
  std::vector<MapLayerStyle> layers = {
      {MapLayerKind::kLand, true, kMapLandColour},
      {MapLayerKind::kLake, true, kMapSeaColour},
  };
  if (view.zoom() >= 4.0) layers.push_back({MapLayerKind::kDivisionBorder, false, kMapDivisionColour});
  // Country borders over state borders where they run together.
  for (MapLayerKind kind : {MapLayerKind::kCoastline, MapLayerKind::kLakeShore, MapLayerKind::kBorder})
    layers.push_back({kind, false, kMapLineColour});
  return layers;
}

void forEachChunkInView(const VectorLayer& layer, const MapViewport& view,
                        const std::function<void(const ProjectedChunk&)>& use) {
  // The view in file units, one pixel wider all round for line ends.
  const double west = (view.westLongitude() - 180.0) * kUnitsPerDegree - kUnitsPerDegree / view.scaleX();
  const double east = (view.eastLongitude() - 180.0) * kUnitsPerDegree + kUnitsPerDegree / view.scaleX();
  const double north = (90.0 - view.northColatitude()) * kUnitsPerDegree + kUnitsPerDegree / view.scaleY();
  const double south = (90.0 - view.southColatitude()) * kUnitsPerDegree - kUnitsPerDegree / view.scaleY();
  const double sx = view.scaleX() / kUnitsPerDegree, sy = view.scaleY() / kUnitsPerDegree;
  const PointF origin = view.toView(180.0, 90.0);  // longitude 0, latitude 0
  ProjectedChunk out;
  for (const VectorLayer::Chunk& chunk : layer.chunks) {
    if (chunk.east < west || chunk.west > east || chunk.north < south || chunk.south > north) continue;
    out.points.clear();
    out.ringEnds.clear();
    for (std::uint32_t r = chunk.firstRing; r < chunk.firstRing + chunk.ringCount; ++r) {
      const std::uint32_t first = layer.ringStart[r], end = layer.ringStart[r + 1];
      const std::size_t ringFirst = out.points.size();
      for (std::uint32_t p = first; p < end; ++p) {
        const PointF v{origin.x + layer.points[2 * p] * sx, origin.y - layer.points[2 * p + 1] * sy};
        // Steps under a pixel add nothing a one-pixel line shows; a ring's last point stays.
        if (out.points.size() > ringFirst && p + 1 < end) {
          const PointF& last = out.points.back();
          if (std::abs(v.x - last.x) < 1.0 && std::abs(v.y - last.y) < 1.0) continue;
        }
        out.points.push_back(v);
      }
      out.ringEnds.push_back(static_cast<std::uint32_t>(out.points.size()));
    }
    use(out);
  }
}

int graticuleStep(const MapViewport& view) {
  // The finest step whose lines stay at least 60 pixels apart.
  for (int step : {1, 5, 10}) {
    if (step * view.scaleX() >= 60.0) return step;
  }
  return 30;
}

void drawGraticule(Painter& painter, const MapViewport& view) {
  const int step = graticuleStep(view);
  const KeptPainterState kept(painter);
  painter.setPen(Pen{kMapLineColour, 1});
  painter.setFont(Font{"Arial", 11, 400});
  painter.setTextColour(kMapLineColour);
  painter.setTextBackground(kMapSeaColour);
  const std::vector<MapViewport> copies = copiesInView(view);
  const PointF topLeft = copies.front().toView(0.0, 0.0), bottomRight = copies.back().toView(360.0, 180.0);
  const int top = std::max(0, static_cast<int>(std::floor(topLeft.y)));
  const int bottom = std::min(view.height(), static_cast<int>(std::floor(bottomRight.y)) + 1);
  const int left = std::max(0, static_cast<int>(std::floor(topLeft.x)));
  const int right = std::min(view.width(), static_cast<int>(std::floor(bottomRight.x)) + 1);
  // Meridians, labelled at the top edge; 180 once where two copies meet.
  for (std::size_t c = 0; c < copies.size(); ++c) {
    for (int longitude = c == 0 ? -180 : -180 + step; longitude <= 180; longitude += step) {
      const int x = static_cast<int>(std::floor(copies[c].toView(longitude + 180.0, 0.0).x));
      if (x < 0 || x >= view.width()) continue;
      painter.line({x, top}, {x, bottom});
      const std::string label =
          std::to_string(std::abs(longitude)) + (longitude < 0 ? "W" : longitude > 0 && longitude < 180 ? "E" : "");
      painter.text({x + 2, top + 1}, label);
    }
  }
  // Parallels, labelled at the left edge.
  for (int latitude = 90; latitude >= -90; latitude -= step) {
    const int y = static_cast<int>(std::floor(view.toView(0.0, 90.0 - latitude).y));
    if (y < 0 || y >= view.height()) continue;
    painter.line({left, y}, {right, y});
    const std::string label = std::to_string(std::abs(latitude)) + (latitude > 0 ? "N" : latitude < 0 ? "S" : "");
    painter.text({left + 2, y + 1}, label);
  }
}

void drawAllStationPoints(Painter& painter, const StationList& stations, const MapViewport& view) {
  for (const MapViewport& copy : copiesInView(view)) {
    for (const Station& station : stations) {
      if (!station.hasPosition) continue;
      const Pixel p = copy.pixelOnFirstCopy(station.mapLongitude, station.mapColatitude);
      if (p.x < 0 || p.y < 0 || p.x >= view.width() || p.y >= view.height()) continue;
      painter.pixel({p.x, p.y}, kStationPointColour);
    }
  }
}

void drawOpenStationMarks(Painter& painter, const StationList& openStations, const MapViewport& view) {
  const std::vector<MapViewport> copies = copiesInView(view, 2);
  for (const Station& station : openStations) {
    if (!station.hasPosition) continue;
    for (const MapViewport& copy : copies) {
      const Pixel p = copy.pixelOnFirstCopy(station.mapLongitude, station.mapColatitude);
      if (copies.size() > 1 && (p.x < -2 || p.x >= view.width() + 2)) continue;
      painter.fillRect(Rect::fromSize(p.x - 2, p.y - 2, 4, 4), kOpenStationColour);
    }
  }
}

}  // namespace nimbrel
