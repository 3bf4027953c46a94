#pragma once
// A user port for core tests: records every message, status text and
// wait-cursor change, and tells a fixed time when one is set.
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "base/UserPort.h"

namespace nimbrel::test {

class FakeUserPort : public UserPort {
 public:
  void showMessage(const std::string& text) override {
    messages.push_back(text);
    if (onMessage) onMessage(text);
  }
  void setStatusText(const std::string& text) override { statusTexts.push_back(text); }
  void beginWaitCursor() override {
    ++waitCount;
    ++waitBegins;
  }
  void endWaitCursor() override { --waitCount; }
  std::time_t currentTime() override { return now != 0 ? now : std::time(nullptr); }

  std::vector<std::string> messages;
  std::vector<std::string> statusTexts;
  // Runs inside showMessage, as code would while a modal box is open.
  std::function<void(const std::string&)> onMessage;
  int waitCount = 0;   // the busy cursor shows while this is above 0
  int waitBegins = 0;
  std::time_t now = 0;  // 0: the real clock
};

}  // namespace nimbrel::test
