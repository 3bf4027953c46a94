#include "ui/AviationPanelAction.h"

#include "services/SettingsService.h"

namespace nimbrel {

AviationPanelAction::AviationPanelAction(SettingsService& settings, QObject* parent)
    : QAction(tr("&Aviation Panel"), parent) {
  setObjectName(QStringLiteral("aviationPanelAction"));
  setStatusTip(tr("Show or hide the flight category, ceiling and visibility under METAR charts"));
  setCheckable(true);
  setChecked(settings.settings().showAviationPanel);
  // triggered, not toggled: following the settings must not apply them again.
  connect(this, &QAction::triggered, this, [&settings](bool shown) {
    Settings changed = settings.settings();
    changed.showAviationPanel = shown;
    settings.apply(changed);
  });
  connect(&settings, &SettingsService::settingsChanged, this,
          [this, &settings] { setChecked(settings.settings().showAviationPanel); });
}

}  // namespace nimbrel
