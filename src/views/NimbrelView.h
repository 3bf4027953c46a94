#pragma once
#include <string>

#include "app/View.h"

namespace nimbrel {

// The view of template 129: a world map (kind 0) or a station graph (kind 1).
class CNimbrelView : public CView {
  Q_OBJECT

 public:
  CNimbrelView();
  ~CNimbrelView() override;

  void OnInitialUpdate() override;

  int viewKind;
  std::string messageText;
};

}  // namespace nimbrel
