#pragma once
// The data life of a station's chart window: loading the past hours,
// deriving the refresh period and the offset from UTC, feeding the chart,
// the refresh tick and the closing work. The window only shows the chart.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "catalog/Station.h"
#include "charts/Graph.h"
#include "observations/Observation.h"

namespace nimbrel {

class CStationCatalog;
class IMainFrame;

// A copy of an observation in the units the chart shows: Fahrenheit, inches
// of mercury and miles per hour when metric style is off.
CObservation ToDisplayUnits(const CObservation& observation, bool metricStyle);

// The nine detail lines of a report ("DATE: ..." to "PRESENT: ...").
CStringArray DetailLines(const CObservation& observation);

class CStationSeries {
 public:
  CStationSeries(CStationCatalog& catalogue, IMainFrame& frame, IChartOwner* chartOwner);

  // Window creation: takes the station from the main frame's current record
  // and loads its past hours. False (after telling the user) when there is
  // no data: the window is then not created.
  bool Create();
  bool LoadMeteodata();
  // The refresh period in minutes and the hours from UTC, from the two
  // newest reports. Needs at least two observations.
  int ComputePeriodAndDelta();
  void AddObservationToGraph(const CObservation& observation);
  // One tick of the refresh timer: the most recent report, one more row.
  void OnTimer();
  // The closing work: recent list, export file, the open-stations entry.
  void Destroy(const std::filesystem::path& currentFolder);

  // Milliseconds between refresh ticks.
  int RefreshIntervalMs() const;
  bool IsCreated() const { return created; }

  CStation station;
  CObservationArray observations;
  CObservation currentObservation;
  std::unique_ptr<CGraph> graph;
  // The wind shown by the dial: that of the newest report charted.
  double dialDirection = 0.0;
  double dialSpeed = 0.0;

  // Called whenever the chart changed and should be painted again.
  std::function<void()> onChartChanged;

 private:
  CStationCatalog& catalogue;
  IMainFrame& frame;
  IChartOwner* chartOwner;
  bool created = false;
};

}  // namespace nimbrel
