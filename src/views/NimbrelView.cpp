#include "views/NimbrelView.h"

#include "app/NimbrelDoc.h"
#include "platform/ViewKind.h"

namespace nimbrel {

CNimbrelView::CNimbrelView() : viewKind(nextViewKind) {}

CNimbrelView::~CNimbrelView() {
  if (viewKind == 0) nextViewKind = 0;
}

void CNimbrelView::OnInitialUpdate() {
  messageText = viewKind == 0 ? "World Map" : "";
  if (GetDocument() != nullptr) GetDocument()->SetTitle(messageText);
}

}  // namespace nimbrel
