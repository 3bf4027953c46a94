#pragma once
// Reading the service's decoded-report page. The page is not parsed as HTML:
// fixed marker texts are searched in a fixed order and the text between them
// taken, which is the contract the service's pages keep.
#include <cstddef>
#include <string>
#include <string_view>

#include "observations/Observation.h"
#include "base/TextNumbers.h"

namespace nimbrel {

// The page's entities, replaced one after another in a fixed order (so
// "&#38;#60;" becomes "<"); two spaces and line breaks become one space.
std::string decodeEntities(std::string_view text);

// occurrence chained anchor -> start -> end searches, each link starting at
// the previous end marker; the text between the last start and end marker,
// decoded and trimmed. An empty anchor means "from where the chain stands".
std::string extractBetween(std::string_view text, std::string_view anchor, std::string_view startMarker,
                           std::string_view endMarker, int occurrence);


enum class ReportPageStatus {
  kReports,      // at least one report read
  kEmpty,        // no page at all
  kSorry,        // the service said "Sorry"
  kNoReport,     // no report on the page
  kBadDate,      // a report's date and time could not be read
};

// The most of a text cell a report keeps, in bytes: the server decides
// what the cells hold, and a runaway cell must not fill the memory.
constexpr std::size_t kReportTextLimit = 1000;

// Reads every report of a page, newest first, appending to observations when
// given. Each report is read only from its own stretch of the page, from its
// "Conditions at" to the next one, so a row a report lacks stays empty
// instead of being taken from a later report. Every text cell keeps at most
// its first kReportTextLimit bytes. Reports read before a report
// with an unreadable date stay appended.
ReportPageStatus readReportPage(std::string_view page, ObservationList* observations);

// Reads one report's stretch; false when it has no "observed" time.
// dateOk is false when the time is there but cannot be read.
bool readReport(std::string_view stretch, Observation& observation, bool& dateOk);

const char* reportPageStatusText(ReportPageStatus status);

}  // namespace nimbrel
