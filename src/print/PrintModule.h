#pragma once
// Printing and print preview of a view, through the print module.
#include <functional>

class QPaintDevice;
class QWidget;

namespace nimbrel {

using PaintOnDevice = std::function<void(QPaintDevice&)>;

// Shows the print dialog (or the print preview) and paints on the printer.
// False when the print module cannot be loaded.
bool RunPrintDialog(QWidget* parent, bool preview, const PaintOnDevice& paint);

}  // namespace nimbrel
