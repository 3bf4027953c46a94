#pragma once
// The File menu's "Update Station List" and what a new list means for a station table.
#include <memory>

#include "base/UserPort.h"
#include "catalog/Station.h"

class QAction;
class QObject;

namespace nimbrel {

// A station table's rows under a new catalogue: a table of the whole
// catalogue gets the whole new one, a table of found stations gets their
// new records (a station gone stays as it was).
std::shared_ptr<const StationList> rowsUnderNewCatalogue(const StationList& rows, bool wholeCatalogue,
                                                         std::shared_ptr<const StationList> next);

class Session;
// The File menu's "Update Station List": downloads on the session's weather
// lane and takes a new list into the session, whose stations' signal the
// open windows follow.
QAction* makeUpdateStationListAction(Session& session, UserPort& user, QObject* parent);

}  // namespace nimbrel
