#include "ReportLineReader.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

ReportLineReader::~ReportLineReader() {
  if (ownsFile_ && file_ != nullptr) std::fclose(file_);
  std::free(line_);
}

bool ReportLineReader::open(const char* path) {
  if (std::strcmp(path, "-") == 0) {
    file_ = stdin;
  } else {
    file_ = std::fopen(path, "rb");
    if (file_ == nullptr) return false;
    ownsFile_ = true;
  }
  struct stat info {};
  if (fstat(fileno(file_), &info) != 0 || S_ISDIR(info.st_mode)) return false;
  static char buffer[1 << 16];
  std::setvbuf(file_, buffer, _IOFBF, sizeof buffer);
  return true;
}

bool ReportLineReader::next(std::string_view& report, nimbrel::UtcDateTime& anchor) {
  while (true) {
    errno = 0;
    const ssize_t got = getline(&line_, &capacity_, file_);
    if (got < 0) {
      failed_ = std::ferror(file_) != 0;
      return false;
    }
    std::string_view text(line_, static_cast<std::size_t>(got));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '\t'))
      text.remove_suffix(1);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    if (text.empty()) continue;
    if (const auto time = nimbrel::parseSlashedDateTime(text)) {
      anchor_ = *time;
      continue;
    }
    anchor = anchor_;
    if (text.size() > 13 && text[12] == ' ') {
      if (const auto own = nimbrel::parseCompactDateTime(text.substr(0, 12))) {
        anchor = *own;
        text.remove_prefix(13);
      }
    }
    report = text;
    return true;
  }
}
