// Makes the README's picture: the main window with a world map (stations
// marked), the "All stations" table and a station's chart, fed by the
// sample report service running in this process.
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QTimer>
#include <clocale>
#include <cstdio>

#include "SampleService.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/NimbrelApp.h"
#include "views/NimbrelView.h"

using namespace nimbrel;

int main(int argc, char** argv) {
  CGuardedApplication application(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  if (argc != 3) {
    std::fprintf(stderr, "usage: nimbrel-tour-picture STATION-NAME FILE.png (in a folder with Stations.txt)\n");
    return 2;
  }
  QFile list(QStringLiteral("Stations.txt"));
  if (!list.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "nimbrel-tour-picture: no Stations.txt in %s\n", qPrintable(QDir::currentPath()));
    return 2;
  }
  sample::CSampleService service(list.readAll().toStdString());
  if (!service.Start(0)) return 1;

  CCommandLine commandLine;
  commandLine.serviceHost = "127.0.0.1:" + std::to_string(service.Port());
  CNimbrelApp app;
  if (!app.InitInstance(commandLine)) return 1;
  CMainFrame* frame = app.MainFrame();
  frame->resize(1180, 860);

  // The world map with every station marked, then the table, then a chart.
  if (auto* child = qobject_cast<CChildFrame*>(frame->MdiArea()->subWindowList().value(0))) {
    if (auto* map = qobject_cast<CNimbrelView*>(child->GetView())) map->OnMarkAllStations();
    child->move(0, 0);
  }
  frame->OpenWindow(3, "All stations");
  if (QMdiSubWindow* table = frame->MdiArea()->subWindowList().value(1)) table->move(0, 390);
  app.OpenStationByName(argv[1]);
  if (QMdiSubWindow* chart = frame->MdiArea()->subWindowList().value(2)) chart->move(510, 0);

  int result = 1;
  QTimer::singleShot(1500, [&] {
    result = frame->grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    QApplication::quit();
  });
  QApplication::exec();
  app.ExitInstance();
  return result;
}
