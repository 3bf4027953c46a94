#include "app/View.h"

namespace nimbrel {

CView::CView(QWidget* parent) : QWidget(parent) {}

CView::~CView() = default;

QSize CView::sizeHint() const {
  return clientSize.isValid() ? clientSize : QWidget::sizeHint();
}

}  // namespace nimbrel
