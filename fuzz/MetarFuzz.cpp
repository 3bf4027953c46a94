// Any bytes as a METAR: the decoder must not crash, and what it accepts must
// hold together (a real calendar time, bounded lists, texts that build).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzAnchor.h"
#include "metar/MetarDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  nimbrel::UtcDateTime anchor = anchorFrom(data, size);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // Report by report, the line always shrinks, and within what it was.
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::string_view before = rest;
    const nimbrel::MetarReport piece = nimbrel::decodeNextMetar(rest, anchor);
    if (rest.size() >= before.size() || (!rest.empty() && rest.data() + rest.size() != before.data() + before.size()))
      __builtin_trap();
    if (piece.status != nimbrel::MetarStatus::Rejected && !piece.time.isValid()) __builtin_trap();
  }
  const nimbrel::MetarReport report = nimbrel::decodeMetar(text, anchor);
  if (report.status == nimbrel::MetarStatus::Rejected) return 0;
  if (!report.time.isValid() || report.time > anchor.addDays(2) || report.station.size() != 4) __builtin_trap();
  if (report.notDecoded.size() > nimbrel::MetarReport::kMaxNotDecodedKept ||
      report.notDecodedCount < report.notDecoded.size())
    __builtin_trap();
  if ((report.status == nimbrel::MetarStatus::Ok) != (report.notDecodedCount == 0)) __builtin_trap();
  if (const auto rh = report.relativeHumidity(); rh && !(*rh <= 100.0)) __builtin_trap();
  // Nothing outside what the air can do.
  if (report.pressureHpa && !(*report.pressureHpa >= nimbrel::kMinPressureHpa &&
                              *report.pressureHpa <= nimbrel::kMaxPressureHpa))
    __builtin_trap();
  if (report.current.wind.speedKt && !(*report.current.wind.speedKt < nimbrel::kMaxMeanWindKt)) __builtin_trap();
  const nimbrel::Wind& wind = report.current.wind;
  if (wind.isCalm() && (wind.directionDeg || wind.variable)) __builtin_trap();
  if (const auto v = report.current.visibility.prevailingM; v && *v < 0) __builtin_trap();
  const auto ceiling = report.ceilingFt();
  for (const nimbrel::CloudLayer& layer : report.current.clouds)
    if (layer.isCeiling() && layer.baseFt && ceiling && *layer.baseFt < *ceiling) __builtin_trap();
  // The words are made on demand; they must build for whatever was decoded.
  const std::string words = nimbrel::weatherText(report.current.weather.view()) +
                            nimbrel::weatherText(report.recentWeather.view()) +
                            nimbrel::cloudText(report.current.clouds.view()) +
                            nimbrel::flightCategoryText(report.flightCategory());
  if (!report.current.weather.empty() && words.empty()) __builtin_trap();
  return 0;
}
