#pragma once
#include <atomic>
#include <string>

#include "base/FetchResult.h"

namespace nimbrel {

// Downloads a URL, blocking the calling thread until it is done.
class PageFetcher {
 public:
  virtual ~PageFetcher() = default;
  // readBufferSize is the size of each read (0 means 1,000,000), not a
  // limit. When cancel is given and becomes true, the download stops soon
  // after with kCancelled.
  virtual FetchResult fetch(const std::string& url, int readBufferSize, const std::atomic<bool>* cancel = nullptr) = 0;
};

}  // namespace nimbrel
