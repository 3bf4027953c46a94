#include "metar/RunwayVisualRange.h"

#include "metar/Digits.h"
#include "metar/Word.h"

namespace nimbrel {

namespace {

constexpr double kMetresPerFoot = 0.3048;

// "[PM]dddd" at the front of `text`; moves past it.
bool readRange(std::string_view& text, std::optional<int>& value, char& prefix) {
  if (!text.empty() && (text[0] == 'P' || text[0] == 'M')) {
    prefix = text[0];
    text.remove_prefix(1);
  }
  if (text.size() < 4) return false;
  const int v = digits::value(text.substr(0, 4));
  if (v < 0) return false;
  value = v;
  text.remove_prefix(4);
  return true;
}

}  // namespace

std::optional<double> RunwayVisualRange::valueMetres() const {
  if (!value) return std::nullopt;
  return feet ? *value * kMetresPerFoot : *value;
}

std::optional<double> RunwayVisualRange::maxValueMetres() const {
  if (!maxValue) return std::nullopt;
  return feet ? *maxValue * kMetresPerFoot : *maxValue;
}

bool decodeRunwayVisualRange(std::string_view text, RunwayVisualRange& out) {
  if (text.size() < 8 || text[0] != 'R' || !digits::isDigit(text[1]) || !digits::isDigit(text[2])) return false;
  RunwayVisualRange rvr;
  std::size_t at = 3;
  if (text[3] == 'L' || text[3] == 'C' || text[3] == 'R') at = 4;
  if (text[at] != '/') return false;
  for (std::size_t i = 1; i < at; ++i) rvr.runway[i - 1] = text[i];
  std::string_view rest = text.substr(at + 1);
  // Not available, perhaps with a trend letter left on: "R34/////", "R34/////N".
  if (rest.size() >= 4 && rest.size() <= 6 && digits::allSlashes(rest.substr(0, 4))) {
    // Six slashes are a runway state not available ("R21//////"), not this.
    std::string_view after = rest.substr(4);
    if (!after.empty() && after[0] == '/') after.remove_prefix(1);
    if (after.empty() || (after.size() == 1 && (after[0] == 'U' || after[0] == 'D' || after[0] == 'N'))) {
      if (!after.empty()) rvr.trend = after[0];
      out = rvr;
      return true;
    }
  }
  if (!readRange(rest, rvr.value, rvr.valuePrefix)) return false;
  if (!rest.empty() && rest[0] == 'V') {
    rest.remove_prefix(1);
    if (!readRange(rest, rvr.maxValue, rvr.maxPrefix)) return false;
  }
  if (startsWithWord(rest, "FT")) {
    rvr.feet = true;
    rest.remove_prefix(2);
  }
  if (!rest.empty() && rest[0] == '/') rest.remove_prefix(1);
  if (rest.size() == 1 && (rest[0] == 'U' || rest[0] == 'D' || rest[0] == 'N')) {
    rvr.trend = rest[0];
    rest.remove_prefix(1);
  }
  if (!rest.empty()) return false;
  out = rvr;
  return true;
}

}  // namespace nimbrel
