#pragma once
// An asynchronous fetcher for tests of the logic above the fetcher: records
// every request and answers only when the test says so, so a test can look
// at the state between asking and answering. Like the real one it never
// answers inside fetchAsync and never answers a dropped or cancelled ticket.
#include <deque>
#include <memory>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/AsyncPageFetcher.h"
#include "base/PageFetcher.h"
#include "support/FakePageFetcher.h"

namespace nimbrel::test {

class DeferredFetcher : public AsyncPageFetcher {
 public:
  std::unique_ptr<FetchTicket> start(const std::string& url, int readBufferSize, Work work) override {
    auto request = std::make_shared<Request>();
    request->work = std::move(work);
    request->url = url;
    request->size = readBufferSize;
    urls.push_back(url);
    sizes.push_back(readBufferSize);
    waiting.push_back(request);
    return std::make_unique<Ticket>(request);
  }

  // Something known without downloading: it waits in the same queue and is
  // run as it stands, whatever deliverNext is given.
  std::unique_ptr<FetchTicket> post(std::function<void()> done) override {
    auto request = std::make_shared<Request>();
    request->known = std::move(done);
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
      std::function<void()> done = request->known ? std::move(request->known) : request->work(std::move(result));
      request->cancelled = true;
      done();
      return true;
    }
    return false;
  }
  bool deliverNext(const std::string& page) { return deliverNext(PageResult(page)); }

  // Answers the oldest request still waiting with what `real` fetches of
  // its address (a server on 127.0.0.1); false when none waits.
  bool fetchNext(PageFetcher& real) {
    while (!waiting.empty() && waiting.front()->cancelled) {
      waiting.pop_front();
      ++dropped;
    }
    if (waiting.empty()) return false;
    const Request& next = *waiting.front();
    return deliverNext(next.known ? FetchResult{} : real.fetch(next.url, next.size));
  }

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
    Work work;
    std::string url;
    int size = 0;
    std::function<void()> known;
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
