#include "SampleMetarDay.h"
#include "SampleApiJson.h"

#include <malloc.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "base/Text.h"
#include "metar/MetarDecoder.h"

namespace nimbrel::sample {

namespace {

using json = nlohmann::ordered_json;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view stripped(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '=' || line.back() == '\t'))
    line.remove_suffix(1);
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  return line;
}

// The cycle files and the station list are 8-bit text; JSON wants UTF-8.
// Each byte is taken as Latin-1, so nothing is lost.
std::string latin1ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
}

bool hasTypeWord(std::string_view text) { return text.starts_with("METAR ") || text.starts_with("SPECI "); }

// "2026-05-20T09:54:00.000Z", as the API writes its times.
std::string isoTime(std::int64_t seconds) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm utc{};
  gmtime_r(&t, &utc);
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d.000Z", utc.tm_year + 1900, utc.tm_mon + 1,
                utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
  return buffer;
}

// The API writes whole values without a decimal point ("temp":20).
json number(double value, double step) {
  const double rounded = std::round(value / step) * step;
  if (rounded == std::floor(rounded) && std::fabs(rounded) < 1e9) return static_cast<std::int64_t>(rounded);
  return std::round(rounded * 1e4) / 1e4;
}

template <typename T>
json optionalNumber(const std::optional<T>& value, double step) {
  return value ? number(static_cast<double>(*value), step) : json(nullptr);
}

const char* coverCode(CloudCover cover) {
  switch (cover) {
    case CloudCover::Few: return "FEW";
    case CloudCover::Scattered: return "SCT";
    case CloudCover::Broken: return "BKN";
    case CloudCover::Overcast: return "OVC";
    case CloudCover::VerticalVisibility: return "OVX";
    case CloudCover::SkyClear: return "SKC";
    case CloudCover::Clear: return "CLR";
    case CloudCover::NoSignificant: return "NSC";
    case CloudCover::NoneDetected: return "NCD";
    case CloudCover::Unknown: break;
  }
  return "";
}

// How much sky a cover hides, for the object's summary "cover".
int coverRank(CloudCover cover) {
  switch (cover) {
    case CloudCover::Few: return 2;
    case CloudCover::Scattered: return 3;
    case CloudCover::Broken: return 4;
    case CloudCover::Overcast: return 5;
    case CloudCover::VerticalVisibility: return 6;
    case CloudCover::Unknown: return 0;
    default: return 1;
  }
}

json visibilityValue(const Visibility& visibility) {
  if (!visibility.prevailingM) return nullptr;
  const double miles = *visibility.prevailingM / kMetresPerStatuteMile;
  if (visibility.inStatuteMiles) {
    if (visibility.moreThan) return std::to_string(static_cast<int>(std::lround(miles))) + "+";
    if (miles >= 10.0 - 1e-6) return "10+";
    return number(miles, 0.01);
  }
  // 9999 and CAVOK: 10 km or more, which the API gives as "6+".
  if (visibility.moreThan || *visibility.prevailingM >= 9999.0) return "6+";
  return number(miles, 0.01);
}

// Routine reports of the last quarter hour belong to the coming hour.
std::int64_t reportTimeSeconds(std::int64_t obsSeconds, bool special) {
  const std::int64_t minute = obsSeconds / 60 % 60;
  if (!special && minute >= 45) return (obsSeconds / 3600 + 1) * 3600;
  return obsSeconds;
}

std::string stationName(const SampleStation& station) {
  std::string name = latin1ToUtf8(station.name);
  if (!station.region.empty()) name += ", " + station.region;
  if (!station.country.empty()) name += ", " + station.country;
  return name;
}

json reportObject(const std::string& raw, std::int64_t obsSeconds, bool special, const SampleStation* station) {
  const MetarReport report = decodeMetar(raw, UtcDateTime::fromEpochMinutes(obsSeconds / 60));
  const Conditions& now = report.current;
  json object;
  object["icaoId"] = report.station;
  object["receiptTime"] = isoTime(obsSeconds);
  object["obsTime"] = obsSeconds;
  object["reportTime"] = isoTime(reportTimeSeconds(obsSeconds, special));
  object["temp"] = optionalNumber(report.temperatureC, 0.1);
  object["dewp"] = optionalNumber(report.dewPointC, 0.1);
  if (now.wind.variable)
    object["wdir"] = "VRB";
  else if (now.wind.directionDeg)
    object["wdir"] = *now.wind.directionDeg;
  else
    object["wdir"] = now.wind.isCalm() ? json(0) : json(nullptr);
  object["wspd"] = optionalNumber(now.wind.speedKt, 1.0);
  // Like the API, a report with no gust or weather leaves the field out.
  if (now.wind.gustKt) object["wgst"] = number(*now.wind.gustKt, 1.0);
  object["visib"] = visibilityValue(now.visibility);
  object["altim"] = optionalNumber(report.pressureHpa, 0.1);
  object["slp"] = optionalNumber(report.seaLevelPressureHpa, 0.1);
  std::string wx;
  for (const WeatherGroup& group : now.weather) {
    if (!wx.empty()) wx += ' ';
    wx += weatherCode(group);
  }
  if (!wx.empty()) object["wxString"] = wx;
  object["metarType"] = special ? "SPECI" : "METAR";
  object["rawOb"] = latin1ToUtf8(raw);
  object["lat"] = station ? number(station->latitude, 0.0001) : json(nullptr);
  object["lon"] = station ? number(station->longitude, 0.0001) : json(nullptr);
  object["elev"] = station && station->elevationM ? json(*station->elevationM) : json(nullptr);
  object["name"] = station ? stationName(*station) : std::string();
  json clouds = json::array();
  const CloudLayer* most = nullptr;
  for (const CloudLayer& layer : now.clouds) {
    if (layer.cover == CloudCover::Unknown) continue;
    clouds.push_back({{"cover", coverCode(layer.cover)}, {"base", layer.baseFt ? json(*layer.baseFt) : json(nullptr)}});
    if (!most || coverRank(layer.cover) > coverRank(most->cover)) most = &layer;
  }
  object["cover"] = most ? json(coverCode(most->cover)) : now.cavok ? json("CAVOK") : json(nullptr);
  object["clouds"] = std::move(clouds);
  const char* category = flightCategoryText(report.flightCategory());
  object["fltCat"] = *category ? json(category) : json(nullptr);
  return object;
}

ApiAnswer jsonError(int status, const std::string& message) {
  return {status, "application/json", json{{"status", "error"}, {"error", message}}.dump()};
}

std::vector<std::string> splitIds(const std::string& ids) {
  std::vector<std::string> result;
  std::string current;
  for (char c : ids + ",") {
    if (c == ',' || c == ' ' || c == '+') {
      if (!current.empty() && std::find(result.begin(), result.end(), current) == result.end())
        result.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
  }
  return result;
}

bool gunzip(const std::string& path, std::string& out) {
  gzFile file = gzopen(path.c_str(), "rb");
  if (!file) return false;
  // The size the gzip trailer gives (modulo 4 GiB) spares the regrowing.
  if (FILE* raw = std::fopen(path.c_str(), "rb")) {
    unsigned char size[4];
    if (std::fseek(raw, -4, SEEK_END) == 0 && std::fread(size, 1, 4, raw) == 4)
      out.reserve(std::min<std::size_t>(size[0] | size[1] << 8 | size[2] << 16 | std::size_t{size[3]} << 24, 1u << 28));
    std::fclose(raw);
  }
  gzbuffer(file, 1 << 17);
  char buffer[1 << 16];
  int n = 0;
  while ((n = gzread(file, buffer, sizeof buffer)) > 0) out.append(buffer, static_cast<std::size_t>(n));
  const bool ok = n == 0;
  gzclose(file);
  return ok;
}


std::string csvQuoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::size_t findDayTimeGroup(std::string_view report) {
  std::size_t at = 0;
  for (int token = 0; token < 4 && at < report.size(); ++token) {
    const std::size_t end = std::min(report.find(' ', at), report.size());
    const std::string_view group = report.substr(at, end - at);
    if (group.size() == 7 && group[6] == 'Z' && std::all_of(group.begin(), group.end() - 1, isDigit)) return at;
    at = report.find_first_not_of(' ', end);
    if (at == std::string_view::npos) break;
  }
  return std::string_view::npos;
}

void SampleMetarDay::load(std::string_view input, std::int64_t defaultAnchorMinutes) {
  struct Pending {
    std::uint32_t station;
    Record record;
  };
  std::vector<Pending> pending;
  std::vector<std::string> stationIds;
  std::unordered_map<std::string, std::uint32_t> stationIndex;
  UtcDateTime anchor = UtcDateTime::fromEpochMinutes(defaultAnchorMinutes);

  std::size_t at = 0;
  while (at < input.size()) {
    std::size_t end = input.find('\n', at);
    if (end == std::string_view::npos) end = input.size();
    const std::string_view line = stripped(input.substr(at, end - at));
    const std::size_t lineOffset = static_cast<std::size_t>(line.data() - input.data());
    at = end + 1;
    if (line.empty() || line.size() > 0xffff) continue;
    if (isDigit(line[0])) {
      if (auto time = parseSlashedDateTime(line)) anchor = *time;
      continue;
    }
    const std::size_t group = findDayTimeGroup(line);
    if (group == std::string_view::npos || group > 0xff) continue;
    const MetarReport report = decodeMetar(line, anchor);
    if (report.status == MetarStatus::Rejected || report.station.empty()) continue;
    auto [it, added] = stationIndex.try_emplace(report.station, static_cast<std::uint32_t>(stationIds.size()));
    if (added) stationIds.push_back(report.station);
    pending.push_back({it->second,
                       {static_cast<std::uint32_t>(lineOffset), static_cast<std::uint16_t>(line.size()),
                        static_cast<std::uint8_t>(group), static_cast<std::uint8_t>(report.special ? 1 : 0),
                        static_cast<std::int32_t>(report.time.epochMinutes())}});
  }

  // The day ends where reports are still dense (50 in ten minutes): a few
  // stamped hours ahead of the rest (clock faults) must not decide the shift.
  std::vector<std::int32_t> times;
  times.reserve(pending.size());
  for (const Pending& p : pending) times.push_back(p.record.minutes);
  std::sort(times.begin(), times.end(), std::greater<>());
  newest = times.empty() ? defaultAnchorMinutes : times.front();
  constexpr std::size_t kDense = 50;
  for (std::size_t i = 0; i + kDense <= times.size(); ++i) {
    if (times[i] - times[i + kDense - 1] <= 10) {
      newest = times[i];
      break;
    }
  }

  // Per station newest first; of the same report sent twice (once cut
  // before its remarks) the longest stays.
  std::sort(pending.begin(), pending.end(), [&](const Pending& a, const Pending& b) {
    if (a.station != b.station) return stationIds[a.station] < stationIds[b.station];
    if (a.record.minutes != b.record.minutes) return a.record.minutes > b.record.minutes;
    if (a.record.special != b.record.special) return a.record.special < b.record.special;
    return a.record.textLength > b.record.textLength;
  });
  text.clear();
  records.clear();
  stationRanges.clear();
  for (std::size_t i = 0; i < pending.size(); ++i) {
    const Pending& p = pending[i];
    if (p.record.minutes > newest) continue;
    if (i > 0 && pending[i - 1].station == p.station && pending[i - 1].record.minutes == p.record.minutes &&
        pending[i - 1].record.special == p.record.special)
      continue;
    Record record = p.record;
    record.textOffset = static_cast<std::uint32_t>(text.size());
    text.append(input.substr(p.record.textOffset, p.record.textLength));
    auto& range = stationRanges[stationIds[p.station]];
    if (range.end == 0) range.begin = static_cast<std::uint32_t>(records.size());
    records.push_back(record);
    range.end = static_cast<std::uint32_t>(records.size());
  }
  text.shrink_to_fit();
  records.shrink_to_fit();
}

bool SampleMetarDay::loadFile(const std::string& gzPath, std::string& error) {
  std::string content;
  if (!gunzip(gzPath, content)) {
    error = "cannot read " + gzPath;
    return false;
  }
  // The cycle files carry only day and time; the file's name gives the date.
  std::int64_t anchor = UtcDateTime::now().epochMinutes();
  const std::string name = gzPath.substr(gzPath.find_last_of('/') + 1);
  for (std::size_t i = 0; i + 10 <= name.size(); ++i) {
    int y = 0, m = 0, d = 0;
    if (std::sscanf(name.c_str() + i, "%4d-%2d-%2d", &y, &m, &d) == 3 && y > 1900 && m >= 1 && m <= 12 && d >= 1 &&
        d <= 31) {
      anchor = UtcDateTime{y, m, d, 23, 59}.epochMinutes();
      break;
    }
  }
  load(content, anchor);
  content = std::string();
  // The file's text and the reading's scratch were freed; give the pages
  // back so the service keeps only its compact records.
  malloc_trim(0);
  if (records.empty()) {
    error = "no reports in " + gzPath;
    return false;
  }
  return true;
}

std::size_t SampleMetarDay::memoryBytes() const {
  return text.capacity() + records.capacity() * sizeof(Record) + stationRanges.size() * (sizeof(Range) + 64);
}

std::string SampleMetarDay::rawOb(const Record& record, std::int64_t shift) const {
  const std::string_view body = textOf(record);
  const UtcDateTime time = UtcDateTime::fromEpochMinutes(record.minutes + shift);
  const char group[6] = {static_cast<char>('0' + time.day / 10),    static_cast<char>('0' + time.day % 10),
                         static_cast<char>('0' + time.hour / 10),   static_cast<char>('0' + time.hour % 10),
                         static_cast<char>('0' + time.minute / 10), static_cast<char>('0' + time.minute % 10)};
  std::string raw;
  raw.reserve(body.size() + 6);
  if (!hasTypeWord(body)) raw += record.special ? "SPECI " : "METAR ";
  raw.append(body.substr(0, record.groupOffset));
  raw.append(group, 6);
  raw.append(body.substr(record.groupOffset + 6));
  return raw;
}

ApiAnswer SampleMetarDay::metarApi(const std::string& ids, const std::string& format, const std::string& hoursText,
                                   bool hasHours, std::time_t now,
                                   const std::unordered_map<std::string, const SampleStation*>& stations,
                                   std::int64_t behind) const {
  const std::vector<std::string> wanted = splitIds(ids);
  if (wanted.empty()) return jsonError(400, "Missing or empty ids");
  if (format != "json") return jsonError(400, "Invalid format: only json is served here");
  double hours = 0.0;
  if (hasHours) {
    char* end = nullptr;
    hours = std::strtod(hoursText.c_str(), &end);
    if (hoursText.empty() || *end != '\0' || !std::isfinite(hours) || hours < 0.0)
      return jsonError(400, "Invalid hours");
  }
  const std::int64_t shift = shiftMinutes(now, behind);
  // Any number of hours is taken; more than the service keeps (about 15
  // days) gives the same answer, and a huge one must not overflow.
  constexpr double kLongestHours = 400.0;
  const std::int64_t oldest = now - static_cast<std::int64_t>(std::llround(std::min(hours, kLongestHours) * 3600.0));

  struct Chosen {
    const Record* record;
    std::int64_t seconds;
  };
  std::vector<Chosen> chosen;
  for (const std::string& id : wanted) {
    const auto range = stationRanges.find(id);
    if (range == stationRanges.end()) continue;
    for (std::uint32_t i = range->second.begin; i < range->second.end; ++i) {
      const std::int64_t seconds = (records[i].minutes + shift) * 60;
      if (seconds > now) continue;
      if (hours > 0.0 && seconds <= oldest) break;
      chosen.push_back({&records[i], seconds});
      if (hours <= 0.0) break;
    }
  }
  if (chosen.empty()) return {204, "application/json", ""};
  // Newest first across the stations, as the API answers several ids; the
  // order of ids only breaks ties.
  std::stable_sort(chosen.begin(), chosen.end(), [](const Chosen& a, const Chosen& b) { return a.seconds > b.seconds; });
  json array = json::array();
  for (const Chosen& c : chosen) {
    const std::string raw = rawOb(*c.record, shift);
    const std::string_view body = textOf(*c.record);
    const auto station = stations.find(std::string(body.substr(0, std::min<std::size_t>(body.find(' '), 8))));
    array.push_back(reportObject(raw, c.seconds, c.record->special != 0,
                                 station == stations.end() ? nullptr : station->second));
  }
  return {200, "application/json", array.dump()};
}

ApiAnswer SampleMetarDay::cacheCsvGz(std::time_t now,
                                     const std::unordered_map<std::string, const SampleStation*>& stations,
                                     std::int64_t behind) const {
  const std::int64_t shift = shiftMinutes(now, behind);
  std::size_t count = 0;
  std::string rows;
  for (const auto& [id, range] : stationRanges) {
    for (std::uint32_t i = range.begin; i < range.end; ++i) {
      const Record& record = records[i];
      const std::int64_t seconds = (record.minutes + shift) * 60;
      if (seconds > now) continue;
      const std::string raw = rawOb(record, shift);
      const json o = reportObject(raw, seconds, record.special != 0,
                                  stations.count(id) ? stations.at(id) : nullptr);
      auto field = [](const json& value) -> std::string {
        if (value.is_null()) return "";
        if (value.is_string()) return value.get<std::string>();
        return value.dump();
      };
      // The cache's text is the report as the cycle files have it, unprefixed.
      std::string row = csvQuoted(latin1ToUtf8(hasTypeWord(raw) ? std::string_view(raw).substr(6) : raw)) + "," + id + "," +
                        isoTime(seconds) + "," + field(o["lat"]) + "," + field(o["lon"]) + "," +
                        field(o["temp"]) + "," + field(o["dewp"]) + "," + field(o["wdir"]) + "," + field(o["wspd"]) +
                        "," + (o.contains("wgst") ? field(o["wgst"]) : "") + "," + field(o["visib"]) + ",";
      if (!o["altim"].is_null()) {
        row += formatText("%.2f", o["altim"].get<double>() / 33.8639);
      }
      row += "," + field(o["slp"]) + ",,,,,,,,," + (o.contains("wxString") ? field(o["wxString"]) : "");
      const json& clouds = o["clouds"];
      for (std::size_t layer = 0; layer < 4; ++layer) {
        row += ",";
        if (layer < clouds.size()) row += field(clouds[layer]["cover"]) + "," + field(clouds[layer]["base"]);
        else row += ",";
      }
      row += "," + field(o["fltCat"]) + ",,,,,,,,,,,," + field(o["metarType"]) + "," + field(o["elev"]) + "\n";
      rows += row;
      ++count;
      break;
    }
  }
  std::string body = "No errors\nNo warnings\n1 ms\ndata source=metars\n" + std::to_string(count) + " results\n";
  body +=
      "raw_text,station_id,observation_time,latitude,longitude,temp_c,dewpoint_c,wind_dir_degrees,wind_speed_kt,"
      "wind_gust_kt,visibility_statute_mi,altim_in_hg,sea_level_pressure_mb,corrected,auto,auto_station,"
      "maintenance_indicator_on,no_signal,lightning_sensor_off,freezing_rain_sensor_off,present_weather_sensor_off,"
      "wx_string,sky_cover,cloud_base_ft_agl,sky_cover,cloud_base_ft_agl,sky_cover,cloud_base_ft_agl,sky_cover,"
      "cloud_base_ft_agl,flight_category,three_hr_pressure_tendency_mb,maxT_c,minT_c,maxT24hr_c,minT24hr_c,precip_in,"
      "pcp3hr_in,pcp6hr_in,pcp24hr_in,snow_in,vert_vis_ft,metar_type,elevation_m\n";
  body += rows;
  return {200, "application/x-gzip", gzipped(body)};
}

// The same spellings for the TAF answer (SampleApiJson.h).
std::string apiIsoTime(std::int64_t seconds) { return isoTime(seconds); }
nlohmann::ordered_json apiNumber(double value, double step) { return number(value, step); }
nlohmann::ordered_json apiVisibility(const Visibility& visibility) { return visibilityValue(visibility); }
const char* apiCoverCode(CloudCover cover) { return coverCode(cover); }
std::string apiWeatherCode(const WeatherGroup& group) { return weatherCode(group); }
std::string gzipped(const std::string& data) {
  z_stream stream{};
  deflateInit2(&stream, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, data.size()) + 64, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

std::string apiStationName(const SampleStation& station) { return stationName(station); }
std::string apiLatin1ToUtf8(std::string_view text) { return latin1ToUtf8(text); }
ApiAnswer apiJsonError(int status, const std::string& message) { return jsonError(status, message); }
std::vector<std::string> apiSplitIds(const std::string& ids) { return splitIds(ids); }

}  // namespace nimbrel::sample
