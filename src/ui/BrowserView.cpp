#include "ui/BrowserView.h"

namespace nimbrel {

BrowserView::BrowserView(const QString& url, QWidget* parent) : QWidget(parent), address(url) {
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
}

}  // namespace nimbrel
