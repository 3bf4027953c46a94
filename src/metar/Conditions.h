#pragma once
// The weather groups a METAR body, a METAR trend and a TAF group share:
// wind, visibility, weather and clouds, decoded by one set of readers.
#include <optional>
#include <string_view>

#include "metar/CloudLayer.h"
#include "metar/FixedList.h"
#include "metar/FlightCategory.h"
#include "metar/Visibility.h"
#include "metar/WeatherGroup.h"
#include "metar/Wind.h"

namespace nimbrel {

struct Conditions {
  Wind wind;
  Visibility visibility;
  bool cavok = false;                 // visibility 10 km or more, no cloud of note, no weather
  bool noSignificantWeather = false;  // NSW
  FixedList<WeatherGroup, 6> weather;
  FixedList<CloudLayer, 8> clouds;

  std::optional<int> ceilingFt() const { return nimbrel::ceilingFt(clouds.view()); }
  FlightCategory flightCategory() const { return nimbrel::flightCategory(visibility.prevailingM, ceilingFt()); }
};

// Reads one wind, wind variation, visibility, CAVOK, NSW, weather or cloud
// group at `text` (with `next` and `afterNext` for the forms split by a
// space: "1 1/2SM", "2 1/2 SM", "08005 KT"). Returns how many groups it
// took, 0 when the text is none of these or its place is already taken
// (a second wind never overwrites the first).
int decodeConditionGroups(std::string_view text, std::string_view next, Conditions& out,
                          std::string_view afterNext = {});

// Whether decodeConditionGroups may need the group after `next`: only for
// a fraction of a mile whose unit is split off.
inline bool needsAfterNext(std::string_view next) {
  return next.size() >= 3 && next.size() <= 4 && next.find('/') != std::string_view::npos;
}

}  // namespace nimbrel
