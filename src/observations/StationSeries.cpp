#include "observations/StationSeries.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "catalog/StationCatalog.h"
#include "charts/StationChart.h"
#include "observations/MeteodataFile.h"
#include "platform/MainFrame.h"

namespace nimbrel {
namespace {

constexpr double kMilesPerHourPerMetreSecond = 2.2369418519393043;

std::tm LocalTime(std::int64_t seconds) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm fields{};
  localtime_r(&t, &fields);
  return fields;
}

}  // namespace

CObservation ToDisplayUnits(const CObservation& observation, bool metricStyle) {
  CObservation shown = observation;
  if (!metricStyle) {
    shown.temperature = observation.temperature * 1.8 + 32.0;
    shown.pressure = observation.pressureInches;
    shown.windSpeed = observation.windSpeed * kMilesPerHourPerMetreSecond;
  }
  return shown;
}

CStringArray DetailLines(const CObservation& o) {
  return {"DATE: " + o.conditionsText,   "TEMP: " + o.temperatureText,     "DEWPOINT: " + o.dewpointText,
          "PRESSURE: " + o.pressureText, "WINDS: " + o.windsText,          "VISIBILITY: " + o.visibilityText,
          "CEILING: " + o.ceilingText,   "CLOUDS: " + o.cloudsText,        "PRESENT: " + o.weatherText};
}

CStationSeries::CStationSeries(CStationCatalog& catalogue, IMainFrame& frame, IChartOwner* chartOwner)
    : catalogue(catalogue), frame(frame), chartOwner(chartOwner) {}

bool CStationSeries::Create() {
  ClearStationFields(station);
  ClearObservation(currentObservation);
  graph = std::make_unique<CGraph>(chartOwner);
  CopyStationFields(station, frame.CurrentRecord());
  if (!LoadMeteodata()) {
    frame.ShowMessage("Can not get meteodata for the station: \"" + station.name() + "\"");
    return false;
  }
  created = true;
  return true;
}

bool CStationSeries::LoadMeteodata() {
  CWaitCursor wait(frame);
  observations.RemoveAll();
  const CStation& settings = frame.CurrentRecord();
  const int hours = settings.pastHours();
  char period[32];
  std::snprintf(period, sizeof period, "past+%d+hours", hours);
  if (!catalogue.GetMeteodata(&station, &observations, period, std::max(hours, 2))) return false;
  if (observations.GetSize() == 0) return false;

  if (observations.GetSize() == 1) {
    frame.ShowMessage("Get only one record from the station \"" + station.name() +
                      "\".\nTherefore compelled to set the time-period to 30 mins and the time-delta UTC to 0 "
                      "hours, sorry.");
    station.refreshMinutes() = 30;
    station.utcDeltaHours() = 0;
  } else if (ComputePeriodAndDelta() == 0) {
    return false;
  }

  SetupGraph(*graph, station, settings);
  for (int i = observations.GetSize() - 1; i >= 0; --i) {
    AddObservationToGraph(ToDisplayUnits(observations.GetAt(i), frame.CurrentRecord().metricStyle()));
  }
  CopyObservation(currentObservation, observations.GetAt(0));
  dialDirection = currentObservation.windDirection;
  dialSpeed = currentObservation.windSpeed;
  return true;
}

int CStationSeries::ComputePeriodAndDelta() {
  const std::int64_t t0 = observations.GetAt(0).observedAt;
  const std::int64_t t1 = observations.GetAt(1).observedAt;
  const std::int64_t diff = t0 - t1;
  const std::int64_t minutes = diff / 60 - (diff / 86400) * 1440;
  if (minutes <= 0) {
    // Two reports at the same time of day, or a page not newest first: a
    // timer of zero or negative length makes no sense, so refresh every
    // half hour and show the page's times, as with a single report.
    station.refreshMinutes() = 30;
    station.utcDeltaHours() = 0;
    return station.refreshMinutes();
  }
  station.refreshMinutes() = static_cast<std::int32_t>(minutes);

  const std::time_t now = frame.CurrentTime();
  const int nowHour = LocalTime(now).tm_hour;
  const int reportHour = LocalTime(t0).tm_hour;
  station.utcDeltaHours() = nowHour - reportHour;
  // A report cannot lie in the future.
  if (t0 + static_cast<std::int64_t>(station.utcDeltaHours()) * 3600 > now) --station.utcDeltaHours();
  return station.refreshMinutes();
}

void CStationSeries::AddObservationToGraph(const CObservation& observation) {
  std::int64_t shown = observation.observedAt;
  if (!frame.CurrentRecord().timeUtc()) shown += static_cast<std::int64_t>(station.utcDeltaHours()) * 3600;
  const std::tm time = LocalTime(shown);
  char timeText[16];
  std::snprintf(timeText, sizeof timeText, "%02d:%02d", time.tm_hour, time.tm_min);
  AddObservationRow(*graph, timeText, observation.temperature, observation.pressure, observation.windSpeed,
                    observation.windDirection);
  if (graph->series.empty()) return;
  graph->SetDetailLines(static_cast<int>(graph->series.size()) - 1, DetailLines(observation));
  dialDirection = observation.windDirection;
  dialSpeed = observation.windSpeed;
  if (onChartChanged) onChartChanged();
}

void CStationSeries::OnTimer() {
  CWaitCursor wait(frame);
  if (catalogue.GetMeteodata(&station, &observations, "most+recent+only", 1) && observations.GetSize() > 0) {
    AddObservationToGraph(ToDisplayUnits(observations.GetAt(0), frame.CurrentRecord().metricStyle()));
  }
}

void CStationSeries::Destroy(const std::filesystem::path& currentFolder) {
  if (!created) return;
  created = false;
  frame.AddToRecentList(station.name());
  if (frame.CurrentRecord().writeMeteodata()) {
    WriteMeteodataFile(frame, currentFolder, station.name(), observations, frame.CurrentTime());
  }
  RemoveOpenStation(frame.OpenStations(), station.icao());
  graph.reset();
}

int CStationSeries::RefreshIntervalMs() const {
  const std::int64_t ms = static_cast<std::int64_t>(station.refreshMinutes()) * 60000;
  return static_cast<int>(std::clamp<std::int64_t>(ms, 60000, 24LL * 60 * 60000));
}

}  // namespace nimbrel
