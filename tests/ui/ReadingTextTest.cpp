// The words for each way a request for reports ends: the boxes of a failed
// opening in order, and the status bar's note.
#include <gtest/gtest.h>

#include "ui/ReadingText.h"
#include "support/SampleField.h"

namespace nimbrel {
namespace {

using test::SampleField;

TEST(ReadingText, EachOutcomeHasItsWords) {
  const std::string noData =
      "Sorry, no data available for the Station:\n\nSAMPLE FIELD ZZ KXYZ   (12 34N, 056 07W),  Elevation: 89 m,  QQ.";
  const std::string chartWord = "Can not get meteodata for the station: \"SAMPLE FIELD\"";
  const struct {
    const char* what;
    ReadOutcome outcome;
    std::string detail;
    int timeoutSeconds;
    int skipped;
    std::vector<std::string> boxes;
    std::string note;
  } cases[] = {
      {"loaded", ReadOutcome::kLoaded, "", 0, 0, {}, ""},
      {"loaded, some unreadable", ReadOutcome::kLoaded, "", 0, 2, {}, "2 of the service's reports could not be read."},
      {"no data", ReadOutcome::kNoData, "", 0, 0, {noData, chartWord}, ""},
      {"timed out", ReadOutcome::kTimedOut, "", 20, 0, {"Sorry, the weather service did not answer (timed out after 20 s)."}, ""},
      {"refused", ReadOutcome::kUnreachable, "Couldn't connect to server", 0, 0,
       {"Sorry, the weather service could not be reached (Couldn't connect to server)."}, ""},
      {"rate limited", ReadOutcome::kRateLimited, "", 0, 0, {noData, chartWord},
       "The aviation weather service asked us to wait: asking again in a minute."},
      {"our own limit", ReadOutcome::kRequestLimit, "", 0, 0, {noData, chartWord},
       "A hundred requests this minute: waiting before asking again."},
      {"server error", ReadOutcome::kServiceError, "HTTP status 500", 0, 0, {noData, chartWord},
       "The aviation weather service answered: HTTP status 500."},
      {"unreadable", ReadOutcome::kUnreadable, "", 0, 0, {noData, chartWord},
       "The aviation weather service's answer could not be read."},
      {"cancelled", ReadOutcome::kCancelled, "", 0, 0, {}, ""},
  };
  for (const auto& c : cases) {
    LoadOutcome outcome;
    outcome.ok = c.outcome == ReadOutcome::kLoaded;
    outcome.reading.outcome = c.outcome;
    outcome.reading.detail = c.detail;
    outcome.reading.timeoutSeconds = c.timeoutSeconds;
    outcome.reading.skippedReports = c.skipped;
    EXPECT_EQ(openingMessages(outcome, SampleField()), c.boxes) << c.what;
    EXPECT_EQ(readingNote(outcome.reading), c.note) << c.what;
  }
  // A single report opens the chart with its own word.
  LoadOutcome single;
  single.ok = true;
  single.reading.outcome = ReadOutcome::kLoaded;
  single.singleRecord = true;
  EXPECT_EQ(openingMessages(single, SampleField()),
            std::vector<std::string>{"Get only one record from the station \"SAMPLE FIELD\".\nTherefore compelled to "
                                     "set the time-period to 30 mins and the time-delta UTC to 0 hours, sorry."});
}

}  // namespace
}  // namespace nimbrel
