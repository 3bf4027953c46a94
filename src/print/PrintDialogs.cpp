// The print module: Qt's print and print-preview dialogs for a view.
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWidget>

extern "C" {

// paint(context, device) draws the view on the printer.
__attribute__((visibility("default"))) bool NimbrelRunPrintDialog(QWidget* parent, bool preview,
                                                                   void (*paint)(void*, QPaintDevice*),
                                                                   void* context) {
  QPrinter printer;
  if (preview) {
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested,
                     [&](QPrinter* target) { paint(context, target); });
    dialog.exec();
    return true;
  }
  QPrintDialog dialog(&printer, parent);
  if (dialog.exec() == QDialog::Accepted) paint(context, &printer);
  return true;
}

}  // extern "C"
