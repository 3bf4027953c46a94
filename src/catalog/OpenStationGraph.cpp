#include "catalog/StationCatalog.h"
#include "platform/MainFrame.h"

namespace nimbrel {

void CStationCatalog::OpenStationGraph(const CStation& station) {
  if (mainFrame == nullptr || currentRecord == nullptr) return;
  // The new window takes the station out of the current record.
  CopyStationFields(*currentRecord, station);
  if (!GetMeteodata(&station, nullptr, "most recent only", 1)) return;
  if (!mainFrame->OpenWindow(1, station.name())) return;
  mainFrame->OpenStations().Add(station);
  mainFrame->AddToRecentList(station.name());
}

}  // namespace nimbrel
