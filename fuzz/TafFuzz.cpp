// Any bytes as a TAF: the decoder and the timeline must not crash, and what
// they accept must hold together (ordered periods, bounded lists and hours).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzAnchor.h"
#include "metar/TafDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  nimbrel::UtcDateTime anchor = anchorFrom(data, size);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const nimbrel::TafReport taf = nimbrel::decodeTaf(text, anchor);
  if (taf.status == nimbrel::MetarStatus::Rejected) {
    if (!taf.groups.empty()) __builtin_trap();
    return 0;
  }
  if (taf.station.size() != 4 || taf.notDecoded.size() > nimbrel::TafReport::kMaxNotDecodedKept) __builtin_trap();
  if (taf.nil) return 0;
  if (!taf.validFrom.isValid() || !taf.validTo.isValid() || taf.validTo < taf.validFrom) __builtin_trap();
  if (taf.groups.empty() || taf.groups[0].kind != nimbrel::TafGroupKind::Base ||
      taf.groups.size() > nimbrel::TafReport::kMaxGroups)
    __builtin_trap();
  std::size_t groupNotDecoded = 0;
  for (const nimbrel::TafGroup& g : taf.groups) {
    if (g.to < g.from || !g.from.isValid() || !g.to.isValid()) __builtin_trap();
    groupNotDecoded += g.notDecodedCount;
    const std::string words = nimbrel::weatherText(g.conditions.weather.view()) +
                              nimbrel::cloudText(g.conditions.clouds.view()) +
                              nimbrel::flightCategoryText(g.flightCategory());
    if (!g.conditions.weather.empty() && words.empty()) __builtin_trap();
  }
  if (groupNotDecoded != taf.notDecodedCount) __builtin_trap();
  const std::vector<nimbrel::TafHour> hours = nimbrel::timeline(taf);
  if (hours.size() > 24 * 31) __builtin_trap();
  for (const nimbrel::TafHour& h : hours)
    for (std::size_t index : h.possible)
      if (index == 0 || index >= taf.groups.size()) __builtin_trap();
  return 0;
}
