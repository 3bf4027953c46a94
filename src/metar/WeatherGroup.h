#pragma once
// One present or recent weather group ("-SHRA", "VCTS", "REFZDZ") kept as
// compact codes; the words are made only when asked for.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace nimbrel {

enum class WeatherIntensity : std::uint8_t { Moderate, Light, Heavy };

enum class WeatherDescriptor : std::uint8_t {
  None, Shallow, Patches, Partial, LowDrifting, Blowing, Showers, Thunderstorm, Freezing
};

enum class WeatherPhenomenon : std::uint8_t {
  None, Drizzle, Rain, Snow, SnowGrains, IceCrystals, IcePellets, Hail, SmallHail, UnknownPrecipitation,
  Mist, Fog, Smoke, VolcanicAsh, Dust, Sand, Haze, Spray, DustWhirls, Squalls, FunnelCloud, Sandstorm, Duststorm
};

struct WeatherGroup {
  static constexpr std::size_t kMaxPhenomena = 4;

  WeatherIntensity intensity = WeatherIntensity::Moderate;
  WeatherDescriptor descriptor = WeatherDescriptor::None;
  bool vicinity = false;
  bool recent = false;
  std::array<WeatherPhenomenon, kMaxPhenomena> phenomena{};  // None-terminated

  std::size_t phenomenonCount() const;
  bool has(WeatherPhenomenon p) const;
  friend bool operator==(const WeatherGroup&, const WeatherGroup&) = default;
};

// Plain words: "light rain showers", "thunderstorm with heavy rain",
// "showers in the vicinity", "recent freezing drizzle".
std::string weatherText(const WeatherGroup& group);
void appendWeatherText(std::string& out, const WeatherGroup& group);
// The groups joined by "; ", e.g. "light rain; mist".
std::string weatherText(std::span<const WeatherGroup> groups);
// The group as a report writes it: "-SHRA", "VCTS", "REFZDZ", "+TSRASN".
std::string weatherCode(const WeatherGroup& group);

// Every code is two letters: a group that does not end in one (a cloud, a
// temperature, a pressure) is no weather. Inline: most groups are asked.
inline bool mayBeWeatherGroup(std::string_view text) {
  return !text.empty() && text.back() >= 'A' && text.back() <= 'Z';
}

// Decodes one group; false when the text is not a weather group. "RE" makes
// a recent-weather group; "//" and "NSW" are not weather groups here.
bool decodeWeatherGroup(std::string_view text, WeatherGroup& out);

}  // namespace nimbrel
