#pragma once
// The map under everything: the world picture for the whole world in the
// default window, otherwise the vector map's land, lakes and lines, filled
// and drawn on each copy of the world the window shows.
#include <QImage>
#include <QPainter>
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
  // Whether the last screen frame came from the kept picture of the world.
  bool drewFromPicture() const { return fromPicture; }

 private:
  // On screen, a world no larger than the window is drawn once into a
  // picture and each copy is that picture: repaints and pans of a zoomed-out
  // map only copy pixels.
  bool drawFromPicture(QPainter& painter, const MapFrame& frame);

  ScaleSource scales;
  QImage world;
  double worldScaleX = 0.0, worldScaleY = 0.0, worldRatio = 0.0, worldPhaseX = -1.0, worldPhaseY = -1.0;
  int worldLevel = -1;
  bool fromPicture = false;
};

}  // namespace nimbrel
