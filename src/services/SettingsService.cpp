#include "services/SettingsService.h"

#include <QMetaObject>
#include <memory>

#include "services/UserSettings.h"

namespace nimbrel {

SettingsService::SettingsService(QObject* parent) : QObject(parent) {
  writer.setMaxThreadCount(1);
  readSourceSettings();
  current.units = readStoredUnits();
  current.mapFilter = readStoredMapFilter();
  current.showAviationPanel = readStoredAviationPanel();
}

SettingsService::~SettingsService() { waitForWrites(); }

void SettingsService::waitForWrites() { writer.waitForDone(); }

void SettingsService::apply(const Settings& changed) {
  const Settings before = current;
  current = changed;
  if (current.units != before.units) writer.start([units = current.units] { storeUnits(units); });
  if (current.mapFilter != before.mapFilter)
    writer.start([this, filter = current.mapFilter] {
      if (!storeMapFilter(filter))
        QMetaObject::invokeMethod(this, [this] { emit statusNote("Can not save the settings."); }, Qt::QueuedConnection);
    });
  if (current.showAviationPanel != before.showAviationPanel)
    writer.start([this, shown = current.showAviationPanel] {
      if (!storeAviationPanel(shown))
        QMetaObject::invokeMethod(this, [this] { emit statusNote("Can not save the settings."); }, Qt::QueuedConnection);
    });
  const bool sourceMoved = current.reportSource != before.reportSource || current.metarUrl != before.metarUrl;
  if (sourceMoved) {
    if (current.metarUrl != before.metarUrl) storedMetarUrl = current.metarUrl;
    writeSourceSettings();
    emit sourceChanged();
  }
  emit settingsChanged();
}

void SettingsService::setReportSource(ReportSource source) {
  if (current.reportSource == source) return;
  current.reportSource = source;
  emit sourceChanged();
}

void SettingsService::setMetarUrl(const std::string& url) {
  if (current.metarUrl == url) return;
  current.metarUrl = url;
  emit sourceChanged();
}

void SettingsService::readSourceSettings() {
  storedMetarUrl = current.metarUrl;
  const std::unique_ptr<QSettings> stored = openUserSettings();
  if (!stored) return;
  stored->beginGroup(QStringLiteral("Settings"));
  if (const std::optional<ReportSource> source =
          reportSourceNamed(stored->value(QStringLiteral("ReportSource")).toString().toStdString()))
    current.reportSource = *source;
  const QString url = stored->value(QStringLiteral("MetarUrl")).toString();
  if (!url.isEmpty()) current.metarUrl = url.toStdString();
  storedMetarUrl = current.metarUrl;
}

void SettingsService::writeSourceSettings() {
  const std::unique_ptr<QSettings> stored = openUserSettings();
  if (stored) {
    stored->beginGroup(QStringLiteral("Settings"));
    stored->setValue(QStringLiteral("ReportSource"), QString::fromLatin1(reportSourceName(current.reportSource)));
    stored->setValue(QStringLiteral("MetarUrl"), QString::fromStdString(storedMetarUrl));
    stored->endGroup();
    stored->sync();
  }
  if (!stored || stored->status() != QSettings::NoError) emit statusNote("Can not save the settings.");
}

}  // namespace nimbrel
