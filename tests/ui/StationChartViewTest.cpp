// Station chart windows in the running program: opened from a table, the
// command line and the recent list, refreshed, closed with the export file,
// against a report server on 127.0.0.1.
#include <QAction>
#include <QCheckBox>
#include <QDate>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include "app/ChildFrame.h"
#include "catalog/StationListLines.h"
#include "ui/ParametersDialog.h"
#include "support/AppFixture.h"
#include "support/ReportPages.h"
#include "ui/StationTableView.h"
#include "ui/WorldMapView.h"
#include "ui/StationTableModel.h"
#include "support/ReadFile.h"

namespace nimbrel::test {
namespace {

namespace fs = std::filesystem;

// Report pages by station and period; a station or period without a page
// gets the service's "no data" answer.
class StationPages {
 public:
  StationPages() {
    server.Server().Get("/weather/surface/index.php", [this](const httplib::Request& request,
                                                             httplib::Response& response) {
      std::lock_guard lock(mutex);
      ++requests;
      auto it = pages.find({request.get_param_value("metarIds"), Blanks(request.get_param_value("hoursStr"))});
      response.set_content(it != pages.end() ? it->second : "<HTML>Sorry, no data</HTML>", "text/html");
    });
  }
  bool start() { return server.start(); }
  std::string Host() const { return "127.0.0.1:" + std::to_string(server.listeningPort()); }

  void Set(const std::string& icao, const std::string& hoursStr, const std::string& page) {
    std::lock_guard lock(mutex);
    pages[{icao, Blanks(hoursStr)}] = page;
  }
  void remove(const std::string& icao, const std::string& hoursStr) {
    std::lock_guard lock(mutex);
    pages.erase({icao, Blanks(hoursStr)});
  }
  int Requests() {
    std::lock_guard lock(mutex);
    return requests;
  }

 private:
  // The program writes the periods with "+" or with blanks; both mean blanks.
  static std::string Blanks(std::string text) {
    for (char& c : text) {
      if (c == '+') c = ' ';
    }
    return text;
  }

  LocalHttpServer server;
  std::mutex mutex;
  std::map<std::pair<std::string, std::string>, std::string> pages;
  int requests = 0;
};

class StationWindow : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    ASSERT_TRUE(pages.start());
    QSettings(QStringLiteral("Quillfen"), QStringLiteral("Nimbrel")).remove(QStringLiteral("Recent File List"));
    LineFields paul;
    paul.name = "ST-PAUL (CITY)";
    paul.icao = "KSTP";
    paul.lat = "44 56N";
    paul.lon = "093 03W";
    WriteStationList(NamedLine("SAMPLE FIELD", "TEST") + "\n" + StationLine(paul) + "\n" +
                     NamedLine("SILENT HILL", "NONE") + "\n");
  }

  void start(QStringList arguments = {}) {
    StartApp(QStringList{QStringLiteral("--service-host"), QString::fromStdString(pages.Host())} + arguments);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Frame()));
    ASSERT_EQ(Frame()->allStations().getSize(), 3);
  }

  // The chart windows, oldest first.
  std::vector<WorldMapView*> Charts() const {
    std::vector<WorldMapView*> out;
    for (QMdiSubWindow* sub : Children()) {
      auto* view = qobject_cast<WorldMapView*>(sub->widget());
      if (view != nullptr && view->viewKind == kStationGraph) out.push_back(view);
    }
    return out;
  }
  WorldMapView* WorldMap() const {
    for (QMdiSubWindow* sub : Children()) {
      auto* view = qobject_cast<WorldMapView*>(sub->widget());
      if (view != nullptr && view->viewKind == kWorldMap) return view;
    }
    return nullptr;
  }

  void Open(const std::string& icao) {
    for (const Station& s : Frame()->allStations()) {
      if (s.icao() == icao) {
        Frame()->catalogue.openStationGraph(s);
        return;
      }
    }
    ADD_FAILURE() << "no station " << icao;
  }

  // Closes a window and lets it be destroyed, closing work and all.
  static void Close(QWidget* view) {
    view->parentWidget()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
  }

  QStringList RecentEntries() const { return app->RecentList().Entries(); }

  StationPages pages;
};

// Counts the paints a widget receives.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

TEST_F(StationWindow, TableDoubleClickOpensTheStationsChart) {
  pages.Set("TEST", "most recent only", ComposePage(Reports(1, 30)));
  pages.Set("TEST", "past+6+hours", ComposePage(Reports(12, 30)));
  start();
  ASSERT_TRUE(Frame()->openWindow(3, "All stations"));
  auto* table = qobject_cast<StationTableView*>(Children().last()->widget());
  ASSERT_NE(table, nullptr);
  int row = -1;
  for (int r = 0; r < table->rowCount(); ++r) {
    if (table->Model()->stationAt(r).icao() == "TEST") row = r;
  }
  ASSERT_GE(row, 0);
  QWidget* viewport = table->Grid()->viewport();
  const QPoint at = table->Grid()->visualRect(table->Model()->index(row, 0)).center();
  QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, at);
  QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, at);

  ASSERT_EQ(Charts().size(), 1u) << (messages.empty() ? "" : messages.front());
  WorldMapView* chart = Charts().front();
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(chart->size(), QSize(650, 670));
  EXPECT_EQ(chart->getDocument()->getTitle(), "SAMPLE FIELD");
  EXPECT_EQ(chart->parentWidget()->windowTitle(), QStringLiteral("SAMPLE FIELD"));
  // Centred in the main window's area.
  const QSize area = Frame()->MdiArea()->viewport()->size();
  const QWidget* child = chart->parentWidget();
  EXPECT_EQ(child->pos(), QPoint(std::max(0, (area.width() - child->width()) / 2),
                                 std::max(0, (area.height() - child->height()) / 2)));

  // Twelve rows, the oldest (5.5 hours before the newest) first.
  const Chart& graph = *chart->series->graph;
  ASSERT_EQ(graph.getRowCount(), 12);
  EXPECT_EQ(graph.getRow(0)[1], "21.00");
  EXPECT_EQ(graph.getRow(11)[1], "10.00");
  EXPECT_EQ(graph.getRow(0)[4], "12.00");
  EXPECT_EQ(graph.getRow(11)[4], "1.00");
  EXPECT_EQ(graph.getRow(11)[0].substr(3), "53");
  EXPECT_EQ(graph.getRow(0)[0].substr(3), "23");
  // The newest report, in stored units.
  const Observation& newest = chart->series->currentObservation;
  EXPECT_DOUBLE_EQ(newest.temperature, 10.0);
  EXPECT_NEAR(newest.pressure, 16.3, 1e-9);
  EXPECT_NEAR(newest.pressureInches, 30.01, 1e-9);
  EXPECT_NEAR(newest.windSpeed, 4.6, 1e-9);
  EXPECT_DOUBLE_EQ(newest.windDirection, 10.0);
  EXPECT_EQ(newest.observedAt, AsLocal(2026, 12, 7, 17, 53));

  // Refreshed every 30 minutes; recorded as open and in the recent list.
  ASSERT_NE(chart->RefreshTimer(), nullptr);
  EXPECT_TRUE(chart->RefreshTimer()->isActive());
  EXPECT_EQ(chart->RefreshTimer()->interval(), 30 * 60000);
  ASSERT_EQ(Frame()->openStations().getSize(), 1);
  EXPECT_EQ(Frame()->openStations().getAt(0).icao(), "TEST");
  EXPECT_EQ(RecentEntries(), QStringList{QStringLiteral("SAMPLE FIELD")});
  EXPECT_EQ(Frame()->WaitCursorCount(), 0);
  EXPECT_EQ(nextViewKind, kStationGraph);
}

TEST_F(StationWindow, NoDataOpensNoWindowAndLeavesNoTrace) {
  // No report at all: the check says so and nothing opens.
  start();
  const int before = static_cast<int>(Children().size());
  Open("NONE");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind("Sorry, no data available for the Station:\n\nSILENT HILL", 0), 0u) << messages[0];
  EXPECT_EQ(static_cast<int>(Children().size()), before);

  // A report for the check but none for the past hours: the window fails.
  messages.clear();
  pages.Set("KSTP", "most recent only", ComposePage(Reports(1, 30)));
  Open("KSTP");
  ASSERT_GE(messages.size(), 2u);
  EXPECT_EQ(messages[messages.size() - 2], "Can not get meteodata for the station: \"ST-PAUL (CITY)\"");
  EXPECT_EQ(messages.back(), "Failed to create empty document.");
  EXPECT_EQ(static_cast<int>(Children().size()), before);
  EXPECT_TRUE(Charts().empty());
  EXPECT_EQ(Frame()->openStations().getSize(), 0);
  EXPECT_TRUE(RecentEntries().isEmpty());
  EXPECT_EQ(Frame()->WaitCursorCount(), 0);
  EXPECT_EQ(nextViewKind, kStationGraph);
}

TEST_F(StationWindow, OneReportOrNoPeriodFallsBackToHalfHourly) {
  pages.Set("TEST", "most recent only", ComposePage(Reports(1, 30)));
  pages.Set("TEST", "past+6+hours", ComposePage(Reports(1, 30)));
  start();
  Open("TEST");
  ASSERT_EQ(Charts().size(), 1u);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0],
            "Get only one record from the station \"SAMPLE FIELD\".\nTherefore compelled to set the time-period to "
            "30 mins and the time-delta UTC to 0 hours, sorry.");
  const WorldMapView* chart = Charts().front();
  EXPECT_EQ(chart->series->graph->getRowCount(), 1);
  EXPECT_EQ(chart->series->station.refreshMinutes(), 30);
  EXPECT_EQ(chart->series->station.utcDeltaHours(), 0);
  EXPECT_EQ(chart->series->graph->series.front().title, "Time (every 30 min)");
  EXPECT_EQ(chart->RefreshTimer()->interval(), 30 * 60000);

  // Two reports a day apart at the same minute: no usable period, so the
  // window opens on the same half-hourly footing instead of failing.
  messages.clear();
  std::vector<PageReport> sameTime = Reports(2, 0);
  sameTime[1].day = 6;
  pages.Set("KSTP", "most recent only", ComposePage(sameTime));
  pages.Set("KSTP", "past+6+hours", ComposePage(sameTime));
  Open("KSTP");
  ASSERT_EQ(Charts().size(), 2u);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(Charts().back()->series->graph->getRowCount(), 2);
  EXPECT_EQ(Charts().back()->RefreshTimer()->interval(), 30 * 60000);
  EXPECT_TRUE(Charts().back()->RefreshTimer()->isActive());
}

TEST_F(StationWindow, RefreshTicksAppendTheMostRecentReport) {
  pages.Set("TEST", "most recent only", ComposePage(Reports(1, 20)));
  pages.Set("TEST", "past+6+hours", ComposePage(Reports(3, 20)));
  start();
  Open("TEST");
  ASSERT_EQ(Charts().size(), 1u);
  WorldMapView* chart = Charts().front();
  const Chart& graph = *chart->series->graph;
  const Observation loaded = chart->series->currentObservation;
  ASSERT_EQ(graph.getRowCount(), 3);

  // The timer's own signal, then the handler: one row each, same time.
  ASSERT_TRUE(QMetaObject::invokeMethod(chart->RefreshTimer(), "timeout", Qt::DirectConnection));
  ASSERT_EQ(graph.getRowCount(), 4);
  chart->onRefreshTimer();
  ASSERT_EQ(graph.getRowCount(), 5);
  EXPECT_EQ(graph.getRow(3)[0], graph.getRow(4)[0]);
  EXPECT_EQ(graph.getRow(4)[0], graph.getRow(2)[0]);
  EXPECT_EQ(chart->series->observations.getSize(), 1);
  EXPECT_EQ(chart->series->currentObservation, loaded);
  EXPECT_EQ(Frame()->WaitCursorCount(), 0);
  EXPECT_TRUE(messages.empty());

  // A tick while another fetch's no-data box is open fetches nothing.
  int requestsDuringMessage = -1;
  MainWindow::messageHook = [&](const std::string& text) {
    messages.push_back(text);
    const int requests = pages.Requests();
    chart->onRefreshTimer();
    requestsDuringMessage = pages.Requests() - requests;
  };
  Open("NONE");
  EXPECT_EQ(requestsDuringMessage, 0);
  EXPECT_EQ(graph.getRowCount(), 5);
  MainWindow::messageHook = [this](const std::string& text) { messages.push_back(text); };

  // A tick without data appends nothing; the cursor comes back all the same.
  messages.clear();
  pages.remove("TEST", "most recent only");
  chart->onRefreshTimer();
  EXPECT_EQ(graph.getRowCount(), 5);
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(Frame()->WaitCursorCount(), 0);
}

TEST_F(StationWindow, AStationOpenedTwiceKeepsItsMarkUntilBothClose) {
  pages.Set("TEST", "most recent only", ComposePage(Reports(1, 30)));
  pages.Set("TEST", "past+6+hours", ComposePage(Reports(4, 30)));
  start();
  WorldMapView* map = WorldMap();
  ASSERT_NE(map, nullptr);
  const Station& station = Frame()->allStations().getAt(0);
  ASSERT_EQ(station.icao(), "TEST");
  const Pixel mark = StationCatalog::mapToPixel(station.mapLongitude(), station.mapColatitude());
  const QColor blue(0, 0, 255);
  auto marked = [&] { return map->grab().toImage().pixelColor(mark.x - 1, mark.y - 1) == blue; };
  EXPECT_FALSE(marked());

  Open("TEST");
  Open("TEST");
  ASSERT_EQ(Charts().size(), 2u);
  ASSERT_EQ(Frame()->openStations().getSize(), 2);
  EXPECT_TRUE(marked());

  Close(Charts().front());
  ASSERT_EQ(Charts().size(), 1u);
  EXPECT_EQ(Frame()->openStations().getSize(), 1);
  EXPECT_TRUE(marked());

  Close(Charts().front());
  EXPECT_TRUE(Charts().empty());
  EXPECT_EQ(Frame()->openStations().getSize(), 0);
  EXPECT_FALSE(marked());
  EXPECT_EQ(RecentEntries(), QStringList{QStringLiteral("SAMPLE FIELD")});
}

TEST_F(StationWindow, ClosingWritesTheExportFileBesideTheProgram) {
  std::vector<PageReport> reports = Reports(2, 30);
  reports[0].temperature = 12.2;
  reports[0].windDirection = 160;
  reports[1].temperature = -3.5;
  reports[1].windDirection = 5;
  reports[1].windSpeed = 12.3;
  std::string page = ComposePage(reports);
  // The older report has no readable pressure.
  const std::string older = ComposeReport(reports[1]);
  const std::size_t from = page.find("<TR><TD>Pressure", page.find(older));
  page.erase(from, page.find('\n', from) + 1 - from);
  std::vector<PageReport> latest = {reports[0]};
  latest[0].minute = 59;
  pages.Set("KSTP", "most recent only", ComposePage(latest));
  pages.Set("KSTP", "past+6+hours", page);
  start();
  Frame()->currentRecord().writeMeteodata() = true;
  const QString folder = QDir::currentPath();
  const std::string header =
      "---------------------------------------------------------------------------\r\n"
      "Date\t\tTime\tTemp.\tPressure\tWind dir\tWind speed\r\n"
      "---------------------------------------------------------------------------\r\n";
  auto exportFile = [&] {
    const QDate today = QDate::currentDate();
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%02d_%02d_%04d_", today.month(), today.day(), today.year());
    return fs::path(workDir.path().toStdString()) / "Meteodata" / (std::string(prefix) + "st_paul _city_.txt");
  };

  Open("KSTP");
  ASSERT_EQ(Charts().size(), 1u);
  Close(Charts().front());
  const std::string loaded = header +
                             "12/07/2026\t17:53\t12.20\t1016.30\t\t160.00\t\t4.60\r\n"
                             "12/07/2026\t17:23\t-3.50\t1000.00\t\t5.00\t\t12.30\r\n";
  EXPECT_EQ(ReadAll(exportFile()), loaded);
  EXPECT_EQ(QDir::currentPath(), folder);

  // A window that refreshed writes what the last tick brought, over the
  // first window's file of the same day.
  Open("KSTP");
  ASSERT_EQ(Charts().size(), 1u);
  Charts().front()->onRefreshTimer();
  Close(Charts().front());
  EXPECT_EQ(ReadAll(exportFile()), header + "12/07/2026\t17:59\t12.20\t1016.30\t\t160.00\t\t4.60\r\n");
  EXPECT_EQ(QDir::currentPath(), folder);
  EXPECT_TRUE(messages.empty());

  // A file that cannot be opened is reported; the folder stays the same.
  fs::remove(exportFile());
  fs::create_directory(exportFile());
  Open("KSTP");
  ASSERT_EQ(Charts().size(), 1u);
  Close(Charts().front());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Can not open an output file \"" + exportFile().filename().string() + "\".");
  EXPECT_EQ(QDir::currentPath(), folder);
  EXPECT_EQ(Frame()->openStations().getSize(), 0);

  // A window still open when the program ends does its closing work too.
  fs::remove(exportFile());
  Open("KSTP");
  ASSERT_EQ(Charts().size(), 1u);
  const QString name = QString::fromStdString(Frame()->openStations().getAt(0).name());
  Frame()->addToRecentList("SOMEWHERE ELSE");
  StopApp();
  EXPECT_EQ(ReadAll(exportFile()), loaded);
  EXPECT_EQ(QDir::currentPath(), folder);
  // Its name went back on top of the recent list before the list was saved.
  QSettings settings(QStringLiteral("Quillfen"), QStringLiteral("Nimbrel"));
  EXPECT_EQ(settings.value(QStringLiteral("Recent File List/File1")).toString(), name);
}

TEST_F(StationWindow, ViewCommandsOfAChartWindow) {
  pages.Set("TEST", "most recent only", ComposePage(Reports(1, 30)));
  pages.Set("TEST", "past+6+hours", ComposePage(Reports(6, 30)));
  start();
  Open("TEST");
  ASSERT_EQ(Charts().size(), 1u);
  WorldMapView* chart = Charts().front();
  QMdiSubWindow* chartWindow = qobject_cast<QMdiSubWindow*>(chart->parentWidget());
  Frame()->MdiArea()->setActiveSubWindow(chartWindow);
  QAction* markAll = Frame()->commandAction(ID_MARK_ALL_STATIONS);
  QAction* parameters = Frame()->commandAction(ID_SHOW_PARAMETERS);
  EXPECT_FALSE(markAll->isEnabled());
  EXPECT_TRUE(parameters->isEnabled());
  Frame()->MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(WorldMap()->parentWidget()));
  EXPECT_TRUE(markAll->isEnabled());
  Frame()->MdiArea()->setActiveSubWindow(chartWindow);
  EXPECT_FALSE(markAll->isEnabled());

  // Parameters with OK: the chart takes the options and is painted again.
  ASSERT_TRUE(QTest::qWaitForWindowExposed(chart));
  QApplication::processEvents();
  const QImage before = chart->grab().toImage();
  PaintCounter counter;
  chart->installEventFilter(&counter);
  bool dialogSeen = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<ParametersDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    dialogSeen = true;
    dialog->showLegend->setChecked(false);
    dialog->okButton->click();
  });
  parameters->trigger();
  ASSERT_TRUE(dialogSeen);
  QApplication::processEvents();
  EXPECT_FALSE(chart->series->graph->showLegend);
  EXPECT_GT(counter.paints, 0);
  EXPECT_NE(chart->grab().toImage(), before);

  // Cancel changes nothing.
  const int width = chart->series->graph->lineWidth;
  dialogSeen = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<ParametersDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    dialogSeen = true;
    dialog->lineWidthEdit->setText(QStringLiteral("7"));
    dialog->showLegend->setChecked(true);
    dialog->cancelButton->click();
  });
  parameters->trigger();
  ASSERT_TRUE(dialogSeen);
  EXPECT_EQ(chart->series->graph->lineWidth, width);
  EXPECT_FALSE(chart->series->graph->showLegend);
  chart->removeEventFilter(&counter);
}

TEST_F(StationWindow, OpensByNameFromTheCommandLineAndTheRecentList) {
  pages.Set("TEST", "most recent only", ComposePage(Reports(1, 30)));
  pages.Set("TEST", "past+6+hours", ComposePage(Reports(3, 30)));
  start({QStringLiteral("sample field")});
  ASSERT_EQ(Charts().size(), 1u);
  EXPECT_EQ(Charts().front()->getDocument()->getTitle(), "SAMPLE FIELD");
  EXPECT_EQ(Charts().front()->series->graph->getRowCount(), 3);
  Close(Charts().front());

  QMenu* fileMenu = Frame()->menuBar()->actions().first()->menu();
  QAction* entry = fileMenu->actions().first();
  ASSERT_EQ(entry->text(), QStringLiteral("&1 SAMPLE FIELD"));
  entry->trigger();
  ASSERT_EQ(Charts().size(), 1u);
  EXPECT_EQ(Charts().front()->getDocument()->getTitle(), "SAMPLE FIELD");
  EXPECT_TRUE(messages.empty());

  // A name that left the catalogue: told in lower case, nothing opens.
  Frame()->addToRecentList("GONE Field");
  entry = fileMenu->actions().first();
  ASSERT_EQ(entry->text(), QStringLiteral("&1 GONE Field"));
  entry->trigger();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "No station \"gone field\" in a list.");
  EXPECT_EQ(Charts().size(), 1u);
}

}  // namespace
}  // namespace nimbrel::test
