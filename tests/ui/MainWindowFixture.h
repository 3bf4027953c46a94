#pragma once
// Starts the whole program in a private working folder, with every message
// box recorded instead of shown, and closes it again. Also the helpers the
// window tests share: station list lines, the child views, modal dialogs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QToolBar>
#include <QMdiSubWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "base/PageFetcher.h"
#include "map/MapProjection.h"
#include "ui/ChartOpener.h"
#include "ui/MainWindow.h"
#include "services/Session.h"
#include "ui/StationFinder.h"
#include "ui/StationChartView.h"

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace nimbrel::test {

// The fields of one station line; positions in degrees, east and north positive.
struct StationFields {
  std::string name = "SAMPLE FIELD";
  std::string icao = "ZZZZ";
  double longitude = 0.0;
  double latitude = 0.0;
  std::string elev = "0";
  std::string cd = "ZZ";
  std::string iata = "ZZZ";
  std::string country = "QQ";
};

// "dd mmN" / "ddd mmE" of a position in degrees.
inline std::string PositionText(double degrees, int digits, char positive, char negative) {
  const double magnitude = std::fabs(degrees);
  int whole = static_cast<int>(magnitude);
  int minutes = static_cast<int>(std::lround((magnitude - whole) * 60.0));
  if (minutes == 60) {
    ++whole;
    minutes = 0;
  }
  char text[16];
  std::snprintf(text, sizeof text, "%0*d %02d%c", digits, whole, minutes, degrees < 0 ? negative : positive);
  return text;
}

// An 83-character line of the station list, as the catalogue reads it.
inline std::string StationLine(const StationFields& f) {
  std::string line(83, ' ');
  auto put = [&line](std::size_t position, const std::string& text, std::size_t width) {
    line.replace(position, std::min(text.size(), width), text.substr(0, width));
  };
  put(0, f.cd, 2);
  put(3, f.name, 17);
  put(20, f.icao, 4);
  put(26, f.iata, 3);
  put(39, PositionText(f.latitude, 2, 'N', 'S'), 6);
  put(47, PositionText(f.longitude, 3, 'E', 'W'), 7);
  put(55, f.elev, 4);
  put(62, "X", 1);
  put(81, f.country, 2);
  return line;
}

inline std::string StationLine(const std::string& name, const std::string& icao, double longitude = 0.0,
                               double latitude = 0.0, const std::string& elev = "0") {
  StationFields f;
  f.name = name;
  f.icao = icao;
  f.longitude = longitude;
  f.latitude = latitude;
  f.elev = elev;
  return StationLine(f);
}

// A station as the list would give it, for tables opened with their rows.
inline Station MakeStation(const std::string& name, const std::string& icao, const std::string& elev = "0") {
  Station s;
  s.name = name;
  s.icao = icao;
  s.elevText = elev;
  return s;
}

// A command of the main window, found by its name.
inline QAction* ActionOf(const QObject* window, const char* name) {
  QAction* action = window->findChild<QAction*>(QString::fromLatin1(name));
  EXPECT_NE(action, nullptr) << "no action " << name;
  return action;
}
template <typename W>
QAction* ActionOf(const std::unique_ptr<W>& window, const char* name) {
  return ActionOf(window.get(), name);
}

// Changes the settings as the Parameters dialog does.
template <typename F>
void ChangeSettings(Session& session, F change) {
  Settings changed = session.settings();
  change(changed);
  session.applySettings(changed);
}

// The main window's parts, found as a user's eye would: by their names.
inline QMdiArea* AreaOf(const QObject* window) {
  return window->findChild<QMdiArea*>(QStringLiteral("childWindowArea"));
}
inline ChartOpener& OpenerOf(const QObject* window) {
  return *window->findChild<ChartOpener*>(QStringLiteral("chartOpener"));
}
inline StationFinder& FinderOf(const QObject* window) {
  return *window->findChild<StationFinder*>(QStringLiteral("stationFinder"));
}
inline QToolBar* ToolBarOf(const QObject* window) { return window->findChild<QToolBar*>(QStringLiteral("toolBar")); }
// The status bar's message pane.
inline QString StatusText(const QObject* window) {
  return window->findChild<QLabel*>(QStringLiteral("messagePane"))->text();
}
// The child window in front, or null.
inline QWidget* ActiveView(const QObject* window) {
  QMdiSubWindow* sub = AreaOf(window)->activeSubWindow();
  return sub != nullptr ? sub->widget() : nullptr;
}
// The frame's own menus show (File, View, Help), not a map's or a chart's,
// which bring the Window menu.
inline bool ShowsFrameMenu(const QMainWindow* window) {
  for (QAction* menu : window->menuBar()->actions())
    if (menu->text() == QStringLiteral("&Window")) return false;
  return true;
}
inline bool WaitCursorShown() { return QApplication::overrideCursor() != nullptr; }
template <typename W>
auto AreaOf(const std::unique_ptr<W>& w) { return AreaOf(w.get()); }
template <typename W>
ChartOpener& OpenerOf(const std::unique_ptr<W>& w) { return OpenerOf(w.get()); }
template <typename W>
StationFinder& FinderOf(const std::unique_ptr<W>& w) { return FinderOf(w.get()); }
template <typename W>
QToolBar* ToolBarOf(const std::unique_ptr<W>& w) { return ToolBarOf(w.get()); }
template <typename W>
QString StatusText(const std::unique_ptr<W>& w) { return StatusText(w.get()); }
template <typename W>
QWidget* ActiveView(const std::unique_ptr<W>& w) { return ActiveView(w.get()); }
template <typename W>
bool ShowsFrameMenu(const std::unique_ptr<W>& w) { return ShowsFrameMenu(w.get()); }

// Where the map draws a station.
inline QPoint MapPixelOf(const Station& s) {
  const Pixel p = MapProjection::toPixel(s.mapLongitude, s.mapColatitude);
  return {p.x, p.y};
}
inline QPoint MapPixelAt(double longitude, double latitude) {
  const Pixel p = MapProjection::toPixel(180.0 + longitude, 90.0 - latitude);
  return {p.x, p.y};
}

// Acts once on the next modal dialog of type D, polling while the caller's
// exec() runs, so the action waits however long the dialog takes to show.
// Gives up after ten seconds; the watch ends with its scope.
template <typename D>
class ModalWatch {
 public:
  explicit ModalWatch(std::function<void(D*)> action) : timer(new QTimer) {
    clock.start();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [this, action] {
      auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
      if (dialog != nullptr && dialog->isVisible()) {
        timer->stop();
        ++shown;
        title = dialog->windowTitle();
        action(dialog);
      } else if (clock.hasExpired(10000)) {
        timer->stop();
      }
    });
    timer->start();
  }
  ~ModalWatch() { delete timer; }
  ModalWatch(const ModalWatch&) = delete;
  ModalWatch& operator=(const ModalWatch&) = delete;

  bool seen() const { return shown > 0; }
  QString title;

 private:
  QTimer* timer;
  QElapsedTimer clock;
  int shown = 0;
};

// Polls, handling events, until the condition holds or the bound passes.
// True when it held.
template <typename Condition>
bool WaitUntil(Condition condition, int boundMs = 10000) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.hasExpired(boundMs)) return false;
    QTest::qWait(5);
  }
  return true;
}

// The addresses a fetcher was asked for; fetches run on worker threads.
class FetchLog {
 public:
  void add(const std::string& url) {
    std::lock_guard lock(mutex);
    urls.push_back(url);
  }
  std::vector<std::string> all() const {
    std::lock_guard lock(mutex);
    return urls;
  }
  bool empty() const { return all().empty(); }

 private:
  mutable std::mutex mutex;
  std::vector<std::string> urls;
};

// Serves every page from a function and records the addresses asked for.
class ScriptedFetcher : public PageFetcher {
 public:
  explicit ScriptedFetcher(FetchLog& log, std::function<std::string(const std::string&)> page)
      : log(log), page(std::move(page)) {}
  FetchResult fetch(const std::string& url, int, const std::atomic<bool>*) override {
    log.add(url);
    FetchResult result;
    result.status = FetchStatus::kOk;
    result.httpStatus = 200;
    result.body = page ? page(url) : std::string("<HTML>Sorry, no data</HTML>");
    return result;
  }

 private:
  FetchLog& log;
  std::function<std::string(const std::string&)> page;
};

// The metarIds of each address fetched.
inline std::vector<std::string> FetchedStations(const FetchLog& log) {
  std::vector<std::string> out;
  for (const std::string& url : log.all()) {
    const std::size_t from = url.find("metarIds=");
    if (from == std::string::npos) continue;
    const std::size_t end = url.find('&', from);
    out.push_back(url.substr(from + 9, end - from - 9));
  }
  return out;
}

inline void ClearStoredRecentList() {
  QSettings(QStringLiteral("Quillfen"), QStringLiteral("Nimbrel")).remove(QStringLiteral("Recent File List"));
}

class MainWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(workDir.isValid());
    previousDir = QDir::currentPath();
    QDir::setCurrent(workDir.path());
    ClearStoredRecentList();
    // Each test's windows keep their reports in a store of its own.
    qputenv("XDG_DATA_HOME", workDir.filePath(QStringLiteral("data")).toLocal8Bit());
  }

  void TearDown() override {
    StopWindow();
    QDir::setCurrent(previousDir);
  }

  // The station list the program finds in its working folder.
  void WriteStationList(const std::string& content) {
    QFile file(workDir.filePath(QStringLiteral("Stations.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content.data(), static_cast<qint64>(content.size()));
  }
  void WriteStations(const std::vector<std::string>& lines) {
    std::string content;
    for (const std::string& line : lines) content += line + "\n";
    WriteStationList(content);
  }

  // Pages come from the fetcher when one is given, else from the service host.
  void StartWindow(const std::string& stationName = {}, std::unique_ptr<PageFetcher> fetcher = nullptr,
                   const std::string& serviceHost = {}) {
    session = std::make_unique<Session>(std::move(fetcher));
    window = std::make_unique<MainWindow>(*session);
    // These tests chart the service host's report pages; the live METAR
    // source has tests of its own.
    session->setReportSource(ReportSource::kReportPages);
    window->messageHook = [this](const std::string& text) {
      messages.push_back(text);
      if (onMessage) onMessage(text);
    };
    if (!serviceHost.empty()) session->setServiceHost(serviceHost);
    window->start(stationName);
    QApplication::processEvents();
  }
  // Pages from a ScriptedFetcher that records the addresses in fetched.
  void StartWithScriptedPages(std::function<std::string(const std::string&)> page = nullptr) {
    StartWindow({}, std::make_unique<ScriptedFetcher>(fetched, std::move(page)));
  }

  // Closes the window as the user would (charts do their closing work, the
  // recent list is written), then destroys it.
  void StopWindow() {
    if (!window) return;
    window->close();
    window.reset();
    session.reset();
    QApplication::processEvents();
  }

  // Waits until no chart is being opened any more (false if that never came).
  bool WaitForOpenings(int boundMs = 10000) {
    const bool done = WaitUntil([this] { return OpenerOf(window).openingCount() == 0; }, boundMs);
    QApplication::processEvents();
    return done;
  }
  // Opens a station's chart and waits for the opening to end: the chart,
  // or null when none opened.
  StationChartView* OpenChart(const Station& station) {
    StationChartView* opened = nullptr;
    const QMetaObject::Connection connection =
        QObject::connect(window.get(), &MainWindow::stationChartOpened, [&opened](StationChartView* view) {
          opened = view;
        });
    window->openStationChart(station);
    EXPECT_TRUE(WaitForOpenings()) << "the opening of " << station.name << " never ended";
    QObject::disconnect(connection);
    return opened;
  }

  MainWindow* Frame() const { return window.get(); }
  QList<QMdiSubWindow*> Children() const { return AreaOf(window)->subWindowList(); }

  template <typename V>
  std::vector<V*> Views() const {
    std::vector<V*> out;
    for (QMdiSubWindow* sub : Children())
      if (auto* view = qobject_cast<V*>(sub->widget())) out.push_back(view);
    return out;
  }
  template <typename V>
  V* LastView() const {
    const std::vector<V*> all = Views<V>();
    return all.empty() ? nullptr : all.back();
  }
  static QMdiSubWindow* SubWindowOf(QWidget* view) { return qobject_cast<QMdiSubWindow*>(view->parentWidget()); }
  static QString TitleOf(QWidget* view) { return SubWindowOf(view)->windowTitle(); }
  void Activate(QWidget* view) {
    AreaOf(window)->setActiveSubWindow(SubWindowOf(view));
    QApplication::processEvents();
  }

  // Closes a child and lets it be destroyed, closing work and all.
  static void CloseView(QWidget* view) {
    SubWindowOf(view)->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
  }
  void CloseAllChildren() {
    for (QMdiSubWindow* sub : Children()) sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
  }

  QTemporaryDir workDir;
  QString previousDir;
  std::unique_ptr<Session> session;
  std::unique_ptr<MainWindow> window;
  std::vector<std::string> messages;
  std::function<void(const std::string&)> onMessage;
  FetchLog fetched;
};

}  // namespace nimbrel::test
