#include "charts/StationCardText.h"

#include <optional>

#include "base/ClockText.h"
#include "charts/WeatherLayer.h"

namespace nimbrel {
namespace {

std::string groupLabel(const TafGroup& group) {
  switch (group.kind) {
    case TafGroupKind::Base: return "BASE";
    case TafGroupKind::From: return "FM";
    case TafGroupKind::Becoming: return "BECMG";
    case TafGroupKind::Temporary: return group.intermittent ? "INTER" : "TEMPO";
    case TafGroupKind::Probability: return "PROB" + std::to_string(group.probability);
    case TafGroupKind::ProbabilityTemporary:
      return "PROB" + std::to_string(group.probability) + (group.intermittent ? " INTER" : " TEMPO");
  }
  return {};
}

std::string shownClock(const UtcDateTime& at, bool timeUtc) { return clockText(at.epochMinutes() * 60, timeUtc); }

}  // namespace

StationCardText stationCardText(const Station& station, const StationWeather* weather, std::int64_t nowMinutes,
                                const DisplayUnits& units, bool timeUtc) {
  StationCardText card;
  card.title = station.name.empty() ? station.icao : station.name;
  card.codes = station.iata.empty() ? station.icao : station.icao + " / " + station.iata;
  if (weather == nullptr) {
    card.category = "No current report";
    return card;
  }
  card.category = categoryName(weather->category);
  card.age = "Observed " + clockText(weather->observedMinutes * 60, timeUtc) + ", " +
             reportAgeText(nowMinutes - weather->observedMinutes);
  card.values = {windLine(*weather, units), visibilityLine(*weather, units), ceilingLine(*weather, units),
                 temperatureLine(*weather, units),
                 "Dew point: " + (weather->dewPointC ? temperatureText(*weather->dewPointC, units.temperature)
                                                     : std::string("not reported"))};
  card.rawReport = weather->rawReport;
  return card;
}

std::string nextChangeText(const TafReport& taf, std::int64_t nowMinutes, bool timeUtc) {
  if (taf.validTo.epochMinutes() <= nowMinutes) return "Forecast ended at " + shownClock(taf.validTo, timeUtc);
  // Groups are mostly in time order, but not always: the earliest start wins.
  const TafGroup* next = nullptr;
  for (const TafGroup& group : taf.groups) {
    if (group.kind == TafGroupKind::Base || group.from.epochMinutes() <= nowMinutes) continue;
    if (group.from >= taf.validTo) continue;
    if (next == nullptr || group.from < next->from) next = &group;
  }
  if (next == nullptr) return "No change forecast until " + shownClock(taf.validTo, timeUtc);
  std::string text = "Next change: " + groupLabel(*next) + " " + shownClock(next->from, timeUtc);
  if (next->kind != TafGroupKind::From) text += " to " + shownClock(next->to, timeUtc);
  if (next->flightCategory() != FlightCategory::Unknown)
    text += std::string(": ") + flightCategoryText(next->flightCategory());
  return text;
}

}  // namespace nimbrel
