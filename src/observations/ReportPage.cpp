#include "observations/ReportPage.h"

#include <string.h>

#include <array>
#include <charconv>
#include <cstddef>

#include "observations/ReportDateTime.h"

namespace nimbrel {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// A first-byte scan with memchr and a compare: most searches here run a few
// dozen bytes, where memmem's per-call table set-up costs more than it saves.
std::size_t Find(std::string_view text, std::string_view needle, std::size_t from) {
  if (from > text.size()) return npos;
  if (needle.empty()) return from;
  if (needle.size() > text.size() - from) return npos;
  const char* const base = text.data();
  const char* p = base + from;
  const char* const last = base + text.size() - needle.size();
  const char first = needle.front();
  const std::size_t rest = needle.size() - 1;
  while (p <= last) {
    p = static_cast<const char*>(memchr(p, first, static_cast<std::size_t>(last - p) + 1));
    if (p == nullptr) return npos;
    std::size_t k = 1;
    while (k <= rest && p[k] == needle[k]) ++k;
    if (k > rest) return static_cast<std::size_t>(p - base);
    ++p;
  }
  return npos;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct Replacement {
  std::string_view from;
  std::string_view to;
};

const std::array<Replacement, 15> kReplacements = {{
    {"  ", " "},
    {"\n", " "},
    {"&#34;", "\""},
    {"&#33;", "!"},
    {"&#36;", "$"},
    {"&#37;", "%"},
    {"&#38;", "&"},
    {"&#45;", "-"},
    {"&#46;", "."},
    {"&#47;", "/"},
    {"&#60;", "<"},
    {"&#62;", ">"},
    {"&#160;", " "},
    {"&#247;", "-"},
    {"&deg;", "\xB0"},
}};

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  std::size_t hit = Find(text, from, 0);
  if (hit == npos) return;
  std::string result;
  result.reserve(text.size());
  std::size_t done = 0;
  while (hit != npos) {
    result.append(text, done, hit - done);
    result.append(to);
    done = hit + from.size();
    hit = Find(text, from, done);
  }
  result.append(text, done, npos);
  text.swap(result);
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  return text;
}

// The raw text between start and end marker, the chain standing at anchorPos
// (npos when the anchor was not found).
std::string_view RawBetween(std::string_view text, std::size_t anchorPos, std::string_view startMarker,
                            std::string_view endMarker, std::size_t* endPos = nullptr) {
  if (anchorPos == npos) return {};
  const std::size_t b = Find(text, startMarker, anchorPos);
  if (b == npos) return {};
  const std::size_t c = Find(text, endMarker, b);
  if (c == npos) return {};
  if (endPos != nullptr) *endPos = c;
  const std::size_t from = b + startMarker.size();
  if (c <= from) return {};
  return text.substr(from, c - from);
}

std::string Clean(std::string_view raw) {
  if (raw.empty()) return {};
  if (raw.find('&') == std::string_view::npos && raw.find('\n') == std::string_view::npos &&
      raw.find("  ") == std::string_view::npos)
    return std::string(Trim(raw));
  std::string text = DecodeEntities(raw);
  const std::string_view trimmed = Trim(text);
  if (trimmed.size() == text.size()) return text;
  return std::string(trimmed);
}

// Rule A with the sign kept: the integer part and the fraction digits read
// as one number, so "-0" and "4" give -0.4. hasNumber tells whether the
// integer part held a number at all.
double ReadSplitDecimal(std::string_view integerText, std::string_view fractionText, bool& hasNumber) {
  hasNumber = false;
  std::size_t i = 0;
  while (i < integerText.size() && IsSpace(integerText[i])) ++i;
  const std::size_t signStart = i;
  if (i < integerText.size() && (integerText[i] == '-' || integerText[i] == '+')) ++i;
  const std::size_t digitStart = i;
  while (i < integerText.size() && IsDigit(integerText[i])) ++i;
  if (i == digitStart) return 0.0;
  hasNumber = true;
  std::string joined(integerText.substr(signStart, i - signStart));
  joined += '.';
  joined.append(fractionText);
  return ReadNumber(joined);
}


// The row names a report's chains start from: each chain starts at the
// first occurrence of its anchor in the report's stretch, looked up once.
enum Anchor { kTemperature, kDewpoint, kPressure, kWinds, kVisibility, kCeiling, kClouds, kWeather, kHg, kAnchors };

constexpr std::array<std::string_view, kAnchors> kAnchorNames = {
    "Temperature", "Dewpoint", "Pressure", "Winds", "Visibility", "Ceiling", "Clouds", "Present Weather", "Hg ("};

std::array<std::size_t, kAnchors> FindAnchors(std::string_view stretch) {
  std::array<std::size_t, kAnchors> positions;
  for (std::size_t a = 0; a < kAnchorNames.size(); ++a) positions[a] = Find(stretch, kAnchorNames[a], 0);
  return positions;
}

// The entity rules present in a text, one bit per rule of kReplacements.
unsigned EntityRulesPresent(std::string_view text) {
  unsigned present = 0;
  std::size_t at = text.find('&');
  while (at != std::string_view::npos) {
    for (std::size_t r = 2; r < kReplacements.size(); ++r) {
      if (text.compare(at, kReplacements[r].from.size(), kReplacements[r].from) == 0) {
        present |= 1u << r;
        break;
      }
    }
    at = text.find('&', at + 1);
  }
  return present;
}

}  // namespace

std::string DecodeEntities(std::string_view text) {
  if (text.find("&#38;") == std::string_view::npos) {
    // No entity can then make another, and no two can overlap, so one pass
    // replacing each at its place gives what the rules one after another give.
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
      const char c = text[i];
      if (c == ' ' && i + 1 < text.size() && text[i + 1] == ' ') {
        result += ' ';
        i += 2;
      } else if (c == '\n') {
        result += ' ';
        ++i;
      } else if (c == '&') {
        std::size_t r = 2;
        while (r < kReplacements.size() && text.compare(i, kReplacements[r].from.size(), kReplacements[r].from) != 0)
          ++r;
        if (r < kReplacements.size()) {
          result += kReplacements[r].to;
          i += kReplacements[r].from.size();
        } else {
          result += c;
          ++i;
        }
      } else {
        result += c;
        ++i;
      }
    }
    return result;
  }
  std::string result(text);
  ReplaceAll(result, kReplacements[0].from, kReplacements[0].to);
  ReplaceAll(result, kReplacements[1].from, kReplacements[1].to);
  // A rule whose entity is not in the text changes nothing, so only the
  // rules present run, in their order. Only "&#38;" makes new entities
  // (it yields an ampersand), so the text is looked at again after it.
  unsigned present = EntityRulesPresent(result);
  for (std::size_t r = 2; r < kReplacements.size() && present != 0; ++r) {
    if ((present & (1u << r)) == 0) continue;
    ReplaceAll(result, kReplacements[r].from, kReplacements[r].to);
    if (kReplacements[r].to == "&") present = EntityRulesPresent(result) & ~((2u << r) - 1);
  }
  return result;
}

std::string ExtractBetween(std::string_view text, std::string_view anchor, std::string_view startMarker,
                           std::string_view endMarker, int occurrence) {
  std::size_t pos = 0;
  std::string_view raw;
  for (int link = 0; link < occurrence; ++link) {
    const std::size_t a = anchor.empty() ? (pos <= text.size() ? pos : npos) : Find(text, anchor, pos);
    std::size_t c = npos;
    raw = RawBetween(text, a, startMarker, endMarker, &c);
    if (c == npos) return {};
    pos = c;
  }
  return Clean(raw);
}


bool ReadReport(std::string_view stretch, CObservation& observation, bool& dateOk) {
  static constexpr std::string_view kCell = "<TD ALIGN=\"left\">";
  static constexpr std::string_view kCellEnd = "</TD>";
  ClearObservation(observation);
  dateOk = true;

  // Each anchor is looked up once; every chain of the report starts there.
  const std::size_t conditions = Find(stretch, "Conditions", 0);
  const std::string observedText = Clean(RawBetween(stretch, conditions, "observed", "&#160;"));
  if (observedText.empty()) return false;
  const std::string utcText = Clean(RawBetween(stretch, conditions, "&#160;&#160;", "&#160;UTC"));
  if (!utcText.empty()) {
    CReportDateTime when;
    std::int64_t seconds = 0;
    if (!ParseReportDateTime(utcText + " " + observedText, when) || !ConvertReportTime(when, seconds)) {
      dateOk = false;
      return true;
    }
    observation.observedAt = seconds;
  }

  const auto anchors = FindAnchors(stretch);
  const std::size_t temperature = anchors[kTemperature];
  const std::size_t dewpoint = anchors[kDewpoint];
  const std::size_t pressure = anchors[kPressure];
  const std::size_t winds = anchors[kWinds];
  const std::size_t visibility = anchors[kVisibility];

  bool hasNumber = false;
  std::string_view integer = RawBetween(stretch, temperature, kCell, "&#46;");
  if (!integer.empty())
    observation.temperature =
        ReadSplitDecimal(Clean(integer), Clean(RawBetween(stretch, temperature, "&#46;", "&deg;C")), hasNumber);

  integer = RawBetween(stretch, dewpoint, kCell, "&#46;");
  if (!integer.empty())
    observation.dewpoint =
        ReadSplitDecimal(Clean(integer), Clean(RawBetween(stretch, dewpoint, "&#46;", "&deg;C")), hasNumber);
  observation.humidity = ReadNumber(Clean(RawBetween(stretch, dewpoint, "RH&#160;=&#160;", "&#37;")));

  integer = RawBetween(stretch, pressure, "Hg (", "&#46;");
  if (!integer.empty()) {
    const double millibars = ReadSplitDecimal(
        Clean(integer), Clean(RawBetween(stretch, anchors[kHg], "&#46;", "&#160;mb)")), hasNumber);
    if (hasNumber) observation.pressure = millibars - 1000.0;
  }
  observation.pressureInches = ReadNumber(Clean(RawBetween(stretch, pressure, kCell, "&#160;inches")));

  observation.windsText = Clean(RawBetween(stretch, winds, kCell, kCellEnd));
  // Only this report's own wind cell decides: a calm or variable wind has
  // no direction, whatever parentheses follow it.
  if (observation.windsText.find("degrees") != std::string::npos)
    observation.windDirection = ReadNumber(Clean(RawBetween(stretch, winds, "(", "&#160;")));
  observation.windSpeed = ReadNumber(Clean(RawBetween(stretch, winds, "knots;", "&#160;")));
  observation.visibility = ReadNumber(Clean(RawBetween(stretch, visibility, "(", "km")));

  observation.conditionsText = Clean(RawBetween(stretch, Find(stretch, "Conditions at", 0), kCell, kCellEnd));
  observation.temperatureText = Clean(RawBetween(stretch, temperature, kCell, kCellEnd));
  observation.dewpointText = Clean(RawBetween(stretch, dewpoint, kCell, kCellEnd));
  observation.pressureText = Clean(RawBetween(stretch, pressure, kCell, kCellEnd));
  observation.visibilityText = Clean(RawBetween(stretch, visibility, kCell, kCellEnd));
  observation.ceilingText = Clean(RawBetween(stretch, anchors[kCeiling], kCell, kCellEnd));
  observation.cloudsText = Clean(RawBetween(stretch, anchors[kClouds], kCell, kCellEnd));
  observation.weatherText = Clean(RawBetween(stretch, anchors[kWeather], kCell, kCellEnd));
  observation.reportText = Clean(RawBetween(stretch, 0, "<SPAN CLASS=\"monospace\">", "<BR>"));
  return true;
}

ReportPageStatus ReadReportPage(std::string_view page, CObservationArray* observations) {
  static constexpr std::string_view kReportStart = "Conditions at";
  if (page.empty()) return ReportPageStatus::kEmpty;
  if (Find(page, "Sorry", 0) != npos) return ReportPageStatus::kSorry;

  CObservation observation;
  int count = 0;
  std::size_t start = Find(page, kReportStart, 0);
  while (start != npos) {
    const std::size_t next = Find(page, kReportStart, start + kReportStart.size());
    const std::string_view stretch = page.substr(start, next == npos ? npos : next - start);
    bool dateOk = true;
    if (!ReadReport(stretch, observation, dateOk)) break;
    if (!dateOk) return ReportPageStatus::kBadDate;
    if (observations != nullptr) observations->Add(observation);
    ++count;
    start = next;
  }
  return count > 0 ? ReportPageStatus::kReports : ReportPageStatus::kNoReport;
}

const char* ReportPageStatusText(ReportPageStatus status) {
  switch (status) {
    case ReportPageStatus::kReports: return "reports read";
    case ReportPageStatus::kEmpty: return "the page is empty";
    case ReportPageStatus::kSorry: return "the service has no data for this station";
    case ReportPageStatus::kNoReport: return "no report on the page";
    case ReportPageStatus::kBadDate: return "a report's date and time could not be read";
  }
  return "";
}

}  // namespace nimbrel
