#pragma once
// Reads a file of raw reports one line at a time (never the whole file) and
// keeps the time each line was received: a "YYYY/MM/DD HH:MM" line sets it
// for the lines after it, a "YYYYMMDDHHmm " prefix sets it for its own line,
// and without either it is the current UTC time.
//
// Memory stays bounded whatever the input: a line longer than
// kMaxLineBytes is skipped with a message on standard error.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "TsvOutput.h"
#include "metar/UtcDateTime.h"

class ReportLineReader {
 public:
  static constexpr std::size_t kMaxLineBytes = 64 * 1024;

  ReportLineReader() = default;
  ~ReportLineReader();
  ReportLineReader(const ReportLineReader&) = delete;
  ReportLineReader& operator=(const ReportLineReader&) = delete;

  // "-" is standard input. Anything else must be a regular file: a folder,
  // a device or a FIFO is refused at once (never waited on). False with
  // error() saying why.
  bool open(const char* path);
  // The next report line and its anchor; false at the end or on a read error.
  bool next(std::string_view& report, nimbrel::UtcDateTime& anchor);
  bool failed() const { return failed_; }
  const std::string& error() const { return error_; }

 private:
  // Reads more after what is kept; false at the end of the input or on an error.
  bool fill();
  // The next raw line without its line feed; false at the end.
  bool rawLine(std::string_view& line);

  int fd_ = -1;
  bool ownsFd_ = false;
  bool atEnd_ = false;
  bool failed_ = false;
  std::string error_;
  std::string path_;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0;  // the unread bytes are buffer_[begin_, end_)
  std::size_t end_ = 0;
  std::size_t lineNumber_ = 0;
  nimbrel::UtcDateTime anchor_ = nimbrel::UtcDateTime::now();
};

// The options shared by the metar and taf commands.
struct ReportFileOptions {
  const char* path = nullptr;
  bool header = true;
};

// "[--header | --no-header] FILE" in any order; false when they do not parse.
bool parseReportFileOptions(int argc, char** argv, ReportFileOptions& options);

// The metar and taf commands: usage, the header line, one call of write for
// every report line, and the exit codes (2 for a file that can not be read,
// a read error on the way, or an output that can not be written).
template <typename Write>
int decodeReportFile(int argc, char** argv, const char* command, const char* header, const char* written,
                     Write write) {
  ReportFileOptions options;
  if (!parseReportFileOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: nimbrel-report %s [--header | --no-header] FILE\n", command);
    return 2;
  }
  ReportLineReader reader;
  if (!reader.open(options.path)) {
    std::fprintf(stderr, "nimbrel-report: can not read a file \"%s\": %s\n", options.path, reader.error().c_str());
    return 2;
  }
  TsvOutput out;
  if (options.header) {
    out.text(header);
    out.endLine();
  }
  std::string_view line;
  nimbrel::UtcDateTime anchor;
  while (reader.next(line, anchor)) write(out, line, anchor);
  if (reader.failed()) {
    // What was decoded before the error is still written, but the exit says the output is cut.
    out.finish();
    std::fprintf(stderr, "nimbrel-report: can not read a file \"%s\": %s\n", options.path, reader.error().c_str());
    return 2;
  }
  if (!out.finish()) {
    std::fprintf(stderr, "nimbrel-report: can not write the decoded %s\n", written);
    return 2;
  }
  return 0;
}
