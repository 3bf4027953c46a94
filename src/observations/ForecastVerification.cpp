#include "observations/ForecastVerification.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "metar/TafDecoder.h"

namespace nimbrel {
namespace {

int rank(FlightCategory category) {
  switch (category) {
    case FlightCategory::VFR: return 0;
    case FlightCategory::MVFR: return 1;
    case FlightCategory::IFR: return 2;
    case FlightCategory::LIFR: return 3;
    case FlightCategory::Unknown: break;
  }
  return -1;
}

// A TAF that forecasts nothing (NIL, cancelled) still replaces the one
// before it: from its issue time there is no forecast.
bool forecastsNothing(const TafReport& taf) {
  return taf.nil || taf.cancelled || taf.status == MetarStatus::Rejected || taf.groups.empty();
}

void allow(std::vector<FlightCategory>& allowed, FlightCategory category) {
  if (category == FlightCategory::Unknown) return;
  if (std::find(allowed.begin(), allowed.end(), category) == allowed.end()) allowed.push_back(category);
}

// The categories a TAF allows in [start, start + 1 h): the prevailing one,
// and what each TEMPO or PROB group and each BECMG under way would make of it.
void allowedInHour(const TafReport& taf, const TafHour& hour, VerifiedHour& out) {
  out.forecast = hour.prevailing.flightCategory();
  allow(out.allowed, out.forecast);
  const UtcDateTime end = hour.time.addMinutes(60);
  for (std::size_t i = 1; i < taf.groups.size(); ++i) {
    const TafGroup& g = taf.groups[i];
    const bool possible = std::find(hour.possible.begin(), hour.possible.end(), i) != hour.possible.end();
    const bool becoming = g.kind == TafGroupKind::Becoming && g.from < end && g.to > hour.time;
    if (!possible && !becoming) continue;
    Conditions changed = hour.prevailing;
    applyChange(changed, g.conditions);
    allow(out.allowed, changed.flightCategory());
  }
}

}  // namespace

ForecastVerification verifyForecasts(const std::vector<IssuedForecast>& forecasts,
                                     const ObservationList& observations, std::int64_t from, std::int64_t to) {
  ForecastVerification result;
  if (to <= from) return result;
  std::vector<const IssuedForecast*> byIssue;
  for (const IssuedForecast& f : forecasts) byIssue.push_back(&f);
  std::stable_sort(byIssue.begin(), byIssue.end(),
                   [](const IssuedForecast* a, const IssuedForecast* b) { return a->issuedAt < b->issuedAt; });
  // Each forecast's hours, made once.
  std::vector<std::vector<TafHour>> timelines;
  timelines.reserve(byIssue.size());
  for (const IssuedForecast* f : byIssue)
    timelines.push_back(forecastsNothing(f->taf) ? std::vector<TafHour>{} : timeline(f->taf));

  std::vector<const Observation*> reports;
  for (const Observation& o : observations)
    if (o.observedAt >= from - 3600 && o.observedAt < to) reports.push_back(&o);
  std::sort(reports.begin(), reports.end(),
            [](const Observation* a, const Observation* b) { return a->observedAt < b->observedAt; });

  std::size_t nextReport = 0;
  std::size_t inForce = 0;  // forecasts issued by the hour's start: byIssue[0, inForce)
  for (std::int64_t start = from - ((from % 3600) + 3600) % 3600; start + 3600 <= to; start += 3600) {
    VerifiedHour hour;
    hour.start = start;
    while (inForce < byIssue.size() && byIssue[inForce]->issuedAt <= start) ++inForce;
    if (inForce > 0) {
      const std::size_t newest = inForce - 1;
      const UtcDateTime at = UtcDateTime::fromEpochMinutes(start / 60);
      for (const TafHour& h : timelines[newest])
        if (h.time == at) {
          allowedInHour(byIssue[newest]->taf, h, hour);
          break;
        }
    }
    while (nextReport < reports.size() && reports[nextReport]->observedAt < start) ++nextReport;
    for (std::size_t i = nextReport; i < reports.size() && reports[i]->observedAt < start + 3600; ++i)
      if (rank(reports[i]->category) > rank(hour.observed)) hour.observed = reports[i]->category;
    if (!hour.allowed.empty() && hour.observed != FlightCategory::Unknown) {
      int nearest = 4;
      for (FlightCategory c : hour.allowed) nearest = std::min(nearest, std::abs(rank(c) - rank(hour.observed)));
      hour.verdict = nearest == 0 ? ForecastVerdict::kRight : nearest == 1 ? ForecastVerdict::kOneOff : ForecastVerdict::kWorse;
      ++result.judged;
      if (hour.verdict == ForecastVerdict::kRight) ++result.right;
    }
    result.hours.push_back(std::move(hour));
  }
  return result;
}

std::string verificationSummary(const ForecastVerification& verification) {
  if (verification.judged == 0) return {};
  char text[96];
  std::snprintf(text, sizeof text, "Forecast: %d of %d %s right (%d%%)", verification.right, verification.judged,
                verification.judged == 1 ? "hour" : "hours",
                (verification.right * 100 + verification.judged / 2) / verification.judged);
  return text;
}

const char* forecastVerdictText(ForecastVerdict verdict) {
  switch (verdict) {
    case ForecastVerdict::kRight: return "right";
    case ForecastVerdict::kOneOff: return "one off";
    case ForecastVerdict::kWorse: return "worse";
    case ForecastVerdict::kNone: break;
  }
  return "";
}

}  // namespace nimbrel
