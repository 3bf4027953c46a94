#include "render/BaseMapLayer.h"

#include <QPainter>
#include <QPainterPath>
#include <cstddef>
#include <cmath>
#include <cstdint>

#include "charts/WorldMapDrawing.h"
#include "render/QtPainter.h"

namespace nimbrel {
namespace {

QColor toQColour(Colour c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

void drawVectorMap(QPainter& painter, const VectorMap& map, const MapViewport& view) {
  // The projected points go to the painter as they are, without a copy.
  static_assert(sizeof(PointF) == sizeof(QPointF) && offsetof(PointF, y) == sizeof(qreal));
  const std::vector<MapViewport> copies = copiesInView(view, 1.0);
  for (const MapLayerStyle& style : mapLayersFor(view)) {
    const VectorLayer* layer = map.layer(style.kind);
    if (layer == nullptr) continue;
    if (style.filled) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(toQColour(style.colour));
      for (const MapViewport& copy : copies)
        forEachChunkInView(*layer, copy, [&](const ProjectedChunk& chunk) {
          QPainterPath path;
          path.reserve(static_cast<int>(chunk.points.size() + chunk.ringEnds.size()));
          path.setFillRule(Qt::OddEvenFill);
          std::uint32_t first = 0;
          for (const std::uint32_t end : chunk.ringEnds) {
            if (end - first >= 3) {
              path.moveTo(chunk.points[first].x, chunk.points[first].y);
              for (std::uint32_t p = first + 1; p < end; ++p) path.lineTo(chunk.points[p].x, chunk.points[p].y);
              path.closeSubpath();
            }
            first = end;
          }
          painter.drawPath(path);
        });
      continue;
    }
    // One device pixel thin at any scale, as the picture's lines are.
    painter.setPen(QPen(toQColour(style.colour), 0));
    painter.setBrush(Qt::NoBrush);
    for (const MapViewport& copy : copies)
      forEachChunkInView(*layer, copy, [&](const ProjectedChunk& chunk) {
        std::uint32_t first = 0;
        for (const std::uint32_t end : chunk.ringEnds) {
          if (end - first >= 2)
            painter.drawPolyline(reinterpret_cast<const QPointF*>(chunk.points.data() + first),
                                 static_cast<int>(end - first));
          first = end;
        }
      });
  }
}

}  // namespace

bool BaseMapLayer::drawFromPicture(QPainter& painter, const MapFrame& frame) {
  const MapViewport& view = frame.view;
  const double width = view.worldWidth(), height = 180.0 * view.scaleY();
  if (!frame.screen || width * height > double(view.width()) * view.height()) return false;
  const QPaintDevice* device = painter.device();
  const double ratio = device != nullptr ? device->devicePixelRatioF() : 1.0;
  const int level = mapScaleFor(view);
  const VectorMap* map = scales ? scales(level) : nullptr;
  if (map == nullptr) return false;
  // The picture is drawn at the sub-pixel place of the first copy's corner,
  // so that copy is exact and the others within half a pixel.
  const PointF first = view.toView(0.0, 0.0);
  const double phaseX = first.x - std::floor(first.x), phaseY = first.y - std::floor(first.y);
  if (world.isNull() || worldScaleX != view.scaleX() || worldScaleY != view.scaleY() || worldRatio != ratio ||
      worldLevel != level || worldPhaseX != phaseX || worldPhaseY != phaseY) {
    const QSize logical(static_cast<int>(std::ceil(width)) + 2, static_cast<int>(std::ceil(height)) + 2);
    world = QImage(logical * ratio, QImage::Format_RGB32);
    world.setDevicePixelRatio(ratio);
    world.fill(toQColour(kMapSeaColour));
    QPainter onWorld(&world);
    onWorld.setRenderHint(QPainter::Antialiasing, false);
    drawVectorMap(onWorld, *map, view.placedAt(phaseX, phaseY, logical.width(), logical.height()));
    worldScaleX = view.scaleX();
    worldScaleY = view.scaleY();
    worldRatio = ratio;
    worldLevel = level;
    worldPhaseX = phaseX;
    worldPhaseY = phaseY;
  }
  painter.fillRect(QRect(0, 0, view.width(), view.height()), toQColour(kMapSeaColour));
  for (const MapViewport& copy : copiesInView(view)) {
    const PointF corner = copy.toView(0.0, 0.0);
    painter.drawImage(QPoint(static_cast<int>(std::lround(corner.x - phaseX)), static_cast<int>(std::floor(first.y))),
                      world);
  }
  return true;
}

void BaseMapLayer::draw(Painter& painter, const MapFrame& frame) {
  const MapViewport& view = frame.view;
  if (view.showsPicture()) {
    drawMapPicture(painter);
    return;
  }
  auto* qt = dynamic_cast<QtPainter*>(&painter);
  if (qt == nullptr) {
    painter.fillRect(Rect{0, 0, view.width(), view.height()}, kMapSeaColour);
    return;
  }
  QPainter& onView = qt->qtPainter();
  fromPicture = drawFromPicture(onView, frame);
  if (fromPicture) return;
  onView.save();
  onView.fillRect(QRect(0, 0, view.width(), view.height()), toQColour(kMapSeaColour));
  onView.setRenderHint(QPainter::Antialiasing, false);
  if (const VectorMap* map = scales ? scales(mapScaleFor(view)) : nullptr) drawVectorMap(onView, *map, view);
  onView.restore();
}

}  // namespace nimbrel
