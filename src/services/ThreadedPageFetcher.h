#pragma once
// Runs a blocking page fetcher on worker threads and hands each result back
// on the user-interface thread, so no window ever waits on the network.
// Each kind of download has a fetcher of its own (a lane), so a stalled
// server or a slow kind never holds up another's workers.
#include <QObject>
#include <QThreadPool>
#include <memory>

#include "base/AsyncPageFetcher.h"
#include "base/PageFetcher.h"

namespace nimbrel {

class ThreadedPageFetcher : public QObject, public AsyncPageFetcher {
  Q_OBJECT

 public:
  ThreadedPageFetcher(std::shared_ptr<PageFetcher> fetcher, int threads, QObject* parent = nullptr);
  // Cancels what is under way and waits for the workers to let go.
  ~ThreadedPageFetcher() override;

  std::unique_ptr<FetchTicket> start(const std::string& url, int readBufferSize, Work work) override;
  std::unique_ptr<FetchTicket> post(std::function<void()> done) override;
  std::unique_ptr<FetchTicket> run(std::function<std::function<void()>()> work) override;

  // Downloads still running on a worker.
  int runningCount() const;

 private:
  struct Request;
  class Ticket;

  void deliver(const std::shared_ptr<Request>& request, std::function<void()> done);

  std::shared_ptr<PageFetcher> fetcher;
  QThreadPool pool;
  std::shared_ptr<std::atomic<bool>> closing = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace nimbrel
