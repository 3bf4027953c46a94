#pragma once
// View > "Aviation Panel": shows or hides the panel under every METAR
// chart. It is the user's setting, shared by every chart and kept.
#include <QAction>

namespace nimbrel {

class SettingsService;

class AviationPanelAction : public QAction {
  Q_OBJECT

 public:
  AviationPanelAction(SettingsService& settings, QObject* parent = nullptr);
};

}  // namespace nimbrel
