// Loading the catalogue and the map projection.
#include "catalog/StationCatalog.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>

#include "catalog/StationListReader.h"
#include "platform/MainFrame.h"
#include "platform/PageFetcher.h"

namespace nimbrel {

bool CStationCatalog::LoadStations(bool fromLocalFile) {
  std::string text;
  if (fromLocalFile) {
    std::FILE* opened = std::fopen(kStationListFileName, "rb");
    struct stat info {};
    const bool regular = opened != nullptr && fstat(fileno(opened), &info) == 0 && S_ISREG(info.st_mode);
    // A regular file is read when the list is first used (start-up paints its
    // window first); anything else is read now, so a read error still shows.
    const bool fileRead = regular || (opened != nullptr && ReadStationList(opened, text));
    if (!fileRead || stations == nullptr) {
      if (opened != nullptr) std::fclose(opened);
      if (!fileRead && mainFrame != nullptr)
        mainFrame->ShowMessage(std::string("Can not open a file \"") + kStationListFileName + "\".");
      return false;
    }
    if (regular) {
      std::shared_ptr<std::FILE> file(opened, [](std::FILE* f) { std::fclose(f); });
      // A read error after the file opened leaves the list empty.
      stations->SetPending([file](CStationArray& records) {
        std::string listText;
        if (ReadStationList(file.get(), listText)) ParseStationList(listText, records);
      });
      return true;
    }
    std::fclose(opened);
  } else {
    if (fetcher == nullptr) return false;
    text = fetcher->FetchUrl("http://" + serviceHost + "/weather/surface/stations.txt",
                             static_cast<int>(kStationListReadLimit));
    if (text.empty()) return false;
  }
  if (stations == nullptr) return false;
  stations->RemoveAll();
  ParseStationList(text, *stations);
  return true;
}

namespace {

// Pixels outside the int range (a malformed list line can give inf or nan)
// land far off the map instead of overflowing.
int ToPixel(double value) {
  if (std::isnan(value)) return std::numeric_limits<int>::min();
  if (value <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  if (value >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  return static_cast<int>(value);
}

}  // namespace

CPixel CStationCatalog::MapToPixel(double mapLongitude, double mapColatitude) {
  // 360 degrees span 499 pixel steps and 180 degrees span 249.
  return {ToPixel(20.0 - std::trunc(mapLongitude * -1.386111111111111)),
          ToPixel(45.0 - std::trunc(mapColatitude * -1.3833333333333333))};
}

}  // namespace nimbrel
