#include "ui/UpdateStationListAction.h"

#include <QAction>
#include <QCoreApplication>
#include <unordered_map>

#include "services/Session.h"
#include "services/StationListUpdater.h"

namespace nimbrel {

std::shared_ptr<const StationList> rowsUnderNewCatalogue(const StationList& rows, bool wholeCatalogue,
                                                         std::shared_ptr<const StationList> next) {
  if (wholeCatalogue) return next;
  std::unordered_map<std::string_view, const Station*> byIcao;
  byIcao.reserve(next->size());
  for (const Station& s : *next) byIcao.try_emplace(s.icao, &s);
  StationList renewed = rows;
  for (Station& row : renewed) {
    const auto it = byIcao.find(row.icao);
    if (it != byIcao.end()) row = *it->second;
  }
  return std::make_shared<const StationList>(std::move(renewed));
}

QAction* makeUpdateStationListAction(Session& session, UserPort& user, QObject* parent) {
  auto* action = new QAction(QCoreApplication::translate("MainWindow", "&Update Station List"), parent);
  action->setObjectName(QStringLiteral("updateStationListAction"));
  action->setStatusTip(QCoreApplication::translate("MainWindow", "Download the weather service's current station list"));
  auto* updater = new StationListUpdater(session.sources().weatherLane(), user, action);
  QObject::connect(action, &QAction::triggered, updater,
                   [updater, &session] { updater->start(session.settings().metarUrl, session.catalogue()); });
  QObject::connect(updater, &StationListUpdater::finished, action, [updater, &session] {
    if (const std::shared_ptr<const StationList> next = updater->outcome().catalogue) session.stations().setCatalogue(next);
  });
  return action;
}

}  // namespace nimbrel
