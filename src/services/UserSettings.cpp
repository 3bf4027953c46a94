#include "services/UserSettings.h"

#include <sys/stat.h>

#include <QStandardPaths>
#include <cerrno>

#include "watch/WatchList.h"

namespace nimbrel {

QString userSettingsPath() {
  // As QSettings places a user's native settings on Linux.
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/Quillfen/Nimbrel.conf");
}

std::unique_ptr<QSettings> openUserSettings() {
  struct stat info {};
  const QByteArray path = userSettingsPath().toLocal8Bit();
  // A link to a regular file is fine; a missing file is made on writing.
  if (::stat(path.constData(), &info) == 0 ? !S_ISREG(info.st_mode) : errno != ENOENT) return nullptr;
  return std::make_unique<QSettings>(QStringLiteral("Quillfen"), QStringLiteral("Nimbrel"));
}

DisplayUnits readStoredUnits() {
  const std::unique_ptr<QSettings> stored = openUserSettings();
  if (!stored) return {};
  return unitsFromSettingText(stored->value(QStringLiteral("Settings/Units")).toString().toStdString())
      .value_or(DisplayUnits{});
}

void storeUnits(const DisplayUnits& units) {
  const std::unique_ptr<QSettings> stored = openUserSettings();
  if (!stored) return;
  stored->setValue(QStringLiteral("Settings/Units"), QString::fromStdString(unitsSettingText(units)));
  stored->sync();
}

MapFilter readStoredMapFilter() {
  const std::unique_ptr<QSettings> stored = openUserSettings();
  if (!stored) return {};
  return mapFilterFromSettingText(stored->value(QStringLiteral("Map/Filter")).toString().toStdString())
      .value_or(MapFilter{});
}

bool storeMapFilter(const MapFilter& filter) {
  const std::unique_ptr<QSettings> stored = openUserSettings();
  if (!stored) return false;
  stored->setValue(QStringLiteral("Map/Filter"), QString::fromStdString(mapFilterSettingText(filter)));
  stored->sync();
  return stored->status() == QSettings::NoError;
}

bool readStoredAviationPanel() {
  const std::unique_ptr<QSettings> stored = openUserSettings();
  if (!stored) return true;
  const QString text = stored->value(QStringLiteral("Settings/AviationPanel")).toString();
  return text != QStringLiteral("off");
}

bool storeAviationPanel(bool shown) {
  const std::unique_ptr<QSettings> stored = openUserSettings();
  if (!stored) return false;
  stored->setValue(QStringLiteral("Settings/AviationPanel"), shown ? QStringLiteral("on") : QStringLiteral("off"));
  stored->sync();
  return stored->status() == QSettings::NoError;
}

std::vector<std::string> readStoredWatchList() {
  const std::unique_ptr<QSettings> stored = openUserSettings();
  if (!stored) return {};
  return watchListFromSettingText(stored->value(QStringLiteral("Watch/Stations")).toString().toStdString());
}

bool storeWatchList(const std::vector<std::string>& codes) {
  const std::unique_ptr<QSettings> stored = openUserSettings();
  if (!stored) return false;
  stored->setValue(QStringLiteral("Watch/Stations"), QString::fromStdString(watchListSettingText(codes)));
  stored->sync();
  return stored->status() == QSettings::NoError;
}

MinimaSet readStoredMinima() {
  const std::unique_ptr<QSettings> stored = openUserSettings();
  if (!stored) return {};
  const MinimaReading reading = readMinima(stored->value(QStringLiteral("Watch/Minima")).toString().toStdString());
  return reading.error.empty() ? reading.minima : MinimaSet{};
}

bool storeMinima(const MinimaSet& minima) {
  const std::unique_ptr<QSettings> stored = openUserSettings();
  if (!stored) return false;
  stored->setValue(QStringLiteral("Watch/Minima"), QString::fromStdString(minimaText(minima)));
  stored->sync();
  return stored->status() == QSettings::NoError;
}

namespace {

bool readOnOff(const QString& key) {
  const std::unique_ptr<QSettings> stored = openUserSettings();
  return stored && stored->value(key).toString() == QStringLiteral("on");
}

bool storeOnOff(const QString& key, bool on) {
  const std::unique_ptr<QSettings> stored = openUserSettings();
  if (!stored) return false;
  stored->setValue(key, on ? QStringLiteral("on") : QStringLiteral("off"));
  stored->sync();
  return stored->status() == QSettings::NoError;
}

}  // namespace

bool readStoredWatchQuiet() { return readOnOff(QStringLiteral("Watch/Quiet")); }
bool storeWatchQuiet(bool on) { return storeOnOff(QStringLiteral("Watch/Quiet"), on); }
bool readStoredKeepInTray() { return readOnOff(QStringLiteral("Watch/KeepInTray")); }
bool storeKeepInTray(bool on) { return storeOnOff(QStringLiteral("Watch/KeepInTray"), on); }

}  // namespace nimbrel
