#include "observations/ApiJson.h"

#include <nlohmann/json.hpp>

#include <chrono>

namespace nimbrel {
namespace {

// The nesting depth of a JSON text, strings skipped; stops counting once
// past `limit`. A full parse of a deep text would take the stack and
// gigabytes first.
int nestingDepth(std::string_view text, int limit) {
  int depth = 0;
  int deepest = 0;
  bool inString = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\') ++i;
      else if (c == '"') inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > deepest && (deepest = depth) > limit) return deepest;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return deepest;
}

// 0001-01-01T00:00Z and the first second after 9999-12-31T23:59Z.
constexpr std::int64_t kFirstSecond = -62135596800;
constexpr std::int64_t kEndSecond = 253402300800;

}  // namespace

nlohmann::json parseApiJson(std::string_view json) {
  if (json.size() > kMaxApiAnswerBytes || nestingDepth(json, kMaxApiJsonDepth) > kMaxApiJsonDepth)
    return nlohmann::json(nlohmann::json::value_t::discarded);
  return nlohmann::json::parse(json.begin(), json.end(), nullptr, false);
}

std::optional<UtcDateTime> epochSecondsToUtc(std::int64_t seconds) {
  if (seconds < kFirstSecond || seconds >= kEndSecond) return std::nullopt;
  // Floor division: a second before 1970 belongs to the minute before.
  const std::int64_t minutes = seconds >= 0 ? seconds / 60 : -((-seconds + 59) / 60);
  return UtcDateTime::fromEpochMinutes(minutes);
}

std::int64_t epochSecondsNow() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

}  // namespace nimbrel
