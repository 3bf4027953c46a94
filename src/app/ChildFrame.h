#pragma once
#include <QMdiSubWindow>
#include <QSize>
#include <memory>

#include "app/NimbrelDoc.h"

namespace nimbrel {

class CDocTemplate;
class CView;

// A child window: owns its document and its view.
class CChildFrame : public QMdiSubWindow {
  Q_OBJECT

 public:
  CChildFrame(CDocTemplate* docTemplate, std::unique_ptr<CNimbrelDoc> document);
  ~CChildFrame() override;

  // The view's client size for a kind of window; invalid for any other
  // kind, which keeps the default size.
  static QSize PreCreateWindow(int kind);

  CDocTemplate* GetTemplate() const { return docTemplate; }
  CNimbrelDoc* GetDocument() const { return document.get(); }
  CView* GetView() const;

 private:
  CDocTemplate* docTemplate;
  std::unique_ptr<CNimbrelDoc> document;
};

}  // namespace nimbrel
