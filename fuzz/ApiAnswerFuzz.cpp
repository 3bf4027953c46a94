// Any bytes as the aviation weather service's JSON answers, METAR, TAF and
// the TAFs valid at a past instant: read within their limits, never a crash
// or undefined behaviour, and what is kept holds together. The first byte
// picks the clock of the reading.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "observations/MetarObservation.h"
#include "observations/TafSource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace nimbrel;
  if (size < 1) return 0;
  // Now, somewhere from 1970 to far past 2100.
  const std::int64_t now = std::int64_t{data[0]} * 40'000'000;
  const std::string_view json(reinterpret_cast<const char*>(data + 1), size - 1);

  const MetarAnswer metar = readMetarAnswer(json, now);
  if (!metar.readable && (!metar.observations.empty() || metar.skipped != 0)) __builtin_trap();
  for (const Observation& o : metar.observations)
    if (o.rawReport.empty()) __builtin_trap();

  const TafReading taf = readTafAnswer(json);
  if (taf.forecast && (!taf.ok || taf.forecast->hours.empty() || taf.forecast->rawText.empty())) __builtin_trap();
  if (!taf.ok && taf.note.empty()) __builtin_trap();

  // The past answer reads every object as the current one reads the first.
  const PastTafReading past = readTafAnswers(json);
  // Both refuse the same documents: those that are no JSON array.
  const bool unreadable = !taf.ok && taf.note == readTafAnswer("").note;
  if (past.ok == unreadable) __builtin_trap();
  if (!past.ok && (past.note.empty() || !past.forecasts.empty())) __builtin_trap();
  for (const TafForecast& f : past.forecasts)
    if (f.hours.empty() || f.rawText.empty() || f.report.nil || f.report.cancelled) __builtin_trap();
  if (taf.forecast && (past.forecasts.empty() || past.forecasts.front().rawText != taf.forecast->rawText))
    __builtin_trap();
  FetchResult fetched;
  fetched.status = FetchStatus::kOk;
  fetched.httpStatus = 200;
  fetched.body = std::string(json);
  const PastTafReading delivered = TafSource::readPastAnswer(fetched);
  if (delivered.ok != (past.ok || json.empty()) || delivered.forecasts.size() != past.forecasts.size())
    __builtin_trap();
  return 0;
}
