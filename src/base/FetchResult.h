#pragma once
// What one download gave: the body, or why there is none.
#include <string>

namespace nimbrel {

enum class FetchStatus {
  kOk,           // a body arrived with HTTP status 2xx (or no HTTP at all)
  kHttpError,    // the server answered with another status
  kTimedOut,     // nothing arrived for the idle limit, or the total limit ran out
  kUnreachable,  // no connection: refused, no route, name not found
  kTooLarge,     // the body passed the size ceiling
  kCancelled,    // the caller gave up
  kFailed,       // anything else libcurl reports (reset, redirect loop, ...)
};

struct FetchResult {
  FetchStatus status = FetchStatus::kFailed;
  long httpStatus = 0;
  std::string body;
  std::string errorText;  // libcurl's own words, for messages
  int timeoutSeconds = 0;  // with kTimedOut: the limit that ran out

  bool ok() const { return status == FetchStatus::kOk; }
};

}  // namespace nimbrel
