#pragma once
// One cloud group: a layer ("BKN008CB", "VV002", "SCT///") or a statement
// that there are none of note ("NSC", "NCD", "SKC", "CLR").
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace nimbrel {

enum class CloudCover : std::uint8_t {
  Unknown,  // "///" in place of the amount
  Few,
  Scattered,
  Broken,
  Overcast,
  VerticalVisibility,  // sky obscured; the height is the vertical visibility
  SkyClear,            // SKC
  Clear,               // CLR: none below 12,000 ft by the automatic sensor
  NoSignificant,       // NSC
  NoneDetected,        // NCD
};

enum class CloudType : std::uint8_t { None, Cumulonimbus, ToweringCumulus, Unknown };

struct CloudLayer {
  CloudCover cover = CloudCover::Unknown;
  std::optional<int> baseFt;  // empty for "///" and for the no-cloud statements
  CloudType type = CloudType::None;

  // BKN, OVC and VV make a ceiling.
  bool isCeiling() const;
  friend bool operator==(const CloudLayer&, const CloudLayer&) = default;
};

// "scattered clouds at 9000 feet", "broken clouds at 2500 feet with cumulonimbus",
// "vertical visibility 200 feet", "no significant clouds".
std::string cloudText(const CloudLayer& layer);
// The layers joined by "; ".
std::string cloudText(std::span<const CloudLayer> layers);

// The lowest BKN, OVC or VV base, nothing else.
std::optional<int> ceilingFt(std::span<const CloudLayer> layers);

// Whether `text` may be a cloud group by its first character (FEW, SCT, BKN,
// OVC, VV, "///", NSC, NCD, SKC, CLR). Inline: most groups are asked.
inline bool mayBeCloudGroup(std::string_view text) {
  if (text.empty()) return false;
  switch (text[0]) {
    case 'F': case 'S': case 'B': case 'O': case 'V': case '/': case 'N': case 'C': return true;
    default: return false;
  }
}

bool decodeCloudGroup(std::string_view text, CloudLayer& out);

}  // namespace nimbrel
