#pragma once
// The few user-interface services the core calls: messages, the status
// text, the busy cursor and the clock. The main window implements it;
// tests implement it as a recorder.
#include <ctime>
#include <string>

namespace nimbrel {

class UserPort {
 public:
  virtual ~UserPort() = default;

  // A modal message box with an OK button; returns when it is closed.
  virtual void showMessage(const std::string& text) = 0;
  // The same for news of a task done as asked, which is no warning; a port
  // that does not tell the two apart shows it as a message.
  virtual void showInformation(const std::string& text) { showMessage(text); }
  // The first (message) pane of the status bar.
  virtual void setStatusText(const std::string& text) = 0;
  // The busy cursor is a counter: it shows while the count is above 0.
  virtual void beginWaitCursor() = 0;
  virtual void endWaitCursor() = 0;
  virtual std::time_t currentTime() = 0;
};

// Shows the busy cursor for a scope and ends it on every way out.
class BusyScope {
 public:
  explicit BusyScope(UserPort& port) : port(port) { port.beginWaitCursor(); }
  ~BusyScope() { port.endWaitCursor(); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  UserPort& port;
};

}  // namespace nimbrel
