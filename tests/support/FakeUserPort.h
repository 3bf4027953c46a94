#pragma once
// A main frame for core tests: owns the lists and records every message,
// status text, wait-cursor change, window opening and recent-list entry.
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "catalog/Station.h"
#include "base/UserPort.h"

namespace nimbrel::test {

struct OpenedWindow {
  int kind = 0;
  std::string title;
};

class FakeMainFrame : public UserPort {
 public:
  FakeMainFrame() { setDefaultSettings(currentRecord); }

  Station& currentRecord() override { return currentRecord; }
  StationList& allStations() override { return allStations; }
  StationList& resultStations() override { return resultStations; }
  StationList& openStations() override { return openStations; }

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
  bool openWindow(int kind, const std::string& title) override {
    windows.push_back({kind, title});
    return openSucceeds;
  }
  void addToRecentList(const std::string& name) override { recent.push_back(name); }
  std::time_t currentTime() override { return now != 0 ? now : std::time(nullptr); }

  Station currentRecord;
  StationList allStations;
  StationList resultStations;
  StationList openStations;

  std::vector<std::string> messages;
  std::vector<std::string> statusTexts;
  std::vector<OpenedWindow> windows;
  std::vector<std::string> recent;
  std::function<void(const std::string&)> onMessage;
  int waitCount = 0;
  int waitBegins = 0;
  bool openSucceeds = true;
  std::time_t now = 0;
};

}  // namespace nimbrel::test
