#include "ui/Printing.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace nimbrel {

void runPrintDialog(QWidget* parent, bool preview, const std::function<void(QPainter&)>& paint) {
  QPrinter printer;
  auto print = [&](QPrinter* target) {
    QPainter painter(target);
    if (painter.isActive()) paint(painter);
  };
  if (preview) {
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, parent, print);
    dialog.exec();
    return;
  }
  QPrintDialog dialog(&printer, parent);
  if (dialog.exec() == QDialog::Accepted) print(&printer);
}

}  // namespace nimbrel
