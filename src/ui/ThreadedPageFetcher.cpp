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
    // Delivered through this object's event queue: dropped if it is gone.
    QMetaObject::invokeMethod(
        this,
        [request, result = std::move(result)]() mutable {
          if (!request->cancelled && request->done) request->done(std::move(result));
        },
        Qt::QueuedConnection);
  });
  return std::make_unique<Ticket>(request);
}

std::unique_ptr<FetchTicket> ThreadedPageFetcher::deliverLater(FetchResult result, Done done) {
  auto request = std::make_shared<Request>();
  request->done = std::move(done);
  QMetaObject::invokeMethod(
      this,
      [request, result = std::move(result)]() mutable {
        if (!request->cancelled && request->done) request->done(std::move(result));
      },
      Qt::QueuedConnection);
  return std::make_unique<Ticket>(request);
}

int ThreadedPageFetcher::runningCount() const { return pool.activeThreadCount(); }

}  // namespace nimbrel
