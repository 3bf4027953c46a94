// The libcurl fetcher against a real server on 127.0.0.1: whole bodies, the
// request's headers, and each way a download ends told apart.
#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <string>
#include <thread>

#include "observations/CurlPageFetcher.h"
#include "support/LocalHttpServer.h"

namespace nimbrel {
namespace {

std::string Pattern(std::size_t size) {
  std::string body(size, 'x');
  for (std::size_t i = 0; i < size; ++i) body[i] = static_cast<char>('a' + (i * 7 + i / 1000) % 26);
  return body;
}

const char* StatusName(FetchStatus status) {
  switch (status) {
    case FetchStatus::kOk: return "ok";
    case FetchStatus::kHttpError: return "http error";
    case FetchStatus::kTimedOut: return "timed out";
    case FetchStatus::kUnreachable: return "unreachable";
    case FetchStatus::kTooLarge: return "too large";
    case FetchStatus::kCancelled: return "cancelled";
    case FetchStatus::kFailed: return "failed";
  }
  return "?";
}

class FetchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server.Serve("/page", "<HTML>hello</HTML>");
    server.Serve("/empty", "");
    server.Serve("/big", big);
    server.ServeStalled("/stall");
    server.Server().Get("/echo", [](const httplib::Request& request, httplib::Response& response) {
      response.set_content(request.get_header_value("User-Agent") + "|" + request.get_header_value("Cache-Control") +
                               "|" + request.get_header_value("Pragma") + "|" +
                               request.get_param_value("hoursStr"),
                           "text/plain");
    });
    for (const int status : {404, 500}) {
      server.Server().Get("/status" + std::to_string(status),
                          [status](const httplib::Request&, httplib::Response& response) {
                            response.status = status;
                            response.set_content("<P>not here</P>", "text/html");
                          });
    }
    server.Server().Get("/loop", [](const httplib::Request&, httplib::Response& response) {
      response.set_redirect("/loop");
    });
    server.Server().Get("/moved", [](const httplib::Request&, httplib::Response& response) {
      response.set_redirect("/page");
    });
    ASSERT_TRUE(server.start());
  }

  const std::string big = Pattern(3 * 1000 * 1000 + 17);
  test::LocalHttpServer server;
  CurlPageFetcher fetcher;
};

TEST_F(FetchTest, BodyComesBackWhole) {
  const FetchResult page = fetcher.fetch(server.Url("/page"), 70000);
  EXPECT_EQ(page.status, FetchStatus::kOk);
  EXPECT_EQ(page.httpStatus, 200);
  EXPECT_EQ(page.body, "<HTML>hello</HTML>");
  EXPECT_EQ(page.errorText, "");
  // Far longer than the read buffer: many reads, one whole body.
  EXPECT_EQ(fetcher.fetch(server.Url("/big"), 2000).body, big);
  EXPECT_EQ(fetcher.fetch(server.Url("/big"), 0).body, big);
  EXPECT_EQ(fetcher.fetch(server.Url("/moved"), 0).body, "<HTML>hello</HTML>");
}

// Each way a download ends, and what the caller is told.
TEST_F(FetchTest, EveryEndHasItsStatus) {
  fetcher.setMaxBodyBytes(big.size() - 1);
  const std::string refused = "http://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/page";
  const struct {
    std::string url;
    int bufferSize;
    FetchStatus status;
    long httpStatus;
    std::string errorPart;  // in errorText, any case
  } cases[] = {
      {server.Url("/empty"), 0, FetchStatus::kOk, 200, ""},
      {server.Url("/status404"), 0, FetchStatus::kHttpError, 404, "404"},
      {server.Url("/status500"), 0, FetchStatus::kHttpError, 500, "500"},
      {refused, 0, FetchStatus::kUnreachable, 0, "connect"},
      {server.Url("/big"), 0, FetchStatus::kTooLarge, 200, std::to_string(big.size() - 1)},
      {server.Url("/loop"), 0, FetchStatus::kFailed, 302, "redirect"},
      {"file:///etc/hostname", 0, FetchStatus::kFailed, 0, "protocol"},
      {server.Url("/page"), -5, FetchStatus::kFailed, 0, "buffer"},
  };
  for (const auto& c : cases) {
    const FetchResult result = fetcher.fetch(c.url, c.bufferSize);
    EXPECT_EQ(StatusName(result.status), std::string(StatusName(c.status))) << c.url << " " << result.errorText;
    EXPECT_EQ(result.httpStatus, c.httpStatus) << c.url;
    std::string lower = result.errorText;
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_NE(lower.find(c.errorPart), std::string::npos) << c.url << ": " << result.errorText;
    if (c.status != FetchStatus::kOk) {
      EXPECT_FALSE(result.errorText.empty()) << c.url;
    }
    EXPECT_EQ(result.ok(), c.status == FetchStatus::kOk) << c.url;
  }
  // A body exactly at the ceiling still comes.
  fetcher.setMaxBodyBytes(big.size());
  EXPECT_EQ(fetcher.fetch(server.Url("/big"), 0).body.size(), big.size());
}

TEST_F(FetchTest, SendsAgentNoCacheAndEscapedSpaces) {
  EXPECT_EQ(fetcher.fetch(server.Url("/echo?hoursStr=most recent only"), 0).body,
            "Microsoft Internet Explorer|no-cache|no-cache|most recent only");
  fetcher.setUserAgent("nimbrel-test/1");
  EXPECT_EQ(fetcher.fetch(server.Url("/echo?hoursStr=x"), 0).body, "nimbrel-test/1|no-cache|no-cache|x");
}

TEST_F(FetchTest, StalledServerTimesOutAndSaysWhichLimit) {
  // The stalled path answers only when the server stops, long after this
  // limit: the fetch can only end by its time-out.
  fetcher.setTimeouts(5000, 1500);
  const FetchResult stalled = fetcher.fetch(server.Url("/stall"), 0);
  EXPECT_EQ(StatusName(stalled.status), std::string("timed out"));
  EXPECT_EQ(stalled.timeoutSeconds, 2) << "the total limit, in whole seconds rounded up";
  EXPECT_FALSE(stalled.errorText.empty());
  EXPECT_EQ(server.StalledRequests(), 1) << "the request never reached the server";
  // The same fetcher still works afterwards, under limits of its own.
  fetcher.setTimeouts(CurlPageFetcher::kDefaultConnectTimeoutMs, CurlPageFetcher::kDefaultTotalTimeoutMs);
  EXPECT_TRUE(fetcher.fetch(server.Url("/page"), 0).ok());
}

TEST_F(FetchTest, CancelStopsAStalledDownload) {
  // Far beyond the stalled server's own 20 s: only the flag can end it as
  // cancelled (else it would end late, as ok, or timed out).
  fetcher.setTimeouts(5000, 60000);
  std::atomic<bool> cancel{false};
  std::thread canceller([&] {
    for (int i = 0; i < 10000 && server.StalledRequests() == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    cancel = true;
  });
  const FetchResult result = fetcher.fetch(server.Url("/stall"), 0, &cancel);
  canceller.join();
  EXPECT_EQ(StatusName(result.status), std::string("cancelled"));
  EXPECT_EQ(server.StalledRequests(), 1);

  // A flag already set stops the download before anything arrives.
  EXPECT_EQ(StatusName(fetcher.fetch(server.Url("/page"), 0, &cancel).status), std::string("cancelled"));
  cancel = false;
  EXPECT_EQ(fetcher.fetch(server.Url("/page"), 0, &cancel).body, "<HTML>hello</HTML>");
}

TEST(CurlPageFetcher, BufferSizeWithinWhatLibcurlTakes) {
  EXPECT_EQ(CurlPageFetcher::curlBufferSize(0), 1000000);
  EXPECT_EQ(CurlPageFetcher::curlBufferSize(70000), 70000);
  EXPECT_EQ(CurlPageFetcher::curlBufferSize(10), 1024);
  EXPECT_EQ(CurlPageFetcher::curlBufferSize(2000000000), 10L * 1024 * 1024);
  EXPECT_EQ(CurlPageFetcher::escapeSpaces("a b  c"), "a%20b%20%20c");
}

}  // namespace
}  // namespace nimbrel
