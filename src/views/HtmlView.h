#pragma once
#include "app/View.h"

namespace nimbrel {

// The view of template 500, which nothing opens.
class CHtmlView_ : public CView {
  Q_OBJECT

 public:
  CHtmlView_();
};

}  // namespace nimbrel
