#include "metar/Conditions.h"

namespace nimbrel {

int decodeConditionGroups(std::string_view text, std::string_view next, Conditions& out) {
  if (text.empty()) return 0;
  if (!out.wind.reported) {
    Wind wind;
    if (decodeWindGroup(text, wind)) {
      out.wind = wind;
      return 1;
    }
  } else if (!out.wind.variableFromDeg && decodeWindVariation(text, out.wind)) {
    return 1;
  }
  if (text == "CAVOK") {
    if (out.cavok || out.visibility.reported) return 0;
    out.cavok = true;
    out.visibility.reported = true;
    out.visibility.prevailingM = 10000;
    out.visibility.moreThan = true;
    return 1;
  }
  if (text == "NSW") {
    out.noSignificantWeather = true;
    return 1;
  }
  if (const int taken = decodeVisibilityGroups(text, next, out.visibility)) return taken;
  WeatherGroup weather;
  if (decodeWeatherGroup(text, weather) && !weather.recent) return out.weather.push(weather) ? 1 : 0;
  CloudLayer layer;
  if (decodeCloudGroup(text, layer)) return out.clouds.push(layer) ? 1 : 0;
  return 0;
}

}  // namespace nimbrel
