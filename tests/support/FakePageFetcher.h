#pragma once
// A page fetcher for tests of the logic above the fetcher: answers from a
// script and records what was asked. Tests of fetching itself use a real
// server on 127.0.0.1 (LocalHttpServer.h, ReportPages.h).
#include <deque>
#include <string>
#include <vector>

#include "base/PageFetcher.h"

namespace nimbrel::test {

// A fetch that gave this page with HTTP 200.
inline FetchResult PageResult(std::string body) {
  FetchResult result;
  result.status = FetchStatus::kOk;
  result.httpStatus = 200;
  result.body = std::move(body);
  return result;
}

// A fetch that failed with the status (and libcurl's words).
inline FetchResult FailedResult(FetchStatus status, std::string errorText = {}, int timeoutSeconds = 0,
                                long httpStatus = 0) {
  FetchResult result;
  result.status = status;
  result.errorText = std::move(errorText);
  result.timeoutSeconds = timeoutSeconds;
  result.httpStatus = httpStatus;
  return result;
}

class FakePageFetcher : public PageFetcher {
 public:
  FetchResult fetch(const std::string& url, int readBufferSize, const std::atomic<bool>* = nullptr) override {
    urls.push_back(url);
    sizes.push_back(readBufferSize);
    if (queued.empty()) return result;
    FetchResult next = std::move(queued.front());
    queued.pop_front();
    return next;
  }

  std::deque<FetchResult> queued;        // answered first, one per fetch
  FetchResult result = PageResult("");  // then this, for every fetch
  std::vector<std::string> urls;
  std::vector<int> sizes;
};

}  // namespace nimbrel::test
