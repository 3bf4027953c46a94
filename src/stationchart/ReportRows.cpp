#include "stationchart/ReportRows.h"

#include <algorithm>

#include "base/ClockText.h"
#include "base/Text.h"
#include "observations/ObservationText.h"
#include "stationchart/StationChartModel.h"

namespace nimbrel {
namespace {

std::int64_t seconds(const UtcDateTime& time) { return time.epochMinutes() * 60; }

std::string rowTime(std::int64_t utc, bool timeUtc) {
  const ShownTime t = shownTime(utc, timeUtc);
  return formatText("%d/%d %02d:%02d ", t.month, t.day, t.hour, t.minute) + t.zone;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

}  // namespace

std::vector<TafForecast> forecastsOfPeriod(std::vector<TafForecast> forecasts, std::int64_t from, std::int64_t to) {
  std::stable_sort(forecasts.begin(), forecasts.end(), [](const TafForecast& a, const TafForecast& b) {
    return seconds(a.issued) < seconds(b.issued);
  });
  forecasts.erase(std::unique(forecasts.begin(), forecasts.end(),
                              [](const TafForecast& a, const TafForecast& b) {
                                return seconds(a.issued) == seconds(b.issued) && a.rawText == b.rawText;
                              }),
                  forecasts.end());
  // The one in force as the period begins: the newest issued before it.
  std::vector<TafForecast> shown;
  const auto before = std::find_if(forecasts.rbegin(), forecasts.rend(),
                                   [from](const TafForecast& f) { return seconds(f.issued) < from; });
  if (before != forecasts.rend() && !before->hours.empty() && seconds(before->report.validTo) > from)
    shown.push_back(*before);
  for (TafForecast& f : forecasts)
    if (seconds(f.issued) >= from && seconds(f.issued) <= to) shown.push_back(std::move(f));
  return shown;
}

std::vector<ReportRow> reportRows(const ObservationList& observations, const std::vector<TafForecast>& forecasts,
                                  const DisplayUnits* units, bool timeUtc) {
  std::vector<ReportRow> rows;
  rows.reserve(observations.size() + forecasts.size());
  for (const Observation& o : observations) {
    ReportRow row;
    row.time = o.observedAt;
    row.timeText = rowTime(o.observedAt, timeUtc);
    // A report page has no METAR: its own report text, else its date line.
    row.raw = !o.rawReport.empty() ? o.rawReport : !o.source.reportText.empty() ? o.source.reportText
                                                                                : reportDateText(o, timeUtc);
    std::vector<std::string> lines = detailLines(o, units, timeUtc);
    // The list shows the METAR itself beside its decoding.
    if (!o.rawReport.empty() && !lines.empty()) lines.pop_back();
    row.decoded = joined(lines);
    rows.push_back(std::move(row));
  }
  for (const TafForecast& f : forecasts) {
    ReportRow row;
    row.kind = ReportRow::Kind::kTaf;
    row.time = seconds(f.issued);
    row.timeText = rowTime(row.time, timeUtc);
    row.raw = f.rawText;
    row.decoded = forecastChangesText(f, timeUtc, units);
    rows.push_back(std::move(row));
  }
  std::stable_sort(rows.begin(), rows.end(), [](const ReportRow& a, const ReportRow& b) {
    if (a.time != b.time) return a.time > b.time;
    return a.kind < b.kind;
  });
  return rows;
}

}  // namespace nimbrel
