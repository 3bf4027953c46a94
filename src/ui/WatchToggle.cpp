#include "ui/WatchToggle.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

namespace nimbrel {

QAction* addWatchEntry(QMenu& menu, const WatchToggle* toggle, const Station& station) {
  if (toggle == nullptr || !toggle->isWatched || !toggle->setWatched || station.icao.empty()) return nullptr;
  const bool watched = toggle->isWatched(station.icao);
  QAction* entry = menu.addAction(watched ? QCoreApplication::translate("WatchToggle", "Stop Watching")
                                          : QCoreApplication::translate("WatchToggle", "Watch"));
  entry->setObjectName(QStringLiteral("watchEntry"));
  entry->setStatusTip(QCoreApplication::translate("WatchToggle", "Keep this station in the Watched stations window"));
  // A copy: the menu's station may be gone when the entry runs.
  QObject::connect(entry, &QAction::triggered, &menu, [setWatched = toggle->setWatched, station, watched] {
    setWatched(station, !watched);
  });
  return entry;
}

}  // namespace nimbrel
