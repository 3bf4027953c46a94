#pragma once
// The words the user reads for how a request for reports ended: the
// message box of a failed opening and the status bar's note.
#include <string>
#include <vector>

#include "catalog/Station.h"
#include "observations/ObservationSource.h"
#include "stationchart/StationChartModel.h"

namespace nimbrel {

// The message boxes of an opening, in order (none for a quiet one).
std::vector<std::string> openingMessages(const LoadOutcome& outcome, const Station& station);
// The box of a failed look for the newest report ("" when nothing to tell).
std::string readingMessage(const PageReading& reading, const Station& station);
// Why the service gave no (or not every) report, for the status bar ("" when
// the message box says all).
std::string readingNote(const PageReading& reading);

}  // namespace nimbrel
