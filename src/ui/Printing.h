#pragma once
// Printing and print preview of a view through Qt's print dialogs.
#include <functional>

class QPainter;
class QWidget;

namespace nimbrel {

// Shows the print dialog (or the print preview) and paints on the printer
// with the view's own pixel coordinates.
void runPrintDialog(QWidget* parent, bool preview, const std::function<void(QPainter&)>& paint);

}  // namespace nimbrel
