#pragma once
#include <functional>

namespace nimbrel {

class CNimbrelDoc;
class CView;
class CChildFrame;

// Makes the document, child frame and view of one kind of window, all
// inside one call, in the order the views rely on.
class CDocTemplate {
 public:
  using ViewFactory = std::function<CView*()>;

  CDocTemplate(int resourceId, ViewFactory makeView) : resourceId(resourceId), makeView(std::move(makeView)) {}

  int ResourceId() const { return resourceId; }
  // Returns the new window's document, or nullptr when the view's creation
  // failed (after telling the user).
  CNimbrelDoc* OpenDocumentFile();

 private:
  int resourceId;
  ViewFactory makeView;
};

}  // namespace nimbrel
