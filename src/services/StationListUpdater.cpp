#include "services/StationListUpdater.h"

#include <QCoreApplication>
#include <cstdlib>
#include <ctime>
#include <unordered_map>

#include "catalog/StationListLocation.h"
#include "observations/ServiceStationList.h"
#include "stationchart/MeteodataFile.h"

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
    // A list written is news; anything else says why nothing changed.
    if (last.written)
      user.showInformation(last.message);
    else
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

}  // namespace nimbrel
