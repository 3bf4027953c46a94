#pragma once
// The decoders' fuzz targets take their anchor from the input's first six
// bytes: any minute of years 1 to 9999, so the calendar's ends (year 1,
// 9999, leap days, month ends) are reached.
#include <cstddef>
#include <cstdint>

#include "metar/UtcDateTime.h"

inline nimbrel::UtcDateTime anchorFrom(const std::uint8_t*& data, std::size_t& size) {
  nimbrel::UtcDateTime anchor{2011, 12, 30, 23, 30};
  if (size < 6) return anchor;
  anchor.year = 1 + (data[0] | data[1] << 8) % 9999;
  anchor.month = 1 + data[2] % 12;
  anchor.day = 1 + data[3] % nimbrel::UtcDateTime::daysInMonth(anchor.year, anchor.month);
  anchor.hour = data[4] % 24;
  anchor.minute = data[5] % 60;
  data += 6;
  size -= 6;
  return anchor;
}
