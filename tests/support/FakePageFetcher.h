#pragma once
// A page fetcher for tests of the logic above the fetcher: answers from a
// script and records what was asked. Tests of fetching itself use a real
// server on 127.0.0.1 (LocalHttpServer.h, ReportPages.h).
#include <deque>
#include <string>
#include <vector>

#include "base/PageFetcher.h"

namespace nimbrel::test {

class FakePageFetcher : public PageFetcher {
 public:
  std::string fetch(const std::string& url, int readBufferSize) override {
    urls.push_back(url);
    sizes.push_back(readBufferSize);
    if (queued.empty()) return page;
    std::string next = std::move(queued.front());
    queued.pop_front();
    return next;
  }

  std::deque<std::string> queued;  // answered first, one page per fetch
  std::string page;                // then this, for every fetch
  std::vector<std::string> urls;
  std::vector<int> sizes;
};

}  // namespace nimbrel::test
