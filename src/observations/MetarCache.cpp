#include "observations/MetarCache.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <memory>
#include <unordered_map>

#include "base/Text.h"
#include "metar/GroupCursor.h"
#include "metar/MetarDecoder.h"
#include "metar/ReportGroups.h"

namespace nimbrel {
namespace {

std::string sizeText(std::size_t bytes) {
  return bytes >= (std::size_t{1} << 20) ? std::to_string(bytes >> 20) + " MB" : std::to_string(bytes) + " bytes";
}

// One CSV field at a time (quoted fields, doubled quotes, CR LF), so a row
// of a million commas costs time but no memory.
class CsvCursor {
 public:
  explicit CsvCursor(std::string_view text) : text(text) {}

  bool atEnd() const { return pos >= text.size(); }

  // The next field; `last` when it ends its record, `terminated` when that
  // end was a line end rather than the end of the text.
  std::string_view next(bool& last, bool& terminated) {
    std::string_view field;
    if (pos < text.size() && text[pos] == '"') {
      field = quoted();
    } else {
      const std::size_t end = text.find_first_of(",\n", pos);
      field = text.substr(pos, (end == std::string_view::npos ? text.size() : end) - pos);
      pos += field.size();
    }
    if (!field.empty() && field.back() == '\r' && pos < text.size() && text[pos] == '\n') field.remove_suffix(1);
    last = pos >= text.size() || text[pos] == '\n';
    terminated = pos < text.size() && text[pos] == '\n';
    if (pos < text.size()) ++pos;  // the comma or line end
    return field;
  }

  // Passes over the rest of the current record.
  void skipRecord(bool& terminated) {
    bool last = false;
    while (!atEnd() && !last) next(last, terminated);
  }

 private:
  std::string_view quoted() {
    const std::size_t start = ++pos;
    std::size_t close = text.find('"', pos);
    // Most quoted fields hold no quote: a view of the text.
    if (close != std::string_view::npos && (close + 1 >= text.size() || text[close + 1] != '"')) {
      pos = close + 1;
      if (pos < text.size() && text[pos] != ',' && text[pos] != '\n') return tail(text.substr(start, close - start));
      return text.substr(start, close - start);
    }
    scratch.clear();
    while (true) {
      close = text.find('"', pos);
      if (close == std::string_view::npos) {  // never closed: the rest of the text
        scratch.append(text.substr(pos));
        pos = text.size();
        return scratch;
      }
      scratch.append(text.substr(pos, close - pos));
      pos = close + 1;
      if (pos < text.size() && text[pos] == '"') {
        scratch += '"';
        ++pos;
        continue;
      }
      break;
    }
    if (pos < text.size() && text[pos] != ',' && text[pos] != '\n') return tail(scratch);
    return scratch;
  }

  // Text after the closing quote and before the separator is kept as it is.
  std::string_view tail(std::string_view head) {
    if (head.data() != scratch.data()) scratch.assign(head);
    const std::size_t end = text.find_first_of(",\n", pos);
    const std::size_t stop = end == std::string_view::npos ? text.size() : end;
    scratch.append(text.substr(pos, stop - pos));
    pos = stop;
    return scratch;
  }

  std::string_view text;
  std::size_t pos = 0;
  std::string scratch;
};

enum Column { kRawText, kStationId, kObservationTime, kColumnCount };
constexpr std::array<std::string_view, kColumnCount> kColumnNames = {"raw_text", "station_id", "observation_time"};
constexpr int kMaxPreambleLines = 32;

// "2026-09-16T07:20:00.000Z" or "2016-01-31T04:56:00Z", to the minute.
std::optional<UtcDateTime> isoTime(std::string_view text) {
  text = trim(text);
  if (text.size() < 16 || text[4] != '-' || text[7] != '-' || (text[10] != 'T' && text[10] != ' ') || text[13] != ':')
    return std::nullopt;
  auto number = [&](std::size_t at, std::size_t length, int& out) {
    out = 0;
    for (std::size_t i = at; i < at + length; ++i) {
      if (!isDigit(text[i])) return false;
      out = out * 10 + (text[i] - '0');
    }
    return true;
  };
  UtcDateTime t;
  if (!number(0, 4, t.year) || !number(5, 2, t.month) || !number(8, 2, t.day) || !number(11, 2, t.hour) ||
      !number(14, 2, t.minute) || !t.isValid())
    return std::nullopt;
  return t;
}

std::string_view withoutTypeWord(std::string_view raw) {
  for (std::string_view word : {"METAR ", "SPECI "})
    if (raw.starts_with(word)) return trim(raw.substr(word.size()));
  return raw;
}


// Each ICAO code to its catalogue station, the first one with a position
// when the list has the code twice.
std::unordered_map<std::string_view, std::size_t> catalogueByIcao(const StationList& catalogue) {
  std::unordered_map<std::string_view, std::size_t> byIcao;
  byIcao.reserve(catalogue.size());
  for (std::size_t i = 0; i < catalogue.size(); ++i) {
    const Station& s = catalogue[i];
    if (s.icao.empty()) continue;
    const auto [it, added] = byIcao.try_emplace(s.icao, i);
    if (!added && !catalogue[it->second].hasPosition && s.hasPosition) it->second = i;
  }
  return byIcao;
}

}  // namespace

StationWeather weatherOf(const MetarReport& report, std::string_view raw, std::size_t station) {
  StationWeather w;
  w.station = station;
  w.rawReport = std::string(withoutTypeWord(raw));
  w.observedMinutes = report.time.epochMinutes();
  w.temperatureC = report.temperatureC;
  w.dewPointC = report.dewPointC;
  const Wind& wind = report.current.wind;
  w.windDirectionDeg = wind.directionDeg;
  w.windSpeedKt = wind.speedKt;
  w.windGustKt = wind.gustKt;
  const Visibility& visibility = report.current.visibility;
  w.visibilityM = visibility.prevailingM;
  w.visibilityMoreThan = visibility.moreThan;
  w.visibilityLessThan = visibility.lessThan;
  w.ceilingFt = report.ceilingFt();
  w.category = report.flightCategory();
  return w;
}

std::string metarCacheUrl(const std::string& baseUrl) {
  std::string base = baseUrl;
  while (!base.empty() && base.back() == '/') base.pop_back();
  return base + "/data/cache/metars.cache.csv.gz";
}

Inflated inflateDownload(std::string_view data, std::size_t ceiling) {
  Inflated out;
  const bool gzip = data.size() >= 2 && static_cast<unsigned char>(data[0]) == 0x1F &&
                    static_cast<unsigned char>(data[1]) == 0x8B;
  if (!gzip) {
    out.complete = data.size() <= ceiling;
    out.text.assign(data.substr(0, std::min(data.size(), ceiling)));
    if (!out.complete) out.problem = "the download is larger than " + sizeText(ceiling) + "; only its start was read";
    return out;
  }
  z_stream stream{};
  if (inflateInit2(&stream, 15 + 16) != Z_OK) {
    out.problem = "the download could not be unpacked";
    return out;
  }
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  std::size_t inputLeft = data.size();
  constexpr std::size_t kChunk = std::size_t{1} << 18;
  // Unpacked into one reused buffer and appended: the text grows by doubling
  // and nothing is zero-filled on each call.
  const auto chunk = std::make_unique<char[]>(kChunk);
  // Gzip members that unpack to nothing, one after another: a download made
  // of them is refused at once, not read to its end.
  constexpr int kMostEmptyMembers = 64;
  int emptyMembers = 0;
  std::size_t memberStart = 0;
  int status = Z_OK;
  while (true) {
    if (out.text.size() >= ceiling) {
      out.problem = "the report list unpacks to more than " + sizeText(ceiling) + "; only its start was read";
      break;
    }
    if (stream.avail_in == 0 && inputLeft > 0) {
      const std::size_t take = std::min<std::size_t>(inputLeft, 1u << 30);
      stream.avail_in = static_cast<uInt>(take);
      inputLeft -= take;
    }
    const std::size_t room = std::min(kChunk, ceiling - out.text.size());
    stream.next_out = reinterpret_cast<Bytef*>(chunk.get());
    stream.avail_out = static_cast<uInt>(room);
    status = inflate(&stream, Z_NO_FLUSH);
    out.text.append(chunk.get(), room - stream.avail_out);
    if (status == Z_STREAM_END) {
      emptyMembers = out.text.size() == memberStart ? emptyMembers + 1 : 0;
      memberStart = out.text.size();
      if (emptyMembers > kMostEmptyMembers) {
        out.problem = "the download is made of empty gzip members";
        break;
      }
      // Another gzip member may follow; anything else after the end is ignored.
      if (stream.avail_in + inputLeft >= 2 && stream.next_in[0] == 0x1F && stream.next_in[1] == 0x8B &&
          inflateReset(&stream) == Z_OK)
        continue;
      out.complete = true;
      break;
    }
    if (status == Z_BUF_ERROR && stream.avail_in == 0 && inputLeft == 0) {
      out.problem = "the download was cut short";
      break;
    }
    if (status != Z_OK && status != Z_BUF_ERROR) {
      out.problem = "the download is damaged";
      break;
    }
  }
  inflateEnd(&stream);
  return out;
}


namespace {

// A station's reading takes its slot, or replaces an older one there.
void keepNewest(WeatherSnapshot& snapshot, int& at, StationWeather weather) {
  if (at < 0) {
    at = static_cast<int>(snapshot.stations.size());
    snapshot.stations.push_back(std::move(weather));
  } else if (weather.observedMinutes >= snapshot.stations[static_cast<std::size_t>(at)].observedMinutes) {
    snapshot.stations[static_cast<std::size_t>(at)] = std::move(weather);
  }
}

// In catalogue order, with the newest reading's time.
void finishSnapshot(WeatherSnapshot& snapshot) {
  std::sort(snapshot.stations.begin(), snapshot.stations.end(),
            [](const StationWeather& a, const StationWeather& b) { return a.station < b.station; });
  for (const StationWeather& w : snapshot.stations) snapshot.newestMinutes = std::max(snapshot.newestMinutes, w.observedMinutes);
}

// The time of the line's first header, read against `anchor`. A line may
// hold a report cut short before the one decoded ("MHAM 072247Z MHTR
// 141300Z ..."); the line's own time is then the first one's.
std::optional<UtcDateTime> firstHeaderTime(std::string_view raw, const UtcDateTime& anchor) {
  GroupCursor groups(raw);
  // The station may come after "METAR", "SPECI" and "COR".
  for (int i = 0; i < 3; ++i) {
    const std::string_view group = groups.next();
    DayTime dayTime;
    std::string_view runOn;
    if (isStationId(group) && decodeHeaderDayTime(groups.peek(), dayTime, runOn))
      return resolveDayTime(anchor, dayTime.day, dayTime.hour, dayTime.minute);
  }
  return std::nullopt;
}

bool withinADay(const UtcDateTime& a, const UtcDateTime& b) {
  const std::int64_t apart = a.epochMinutes() - b.epochMinutes();
  return apart >= -24 * 60 && apart <= 24 * 60;
}

}  // namespace

WeatherSnapshot readMetarCache(std::string_view download, const StationList& catalogue,
                               const MetarCacheOptions& options) {
  WeatherSnapshot snapshot;
  const Inflated inflated = inflateDownload(download, options.inflateCeiling);
  snapshot.problem = inflated.problem;
  std::string_view text = inflated.text;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  CsvCursor csv(text);

  // The header: the first line that names one of our columns.
  std::array<int, kColumnCount> index;
  bool headerFound = false;
  bool last = false, terminated = false;
  for (int line = 0; line < kMaxPreambleLines && !csv.atEnd() && !headerFound; ++line) {
    index.fill(-1);
    last = false;
    for (int column = 0; !csv.atEnd() && !last; ++column) {
      const std::string_view name = trim(csv.next(last, terminated));
      for (int c = 0; c < kColumnCount; ++c)
        if (index[c] < 0 && name == kColumnNames[c]) {
          index[c] = column;
          headerFound = true;
        }
    }
  }
  auto addProblem = [&](const std::string& why) {
    snapshot.problem = snapshot.problem.empty() ? why : why + "; " + snapshot.problem;
  };
  if (!headerFound) {
    addProblem(text.empty() ? "the report list is empty" : "the report list has no column header");
    return snapshot;
  }
  if (index[kRawText] < 0) {
    addProblem("the report list has no raw_text column");
    return snapshot;
  }
  const int lastNeeded = *std::max_element(index.begin(), index.end());

  const auto byIcao = catalogueByIcao(catalogue);
  const UtcDateTime fallbackAnchor = options.receivedAt ? *options.receivedAt : UtcDateTime::now();
  std::vector<int> slot(catalogue.size(), -1);  // catalogue index -> snapshot.stations
  std::array<std::string, kColumnCount> fields;
  while (!csv.atEnd()) {
    for (std::string& f : fields) f.clear();
    last = false;
    terminated = false;
    int column = 0;
    bool blank = true;
    for (; column <= lastNeeded && !csv.atEnd() && !last; ++column) {
      const std::string_view field = csv.next(last, terminated);
      blank = blank && field.empty();
      for (int c = 0; c < kColumnCount; ++c)
        if (index[c] == column) fields[c].assign(field);
    }
    if (!last) csv.skipRecord(terminated);
    // A record the cut went through is no report.
    if (!terminated && !inflated.complete) break;
    if (blank && column == 1) continue;  // an empty line
    ++snapshot.reportCount;
    const std::string_view raw = trim(fields[kRawText]);
    if (raw.empty()) {
      ++snapshot.skippedCount;
      continue;
    }
    const std::optional<UtcDateTime> observed = isoTime(fields[kObservationTime]);
    // The row's observation time, else the download's, gives the report its month.
    const UtcDateTime lineTime = observed ? *observed : fallbackAnchor;
    const MetarReport report = decodeMetar(raw, lineTime);
    if (report.status == MetarStatus::Rejected || report.nil || !report.time.isValid()) {
      ++snapshot.skippedCount;
      continue;
    }
    // A report run in after another one on the line may be of another day
    // (MHTR's 14th after MHAM's 7th): more than a day from the line's
    // times it is misdated, neither stored nor shown.
    const std::optional<UtcDateTime> headerTime = firstHeaderTime(raw, lineTime);
    if (!withinADay(report.time, lineTime) || (headerTime && !withinADay(report.time, *headerTime))) {
      ++snapshot.skippedCount;
      continue;
    }
    const std::string_view stationId = trim(fields[kStationId]);
    if (options.reports != nullptr)
      options.reports->push_back(StoredMetar{stationId.empty() ? report.station : std::string(stationId),
                                             report.time.epochMinutes() * 60, std::string(raw),
                                             ReportOrigin::kWorldFile, report.corrected});
    const auto match = byIcao.find(stationId.empty() ? std::string_view(report.station) : stationId);
    if (match == byIcao.end()) {
      ++snapshot.unknownStationCount;
      continue;
    }
    StationWeather weather = weatherOf(report, raw, match->second);
    keepNewest(snapshot, slot[match->second], std::move(weather));
  }
  finishSnapshot(snapshot);
  return snapshot;
}

WeatherSnapshot storedWeather(const std::vector<StoredMetar>& reports, const StationList& catalogue) {
  WeatherSnapshot snapshot;
  snapshot.offline = true;
  const auto byIcao = catalogueByIcao(catalogue);
  std::vector<int> slot(catalogue.size(), -1);
  for (const StoredMetar& stored : reports) {
    const auto match = byIcao.find(stored.station);
    if (match == byIcao.end()) continue;
    ++snapshot.reportCount;
    const MetarReport report = decodeMetar(stored.raw, UtcDateTime::fromEpochMinutes(stored.observedAt / 60));
    if (report.status == MetarStatus::Rejected || report.nil || !report.time.isValid()) {
      ++snapshot.skippedCount;
      continue;
    }
    StationWeather weather = weatherOf(report, stored.raw, match->second);
    keepNewest(snapshot, slot[match->second], std::move(weather));
  }
  finishSnapshot(snapshot);
  return snapshot;
}

}  // namespace nimbrel
