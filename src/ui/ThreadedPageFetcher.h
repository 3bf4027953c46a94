#pragma once
// Runs a blocking page fetcher on worker threads and hands each result back
// on the user-interface thread, so no window ever waits on the network.
#include <QObject>
#include <QThreadPool>
#include <memory>

#include "base/AsyncPageFetcher.h"
#include "base/PageFetcher.h"

namespace nimbrel {

class ThreadedPageFetcher : public QObject, public AsyncPageFetcher {
  Q_OBJECT

 public:
  explicit ThreadedPageFetcher(std::shared_ptr<PageFetcher> fetcher, QObject* parent = nullptr);
  // Cancels what is under way and waits for the workers to let go.
  ~ThreadedPageFetcher() override;

  std::unique_ptr<FetchTicket> fetchAsync(const std::string& url, int readBufferSize, Done done) override;
  std::unique_ptr<FetchTicket> deliverLater(FetchResult result, Done done) override;

  // Downloads still running on a worker.
  int runningCount() const;

 private:
  struct Request;
  class Ticket;

  void deliver(const std::shared_ptr<Request>& request, FetchResult result);

  std::shared_ptr<PageFetcher> fetcher;
  QThreadPool pool;
  std::shared_ptr<std::atomic<bool>> closing = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace nimbrel
