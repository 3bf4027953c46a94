#include "ui/ReadingText.h"

#include <QCoreApplication>

#include "observations/ReportPageSource.h"
#include "services/QtText.h"

namespace nimbrel {
namespace {

// Texts come here marked with QT_TRANSLATE_NOOP, so that lupdate finds them.
std::string text(const char* source) { return fromQString(QCoreApplication::translate("ReadingText", source)); }

std::string noDataText(const Station& station) {
  return fromQString(QCoreApplication::translate("ReadingText", "Sorry, no data available for the Station:\n\n%1.")
                         .arg(toQString(stationHeading(station))));
}

}  // namespace

static std::string serviceNote(const PageReading& reading);

std::string readingMessage(const PageReading& reading, const Station& station) {
  switch (reading.outcome) {
    case ReadOutcome::kLoaded:
    case ReadOutcome::kCancelled:
      return {};
    case ReadOutcome::kTimedOut:
      return fromQString(QCoreApplication::translate("ReadingText",
                                                     "Sorry, the weather service did not answer (timed out after %1 s).")
                             .arg(reading.timeoutSeconds));
    case ReadOutcome::kUnreachable:
      return fromQString(QCoreApplication::translate("ReadingText", "Sorry, the weather service could not be reached (%1).")
                             .arg(toQString(reading.detail)));
    case ReadOutcome::kNoData:
    case ReadOutcome::kRateLimited:
    case ReadOutcome::kRequestLimit:
    case ReadOutcome::kServiceError:
    case ReadOutcome::kUnreadable:
      break;
  }
  return noDataText(station);
}

std::string readingNote(const PageReading& reading) {
  std::string note = serviceNote(reading);
  if (!reading.storeNote.empty()) note += (note.empty() ? "" : " ") + reading.storeNote;
  return note;
}

std::string serviceNote(const PageReading& reading) {
  switch (reading.outcome) {
    case ReadOutcome::kRateLimited:
      return text(QT_TRANSLATE_NOOP("ReadingText", "The aviation weather service asked us to wait: asking again in a minute."));
    case ReadOutcome::kRequestLimit:
      return text(QT_TRANSLATE_NOOP("ReadingText", "A hundred requests this minute: waiting before asking again."));
    case ReadOutcome::kServiceError:
      return fromQString(QCoreApplication::translate("ReadingText", "The aviation weather service answered: %1.")
                             .arg(toQString(reading.detail)));
    case ReadOutcome::kUnreadable:
      return text(QT_TRANSLATE_NOOP("ReadingText", "The aviation weather service's answer could not be read."));
    default:
      break;
  }
  if (reading.skippedReports > 0)
    return fromQString(QCoreApplication::translate("ReadingText", "%1 of the service's reports could not be read.")
                           .arg(reading.skippedReports));
  return {};
}

std::vector<std::string> openingMessages(const LoadOutcome& outcome, const Station& station) {
  std::vector<std::string> messages;
  if (!outcome.ok) {
    const std::string message = readingMessage(outcome.reading, station);
    if (!message.empty()) messages.push_back(message);
    // A service without the station's reports also gets the chart's own
    // word; one that did not answer has said all there is.
    const ReadOutcome why = outcome.reading.outcome;
    if (why != ReadOutcome::kCancelled && why != ReadOutcome::kTimedOut && why != ReadOutcome::kUnreachable)
      messages.push_back(fromQString(QCoreApplication::translate("ReadingText", "Can not get meteodata for the station: \"%1\"")
                                         .arg(toQString(station.name))));
  }
  if (outcome.singleRecord)
    messages.push_back(fromQString(
        QCoreApplication::translate("ReadingText",
                                    "Get only one record from the station \"%1\".\nTherefore compelled to set the "
                                    "time-period to 30 mins and the time-delta UTC to 0 hours, sorry.")
            .arg(toQString(station.name))));
  return messages;
}

}  // namespace nimbrel
