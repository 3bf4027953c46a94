#pragma once
// A map window is a stack of layers, bottom first: the base map, the
// graticule, station points, the current weather, open-station marks, the
// legend and the selection. Each draws itself over the ones below and may
// say which station lies under a pixel; every layer draws on each copy of a
// world that wraps east and west.
#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "base/Painter.h"
#include "catalog/Station.h"
#include "catalog/StationWeather.h"
#include "charts/WeatherLayer.h"
#include "map/MapProjection.h"
#include "map/StationPixelIndex.h"

namespace nimbrel {

// What a map window shows at one frame, read by its layers.
struct MapContent {
  const StationList* catalogue = nullptr;
  const StationList* openStations = nullptr;
  // The current weather, when the window shows it (null otherwise).
  const WeatherSnapshot* weather = nullptr;
  WeatherColouring colouring = WeatherColouring::kFlightCategory;
  bool metric = true;
  // Every catalogue station as a point (without current weather).
  bool markAll = false;
  // The catalogue index of the selected station.
  std::optional<std::size_t> selected;
  // Reports the user chose not to see, by their age at nowMinutes.
  MapFilter filter;
  std::int64_t nowMinutes = 0;
};

struct MapFrame {
  const MapViewport& view;
  const MapContent& content;
  // A paint of the window, which layers may draw from pictures they keep;
  // otherwise a print or a saved picture, drawn afresh.
  bool screen = false;
  // The parts of the window being painted, when less than the whole: a layer
  // may leave out what lies wholly outside them (a click redraws a few pixels).
  std::optional<std::vector<Rect>> area = std::nullopt;
};

class MapLayer {
 public:
  virtual ~MapLayer() = default;
  virtual void draw(Painter& painter, const MapFrame& frame) = 0;
  // The catalogue index of the station this layer has within `radius`
  // pixels of (x, y), or -1.
  virtual int stationAt(const MapFrame& frame, int x, int y, int radius) const;
  // What the layer keeps between frames no longer holds (a new view or new weather).
  virtual void invalidate() {}
};

class MapLayerStack {
 public:
  // Adds a layer over the others; the stack keeps it.
  template <typename Layer>
  Layer& add(std::unique_ptr<Layer> layer) {
    Layer& added = *layer;
    layers.push_back(std::move(layer));
    return added;
  }
  void draw(Painter& painter, const MapFrame& frame) { draw(painter, frame, 0, layers.size()); }
  // Layers [first, end) only, bottom first.
  void draw(Painter& painter, const MapFrame& frame, std::size_t first, std::size_t end);
  // The answer of the topmost layer that has a station there.
  int stationAt(const MapFrame& frame, int x, int y, int radius) const;
  void invalidate();
  std::size_t size() const { return layers.size(); }

 private:
  std::vector<std::unique_ptr<MapLayer>> layers;
};

// The graticule and its labels, over the zoomed map only.
class GraticuleLayer : public MapLayer {
 public:
  void draw(Painter& painter, const MapFrame& frame) override;
};

// Every catalogue station as a red pixel, when asked for and no weather is shown.
class StationPointsLayer : public MapLayer {
 public:
  void draw(Painter& painter, const MapFrame& frame) override;
};

// The current weather's points, labels and plots. Its hit test is the map's:
// the stations with weather, on every copy of the world.
class WeatherPointsLayer : public MapLayer {
 public:
  void draw(Painter& painter, const MapFrame& frame) override;
  int stationAt(const MapFrame& frame, int x, int y, int radius) const override;
  void invalidate() override { indexStale = true; }

 private:
  // Built for the current view on the first look-up after a change.
  mutable StationPixelIndex index;
  mutable bool indexStale = true;
};

// The open stations' blue squares, over everything but the legend.
class OpenStationMarksLayer : public MapLayer {
 public:
  void draw(Painter& painter, const MapFrame& frame) override;
};

// The weather's legend, in the corner with the fewest stations.
class WeatherLegendLayer : public MapLayer {
 public:
  void draw(Painter& painter, const MapFrame& frame) override;
  void invalidate() override { corner.reset(); }

 private:
  // Counting the stations under each corner takes a whole pass over them:
  // kept until the view or the weather changes, for the same legend size.
  struct Placed {
    Size size;
    std::array<double, 5> view;  // west, north, scale, width, height
    Rect box;
  };
  std::optional<Placed> corner;
};

// A frame around the selected station on every copy; the card beside it
// hangs from its anchor.
class SelectionLayer : public MapLayer {
 public:
  static constexpr int kRingRadius = 6;
  void draw(Painter& painter, const MapFrame& frame) override;
  // The selected station's pixel nearest the window's centre, when one is on the window.
  static std::optional<Pixel> anchor(const MapFrame& frame);
  // What the frames cover on every copy, so a change of selection redraws only that.
  static std::vector<Rect> covered(const MapFrame& frame);
};

}  // namespace nimbrel
