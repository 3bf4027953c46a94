#pragma once
// The aviation weather service's JSON answers, read within limits: a
// server's answer is never trusted to be small or shallow, nor its times
// to be possible.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

#include "metar/UtcDateTime.h"

namespace nimbrel {

// One station's answer is a few KB; fifteen days of reports some hundreds.
inline constexpr std::size_t kMaxApiAnswerBytes = std::size_t{4} << 20;
// The service's answers nest four deep at most.
inline constexpr int kMaxApiJsonDepth = 32;

// The parsed answer, or a discarded value when it is not JSON, is larger
// than kMaxApiAnswerBytes or nests deeper than kMaxApiJsonDepth. (Callers
// include <nlohmann/json.hpp>; this header only names the type, so the
// program's other files are not compiled with all of it.)
nlohmann::json parseApiJson(std::string_view json);

// Seconds since 1970 as a date, when it lies within the years 1 to 9999.
std::optional<UtcDateTime> epochSecondsToUtc(std::int64_t seconds);

// Now, in seconds since 1970.
std::int64_t epochSecondsNow();

}  // namespace nimbrel
