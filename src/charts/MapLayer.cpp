#include "charts/MapLayer.h"

#include <algorithm>
#include <cmath>

#include "charts/WorldMapDrawing.h"

namespace nimbrel {

int MapLayer::stationAt(const MapFrame&, int, int, int) const { return -1; }

void MapLayerStack::draw(Painter& painter, const MapFrame& frame, std::size_t first, std::size_t end) {
  for (std::size_t i = first; i < std::min(end, layers.size()); ++i) layers[i]->draw(painter, frame);
}

int MapLayerStack::stationAt(const MapFrame& frame, int x, int y, int radius) const {
  for (auto layer = layers.rbegin(); layer != layers.rend(); ++layer) {
    const int found = (*layer)->stationAt(frame, x, y, radius);
    if (found >= 0) return found;
  }
  return -1;
}

void MapLayerStack::invalidate() {
  for (const auto& layer : layers) layer->invalidate();
}

void GraticuleLayer::draw(Painter& painter, const MapFrame& frame) {
  // The picture has its own lines.
  if (!frame.view.showsPicture()) drawGraticule(painter, frame.view);
}

void StationPointsLayer::draw(Painter& painter, const MapFrame& frame) {
  if (frame.content.markAll && frame.content.weather == nullptr && frame.content.catalogue != nullptr)
    drawAllStationPoints(painter, *frame.content.catalogue, frame.view);
}

void WeatherPointsLayer::draw(Painter& painter, const MapFrame& frame) {
  const MapContent& c = frame.content;
  if (c.weather == nullptr || c.catalogue == nullptr) return;
  drawWeatherStations(painter, *c.catalogue, *c.weather, c.colouring, c.metric, frame.view, c.filter, c.nowMinutes,
                      frame.area);
}

int WeatherPointsLayer::stationAt(const MapFrame& frame, int x, int y, int radius) const {
  const MapContent& c = frame.content;
  if (c.weather == nullptr || c.catalogue == nullptr) return -1;
  if (indexStale) {
    indexStale = false;
    std::vector<std::size_t> indices = c.weather->stationIndices();
    // What the filter hides cannot be clicked either.
    if (c.filter.hidesAny())
      std::erase_if(indices, [&](std::size_t i) { return !filterShows(c.filter, *c.weather->forStation(i), c.nowMinutes); });
    index.build(*c.catalogue, indices, frame.view);
  }
  return index.nearest(x, y, radius);
}

void OpenStationMarksLayer::draw(Painter& painter, const MapFrame& frame) {
  if (frame.content.openStations != nullptr) drawOpenStationMarks(painter, *frame.content.openStations, frame.view);
}

void WeatherLegendLayer::draw(Painter& painter, const MapFrame& frame) {
  const MapContent& c = frame.content;
  if (c.weather == nullptr || c.catalogue == nullptr) return;
  const Size size = weatherLegendSize(painter, c.colouring, c.metric, c.filter);
  const MapViewport& v = frame.view;
  const std::array<double, 5> key = {v.westLongitude(), v.northColatitude(), v.scaleX(), double(v.width()),
                                     double(v.height())};
  if (!frame.screen) {
    drawWeatherLegend(painter, c.colouring, c.metric, chooseLegendCorner(*c.catalogue, size, v), c.filter);
    return;
  }
  if (!corner || !(corner->size == size) || corner->view != key)
    corner = Placed{size, key, chooseLegendCorner(*c.catalogue, size, v)};
  if (frame.area && std::none_of(frame.area->begin(), frame.area->end(),
                                 [&](const Rect& r) { return r.intersects(corner->box); }))
    return;
  drawWeatherLegend(painter, c.colouring, c.metric, corner->box, c.filter);
}

namespace {

constexpr Colour kSelectionColour = rgb(0, 0, 0);

std::vector<Pixel> selectedPixels(const MapFrame& frame, int margin) {
  std::vector<Pixel> pixels;
  const MapContent& c = frame.content;
  if (!c.selected || c.catalogue == nullptr || *c.selected >= c.catalogue->size()) return pixels;
  const Station& station = (*c.catalogue)[*c.selected];
  if (!station.hasPosition) return pixels;
  for (const MapViewport& copy : copiesInView(frame.view, margin)) {
    const Pixel p = copy.pixelOnFirstCopy(station.mapLongitude, station.mapColatitude);
    if (p.x >= -margin && p.x < frame.view.width() + margin && p.y >= -margin && p.y < frame.view.height() + margin)
      pixels.push_back(p);
  }
  return pixels;
}

}  // namespace

void SelectionLayer::draw(Painter& painter, const MapFrame& frame) {
  const std::vector<Pixel> pixels = selectedPixels(frame, kRingRadius + 1);
  if (pixels.empty()) return;
  // A square frame two pixels thick, leaving the point itself to show.
  for (const Pixel& p : pixels) {
    const int r = kRingRadius;
    painter.fillRect(Rect{p.x - r, p.y - r, p.x + r + 1, p.y - r + 2}, kSelectionColour);
    painter.fillRect(Rect{p.x - r, p.y + r - 1, p.x + r + 1, p.y + r + 1}, kSelectionColour);
    painter.fillRect(Rect{p.x - r, p.y - r, p.x - r + 2, p.y + r + 1}, kSelectionColour);
    painter.fillRect(Rect{p.x + r - 1, p.y - r, p.x + r + 1, p.y + r + 1}, kSelectionColour);
  }
}

std::vector<Rect> SelectionLayer::covered(const MapFrame& frame) {
  std::vector<Rect> rects;
  const int r = kRingRadius;
  for (const Pixel& p : selectedPixels(frame, r + 1)) rects.push_back(Rect{p.x - r, p.y - r, p.x + r + 1, p.y + r + 1});
  return rects;
}

std::optional<Pixel> SelectionLayer::anchor(const MapFrame& frame) {
  std::optional<Pixel> best;
  const double cx = frame.view.width() / 2.0, cy = frame.view.height() / 2.0;
  for (const Pixel& p : selectedPixels(frame, 0)) {
    if (!best || std::hypot(p.x - cx, p.y - cy) < std::hypot(best->x - cx, best->y - cy)) best = p;
  }
  return best;
}

}  // namespace nimbrel
