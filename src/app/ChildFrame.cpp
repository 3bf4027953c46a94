#include "app/ChildFrame.h"

#include "app/View.h"
#include "platform/qt/QtText.h"

namespace nimbrel {

CChildFrame::CChildFrame(CDocTemplate* docTemplate, std::unique_ptr<CNimbrelDoc> doc)
    : docTemplate(docTemplate), document(std::move(doc)) {
  setAttribute(Qt::WA_DeleteOnClose);
  connect(document.get(), &CNimbrelDoc::titleChanged, this,
          [this] { setWindowTitle(ToQString(document->GetTitle())); });
}

CChildFrame::~CChildFrame() {
  // The view goes first: its destruction may still read the document.
  delete widget();
}

QSize CChildFrame::PreCreateWindow(int kind) {
  switch (kind) {
    case 0: return {550, 350};
    case 1: return {650, 670};
    case 2: return {501, 408};
    case 3: return {501, 608};
    default: return {};
  }
}

CView* CChildFrame::GetView() const { return qobject_cast<CView*>(widget()); }

}  // namespace nimbrel
