#pragma once
// The base of every view in a child window: window creation that may fail,
// the first update, and the command routing of the active view.
#include <QWidget>

namespace nimbrel {

class CNimbrelDoc;

// What an update handler says about a command: enabled and checked.
struct CCmdUI {
  bool enabled = false;
  bool checked = false;
  void Enable(bool on = true) { enabled = on; }
  void SetCheck(bool on = true) { checked = on; }
};

// Command ids of the toolbar and the view menu.
enum CommandId : int {
  ID_WORLD_MAP = 503,
  ID_SHOW_PARAMETERS = 32774,
  ID_SHOW_ALL_STATIONS = 32777,
  ID_MARK_ALL_STATIONS = 32778,
  ID_FIND_STATION = 32780,
  ID_FILE_PRINT = 57607,
  ID_FILE_PRINT_PREVIEW = 57609,
  ID_FILE_NEW = 57600,
  ID_FILE_CLOSE = 57602,
  ID_APP_ABOUT = 57664,
  ID_APP_EXIT = 57665,
};

class CView : public QWidget {
  Q_OBJECT

 public:
  explicit CView(QWidget* parent = nullptr);
  ~CView() override;

  CNimbrelDoc* GetDocument() const { return document; }
  void SetDocument(CNimbrelDoc* doc) { document = doc; }

  // Window creation (WM_CREATE). Returning false fails the creation: the
  // window is dropped and "Failed to create empty document." is shown.
  virtual bool OnCreate() { return true; }
  // After the document's new step; views set their title here.
  virtual void OnInitialUpdate() {}
  // The client size its child frame gives it when it opens (invalid: the
  // frame's default size).
  void SetClientSize(QSize size) { clientSize = size; }
  QSize sizeHint() const override;

  // Whether the child window is centred in the main window when it opens.
  bool CentreInParent() const { return centreInParent; }

  // Command routing: return true when the view handles the command.
  virtual bool OnCommand(int /*id*/) { return false; }
  // Return true when the view has an update handler for the command (or
  // handles it without one: then it is simply enabled).
  virtual bool OnUpdateCommand(int /*id*/, CCmdUI& /*ui*/) { return false; }

 protected:
  bool centreInParent = false;

 private:
  CNimbrelDoc* document = nullptr;
  QSize clientSize;
};

}  // namespace nimbrel
