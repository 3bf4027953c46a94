#pragma once
#include "app/View.h"

namespace nimbrel {

// The view of template 501: a table of stations.
class CListView_Stations : public CView {
  Q_OBJECT

 public:
  CListView_Stations();
};

}  // namespace nimbrel
