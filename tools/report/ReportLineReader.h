#pragma once
// Reads a file of raw reports one line at a time (never the whole file) and
// keeps the time each line was received: a "YYYY/MM/DD HH:MM" line sets it
// for the lines after it, a "YYYYMMDDHHmm " prefix sets it for its own line,
// and without either it is the current UTC time.
#include <cstdio>
#include <string_view>

#include "metar/UtcDateTime.h"

class ReportLineReader {
 public:
  ReportLineReader() = default;
  ~ReportLineReader();
  ReportLineReader(const ReportLineReader&) = delete;
  ReportLineReader& operator=(const ReportLineReader&) = delete;

  // "-" is standard input. False when the file can not be opened or is a folder.
  bool open(const char* path);
  // The next report line and its anchor; false at the end or on a read error.
  bool next(std::string_view& report, nimbrel::UtcDateTime& anchor);
  bool failed() const { return failed_; }

 private:
  std::FILE* file_ = nullptr;
  bool ownsFile_ = false;
  bool failed_ = false;
  char* line_ = nullptr;
  std::size_t capacity_ = 0;
  nimbrel::UtcDateTime anchor_ = nimbrel::UtcDateTime::now();
};
