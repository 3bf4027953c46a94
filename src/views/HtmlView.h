#pragma once
// The view of template 500. Nothing opens it; it is registered after 129 so
// that opening a recent entry still goes through the map and graph view.
// It hosts no web engine and shows an empty page.
#include "app/View.h"

namespace nimbrel {

class CHtmlView_ : public CView {
  Q_OBJECT

 public:
  CHtmlView_();
  ~CHtmlView_() override;

  void OnInitialUpdate() override;
};

}  // namespace nimbrel
