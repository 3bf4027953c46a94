#include "SampleTafCorpus.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "SampleApiJson.h"
#include "metar/TafDecoder.h"

namespace nimbrel::sample {

namespace {

using json = nlohmann::ordered_json;

bool allDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int twoDigits(std::string_view text, std::size_t at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); }

// The date with this day of the month nearest `near` (the month before, the
// same or the one after), as the decoder reads a TAF's times; hour 24 is the
// next day's 00. A validity may end two dates after it starts ("1518/1700").
std::optional<UtcDateTime> nearestDayTime(const UtcDateTime& near, int day, int hour, int minute) {
  std::optional<UtcDateTime> best;
  for (int step = -1; step <= 1; ++step) {
    const int months = near.year * 12 + near.month - 1 + step;
    const int year = months / 12, month = months % 12 + 1;
    if (day < 1 || day > UtcDateTime::daysInMonth(year, month) || hour > 24 || minute > 59) continue;
    const UtcDateTime candidate{year, month, day, 0, 0};
    const UtcDateTime nearDay{near.year, near.month, near.day, 0, 0};
    if (!best || std::llabs(candidate.epochMinutes() - nearDay.epochMinutes()) <
                     std::llabs(best->epochMinutes() - nearDay.epochMinutes()))
      best = candidate;
  }
  if (!best) return std::nullopt;
  return best->addMinutes(hour * 60 + minute);
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

const char* changeText(TafGroupKind kind) {
  switch (kind) {
    case TafGroupKind::Base: return nullptr;
    case TafGroupKind::From: return "FM";
    case TafGroupKind::Becoming: return "BECMG";
    case TafGroupKind::Temporary:
    case TafGroupKind::ProbabilityTemporary: return "TEMPO";
    case TafGroupKind::Probability: return "PROB";
  }
  return nullptr;
}

json cloudType(CloudType type) {
  if (type == CloudType::Cumulonimbus) return "CB";
  if (type == CloudType::ToweringCumulus) return "TCU";
  return nullptr;
}

json forecastObject(const TafGroup& group, std::int64_t shiftSeconds) {
  const Conditions& c = group.conditions;
  const std::int64_t from = group.from.epochMinutes() * 60 + shiftSeconds;
  const std::int64_t to = group.to.epochMinutes() * 60 + shiftSeconds;
  json f;
  f["timeFrom"] = from;
  f["timeTo"] = to;
  // A BECMG change is complete by the end of its period.
  f["timeBec"] = group.kind == TafGroupKind::Becoming ? json(to) : json(nullptr);
  const char* change = changeText(group.kind);
  f["fcstChange"] = change ? json(change) : json(nullptr);
  f["probability"] = group.probability > 0 ? json(group.probability) : json(nullptr);
  if (c.wind.variable)
    f["wdir"] = "VRB";
  else if (c.wind.directionDeg)
    f["wdir"] = *c.wind.directionDeg;
  else
    f["wdir"] = c.wind.isCalm() ? json(0) : json(nullptr);
  f["wspd"] = c.wind.speedKt ? apiNumber(*c.wind.speedKt, 1.0) : json(nullptr);
  f["wgst"] = c.wind.gustKt ? apiNumber(*c.wind.gustKt, 1.0) : json(nullptr);
  f["wshearHgt"] = group.windShear ? json(group.windShear->heightFt) : json(nullptr);
  f["wshearDir"] = group.windShear && group.windShear->directionDeg ? json(*group.windShear->directionDeg) : json(nullptr);
  f["wshearSpd"] = group.windShear && group.windShear->speedKt ? apiNumber(*group.windShear->speedKt, 1.0) : json(nullptr);
  f["visib"] = apiVisibility(c.visibility);
  std::string wx;
  for (const WeatherGroup& w : c.weather) {
    if (!wx.empty()) wx += ' ';
    wx += apiWeatherCode(w);
  }
  f["wxString"] = wx.empty() ? json(nullptr) : json(wx);
  json clouds = json::array();
  for (const CloudLayer& layer : c.clouds) {
    if (layer.cover == CloudCover::Unknown) continue;
    clouds.push_back({{"cover", apiCoverCode(layer.cover)},
                      {"base", layer.baseFt ? json(*layer.baseFt) : json(nullptr)},
                      {"type", cloudType(layer.type)}});
  }
  f["clouds"] = std::move(clouds);
  return f;
}

}  // namespace

std::vector<TafDayTimeField> findTafDayTimes(std::string_view raw) {
  std::vector<TafDayTimeField> fields;
  std::size_t at = 0;
  while (at < raw.size()) {
    const std::size_t begin = raw.find_first_not_of(' ', at);
    if (begin == std::string_view::npos) break;
    std::size_t end = raw.find(' ', begin);
    if (end == std::string_view::npos) end = raw.size();
    at = end;
    std::string_view token = raw.substr(begin, end - begin);
    while (!token.empty() && token.back() == '=') token.remove_suffix(1);
    const std::size_t n = token.size();
    if (n == 7 && token[6] == 'Z' && allDigits(token.substr(0, 6))) {
      fields.push_back({begin, 6});
    } else if (n == 9 && token[4] == '/' && allDigits(token.substr(0, 4)) && allDigits(token.substr(5))) {
      fields.push_back({begin, 4});
      fields.push_back({begin + 5, 4});
    } else if (n == 8 && token.starts_with("FM") && allDigits(token.substr(2))) {
      fields.push_back({begin + 2, 6});
    } else if (n >= 8 && token[0] == 'T' && token[n - 6] == '/' && token[n - 1] == 'Z' &&
               allDigits(token.substr(n - 5, 4))) {
      fields.push_back({begin + n - 5, 4});
    }
  }
  return fields;
}

std::string shiftTafDayTimes(std::string_view raw, const UtcDateTime& validFrom, std::int64_t shiftHours) {
  std::string out(raw);
  for (const TafDayTimeField& field : findTafDayTimes(raw)) {
    const int day = twoDigits(raw, field.offset);
    const int hour = twoDigits(raw, field.offset + 2);
    const int minute = field.digits == 6 ? twoDigits(raw, field.offset + 4) : 0;
    const auto time = nearestDayTime(validFrom, day, hour, minute);
    if (!time) continue;
    UtcDateTime moved = time->addMinutes(shiftHours * 60);
    int movedHour = moved.hour;
    if (hour == 24 && moved.hour == 0) {
      moved = moved.addDays(-1);
      movedHour = 24;
    }
    char figures[8];
    std::snprintf(figures, sizeof figures, "%02d%02d", moved.day % 100, movedHour % 100);
    out.replace(field.offset, 4, figures, 4);
  }
  return out;
}

std::int64_t tafShiftHours(const TafReport& taf, std::time_t now) {
  const std::int64_t issued = (taf.issued ? *taf.issued : taf.validFrom).epochMinutes() * 60;
  const std::int64_t from = taf.validFrom.epochMinutes() * 60;
  return std::min(floorDiv(now - issued, 3600), floorDiv(now - from, 3600));
}

void SampleTafCorpus::load(std::string_view tsv, const Stations& stations) {
  std::size_t at = 0;
  while (at < tsv.size()) {
    std::size_t end = tsv.find('\n', at);
    if (end == std::string_view::npos) end = tsv.size();
    std::string_view line = tsv.substr(at, end - at);
    at = end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '=')) line.remove_suffix(1);
    int year = 0, month = 0, day = 0;
    if (line.size() < 12 || line[10] != '\t' ||
        std::sscanf(std::string(line.substr(0, 10)).c_str(), "%4d-%2d-%2d", &year, &month, &day) != 3)
      continue;  // the header, or not a dated report
    const UtcDateTime date{year, month, day, 12, 0};
    if (!date.isValid()) continue;
    std::string raw(line.substr(11));
    if (!raw.starts_with("TAF ")) raw = "TAF " + raw;
    TafReport decoded = decodeTaf(raw, date);
    if (decoded.status == MetarStatus::Rejected || decoded.nil || decoded.cancelled || !decoded.issued) continue;
    // At least an hour of validity after the later of issue and start, so
    // that the whole-hour move can always leave now inside it.
    if (decoded.validTo < std::max(*decoded.issued, decoded.validFrom).addMinutes(60)) continue;
    if (!stations.contains(decoded.station)) continue;
    auto kept = tafs.find(decoded.station);
    if (kept != tafs.end() && *kept->second.decoded.issued > *decoded.issued) continue;
    const std::string station = decoded.station;
    tafs.insert_or_assign(station, Kept{std::move(raw), std::move(decoded)});
  }
}

bool SampleTafCorpus::loadFile(const std::string& path, const Stations& stations, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  load(text.str(), stations);
  return true;
}

std::optional<std::time_t> tafApiDate(std::string_view text) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  const std::string value(text);
  char tail[4] = {};
  int used = 0;
  // "2026-12-07T12:00:00Z", or "20261207_1200" with seconds and Z optional.
  const bool iso = std::sscanf(value.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%1[Z]%n", &year, &month, &day, &hour, &minute,
                               &second, tail, &used) == 7 && used == static_cast<int>(value.size());
  bool compact = false;
  if (!iso && value.size() >= 13 && value[8] == '_' && allDigits(text.substr(0, 8)) && allDigits(text.substr(9, 4))) {
    std::string_view rest = text.substr(13);
    if (rest.ends_with('Z')) rest.remove_suffix(1);
    compact = rest.empty() || (rest.size() == 2 && allDigits(rest));
    year = std::atoi(value.substr(0, 4).c_str());
    month = twoDigits(text, 4);
    day = twoDigits(text, 6);
    hour = twoDigits(text, 9);
    minute = twoDigits(text, 11);
    second = rest.empty() ? 0 : twoDigits(rest, 0);
  }
  if (!iso && !compact) return std::nullopt;
  const UtcDateTime at{year, month, day, hour, minute};
  if (!at.isValid() || second > 59) return std::nullopt;
  return static_cast<std::time_t>(at.epochMinutes() * 60 + second);
}

ApiAnswer SampleTafCorpus::tafApi(const std::string& ids, const std::string& format, std::time_t now,
                                  const Stations& stations, const std::string& date, const std::string& time) const {
  const std::vector<std::string> wanted = apiSplitIds(ids);
  if (wanted.empty()) return apiJsonError(400, "Missing or empty ids");
  if (format != "json") return apiJsonError(400, "Invalid format: only json is served here");
  if (!time.empty() && time != "valid" && time != "issue") return apiJsonError(400, "Invalid time: valid or issue");
  std::time_t at = now;
  if (!date.empty()) {
    const std::optional<std::time_t> asked = tafApiDate(date);
    if (!asked) return apiJsonError(400, "Invalid date: yyyy-mm-ddThh:mm:ssZ or yyyymmdd_hhmm");
    at = *asked;
  }
  json array = json::array();
  // The replayed day is the day up to now: no TAF before it, none yet after now.
  if (at > now || at < now - kReplayedDaySeconds) return {200, "application/json", array.dump()};
  const bool byIssue = !date.empty() && time == "issue";
  for (const std::string& id : wanted) {
    const auto found = tafs.find(id);
    if (found == tafs.end()) continue;
    const TafReport& taf = found->second.decoded;
    // Valid at the instant: issued and begun by it, the later within the
    // hour before; issued at it: issued within the hour before.
    const std::int64_t shift =
        byIssue ? floorDiv(at - taf.issued->epochMinutes() * 60, 3600) : tafShiftHours(taf, at);
    const std::int64_t shiftSeconds = shift * 3600;
    const std::int64_t issued = taf.issued->epochMinutes() * 60 + shiftSeconds;
    const auto station = stations.find(id);
    const SampleStation* s = station == stations.end() ? nullptr : station->second;
    json object;
    object["icaoId"] = taf.station;
    object["dbPopTime"] = apiIsoTime(issued);
    object["bulletinTime"] = apiIsoTime(issued);
    object["issueTime"] = apiIsoTime(issued);
    object["validTimeFrom"] = taf.validFrom.epochMinutes() * 60 + shiftSeconds;
    object["validTimeTo"] = taf.validTo.epochMinutes() * 60 + shiftSeconds;
    object["rawTAF"] = apiLatin1ToUtf8(shiftTafDayTimes(found->second.raw, taf.validFrom, shift));
    object["mostRecent"] = shift == tafShiftHours(taf, now) ? 1 : 0;
    object["remarks"] = taf.amended ? " AMD" : taf.corrected ? " COR" : "";
    object["lat"] = s ? apiNumber(s->latitude, 0.0001) : json(nullptr);
    object["lon"] = s ? apiNumber(s->longitude, 0.0001) : json(nullptr);
    object["elev"] = s && s->elevationM ? json(*s->elevationM) : json(nullptr);
    object["prior"] = 0;
    object["name"] = s ? apiStationName(*s) : std::string();
    json forecasts = json::array();
    for (const TafGroup& group : taf.groups) forecasts.push_back(forecastObject(group, shiftSeconds));
    object["fcsts"] = std::move(forecasts);
    array.push_back(std::move(object));
  }
  return {200, "application/json", array.dump()};
}

}  // namespace nimbrel::sample
