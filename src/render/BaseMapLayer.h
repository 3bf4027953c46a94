#pragma once
// The map under everything: the world picture for the whole world in the
// default window, otherwise the vector map's land, lakes and lines, filled
// and drawn on each copy of the world the window shows.
#include <functional>

#include "charts/MapLayer.h"

namespace nimbrel {

class VectorMap;

class BaseMapLayer : public MapLayer {
 public:
  // The vector map of a scale (see mapScaleFor), or null.
  using ScaleSource = std::function<const VectorMap*(int scale)>;
  explicit BaseMapLayer(ScaleSource scales) : scales(std::move(scales)) {}
  // The vector map needs a QtPainter; on any other painter only the sea is filled.
  void draw(Painter& painter, const MapFrame& frame) override;

 private:
  ScaleSource scales;
};

}  // namespace nimbrel
