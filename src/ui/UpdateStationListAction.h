#pragma once
// The File menu's "Update Station List" and how its new list reaches the open windows.
#include <memory>

#include "base/UserPort.h"
#include "catalog/Station.h"

class QAction;
class QMdiArea;

namespace nimbrel {

// Shows a new catalogue in the open windows without a restart: a table of
// the whole old catalogue gets the whole new one, a table of found stations
// gets their new records (a station gone stays as it was), maps repaint.
void reloadCatalogueViews(QMdiArea& area, const StationList& old, std::shared_ptr<const StationList> next);

class Session;
// The File menu's "Update Station List": downloads on the session's weather
// lane and takes a new list into the session and the open windows of `area`.
QAction* makeUpdateStationListAction(Session& session, UserPort& user, QMdiArea& area);

}  // namespace nimbrel
