#pragma once
// "Update Station List": the weather service's daily station list is
// downloaded, converted, compared with the list in use and written to the
// user's data folder, all on a worker; the user-interface thread only shows
// the outcome and takes the new catalogue.
#include <QObject>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/AsyncPageFetcher.h"
#include "base/UserPort.h"
#include "catalog/Station.h"

namespace nimbrel {

struct StationListUpdateOutcome {
  bool written = false;
  std::string message;  // for the user: the change, or why nothing changed
  // The list the program reads from now on; null when that stays as it was
  // (nothing written, or the working folder's own list comes first).
  std::shared_ptr<const StationList> catalogue;
};

class StationListUpdater : public QObject {
  Q_OBJECT

 public:
  StationListUpdater(AsyncPageFetcher& fetcher, UserPort& user, QObject* parent = nullptr);

  // Downloads "{baseUrl}/data/cache/stations.cache.json.gz" and writes the
  // list to `target`; `places` are where the program looks for its list, in
  // order. Does nothing while an update is under way.
  void start(const std::string& baseUrl, std::shared_ptr<const StationList> current,
             const std::filesystem::path& target, std::vector<std::filesystem::path> places);
  // The same with the program's own places and the user's data folder.
  void start(const std::string& baseUrl, std::shared_ptr<const StationList> current);
  bool isRunning() const { return ticket != nullptr; }
  const StationListUpdateOutcome& outcome() const { return last; }

 signals:
  // The outcome is in and its message shown.
  void finished();

 private:
  AsyncPageFetcher& fetcher;
  UserPort& user;
  std::unique_ptr<FetchTicket> ticket;
  StationListUpdateOutcome last;
};

// The program's station list places now: the working folder, the user's
// data folder, the installed data.
std::vector<std::filesystem::path> programStationListPlaces();

}  // namespace nimbrel
