#include "print/PrintModule.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <dlfcn.h>

namespace nimbrel {
namespace {

using RunDialog = bool (*)(QWidget*, bool, void (*)(void*, QPaintDevice*), void*);

RunDialog LoadModule() {
  static const RunDialog function = []() -> RunDialog {
    // Beside the program, or where the build put it (tests run from elsewhere).
    const QString besideProgram = QCoreApplication::applicationDirPath() + QStringLiteral("/nimbrel_print.so");
    for (const QString& path : {besideProgram, QStringLiteral(NIMBREL_PRINT_MODULE_BUILT)}) {
      if (!QFileInfo::exists(path)) continue;
      if (void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL)) {
        if (void* symbol = dlsym(handle, "NimbrelRunPrintDialog")) return reinterpret_cast<RunDialog>(symbol);
      }
    }
    return nullptr;
  }();
  return function;
}

void PaintThrough(void* context, QPaintDevice* device) { (*static_cast<const PaintOnDevice*>(context))(*device); }

}  // namespace

bool RunPrintDialog(QWidget* parent, bool preview, const PaintOnDevice& paint) {
  const RunDialog run = LoadModule();
  if (run == nullptr) return false;
  return run(parent, preview, &PaintThrough, const_cast<PaintOnDevice*>(&paint));
}

}  // namespace nimbrel
