#pragma once
// Reads a file of raw reports one line at a time (never the whole file) and
// keeps the time each line was received: a "YYYY/MM/DD HH:MM" line sets it
// for the lines after it, a "YYYYMMDDHHmm " prefix sets it for its own line,
// and without either it is the current UTC time.
#include <cstdio>
#include <string_view>

#include "TsvOutput.h"
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

// The metar and taf commands: usage, the header line, one call of write for
// every report line, and the exit codes (2 for a file that can not be read
// or an output that can not be written).
template <typename Write>
int decodeReportFile(int argc, char** argv, const char* command, const char* header, const char* written,
                     Write write) {
  if (argc != 1) {
    std::fprintf(stderr, "usage: nimbrel-report %s FILE\n", command);
    return 2;
  }
  ReportLineReader reader;
  if (!reader.open(argv[0])) {
    std::fprintf(stderr, "nimbrel-report: can not read a file \"%s\"\n", argv[0]);
    return 2;
  }
  TsvOutput out;
  out.text(header);
  out.endLine();
  std::string_view line;
  nimbrel::UtcDateTime anchor;
  while (reader.next(line, anchor)) write(out, line, anchor);
  if (reader.failed()) {
    std::fprintf(stderr, "nimbrel-report: can not read a file \"%s\"\n", argv[0]);
    return 2;
  }
  if (!out.finish()) {
    std::fprintf(stderr, "nimbrel-report: can not write the decoded %s\n", written);
    return 2;
  }
  return 0;
}
