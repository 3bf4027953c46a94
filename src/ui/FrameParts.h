#pragma once
// Parts of the main window's frame that need none of its state: the status
// bar's panes, the window's fit to the screen and the busy cursor.
class QLabel;
class QMainWindow;

namespace nimbrel {

// The message pane ("Ready") across the status bar; menu and toolbar
// prompts take its place while shown.
QLabel* addStatusPanes(QMainWindow& window);
// A pane at the bar's right end that says the report store is off, hidden
// while it works.
QLabel* addStorePane(QMainWindow& window);

// At most the screen's free area with the window's frame, at any scale,
// and centred in it; `onlyIfOutside`: only when it does not fit already.
void fitToScreen(QMainWindow& window, bool onlyIfOutside = false);

// The busy cursor as a count: shown while it is above zero.
class BusyCursor {
 public:
  void begin();
  void end();
  int count() const { return depth; }

 private:
  int depth = 0;
};

}  // namespace nimbrel
