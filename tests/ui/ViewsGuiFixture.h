#pragma once
// Window tests of the views: the program started on a station list of the
// test's choosing, exposed on screen, every fetch answered by the test.
#include <QTest>

#include "MainWindowFixture.h"

namespace nimbrel::test {

class ViewsGuiTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    WriteStations(StationLines());
    StartWithScriptedPages();
    frame = Frame();
    // Repaints paint only once the windows are exposed.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    ASSERT_TRUE(messages.empty()) << messages.front();
  }

  // The lines of the station list start-up reads (none by default).
  virtual std::vector<std::string> StationLines() const { return {}; }

  MainWindow* frame = nullptr;
};

}  // namespace nimbrel::test
