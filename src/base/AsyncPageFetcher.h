#pragma once
// Downloads that never block the caller: the result comes back later, on
// the caller's (user-interface) thread, through the done function.
#include <functional>
#include <memory>
#include <string>

#include "base/FetchResult.h"

namespace nimbrel {

// A download under way. Cancelling it, or dropping the last ticket, means
// its done function is never called.
class FetchTicket {
 public:
  virtual ~FetchTicket() = default;
  virtual void cancel() = 0;
};

class AsyncPageFetcher {
 public:
  using Done = std::function<void(FetchResult)>;

  virtual ~AsyncPageFetcher() = default;
  // readBufferSize: the size of each read (0 means 1,000,000), not a limit.
  // done is never called before fetchAsync has returned.
  virtual std::unique_ptr<FetchTicket> fetchAsync(const std::string& url, int readBufferSize, Done done) = 0;
  // A result known without downloading (a cached answer, a request the
  // caller refuses to send), handed over the same way as a download's.
  virtual std::unique_ptr<FetchTicket> deliverLater(FetchResult result, Done done) = 0;
};

}  // namespace nimbrel
