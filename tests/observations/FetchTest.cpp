#include <gtest/gtest.h>

#include <string>

#include "observations/CurlPageFetcher.h"
#include "support/LocalHttpServer.h"

namespace nimbrel {
namespace {

std::string Pattern(std::size_t size) {
  std::string body(size, 'x');
  for (std::size_t i = 0; i < size; ++i) body[i] = static_cast<char>('a' + (i * 7 + i / 1000) % 26);
  return body;
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
    server.Server().Get("/missing", [](const httplib::Request&, httplib::Response& response) {
      response.status = 404;
      response.set_content("<P>not here</P>", "text/html");
    });
    ASSERT_TRUE(server.start());
  }

  const std::string big = Pattern(3 * 1000 * 1000 + 17);
  test::LocalHttpServer server;
  CurlPageFetcher fetcher;
};

TEST_F(FetchTest, BodyComesBackWhole) {
  EXPECT_EQ(fetcher.fetch(server.Url("/page"), 70000), "<HTML>hello</HTML>");
  // Far longer than the read buffer: many reads, one whole body.
  EXPECT_EQ(fetcher.fetch(server.Url("/big"), 2000), big);
  EXPECT_EQ(fetcher.fetch(server.Url("/big"), 0), big);
}

TEST_F(FetchTest, FailuresGiveEmptyText) {
  EXPECT_EQ(fetcher.fetch(server.Url("/empty"), 0), "");
  EXPECT_EQ(fetcher.fetch("not a url", 0), "");
  EXPECT_EQ(fetcher.fetch("file:///etc/hostname", 0), "");
  EXPECT_EQ(fetcher.fetch(server.Url("/page"), -5), "");

  // A port nobody listens on: take one from a server that has stopped.
  test::LocalHttpServer closed;
  ASSERT_TRUE(closed.start());
  const std::string url = closed.Url("/page");
  closed.stop();
  EXPECT_EQ(fetcher.fetch(url, 0), "");
}

TEST_F(FetchTest, StatusIsNotLookedAt) {
  EXPECT_EQ(fetcher.fetch(server.Url("/missing"), 0), "<P>not here</P>");
}

TEST_F(FetchTest, SendsAgentNoCacheAndEscapedSpaces) {
  EXPECT_EQ(fetcher.fetch(server.Url("/echo?hoursStr=most recent only"), 0),
            "Microsoft Internet Explorer|no-cache|no-cache|most recent only");
}

TEST_F(FetchTest, StalledServerTimesOut) {
  // The stalled path answers only when the server stops, long after this
  // limit: the fetch can only end by its time-out.
  fetcher.setTimeouts(5000, 1500);
  EXPECT_EQ(fetcher.fetch(server.Url("/stall"), 0), "");
  EXPECT_EQ(server.StalledRequests(), 1) << "the request never reached the server";
  // The same fetcher still works afterwards, under limits of its own.
  fetcher.setTimeouts(CurlPageFetcher::kDefaultConnectTimeoutMs, CurlPageFetcher::kDefaultTotalTimeoutMs);
  EXPECT_EQ(fetcher.fetch(server.Url("/page"), 0), "<HTML>hello</HTML>");
}

TEST_F(FetchTest, OversizedBodyFails) {
  fetcher.setMaxBodyBytes(big.size() - 1);
  EXPECT_EQ(fetcher.fetch(server.Url("/big"), 0), "");
  fetcher.setMaxBodyBytes(big.size());
  EXPECT_EQ(fetcher.fetch(server.Url("/big"), 0).size(), big.size());
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
