#pragma once
// The world map's picture, station points and open-station marks, drawn on
// any painter.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Painter.h"
#include "map/MapProjection.h"
#include "catalog/Station.h"

namespace nimbrel {

// The world-map picture and its size in pixels.
constexpr std::string_view kWorldMapPicture = "worldmap";
constexpr int kWorldMapWidth = 540;
constexpr int kWorldMapHeight = 341;

constexpr Colour kStationPointColour = rgb(255, 0, 0);
constexpr Colour kOpenStationColour = rgb(0, 0, 255);

// The picture, unscaled, at the client origin.
void drawMapPicture(Painter& painter);
// One red pixel per station that has a position.
void drawAllStationPoints(Painter& painter, const StationList& stations);
// A blue 4 x 4 square centred on each open station, drawn over the points.
void drawOpenStationMarks(Painter& painter, const StationList& openStations);
// "Total stations: %d".
std::string totalStationsText(const StationList& stations);

// ---- The zoomed map: vector outlines and the graticule ----

constexpr Colour kMapSeaColour = rgb(255, 255, 255);
constexpr Colour kMapLandColour = rgb(255, 255, 0);
constexpr Colour kMapLineColour = rgb(0, 0, 0);
constexpr Colour kMapDivisionColour = rgb(128, 128, 128);

enum class MapLayerKind : std::uint8_t {
  kLand = 0,
  kCoastline = 1,
  kBorder = 2,
  kLake = 3,
  kLakeShore = 4,
  kDivisionBorder = 5,  // states, provinces
};

// How a layer is drawn: filled cells or one-pixel lines, and in what colour.
struct MapLayerStyle {
  MapLayerKind kind;
  bool filled;
  Colour colour;
};
// The layers to draw over a view, bottom first. First-level borders only
// from 4x, where they no longer crowd the map; a scale's file may lack some.
std::vector<MapLayerStyle> mapLayersFor(const MapViewport& view);

// One layer of one scale: chunks (a land cell, a run of an outline), each
// with its bounds and rings, coordinates in 1/10000 degree.
struct VectorLayer {
  struct Chunk {
    std::int32_t west = 0, south = 0, east = 0, north = 0;
    std::uint32_t firstRing = 0, ringCount = 0;
  };
  MapLayerKind kind = MapLayerKind::kLand;
  std::vector<Chunk> chunks;
  std::vector<std::uint32_t> ringStart;  // into points, one past the last ring at the end
  std::vector<std::int32_t> points;      // longitude, latitude pairs
};

// One scale's layers, read from the file tools/worldmap/vectors.js writes.
class VectorMap {
 public:
  // False, with a reason, for anything that is not a whole, sound file.
  bool read(std::string_view bytes, std::string& error);
  const VectorLayer* layer(MapLayerKind kind) const;
  std::size_t pointCount() const;
  std::size_t memoryBytes() const;

 private:
  std::vector<VectorLayer> layers;
};

// The scale that suits a view: 0 (1:110m), 1 (1:50m) or 2 (1:10m).
int mapScaleFor(const MapViewport& view);

// A chunk in view, projected to view pixels: its rings' points one after
// the other, ringEnds the end of each ring in points.
struct ProjectedChunk {
  std::vector<PointF> points;
  std::vector<std::uint32_t> ringEnds;
};
// Calls `use` for each chunk of the layer that reaches into the view, with
// points closer than half a pixel to the previous one left out.
void forEachChunkInView(const VectorLayer& layer, const MapViewport& view,
                        const std::function<void(const ProjectedChunk&)>& use);

// Degrees between graticule lines for a view: 30, 10, 5 or 1.
int graticuleStep(const MapViewport& view);
// The graticule and its labels over a zoomed map, drawn in the line colour.
void drawGraticule(Painter& painter, const MapViewport& view);

// Points, marks and counts as above, at the stations' pixels in a view.
void drawAllStationPoints(Painter& painter, const StationList& stations, const MapViewport& view);
void drawOpenStationMarks(Painter& painter, const StationList& openStations, const MapViewport& view);

}  // namespace nimbrel
