#include "metar/MetarDecoder.h"

#include <cmath>

#include "metar/Digits.h"
#include "metar/Word.h"
#include "metar/GroupCursor.h"
#include "metar/ReportGroups.h"

namespace nimbrel {

namespace {

constexpr double kHectopascalsPerInch = 33.8638866667;

enum class Section { Body, Trend, Remarks };

// "M05", "12", "M" or "//" (missing); false for anything else.
bool readTemperature(std::string_view part, std::optional<double>& value) {
  if (part.empty() || isWord(part, "M") || isWord(part, "XX") || digits::allSlashes(part)) return true;
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

bool temperatureInRange(const std::optional<double>& value) {
  return !value || (*value >= kMinTemperatureC && *value <= kMaxTemperatureC);
}

// A dew point above the temperature by more than the rounding allows
// cannot be ("7/20", or "1/24" left from a visibility of "3 1/24").
bool dewPointFits(const std::optional<double>& temperature, const std::optional<double>& dewPoint, double rounding) {
  return !temperature || !dewPoint || *dewPoint <= *temperature + rounding;
}

enum class Reading { None, Value, Impossible };

// "12/M05", "M/M", "32/", "03///".
Reading decodeTemperatureGroup(std::string_view text, std::optional<double>& temperature,
                               std::optional<double>& dewPoint) {
  const std::size_t slash = findChar(text, '/');
  if (slash == std::string_view::npos || text.size() < 2 || endsWithWord(text, "SM") || digits::allSlashes(text))
    return Reading::None;
  // One figure may have lost a digit ("23/1"), not both: "1/2" is no temperature.
  const std::string_view left = text.substr(0, slash);
  const std::string_view right = text.substr(slash + 1);
  if (left.size() < 2 && right.size() < 2 && !(isWord(left, "M") && isWord(right, "M"))) return Reading::None;
  std::optional<double> t, d;
  if (!readTemperature(left, t) || !readTemperature(right, d)) return Reading::None;
  if (!temperatureInRange(t) || !temperatureInRange(d) || !dewPointFits(t, d, 1.0)) return Reading::Impossible;
  temperature = t;
  dewPoint = d;
  return Reading::Value;
}

bool isLetter(char c) { return c >= 'A' && c <= 'Z'; }

// "Q1013", "A2992", "Q////", and the other forms in use: "QNH1013",
// "Q1013MB", "Q1018.2", "Q1007.", "Q10120" (tenths), "Q994" (a lost leading
// zero), "A29.92", "A29/92", "A2987.", "QNH3014INS". Text run on after the
// figure ("Q1014/A2996/", "Q1010NOSIG") is left in `rest`, less one slash.
Reading decodePressureGroup(std::string_view text, std::optional<double>& hpa, bool& inches,
                            std::string_view& rest) {
  rest = {};
  bool inInches = false;
  std::size_t at = 0;
  if (startsWithWord(text, "QNH")) {
    at = 3;
  } else if (!text.empty() && (text[0] == 'Q' || text[0] == 'A')) {
    inInches = text[0] == 'A';
    at = 1;
  } else {
    return Reading::None;
  }
  if (text.size() > at + 1 && text[at] == '.' && digits::isDigit(text[at + 1])) ++at;  // "Q.1015"
  if (text.size() >= at + 4 && digits::allSlashes(text.substr(at, 4))) {
    // Not observed: "Q////", "A////".
    if (text.size() != at + 4) return Reading::None;
    return Reading::Value;
  }
  const std::size_t start = at;
  while (at < text.size() && digits::isDigit(text[at])) ++at;
  const std::size_t wholeDigits = at - start;
  if (wholeDigits == 0 || wholeDigits > 5) return Reading::None;
  int whole = digits::value(text.substr(start, wholeDigits));
  double value = whole;
  bool decimal = false;
  // A decimal point, or in inches a slash for one ("A29/94").
  if (at < text.size() &&
      (text[at] == '.' || (inInches && text[at] == '/' && at + 1 < text.size() && digits::isDigit(text[at + 1])))) {
    decimal = true;
    ++at;
    double scale = 0.1;
    while (at < text.size() && digits::isDigit(text[at]) && scale > 1e-4) {
      value += (text[at] - '0') * scale;
      scale /= 10;
      ++at;
    }
  }
  std::string_view unit = text.substr(at);
  if (startsWithWord(unit, "INS")) {
    inInches = true;
    unit.remove_prefix(3);
  } else if (startsWithWord(unit, "MB") || startsWithWord(unit, "HPA")) {
    if (inInches) return Reading::None;
    unit.remove_prefix(unit[0] == 'M' ? 2 : 3);
  }
  if (!unit.empty()) {
    if (unit[0] == '/') unit.remove_prefix(1);
    else if (!isLetter(unit[0])) return Reading::None;
    rest = unit;
  }
  if (inInches) {
    // Hundredths without a point ("2992", "2987."); with one, inches ("29.92").
    if (!decimal || wholeDigits == 4) {
      if (wholeDigits != 4) return Reading::None;
      value = whole / 100.0;
    } else if (wholeDigits != 2) {
      return Reading::None;
    }
    value *= kHectopascalsPerInch;
  } else if (!decimal && wholeDigits == 5) {
    value /= 10.0;  // tenths with the point left out
  } else if (wholeDigits < 3 || wholeDigits > 4) {
    return Reading::None;
  }
  if (value < kMinPressureHpa || value > kMaxPressureHpa) return Reading::Impossible;
  hpa = value;
  inches = inInches;
  return Reading::Value;
}

// Remarks: "T10471072" (tenths, 1 for minus) or "T0193////". Each half
// stands on its own: a bad dew point ("T01058005", "T010221077") leaves the
// temperature.
bool decodeTenthsTemperatures(std::string_view text, std::optional<double>& temperature,
                              std::optional<double>& dewPoint) {
  if (text.size() < 5 || text.size() > 10 || text[0] != 'T') return false;
  auto read = [](std::string_view part, std::optional<double>& value) {
    if (part.size() != 4 || (part[0] != '0' && part[0] != '1')) return false;
    const int v = digits::value(part.substr(1));
    if (v < 0) return false;
    value = (part[0] == '1' ? -v : v) / 10.0;
    return temperatureInRange(value);
  };
  const std::string_view second = text.substr(5);
  for (char c : second)
    if (!digits::isDigit(c) && c != '/') return false;
  std::optional<double> t, d;
  if (!read(text.substr(1, 4), t)) return false;
  if (read(second, d) && dewPointFits(t, d, 0.5)) dewPoint = d;
  temperature = t;
  return true;
}

// Remarks: "SLP982" is 998.2 hPa, "SLP015" is 1001.5 hPa.
bool decodeSeaLevelPressure(std::string_view text, std::optional<double>& hpa) {
  if (text.size() != 6 || !startsWithWord(text, "SLP")) return false;
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
  if (isWord(word, "FM")) trend.fromMinutes = minutes;
  else if (isWord(word, "TL")) trend.untilMinutes = minutes;
  else if (isWord(word, "AT")) trend.atMinutes = minutes;
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
  return isWord(text, "COR") || (text.size() == 3 && text[0] == 'C' && text[1] == 'C' && text[2] >= 'A' && text[2] <= 'Z');
}

void noteNotDecoded(MetarReport& report, std::string_view group) {
  if (report.notDecoded.size() < MetarReport::kMaxNotDecodedKept) report.notDecoded.emplace_back(group);
  ++report.notDecodedCount;
}

// Adds a trend, or when the list is full, collects its groups apart.
void startTrend(MetarReport& report, const MetarTrend& fresh, std::optional<MetarTrend>& spare, MetarTrend*& trend,
                std::string_view group) {
  if (report.trends.push(fresh)) {
    trend = &report.trends.back();
  } else {
    noteNotDecoded(report, group);
    spare = fresh;
    trend = &*spare;
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

namespace {

// Where a second report starts inside a line: "METAR" or "SPECI" (perhaps
// with "COR") before a station, or a station before its "ddhhmmZ".
// `third` gives the group after `next` when asked. Canadian remarks give
// the next observation's time as "NEXT ddhhmmZ"; that is no station.
template <typename Third>
bool startsReport(std::string_view group, std::string_view next, Third third) {
  if (group.size() == 5)
    return (isWord(group, "METAR") || isWord(group, "SPECI")) &&
           (isStationId(next) || (isCorrection(next) && isStationId(third())));
  DayTime dayTime;
  return group.size() == 4 && isStationId(group) && !isWord(group, "NEXT") && decodeDayTimeGroup(next, dayTime);
}

// The groups of a line split at spaces only ("=" included), for the
// splitter; each is scanned once.
struct Words {
  std::string_view text;
  std::size_t at = 0;

  std::string_view next() {
    while (at < text.size() && isGroupSeparator(text[at])) ++at;
    const std::size_t start = at;
    while (at < text.size() && !isGroupSeparator(text[at])) ++at;
    return text.substr(start, at - start);
  }
};


// Where the first report after `from` starts in `text`, or empty.
std::string_view reportAfter(std::string_view text, std::size_t from) {
  Words words{text, from};
  std::string_view word = words.next();
  std::string_view next = words.next();
  for (; !word.empty(); word = next, next = words.next()) {
    if (startsReport(word, next, [&] {
          Words ahead = words;
          return ahead.next();
        }))
      return text.substr(static_cast<std::size_t>(word.data() - text.data()));
  }
  return {};
}

// Decodes the report at the start of `text`. With `rest`, a second report
// run into it ends it there and `rest` is set to it (empty when there is
// none); without, the second report's groups count as not decoded.
MetarReport decodeFirstMetar(std::string_view text, UtcDateTime anchor, std::string_view* rest) {
  if (rest) *rest = {};
  MetarReport report;
  // Rejected: what follows may still hold a report, from after `group`.
  // Every return hands back `report` itself, so it is built in place.
  auto reject = [&](const char* reason, std::string_view group) {
    if (rest) {
      const std::size_t from =
          group.empty() ? text.size() : static_cast<std::size_t>(group.data() - text.data()) + group.size();
      *rest = reportAfter(text, from);
    }
    report.status = MetarStatus::Rejected;
    report.rejectReason = reason;
  };
  GroupCursor cursor(text);
  std::string_view group;
  std::string_view pending;  // text run on after the group before it ("140500Z13004KT")
  DayTime dayTime;
  // The header; a header followed straight by another gives way to it.
  while (true) {
    group = cursor.next();
    if (isWord(group, "METAR") || isWord(group, "SPECI")) {
      report.special = isWord(group, "SPECI");
      group = cursor.next();
      if (isCorrection(group) || isWord(group, "AMD")) {
        report.corrected = !isWord(group, "AMD");
        group = cursor.next();
      }
    }
    if (!isStationId(group)) {
      reject("no station identifier", group);
      return report;
    }
    report.station.assign(group);
    group = cursor.next();
    if (!decodeHeaderDayTime(group, dayTime, pending) || dayTime.hour > 23) {
      reject("no valid day and time after the station", group);
      return report;
    }
    // Only a station or METAR/SPECI starts a report: the group after it is scanned only then.
    const std::string_view after = cursor.peek();
    if (!pending.empty() || (after.size() != 4 && after.size() != 5) ||
        !startsReport(after, cursor.peekSecond(), [&] { return cursor.peekThird(); }))
      break;
    report.special = false;
    report.corrected = false;
  }
  const std::optional<UtcDateTime> time = resolveDayTime(anchor, dayTime.day, dayTime.hour, dayTime.minute);
  if (!time || !time->isValid()) {
    reject("no valid day and time after the station", group);
    return report;
  }
  report.time = *time;
  if (cursor.peek().empty() && pending.empty()) {
    reject("nothing after the day and time", group);
    return report;
  }

  Section section = Section::Body;
  std::optional<MetarTrend> spareTrend;  // takes the groups of trends past the list's room; made only then
  MetarTrend* trend = nullptr;
  bool temperatureSeen = false;
  bool pressureSeen = false;
  std::optional<double> tenthsTemperature, tenthsDewPoint;

  while (true) {
    if (!pending.empty()) {
      group = pending;
      pending = {};
    } else {
      group = cursor.next();
      if (group.empty()) break;
    }
    const std::string_view next = cursor.peek();
    // A second report run into this one: never merge the two.
    if (startsReport(group, next, [&] { return cursor.peekSecond(); })) {
      if (rest) {
        *rest = text.substr(static_cast<std::size_t>(group.data() - text.data()));
        break;
      }
      noteNotDecoded(report, group);
      for (group = cursor.next(); !group.empty(); group = cursor.next()) noteNotDecoded(report, group);
      break;
    }

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
    // "RMK", and the forms run into the first remark: "RMK/RWY", "RMKS".
    if (startsWithWord(group, "RMK")) {
      section = Section::Remarks;
      continue;
    }
    // INTER is the Australian form of TEMPO for shorter spells.
    if (isWord(group, "NOSIG") || isWord(group, "BECMG") || isWord(group, "TEMPO") || isWord(group, "INTER")) {
      section = Section::Trend;
      MetarTrend fresh;
      fresh.kind = isWord(group, "NOSIG")   ? TrendKind::NoSignificantChange
                   : isWord(group, "BECMG") ? TrendKind::Becoming
                                      : TrendKind::Temporary;
      startTrend(report, fresh, spareTrend, trend, group);
      continue;
    }
    if (section == Section::Body && group.size() == 6 && startsWithWord(group, "FM")) {
      MetarTrend fresh;  // large: made only for what may be an "FM1600"
      fresh.kind = TrendKind::From;
      if (decodeTrendTime(group, fresh) && fresh.fromMinutes) {
        section = Section::Trend;
        startTrend(report, fresh, spareTrend, trend, group);
        continue;
      }
    }
    const std::string_view afterNext = needsAfterNext(next) ? cursor.peekSecond() : std::string_view();
    if (section == Section::Trend) {
      if (decodeTrendTime(group, *trend)) continue;
      if ((isWord(group, "FM") || isWord(group, "TL") || isWord(group, "AT")) && next.size() == 4) {
        std::string joined(group);
        joined += next;
        if (decodeTrendTime(joined, *trend)) {
          cursor.next();
          continue;
        }
      }
      const bool windBefore = trend->conditions.wind.reported;
      if (const int taken = decodeConditionGroups(group, next, trend->conditions, afterNext)) {
        for (int i = 1; i < taken; ++i) cursor.next();
        if (!windBefore && trend->conditions.wind.gustDropped) noteNotDecoded(report, group);
        continue;
      }
      if (decodeTrendPeriod(group, *trend)) continue;
      // Runway and colour states are often written after the trend.
      if (digits::allSlashes(group) || isRunwayStateGroup(group) || isColourStateGroup(group)) continue;
      noteNotDecoded(report, group);
      continue;
    }

    // The body.
    if (isWord(group, "AUTO")) {
      report.automated = true;
      continue;
    }
    if (isCorrection(group)) {
      report.corrected = true;
      continue;
    }
    if (isWord(group, "NIL")) {
      report.nil = true;
      continue;
    }
    // "$": the station asks for maintenance, also written without remarks.
    if (isWord(group, "RTD") || isWord(group, "AMD") || isWord(group, "$")) continue;
    // The word written again after the header ("UHHH 140000Z METAR 28006MPS").
    if ((isWord(group, "METAR") || isWord(group, "SPECI")) && !report.current.wind.reported) {
      report.special = report.special || isWord(group, "SPECI");
      continue;
    }
    const bool windBefore = report.current.wind.reported;
    if (const int taken = decodeConditionGroups(group, next, report.current, afterNext)) {
      for (int i = 1; i < taken; ++i) cursor.next();
      if (!windBefore && report.current.wind.gustDropped) noteNotDecoded(report, group);
      continue;
    }
    RunwayVisualRange rvr;
    if (decodeRunwayVisualRange(group, rvr)) {
      if (!report.runwayVisualRanges.push(rvr)) noteNotDecoded(report, group);
      continue;
    }
    if (isWord(group, "RE//")) continue;  // recent weather not observed
    WeatherGroup weather;
    if (startsWithWord(group, "RE") && decodeWeatherGroup(group, weather) && weather.recent) {
      if (!report.recentWeather.push(weather)) noteNotDecoded(report, group);
      continue;
    }
    if (!temperatureSeen) {
      const Reading reading = decodeTemperatureGroup(group, report.temperatureC, report.dewPointC);
      if (reading == Reading::Value) {
        temperatureSeen = true;
        continue;
      }
      if (reading == Reading::Impossible) {
        noteNotDecoded(report, group);
        continue;
      }
    }
    {
      std::optional<double> hpa;
      bool inches = false;
      const Reading reading = decodePressureGroup(group, hpa, inches, pending);
      if (reading != Reading::None) {
        // A second pressure group (Q then A) repeats the first in other units.
        if (reading == Reading::Impossible) {
          noteNotDecoded(report, group.substr(0, group.size() - pending.size()));
        } else if (!pressureSeen && hpa) {
          report.pressureHpa = hpa;
          report.pressureInInches = inches;
          pressureSeen = true;
        }
        continue;
      }
    }
    if (isWord(group, "WS")) {
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

  // Whatever follows the "=" is no part of the report, up to the next one.
  if (rest == nullptr || rest->empty()) {
    Words after{cursor.afterEnd()};
    std::string_view next = after.next();
    for (group = next, next = after.next(); !group.empty(); group = next, next = after.next()) {
      if (rest && startsReport(group, next, [&] {
            Words ahead = after;
            return ahead.next();
          })) {
        *rest = text.substr(static_cast<std::size_t>(group.data() - text.data()));
        break;
      }
      noteNotDecoded(report, group);
    }
  }

  if (tenthsTemperature) {
    report.temperatureC = tenthsTemperature;
    if (tenthsDewPoint) report.dewPointC = tenthsDewPoint;
  }
  if (!report.pressureHpa && report.seaLevelPressureHpa) {
    report.pressureHpa = report.seaLevelPressureHpa;
    report.pressureFromSeaLevel = true;
  }
  report.status = report.notDecodedCount > 0 ? MetarStatus::Partial : MetarStatus::Ok;
  return report;
}

}  // namespace

MetarReport decodeMetar(std::string_view text, UtcDateTime anchor) { return decodeFirstMetar(text, anchor, nullptr); }

MetarReport decodeNextMetar(std::string_view& line, UtcDateTime anchor) {
  const std::string_view text = line;
  return decodeFirstMetar(text, anchor, &line);
}

}  // namespace nimbrel
