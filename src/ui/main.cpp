#include <cstdio>

#include "ui/Application.h"
#include "ui/MainWindow.h"

int main(int argc, char** argv) {
  nimbrel::Application application(argc, argv);
  const nimbrel::CommandLine commandLine = nimbrel::parseCommandLine(QApplication::arguments());
  if (!commandLine.valid) {
    std::fprintf(stderr, "nimbrel: %s\nusage: nimbrel [--service-host HOST[:PORT]] [STATION NAME]\n",
                 commandLine.error.c_str());
    return 2;
  }
  nimbrel::MainWindow window;
  if (!commandLine.serviceHost.empty()) window.setServiceHost(commandLine.serviceHost);
  window.setQuitAfterFirstPaint(commandLine.quitAfterFirstPaint);
  window.start(commandLine.stationName);
  const int result = QApplication::exec();
  // Quitting without closing the window (the start-up timing) still saves.
  window.close();
  return result;
}
