#include "metar/UtcDateTime.h"

#include <ctime>
#include <string_view>

namespace nimbrel {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t daysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = static_cast<int>(y - era * 400);
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void civilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int doe = static_cast<int>(z - era * 146097);
  const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int>(yoe + era * 400) + (m <= 2);
}

bool readDigits(std::string_view text, std::size_t at, std::size_t count, int& value) {
  if (at + count > text.size()) return false;
  value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

void put2(char* out, int value) {
  out[0] = static_cast<char>('0' + value / 10 % 10);
  out[1] = static_cast<char>('0' + value % 10);
}

}  // namespace

bool UtcDateTime::isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int UtcDateTime::daysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

UtcDateTime UtcDateTime::now() {
  const std::time_t seconds = std::time(nullptr);
  return fromEpochMinutes(static_cast<std::int64_t>(seconds) / 60);
}

UtcDateTime UtcDateTime::fromEpochMinutes(std::int64_t minutes) {
  std::int64_t days = minutes / 1440;
  std::int64_t rest = minutes % 1440;
  if (rest < 0) {
    rest += 1440;
    --days;
  }
  UtcDateTime t;
  civilFromDays(days, t.year, t.month, t.day);
  t.hour = static_cast<int>(rest / 60);
  t.minute = static_cast<int>(rest % 60);
  return t;
}

bool UtcDateTime::isValid() const {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month) &&
         hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59;
}

std::int64_t UtcDateTime::epochMinutes() const { return daysFromCivil(year, month, day) * 1440 + hour * 60 + minute; }

UtcDateTime UtcDateTime::addMinutes(std::int64_t minutes) const { return fromEpochMinutes(epochMinutes() + minutes); }

void UtcDateTime::formatTo(char* out) const {
  const int y = year < 0 ? 0 : year % 10000;
  out[0] = static_cast<char>('0' + y / 1000);
  out[1] = static_cast<char>('0' + y / 100 % 10);
  put2(out + 2, y % 100);
  out[4] = '-';
  put2(out + 5, month);
  out[7] = '-';
  put2(out + 8, day);
  out[10] = 'T';
  put2(out + 11, hour);
  out[13] = ':';
  put2(out + 14, minute);
  out[16] = 'Z';
}

std::string UtcDateTime::toString() const {
  std::string text(kTextLength, ' ');
  formatTo(text.data());
  return text;
}

std::optional<UtcDateTime> resolveDayTime(const UtcDateTime& anchor, int day, int hour, int minute) {
  if (day < 1 || day > 31 || hour < 0 || hour > 24 || minute < 0 || minute > 59) return std::nullopt;
  if (hour == 24 && minute != 0) return std::nullopt;
  // The anchor's next day, by the calendar: this runs once per report.
  UtcDateTime limit = anchor;
  if (++limit.day > UtcDateTime::daysInMonth(limit.year, limit.month)) {
    limit.day = 1;
    if (++limit.month > 12) {
      limit.month = 1;
      ++limit.year;
    }
  }
  int year = limit.year;
  int month = limit.month;
  if (day > limit.day) {
    // Back to the latest earlier month that has this day (31 may skip one).
    do {
      if (--month == 0) {
        month = 12;
        --year;
      }
    } while (UtcDateTime::daysInMonth(year, month) < day);
  }
  UtcDateTime t{year, month, day, hour == 24 ? 0 : hour, minute};
  return hour == 24 ? t.addDays(1) : t;
}

std::optional<UtcDateTime> parseSlashedDateTime(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\t')) text.remove_suffix(1);
  if (text.size() != 16 || text[4] != '/' || text[7] != '/' || text[10] != ' ' || text[13] != ':') return std::nullopt;
  UtcDateTime t;
  if (!readDigits(text, 0, 4, t.year) || !readDigits(text, 5, 2, t.month) || !readDigits(text, 8, 2, t.day) ||
      !readDigits(text, 11, 2, t.hour) || !readDigits(text, 14, 2, t.minute) || !t.isValid())
    return std::nullopt;
  return t;
}

std::optional<UtcDateTime> parseCompactDateTime(std::string_view text) {
  UtcDateTime t;
  if (text.size() != 12 || !readDigits(text, 0, 4, t.year) || !readDigits(text, 4, 2, t.month) ||
      !readDigits(text, 6, 2, t.day) || !readDigits(text, 8, 2, t.hour) || !readDigits(text, 10, 2, t.minute) ||
      !t.isValid())
    return std::nullopt;
  return t;
}

}  // namespace nimbrel
