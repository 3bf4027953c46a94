#include "services/ThreadedPageFetcher.h"

#include <QMetaObject>
#include <atomic>
#include <utility>

namespace nimbrel {

struct ThreadedPageFetcher::Request {
  std::atomic<bool> cancelled{false};
};

class ThreadedPageFetcher::Ticket : public FetchTicket {
 public:
  explicit Ticket(std::shared_ptr<Request> request) : request(std::move(request)) {}
  ~Ticket() override { cancel(); }
  void cancel() override { request->cancelled = true; }

 private:
  std::shared_ptr<Request> request;
};

ThreadedPageFetcher::ThreadedPageFetcher(std::shared_ptr<PageFetcher> fetcher, int threads, QObject* parent)
    : QObject(parent), fetcher(std::move(fetcher)) {
  pool.setMaxThreadCount(threads);
}

ThreadedPageFetcher::~ThreadedPageFetcher() {
  *closing = true;
  pool.waitForDone();
}

std::unique_ptr<FetchTicket> ThreadedPageFetcher::start(const std::string& url, int readBufferSize, Work work) {
  auto request = std::make_shared<Request>();
  std::shared_ptr<PageFetcher> worker = fetcher;
  std::shared_ptr<std::atomic<bool>> shuttingDown = closing;
  // The destructor waits for every worker, so `this` outlives them all.
  pool.start([this, worker, shuttingDown, request, url, readBufferSize, work = std::move(work)] {
    if (request->cancelled || *shuttingDown) return;
    FetchResult result = worker->fetch(url, readBufferSize, &request->cancelled);
    if (request->cancelled || *shuttingDown) return;
    // The answer is read here, off the user-interface thread.
    std::function<void()> done = work(std::move(result));
    if (request->cancelled || *shuttingDown) return;
    deliver(request, std::move(done));
  });
  return std::make_unique<Ticket>(request);
}

std::unique_ptr<FetchTicket> ThreadedPageFetcher::post(std::function<void()> done) {
  auto request = std::make_shared<Request>();
  deliver(request, std::move(done));
  return std::make_unique<Ticket>(request);
}

std::unique_ptr<FetchTicket> ThreadedPageFetcher::run(std::function<std::function<void()>()> work) {
  auto request = std::make_shared<Request>();
  std::shared_ptr<std::atomic<bool>> shuttingDown = closing;
  pool.start([this, shuttingDown, request, work = std::move(work)] {
    if (request->cancelled || *shuttingDown) return;
    std::function<void()> done = work();
    if (request->cancelled || *shuttingDown) return;
    deliver(request, std::move(done));
  });
  return std::make_unique<Ticket>(request);
}

void ThreadedPageFetcher::deliver(const std::shared_ptr<Request>& request, std::function<void()> done) {
  // Through this object's event queue, on its thread: dropped if it is gone
  // or the request was given up meanwhile.
  QMetaObject::invokeMethod(
      this,
      [request, done = std::move(done)] {
        if (!request->cancelled && done) {
          // Run once: a ticket dropped inside done cancels nothing more.
          request->cancelled = true;
          done();
        }
      },
      Qt::QueuedConnection);
}

int ThreadedPageFetcher::runningCount() const { return pool.activeThreadCount(); }

}  // namespace nimbrel
