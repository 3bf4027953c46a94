#pragma once
// The page fetcher over libcurl's easy interface: one blocking GET per call.
// Safe to use from several threads at once: each call has its own handle.
#include <cstddef>
#include <string>
#include <utility>

#include "base/PageFetcher.h"

namespace nimbrel {

class CurlPageFetcher : public PageFetcher {
 public:
  // A stalled server must not freeze the program for ever, and a runaway
  // body must not eat the memory.
  static constexpr long kDefaultConnectTimeoutMs = 15000;
  static constexpr long kDefaultTotalTimeoutMs = 120000;
  static constexpr long kIdleTimeoutSeconds = 20;
  static constexpr std::size_t kDefaultMaxBodyBytes = 64u * 1024u * 1024u;

  CurlPageFetcher();

  FetchResult fetch(const std::string& url, int readBufferSize, const std::atomic<bool>* cancel = nullptr) override;

  void setUserAgent(std::string agent) { userAgent = std::move(agent); }

  void setTimeouts(long connectMs, long totalMs) {
    connectTimeoutMs = connectMs;
    totalTimeoutMs = totalMs;
  }
  void setMaxBodyBytes(std::size_t bytes) { maxBodyBytes = bytes; }

  // The buffer size handed to libcurl for a read buffer size: 0 means
  // 1,000,000, and the result lies in what libcurl accepts.
  static long curlBufferSize(int readBufferSize);
  // Spaces escaped, as in the "most recent only" query.
  static std::string escapeSpaces(const std::string& url);

 private:
  long connectTimeoutMs = kDefaultConnectTimeoutMs;
  long totalTimeoutMs = kDefaultTotalTimeoutMs;
  std::size_t maxBodyBytes = kDefaultMaxBodyBytes;
  std::string userAgent = "Microsoft Internet Explorer";
};

}  // namespace nimbrel
