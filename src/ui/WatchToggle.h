#pragma once
// What a "Watch" entry in a table's, a chart's or a map card's menu asks of
// the watch list, without the views knowing the service or the main window.
#include <functional>
#include <string>

#include "catalog/Station.h"

class QAction;
class QMenu;

namespace nimbrel {

struct WatchToggle {
  std::function<bool(const std::string& icao)> isWatched;
  std::function<void(const Station& station, bool watch)> setWatched;
};

// "Watch", or "Stop Watching" for a station already watched; nothing
// without a toggle or for a station without a code.
QAction* addWatchEntry(QMenu& menu, const WatchToggle* toggle, const Station& station);

}  // namespace nimbrel
