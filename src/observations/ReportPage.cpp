#include "observations/ReportPage.h"
#include "base/Text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <charconv>
#include <cstddef>
#include <functional>
#include <optional>
#include <utility>

#include "observations/ReportDateTime.h"

namespace nimbrel {

namespace {

constexpr std::size_t npos = std::string_view::npos;

struct Replacement {
  std::string_view from;
  std::string_view to;
};

// The page's entities, in the order the service's own decoder replaces
// them (each over the whole text, after the blanks and line feeds).
const std::array<Replacement, 13> kEntities = {{
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
constexpr std::size_t kAmpersandEntity = 4;

// The first entity from `first` on that `text` starts with, or none
// (kEntities.size()). Every entity ends at a ';' within six bytes, so only
// those of that length are compared.
std::size_t entityAt(std::string_view text, std::size_t first) {
  const std::size_t semicolon = text.substr(0, 6).find(';');
  if (semicolon == npos) return kEntities.size();
  const std::string_view candidate = text.substr(0, semicolon + 1);
  for (std::size_t e = first; e < kEntities.size(); ++e)
    if (kEntities[e].from == candidate) return e;
  return kEntities.size();
}

// The raw text between start and end marker, the chain standing at anchorPos
// (npos when the anchor was not found).
std::string_view rawBetween(std::string_view text, std::size_t anchorPos, std::string_view startMarker,
                            std::string_view endMarker, std::size_t* endPos = nullptr) {
  if (anchorPos == npos) return {};
  const std::size_t b = text.find(startMarker, anchorPos);
  if (b == npos) return {};
  const std::size_t c = text.find(endMarker, b);
  if (c == npos) return {};
  if (endPos != nullptr) *endPos = c;
  const std::size_t from = b + startMarker.size();
  if (c <= from) return {};
  return text.substr(from, c - from);
}

// Blanks at the ends of the raw text decode to blanks, so they go first.
std::string clean(std::string_view raw) {
  std::string text = decodeEntities(trim(raw));
  const std::string_view kept = trim(text);
  const auto start = static_cast<std::size_t>(kept.data() - text.data());
  text.resize(start + kept.size());
  text.erase(0, start);
  return text;
}

// A text cell as the report keeps it: decoded first, so an entity is never
// cut in half, then cut to the limit, where a blank may now end it.
std::string limited(std::string text) {
  if (text.size() > kReportTextLimit) {
    text.resize(kReportTextLimit);
    while (!text.empty() && isSpace(text.back())) text.pop_back();
  }
  return text;
}

std::string cellText(std::string_view raw) { return limited(clean(raw)); }

// Rule A with the sign kept: the integer part and the fraction digits read
// as one number, so "-0" and "4" give -0.4. hasNumber tells whether the
// integer part held a number at all.
double readSplitDecimal(std::string_view integerText, std::string_view fractionText, bool& hasNumber) {
  hasNumber = false;
  std::size_t i = 0;
  while (i < integerText.size() && isSpace(integerText[i])) ++i;
  const std::size_t signStart = i;
  if (i < integerText.size() && (integerText[i] == '-' || integerText[i] == '+')) ++i;
  const std::size_t digitStart = i;
  while (i < integerText.size() && isDigit(integerText[i])) ++i;
  if (i == digitStart) return 0.0;
  hasNumber = true;
  std::string joined(integerText.substr(signStart, i - signStart));
  joined += '.';
  joined.append(fractionText);
  return readNumber(joined);
}


// The row names a report's chains start from: each chain starts at the
// first occurrence of its anchor in the report's stretch, looked up once.
enum Anchor { kTemperature, kDewpoint, kPressure, kWinds, kVisibility, kCeiling, kClouds, kWeather, kHg, kAnchors };

constexpr std::array<std::string_view, kAnchors> kAnchorNames = {
    "Temperature", "Dewpoint", "Pressure", "Winds", "Visibility", "Ceiling", "Clouds", "Present Weather", "Hg ("};

std::array<std::size_t, kAnchors> findAnchors(std::string_view stretch) {
  std::array<std::size_t, kAnchors> positions;
  for (std::size_t a = 0; a < kAnchorNames.size(); ++a) positions[a] = stretch.find(kAnchorNames[a], 0);
  return positions;
}

}  // namespace

std::string decodeEntities(std::string_view text) {
  // One pass gives what the replacements one after another give: they
  // cannot overlap, and only the "&" of "&#38;" can start another entity,
  // one later in the order, with the text after it.
  std::string result;
  result.reserve(text.size());
  auto plain = [&](std::size_t at) {
    const char c = text[at];
    return c != '&' && c != '\n' && !(c == ' ' && at + 1 < text.size() && text[at + 1] == ' ');
  };
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t run = i;
    while (run < text.size() && plain(run)) ++run;
    result.append(text.substr(i, run - i));
    i = run;
    if (i == text.size()) break;
    if (text[i] == ' ') {  // two blanks
      result += ' ';
      i += 2;
    } else if (text[i] == '\n') {
      result += ' ';
      ++i;
    } else if (std::size_t e = entityAt(text.substr(i), 0); e == kEntities.size()) {
      result += '&';
      ++i;
    } else {
      i += kEntities[e].from.size();
      if (e == kAmpersandEntity) {
        std::string following = "&";
        following += text.substr(i, 5);
        const std::size_t later = entityAt(following, e + 1);
        if (later != kEntities.size()) {
          e = later;
          i += kEntities[e].from.size() - 1;
        }
      }
      result += kEntities[e].to;
    }
  }
  return result;
}

std::string extractBetween(std::string_view text, std::string_view anchor, std::string_view startMarker,
                           std::string_view endMarker, int occurrence) {
  std::size_t pos = 0;
  std::string_view raw;
  for (int link = 0; link < occurrence; ++link) {
    const std::size_t a = anchor.empty() ? (pos <= text.size() ? pos : npos) : text.find(anchor, pos);
    std::size_t c = npos;
    raw = rawBetween(text, a, startMarker, endMarker, &c);
    if (c == npos) return {};
    pos = c;
  }
  return clean(raw);
}


bool readReport(std::string_view stretch, Observation& observation, bool& dateOk) {
  static constexpr std::string_view kCell = "<TD ALIGN=\"left\">";
  static constexpr std::string_view kCellEnd = "</TD>";
  observation = Observation{};
  dateOk = true;

  // Each anchor is looked up once; every chain of the report starts there.
  const std::size_t conditions = stretch.find("Conditions", 0);
  const std::string observedText = clean(rawBetween(stretch, conditions, "observed", "&#160;"));
  if (observedText.empty()) return false;
  const std::string utcText = clean(rawBetween(stretch, conditions, "&#160;&#160;", "&#160;UTC"));
  if (!utcText.empty()) {
    const std::optional<UtcDateTime> when = parseReportDateTime(utcText + " " + observedText);
    if (!when) {
      dateOk = false;
      return true;
    }
    observation.observedAt = when->epochMinutes() * 60;
  }

  const auto anchors = findAnchors(stretch);
  const std::size_t temperature = anchors[kTemperature];
  const std::size_t dewpoint = anchors[kDewpoint];
  const std::size_t pressure = anchors[kPressure];
  const std::size_t winds = anchors[kWinds];
  const std::size_t visibility = anchors[kVisibility];

  bool hasNumber = false;
  std::string_view integer = rawBetween(stretch, temperature, kCell, "&#46;");
  if (!integer.empty())
    observation.temperature =
        readSplitDecimal(clean(integer), clean(rawBetween(stretch, temperature, "&#46;", "&deg;C")), hasNumber);

  integer = rawBetween(stretch, dewpoint, kCell, "&#46;");
  if (!integer.empty())
    observation.dewpoint =
        readSplitDecimal(clean(integer), clean(rawBetween(stretch, dewpoint, "&#46;", "&deg;C")), hasNumber);
  observation.humidity = readNumber(clean(rawBetween(stretch, dewpoint, "RH&#160;=&#160;", "&#37;")));

  integer = rawBetween(stretch, pressure, "Hg (", "&#46;");
  if (!integer.empty()) {
    const double millibars = readSplitDecimal(
        clean(integer), clean(rawBetween(stretch, anchors[kHg], "&#46;", "&#160;mb)")), hasNumber);
    if (hasNumber) observation.pressure = millibars;
  }

  const std::string windsCell = clean(rawBetween(stretch, winds, kCell, kCellEnd));
  // Only this report's own wind cell decides: a calm or variable wind has
  // no direction, whatever parentheses follow it.
  if (windsCell.find("degrees") != std::string::npos)
    observation.windDirection = readNumber(clean(rawBetween(stretch, winds, "(", "&#160;")));
  observation.windSpeed = readNumber(clean(rawBetween(stretch, winds, "knots;", "&#160;")));
  observation.wind = windsCell.starts_with("calm")            ? WindState::kCalm
                     : std::isfinite(observation.windDirection) ? WindState::kFrom
                     : std::isfinite(observation.windSpeed)     ? WindState::kVariable
                                                                : WindState::kMissing;
  observation.visibility = readNumber(clean(rawBetween(stretch, visibility, "(", "km"))) * 1000.0;

  SourceTexts& texts = observation.source;
  texts.windsText = limited(windsCell);
  texts.conditionsText = cellText(rawBetween(stretch, stretch.find("Conditions at", 0), kCell, kCellEnd));
  texts.temperatureText = cellText(rawBetween(stretch, temperature, kCell, kCellEnd));
  texts.dewpointText = cellText(rawBetween(stretch, dewpoint, kCell, kCellEnd));
  texts.pressureText = cellText(rawBetween(stretch, pressure, kCell, kCellEnd));
  texts.visibilityText = cellText(rawBetween(stretch, visibility, kCell, kCellEnd));
  texts.ceilingText = cellText(rawBetween(stretch, anchors[kCeiling], kCell, kCellEnd));
  texts.cloudsText = cellText(rawBetween(stretch, anchors[kClouds], kCell, kCellEnd));
  texts.weatherText = cellText(rawBetween(stretch, anchors[kWeather], kCell, kCellEnd));
  if (texts.visibilityText.find("or more") != std::string::npos) observation.visibilityBound = VisibilityBound::kOrMore;
  if (texts.visibilityText.starts_with("less than")) observation.visibilityBound = VisibilityBound::kLessThan;
  // The report line's marker comes after all the markup, whose every '<'
  // might begin it: a searcher made once skips ahead by the marker's length.
  static constexpr std::string_view kReportLine = "<SPAN CLASS=\"monospace\">";
  static const std::boyer_moore_horspool_searcher kReportLineSearch(kReportLine.begin(), kReportLine.end());
  const auto reportLine = std::search(stretch.begin(), stretch.end(), kReportLineSearch);
  if (reportLine != stretch.end())
    texts.reportText =
        cellText(rawBetween(stretch, static_cast<std::size_t>(reportLine - stretch.begin()), kReportLine, "<BR>"));
  return true;
}

ReportPageStatus readReportPage(std::string_view page, ObservationList* observations) {
  static constexpr std::string_view kReportStart = "Conditions at";
  if (page.empty()) return ReportPageStatus::kEmpty;
  if (page.find("Sorry", 0) != npos) return ReportPageStatus::kSorry;

  Observation observation;
  int count = 0;
  std::size_t start = page.find(kReportStart, 0);
  while (start != npos) {
    const std::size_t next = page.find(kReportStart, start + kReportStart.size());
    const std::string_view stretch = page.substr(start, next == npos ? npos : next - start);
    bool dateOk = true;
    if (!readReport(stretch, observation, dateOk)) break;
    if (!dateOk) return ReportPageStatus::kBadDate;
    if (observations != nullptr) observations->push_back(std::move(observation));
    ++count;
    start = next;
  }
  return count > 0 ? ReportPageStatus::kReports : ReportPageStatus::kNoReport;
}

const char* reportPageStatusText(ReportPageStatus status) {
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
