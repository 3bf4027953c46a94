#include "ui/ThreadedPageFetcher.h"

#include <QMetaObject>
#include <atomic>
#include <utility>

namespace nimbrel {

struct ThreadedPageFetcher::Request {
  std::atomic<bool> cancelled{false};
  AsyncPageFetcher::Done done;
};

class ThreadedPageFetcher::Ticket : public FetchTicket {
 public:
  explicit Ticket(std::shared_ptr<Request> request) : request(std::move(request)) {}
  ~Ticket() override { cancel(); }
  void cancel() override { request->cancelled = true; }

 private:
  std::shared_ptr<Request> request;
};

ThreadedPageFetcher::ThreadedPageFetcher(std::shared_ptr<PageFetcher> fetcher, QObject* parent)
    : QObject(parent), fetcher(std::move(fetcher)) {
  // A few charts refresh at once; more would only queue at the server.
  pool.setMaxThreadCount(4);
}

ThreadedPageFetcher::~ThreadedPageFetcher() {
  *closing = true;
  pool.waitForDone();
}

std::unique_ptr<FetchTicket> ThreadedPageFetcher::fetchAsync(const std::string& url, int readBufferSize, Done done) {
  auto request = std::make_shared<Request>();
  request->done = std::move(done);
  std::shared_ptr<PageFetcher> worker = fetcher;
  std::shared_ptr<std::atomic<bool>> shuttingDown = closing;
  // The destructor waits for every worker, so `this` outlives them all.
  pool.start([this, worker, shuttingDown, request, url, readBufferSize] {
    if (request->cancelled || *shuttingDown) return;
    FetchResult result = worker->fetch(url, readBufferSize, &request->cancelled);
    if (request->cancelled || *shuttingDown) return;
    deliver(request, std::move(result));
  });
  return std::make_unique<Ticket>(request);
}

std::unique_ptr<FetchTicket> ThreadedPageFetcher::deliverLater(FetchResult result, Done done) {
  auto request = std::make_shared<Request>();
  request->done = std::move(done);
  deliver(request, std::move(result));
  return std::make_unique<Ticket>(request);
}

void ThreadedPageFetcher::deliver(const std::shared_ptr<Request>& request, FetchResult result) {
  // Through this object's event queue, on its thread: dropped if it is gone
  // or the request was given up meanwhile.
  QMetaObject::invokeMethod(
      this,
      [request, result = std::move(result)]() mutable {
        if (!request->cancelled && request->done) request->done(std::move(result));
      },
      Qt::QueuedConnection);
}

int ThreadedPageFetcher::runningCount() const { return pool.activeThreadCount(); }

}  // namespace nimbrel
