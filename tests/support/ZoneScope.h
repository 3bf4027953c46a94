#pragma once
// The process's time zone for a scope, the one before put back after it.
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace nimbrel::test {

struct ZoneScope {
  explicit ZoneScope(const char* zone) {
    if (const char* now = std::getenv("TZ")) before = now;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ZoneScope() {
    before ? setenv("TZ", before->c_str(), 1) : unsetenv("TZ");
    tzset();
  }
  ZoneScope(const ZoneScope&) = delete;
  ZoneScope& operator=(const ZoneScope&) = delete;
  std::optional<std::string> before;
};

}  // namespace nimbrel::test
