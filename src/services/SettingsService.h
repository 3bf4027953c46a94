#pragma once
// The program's settings and their keeping: the report source, the METAR
// address, the display units and the map's filter are read from the user's
// settings file and written back when changed; every other setting starts
// from its default.
#include <QObject>
#include <string>

#include "base/Settings.h"

namespace nimbrel {

class SettingsService : public QObject {
  Q_OBJECT

 public:
  // Reads what the user's settings file keeps.
  explicit SettingsService(QObject* parent = nullptr);

  const Settings& settings() const { return current; }
  // Takes the Parameters dialog's result; what is kept of it is written.
  void apply(const Settings& changed);
  // For this run only (the command line): not kept with the settings.
  void setReportSource(ReportSource source);
  void setMetarUrl(const std::string& url);

 signals:
  // Any setting changed: open views show the settings as they now are.
  void settingsChanged();
  // The Report source or the METAR address changed.
  void sourceChanged();
  // A settings file that could not be written.
  void statusNote(const std::string& text);

 private:
  void readSourceSettings();
  void writeSourceSettings();

  Settings current;
  // The METAR address as kept: one given for this run only is not saved.
  std::string storedMetarUrl;
};

}  // namespace nimbrel
