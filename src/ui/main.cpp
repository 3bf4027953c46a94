#include <QCoreApplication>
#include <cstdio>

#include "ui/Application.h"
#include "ui/MainWindow.h"
#include "services/Session.h"

namespace {

// The command line is read before any window system is opened, so --help
// and --version work without a display.
nimbrel::CommandLine readCommandLine(int argc, char** argv) {
  QCoreApplication reader(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("nimbrel"));
  QCoreApplication::setApplicationVersion(QStringLiteral(NIMBREL_VERSION));
  return nimbrel::parseCommandLine(QCoreApplication::arguments());
}

}  // namespace

int main(int argc, char** argv) {
  const nimbrel::CommandLine commandLine = readCommandLine(argc, argv);
  if (!commandLine.valid) {
    std::fprintf(stderr, "nimbrel: %s\nusage: nimbrel [--source metar|pages] [--metar-url URL] [--service-host HOST[:PORT]] [STATION NAME]\n",
                 commandLine.error.c_str());
    return 2;
  }
  if (commandLine.helpRequested) {
    std::fputs(commandLine.helpText.c_str(), stdout);
    return 0;
  }
  if (commandLine.versionRequested) {
    std::printf("nimbrel %s\n", NIMBREL_VERSION);
    return 0;
  }
  nimbrel::Application application(argc, argv);
  nimbrel::Session session;
  if (!commandLine.serviceHost.empty()) session.setServiceHost(commandLine.serviceHost);
  if (commandLine.source) session.setReportSource(*commandLine.source);
  if (!commandLine.metarUrl.empty()) session.setMetarUrl(commandLine.metarUrl);
  if (commandLine.quitAfterFirstPaint) nimbrel::quitAfterFirstChildPaint(application);
  nimbrel::MainWindow window(session);
  window.start(commandLine.stationName);
  const int result = QApplication::exec();
  // Quitting without closing the window (the start-up timing) still saves.
  window.close();
  return result;
}
