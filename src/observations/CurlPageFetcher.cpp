#include "observations/CurlPageFetcher.h"

#include <curl/curl.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <string>
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

constexpr const char* kSystemCertificates = "/etc/ssl/certs/ca-certificates.crt";

// libcurl asks every so often whether to go on: not once the caller gave up.
int progress(void* cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<const std::atomic<bool>*>(cancel)->load() ? 1 : 0;
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

FetchResult CurlPageFetcher::fetch(const std::string& url, int readBufferSize, const std::atomic<bool>* cancel) {
  FetchResult result;
  // A negative size is a buffer that cannot be had: the fetch fails.
  if (readBufferSize < 0) {
    result.errorText = "no read buffer";
    return result;
  }
  initCurlOnce();
  std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
  if (!easy) {
    result.errorText = "libcurl could not start";
    return result;
  }
  curl_slist* rawList = curl_slist_append(nullptr, "Cache-Control: no-cache");
  if (rawList != nullptr) rawList = curl_slist_append(rawList, "Pragma: no-cache");
  std::unique_ptr<curl_slist, ListDeleter> headers(rawList);

  Body body;
  body.limit = maxBodyBytes;
  char errorBuffer[CURL_ERROR_SIZE] = {};
  const std::string target = escapeSpaces(url);
  CURL* h = easy.get();
  curl_easy_setopt(h, CURLOPT_URL, target.c_str());
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_USERAGENT, userAgent.c_str());
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
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
  // TLS is verified against the system's certificate authorities.
  curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
  if (::access(kSystemCertificates, R_OK) == 0) curl_easy_setopt(h, CURLOPT_CAINFO, kSystemCertificates);
  if (cancel != nullptr) {
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &progress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, cancel);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
  }

  const CURLcode code = curl_easy_perform(h);
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &result.httpStatus);
  result.errorText = errorBuffer[0] != '\0' ? errorBuffer : curl_easy_strerror(code);
  if (code == CURLE_OK) {
    result.errorText.clear();
    const bool httpOk = result.httpStatus == 0 || (result.httpStatus >= 200 && result.httpStatus < 300);
    result.status = httpOk ? FetchStatus::kOk : FetchStatus::kHttpError;
    if (!httpOk) result.errorText = "HTTP status " + std::to_string(result.httpStatus);
    result.body = std::move(body.text);
    return result;
  }
  if (body.tooLarge) {
    result.status = FetchStatus::kTooLarge;
    result.errorText = "the answer is larger than " + std::to_string(maxBodyBytes) + " bytes";
  } else if (code == CURLE_ABORTED_BY_CALLBACK) {
    result.status = FetchStatus::kCancelled;
  } else if (code == CURLE_OPERATION_TIMEDOUT) {
    result.status = FetchStatus::kTimedOut;
    double seconds = 0;
    double connected = 0;
    curl_easy_getinfo(h, CURLINFO_TOTAL_TIME, &seconds);
    curl_easy_getinfo(h, CURLINFO_CONNECT_TIME, &connected);
    // Which limit ran out: the total one, the connection's, or nothing
    // arrived for the idle one.
    const long elapsedMs = static_cast<long>(seconds * 1000.0);
    if (elapsedMs + 500 >= totalTimeoutMs) {
      result.timeoutSeconds = static_cast<int>((totalTimeoutMs + 999) / 1000);
    } else if (connected <= 0.0) {
      result.timeoutSeconds = static_cast<int>((connectTimeoutMs + 999) / 1000);
    } else {
      result.timeoutSeconds = static_cast<int>(kIdleTimeoutSeconds);
    }
  } else if (code == CURLE_COULDNT_CONNECT || code == CURLE_COULDNT_RESOLVE_HOST ||
             code == CURLE_COULDNT_RESOLVE_PROXY) {
    result.status = FetchStatus::kUnreachable;
  } else {
    result.status = FetchStatus::kFailed;
  }
  return result;
}

}  // namespace nimbrel
