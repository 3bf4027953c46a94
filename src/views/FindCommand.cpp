#include "views/FindCommand.h"

#include "catalog/StationCatalog.h"
#include "platform/MainFrame.h"

namespace nimbrel {

std::string lastFindText;

int FindAndShowStations(IMainFrame& frame, CStationCatalog& catalogue, const CStationArray& searched) {
  const int found = catalogue.FindStations(lastFindText, searched, false);
  if (found > 0) frame.OpenWindow(kResultTable, "Nearest stations");
  return found;
}

}  // namespace nimbrel
