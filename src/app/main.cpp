#include <clocale>
#include <cstdio>

#include "app/MainFrame.h"
#include "app/NimbrelApp.h"

int main(int argc, char** argv) {
  nimbrel::CGuardedApplication application(argc, argv);
  // Qt adopts the user's locale; the program's texts are written with the C
  // library's "%.2f" and read with atof rules, which want a decimal point.
  std::setlocale(LC_NUMERIC, "C");
  const nimbrel::CCommandLine commandLine = nimbrel::ParseCommandLine(QApplication::arguments());
  if (!commandLine.valid) {
    std::fprintf(stderr,
                 "nimbrel: %s\nusage: nimbrel [--service-host HOST[:PORT]] [STATION NAME]\n",
                 commandLine.error.c_str());
    return 2;
  }
  nimbrel::CNimbrelApp app;
  if (!app.InitInstance(commandLine)) return 1;
  const int result = QApplication::exec();
  app.ExitInstance();
  return result;
}
