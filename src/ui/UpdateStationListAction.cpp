#include "ui/UpdateStationListAction.h"

#include <QAction>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <unordered_map>

#include "services/Session.h"
#include "services/StationListUpdater.h"
#include "ui/StationTableView.h"

namespace nimbrel {

void reloadCatalogueViews(QMdiArea& area, const StationList& old, std::shared_ptr<const StationList> next) {
  std::unordered_map<std::string_view, const Station*> byIcao;
  byIcao.reserve(next->size());
  for (const Station& s : *next) byIcao.try_emplace(s.icao, &s);
  for (QMdiSubWindow* sub : area.subWindowList()) {
    QWidget* view = sub->widget();
    auto* table = qobject_cast<StationTableView*>(view);
    if (table == nullptr) {
      if (view != nullptr) view->update();
      continue;
    }
    // "All stations" shows the catalogue itself.
    if (&table->stations() == &old) {
      table->replaceStations(next);
      continue;
    }
    StationList rows = table->stations();
    for (Station& row : rows) {
      const auto it = byIcao.find(row.icao);
      if (it != byIcao.end()) row = *it->second;
    }
    table->replaceStations(std::make_shared<const StationList>(std::move(rows)));
  }
}

QAction* makeUpdateStationListAction(Session& session, UserPort& user, QMdiArea& area) {
  auto* action = new QAction(QCoreApplication::translate("MainWindow", "&Update Station List"), &area);
  action->setObjectName(QStringLiteral("updateStationListAction"));
  action->setStatusTip(QCoreApplication::translate("MainWindow", "Download the weather service's current station list"));
  auto* updater = new StationListUpdater(session.sources().weatherLane(), user, action);
  QObject::connect(action, &QAction::triggered, updater,
                   [updater, &session] { updater->start(session.settings().metarUrl, session.catalogue()); });
  QObject::connect(updater, &StationListUpdater::finished, &area, [updater, &session, &area] {
    const std::shared_ptr<const StationList> next = updater->outcome().catalogue;
    if (!next) return;
    const std::shared_ptr<const StationList> old = session.catalogue();
    session.stations().setCatalogue(next);
    reloadCatalogueViews(area, *old, next);
  });
  return action;
}

}  // namespace nimbrel
