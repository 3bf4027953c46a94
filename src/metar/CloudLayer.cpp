#include "metar/CloudLayer.h"

#include "metar/Word.h"

namespace nimbrel {

bool CloudLayer::isCeiling() const {
  return cover == CloudCover::Broken || cover == CloudCover::Overcast || cover == CloudCover::VerticalVisibility;
}

std::optional<int> ceilingFt(std::span<const CloudLayer> layers) {
  std::optional<int> lowest;
  for (const CloudLayer& layer : layers)
    if (layer.isCeiling() && layer.baseFt && (!lowest || *layer.baseFt < *lowest)) lowest = layer.baseFt;
  return lowest;
}

bool decodeCloudGroup(std::string_view text, CloudLayer& out) {
  if (!mayBeCloudGroup(text)) return false;
  if (isWord(text, "NSC") || isWord(text, "NCD") || isWord(text, "SKC") || isWord(text, "CLR")) {
    out = CloudLayer{};
    out.cover = isWord(text, "NSC")   ? CloudCover::NoSignificant
                : isWord(text, "NCD") ? CloudCover::NoneDetected
                : isWord(text, "SKC") ? CloudCover::SkyClear
                                : CloudCover::Clear;
    return true;
  }
  CloudLayer layer;
  std::size_t at = 3;
  if (text.size() >= 2 && text[0] == 'V' && text[1] == 'V') {
    layer.cover = CloudCover::VerticalVisibility;
    at = 2;
  } else if (text.size() < 3) {
    return false;
  } else if (startsWithWord(text, "FEW")) {
    layer.cover = CloudCover::Few;
  } else if (startsWithWord(text, "SCT")) {
    layer.cover = CloudCover::Scattered;
  } else if (startsWithWord(text, "BKN")) {
    layer.cover = CloudCover::Broken;
  } else if (startsWithWord(text, "OVC")) {
    layer.cover = CloudCover::Overcast;
  } else if (startsWithWord(text, "///")) {
    layer.cover = CloudCover::Unknown;
  } else {
    return false;
  }
  // The height: three digits in hundreds of feet, or "///"; left out
  // altogether before a type ("///TCU").
  const std::string_view afterCover = text.substr(at);
  const bool typeOnly = layer.cover == CloudCover::Unknown && (isWord(afterCover, "CB") || isWord(afterCover, "TCU"));
  if (text.size() < at + 3 && !typeOnly) return false;
  const std::string_view height = typeOnly ? std::string_view("///") : text.substr(at, 3);
  if (typeOnly) {
    at -= 3;
  } else if (isWord(height, "///")) {
    // left empty
  } else if (height[0] >= '0' && height[0] <= '9' && height[1] >= '0' && height[1] <= '9' && height[2] >= '0' &&
             height[2] <= '9') {
    layer.baseFt = ((height[0] - '0') * 100 + (height[1] - '0') * 10 + (height[2] - '0')) * 100;
  } else {
    return false;
  }
  const std::string_view type = text.substr(at + 3);
  if (type.empty()) {
  } else if (isWord(type, "CB")) {
    layer.type = CloudType::Cumulonimbus;
  } else if (isWord(type, "TCU")) {
    layer.type = CloudType::ToweringCumulus;
  } else if (isWord(type, "///") || isWord(type, "//")) {
    layer.type = CloudType::Unknown;
  } else {
    return false;
  }
  // "//////" says nothing at all: no layer.
  if (layer.cover == CloudCover::Unknown && !layer.baseFt &&
      (layer.type == CloudType::None || layer.type == CloudType::Unknown))
    return false;
  out = layer;
  return true;
}

std::string cloudText(const CloudLayer& layer) {
  std::string out;
  switch (layer.cover) {
    case CloudCover::SkyClear: return "sky clear";
    case CloudCover::Clear: return "no clouds below 12000 feet";
    case CloudCover::NoSignificant: return "no significant clouds";
    case CloudCover::NoneDetected: return "no clouds detected";
    case CloudCover::VerticalVisibility:
      out = "vertical visibility";
      out += layer.baseFt ? " " + std::to_string(*layer.baseFt) + " feet" : " unknown";
      return out;
    case CloudCover::Few: out = "few clouds"; break;
    case CloudCover::Scattered: out = "scattered clouds"; break;
    case CloudCover::Broken: out = "broken clouds"; break;
    case CloudCover::Overcast: out = "overcast"; break;
    case CloudCover::Unknown: out = "clouds of unknown amount"; break;
  }
  if (layer.baseFt) {
    out += " at ";
    out += std::to_string(*layer.baseFt);
    out += " feet";
  } else {
    out += " at unknown height";
  }
  if (layer.type == CloudType::Cumulonimbus) out += " with cumulonimbus";
  if (layer.type == CloudType::ToweringCumulus) out += " with towering cumulus";
  return out;
}

std::string cloudText(std::span<const CloudLayer> layers) {
  std::string out;
  for (const CloudLayer& layer : layers) {
    if (!out.empty()) out += "; ";
    out += cloudText(layer);
  }
  return out;
}

}  // namespace nimbrel
