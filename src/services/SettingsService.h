#pragma once
// The program's settings and their keeping: the report source, the METAR
// address, the display units, the map's filter and the aviation panel's switch are read from the user's
// settings file and written back when changed; every other setting starts
// from its default.
#include <QObject>
#include <QThreadPool>
#include <string>

#include "base/Settings.h"

namespace nimbrel {

class SettingsService : public QObject {
  Q_OBJECT

 public:
  // Reads what the user's settings file keeps.
  explicit SettingsService(QObject* parent = nullptr);
  // Waits for the settings being written.
  ~SettingsService() override;

  const Settings& settings() const { return current; }
  // Takes the Parameters dialog's result; what is kept of it is written.
  void apply(const Settings& changed);
  // For this run only (the command line): not kept with the settings.
  void setReportSource(ReportSource source);
  void setMetarUrl(const std::string& url);
  // Returns once what was applied so far is in the settings file.
  void waitForWrites();

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
  // One thread, so the writes land in the order they were made: the file is
  // synced to disk, which would hold the windows' repaint for milliseconds.
  QThreadPool writer;
};

}  // namespace nimbrel
