#include "base/MapFilter.h"

namespace nimbrel {
namespace {

constexpr unsigned kBits[] = {kMapVfr, kMapMvfr, kMapIfr, kMapLifr, kMapUnknown};

}  // namespace

const char* mapCategoryName(unsigned bit) {
  switch (bit) {
    case kMapVfr: return "VFR";
    case kMapMvfr: return "MVFR";
    case kMapIfr: return "IFR";
    case kMapLifr: return "LIFR";
    case kMapUnknown: return "unknown";
    default: return "";
  }
}

std::string mapFilterSettingText(const MapFilter& filter) {
  std::string text;
  for (const unsigned bit : kBits)
    if (filter.hiddenCategories & bit) text.append(text.empty() ? "" : ",").append(mapCategoryName(bit));
  if (filter.hideOlderHours > 0) text.append(";").append(std::to_string(filter.hideOlderHours)).append("h");
  return text;
}

std::optional<MapFilter> mapFilterFromSettingText(std::string_view text) {
  MapFilter filter;
  const std::size_t semicolon = text.find(';');
  std::string_view categories = text.substr(0, semicolon);
  while (!categories.empty()) {
    const std::size_t comma = categories.find(',');
    const std::string_view name = categories.substr(0, comma);
    unsigned found = 0;
    for (const unsigned bit : kBits)
      if (name == mapCategoryName(bit)) found = bit;
    if (found == 0) return std::nullopt;
    filter.hiddenCategories |= found;
    if (comma == std::string_view::npos) break;
    categories.remove_prefix(comma + 1);
    // "VFR," leaves an empty name, which no category has.
    if (categories.empty()) return std::nullopt;
  }
  if (semicolon != std::string_view::npos) {
    const std::string_view age = text.substr(semicolon + 1);
    // Only the steps the menu offers.
    if (age == "1h") filter.hideOlderHours = 1;
    else if (age == "3h") filter.hideOlderHours = 3;
    else return std::nullopt;
  }
  return filter;
}

}  // namespace nimbrel
