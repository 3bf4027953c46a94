#pragma once
// The user's settings file (~/.config/Quillfen/Nimbrel.conf), where the
// recent list and the report source are kept.
#include <QSettings>
#include <QString>
#include <memory>

namespace nimbrel {

// Where the settings file lies.
QString userSettingsPath();

// The settings, or null when something other than a regular file (a FIFO,
// a device, a folder) stands at their path: opening it would block or fail,
// so the program goes on with its defaults and keeps nothing.
std::unique_ptr<QSettings> openUserSettings();

}  // namespace nimbrel
