#include "watch/Minima.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cmath>
#include <numbers>

#include "watch/WatchList.h"

namespace nimbrel {
namespace {

struct Limit {
  const char* name;
  std::optional<int> Minima::*field;
  int most;
};

constexpr Limit kLimits[] = {
    {"ceiling", &Minima::ceilingFt, 60000}, {"visibility", &Minima::visibilityM, 100000},
    {"wind", &Minima::windKt, 200},         {"gust", &Minima::gustKt, 200},
    {"runway", &Minima::runwayDeg, 360},    {"crosswind", &Minima::crosswindKt, 200},
};

void overlay(Minima& under, const Minima& over) {
  for (const Limit& limit : kLimits)
    if (over.*limit.field) under.*limit.field = over.*limit.field;
}

std::vector<std::string_view> words(std::string_view line) {
  std::vector<std::string_view> out;
  std::size_t at = 0;
  while (true) {
    at = line.find_first_not_of(" \t\r", at);
    if (at == std::string_view::npos) break;
    const std::size_t end = std::min(line.find_first_of(" \t\r", at), line.size());
    out.push_back(line.substr(at, end - at));
    at = end;
  }
  return out;
}

// "12.5", "12".
std::string number(double value) {
  const double tenths = std::round(value * 10.0);
  std::string text = std::to_string(static_cast<long long>(tenths / 10.0));
  if (const long long rest = std::llabs(static_cast<long long>(tenths)) % 10; rest != 0) text += "." + std::to_string(rest);
  return text;
}

}  // namespace

Minima MinimaSet::forStation(std::string_view icao) const {
  Minima minima = global;
  for (const auto& [code, override] : stations)
    if (code == icao) overlay(minima, override);
  return minima;
}

MinimaReading readMinima(std::string_view text) {
  MinimaReading reading;
  int lineNumber = 0;
  std::size_t at = 0;
  bool globalSeen = false;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    ++lineNumber;
    if (const std::size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    const std::vector<std::string_view> parts = words(line);
    if (parts.empty()) continue;
    const auto fail = [&](const std::string& why) {
      reading.minima = {};
      reading.error = "line " + std::to_string(lineNumber) + ": " + why;
      return reading;
    };
    const bool global = parts[0] == "*";
    const std::string code = global ? std::string("*") : watchedCode(parts[0]);
    if (code.empty()) return fail("\"" + std::string(parts[0]) + "\" is no ICAO code or \"*\"");
    if (global ? globalSeen : [&] {
          for (const auto& station : reading.minima.stations)
            if (station.first == code) return true;
          return false;
        }())
      return fail(code + " is given twice");
    if (parts.size() == 1) return fail("no limit for " + code);
    Minima minima;
    for (std::size_t i = 1; i < parts.size(); ++i) {
      const std::size_t equals = parts[i].find('=');
      const std::string_view name = parts[i].substr(0, equals);
      const Limit* limit = nullptr;
      for (const Limit& candidate : kLimits)
        if (name == candidate.name) limit = &candidate;
      if (limit == nullptr)
        return fail("unknown limit \"" + std::string(name) +
                    "\" (ceiling, visibility, wind, gust, runway and crosswind are known)");
      if (equals == std::string_view::npos) return fail(std::string(name) + " needs a value, as " + std::string(name) + "=10");
      const std::string_view value = parts[i].substr(equals + 1);
      int number = 0;
      const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
      const int least = limit->field == &Minima::runwayDeg ? 1 : 0;
      if (ec != std::errc{} || ptr != value.data() + value.size() || number < least || number > limit->most)
        return fail(std::string(name) + " takes a whole number from " + std::to_string(least) + " to " +
                    std::to_string(limit->most) + ", not \"" + std::string(value) + "\"");
      if (minima.*limit->field) return fail(std::string(name) + " is given twice");
      minima.*limit->field = number;
    }
    if (global && minima.runwayDeg) return fail("a runway belongs to a station, not to \"*\"");
    if (minima.runwayDeg && !minima.crosswindKt && !reading.minima.global.crosswindKt)
      return fail("runway without a crosswind limit");
    if (global) {
      reading.minima.global = minima;
      globalSeen = true;
    } else {
      reading.minima.stations.emplace_back(code, minima);
    }
  }
  return reading;
}

std::string minimaText(const MinimaSet& minima) {
  std::string text;
  const auto line = [&](const std::string& code, const Minima& set) {
    if (set == Minima{}) return;
    text += code;
    for (const Limit& limit : kLimits)
      if (set.*limit.field) text += std::string(" ") + limit.name + "=" + std::to_string(*(set.*limit.field));
    text += '\n';
  };
  line("*", minima.global);
  for (const auto& [code, set] : minima.stations) line(code, set);
  return text;
}

std::optional<double> crosswindKt(const StationWeather& weather, int runwayDeg) {
  if (!weather.windSpeedKt) return std::nullopt;
  if (!weather.windDirectionDeg) return *weather.windSpeedKt;
  const double angle = (*weather.windDirectionDeg - runwayDeg) * std::numbers::pi / 180.0;
  return std::abs(*weather.windSpeedKt * std::sin(angle));
}

std::vector<std::string> belowMinima(const StationWeather& weather, const Minima& minima) {
  std::vector<std::string> broken;
  if (minima.ceilingFt && weather.ceilingFt && *weather.ceilingFt < *minima.ceilingFt)
    broken.push_back("ceiling " + std::to_string(*weather.ceilingFt) + " ft < " + std::to_string(*minima.ceilingFt));
  // "9999" and "P6SM" say only that it is at least so far: never below.
  if (minima.visibilityM && weather.visibilityM && !weather.visibilityMoreThan &&
      (*weather.visibilityM < *minima.visibilityM ||
       (weather.visibilityLessThan && *weather.visibilityM <= *minima.visibilityM)))
    broken.push_back((weather.visibilityLessThan ? "visibility less than " : "visibility ") +
                     std::to_string(std::lround(*weather.visibilityM)) + " m < " + std::to_string(*minima.visibilityM));
  if (minima.windKt && weather.windSpeedKt && *weather.windSpeedKt > *minima.windKt)
    broken.push_back("wind " + number(*weather.windSpeedKt) + " kt > " + std::to_string(*minima.windKt));
  if (minima.gustKt && weather.windGustKt && *weather.windGustKt > *minima.gustKt)
    broken.push_back("gust " + number(*weather.windGustKt) + " kt > " + std::to_string(*minima.gustKt));
  if (minima.crosswindKt && minima.runwayDeg)
    if (const std::optional<double> across = crosswindKt(weather, *minima.runwayDeg);
        across && *across > *minima.crosswindKt + 1e-9)
      broken.push_back("crosswind " + number(*across) + " kt > " + std::to_string(*minima.crosswindKt));
  return broken;
}

}  // namespace nimbrel
