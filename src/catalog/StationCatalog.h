#pragma once
// The main frame's catalogue object: loading the station list, the searches,
// the map projection, and the fetch-and-open operations of a station.
#include <string>

#include "catalog/Station.h"

namespace nimbrel {

class IMainFrame;
class IPageFetcher;
struct CObservation;
class CObservationArray;

// A map point turned into map coordinates and position texts.
struct CMapPoint {
  double mapLongitude = 0.0;
  double mapColatitude = 0.0;
  std::string longitudeText;
  std::string latitudeText;
};

struct CPixel {
  int x = 0;
  int y = 0;
  bool operator==(const CPixel&) const = default;
};

// The weather service's host when none is given on the command line: the
// sample report service that scripts/run starts.
inline constexpr const char* kDefaultServiceHost = "127.0.0.1:8642";

class CStationCatalog {
 public:
  // References to the main frame's members, set right after construction.
  CStation* currentRecord = nullptr;
  IPageFetcher* fetcher = nullptr;
  IMainFrame* mainFrame = nullptr;
  CStationArray* stations = nullptr;

  // HOST[:PORT] of the weather service.
  std::string serviceHost = kDefaultServiceHost;

  // From "Stations.txt" in the current folder (true) or from the service.
  bool LoadStations(bool fromLocalFile);
  int FindStations(std::string query, const CStationArray& searched, bool openFirst);
  int FindNearestStations(int x, int y, double minutes);
  bool ShowMapPointPosition(int x, int y, CMapPoint* point = nullptr);
  static CPixel MapToPixel(double mapLongitude, double mapColatitude);

  bool GetMeteodata(const CStation* station, CObservationArray* observations, const std::string& hoursStr,
                    int hours);
  void OpenStationGraph(const CStation& station);

  static void CopyStationFields(CStation& destination, const CStation& source) {
    nimbrel::CopyStationFields(destination, source);
  }
  static void ClearStationFields(CStation& record) { nimbrel::ClearStationFields(record); }
};

}  // namespace nimbrel
