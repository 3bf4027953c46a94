#pragma once
// A day of real METAR reports (the NOAA hourly cycle files) moved in time to
// end at "now", answered in the form of the aviation weather Data API:
// /api/data/metar JSON and the whole-world latest-reports CSV.
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "SampleService.h"

namespace nimbrel::sample {

// Where a report's "ddhhmmZ" group sits in its text: offset, or npos.
std::size_t findDayTimeGroup(std::string_view report);

// One HTTP answer: status, content type and body.
struct ApiAnswer {
  int status = 200;
  std::string contentType;
  std::string body;
};

class SampleMetarDay {
 public:
  // The text of a cycle file (gunzipped). Lines "YYYY/MM/DD HH:MM" set the
  // anchor of the reports after them; before any, `defaultAnchor` holds.
  void load(std::string_view text, std::int64_t defaultAnchorMinutes);
  // A gzipped cycle file; the default anchor is the end of the day its name
  // gives ("...-YYYY-MM-DD..."). False with `error` when unreadable.
  bool loadFile(const std::string& gzPath, std::string& error);

  std::size_t reportCount() const { return records.size(); }
  std::size_t stationCount() const { return stationRanges.size(); }
  std::size_t memoryBytes() const;
  // The newest report's time as read, minutes since 1970.
  std::int64_t newestMinutes() const { return newest; }
  // Minutes every report moves so that the day, replayed up to `behind`
  // minutes before its newest report, lands on `now`'s minute; the reports
  // after that point lie after now and are not shown.
  std::int64_t shiftMinutes(std::time_t now, std::int64_t behind = 0) const { return now / 60 - (newest - behind); }

  // /api/data/metar with its query values; stations gives name and position.
  ApiAnswer metarApi(const std::string& ids, const std::string& format, const std::string& hours, bool hasHours,
                     std::time_t now, const std::unordered_map<std::string, const SampleStation*>& stations,
                     std::int64_t behind = 0) const;
  // The latest report of each station up to now, gzipped CSV.
  ApiAnswer cacheCsvGz(std::time_t now, const std::unordered_map<std::string, const SampleStation*>& stations,
                       std::int64_t behind = 0) const;

 private:
  // 12 bytes a report: the text stays in one shared buffer.
  struct Record {
    std::uint32_t textOffset;
    std::uint16_t textLength;
    std::uint8_t groupOffset;  // of "ddhhmmZ" in the text
    std::uint8_t special;      // SPECI
    std::int32_t minutes;      // observed, minutes since 1970, before the shift
  };
  struct Range {
    std::uint32_t begin, end;  // into records, newest first
  };

  std::string_view textOf(const Record& record) const { return {text.data() + record.textOffset, record.textLength}; }
  // "METAR KJFK 141251Z ..." with the group moved by shift.
  std::string rawOb(const Record& record, std::int64_t shift) const;

  std::string text;
  std::vector<Record> records;  // grouped by station, each newest first
  std::unordered_map<std::string, Range> stationRanges;
  std::int64_t newest = 0;
};

}  // namespace nimbrel::sample
