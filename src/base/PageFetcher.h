#pragma once
#include <string>

namespace nimbrel {

// Downloads a URL: the whole body as text, "" on any failure.
// readBufferSize is the size of each read (0 means 1,000,000), not a limit.
class PageFetcher {
 public:
  virtual ~PageFetcher() = default;
  virtual std::string fetch(const std::string& url, int readBufferSize) = 0;
};

}  // namespace nimbrel
