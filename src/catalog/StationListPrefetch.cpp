#include "catalog/StationListPrefetch.h"

#include <future>
#include <mutex>
#include <string>

#include "catalog/StationListReader.h"

namespace nimbrel {
namespace {

struct Prefetched {
  bool fileRead = false;
  CStationArray stations;
};

std::mutex prefetchMutex;
std::future<Prefetched> prefetch;

}  // namespace

void PrefetchStationList() {
  std::lock_guard lock(prefetchMutex);
  if (prefetch.valid()) return;
  prefetch = std::async(std::launch::async, [] {
    Prefetched result;
    std::string text;
    result.fileRead = ReadStationListFile(kStationListFileName, text);
    if (result.fileRead) ParseStationList(text, result.stations);
    return result;
  });
}

bool TakePrefetchedStationList(bool& fileRead, CStationArray& stations) {
  std::lock_guard lock(prefetchMutex);
  if (!prefetch.valid()) return false;
  Prefetched result = prefetch.get();
  fileRead = result.fileRead;
  stations = std::move(result.stations);
  return true;
}

}  // namespace nimbrel
