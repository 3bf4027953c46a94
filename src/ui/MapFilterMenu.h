#pragma once
// The View menu's "Show on Map" choices: each flight category (stations
// without a report count as unknown) and how old a report may be. They are
// the user's settings, shared by every map and kept for the next run.
#include <QMenu>

namespace nimbrel {

class SettingsService;

class MapFilterMenu : public QMenu {
  Q_OBJECT

 public:
  MapFilterMenu(SettingsService& settings, QWidget* parent = nullptr);

 private:
  // The checks follow the settings as they are now.
  void showSettings();

  SettingsService& settings;
  QList<QAction*> categories;
  QList<QAction*> ages;
};

}  // namespace nimbrel
