// Makes the README's picture: the main window with a world map (zoomed in
// on Paris, its stations' plots on), the "All stations" table and a station's chart, fed by the
// sample report service running in this process; with a folder, also the
// manual's pictures of each window.
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QTimer>
#include <clocale>
#include <cstdio>

#include "SampleService.h"
#include "ui/MainWindow.h"
#include "services/Session.h"
#include "ui/StationFinder.h"
#include "ui/Application.h"
#include "ui/ParametersDialog.h"
#include "ui/StationChartView.h"
#include "ui/WatchStationsView.h"
#include "services/UserSettings.h"
#include "services/WatchService.h"
#include "map/MapProjection.h"
#include "ui/WorldMapView.h"

using namespace nimbrel;

// Close enough over Paris for its airports' station plots.
constexpr double kParisZoom = 128.0;

int main(int argc, char** argv) {
  Application application(argc, argv);
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr,
                 "usage: nimbrel-tour-picture STATION-NAME FILE.png [MANUAL-PICTURES-FOLDER] (in a folder with Stations.txt)\n");
    return 2;
  }
  QFile list(QStringLiteral("Stations.txt"));
  if (!list.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "nimbrel-tour-picture: no Stations.txt in %s\n", qPrintable(QDir::currentPath()));
    return 2;
  }
  sample::SampleService service(list.readAll().toStdString());
  std::string error;
  if (!service.loadMetarDay(NIMBREL_METAR_DAY, error)) {
    std::fprintf(stderr, "nimbrel-tour-picture: %s\n", error.c_str());
    return 1;
  }
  // Its forecasts too, so the chart shows its forecast strip.
  if (!service.loadTafCorpus(NIMBREL_TAF_CORPUS, error)) std::fprintf(stderr, "nimbrel-tour-picture: %s\n", error.c_str());
  if (!service.start(0)) return 1;

  Session session;
  // A few stations watched, for the manual's picture of their window: the
  // service follows the world download from the start.
  if (argc == 4) storeWatchList({"EGLL", "LFPG", "EDDF", "KJFK", "KBOS", "KSEA", "PANC"});
  const std::string address = "127.0.0.1:" + std::to_string(service.listeningPort());
  session.setServiceHost(address);
  session.setReportSource(ReportSource::kLiveMetar);
  session.setMetarUrl("http://" + address);
  session.watchService();
  MainWindow window(session);
  window.start();
  QMdiArea* area = window.findChild<QMdiArea*>();
  // Room for the chart window whole, its aviation panel included.
  window.resize(1260, 990);

  // The world map with the current weather, zoomed in on Paris where its
  // stations show their plots, then the table, then a chart.
  if (QMdiSubWindow* map = area->subWindowList().value(0)) {
    area->setActiveSubWindow(map);
    window.findChild<QAction*>(QStringLiteral("currentWeatherAction"))->trigger();
    map->move(0, 0);
    map->resize(QSize(560, 440).grownBy(map->contentsMargins()));
    if (auto* view = qobject_cast<WorldMapView*>(map->widget())) {
      MapViewport paris = view->viewport();
      paris.setSize(view->width(), view->height());
      const PointF at = paris.toView(180.0 + 2.35, 90.0 - 48.86);
      paris.zoomAbout(kParisZoom, at.x, at.y);
      paris.panBy(paris.width() / 2.0 - at.x, paris.height() / 2.0 - at.y);
      view->setViewport(paris);
    }
  }
  window.openAllStationsTable();
  if (QMdiSubWindow* table = area->subWindowList().value(1)) {
    // Under the map, down to the area's bottom edge: nothing cut, no scroll bar.
    table->move(0, 480);
    table->resize(table->width(), area->viewport()->height() - 480);
  }
  QObject::connect(&window, &MainWindow::stationChartOpened, &window, [area] {
    if (QMdiSubWindow* chart = area->subWindowList().value(2)) chart->move(566, 0);
  });
  window.findChild<StationFinder*>()->openByName(argv[1]);

  int result = 1;
  QTimer::singleShot(2500, [&] {
    const QPixmap whole = window.grab();
    result = whole.save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    if (argc == 4 && result == 0) {
      const QDir folder(QString::fromLocal8Bit(argv[3]));
      const auto save = [&](const QPixmap& picture, const char* name) {
        if (!picture.save(folder.filePath(QString::fromLatin1(name)))) {
          std::fprintf(stderr, "nimbrel-tour-picture: cannot write %s\n", name);
          result = 1;
        }
      };
      save(whole.scaledToWidth(900, Qt::SmoothTransformation), "overview.png");
      const QList<QMdiSubWindow*> children = area->subWindowList();
      if (children.size() >= 3) {
        save(children[0]->grab(), "map.png");
        save(children[1]->grab(), "tables.png");
        save(children[2]->grab(), "chart.png");
      } else {
        std::fprintf(stderr, "nimbrel-tour-picture: the chart did not open\n");
        result = 1;
      }
      if (window.openWatchedStations() != nullptr) {
        QMdiSubWindow* frame = area->activeSubWindow();
        frame->resize(1280, 300);
        QApplication::processEvents();
        save(frame->grab(), "watch.png");
      }
      // Parameters as it opens from a map.
      Settings shown = session.settings();
      ParametersDialog parameters(nullptr, &shown, &window);
      parameters.adjustSize();
      save(parameters.grab(), "parameters.png");
    }
    QApplication::quit();
  });
  QApplication::exec();
  window.close();
  return result;
}
