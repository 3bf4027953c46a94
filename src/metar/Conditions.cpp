#include "metar/Conditions.h"

#include "metar/Word.h"

namespace nimbrel {

int decodeConditionGroups(std::string_view text, std::string_view next, Conditions& out,
                          std::string_view afterNext) {
  if (text.empty()) return 0;
  if (!out.wind.reported) {
    // Each writes the wind only when it reads one.
    if (decodeWindGroup(text, out.wind)) return 1;
    if (decodeSplitWindGroup(text, next, out.wind)) return 2;
  } else if (!out.wind.variableFromDeg && decodeWindVariation(text, out.wind)) {
    return 1;
  }
  if (isWord(text, "CAVOK")) {
    if (out.cavok || out.visibility.reported) return 0;
    out.cavok = true;
    out.visibility.reported = true;
    out.visibility.prevailingM = 10000;
    out.visibility.moreThan = true;
    return 1;
  }
  if (isWord(text, "NSW")) {
    out.noSignificantWeather = true;
    return 1;
  }
  if (mayBeVisibilityGroup(text, out.visibility))
    if (const int taken = decodeVisibilityGroups(text, next, out.visibility, afterNext)) return taken;
  const bool mayBeWeather = mayBeWeatherGroup(text);  // asked here first: most groups are not
  WeatherGroup weather;
  if (mayBeWeather && decodeWeatherGroup(text, weather) && !weather.recent) return out.weather.push(weather) ? 1 : 0;
  CloudLayer layer;
  if (mayBeCloudGroup(text) && decodeCloudGroup(text, layer)) return out.clouds.push(layer) ? 1 : 0;
  // Two weather groups written with a slash between ("SA/TSRA", "HZ/-RA").
  const std::size_t slash = mayBeWeather ? findChar(text, '/') : std::string_view::npos;
  if (slash != std::string_view::npos && slash > 0 && findChar(text, '/', slash + 1) == std::string_view::npos) {
    WeatherGroup first, second;
    if (decodeWeatherGroup(text.substr(0, slash), first) && decodeWeatherGroup(text.substr(slash + 1), second) &&
        !first.recent && !second.recent && out.weather.size() + 2 <= out.weather.capacity()) {
      out.weather.push(first);
      out.weather.push(second);
      return 1;
    }
  }
  return 0;
}

}  // namespace nimbrel
