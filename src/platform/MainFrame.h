#pragma once
// What the core asks of the main frame: the shared station lists and the
// current record it owns, and the few user-interface services it calls.
// The Qt main frame implements it; tests implement it as a recorder.
#include <ctime>
#include <string>

#include "catalog/Station.h"

namespace nimbrel {

// Kinds of window the opener protocol knows.
enum ViewKind : int {
  kWorldMap = 0,
  kStationGraph = 1,
  kResultTable = 2,
  kAllStationsTable = 3,
};

class IMainFrame {
 public:
  virtual ~IMainFrame() = default;

  virtual CStation& CurrentRecord() = 0;
  virtual CStationArray& AllStations() = 0;
  virtual CStationArray& ResultStations() = 0;
  virtual CStationArray& OpenStations() = 0;

  // A modal message box with an OK button; returns when it is closed.
  virtual void ShowMessage(const std::string& text) = 0;
  // The first (message) pane of the status bar.
  virtual void SetStatusText(const std::string& text) = 0;
  // The wait cursor is a counter: it shows while the count is above 0.
  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;
  // Opens a window of a kind: sets the next view kind, creates the window
  // synchronously, titles it when a title is given, puts the kind back to 1.
  // Returns false when no window came back.
  virtual bool OpenWindow(int kind, const std::string& title) = 0;
  virtual void AddToRecentList(const std::string& name) = 0;
  virtual std::time_t CurrentTime() = 0;
};

// Begins the wait cursor for a scope and ends it on every way out.
class CWaitCursor {
 public:
  explicit CWaitCursor(IMainFrame& frame) : frame(frame) { frame.BeginWaitCursor(); }
  ~CWaitCursor() { frame.EndWaitCursor(); }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;

 private:
  IMainFrame& frame;
};

}  // namespace nimbrel
