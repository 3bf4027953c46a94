// Any bytes as the sample service's TAF endpoint sees them: a corpus of
// dated TAF lines and the request's ids, date and time values. Never a
// crash; a date read back from its own text is the same instant; every
// answer is JSON, and each TAF it gives is valid at the instant asked.
//   byte 0: now, in hours after the date asked (or after a fixed instant)
//   then three lines: ids, date, time; the rest is the corpus
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "SampleApiJson.h"
#include "SampleTafCorpus.h"
#include "metar/TafDecoder.h"

namespace {

std::string_view nextLine(std::string_view& rest) {
  const std::size_t end = rest.find('\n');
  const std::string_view line = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace nimbrel;
  using namespace nimbrel::sample;
  if (size < 1) return 0;
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string ids(nextLine(rest));
  const std::string date(nextLine(rest));
  const std::string time(nextLine(rest));

  const std::optional<std::time_t> asked = tafApiDate(date);
  if (asked) {
    // The same instant written in the ISO form must read back as itself.
    const std::int64_t minutes = *asked / 60 - (*asked % 60 < 0);
    const UtcDateTime at = UtcDateTime::fromEpochMinutes(minutes);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", at.year, at.month, at.day, at.hour,
                  at.minute, static_cast<int>(*asked - minutes * 60));
    if (tafApiDate(text) != asked) __builtin_trap();
  }
  // Now from a few hours before the date asked to a day and more after it,
  // so both "not yet" and "within the replayed day" are reached.
  const std::time_t base = asked ? *asked : 1796644800;
  const std::time_t now = base + (static_cast<std::time_t>(data[0] % 32) - 4) * 3600;

  // Every id asked is a listed station, so the corpus's TAFs of them are kept.
  std::vector<SampleStation> list;
  for (const std::string& id : apiSplitIds(ids))
    if (list.size() < 8) list.push_back(SampleStation{id, 40.0, -73.0});
  SampleTafCorpus::Stations stations;
  for (const SampleStation& s : list) stations.emplace(s.icao, &s);
  SampleTafCorpus corpus;
  corpus.load(rest, stations);
  if (corpus.stationCount() > list.size()) __builtin_trap();

  const ApiAnswer answer = corpus.tafApi(ids, "json", now, stations, date, time);
  const nlohmann::json body = nlohmann::json::parse(answer.body, nullptr, false);
  if (body.is_discarded()) __builtin_trap();
  if (answer.status == 400) return 0;
  if (answer.status != 200 || !body.is_array()) __builtin_trap();
  const std::time_t at = date.empty() ? now : *asked;
  if (!body.empty() && (at > now || at < now - SampleTafCorpus::kReplayedDaySeconds)) __builtin_trap();
  const bool byIssue = !date.empty() && time == "issue";
  for (const nlohmann::json& taf : body) {
    const std::int64_t from = taf.at("validTimeFrom").get<std::int64_t>();
    const std::int64_t to = taf.at("validTimeTo").get<std::int64_t>();
    if (!byIssue && (from > at || to <= at)) __builtin_trap();
    if (!stations.contains(taf.at("icaoId").get<std::string>())) __builtin_trap();
    // The moved text still decodes, as the station's TAF.
    const std::string raw = taf.at("rawTAF").get<std::string>();
    const TafReport moved = decodeTaf(raw, UtcDateTime::fromEpochMinutes(from / 60));
    if (moved.status == MetarStatus::Rejected || moved.station != taf.at("icaoId").get<std::string>())
      __builtin_trap();
  }
  return 0;
}
