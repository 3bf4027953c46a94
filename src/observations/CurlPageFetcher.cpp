#include "observations/CurlPageFetcher.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace nimbrel {

namespace {

// curl_global_init is not thread-safe: run it once, before any handle.
void initCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// libcurl's own limits on CURLOPT_BUFFERSIZE.
constexpr long kMinCurlBuffer = 1024;
constexpr long kMaxCurlBuffer = CURL_MAX_READ_SIZE;

struct Body {
  std::string text;
  std::size_t limit = 0;
  bool tooLarge = false;
};

std::size_t append(char* data, std::size_t size, std::size_t count, void* user) {
  auto* body = static_cast<Body*>(user);
  const std::size_t bytes = size * count;
  if (body->text.size() + bytes > body->limit) {
    body->tooLarge = true;
    return 0;  // makes libcurl stop with a write error
  }
  body->text.append(data, bytes);
  return bytes;
}

struct EasyDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

}  // namespace

CurlPageFetcher::CurlPageFetcher() = default;

long CurlPageFetcher::curlBufferSize(int readBufferSize) {
  long size = readBufferSize == 0 ? 1000000L : static_cast<long>(readBufferSize);
  if (size < kMinCurlBuffer) size = kMinCurlBuffer;
  if (size > kMaxCurlBuffer) size = kMaxCurlBuffer;
  return size;
}

std::string CurlPageFetcher::escapeSpaces(const std::string& url) {
  std::string escaped;
  escaped.reserve(url.size());
  for (char c : url) {
    if (c == ' ')
      escaped += "%20";
    else
      escaped += c;
  }
  return escaped;
}

std::string CurlPageFetcher::fetch(const std::string& url, int readBufferSize) {
  // A negative size is a buffer that cannot be had: the fetch fails.
  if (readBufferSize < 0) return "";
  initCurlOnce();
  std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
  if (!easy) return "";
  curl_slist* rawList = curl_slist_append(nullptr, "Cache-Control: no-cache");
  if (rawList != nullptr) rawList = curl_slist_append(rawList, "Pragma: no-cache");
  std::unique_ptr<curl_slist, ListDeleter> headers(rawList);

  Body body;
  body.limit = maxBodyBytes;
  const std::string target = escapeSpaces(url);
  CURL* h = easy.get();
  curl_easy_setopt(h, CURLOPT_URL, target.c_str());
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_USERAGENT, "Microsoft Internet Explorer");
  curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_NOPROXY, "127.0.0.1,localhost,::1");
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs);
  curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, totalTimeoutMs);
  // A server that stops sending is given up long before the total limit.
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, kIdleTimeoutSeconds);
  curl_easy_setopt(h, CURLOPT_BUFFERSIZE, curlBufferSize(readBufferSize));
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &append);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &body);

  if (curl_easy_perform(h) != CURLE_OK || body.tooLarge) return "";
  return std::move(body.text);
}

}  // namespace nimbrel
