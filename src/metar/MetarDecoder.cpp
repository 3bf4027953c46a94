#include "metar/MetarDecoder.h"

#include <cmath>

#include "metar/Digits.h"
#include "metar/GroupCursor.h"
#include "metar/ReportGroups.h"

namespace nimbrel {

namespace {

constexpr double kHectopascalsPerInch = 33.8638866667;

enum class Section { Body, Trend, Remarks };

// "M05", "12", "M" or "//" (missing); false for anything else.
bool readTemperature(std::string_view part, std::optional<double>& value) {
  if (part.empty() || part == "M" || part == "XX" || digits::allSlashes(part)) return true;
  bool negative = false;
  if (part[0] == 'M' || part[0] == '-') {
    negative = true;
    part.remove_prefix(1);
  }
  if (part.empty() || part.size() > 2) return false;
  const int v = digits::value(part);
  if (v < 0) return false;
  value = negative ? -v : v;
  return true;
}

// "12/M05", "M/M", "32/", "03///".
bool decodeTemperatureGroup(std::string_view text, std::optional<double>& temperature,
                            std::optional<double>& dewPoint) {
  const std::size_t slash = text.find('/');
  if (slash == std::string_view::npos || text.size() < 2 || text.ends_with("SM") || digits::allSlashes(text))
    return false;
  // One figure may have lost a digit ("23/1"), not both: "1/2" is no temperature.
  const std::string_view left = text.substr(0, slash);
  const std::string_view right = text.substr(slash + 1);
  if (left.size() < 2 && right.size() < 2 && !(left == "M" && right == "M")) return false;
  std::optional<double> t, d;
  if (!readTemperature(left, t) || !readTemperature(right, d)) return false;
  temperature = t;
  dewPoint = d;
  return true;
}

// "Q1013", "A2992", "Q////".
bool decodePressureGroup(std::string_view text, std::optional<double>& hpa, bool& inches) {
  // "Q994" has lost its leading zero; inches always have four figures.
  if (text.size() == 4 && text[0] == 'Q') {
    const int v = digits::value(text.substr(1));
    if (v < 0) return false;
    hpa = v;
    inches = false;
    return true;
  }
  if (text.size() != 5 || (text[0] != 'Q' && text[0] != 'A')) return false;
  const std::string_view figure = text.substr(1);
  if (figure == "////") return true;
  const int v = digits::value(figure);
  if (v < 0) return false;
  inches = text[0] == 'A';
  hpa = inches ? v / 100.0 * kHectopascalsPerInch : v;
  return true;
}

// Remarks: "T10471072" (tenths, 1 for minus) or "T0193////".
bool decodeTenthsTemperatures(std::string_view text, std::optional<double>& temperature,
                              std::optional<double>& dewPoint) {
  if ((text.size() != 5 && text.size() != 9) || text[0] != 'T') return false;
  auto read = [](std::string_view part, std::optional<double>& value) {
    if (part[0] != '0' && part[0] != '1') return false;
    const int v = digits::value(part.substr(1));
    if (v < 0) return false;
    value = (part[0] == '1' ? -v : v) / 10.0;
    return true;
  };
  std::optional<double> t, d;
  if (!read(text.substr(1, 4), t)) return false;
  if (text.size() == 9 && text.substr(5) != "////" && !read(text.substr(5, 4), d)) return false;
  temperature = t;
  dewPoint = d;
  return true;
}

// Remarks: "SLP982" is 998.2 hPa, "SLP015" is 1001.5 hPa.
bool decodeSeaLevelPressure(std::string_view text, std::optional<double>& hpa) {
  if (text.size() != 6 || !text.starts_with("SLP")) return false;
  const int v = digits::value(text.substr(3));
  if (v < 0) return false;
  hpa = (v >= 500 ? 900.0 : 1000.0) + v / 10.0;
  return true;
}

// "FM1300", "TL1400", "AT1330" in a trend; minutes past midnight.
bool decodeTrendTime(std::string_view text, MetarTrend& trend) {
  if (text.size() != 6) return false;
  const int hhmm = digits::value(text.substr(2));
  if (hhmm < 0 || hhmm / 100 > 24 || hhmm % 100 > 59) return false;
  const int minutes = hhmm / 100 * 60 + hhmm % 100;
  const std::string_view word = text.substr(0, 2);
  if (word == "FM") trend.fromMinutes = minutes;
  else if (word == "TL") trend.untilMinutes = minutes;
  else if (word == "AT") trend.atMinutes = minutes;
  else return false;
  return true;
}

// "0100/0400" after INTER: from and until.
bool decodeTrendPeriod(std::string_view text, MetarTrend& trend) {
  if (text.size() != 9 || text[4] != '/') return false;
  const int from = digits::value(text.substr(0, 4));
  const int until = digits::value(text.substr(5));
  if (from < 0 || until < 0 || from / 100 > 24 || until / 100 > 24 || from % 100 > 59 || until % 100 > 59)
    return false;
  trend.fromMinutes = from / 100 * 60 + from % 100;
  trend.untilMinutes = until / 100 * 60 + until % 100;
  return true;
}

bool isCorrection(std::string_view text) {
  return text == "COR" || (text.size() == 3 && text[0] == 'C' && text[1] == 'C' && text[2] >= 'A' && text[2] <= 'Z');
}

MetarReport rejected(MetarReport& report, const char* reason) {
  report.status = MetarStatus::Rejected;
  report.rejectReason = reason;
  return std::move(report);
}

void noteNotDecoded(MetarReport& report, std::string_view group) {
  if (report.notDecoded.size() < MetarReport::kMaxNotDecodedKept) report.notDecoded.emplace_back(group);
  ++report.notDecodedCount;
}

// Adds a trend, or when the list is full, collects its groups apart.
void startTrend(MetarReport& report, const MetarTrend& fresh, MetarTrend& spare, MetarTrend*& trend,
                std::string_view group) {
  if (report.trends.push(fresh)) {
    trend = &report.trends.back();
  } else {
    noteNotDecoded(report, group);
    spare = fresh;
    trend = &spare;
  }
}

}  // namespace

double relativeHumidityPercent(double temperatureC, double dewPointC) {
  constexpr double a = 17.625;
  constexpr double b = 243.04;
  const double rh = 100.0 * std::exp(a * dewPointC / (b + dewPointC) - a * temperatureC / (b + temperatureC));
  return rh > 100.0 ? 100.0 : rh;
}

std::optional<double> MetarReport::relativeHumidity() const {
  if (!temperatureC || !dewPointC) return std::nullopt;
  return relativeHumidityPercent(*temperatureC, *dewPointC);
}

MetarReport decodeMetar(std::string_view text, UtcDateTime anchor) {
  MetarReport report;
  GroupCursor cursor(text);
  std::string_view group = cursor.next();
  if (group == "METAR" || group == "SPECI") {
    report.special = group == "SPECI";
    group = cursor.next();
    if (isCorrection(group) || group == "AMD") {
      report.corrected = group != "AMD";
      group = cursor.next();
    }
  }
  if (!isStationId(group)) return rejected(report, "no station identifier");
  report.station.assign(group);
  DayTime dayTime;
  if (!decodeDayTimeGroup(cursor.next(), dayTime) || dayTime.hour > 23)
    return rejected(report, "no valid day and time after the station");
  const std::optional<UtcDateTime> time = resolveDayTime(anchor, dayTime.day, dayTime.hour, dayTime.minute);
  if (!time) return rejected(report, "no valid day and time after the station");
  report.time = *time;

  Section section = Section::Body;
  MetarTrend spareTrend;  // takes the groups of trends past the list's room
  MetarTrend* trend = nullptr;
  bool temperatureSeen = false;
  bool pressureSeen = false;
  std::optional<double> tenthsTemperature, tenthsDewPoint;

  for (group = cursor.next(); !group.empty(); group = cursor.next()) {
    const std::string_view next = cursor.peek();
    // A second report run into this one: never merge the two. Canadian
    // remarks give the next observation's time as "NEXT ddhhmmZ".
    if ((group == "METAR" || group == "SPECI") && (isStationId(next) || isCorrection(next)))
      return rejected(report, "a second report on the line");
    if (isStationId(group) && decodeDayTimeGroup(next, dayTime) &&
        !(section == Section::Remarks && group == "NEXT"))
      return rejected(report, "a second report on the line");

    if (section == Section::Remarks) {
      std::optional<double> t, d;
      if (decodeTenthsTemperatures(group, t, d)) {
        tenthsTemperature = t;
        tenthsDewPoint = d;
      } else if (!report.seaLevelPressureHpa) {
        decodeSeaLevelPressure(group, report.seaLevelPressureHpa);
      }
      continue;  // remarks are free text: nothing in them is "not decoded"
    }
    if (group == "RMK") {
      section = Section::Remarks;
      continue;
    }
    // INTER is the Australian form of TEMPO for shorter spells.
    if (group == "NOSIG" || group == "BECMG" || group == "TEMPO" || group == "INTER") {
      section = Section::Trend;
      MetarTrend fresh;
      fresh.kind = group == "NOSIG"   ? TrendKind::NoSignificantChange
                   : group == "BECMG" ? TrendKind::Becoming
                                      : TrendKind::Temporary;
      startTrend(report, fresh, spareTrend, trend, group);
      continue;
    }
    if (section == Section::Body) {
      MetarTrend fresh;
      fresh.kind = TrendKind::From;
      if (decodeTrendTime(group, fresh) && fresh.fromMinutes) {
        section = Section::Trend;
        startTrend(report, fresh, spareTrend, trend, group);
        continue;
      }
    }
    if (section == Section::Trend) {
      if (decodeTrendTime(group, *trend)) continue;
      if ((group == "FM" || group == "TL" || group == "AT") && next.size() == 4) {
        std::string joined(group);
        joined += next;
        if (decodeTrendTime(joined, *trend)) {
          cursor.next();
          continue;
        }
      }
      if (const int taken = decodeConditionGroups(group, next, trend->conditions)) {
        if (taken == 2) cursor.next();
        continue;
      }
      if (decodeTrendPeriod(group, *trend)) continue;
      // Runway and colour states are often written after the trend.
      if (digits::allSlashes(group) || isRunwayStateGroup(group) || isColourStateGroup(group)) continue;
      noteNotDecoded(report, group);
      continue;
    }

    // The body.
    if (group == "AUTO") {
      report.automated = true;
      continue;
    }
    if (isCorrection(group)) {
      report.corrected = true;
      continue;
    }
    if (group == "NIL") {
      report.nil = true;
      continue;
    }
    if (group == "RTD" || group == "AMD") continue;
    if (const int taken = decodeConditionGroups(group, next, report.current)) {
      if (taken == 2) cursor.next();
      continue;
    }
    RunwayVisualRange rvr;
    if (decodeRunwayVisualRange(group, rvr)) {
      if (!report.runwayVisualRanges.push(rvr)) noteNotDecoded(report, group);
      continue;
    }
    if (group == "RE//") continue;  // recent weather not observed
    WeatherGroup weather;
    if (decodeWeatherGroup(group, weather) && weather.recent) {
      if (!report.recentWeather.push(weather)) noteNotDecoded(report, group);
      continue;
    }
    if (!temperatureSeen && decodeTemperatureGroup(group, report.temperatureC, report.dewPointC)) {
      temperatureSeen = true;
      continue;
    }
    {
      std::optional<double> hpa;
      bool inches = false;
      if (decodePressureGroup(group, hpa, inches)) {
        // A second pressure group (Q then A) repeats the first in other units.
        if (!pressureSeen) {
          report.pressureHpa = hpa;
          report.pressureInInches = inches;
          pressureSeen = true;
        }
        continue;
      }
    }
    if (group == "WS") {
      // "WS R24", "WS RWY24", "WS ALL RWY", "WS TKOF RWY24": the runway words after it.
      report.windShear = true;
      while (isWindShearRunwayWord(cursor.peek())) cursor.next();
      continue;
    }
    if (isRunwayStateGroup(group) || isSeaStateGroup(group) || isColourStateGroup(group) || isRainfallGroup(group))
      continue;
    if (digits::allSlashes(group)) continue;  // an element not observed by the automatic station
    noteNotDecoded(report, group);
  }

  if (!cursor.afterEnd().empty()) return rejected(report, "text after the end of the report");
  if (tenthsTemperature) {
    report.temperatureC = tenthsTemperature;
    if (tenthsDewPoint) report.dewPointC = tenthsDewPoint;
  }
  report.status = report.notDecodedCount > 0 ? MetarStatus::Partial : MetarStatus::Ok;
  return report;
}

}  // namespace nimbrel
