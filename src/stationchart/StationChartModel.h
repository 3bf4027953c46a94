#pragma once
// The data life of a station's chart window: loading the past hours,
// deriving the refresh period and the offset from UTC, feeding the chart,
// the refresh tick and the export on closing. The window only shows it.
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Settings.h"
#include "catalog/Station.h"
#include "charts/AviationPanel.h"
#include "charts/Chart.h"
#include "base/AsyncPageFetcher.h"
#include "observations/ForecastVerification.h"
#include "observations/Observation.h"
#include "observations/ObservationSource.h"
#include "observations/ObservationText.h"
#include "observations/TafSource.h"

namespace nimbrel {

class UserPort;

// The refresh period of METAR reports: the median of the gaps between
// them, in whole minutes; 0 without a gap.
int medianGapMinutes(const ObservationList& observations);

// The strip of a forecast: each hour's prevailing flight category, and the
// worst category of the TEMPO and PROB changes that may come within it.
// Its times are UTC; the model moves them onto the chart's time axis.
ChartForecast forecastStrip(const TafForecast& forecast);
// "FORECAST: issued 5/20/2026 08:52 UTC: TAF KORD ...", the time in the
// zone chosen.
std::string forecastLine(const TafForecast& forecast, bool timeUtc);
// The decoded conditions of one hour of the strip, one line each, its
// times in the zone chosen ("9/12 12:00 UTC  VFR", "TEMPO 12:00-14:00 UTC").
// units: each value once in them; null for the forecast's own units.
std::string forecastHourText(const TafForecast& forecast, std::size_t hourIndex, bool timeUtc,
                             const DisplayUnits* units = nullptr);

// The whole TAF decoded, one line each: "TAF KORD issued 5/20/2026 08:52
// UTC, valid 5/20 09:00-5/21 12:00 UTC", then the base forecast and every
// change in the order written ("BECMG 5/20 18:00-20:00 UTC  IFR: visibility
// 2 miles"), times in the zone chosen. units: as forecastHourText.
std::string forecastChangesText(const TafForecast& forecast, bool timeUtc, const DisplayUnits* units = nullptr);

// How a load ended: whether the chart has its reports, how the source's
// answer ended (without its reports), and whether a single report forced
// the refresh period. The user is told once the opening is over.
struct LoadOutcome {
  bool ok = false;
  PageReading reading;
  bool singleRecord = false;
};

class StationChartModel {
 public:
  // The settings are the program's, read at every step: a change in the
  // Parameters dialog applies to the next rows.
  StationChartModel(const Station& station, const Settings& settings, ObservationSource& source, UserPort& port,
                    ChartOwner* chartOwner, TafSource* forecastSource = nullptr);
  ~StationChartModel();
  StationChartModel(const StationChartModel&) = delete;
  StationChartModel& operator=(const StationChartModel&) = delete;

  // Asks for the past hours; finished comes once they are read, with what
  // to tell the user (no data: the window is then not opened). Nothing
  // comes once cancel() was called. With a source that keeps a store the
  // chart opens from the stored reports and then adds what the service
  // had that the store lacked; when the service cannot be reached it opens
  // from the store marked offline.
  void load(std::function<void(LoadOutcome)> finished);
  // Reads a loaded page into the chart; not ok without data.
  LoadOutcome loadFinished(PageReading reading);
  // Drops the download under way, if any.
  void cancel();
  bool isBusy() const { return pending != nullptr; }
  // The refresh period in minutes (METAR reports: the median of their
  // gaps; report pages: the two newest) and the computer's whole hours from
  // UTC at the newest report. Needs at least two observations.
  int computePeriodAndDelta();
  // Adds a report's row, in the units of the settings, and its detail lines.
  void addObservationToChart(const Observation& observation);
  // Draws the chart again from its reports when the settings it was drawn
  // with (the zone of its times, the units) changed since: its rows, axis,
  // texts and title follow. Returns whether it did.
  bool followSettings();
  // One tick of the refresh timer: asks for the most recent report and adds
  // it when it is new; with a source that catches up, after a failure
  // or when the newest report is older than the refresh period, asks for
  // every hour since the newest report so nothing sent meanwhile is
  // missed. A failure changes nothing loaded; it marks the chart as stale
  // until a refresh succeeds.
  void refresh();
  // The hours a refresh asks for: 0 for the newest report alone.
  int catchUpHours() const;
  // Hands the forecast (if any) to the chart on its time axis, with "now"
  // and the forecast hours of the settings; the window calls it before
  // each paint so both are current.
  void placeForecast();
  // Whether the window shows the aviation panel: a METAR chart with the
  // panel switched on.
  bool showsPanel() const;
  // How the stored TAFs fared against the reports shown, hour by hour up
  // to now: the TAFs the store had when the chart opened (read on its
  // worker with the reports), those the service gave for the hours the
  // store lacked, and every one that came since; judged again on new
  // reports.
  const ForecastVerification& verification() const { return m_verification; }
  // The panel's tooltip at a point, as its last layout placed it: a
  // report's time, category and text, or a judged hour's forecast and
  // observed categories; "" over nothing.
  std::string panelTip(int x, int y) const;

  // After each paint: the first time values lie beyond the chart's fixed
  // scale, the status bar says so (and again after they were all back).
  void chartDrawn();
  // The window title: the station's name, with "(offline, newest report
  // HH:MM UTC)" when the service could not be reached, "(no new report since
  // HH:MM UTC)" while refreshes fail; the zone is the one times are shown in.
  std::string title() const;
  // "NAME: no new report since HH:MM UTC." while refreshes fail, else empty.
  std::string staleNote() const;
  // How the last refresh ended when it brought nothing (none: it did, or
  // there was none yet).
  const std::optional<PageReading>& refreshProblem() const { return m_refreshProblem; }
  // The closing work: the export file when the settings ask for it. Runs once.
  void close(const std::filesystem::path& currentFolder);

  // Milliseconds between refresh ticks.
  int refreshIntervalMs() const;
  bool isLoaded() const { return loaded; }
  bool isOffline() const { return offlineSince.has_value(); }
  const Station& station() const { return m_station; }
  int refreshMinutes() const { return m_refreshMinutes; }
  int utcDeltaHours() const { return m_utcDeltaHours; }
  // The station's forecast, with a TafSource: asked on loading and again on
  // a refresh once the last one is older than kForecastAgeSeconds.
  const std::optional<TafForecast>& forecast() const { return m_forecast; }
  bool isForecastBusy() const { return forecastTicket != nullptr; }
  // Where the reports and forecasts come from (the forecasts' may be null).
  ObservationSource& reportSource() const { return source; }
  TafSource* forecastSupplier() const { return forecastSource; }
  static constexpr std::int64_t kForecastAgeSeconds = 30 * 60;
  // The past TAFs one opening may ask the service for, and how far back.
  static constexpr int kMostPastForecastRequests = 8;
  static constexpr std::int64_t kPastForecastSeconds = 7 * 24 * 3600;
  bool isPastForecastBusy() const { return pastForecastTicket != nullptr; }
  static constexpr std::int64_t kLongestCatchUpHours = 15 * 24;

  ObservationList observations;
  Observation currentObservation;
  std::unique_ptr<Chart> chart;
  AviationPanel panel;
  // The wind shown by the dial: that of the newest report charted, its
  // speed in metres per second whatever unit the chart shows.
  double dialDirection = 0.0;
  double dialSpeed = 0.0;

  // Called whenever the chart changed and should be painted again.
  std::function<void()> onChartChanged;
  // Called when the title changed.
  std::function<void()> onStateChanged;
  // The window's words for how a request ended ("" when nothing to say):
  // the status bar's note while the chart fills in or is offline.
  std::function<std::string(const PageReading&)> describe;

 private:
  Station m_station;
  const Settings& settings;
  ObservationSource& source;
  UserPort& port;
  // The newest report's instant (UTC), if any.
  std::optional<std::int64_t> newestTime() const;
  // Sets the chart up and charts every report, in the settings of the moment.
  void chartAllReports();
  // The shown texts of a time (title, stale note) in the zone of the moment.
  std::string timeText(std::int64_t utcSeconds) const;
  void requestForecast();
  void markOffline(const PageReading& why);
  // Offline since the given newest report, or back online; the chart's
  // heading names what it shows (the service's reports or the stored ones).
  void setOffline(std::optional<std::int64_t> since);
  std::string shownSourceName() const;
  std::string describedReading(const PageReading& reading) const;
  void addFromService(PageReading reading);
  // Adds reports to those shown (any order); a report shown is not doubled.
  void addReports(ObservationList reports);
  void showForecast();
  // Takes TAFs not yet known (by issue time), then judges again; whether
  // any was new.
  bool addForecasts(std::vector<IssuedForecast> more);
  // Asks the live service for the TAFs valid at the oldest past hour that
  // has reports but no TAF in force and was not asked in this run, once the
  // reports and the current TAF are in; each answer leads to the next such
  // hour. Stops on a failure, offline, and after kMostPastForecastRequests.
  void askPastForecasts();
  void verify();
  // The panel's reports and hours from the observations and the verification.
  void feedPanel();
  std::vector<IssuedForecast> forecasts;  // every TAF known of the chart's hours
  std::vector<std::size_t> panelHourSources;  // the verified hour of each of the panel's hours
  ForecastVerification m_verification;
  TextLines linesWithForecast(const Observation& observation) const;

  TafSource* forecastSource;
  std::unique_ptr<FetchTicket> forecastTicket;
  std::optional<TafForecast> m_forecast;
  std::optional<std::int64_t> forecastAnsweredAt;  // the last readable answer
  std::unique_ptr<FetchTicket> pastForecastTicket;
  int pastForecastRequests = 0;  // of this opening
  bool pastForecastsFailed = false;

  std::unique_ptr<FetchTicket> pending;
  std::optional<std::int64_t> staleSince;  // the newest report's time while refreshes fail
  std::optional<PageReading> m_refreshProblem;
  std::optional<std::int64_t> offlineSince;  // the newest stored report's time while the service is unreachable
  // What the chart was drawn with: a change makes followSettings draw it again.
  struct DrawnWith {
    bool timeUtc = false;
    bool metricStyle = true;
    DisplayUnits units;
    bool panel = true;
    bool operator==(const DrawnWith&) const = default;
  };
  DrawnWith drawnWith() const;
  DrawnWith drawn;
  bool waitingForLoad = false;
  int m_refreshMinutes = 0;
  int m_utcDeltaHours = 0;
  bool loaded = false;
  bool toldBeyondScale = false;
};

}  // namespace nimbrel
