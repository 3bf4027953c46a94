// Any bytes as a TAF: the decoder and the timeline must not crash, and what
// they accept must hold together (ordered periods, bounded lists and hours).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "metar/TafDecoder.h"

namespace {

nimbrel::UtcDateTime anchorFrom(const std::uint8_t*& data, std::size_t& size) {
  nimbrel::UtcDateTime anchor{2011, 12, 30, 23, 30};
  if (size < 6) return anchor;
  anchor.year = 1 + (data[0] | data[1] << 8) % 9999;
  anchor.month = 1 + data[2] % 12;
  anchor.day = 1 + data[3] % nimbrel::UtcDateTime::daysInMonth(anchor.year, anchor.month);
  anchor.hour = data[4] % 24;
  anchor.minute = data[5] % 60;
  data += 6;
  size -= 6;
  return anchor;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first bytes choose the anchor, any minute of years 1 to 9999, so
  // the calendar's ends (year 1, 9999, leap days, month ends) are reached.
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
