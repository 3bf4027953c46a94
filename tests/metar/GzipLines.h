#pragma once
// Reads a gzip-compressed text file line by line (zlib), for the tests on
// the shared real-data files.
#include <zlib.h>

#include <string>

namespace nimbrel::test {

class GzipLines {
 public:
  explicit GzipLines(const std::string& path) : file_(gzopen(path.c_str(), "rb")) {}
  ~GzipLines() {
    if (file_ != nullptr) gzclose(file_);
  }
  GzipLines(const GzipLines&) = delete;
  GzipLines& operator=(const GzipLines&) = delete;

  bool isOpen() const { return file_ != nullptr; }

  // The next line without its line end; false at the end.
  bool next(std::string& line) {
    line.clear();
    if (file_ == nullptr) return false;
    char buffer[4096];
    while (gzgets(file_, buffer, sizeof buffer) != nullptr) {
      line += buffer;
      if (!line.empty() && line.back() == '\n') {
        line.pop_back();
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
      }
    }
    return !line.empty();
  }

 private:
  gzFile file_;
};

}  // namespace nimbrel::test
