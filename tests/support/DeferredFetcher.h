#pragma once
// An asynchronous fetcher for tests of the logic above the fetcher: records
// every request and answers only when the test says so, so a test can look
// at the state between asking and answering. Like the real one it never
// answers inside fetchAsync and never answers a dropped or cancelled ticket.
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/AsyncPageFetcher.h"
#include "support/FakePageFetcher.h"

namespace nimbrel::test {

class DeferredFetcher : public AsyncPageFetcher {
 public:
  std::unique_ptr<FetchTicket> fetchAsync(const std::string& url, int readBufferSize, Done done) override {
    auto request = std::make_shared<Request>();
    request->done = std::move(done);
    urls.push_back(url);
    sizes.push_back(readBufferSize);
    waiting.push_back(request);
    return std::make_unique<Ticket>(request);
  }

  // A result known without downloading: it waits in the same queue and is
  // handed over as it stands, whatever deliverNext is given.
  std::unique_ptr<FetchTicket> deliverLater(FetchResult result, Done done) override {
    auto request = std::make_shared<Request>();
    request->known = std::move(result);
    request->done = std::move(done);
    waiting.push_back(request);
    return std::make_unique<Ticket>(request);
  }

  // Answers the oldest request still waiting with the result; false when
  // none waits. A cancelled request is skipped and counted.
  bool deliverNext(FetchResult result) {
    while (!waiting.empty()) {
      std::shared_ptr<Request> request = std::move(waiting.front());
      waiting.pop_front();
      if (request->cancelled) {
        ++dropped;
        continue;
      }
      // Held here, so the done function outlives a ticket dropped inside it.
      Done done = std::move(request->done);
      request->cancelled = true;
      done(request->known ? std::move(*request->known) : std::move(result));
      return true;
    }
    return false;
  }
  bool deliverNext(const std::string& page) { return deliverNext(PageResult(page)); }

  // Answers every request waiting, including ones asked for meanwhile, each
  // with the same result; how many were answered.
  int deliverAll(const FetchResult& result) {
    int count = 0;
    while (deliverNext(result)) ++count;
    return count;
  }

  std::vector<std::string> urls;
  std::vector<int> sizes;
  int dropped = 0;  // requests skipped as cancelled or dropped

 private:
  struct Request {
    Done done;
    std::optional<FetchResult> known;
    bool cancelled = false;
  };
  class Ticket : public FetchTicket {
   public:
    explicit Ticket(std::shared_ptr<Request> request) : request(std::move(request)) {}
    ~Ticket() override { cancel(); }
    void cancel() override { request->cancelled = true; }

   private:
    std::shared_ptr<Request> request;
  };

  std::deque<std::shared_ptr<Request>> waiting;
};

}  // namespace nimbrel::test
