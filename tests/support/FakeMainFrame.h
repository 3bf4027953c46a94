#pragma once
// A main frame for core tests: owns the lists and records every message,
// status text, wait-cursor change, window opening and recent-list entry.
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "catalog/Station.h"
#include "platform/MainFrame.h"

namespace nimbrel::test {

struct OpenedWindow {
  int kind = 0;
  std::string title;
};

class FakeMainFrame : public IMainFrame {
 public:
  FakeMainFrame() { SetDefaultSettings(currentRecord); }

  CStation& CurrentRecord() override { return currentRecord; }
  CStationArray& AllStations() override { return allStations; }
  CStationArray& ResultStations() override { return resultStations; }
  CStationArray& OpenStations() override { return openStations; }

  void ShowMessage(const std::string& text) override {
    messages.push_back(text);
    if (onMessage) onMessage(text);
  }
  void SetStatusText(const std::string& text) override { statusTexts.push_back(text); }
  void BeginWaitCursor() override {
    ++waitCount;
    ++waitBegins;
  }
  void EndWaitCursor() override { --waitCount; }
  bool OpenWindow(int kind, const std::string& title) override {
    windows.push_back({kind, title});
    return openSucceeds;
  }
  void AddToRecentList(const std::string& name) override { recent.push_back(name); }
  std::time_t CurrentTime() override { return now != 0 ? now : std::time(nullptr); }

  CStation currentRecord;
  CStationArray allStations;
  CStationArray resultStations;
  CStationArray openStations;

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
