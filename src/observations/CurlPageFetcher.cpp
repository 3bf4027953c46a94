#include "observations/CurlPageFetcher.h"

#include <curl/curl.h>
#include <dlfcn.h>

#include <memory>
#include <mutex>

namespace nimbrel {

namespace {

// libcurl and the two dozen libraries it pulls in are loaded at the first
// fetch rather than at start-up, which they would slow down for every run.
struct CurlLibrary {
  CURLcode (*globalInit)(long) = nullptr;
  CURL* (*easyInit)() = nullptr;
  CURLcode (*easySetopt)(CURL*, CURLoption, ...) = nullptr;
  CURLcode (*easyPerform)(CURL*) = nullptr;
  void (*easyCleanup)(CURL*) = nullptr;
  curl_slist* (*slistAppend)(curl_slist*, const char*) = nullptr;
  void (*slistFreeAll)(curl_slist*) = nullptr;
  bool loaded = false;
};

template <typename Function>
bool Resolve(void* handle, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(handle, name));
  return function != nullptr;
}

const CurlLibrary& Curl() {
  static const CurlLibrary library = [] {
    CurlLibrary curl;
    void* handle = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return curl;
    curl.loaded = Resolve(handle, "curl_global_init", curl.globalInit) &&
                  Resolve(handle, "curl_easy_init", curl.easyInit) &&
                  Resolve(handle, "curl_easy_setopt", curl.easySetopt) &&
                  Resolve(handle, "curl_easy_perform", curl.easyPerform) &&
                  Resolve(handle, "curl_easy_cleanup", curl.easyCleanup) &&
                  Resolve(handle, "curl_slist_append", curl.slistAppend) &&
                  Resolve(handle, "curl_slist_free_all", curl.slistFreeAll);
    if (curl.loaded) curl.loaded = curl.globalInit(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return curl;
  }();
  return library;
}

// libcurl's own limits on CURLOPT_BUFFERSIZE.
constexpr long kMinCurlBuffer = 1024;
constexpr long kMaxCurlBuffer = CURL_MAX_READ_SIZE;

struct Body {
  std::string text;
  std::size_t limit = 0;
  bool tooLarge = false;
};

std::size_t Append(char* data, std::size_t size, std::size_t count, void* user) {
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
  void operator()(CURL* handle) const { Curl().easyCleanup(handle); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { Curl().slistFreeAll(list); }
};

}  // namespace

CCurlPageFetcher::CCurlPageFetcher() = default;

long CCurlPageFetcher::CurlBufferSize(int readBufferSize) {
  long size = readBufferSize == 0 ? 1000000L : static_cast<long>(readBufferSize);
  if (size < kMinCurlBuffer) size = kMinCurlBuffer;
  if (size > kMaxCurlBuffer) size = kMaxCurlBuffer;
  return size;
}

std::string CCurlPageFetcher::EscapeSpaces(const std::string& url) {
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

std::string CCurlPageFetcher::FetchUrl(const std::string& url, int readBufferSize) {
  // A negative size is a buffer that cannot be had: the fetch fails.
  if (readBufferSize < 0) return "";
  const CurlLibrary& curl = Curl();
  if (!curl.loaded) return "";
  std::unique_ptr<CURL, EasyDeleter> easy(curl.easyInit());
  if (!easy) return "";
  curl_slist* rawList = curl.slistAppend(nullptr, "Cache-Control: no-cache");
  if (rawList != nullptr) rawList = curl.slistAppend(rawList, "Pragma: no-cache");
  std::unique_ptr<curl_slist, ListDeleter> headers(rawList);

  Body body;
  body.limit = maxBodyBytes;
  const std::string target = EscapeSpaces(url);
  CURL* h = easy.get();
  curl.easySetopt(h, CURLOPT_URL, target.c_str());
  curl.easySetopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl.easySetopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl.easySetopt(h, CURLOPT_USERAGENT, "Microsoft Internet Explorer");
  curl.easySetopt(h, CURLOPT_HTTPHEADER, headers.get());
  curl.easySetopt(h, CURLOPT_NOSIGNAL, 1L);
  curl.easySetopt(h, CURLOPT_NOPROXY, "127.0.0.1,localhost,::1");
  curl.easySetopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl.easySetopt(h, CURLOPT_MAXREDIRS, 10L);
  curl.easySetopt(h, CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs);
  curl.easySetopt(h, CURLOPT_TIMEOUT_MS, totalTimeoutMs);
  curl.easySetopt(h, CURLOPT_BUFFERSIZE, CurlBufferSize(readBufferSize));
  curl.easySetopt(h, CURLOPT_WRITEFUNCTION, &Append);
  curl.easySetopt(h, CURLOPT_WRITEDATA, &body);

  if (curl.easyPerform(h) != CURLE_OK || body.tooLarge) return "";
  return std::move(body.text);
}

}  // namespace nimbrel
