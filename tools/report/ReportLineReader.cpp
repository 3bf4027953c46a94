#include "ReportLineReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Room for the longest line kept and one more read after it.
constexpr std::size_t kReadBytes = 64 * 1024;
constexpr std::size_t kBufferBytes = ReportLineReader::kMaxLineBytes + kReadBytes;

}  // namespace

ReportLineReader::~ReportLineReader() {
  if (ownsFd_ && fd_ >= 0) ::close(fd_);
}

bool ReportLineReader::open(const char* path) {
  path_ = path;
  if (std::strcmp(path, "-") == 0) {
    fd_ = STDIN_FILENO;
  } else {
    // Without blocking, so a FIFO with no writer is refused, not waited on.
    fd_ = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
      error_ = std::strerror(errno);
      return false;
    }
    ownsFd_ = true;
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
      error_ = std::strerror(errno);
      return false;
    }
    if (!S_ISREG(info.st_mode)) {
      error_ = S_ISDIR(info.st_mode) ? "it is a folder" : "it is not a regular file (give \"-\" to read standard input)";
      return false;
    }
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags >= 0) ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
  }
  buffer_ = std::make_unique<char[]>(kBufferBytes);
  return true;
}

bool ReportLineReader::fill() {
  if (atEnd_ || failed_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  while (true) {
    const ssize_t got = ::read(fd_, buffer_.get() + end_, kBufferBytes - end_);
    if (got > 0) {
      end_ += static_cast<std::size_t>(got);
      return true;
    }
    if (got == 0) {
      atEnd_ = true;
      return false;
    }
    if (errno == EINTR) continue;
    failed_ = true;
    error_ = std::strerror(errno);
    return false;
  }
}

bool ReportLineReader::rawLine(std::string_view& line) {
  std::size_t searched = begin_;
  bool skipping = false;  // inside a line too long to keep
  while (true) {
    const void* found = std::memchr(buffer_.get() + searched, '\n', end_ - searched);
    if (found != nullptr) {
      const std::size_t newline = static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.get());
      ++lineNumber_;
      if (skipping || newline - begin_ > kMaxLineBytes) {
        std::fprintf(stderr, "nimbrel-report: line %zu of \"%s\" is longer than %zu bytes; skipped\n", lineNumber_,
                     path_.c_str(), kMaxLineBytes);
        begin_ = searched = newline + 1;
        skipping = false;
        continue;
      }
      line = std::string_view(buffer_.get() + begin_, newline - begin_);
      begin_ = newline + 1;
      return true;
    }
    if (end_ - begin_ > kMaxLineBytes) {
      // Too long to keep: drop what is read so far and look on for its end.
      skipping = true;
      begin_ = end_ = 0;
    }
    searched = end_ - begin_;
    if (!fill()) {
      if (failed_ || end_ == begin_) {
        if (skipping && !failed_) {
          ++lineNumber_;
          std::fprintf(stderr, "nimbrel-report: line %zu of \"%s\" is longer than %zu bytes; skipped\n", lineNumber_,
                       path_.c_str(), kMaxLineBytes);
        }
        return false;
      }
      // The last line, without its line feed.
      ++lineNumber_;
      if (skipping) {
        std::fprintf(stderr, "nimbrel-report: line %zu of \"%s\" is longer than %zu bytes; skipped\n", lineNumber_,
                     path_.c_str(), kMaxLineBytes);
        begin_ = end_;
        return false;
      }
      line = std::string_view(buffer_.get() + begin_, end_ - begin_);
      begin_ = end_;
      return true;
    }
    searched += begin_;  // fill() moved the kept bytes to the front
  }
}

bool ReportLineReader::next(std::string_view& report, nimbrel::UtcDateTime& anchor) {
  std::string_view text;
  while (rawLine(text)) {
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
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
  return false;
}

bool parseReportFileOptions(int argc, char** argv, ReportFileOptions& options) {
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--header") == 0) {
      options.header = true;
    } else if (std::strcmp(argv[i], "--no-header") == 0) {
      options.header = false;
    } else if ((argv[i][0] != '-' || std::strcmp(argv[i], "-") == 0) && options.path == nullptr) {
      options.path = argv[i];
    } else {
      return false;
    }
  }
  return options.path != nullptr;
}
