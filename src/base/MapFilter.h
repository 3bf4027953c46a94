#pragma once
// What the world map's current weather leaves out: whole flight categories
// (stations without a report count as "unknown") and reports older than a
// few hours. Kept with the user's settings.
#include <optional>
#include <string>
#include <string_view>

namespace nimbrel {

// One bit per category, in the legend's order.
enum MapCategoryBit : unsigned {
  kMapVfr = 1u << 0,
  kMapMvfr = 1u << 1,
  kMapIfr = 1u << 2,
  kMapLifr = 1u << 3,
  kMapUnknown = 1u << 4,
};
inline constexpr unsigned kMapAllCategories = 0x1f;

struct MapFilter {
  unsigned hiddenCategories = 0;
  // Reports older than this many hours are hidden; 0 hides none.
  int hideOlderHours = 0;

  bool hidesAny() const { return hiddenCategories != 0 || hideOlderHours > 0; }
  bool operator==(const MapFilter&) const = default;
};

// "VFR,unknown;3h" for the settings file ("" for nothing hidden), and back;
// a text that does not read whole gives nothing, so the caller keeps its
// default.
std::string mapFilterSettingText(const MapFilter& filter);
std::optional<MapFilter> mapFilterFromSettingText(std::string_view text);
// The legend's name of a category bit: "VFR" ... "LIFR", "unknown".
const char* mapCategoryName(unsigned bit);

}  // namespace nimbrel
