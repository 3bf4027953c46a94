#include "ui/StationListUpdater.h"

#include <QAction>
#include <QCoreApplication>

#include "ui/Session.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <cstdlib>
#include <ctime>
#include <unordered_map>

#include "catalog/StationListLocation.h"
#include "observations/ServiceStationList.h"
#include "stationchart/MeteodataFile.h"
#include "ui/StationTableView.h"

namespace nimbrel {
namespace {

const std::string kKept = " The current station list is kept.";

// Runs on the worker: everything from the download to the file.
StationListUpdateOutcome updateOnWorker(const FetchResult& fetched, const StationList& current,
                                        const std::string& url, const std::filesystem::path& target,
                                        const std::vector<std::filesystem::path>& places) {
  StationListUpdateOutcome out;
  StationListUpdate update = prepareStationListUpdate(fetched, current, stationListOrigin(url, std::time(nullptr)));
  if (!update.accepted) {
    out.message = update.message;
    return out;
  }
  std::error_code error;
  std::filesystem::create_directories(target.parent_path(), error);
  if (replaceFile(target, update.text) != FileReplacement::kReplaced) {
    out.message = "The new station list could not be written to \"" + target.string() + "\"." + kKept;
    return out;
  }
  out.written = true;
  out.message = update.message + ".\nWritten to \"" + target.string() + "\".";
  // The program reads the first list there is; the working folder's own
  // list still wins over the one written.
  for (const std::filesystem::path& place : places) {
    if (!std::filesystem::exists(std::filesystem::symlink_status(place, error))) continue;
    if (std::filesystem::equivalent(place, target, error))
      out.catalogue = std::make_shared<const StationList>(std::move(update.stations));
    else
      out.message += "\nThe list \"" + place.string() + "\" comes first and stays in use.";
    break;
  }
  return out;
}

}  // namespace

StationListUpdater::StationListUpdater(AsyncPageFetcher& fetcher, UserPort& user, QObject* parent)
    : QObject(parent), fetcher(fetcher), user(user) {}

void StationListUpdater::start(const std::string& baseUrl, std::shared_ptr<const StationList> current) {
  start(baseUrl, std::move(current), userStationListPlace(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")),
        programStationListPlaces());
}

void StationListUpdater::start(const std::string& baseUrl, std::shared_ptr<const StationList> current,
                               const std::filesystem::path& target, std::vector<std::filesystem::path> places) {
  if (isRunning()) return;
  auto use = [this](StationListUpdateOutcome outcome) {
    ticket.reset();
    last = std::move(outcome);
    user.showMessage(last.message);
    emit finished();
  };
  if (target.empty()) {
    StationListUpdateOutcome refused;
    refused.message = "There is no folder for the user's data: neither XDG_DATA_HOME nor HOME names one." + kKept;
    ticket = fetcher.deliverLater(std::move(refused), use);
    return;
  }
  const std::string url = stationsCacheUrl(baseUrl);
  ticket = fetcher.fetchRead(
      url, 0,
      [current = std::move(current), url, target, places = std::move(places)](FetchResult fetched) {
        return updateOnWorker(fetched, *current, url, target, places);
      },
      use);
}

std::vector<std::filesystem::path> programStationListPlaces() {
  std::error_code ignored;
  return stationListPlaces(std::filesystem::current_path(ignored), std::getenv("XDG_DATA_HOME"), std::getenv("HOME"),
                           installedDataDir(QCoreApplication::applicationFilePath().toStdString()));
}

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
  auto* updater = new StationListUpdater(session.weatherLane(), user, action);
  QObject::connect(action, &QAction::triggered, updater,
                   [updater, &session] { updater->start(session.settings().metarUrl, session.catalogue()); });
  QObject::connect(updater, &StationListUpdater::finished, &area, [updater, &session, &area] {
    const std::shared_ptr<const StationList> next = updater->outcome().catalogue;
    if (!next) return;
    const std::shared_ptr<const StationList> old = session.catalogue();
    session.setCatalogue(next);
    reloadCatalogueViews(area, *old, next);
  });
  return action;
}

}  // namespace nimbrel
