#pragma once
// The user's settings file (~/.config/Quillfen/Nimbrel.conf), where the
// recent list, the report source and the display units are kept.
#include <QSettings>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "base/DisplayUnits.h"
#include "base/MapFilter.h"
#include "watch/Minima.h"

namespace nimbrel {

// Where the settings file lies.
QString userSettingsPath();

// The settings, or null when something other than a regular file (a FIFO,
// a device, a folder) stands at their path: opening it would block or fail,
// so the program goes on with its defaults and keeps nothing.
std::unique_ptr<QSettings> openUserSettings();

// The display units kept as "Settings/Units"; the default units when none
// (or an unreadable value) is kept.
DisplayUnits readStoredUnits();
void storeUnits(const DisplayUnits& units);

// What the maps hide, kept as "Map/Filter"; nothing hidden when none (or an
// unreadable value) is kept. Storing says whether it was written.
MapFilter readStoredMapFilter();
bool storeMapFilter(const MapFilter& filter);

// Whether charts show the aviation panel, kept as "Settings/AviationPanel";
// shown when nothing (or an unreadable value) is kept.
bool readStoredAviationPanel();
bool storeAviationPanel(bool shown);

// The watched stations, kept as "Watch/Stations" ("EGLL,KJFK"): bad
// entries dropped, the order kept, each once. Storing says whether it was
// written.
std::vector<std::string> readStoredWatchList();
bool storeWatchList(const std::vector<std::string>& codes);

// The personal minima, kept as "Watch/Minima" in their text form; none
// when nothing (or a text that does not read whole) is kept.
MinimaSet readStoredMinima();
bool storeMinima(const MinimaSet& minima);

// Whether watch alerts are held back ("Watch/Quiet") and whether closing
// the main window keeps the program in the tray ("Watch/KeepInTray"); both
// off when nothing (or an unreadable value) is kept.
bool readStoredWatchQuiet();
bool storeWatchQuiet(bool on);
bool readStoredKeepInTray();
bool storeKeepInTray(bool on);

}  // namespace nimbrel
