#pragma once
// Downloads that never block the caller: the answer is read on the worker
// that downloaded it, and what comes of it is handed back later on the
// caller's (user-interface) thread.
#include <functional>
#include <memory>
#include <string>
#include <utility>

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
  // Runs on the worker with the download's result (reading it there) and
  // returns what the caller's thread then does.
  using Work = std::function<std::function<void()>(FetchResult)>;

  virtual ~AsyncPageFetcher() = default;
  // readBufferSize: the size of each read (0 means 1,000,000), not a limit.
  // What work returns is never run before start has returned, and never
  // once the ticket is dropped or cancelled.
  virtual std::unique_ptr<FetchTicket> start(const std::string& url, int readBufferSize, Work work) = 0;
  // Something known without downloading (a cached answer, a request the
  // caller refuses to send), run later on the caller's thread the same way.
  virtual std::unique_ptr<FetchTicket> post(std::function<void()> done) = 0;
  // Work without a download (reading the report store) run like a
  // download's reading: on a worker where there is one, and what it returns
  // later on the caller's thread. Fetchers without workers run it at once.
  virtual std::unique_ptr<FetchTicket> run(std::function<std::function<void()>()> work) { return post(work()); }

  // A download whose raw result goes back to the caller's thread.
  std::unique_ptr<FetchTicket> fetchAsync(const std::string& url, int readBufferSize, Done done) {
    return start(url, readBufferSize, [done = std::move(done)](FetchResult result) {
      return std::function<void()>([done, result = std::move(result)]() mutable { done(std::move(result)); });
    });
  }

  // A download read by `read` on the worker; `use` gets what it read on the
  // caller's thread.
  template <class Read, class Use>
  std::unique_ptr<FetchTicket> fetchRead(const std::string& url, int readBufferSize, Read read, Use use) {
    return start(url, readBufferSize, [read = std::move(read), use = std::move(use)](FetchResult result) {
      auto value = read(std::move(result));
      return std::function<void()>([use, value = std::move(value)]() mutable { use(std::move(value)); });
    });
  }

  // A value made by `make` off the caller's thread, handed to `use` on it.
  template <class Make, class Use>
  std::unique_ptr<FetchTicket> makeLater(Make make, Use use) {
    return run([make = std::move(make), use = std::move(use)] {
      auto value = make();
      return std::function<void()>([use, value = std::move(value)]() mutable { use(std::move(value)); });
    });
  }

  // A known value handed to `use` later on the caller's thread.
  template <class T, class Use>
  std::unique_ptr<FetchTicket> deliverLater(T value, Use use) {
    return post([use = std::move(use), value = std::move(value)]() mutable { use(std::move(value)); });
  }
};

}  // namespace nimbrel
