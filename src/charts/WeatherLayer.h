#pragma once
// The world map's current-weather layer: every station with a report as a
// 3 x 3 point coloured by flight category or temperature, the others as
// their usual small mark, open stations on top, and a legend in a corner
// free of stations; with the hover tooltip and status-bar texts.
#include <cstdint>
#include <string>
#include <vector>

#include "base/DisplayUnits.h"
#include "base/MapFilter.h"
#include "base/Painter.h"
#include "map/MapProjection.h"
#include "catalog/Station.h"
#include "catalog/StationWeather.h"
#include "metar/FlightCategory.h"

namespace nimbrel {

enum class WeatherColouring { kFlightCategory, kTemperature };

constexpr Colour kVfrColour = rgb(0, 170, 0);
constexpr Colour kMvfrColour = rgb(0, 64, 255);
constexpr Colour kIfrColour = rgb(230, 0, 0);
constexpr Colour kLifrColour = rgb(230, 0, 230);
// A report that gives no category, or no temperature when colouring by it.
constexpr Colour kNoValueColour = rgb(128, 128, 128);

constexpr double kTemperatureScaleMinC = -40.0;
constexpr double kTemperatureScaleMaxC = 45.0;

// The flight categories' colours, on the map and in the chart's forecast strip.
Colour flightCategoryColour(FlightCategory category);
// Purple through blue, cyan, green, yellow and orange to red over the fixed
// scale; values beyond it take its end colours.
Colour temperatureColour(double celsius);
Colour weatherPointColour(const StationWeather& weather, WeatherColouring colouring);

// Where a legend of this size goes: the first of the map's lower-left,
// lower-right, upper-left and upper-right corners with no station pixel (or
// point or open mark reaching) under it; when every corner has some, the one
// with the fewest.
Rect chooseLegendCorner(const StationList& stations, Size legend);
// The same in a view: its corners (the picture's when it shows the picture),
// stations at their view pixels.
Rect chooseLegendCorner(const StationList& stations, Size legend, const MapViewport& view);
// The legend's size for the colouring, measured with the legend's font.
// With a filter, the hidden categories say so and a last line names the
// hidden ages (by temperature: everything hidden).
Size weatherLegendSize(Painter& painter, WeatherColouring colouring, bool metric, const MapFilter& filter = {});
void drawWeatherLegend(Painter& painter, WeatherColouring colouring, bool metric, const Rect& box,
                       const MapFilter& filter = {});

// The filter's bit for a category (Unknown: kMapUnknown).
unsigned mapCategoryBit(FlightCategory category);
// Whether a report shows under the filter at `nowMinutes`.
bool filterShows(const MapFilter& filter, const StationWeather& weather, std::int64_t nowMinutes);
// "Hidden: VFR, unknown; older than 1 h"; "" with nothing hidden.
std::string hiddenText(const MapFilter& filter);

// The map's own note while it has no current weather: "Offline: reports up
// to 23:45 UTC" when it shows stored or older reports for want of the
// service, "No current weather" when it has none; "" otherwise. The time in
// the zone chosen.
std::string noCurrentWeatherText(const WeatherSnapshot& snapshot, bool timeUtc);
// The note in a box of this colour at the top centre of a view this wide.
constexpr Colour kBadgeColour = rgb(255, 240, 200);
void drawMapBadge(Painter& painter, const std::string& text, int viewWidth);

// Draws over the map picture, instead of drawAllStationPoints and
// drawOpenStationMarks. `metric` chooses the temperature legend's unit.
void drawWeatherLayer(Painter& painter, const StationList& catalogue, const WeatherSnapshot& snapshot,
                      WeatherColouring colouring, const StationList& openStations, bool metric = true,
                      const MapFilter& filter = {}, std::int64_t nowMinutes = 0);
// The layer in a view. Points keep their size in pixels; zoomed in, stations
// get ICAO labels where there is room and, closer in, station plots, placed
// greedily without overlapping, the worse flight category first. Stations
// without a report are grey pixels. Reports the filter hides are left out
// (their age at `nowMinutes`); hiding "unknown" leaves out the stations
// without a report as well.
void drawWeatherLayer(Painter& painter, const StationList& catalogue, const WeatherSnapshot& snapshot,
                      WeatherColouring colouring, const StationList& openStations, bool metric,
                      const MapViewport& view, const MapFilter& filter = {}, std::int64_t nowMinutes = 0);

// The layer's parts, as drawWeatherLayer stacks them: the stations' points,
// labels and plots (on every copy of a wrapping world), then, after the open
// stations' marks, the legend in its corner.
void drawWeatherStations(Painter& painter, const StationList& catalogue, const WeatherSnapshot& snapshot,
                         WeatherColouring colouring, bool metric, const MapViewport& view,
                         const MapFilter& filter = {}, std::int64_t nowMinutes = 0,
                         const std::optional<std::vector<Rect>>& area = std::nullopt);
void drawPlacedWeatherLegend(Painter& painter, const StationList& catalogue, WeatherColouring colouring, bool metric,
                             const MapViewport& view, const MapFilter& filter = {});

// Zoom from which labels, and station plots, are tried.
constexpr double kLabelZoom = 4.0;
constexpr double kPlotZoom = 16.0;

// Greedy placement: each candidate box, in order, is kept when it overlaps
// no box kept before it. Returns, per candidate, whether it was kept.
std::vector<bool> placeWithoutOverlap(const std::vector<Rect>& candidates);

// A station plot centred on (x, y): a circle in the point's colour, a wind
// barb toward the direction the wind blows from (half barb 5 kt, barb 10 kt,
// pennant 50 kt; a ring around the circle when calm), temperature top left
// and dew point bottom left in the user's units, the ICAO code at the right.
void drawStationPlot(Painter& painter, int x, int y, const Station& station, const StationWeather& weather,
                     Colour fill, bool metric);
// The box a station plot (or its label) takes around a station's pixel.
Rect stationPlotBox(int x, int y);

// "37 min ago", "2 h 5 min ago", "just now" (also for a clock behind the report).
std::string reportAgeText(std::int64_t ageMinutes);
// Name and ICAO code, age, the raw report, then temperature, wind,
// visibility, ceiling and category, one a line ('\n'), each value once in
// the user's units.
std::string weatherTooltip(const Station& station, const StationWeather& weather, std::int64_t nowMinutes,
                           const DisplayUnits& units);
// The tooltip's value lines, shared with the station card: "Temperature:
// 12.3\xB0" "C", "Wind: ...", "Visibility: ...", "Ceiling: ...".
std::string temperatureLine(const StationWeather& weather, const DisplayUnits& units);
std::string windLine(const StationWeather& weather, const DisplayUnits& units);
std::string visibilityLine(const StationWeather& weather, const DisplayUnits& units);
std::string ceilingLine(const StationWeather& weather, const DisplayUnits& units);
// "VFR" ... "LIFR", and "unknown" for a report without a category.
const char* categoryName(FlightCategory category);
// "Current weather: 4,512 stations, reports up to 14:50 UTC", then the
// skipped reports and the reading's problem when there are any; with stored
// reports for want of the service, "Current weather: offline, reports up to
// 13:06 UTC". The time in the zone chosen (timeUtc false: the computer's).
std::string currentWeatherStatusText(const WeatherSnapshot& snapshot, bool timeUtc);
// 4512 -> "4,512".
std::string withThousands(long long value);

}  // namespace nimbrel
