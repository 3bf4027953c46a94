#include "views/HtmlView.h"

namespace nimbrel {

CHtmlView_::CHtmlView_() {
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
}

CHtmlView_::~CHtmlView_() = default;

// Navigates nowhere: the base behaviour is all there is.
void CHtmlView_::OnInitialUpdate() { CView::OnInitialUpdate(); }

}  // namespace nimbrel
