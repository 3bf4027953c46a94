// The worker fetcher: reading (of a download or of the report store) runs
// off the caller's thread, what it returns runs on the caller's thread, and
// a dropped ticket or a fetcher going away stops both.
#include "services/ThreadedPageFetcher.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "support/FakePageFetcher.h"

namespace nimbrel {
namespace {

// A download that waits until the test lets it go.
class GatedFetcher : public PageFetcher {
 public:
  FetchResult fetch(const std::string&, int, const std::atomic<bool>*) override {
    std::unique_lock<std::mutex> lock(mutex);
    gate.wait(lock, [this] { return open; });
    return test::PageResult("late");
  }
  void release() {
    {
      std::lock_guard<std::mutex> lock(mutex);
      open = true;
    }
    gate.notify_all();
  }

 private:
  std::mutex mutex;
  std::condition_variable gate;
  bool open = false;
};

bool WaitFor(const std::function<bool()>& done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < 5000) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return done();
}

TEST(ThreadedPageFetcherTest, WorkRunsOnAWorkerAndItsResultOnTheCallersThread) {
  ThreadedPageFetcher fetcher(std::make_shared<test::FakePageFetcher>(), 2);
  std::atomic<QThread*> workedOn{nullptr};
  QThread* deliveredOn = nullptr;
  int value = 0;
  auto ticket = fetcher.makeLater(
      [&] {
        workedOn = QThread::currentThread();
        return 42;
      },
      [&](int made) {
        deliveredOn = QThread::currentThread();
        value = made;
      });
  // Never inside the call itself.
  EXPECT_EQ(value, 0);
  ASSERT_TRUE(WaitFor([&] { return value == 42; }));
  EXPECT_NE(workedOn.load(), QThread::currentThread());
  EXPECT_EQ(deliveredOn, QThread::currentThread());
}

TEST(ThreadedPageFetcherTest, ADroppedTicketIsNeverAnswered) {
  ThreadedPageFetcher fetcher(std::make_shared<test::FakePageFetcher>(), 1);
  std::atomic<bool> worked{false};
  bool delivered = false;
  auto dropped = fetcher.run([&] {
    worked = true;
    return std::function<void()>([&] { delivered = true; });
  });
  ASSERT_TRUE(WaitFor([&] { return worked.load(); }));
  dropped.reset();
  // A later request on the same single worker is answered, so the first
  // one's answer has had its chance.
  bool later = false;
  auto kept = fetcher.post([&] { later = true; });
  ASSERT_TRUE(WaitFor([&] { return later; }));
  EXPECT_FALSE(delivered);
}

TEST(ThreadedPageFetcherTest, AStoreReadIsNotHeldBehindASlowDownload) {
  auto slow = std::make_shared<GatedFetcher>();
  ThreadedPageFetcher fetcher(slow, 2);
  auto download = fetcher.fetchAsync("http://127.0.0.1:9/slow", 0, [](FetchResult) {});
  bool read = false;
  auto store = fetcher.makeLater([] { return 1; }, [&](int) { read = true; });
  EXPECT_TRUE(WaitFor([&] { return read; }));
  slow->release();
}

}  // namespace
}  // namespace nimbrel
