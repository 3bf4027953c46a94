#include "app/DocTemplate.h"

#include <QMdiArea>
#include <algorithm>
#include <memory>

#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/View.h"
#include "platform/ViewKind.h"

namespace nimbrel {

CNimbrelDoc* CDocTemplate::OpenDocumentFile() {
  CMainFrame* frame = GetMainFrame();
  if (frame == nullptr) return nullptr;

  auto document = std::make_unique<CNimbrelDoc>();
  const QSize clientSize = CChildFrame::PreCreateWindow(nextViewKind);
  auto child = std::make_unique<CChildFrame>(this, std::move(document));
  CNimbrelDoc* doc = child->GetDocument();

  CView* view = makeView();
  view->SetDocument(doc);
  view->SetClientSize(clientSize);
  child->setWidget(view);
  if (!view->OnCreate()) {
    frame->ShowMessage("Failed to create empty document.");
    return nullptr;  // the child frame, its view and document go here
  }
  if (!doc->OnNewDocument()) return nullptr;
  view->OnInitialUpdate();

  CChildFrame* shown = frame->AddChildFrame(std::move(child));
  if (clientSize.isValid()) shown->resize(shown->sizeHint());
  if (view->CentreInParent()) {
    const QSize area = frame->MdiArea()->viewport()->size();
    shown->move(std::max(0, (area.width() - shown->width()) / 2), std::max(0, (area.height() - shown->height()) / 2));
  }
  shown->show();
  return doc;
}

}  // namespace nimbrel
