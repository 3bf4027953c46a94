#include "ui/MapFilterMenu.h"

#include <QActionGroup>

#include "services/SettingsService.h"

namespace nimbrel {

MapFilterMenu::MapFilterMenu(SettingsService& settings, QWidget* parent)
    : QMenu(tr("Show on &Map"), parent), settings(settings) {
  setObjectName(QStringLiteral("mapFilterMenu"));
  struct Category {
    unsigned bit;
    const char* name;
    QString text;
  };
  const Category kCategories[] = {
      {kMapVfr, "showVfrAction", tr("VFR")},        {kMapMvfr, "showMvfrAction", tr("MVFR")},
      {kMapIfr, "showIfrAction", tr("IFR")},        {kMapLifr, "showLifrAction", tr("LIFR")},
      {kMapUnknown, "showUnknownAction", tr("Unknown and no report")},
  };
  for (const Category& c : kCategories) {
    QAction* action = addAction(c.text);
    action->setObjectName(QString::fromLatin1(c.name));
    action->setCheckable(true);
    action->setData(c.bit);
    connect(action, &QAction::triggered, this, [this, bit = c.bit](bool shown) {
      Settings changed = this->settings.settings();
      changed.mapFilter.hiddenCategories =
          shown ? changed.mapFilter.hiddenCategories & ~bit : changed.mapFilter.hiddenCategories | bit;
      this->settings.apply(changed);
    });
    categories.append(action);
  }
  addSeparator();
  auto* group = new QActionGroup(this);
  const std::pair<int, QString> kAges[] = {
      {0, tr("Reports of any age")}, {1, tr("Reports up to 1 h old")}, {3, tr("Reports up to 3 h old")}};
  for (const auto& [hours, text] : kAges) {
    QAction* action = addAction(text);
    action->setObjectName(QStringLiteral("showReportsAction%1").arg(hours));
    action->setCheckable(true);
    action->setData(hours);
    group->addAction(action);
    connect(action, &QAction::triggered, this, [this, hours = hours] {
      Settings changed = this->settings.settings();
      changed.mapFilter.hideOlderHours = hours;
      this->settings.apply(changed);
    });
    ages.append(action);
  }
  connect(this, &QMenu::aboutToShow, this, &MapFilterMenu::showSettings);
  connect(&settings, &SettingsService::settingsChanged, this, &MapFilterMenu::showSettings);
  showSettings();
}

void MapFilterMenu::showSettings() {
  const MapFilter& filter = settings.settings().mapFilter;
  for (QAction* action : categories) action->setChecked(!(filter.hiddenCategories & action->data().toUInt()));
  for (QAction* action : ages) action->setChecked(action->data().toInt() == filter.hideOlderHours);
}

}  // namespace nimbrel
