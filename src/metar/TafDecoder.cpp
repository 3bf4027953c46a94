#include "metar/TafDecoder.h"

#include <algorithm>
#include <cstdlib>

#include "metar/Digits.h"
#include "metar/GroupCursor.h"
#include "metar/ReportGroups.h"

namespace nimbrel {

namespace {

constexpr int kMaxTimelineHours = 24 * 31;
// No TAF is valid longer than 30 hours; a change group lies within that.
constexpr std::int64_t kMaxPeriodMinutes = 30 * 60;

// The date with this day of the month nearest to `near` (the month before,
// the same or the one after), at the hour and minute; hour 24 is the next
// day's 00. Empty when out of range.
std::optional<UtcDateTime> nearestDayTime(const UtcDateTime& near, int day, int hour, int minute) {
  if (day < 1 || day > 31 || hour < 0 || hour > 24 || minute < 0 || minute > 59 || (hour == 24 && minute != 0))
    return std::nullopt;
  std::optional<UtcDateTime> best;
  std::int64_t bestDistance = 0;
  for (int step = -1; step <= 1; ++step) {
    int year = near.year;
    int month = near.month + step;
    if (month == 0) {
      month = 12;
      --year;
    } else if (month == 13) {
      month = 1;
      ++year;
    }
    if (day > UtcDateTime::daysInMonth(year, month)) continue;
    const UtcDateTime candidate{year, month, day, 0, 0};
    const UtcDateTime nearDay{near.year, near.month, near.day, 0, 0};
    const std::int64_t distance = std::llabs(candidate.epochMinutes() - nearDay.epochMinutes());
    if (!best || distance < bestDistance) {
      best = candidate;
      bestDistance = distance;
    }
  }
  if (!best) return std::nullopt;
  const UtcDateTime at = best->addMinutes(hour * 60 + minute);
  if (!at.isValid()) return std::nullopt;  // before year 1 or after 9999
  return at;
}

// The first date on or after `start`'s date with this day of the month, at
// the hour; for the end of a period, which never lies before its start.
std::optional<UtcDateTime> forwardDayTime(const UtcDateTime& start, int day, int hour) {
  if (day < 1 || day > 31 || hour < 0 || hour > 24) return std::nullopt;
  int year = start.year;
  int month = start.month;
  for (int step = 0; step < 3; ++step) {
    if ((step > 0 || day >= start.day) && day <= UtcDateTime::daysInMonth(year, month)) {
      const UtcDateTime at = UtcDateTime{year, month, day, 0, 0}.addMinutes(hour * 60);
      if (!at.isValid()) return std::nullopt;
      return at;
    }
    if (++month == 13) {
      month = 1;
      ++year;
    }
  }
  return std::nullopt;
}

// The first time at or after `start` with this hour and minute (the old
// forms that give no day).
UtcDateTime nextHour(const UtcDateTime& start, int hour, int minute) {
  UtcDateTime t{start.year, start.month, start.day, 0, 0};
  t = t.addMinutes(hour * 60 + minute);
  return t < start ? t.addDays(1) : t;
}

// "ddhh/ddhh" near `near`.
bool decodePeriod(std::string_view text, const UtcDateTime& near, UtcDateTime& from, UtcDateTime& to) {
  if (text.size() != 9 || text[4] != '/') return false;
  const int a = digits::value(text.substr(0, 4));
  const int b = digits::value(text.substr(5, 4));
  if (a < 0 || b < 0) return false;
  const auto f = nearestDayTime(near, a / 100, a % 100, 0);
  if (!f) return false;
  const auto t = forwardDayTime(*f, b / 100, b % 100);
  // "3006/3106" issued on 30 November names a day that month does not have.
  if (!t || *t < *f || t->epochMinutes() - f->epochMinutes() > kMaxPeriodMinutes) return false;
  from = *f;
  to = *t;
  return true;
}

// The old "hhhh" period of a change group, within the validity.
bool decodeHourPeriod(std::string_view text, const UtcDateTime& validFrom, UtcDateTime& from, UtcDateTime& to) {
  if (text.size() != 4) return false;
  const int v = digits::value(text);
  if (v < 0 || v / 100 > 24 || v % 100 > 24) return false;
  const UtcDateTime start = nextHour(validFrom, v / 100 % 24, 0);
  UtcDateTime end = nextHour(start, v % 100 % 24, 0);
  if (end == start) end = end.addDays(1);
  if (!start.isValid() || !end.isValid()) return false;
  from = start;
  to = end;
  return true;
}

// "FMddhhmm", or the old "FMhhmm".
bool decodeFromTime(std::string_view text, const UtcDateTime& validFrom, UtcDateTime& from) {
  if (!text.starts_with("FM")) return false;
  const std::string_view figures = text.substr(2);
  const int v = digits::value(figures);
  if (v < 0) return false;
  if (figures.size() == 6) {
    const auto t = nearestDayTime(validFrom, v / 10000, v / 100 % 100, v % 100);
    if (!t) return false;
    from = *t;
    return true;
  }
  if (figures.size() == 4 && v / 100 <= 24 && v % 100 <= 59) {
    const UtcDateTime at = nextHour(validFrom, v / 100 % 24, v % 100);
    if (!at.isValid()) return false;
    from = at;
    return true;
  }
  return false;
}

// "TX15/1111Z", "TNM02/1204Z", and the bare "T30/1218Z".
bool decodeTemperature(std::string_view text, const UtcDateTime& validFrom, TafTemperature& out) {
  if (text.size() < 9 || text[0] != 'T' || !text.ends_with("Z")) return false;
  TafTemperature t;
  std::size_t at = 1;
  char kind = 0;
  if (text[1] == 'X' || text[1] == 'N') {
    kind = text[1];
    at = 2;
  }
  bool negative = false;
  if (text[at] == 'M') {
    negative = true;
    ++at;
  }
  const std::size_t slash = text.find('/', at);
  if (slash == std::string_view::npos || slash - at < 1 || slash - at > 2 || text.size() - slash != 6) return false;
  const int value = digits::value(text.substr(at, slash - at));
  const int when = digits::value(text.substr(slash + 1, 4));
  if (value < 0 || when < 0) return false;
  const auto time = nearestDayTime(validFrom, when / 100, when % 100, 0);
  if (!time) return false;
  t.kind = kind;
  t.valueC = negative ? -value : value;
  t.time = *time;
  out = t;
  return true;
}

// "WS020/27045KT".
bool decodeWindShear(std::string_view text, TafWindShear& out) {
  if (text.size() < 12 || !text.starts_with("WS") || text[5] != '/') return false;
  const int height = digits::value(text.substr(2, 3));
  Wind wind;
  if (height < 0 || !decodeWindGroup(text.substr(6), wind)) return false;
  out.heightFt = height * 100;
  out.directionDeg = wind.directionDeg;
  out.speedKt = wind.speedKt;
  return true;
}

// Forecast icing ("620304") and turbulence ("520004") layers, and the
// forecast altimeter "QNH2992INS" of military TAFs: read, not kept.
bool isLayerOrAltimeterGroup(std::string_view text) {
  if (text.size() == 6 && (text[0] == '5' || text[0] == '6') && digits::allDigits(text)) return true;
  return text.size() == 10 && text.starts_with("QNH") && text.ends_with("INS") && digits::allDigits(text.substr(3, 4));
}

bool isChangeWord(std::string_view text) {
  return text == "BECMG" || text == "TEMPO" || text == "INTER" || text == "PROB30" || text == "PROB40" ||
         (text.starts_with("FM") && (text.size() == 8 || text.size() == 6) && digits::allDigits(text.substr(2)));
}

void noteNotDecoded(TafReport& taf, std::string_view group) {
  if (taf.notDecoded.size() < TafReport::kMaxNotDecodedKept) taf.notDecoded.emplace_back(group);
  ++taf.notDecodedCount;
  if (!taf.groups.empty()) ++taf.groups.back().notDecodedCount;
}

TafReport rejected(TafReport& taf, const char* reason) {
  taf.status = MetarStatus::Rejected;
  taf.rejectReason = reason;
  taf.groups.clear();
  return std::move(taf);
}

}  // namespace

const char* tafGroupKindText(const TafGroup& group) {
  if (group.intermittent) return group.kind == TafGroupKind::ProbabilityTemporary ? "PROBINTER" : "INTER";
  return tafGroupKindText(group.kind);
}

const char* tafGroupKindText(TafGroupKind kind) {
  switch (kind) {
    case TafGroupKind::Base: return "BASE";
    case TafGroupKind::From: return "FM";
    case TafGroupKind::Becoming: return "BECMG";
    case TafGroupKind::Temporary: return "TEMPO";
    case TafGroupKind::Probability: return "PROB";
    case TafGroupKind::ProbabilityTemporary: return "PROBTEMPO";
  }
  return "";
}

TafReport decodeTaf(std::string_view text, UtcDateTime anchor) {
  TafReport taf;
  GroupCursor cursor(text);
  std::string_view group = cursor.next();
  // "TAF", "TAF AMD", "TAF COR", in any of the orders seen.
  while (group == "TAF" || group == "AMD" || group == "COR") {
    taf.amended = taf.amended || group == "AMD";
    taf.corrected = taf.corrected || group == "COR";
    group = cursor.next();
  }
  if (!isStationId(group)) return rejected(taf, "no station identifier");
  taf.station.assign(group);
  group = cursor.next();

  DayTime dayTime;
  UtcDateTime near = anchor;
  if (decodeDayTimeGroup(group, dayTime)) {
    taf.issued = resolveDayTime(anchor, dayTime.day, dayTime.hour, dayTime.minute);
    if (!taf.issued || !taf.issued->isValid()) return rejected(taf, "no valid issue time");
    near = *taf.issued;
    group = cursor.next();
  }
  if (group == "NIL") {
    taf.nil = true;
    taf.status = MetarStatus::Ok;
    if (taf.issued) taf.validFrom = taf.validTo = *taf.issued;
    return taf;
  }
  // The validity: "ddhh/ddhh", or the old "ddhhhh".
  if (group.size() == 9) {
    if (!decodePeriod(group, near, taf.validFrom, taf.validTo)) return rejected(taf, "no valid validity period");
  } else if (group.size() == 6 && digits::allDigits(group)) {
    const int v = digits::value(group);
    const auto from = nearestDayTime(near, v / 10000, v / 100 % 100, 0);
    if (!from || v % 100 > 24) return rejected(taf, "no valid validity period");
    taf.validFrom = *from;
    taf.validTo = nextHour(*from, v % 100 % 24, 0);
    if (taf.validTo == taf.validFrom) taf.validTo = taf.validTo.addDays(1);
    if (!taf.validTo.isValid()) return rejected(taf, "no valid validity period");
  } else {
    return rejected(taf, "no validity period");
  }

  TafGroup base;
  base.kind = TafGroupKind::Base;
  base.from = taf.validFrom;
  base.to = taf.validTo;
  taf.groups.push_back(base);

  bool remarks = false;
  bool overflow = false;
  TafGroup spare;
  for (group = cursor.next(); !group.empty(); group = cursor.next()) {
    if (remarks) continue;  // free text
    const std::string_view next = cursor.peek();
    if (group == "TAF" || ((group == "METAR" || group == "SPECI") && isStationId(next)) ||
        (isStationId(group) && decodeDayTimeGroup(next, dayTime)))
      return rejected(taf, "a second report on the line");
    // Remarks, and the US amendment notes that close a TAF ("AMD NOT SKED",
    // "AMD LTD TO CLD VIS AND WIND", "LAST NO AMDS AFT 1200 NEXT 1406").
    if (group == "RMK" || (group == "AMD" && !next.empty()) || (group == "LAST" && next == "NO")) {
      remarks = true;
      continue;
    }

    // A change group starts: its kind, then its period.
    if (isChangeWord(group)) {
      TafGroup change;
      bool timed = false;
      if (group.starts_with("FM")) {
        change.kind = TafGroupKind::From;
        timed = decodeFromTime(group, taf.validFrom, change.from);
        change.to = taf.validTo;
      } else {
        if (group.starts_with("PROB")) {
          change.probability = group[4] == '3' ? 30 : 40;
          change.kind = TafGroupKind::Probability;
          if (next == "TEMPO" || next == "INTER") {
            change.kind = TafGroupKind::ProbabilityTemporary;
            change.intermittent = next == "INTER";
            cursor.next();
          }
        } else {
          change.kind = group == "BECMG" ? TafGroupKind::Becoming : TafGroupKind::Temporary;
          change.intermittent = group == "INTER";
        }
        const std::string_view period = cursor.peek();
        timed = decodePeriod(period, taf.validFrom, change.from, change.to) ||
                decodeHourPeriod(period, taf.validFrom, change.from, change.to);
        if (timed) cursor.next();
      }
      if (!timed) {
        change.from = taf.validFrom;
        change.to = taf.validTo;
      }
      if (taf.groups.size() < TafReport::kMaxGroups) {
        taf.groups.push_back(change);
        overflow = false;
        if (!timed) noteNotDecoded(taf, group);
      } else {
        // Far more groups than any forecast has: read on, keep none of them.
        spare = change;
        overflow = true;
        noteNotDecoded(taf, group);
      }
      continue;
    }

    TafGroup& current = overflow ? spare : taf.groups.back();
    if (const int taken = decodeConditionGroups(group, next, current.conditions)) {
      if (taken == 2) cursor.next();
      continue;
    }
    TafWindShear shear;
    if (!current.windShear && decodeWindShear(group, shear)) {
      current.windShear = shear;
      continue;
    }
    TafTemperature temperature;
    if (decodeTemperature(group, taf.validFrom, temperature)) {
      if (!taf.temperatures.push(temperature)) noteNotDecoded(taf, group);
      continue;
    }
    if (group == "NOSIG") {
      current.noSignificantChange = true;
      continue;
    }
    if (group == "CNL") {
      taf.cancelled = true;
      continue;
    }
    if (group == "AMD" || group == "COR" || group == "AUTO") continue;
    if (isLayerOrAltimeterGroup(group)) continue;
    if (group == "QNH" && next.size() == 7 && next.ends_with("INS") && digits::allDigits(next.substr(0, 4))) {
      cursor.next();
      continue;
    }
    noteNotDecoded(taf, group);
  }

  // Whatever follows the "=" is no part of the forecast.
  GroupCursor after(cursor.afterEnd());
  for (group = after.next(); !group.empty(); group = after.next()) noteNotDecoded(taf, group);
  // The base forecast and each FM last until the next FM; an FM written out
  // of order (or outside the validity) never makes a period run backwards.
  std::size_t lastFrom = 0;
  for (std::size_t i = 1; i < taf.groups.size(); ++i) {
    TafGroup& g = taf.groups[i];
    if (g.kind != TafGroupKind::From) continue;
    g.to = std::max(g.from, taf.validTo);
    taf.groups[lastFrom].to = std::max(taf.groups[lastFrom].from, g.from);
    lastFrom = i;
  }
  taf.status = taf.notDecodedCount > 0 ? MetarStatus::Partial : MetarStatus::Ok;
  return taf;
}

void applyChange(Conditions& state, const Conditions& change) {
  if (change.wind.reported) state.wind = change.wind;
  if (change.cavok) {
    state.cavok = true;
    state.visibility = change.visibility;
    state.weather.clear();
    state.clouds.clear();
    return;
  }
  if (change.visibility.reported) {
    state.visibility = change.visibility;
    state.cavok = false;
  }
  if (change.noSignificantWeather) {
    state.weather.clear();
  } else if (!change.weather.empty()) {
    state.weather = change.weather;
    state.cavok = false;
  }
  if (!change.clouds.empty()) {
    state.clouds = change.clouds;
    state.cavok = false;
  }
}

std::vector<TafHour> timeline(const TafReport& taf) {
  std::vector<TafHour> hours;
  if (taf.status == MetarStatus::Rejected || taf.groups.empty()) return hours;
  UtcDateTime hour{taf.validFrom.year, taf.validFrom.month, taf.validFrom.day, taf.validFrom.hour, 0};
  for (int n = 0; hour < taf.validTo && n < kMaxTimelineHours; ++n, hour = hour.addMinutes(60)) {
    const UtcDateTime end = hour.addMinutes(60);
    TafHour entry;
    entry.time = hour;
    entry.prevailing = taf.groups[0].conditions;
    for (std::size_t i = 1; i < taf.groups.size(); ++i) {
      const TafGroup& g = taf.groups[i];
      switch (g.kind) {
        case TafGroupKind::From:
          if (g.from <= hour) entry.prevailing = g.conditions;
          break;
        case TafGroupKind::Becoming:
          if (g.to <= hour) applyChange(entry.prevailing, g.conditions);
          break;
        case TafGroupKind::Temporary:
        case TafGroupKind::Probability:
        case TafGroupKind::ProbabilityTemporary:
          if (g.from < end && g.to > hour) entry.possible.push_back(i);
          break;
        case TafGroupKind::Base: break;
      }
    }
    hours.push_back(std::move(entry));
  }
  return hours;
}

}  // namespace nimbrel
