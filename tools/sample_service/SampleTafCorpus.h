#pragma once
// Real TAFs ("YYYY-MM-DD<TAB>report" lines, the date the TAF was issued)
// answered as the Data API's /api/data/taf: the newest TAF of each listed
// station, moved by a whole number of hours so that it was issued shortly
// before now and is valid now (or at the past instant asked), its raw text
// rewritten to match.
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "SampleMetarDay.h"
#include "SampleService.h"
#include "metar/TafReport.h"
#include "metar/UtcDateTime.h"

namespace nimbrel::sample {

// A day-time inside a TAF's text: the offset of its first digit and how
// many digits it has (6 for ddhhmm, 4 for ddhh).
struct TafDayTimeField {
  std::size_t offset = 0;
  int digits = 0;
};

// The day-times of a TAF: "ddhhmmZ" (the issue time and any later one, as
// in "NXT FCST BY 030600Z"), both halves of "ddhh/ddhh", "FMddhhmm", and
// the "/ddhhZ" of TX/TN groups. The old forms without a day are not here.
std::vector<TafDayTimeField> findTafDayTimes(std::string_view raw);

// `raw` with every day-time moved by `shiftHours`; each is read as the date
// nearest `validFrom`, as the decoder reads them. Hour 24 stays hour 24 of
// the day before when the move lands on midnight.
std::string shiftTafDayTimes(std::string_view raw, const UtcDateTime& validFrom, std::int64_t shiftHours);

// The whole hours that put the issue time and the start of validity at or
// just before `now` (the later of the two within the last hour).
std::int64_t tafShiftHours(const TafReport& taf, std::time_t now);

// The instant a `date` value names: "yyyy-mm-ddThh:mm:ssZ", or
// "yyyymmdd_hhmm" with seconds and "Z" optional; none otherwise.
std::optional<std::time_t> tafApiDate(std::string_view text);

class SampleTafCorpus {
 public:
  using Stations = std::unordered_map<std::string, const SampleStation*>;

  // Keeps, of each station in `stations`, the newest TAF that decodes with
  // an issue time and a validity lasting at least an hour past it.
  void load(std::string_view tsv, const Stations& stations);
  bool loadFile(const std::string& path, const Stations& stations, std::string& error);

  std::size_t stationCount() const { return tafs.size(); }

  // How far back `date` reaches: the day the service replays.
  static constexpr std::time_t kReplayedDaySeconds = 24 * 3600;

  // /api/data/taf with its query values. Without `date`, each station's TAF
  // as valid now; with it, as valid at that instant (time "valid", the
  // default) or issued in the hour up to it (time "issue"), within the
  // replayed day; none outside it.
  ApiAnswer tafApi(const std::string& ids, const std::string& format, std::time_t now, const Stations& stations,
                   const std::string& date = {}, const std::string& time = {}) const;

 private:
  struct Kept {
    std::string raw;      // starting "TAF ", without the closing "="
    TafReport decoded;    // anchored on the corpus date
  };
  std::unordered_map<std::string, Kept> tafs;
};

}  // namespace nimbrel::sample
