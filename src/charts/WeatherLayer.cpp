#include "charts/WeatherLayer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/ClockText.h"
#include "base/Text.h"
#include "base/Units.h"
#include "map/MapProjection.h"
#include "charts/WorldMapDrawing.h"

namespace nimbrel {
namespace {



struct Stop {
  double celsius;
  Colour colour;
};
// Evenly readable steps on the yellow map: dark ends, no pale yellow.
constexpr std::array<Stop, 9> kTemperatureStops = {{
    {-40.0, rgb(110, 0, 160)},
    {-28.0, rgb(40, 40, 230)},
    {-16.0, rgb(0, 130, 255)},
    {-5.0, rgb(0, 200, 210)},
    {5.0, rgb(0, 175, 0)},
    {15.0, rgb(185, 185, 0)},
    {25.0, rgb(255, 140, 0)},
    {35.0, rgb(225, 0, 0)},
    {45.0, rgb(130, 0, 0)},
}};

// The legend's font: small enough to stay out of the map's way.
const Font kLegendFont{"Arial", 12, 400};
constexpr int kPad = 4;
constexpr int kSwatch = 7;
constexpr int kBarHeight = 8;
// A point reaches 1 pixel from its centre, an open mark 2.
constexpr int kMarkReach = 2;
constexpr int kCornerInset = 2;

constexpr std::array<FlightCategory, 5> kLegendCategories = {FlightCategory::VFR, FlightCategory::MVFR,
                                                              FlightCategory::IFR, FlightCategory::LIFR,
                                                              FlightCategory::Unknown};

struct TemperatureTick {
  double celsius;
  std::string label;
};

std::vector<TemperatureTick> temperatureTicks(bool metric) {
  std::vector<TemperatureTick> ticks;
  if (metric) {
    for (int c : {-40, -20, 0, 20, 40}) ticks.push_back({double(c), std::to_string(c)});
  } else {
    for (int f : {-40, 0, 40, 80, 110}) ticks.push_back({(f - 32) / 1.8, std::to_string(f)});
  }
  return ticks;
}

std::string temperatureTitle(bool metric) { return metric ? "Temperature \xB0" "C" : "Temperature \xB0" "F"; }

constexpr int kBarWidth = static_cast<int>(kTemperatureScaleMaxC - kTemperatureScaleMinC) + 1;

// The legend's own state, the caller's put back afterwards.
class LegendState {
 public:
  explicit LegendState(Painter& painter) : kept(painter) {
    painter.setFont(kLegendFont);
    painter.setPen(Pen{kBlack, 1});
    painter.setBrush(kWhite);
    painter.setTextColour(kBlack);
    painter.setTextBackground(kWhite);
  }

 private:
  KeptPainterState kept;
};


constexpr Colour kOutlineColour = rgb(40, 40, 40);

// A filled disc of whole pixels, row by row.
void fillDisc(Painter& painter, int x, int y, int radius, Colour colour) {
  for (int dy = -radius; dy <= radius; ++dy) {
    const int half = static_cast<int>(std::floor(std::sqrt(radius * radius - dy * dy + 0.5)));
    painter.fillRect(Rect::fromSize(x - half, y + dy, 2 * half + 1, 1), colour);
  }
}

// A category's legend row: "VFR", or "VFR hidden" when the filter hides it.
std::string legendRowText(FlightCategory category, const MapFilter& filter) {
  std::string text = categoryName(category);
  if (filter.hiddenCategories & mapCategoryBit(category)) text += " hidden";
  return text;
}

// The legend's last line under a filter: the hidden ages by category, and
// everything hidden by temperature (which names no category).
std::string legendFooter(WeatherColouring colouring, const MapFilter& filter) {
  if (colouring == WeatherColouring::kTemperature) return hiddenText(filter);
  return filter.hideOlderHours > 0 ? "older than " + std::to_string(filter.hideOlderHours) + " h hidden"
                                   : std::string();
}

const Font kBadgeFont{"Arial", 12, 700};

bool overlaps(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

const Font kPlotFont{"Arial", 11, 400};
constexpr int kPlotReach = 34;
constexpr int kStaffLength = 28;
constexpr int kPlotRadius = 5;

std::string shortTemperature(double celsius, bool metric) {
  return std::to_string(
      std::lround(temperatureIn(celsius, metric ? TemperatureUnit::kCelsius : TemperatureUnit::kFahrenheit)));
}

}  // namespace

// The legend and the tooltip name a report without a category as well.
const char* categoryName(FlightCategory category) {
  return category == FlightCategory::Unknown ? "unknown" : flightCategoryText(category);
}

unsigned mapCategoryBit(FlightCategory category) {
  switch (category) {
    case FlightCategory::VFR: return kMapVfr;
    case FlightCategory::MVFR: return kMapMvfr;
    case FlightCategory::IFR: return kMapIfr;
    case FlightCategory::LIFR: return kMapLifr;
    case FlightCategory::Unknown: break;
  }
  return kMapUnknown;
}

bool filterShows(const MapFilter& filter, const StationWeather& weather, std::int64_t nowMinutes) {
  if (filter.hiddenCategories & mapCategoryBit(weather.category)) return false;
  return filter.hideOlderHours <= 0 || nowMinutes - weather.observedMinutes <= filter.hideOlderHours * 60;
}

std::string hiddenText(const MapFilter& filter) {
  if (!filter.hidesAny()) return {};
  std::string names;
  for (const FlightCategory category : kLegendCategories)
    if (filter.hiddenCategories & mapCategoryBit(category))
      names += (names.empty() ? "" : ", ") + std::string(categoryName(category));
  std::string text = "Hidden: " + names;
  if (filter.hideOlderHours > 0)
    text += (names.empty() ? "" : "; ") + std::string("older than ") + std::to_string(filter.hideOlderHours) + " h";
  return text;
}

std::string noCurrentWeatherText(const WeatherSnapshot& snapshot, bool timeUtc) {
  if (!snapshot.offline && !snapshot.downloadFailed) return {};
  if (snapshot.stations.empty()) return "No current weather";
  return "Offline: reports up to " + clockText(snapshot.newestMinutes * 60, timeUtc);
}

void drawMapBadge(Painter& painter, const std::string& text, int viewWidth) {
  if (text.empty()) return;
  const KeptPainterState kept(painter);
  painter.setFont(kBadgeFont);
  const Size extent = painter.textSize(text);
  const Rect box = Rect::fromSize(viewWidth / 2 - extent.width / 2 - 2 * kPad, kPad, extent.width + 4 * kPad,
                                  extent.height + 2 * kPad);
  painter.setPen(Pen{rgb(160, 0, 0), 1});
  painter.setBrush(kBadgeColour);
  painter.rect(box);
  painter.setTextColour(rgb(120, 0, 0));
  painter.setTextBackground(kBadgeColour);
  painter.text({box.left + 2 * kPad, box.top + kPad}, text);
}

Colour flightCategoryColour(FlightCategory category) {
  switch (category) {
    case FlightCategory::VFR: return kVfrColour;
    case FlightCategory::MVFR: return kMvfrColour;
    case FlightCategory::IFR: return kIfrColour;
    case FlightCategory::LIFR: return kLifrColour;
    case FlightCategory::Unknown: break;
  }
  return kNoValueColour;
}

Colour temperatureColour(double celsius) {
  if (std::isnan(celsius)) return kNoValueColour;
  if (celsius <= kTemperatureStops.front().celsius) return kTemperatureStops.front().colour;
  if (celsius >= kTemperatureStops.back().celsius) return kTemperatureStops.back().colour;
  std::size_t i = 1;
  while (kTemperatureStops[i].celsius < celsius) ++i;
  const Stop& a = kTemperatureStops[i - 1];
  const Stop& b = kTemperatureStops[i];
  const double t = (celsius - a.celsius) / (b.celsius - a.celsius);
  auto mix = [t](int from, int to) { return static_cast<int>(std::lround(from + (to - from) * t)); };
  return rgb(mix(redOf(a.colour), redOf(b.colour)), mix(greenOf(a.colour), greenOf(b.colour)),
             mix(blueOf(a.colour), blueOf(b.colour)));
}

Colour weatherPointColour(const StationWeather& weather, WeatherColouring colouring) {
  if (colouring == WeatherColouring::kTemperature)
    return weather.temperatureC ? temperatureColour(*weather.temperatureC) : kNoValueColour;
  return flightCategoryColour(weather.category);
}

Rect chooseLegendCorner(const StationList& stations, Size legend) {
  return chooseLegendCorner(stations, legend, MapViewport());
}

Rect chooseLegendCorner(const StationList& stations, Size legend, const MapViewport& view) {
  const bool picture = view.showsPicture();
  const int left = (picture ? MapProjection::kLeft : 0) + kCornerInset;
  const int right = (picture ? MapProjection::kRight : view.width()) - kCornerInset;
  const int top = (picture ? MapProjection::kTop : 0) + kCornerInset;
  const int bottom = (picture ? MapProjection::kBottom : view.height()) - kCornerInset;
  // Lower left first: the Pacific and the Southern Ocean.
  const std::array<Rect, 4> corners = {{
      {left, bottom - legend.height, left + legend.width, bottom},
      {right - legend.width, bottom - legend.height, right, bottom},
      {left, top, left + legend.width, top + legend.height},
      {right - legend.width, top, right, top + legend.height},
  }};
  std::array<int, 4> covered = {};
  for (const MapViewport& copy : copiesInView(view, kMarkReach)) {
    for (const Station& station : stations) {
      if (!station.hasPosition) continue;
      const Pixel p = copy.pixelOnFirstCopy(station.mapLongitude, station.mapColatitude);
      for (std::size_t c = 0; c < corners.size(); ++c) {
        const Rect& r = corners[c];
        if (p.x >= r.left - kMarkReach && p.x < r.right + kMarkReach && p.y >= r.top - kMarkReach &&
            p.y < r.bottom + kMarkReach)
          ++covered[c];
      }
    }
  }
  return corners[static_cast<std::size_t>(std::min_element(covered.begin(), covered.end()) - covered.begin())];
}

Size weatherLegendSize(Painter& painter, WeatherColouring colouring, bool metric, const MapFilter& filter) {
  LegendState legend(painter);
  const std::string footer = legendFooter(colouring, filter);
  const Size footerSize = footer.empty() ? Size{0, 0} : painter.textSize(footer);
  if (colouring == WeatherColouring::kFlightCategory) {
    int textWidth = 0, rowHeight = kSwatch + 2;
    for (FlightCategory category : kLegendCategories) {
      const Size extent = painter.textSize(legendRowText(category, filter));
      textWidth = std::max(textWidth, extent.width);
      rowHeight = std::max(rowHeight, extent.height);
    }
    const int width = kPad + kSwatch + kPad + textWidth + kPad;
    return Size{std::max(width, kPad + footerSize.width + kPad),
                kPad + rowHeight * static_cast<int>(kLegendCategories.size()) + footerSize.height + kPad};
  }
  const Size title = painter.textSize(temperatureTitle(metric));
  const std::vector<TemperatureTick> ticks = temperatureTicks(metric);
  const int overhang = std::max(painter.textSize(ticks.front().label).width, painter.textSize(ticks.back().label).width) / 2;
  const int labelHeight = painter.textSize(ticks.front().label).height;
  return Size{kPad + std::max({title.width, kBarWidth + 2 * overhang, footerSize.width}) + kPad,
              kPad + title.height + 2 + kBarHeight + 2 + labelHeight + footerSize.height + kPad};
}

void drawWeatherLegend(Painter& painter, WeatherColouring colouring, bool metric, const Rect& box,
                       const MapFilter& filter) {
  LegendState legend(painter);
  painter.rect(box);
  const std::string footer = legendFooter(colouring, filter);
  if (!footer.empty())
    painter.text({box.left + kPad, box.bottom - kPad - painter.textSize(footer).height}, footer);
  if (colouring == WeatherColouring::kFlightCategory) {
    int rowHeight = kSwatch + 2;
    for (FlightCategory category : kLegendCategories)
      rowHeight = std::max(rowHeight, painter.textSize(legendRowText(category, filter)).height);
    int y = box.top + kPad;
    for (FlightCategory category : kLegendCategories) {
      const Rect swatch = Rect::fromSize(box.left + kPad, y + (rowHeight - kSwatch) / 2, kSwatch, kSwatch);
      // A hidden category keeps only the outline of its swatch.
      if (filter.hiddenCategories & mapCategoryBit(category)) {
        const KeptPainterState kept(painter);
        painter.setPen(Pen{flightCategoryColour(category), 1});
        painter.rect(swatch);
      } else {
        painter.fillRect(swatch, flightCategoryColour(category));
      }
      painter.text({box.left + kPad + kSwatch + kPad, y}, legendRowText(category, filter));
      y += rowHeight;
    }
    return;
  }
  const std::string title = temperatureTitle(metric);
  const Size titleSize = painter.textSize(title);
  const std::vector<TemperatureTick> ticks = temperatureTicks(metric);
  const int overhang = std::max(painter.textSize(ticks.front().label).width, painter.textSize(ticks.back().label).width) / 2;
  const int inner = box.width() - 2 * kPad;
  const int barLeft = box.left + kPad + std::max(overhang, (inner - kBarWidth) / 2);
  const int barTop = box.top + kPad + titleSize.height + 2;
  painter.text({box.left + kPad, box.top + kPad}, title);
  // One column a degree Celsius.
  for (int column = 0; column < kBarWidth; ++column)
    painter.fillRect(Rect::fromSize(barLeft + column, barTop, 1, kBarHeight),
                     temperatureColour(kTemperatureScaleMinC + column));
  for (const TemperatureTick& tick : ticks) {
    const int x = barLeft + static_cast<int>(std::lround(tick.celsius - kTemperatureScaleMinC));
    painter.text({x, barTop + kBarHeight + 2}, tick.label, Align::kCentre);
  }
}

namespace {

// The points over the picture, at its own pixels.
// Whether a mark `reach` pixels round p may touch the area painted.
bool touches(const std::optional<std::vector<Rect>>& area, Pixel p, int reach) {
  if (!area) return true;
  for (const Rect& r : *area)
    if (p.x >= r.left - reach && p.x < r.right + reach && p.y >= r.top - reach && p.y < r.bottom + reach) return true;
  return false;
}

bool touches(const std::optional<std::vector<Rect>>& area, const Rect& box) {
  return !area || std::any_of(area->begin(), area->end(), [&](const Rect& r) { return r.intersects(box); });
}

void drawPictureWeatherStations(Painter& painter, const StationList& catalogue, const WeatherSnapshot& snapshot,
                                WeatherColouring colouring, const MapFilter& filter, std::int64_t nowMinutes,
                                const std::optional<std::vector<Rect>>& area) {
  // Stations without a report first, so a neighbour's point covers them;
  // grey, the legend's "unknown", never a category's colour.
  auto weather = snapshot.stations.begin();
  for (std::size_t i = 0; i < catalogue.size() && !(filter.hiddenCategories & kMapUnknown); ++i) {
    while (weather != snapshot.stations.end() && weather->station < i) ++weather;
    const Station& station = catalogue[i];
    if (!station.hasPosition || (weather != snapshot.stations.end() && weather->station == i)) continue;
    const Pixel p = MapProjection::toPixel(station.mapLongitude, station.mapColatitude);
    if (touches(area, p, 0)) painter.pixel({p.x, p.y}, kNoValueColour);
  }
  // Each point a 3 x 3 square in its colour with a dark rim that leaves the
  // corners out, so every colour shows on yellow land and white sea alike.
  // In the reports' order; a run of one colour goes to the painter in one call.
  std::vector<Point> run;
  Colour runColour = 0;
  for (const StationWeather& w : snapshot.stations) {
    if (w.station >= catalogue.size() || !catalogue[w.station].hasPosition) continue;
    if (filter.hidesAny() && !filterShows(filter, w, nowMinutes)) continue;
    const Station& station = catalogue[w.station];
    const Pixel p = MapProjection::toPixel(station.mapLongitude, station.mapColatitude);
    if (!touches(area, p, kMarkReach)) continue;
    const Colour colour = weatherPointColour(w, colouring);
    if (!run.empty() && colour != runColour) {
      painter.rimmedPoints(run, runColour, kOutlineColour);
      run.clear();
    }
    runColour = colour;
    run.push_back(Point{p.x, p.y});
  }
  if (!run.empty()) painter.rimmedPoints(run, runColour, kOutlineColour);
}

}  // namespace

void drawWeatherLayer(Painter& painter, const StationList& catalogue, const WeatherSnapshot& snapshot,
                      WeatherColouring colouring, const StationList& openStations, bool metric,
                      const MapFilter& filter, std::int64_t nowMinutes) {
  drawWeatherLayer(painter, catalogue, snapshot, colouring, openStations, metric, MapViewport(), filter, nowMinutes);
}

void drawWeatherLayer(Painter& painter, const StationList& catalogue, const WeatherSnapshot& snapshot,
                      WeatherColouring colouring, const StationList& openStations, bool metric,
                      const MapViewport& view, const MapFilter& filter, std::int64_t nowMinutes) {
  drawWeatherStations(painter, catalogue, snapshot, colouring, metric, view, filter, nowMinutes);
  drawOpenStationMarks(painter, openStations, view);
  drawPlacedWeatherLegend(painter, catalogue, colouring, metric, view, filter);
}

void drawPlacedWeatherLegend(Painter& painter, const StationList& catalogue, WeatherColouring colouring, bool metric,
                             const MapViewport& view, const MapFilter& filter) {
  const Size size = weatherLegendSize(painter, colouring, metric, filter);
  drawWeatherLegend(painter, colouring, metric, chooseLegendCorner(catalogue, size, view), filter);
}

std::vector<bool> placeWithoutOverlap(const std::vector<Rect>& candidates) {
  // Kept boxes are filed in 64-pixel buckets of the cells they touch.
  constexpr int kBucket = 64;
  struct Key {
    int x, y;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    std::size_t operator()(const Key& k) const { return std::hash<long long>()((static_cast<long long>(k.x) << 32) ^ (k.y & 0xffffffffLL)); }
  };
  std::unordered_map<Key, std::vector<std::size_t>, KeyHash> buckets;
  std::vector<bool> kept(candidates.size(), false);
  auto floorDiv = [](int v) { return v >= 0 ? v / kBucket : -((-v + kBucket - 1) / kBucket); };
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const Rect& r = candidates[i];
    const int x0 = floorDiv(r.left), x1 = floorDiv(r.right - 1), y0 = floorDiv(r.top), y1 = floorDiv(r.bottom - 1);
    bool free = true;
    for (int by = y0; by <= y1 && free; ++by)
      for (int bx = x0; bx <= x1 && free; ++bx) {
        const auto found = buckets.find(Key{bx, by});
        if (found == buckets.end()) continue;
        for (std::size_t k : found->second)
          if (overlaps(r, candidates[k])) {
            free = false;
            break;
          }
      }
    if (!free) continue;
    kept[i] = true;
    for (int by = y0; by <= y1; ++by)
      for (int bx = x0; bx <= x1; ++bx) buckets[Key{bx, by}].push_back(i);
  }
  return kept;
}

Rect stationPlotBox(int x, int y) { return Rect{x - kPlotReach, y - kPlotReach, x + kPlotReach + 1, y + kPlotReach + 1}; }

void drawStationPlot(Painter& painter, int x, int y, const Station& station, const StationWeather& weather,
                     Colour fill, bool metric) {
  const KeptPainterState kept(painter);
  painter.setPen(Pen{kOutlineColour, 1});
  painter.setBrush(kWhite);
  painter.setFont(kPlotFont);
  painter.setTextColour(kBlack);
  painter.setTextBackground(kWhite);
  const bool calm = weather.windSpeedKt && *weather.windSpeedKt < 1.0 && !weather.windGustKt;
  if (calm) painter.ellipse(Rect{x - kPlotRadius - 4, y - kPlotRadius - 4, x + kPlotRadius + 5, y + kPlotRadius + 5});
  if (weather.windSpeedKt && !calm && weather.windDirectionDeg) {
    // The staff points to where the wind comes from; feathers on its clockwise side.
    const double a = *weather.windDirectionDeg * 3.14159265358979 / 180.0;
    const double ux = std::sin(a), uy = -std::cos(a);
    const double px = -uy, py = ux;  // a quarter turn clockwise on screen
    auto at = [&](double along, double across) {
      return Pixel{x + static_cast<int>(std::lround(ux * along + px * across)),
                   y + static_cast<int>(std::lround(uy * along + py * across))};
    };
    const Pixel foot = at(kPlotRadius + 1, 0), tip = at(kStaffLength, 0);
    painter.line({foot.x, foot.y}, {tip.x, tip.y});
    long knots = std::lround(*weather.windSpeedKt / 5.0) * 5;
    double along = kStaffLength;
    for (; knots >= 50; knots -= 50, along -= 7) {
      // A pennant: a filled triangle, by lines from the staff to its point.
      const Pixel point = at(along - 2, 10);
      for (double t = 0; t <= 5.0; t += 0.5) {
        const Pixel base = at(along - t, 0);
        painter.line({base.x, base.y}, {point.x, point.y});
      }
    }
    for (; knots >= 10; knots -= 10, along -= 4) {
      const Pixel root = at(along, 0), end = at(along + 4, 10);
      painter.line({root.x, root.y}, {end.x, end.y});
    }
    if (knots >= 5) {
      // A lone half barb stands off the tip so it does not read as a full one.
      if (along == kStaffLength) along -= 4;
      const Pixel root = at(along, 0), end = at(along + 2, 5);
      painter.line({root.x, root.y}, {end.x, end.y});
    }
  }
  fillDisc(painter, x, y, kPlotRadius + 1, kOutlineColour);
  fillDisc(painter, x, y, kPlotRadius, fill);
  if (weather.temperatureC) {
    const std::string t = shortTemperature(*weather.temperatureC, metric);
    painter.text({x - kPlotRadius - 3, y - kPlotRadius - 3 - painter.textSize(t).height + 4}, t, Align::kRight);
  }
  if (weather.dewPointC)
    painter.text({x - kPlotRadius - 3, y + kPlotRadius - 1}, shortTemperature(*weather.dewPointC, metric), Align::kRight);
  painter.text({x + kPlotRadius + 4, y + 2}, station.icao);
}

void drawWeatherStations(Painter& painter, const StationList& catalogue, const WeatherSnapshot& snapshot,
                         WeatherColouring colouring, bool metric, const MapViewport& view, const MapFilter& filter,
                         std::int64_t nowMinutes, const std::optional<std::vector<Rect>>& area) {
  if (view.showsPicture()) {
    drawPictureWeatherStations(painter, catalogue, snapshot, colouring, filter, nowMinutes, area);
    return;
  }
  auto inView = [&](const Pixel& p, int margin) {
    return p.x >= -margin && p.y >= -margin && p.x < view.width() + margin && p.y < view.height() + margin;
  };
  // Each copy of the world in the window holds every station; labels and
  // plots are placed over all of them at once.
  const std::vector<MapViewport> copies = copiesInView(view, kPlotReach);
  // Stations without a report first, so a neighbour's point covers them.
  for (const MapViewport& copy : copies) {
    auto weather = snapshot.stations.begin();
    for (std::size_t i = 0; i < catalogue.size() && !(filter.hiddenCategories & kMapUnknown); ++i) {
      while (weather != snapshot.stations.end() && weather->station < i) ++weather;
      const Station& station = catalogue[i];
      if (!station.hasPosition || (weather != snapshot.stations.end() && weather->station == i)) continue;
      const Pixel p = copy.pixelOnFirstCopy(station.mapLongitude, station.mapColatitude);
      if (inView(p, 0) && touches(area, p, 0)) painter.pixel({p.x, p.y}, kNoValueColour);
    }
  }
  struct Shown {
    const StationWeather* weather;
    Pixel pixel;
  };
  std::vector<Shown> shown;
  for (const MapViewport& copy : copies) {
    for (const StationWeather& w : snapshot.stations) {
      if (w.station >= catalogue.size() || !catalogue[w.station].hasPosition) continue;
      if (filter.hidesAny() && !filterShows(filter, w, nowMinutes)) continue;
      const Station& station = catalogue[w.station];
      const Pixel p = copy.pixelOnFirstCopy(station.mapLongitude, station.mapColatitude);
      if (inView(p, kPlotReach)) shown.push_back({&w, p});
    }
  }
  // The worse category first: it wins the room for a label or a plot.
  // Five severities: a counting sort, keeping the order within each.
  {
    std::array<std::size_t, 6> start = {};
    for (const Shown& s : shown) ++start[static_cast<std::size_t>(5 - categorySeverity(s.weather->category))];
    for (std::size_t k = 1; k < start.size(); ++k) start[k] += start[k - 1];
    std::vector<Shown> sorted(shown.size());
    for (std::size_t i = shown.size(); i-- > 0;)
      sorted[--start[static_cast<std::size_t>(5 - categorySeverity(shown[i].weather->category))]] = shown[i];
    shown.swap(sorted);
  }
  std::vector<bool> plotted(shown.size(), false);
  if (view.zoom() >= kPlotZoom) {
    std::vector<Rect> boxes;
    boxes.reserve(shown.size());
    for (const Shown& s : shown) boxes.push_back(stationPlotBox(s.pixel.x, s.pixel.y));
    plotted = placeWithoutOverlap(boxes);
  }
  std::vector<bool> labelled(shown.size(), false);
  std::vector<Rect> labels;
  if (view.zoom() >= kLabelZoom) {
    const KeptPainterState keptState(painter);
    painter.setFont(kPlotFont);
    // Plots hold their boxes first; labels go into the room left.
    std::vector<Rect> boxes;
    for (std::size_t i = 0; i < shown.size(); ++i)
      if (plotted[i]) boxes.push_back(stationPlotBox(shown[i].pixel.x, shown[i].pixel.y));
    const std::size_t plotCount = boxes.size();
    std::vector<std::size_t> candidate;
    for (std::size_t i = 0; i < shown.size(); ++i) {
      if (plotted[i]) continue;
      const Size extent = painter.textSize(catalogue[shown[i].weather->station].icao);
      const Pixel p = shown[i].pixel;
      boxes.push_back(Rect::fromSize(p.x + 3, p.y - extent.height / 2, extent.width, extent.height));
      candidate.push_back(i);
    }
    const std::vector<bool> kept = placeWithoutOverlap(boxes);
    for (std::size_t k = 0; k < candidate.size(); ++k)
      if (kept[plotCount + k]) {
        labelled[candidate[k]] = true;
        labels.push_back(boxes[plotCount + k]);
      }
  }
  // Best last, so the worse categories' points lie on top; a run of one
  // colour goes to the painter in one call.
  {
    std::vector<Point> run;
    Colour runColour = 0;
    for (std::size_t i = shown.size(); i-- > 0;) {
      if (plotted[i]) continue;
      const int x = shown[i].pixel.x, y = shown[i].pixel.y;
      if (x < -2 || y < -2 || x > view.width() + 1 || y > view.height() + 1) continue;
      if (!touches(area, shown[i].pixel, kMarkReach)) continue;
      const Colour colour = weatherPointColour(*shown[i].weather, colouring);
      if (!run.empty() && colour != runColour) {
        painter.rimmedPoints(run, runColour, kOutlineColour);
        run.clear();
      }
      runColour = colour;
      run.push_back(Point{x, y});
    }
    if (!run.empty()) painter.rimmedPoints(run, runColour, kOutlineColour);
  }
  if (!labels.empty()) {
    const KeptPainterState kept(painter);
    painter.setFont(kPlotFont);
    painter.setTextColour(kBlack);
    painter.setTextBackground(kWhite);
    std::size_t next = 0;
    for (std::size_t i = 0; i < shown.size(); ++i)
      if (labelled[i]) {
        const Rect& r = labels[next++];
        if (!touches(area, r)) continue;
        painter.text({r.left, r.top}, catalogue[shown[i].weather->station].icao);
      }
  }
  for (std::size_t i = 0; i < shown.size(); ++i)
    if (plotted[i] && touches(area, shown[i].pixel, kPlotReach + 1))
      drawStationPlot(painter, shown[i].pixel.x, shown[i].pixel.y, catalogue[shown[i].weather->station], *shown[i].weather,
                      weatherPointColour(*shown[i].weather, colouring), metric);
}

std::string reportAgeText(std::int64_t ageMinutes) {
  if (ageMinutes < 1) return "just now";
  if (ageMinutes < 120) return std::to_string(ageMinutes) + " min ago";
  if (ageMinutes < 48 * 60) {
    const std::int64_t minutes = ageMinutes % 60;
    return std::to_string(ageMinutes / 60) + " h" + (minutes ? " " + std::to_string(minutes) + " min" : "") + " ago";
  }
  return std::to_string(ageMinutes / (24 * 60)) + " days ago";
}

std::string temperatureLine(const StationWeather& weather, const DisplayUnits& units) {
  return "Temperature: " +
         (weather.temperatureC ? temperatureText(*weather.temperatureC, units.temperature) : "not reported");
}

std::string windLine(const StationWeather& weather, const DisplayUnits& units) {
  if (!weather.windSpeedKt) return "Wind: not reported";
  const bool calm = *weather.windSpeedKt == 0.0 && !weather.windGustKt;
  const WindState state = calm                      ? WindState::kCalm
                          : weather.windDirectionDeg ? WindState::kFrom
                                                     : WindState::kVariable;
  return "Wind: " + windText(state, weather.windDirectionDeg.value_or(0), *weather.windSpeedKt,
                             weather.windGustKt.value_or(std::numeric_limits<double>::quiet_NaN()), units.speed);
}

std::string visibilityLine(const StationWeather& weather, const DisplayUnits& units) {
  if (!weather.visibilityM) return "Visibility: not reported";
  const VisibilityBound bound = weather.visibilityMoreThan   ? VisibilityBound::kOrMore
                                : weather.visibilityLessThan ? VisibilityBound::kLessThan
                                                             : VisibilityBound::kExact;
  return "Visibility: " + visibilityText(*weather.visibilityM, bound, units.visibility);
}

std::string ceilingLine(const StationWeather& weather, const DisplayUnits& units) {
  return "Ceiling: " + (weather.ceilingFt ? heightText(*weather.ceilingFt, units.height) : "none");
}

std::string weatherTooltip(const Station& station, const StationWeather& weather, std::int64_t nowMinutes,
                           const DisplayUnits& units) {
  std::string text = station.name.empty() ? station.icao : station.name + " (" + station.icao + ")";
  for (const std::string& line :
       {reportAgeText(nowMinutes - weather.observedMinutes), weather.rawReport, temperatureLine(weather, units),
        windLine(weather, units), visibilityLine(weather, units), ceilingLine(weather, units)})
    text.append(1, '\n').append(line);
  text.append("\nCategory: ").append(categoryName(weather.category));
  return text;
}

std::string withThousands(long long value) {
  const std::string digits = std::to_string(value < 0 ? -(value + 1) + 1ULL : static_cast<unsigned long long>(value));
  std::string text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return value < 0 ? "-" + text : text;
}

std::string currentWeatherStatusText(const WeatherSnapshot& snapshot, bool timeUtc) {
  std::string text = "Current weather: ";
  const std::size_t count = snapshot.stations.size();
  const std::string newest = clockText(snapshot.newestMinutes * 60, timeUtc);
  if (snapshot.offline && count > 0) {
    // The stored reports, as old as they are.
    text += "offline, reports up to " + newest;
  } else if (count == 0) {
    text += "no reports";
  } else {
    text += withThousands(static_cast<long long>(count)) + (count == 1 ? " station" : " stations") +
            ", reports up to " + newest;
  }
  if (snapshot.skippedCount > 0)
    text += ", " + withThousands(snapshot.skippedCount) + (snapshot.skippedCount == 1 ? " report" : " reports") +
            " skipped";
  if (!snapshot.problem.empty()) text += " (" + snapshot.problem + ")";
  return text;
}

}  // namespace nimbrel
