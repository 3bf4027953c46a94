#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <filesystem>

#include "catalog/MapProjection.h"
#include "catalog/StationListLocation.h"
#include "catalog/StationListReader.h"
#include "catalog/StationSearch.h"
#include "charts/WeatherLayer.h"
#include "observations/ApiJson.h"
#include "observations/CurlPageFetcher.h"
#include "ui/BrowserView.h"
#include "ui/FindStationDialog.h"
#include "ui/Icons.h"
#include "ui/ParametersDialog.h"
#include "ui/Printing.h"
#include "ui/QtText.h"
#include "ui/StationChartView.h"
#include "ui/StationListUpdater.h"
#include "ui/StationTableView.h"
#include "ui/ThreadedPageFetcher.h"
#include "ui/UserSettings.h"
#include "ui/WeatherFeed.h"
#include "ui/WorldMapView.h"

namespace nimbrel {
namespace {

// Client sizes of the child windows.
constexpr QSize kWorldMapSize(550, 350);
constexpr QSize kStationChartSize(650, 670);
constexpr QSize kResultTableSize(501, 408);
constexpr QSize kAllStationsTableSize(501, 608);
// Where a child window keeps its normal size, which Cascade restores.
constexpr const char* kNormalSizeProperty = "nimbrelNormalSize";
// An opening shorter than this shows no progress window.
constexpr int kProgressDelayMs = 500;
// A station's answer arrives in a second; one still trickling after this
// is given up.
constexpr long kApiTotalTimeoutMs = 30000;

// The kinds of download, each in a lane of its own: a stalled server or a
// slow kind never holds up another's workers.
enum class Lane { kReportPages, kMetar, kTaf, kWeather };

// The services' downloads on worker threads. The report pages' service is
// asked as a browser would; the METAR service wants to know who asks, is
// reached over TLS, and answers one station in a few KB, so its answers are
// capped and a trickling one given up soon. A fetcher given by a test
// serves every lane.
std::unique_ptr<AsyncPageFetcher> makeLane(const std::shared_ptr<PageFetcher>& given, Lane lane) {
  const int threads = lane == Lane::kWeather ? 1 : lane == Lane::kTaf ? 2 : 4;
  if (given) return std::make_unique<ThreadedPageFetcher>(given, threads);
  auto curl = std::make_shared<CurlPageFetcher>();
  if (lane != Lane::kReportPages) curl->setUserAgent("Nimbrel/" NIMBREL_VERSION " (surface weather observations viewer)");
  if (lane == Lane::kMetar || lane == Lane::kTaf) {
    curl->setMaxBodyBytes(kMaxApiAnswerBytes);
    curl->setTimeouts(CurlPageFetcher::kDefaultConnectTimeoutMs, kApiTotalTimeoutMs);
  }
  return std::make_unique<ThreadedPageFetcher>(curl, threads);
}

QAction* makeAction(QObject* parent, const char* text, const char* statusTip, const char* toolTip = nullptr) {
  auto* action = new QAction(QString::fromLatin1(text), parent);
  action->setStatusTip(QString::fromLatin1(statusTip));
  if (toolTip != nullptr) action->setToolTip(QString::fromLatin1(toolTip));
  return action;
}

}  // namespace

MainWindow::MainWindow(std::unique_ptr<PageFetcher> fetcher, QWidget* parent)
    : QMainWindow(parent),
      given(std::move(fetcher)),
      pageFetcher(makeLane(given, Lane::kReportPages)),
      metarFetcher(makeLane(given, Lane::kMetar)),
      tafFetcher(makeLane(given, Lane::kTaf)),
      weatherFetcher(makeLane(given, Lane::kWeather)),
      pageSource(*pageFetcher),
      metarSource(*metarFetcher),
      tafSource(*tafFetcher) {
  readSourceSettings();
  m_settings.units = readStoredUnits();
  feed = new WeatherFeed(*weatherFetcher, this);
  connect(feed, &WeatherFeed::changed, this, [this] {
    for (QMdiSubWindow* sub : area->subWindowList())
      if (auto* map = qobject_cast<WorldMapView*>(sub->widget())) map->weatherChanged();
    showWeatherStatus();
  });
  setWindowIcon(programIcon());
  resize(800, 800);
  area = new QMdiArea(this);
  area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(area);
  connect(area, &QMdiArea::subWindowActivated, this, [this] {
    QWidget* view = activeView();
    // A map or chart window brings its own menu; with anything else the
    // frame's own, so "World Map" is always at hand.
    const bool mapOrChart =
        qobject_cast<WorldMapView*>(view) != nullptr || qobject_cast<StationChartView*>(view) != nullptr;
    if (view != nullptr || area->subWindowList().isEmpty()) showMenuSet(!mapOrChart);
    updateActions();
    updateTitle();
    if (view != nullptr) showActiveStatus();
  });

  createActions();
  createMenus();
  createToolBar();
  createStatusBar();
  showMenuSet(true);
  updateActions();
  updateTitle();

  fitToScreen();
}

void MainWindow::fitToScreen() {
  // 800 x 800, but never larger than the screen's free area with the
  // window's frame, at any scale, and centred in it.
  QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect free = screen->availableGeometry();
  // The frame is known once the window manager framed the window: the
  // fit is made again then.
  const QSize frame = frameGeometry().size() - geometry().size();
  resize(size().boundedTo(free.size() - frame));
  QRect placed = frameGeometry();
  placed.setSize(size() + frame);
  placed.moveCenter(free.center());
  move(std::max(placed.left(), free.left()), std::max(placed.top(), free.top()));
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Once framed, fitted again with the frame's true size.
  if (!fittedAfterShow) {
    fittedAfterShow = true;
    QTimer::singleShot(0, this, [this] {
      const QRect free = screen() != nullptr ? screen()->availableGeometry() : QRect();
      if (!free.isEmpty() && !free.contains(frameGeometry())) fitToScreen();
    });
  }
}

MainWindow::~MainWindow() {
  cancelChartOpenings();
  closeAllChildren();
  // The feed's worker is stopped and waited for while everything it may
  // reach still stands.
  delete feed;
  feed = nullptr;
}

void MainWindow::start(const std::string& stationName) {
  m_recentList.readList();
  updateRecentMenu();
  loadStationList();
  // The first window is opened as New would open it, not by an opener.
  onNew();
  // The window is on the screen before the named station's chart is asked
  // for, which is then centred in it.
  show();
  if (!stationName.empty()) openStationByName(stationName);
}

void MainWindow::loadStationList() {
  BusyScope busy(*this);
  // The working folder's list, else the user's own data folder's, else the
  // one installed with the program.
  std::error_code ignored;
  const std::vector<std::filesystem::path> places = stationListPlaces(
      std::filesystem::current_path(ignored), std::getenv("XDG_DATA_HOME"), std::getenv("HOME"),
      installedDataDir(QCoreApplication::applicationFilePath().toStdString()));
  for (const std::filesystem::path& place : places) {
    if (!std::filesystem::exists(std::filesystem::symlink_status(place, ignored))) continue;
    std::string text;
    bool cut = false;
    if (!readStationListFile(place.string(), text, &cut)) {
      showMessage(std::string("Can not open a file \"") + kStationListFileName + "\".");
      return;
    }
    auto read = std::make_shared<StationList>();
    parseStationList(text, *read);
    stations = std::move(read);
    feed->setCatalogue(stations);
    if (cut) showMessage(stationListCutMessage(place.string(), stations->size()));
    return;
  }
  showMessage(stationListNotFoundMessage(places));
}

void MainWindow::setCatalogue(std::shared_ptr<const StationList> list) {
  const std::shared_ptr<const StationList> old = std::exchange(stations, std::move(list));
  feed->setCatalogue(stations);
  reloadCatalogueViews(*area, *old, *stations);
}

void MainWindow::createActions() {
  worldMapAction = makeAction(this, "World Map", "Show World Map", "Show World Map");
  parametersAction = makeAction(this, "Parameters", "Show Parameters Dialog", "Show Parameters Dialog");
  parametersAction->setIcon(toolbarIcon(ToolbarImage::kParameters));
  markAllStationsAction = makeAction(this, "Mark all stations", "Mark all stations", "Mark all stations");
  markAllStationsAction->setIcon(toolbarIcon(ToolbarImage::kMarkAllStations));
  markAllStationsAction->setCheckable(true);
  showAllStationsAction = makeAction(this, "Show all stations", "Show all stations", "Show all stations table");
  showAllStationsAction->setIcon(toolbarIcon(ToolbarImage::kShowAllStations));
  findStationAction = makeAction(this, "Find station", "Find station", "Find station");
  findStationAction->setIcon(toolbarIcon(ToolbarImage::kFindStation));
  // From a map, a chart or a table alike, toolbar shown or not.
  findStationAction->setShortcut(QKeySequence::Find);
  findStationAction->setShortcutContext(Qt::ApplicationShortcut);
  addAction(findStationAction);
  currentWeatherAction = makeAction(this, "Current weather", "Show the current weather of every station",
                                    "Current weather");
  currentWeatherAction->setCheckable(true);
  currentWeatherAction->setIcon(toolbarIcon(ToolbarImage::kCurrentWeather));
  temperatureColouringAction = makeAction(this, "Colour by temperature",
                                          "Colour the current weather by temperature instead of flight category");
  temperatureColouringAction->setCheckable(true);

  newAction = new QAction(QStringLiteral("&New"), this);
  newAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  newAction->setShortcutContext(Qt::ApplicationShortcut);
  addAction(newAction);
  printAction = new QAction(QStringLiteral("&Print..."), this);
  printAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  printAction->setShortcutContext(Qt::ApplicationShortcut);
  addAction(printAction);
  printPreviewAction = new QAction(QStringLiteral("Print Pre&view"), this);
  closeAction = makeAction(this, "&Close", "Close the active window");
  exitAction = makeAction(this, "E&xit", "Quit the application");
  aboutAction = makeAction(this, "&About Nimbrel...", "Display program information and version");
  updateStationListAction = makeAction(this, "&Update Station List", "Download the weather service's current station list");
  updater = new StationListUpdater(*weatherFetcher, *this, this);
  connect(updateStationListAction, &QAction::triggered, this, [this] { updater->start(m_settings.metarUrl, stations); });
  connect(updater, &StationListUpdater::finished, this, [this] {
    if (updater->outcome().catalogue) setCatalogue(updater->outcome().catalogue);
  });

  connect(worldMapAction, &QAction::triggered, this, [this] { openWorldMap(); });
  connect(parametersAction, &QAction::triggered, this, &MainWindow::onParameters);
  connect(markAllStationsAction, &QAction::triggered, this, [this] {
    if (auto* map = qobject_cast<WorldMapView*>(activeView())) map->setMarkAllStations(!map->marksAllStations());
    updateActions();
  });
  connect(showAllStationsAction, &QAction::triggered, this, [this] { openAllStationsTable(); });
  connect(currentWeatherAction, &QAction::triggered, this, [this](bool on) {
    if (auto* map = qobject_cast<WorldMapView*>(activeView())) {
      feed->setBaseUrl(m_settings.metarUrl);
      map->setShowsWeather(on);
    }
    updateActions();
    showWeatherStatus();
  });
  connect(temperatureColouringAction, &QAction::triggered, this, [this](bool on) {
    if (auto* map = qobject_cast<WorldMapView*>(activeView()))
      map->setWeatherColouring(on ? WeatherColouring::kTemperature : WeatherColouring::kFlightCategory);
    updateActions();
  });
  connect(findStationAction, &QAction::triggered, this, &MainWindow::onFindStation);
  connect(newAction, &QAction::triggered, this, &MainWindow::onNew);
  connect(printAction, &QAction::triggered, this, [this] { onPrint(false); });
  connect(printPreviewAction, &QAction::triggered, this, [this] { onPrint(true); });
  connect(closeAction, &QAction::triggered, this, [this] { area->closeActiveSubWindow(); });
  connect(exitAction, &QAction::triggered, this, &QWidget::close);
  connect(aboutAction, &QAction::triggered, this, [this] { showAboutBox(this); });
}

void MainWindow::createMenus() {
  fileMenu = new QMenu(QStringLiteral("&File"), this);
  recentSeparator = fileMenu->addSeparator();
  fileMenu->addAction(updateStationListAction);
  fileMenu->addSeparator();
  fileMenu->addAction(closeAction);
  fileMenu->addAction(exitAction);
  connect(fileMenu, &QMenu::aboutToShow, this, [this] { closeAction->setEnabled(area->activeSubWindow() != nullptr); });
  // One action per place in the recent list, made once and renamed on change.
  for (int i = 0; i < RecentList::kMaxEntries; ++i) {
    auto* action = new QAction(this);
    action->setStatusTip(QStringLiteral("Open this station"));
    connect(action, &QAction::triggered, this, [this, i] {
      const QStringList& names = m_recentList.entries();
      if (i < names.size()) openStationByName(fromQString(names.at(i)));
    });
    fileMenu->insertAction(recentSeparator, action);
    recentActions.append(action);
  }

  auto* toolbarToggle = new QAction(QStringLiteral("&Toolbar"), this);
  toolbarToggle->setCheckable(true);
  toolbarToggle->setStatusTip(QStringLiteral("Show or hide the toolbar"));
  connect(toolbarToggle, &QAction::toggled, this, [this](bool on) { tools->setVisible(on); });
  auto* statusToggle = new QAction(QStringLiteral("&Status Bar"), this);
  statusToggle->setCheckable(true);
  statusToggle->setStatusTip(QStringLiteral("Show or hide the status bar"));
  connect(statusToggle, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
  auto viewMenu = [&](std::initializer_list<QAction*> commands) {
    auto* menu = new QMenu(QStringLiteral("&View"), this);
    menu->addAction(toolbarToggle);
    menu->addAction(statusToggle);
    menu->addSeparator();
    for (QAction* command : commands) menu->addAction(command);
    connect(menu, &QMenu::aboutToShow, this, [this, toolbarToggle, statusToggle] {
      toolbarToggle->setChecked(tools->isVisible());
      statusToggle->setChecked(statusBar()->isVisible());
      updateActions();
    });
    return menu;
  };
  frameViewMenu = viewMenu({worldMapAction});
  childViewMenu = viewMenu({markAllStationsAction, showAllStationsAction, parametersAction, findStationAction});
  childViewMenu->addSeparator();
  childViewMenu->addAction(currentWeatherAction);
  childViewMenu->addAction(temperatureColouringAction);
  childViewMenu->addSeparator();
  const QList<QAction*> zoomActions =
      WorldMapView::makeZoomActions(this, [this] { return qobject_cast<WorldMapView*>(activeView()); });
  childViewMenu->addActions(zoomActions);
  addActions(zoomActions);

  windowMenu = new QMenu(QStringLiteral("&Window"), this);
  QAction* cascade = windowMenu->addAction(QStringLiteral("&Cascade"));
  cascade->setStatusTip(QStringLiteral("Arrange windows so they overlap"));
  connect(cascade, &QAction::triggered, this, &MainWindow::cascadeWindows);
  QAction* tile = windowMenu->addAction(QStringLiteral("&Tile"));
  tile->setStatusTip(QStringLiteral("Arrange windows as non-overlapping tiles"));
  connect(tile, &QAction::triggered, this, [this] {
    arranging = true;
    area->tileSubWindows();
    arranging = false;
  });
  QAction* arrange = windowMenu->addAction(QStringLiteral("&Arrange Icons"));
  arrange->setStatusTip(QStringLiteral("Arrange icons at the bottom of the window"));
  connect(arrange, &QAction::triggered, this, &MainWindow::arrangeIcons);
  windowListSeparator = windowMenu->addSeparator();
  windowListSeparator->setVisible(false);
  connect(windowMenu, &QMenu::aboutToShow, this, &MainWindow::updateWindowList);

  helpMenu = new QMenu(QStringLiteral("&Help"), this);
  QAction* topics = helpMenu->addAction(QStringLiteral("&Help Topics"));
  topics->setEnabled(false);  // no help file ships with the program
  helpMenu->addSeparator();
  helpMenu->addAction(aboutAction);
}

void MainWindow::createToolBar() {
  tools = new QToolBar(QStringLiteral("Toolbar"), this);
  tools->setObjectName(QStringLiteral("toolBar"));
  tools->setIconSize(QSize(17, 18));
  for (QAction* action : {parametersAction, markAllStationsAction, showAllStationsAction, findStationAction})
    tools->addAction(action);
  tools->addSeparator();
  tools->addAction(currentWeatherAction);
  addToolBar(Qt::TopToolBarArea, tools);
}

void MainWindow::createStatusBar() {
  messagePane = new QLabel(QStringLiteral("Ready"), this);
  messagePane->setObjectName(QStringLiteral("messagePane"));
  statusBar()->addWidget(messagePane, 1);
  for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
    auto* pane = new QLabel(QString::fromLatin1(indicator), this);
    pane->setObjectName(QString::fromLatin1(indicator));
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pane->setAlignment(Qt::AlignCenter);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 10);
    // The lock states cannot be read portably; the panes show their names greyed.
    pane->setEnabled(false);
    statusBar()->addPermanentWidget(pane);
  }
  // Menu and toolbar prompts take the message pane's place while shown.
  connect(statusBar(), &QStatusBar::messageChanged, this,
          [this](const QString& text) { messagePane->setVisible(text.isEmpty()); });
}

QMdiSubWindow* MainWindow::addChild(QWidget* view, const std::string& title, QSize clientSize, bool centred) {
  // A maximised window stays so; the new one gets its normal size and
  // place first, and is maximised as the area keeps it.
  QMdiSubWindow* previous = area->activeSubWindow();
  const bool maximised = previous != nullptr && previous->isMaximized();
  auto* child = new QMdiSubWindow;
  child->setAttribute(Qt::WA_DeleteOnClose);
  child->setWidget(view);
  child->setWindowTitle(toQString(title));
  area->addSubWindow(child);
  child->show();
  if (child->isMaximized()) child->showNormal();
  // The frame's margins are known once it is shown; a window never starts
  // larger than the area.
  const QSize space = area->viewport()->size();
  if (clientSize.isValid()) {
    const QSize wanted = clientSize.grownBy(child->contentsMargins());
    // Before the main window shows, the area has no size of its own yet.
    child->resize(area->isVisible() ? wanted.boundedTo(space) : wanted);
  }
  if (centred) {
    QPoint at(std::max(0, (space.width() - child->width()) / 2), std::max(0, (space.height() - child->height()) / 2));
    // Never exactly over another window: cascaded from it instead.
    const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this) + 2;
    for (bool taken = true; taken;) {
      taken = false;
      for (QMdiSubWindow* other : area->subWindowList())
        if (other != child && !other->isMinimized() && other->pos() == at) taken = true;
      if (taken) at += QPoint(step, step);
      if (at.x() + child->width() > space.width() || at.y() + child->height() > space.height()) break;
    }
    child->move(at);
  }
  if (!space.isEmpty()) {
    // Fully inside the visible area where it fits: moved up and left as needed.
    const QPoint at = child->pos();
    child->move(std::max(0, std::min(at.x(), space.width() - child->width())),
                std::max(0, std::min(at.y(), space.height() - child->height())));
  }
  child->setProperty(kNormalSizeProperty, child->size());
  child->installEventFilter(this);
  if (maximised) child->showMaximized();
  connect(child, &QObject::destroyed, this, [this] {
    // The last child gone: the frame's own menu comes back.
    QTimer::singleShot(0, this, [this] {
      if (area->subWindowList().isEmpty()) showMenuSet(true);
      updateActions();
      updateTitle();
    });
  });
  connect(view, &QWidget::windowTitleChanged, child, &QWidget::setWindowTitle);
  connect(child, &QWidget::windowTitleChanged, this, &MainWindow::updateTitle);
  if (!firstPaintSeen && firstPaintWatched.isNull()) {
    firstPaintWatched = view;
    view->installEventFilter(this);
  }
  return child;
}

WorldMapView* MainWindow::openWorldMap() {
  newOpensWorldMap = false;
  auto* view = new WorldMapView(*this);
  addChild(view, "World Map", kWorldMapSize, false);
  return view;
}

StationTableView* MainWindow::openStationTable(const std::string& title, StationList rows, QSize clientSize) {
  newOpensWorldMap = false;
  BusyScope busy(*this);
  auto* view = new StationTableView(*this, std::move(rows));
  addChild(view, title, clientSize, false);
  return view;
}

StationTableView* MainWindow::openAllStationsTable() {
  return openStationTable("All stations", *stations, kAllStationsTableSize);
}

StationTableView* MainWindow::openResultTable(StationList rows) {
  StationTableView* view = openStationTable("Nearest stations", std::move(rows), kResultTableSize);
  view->focusFirstRow();
  return view;
}

// A chart being opened: the quick look for the newest report, then the
// past hours, both off the user-interface thread.
struct MainWindow::ChartOpening {
  int id = 0;
  Station station;
  std::unique_ptr<FetchTicket> ticket;
  StationChartView* view = nullptr;  // owned until it gets its window
  QPointer<QProgressDialog> progress;
};

void MainWindow::openStationChart(const Station& station) {
  newOpensWorldMap = false;
  lastStation = station;
  auto opening = std::make_unique<ChartOpening>();
  ChartOpening* op = opening.get();
  op->station = station;
  op->id = ++lastOpeningId;
  openings.push_back(std::move(opening));
  beginWaitCursor();

  // A small window that names the station and offers Cancel, once the
  // opening takes long enough to notice.
  QTimer::singleShot(kProgressDelayMs, this, [this, op, id = op->id] {
    if (!isOpening(op) || op->id != id) return;
    auto* progress = new QProgressDialog(this);
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->setWindowTitle(QStringLiteral("Nimbrel"));
    progress->setLabelText(toQString("Loading the reports of " + op->station.name + " ..."));
    progress->setCancelButtonText(QStringLiteral("Cancel"));
    progress->setRange(0, 0);
    progress->setMinimumDuration(0);
    // The chart is what loads, not the program: the map and every other
    // window go on taking input.
    progress->setWindowModality(Qt::NonModal);
    connect(progress, &QProgressDialog::canceled, this, [this, op] { finishOpening(op); });
    op->progress = progress;
    progress->show();
  });

  // A quick look for the newest report first: no window for a station
  // that has none.
  ObservationSource& source = reportSource();
  if (!source.checksBeforeOpening()) {
    loadOpeningChart(op);
    return;
  }
  op->ticket = source.requestNewest(station, true, [this, op](PageReading reading) {
    op->ticket.reset();
    if (reading.cancelled) return;
    if (!reading.ok) {
      finishOpening(op);
      showMessage(reading.failureText);
      return;
    }
    loadOpeningChart(op);
  });
}

void MainWindow::loadOpeningChart(ChartOpening* op) {
  op->view = new StationChartView(*this, op->station);
  op->view->load([this, op](LoadOutcome outcome) {
    // The opening is over before anything is told: a message box's own
    // event loop must find no progress window and no half-made chart.
    std::unique_ptr<StationChartView> view(op->view);
    op->view = nullptr;
    const Station opened = op->station;
    finishOpening(op);
    if (!outcome.ok) view.reset();
    for (const std::string& message : outcome.messages) showMessage(message);
    if (!view || closed) return;
    StationChartView* shown = view.release();
    addChild(shown, opened.name, kStationChartSize, true);
    m_openStations.push_back(opened);
    m_recentList.add(toQString(opened.name));
    updateRecentMenu();
    emit stationChartOpened(shown);
  });
}

ObservationSource& MainWindow::reportSource() {
  if (m_settings.reportSource == ReportSource::kReportPages) return pageSource;
  metarSource.baseUrl = m_settings.metarUrl;
  return metarSource;
}

TafSource* MainWindow::forecastSource() {
  if (m_settings.reportSource == ReportSource::kReportPages) return nullptr;
  tafSource.baseUrl = m_settings.metarUrl;
  return &tafSource;
}

// The report source and the METAR service's address are kept beside the
// recent list; every other setting starts from its default.
void MainWindow::readSourceSettings() {
  storedMetarUrl = m_settings.metarUrl;
  const std::unique_ptr<QSettings> stored = openUserSettings();
  if (!stored) return;
  stored->beginGroup(QStringLiteral("Settings"));
  const QString source = stored->value(QStringLiteral("ReportSource")).toString();
  if (source == QLatin1String("pages")) m_settings.reportSource = ReportSource::kReportPages;
  if (source == QLatin1String("metar")) m_settings.reportSource = ReportSource::kLiveMetar;
  const QString url = stored->value(QStringLiteral("MetarUrl")).toString();
  if (!url.isEmpty()) m_settings.metarUrl = url.toStdString();
  storedMetarUrl = m_settings.metarUrl;
}

void MainWindow::writeSourceSettings() {
  const std::unique_ptr<QSettings> stored = openUserSettings();
  if (stored) {
    stored->beginGroup(QStringLiteral("Settings"));
    stored->setValue(QStringLiteral("ReportSource"), m_settings.reportSource == ReportSource::kReportPages
                                                         ? QStringLiteral("pages")
                                                         : QStringLiteral("metar"));
    stored->setValue(QStringLiteral("MetarUrl"), QString::fromStdString(storedMetarUrl));
    stored->endGroup();
    stored->sync();
  }
  if (!stored || stored->status() != QSettings::NoError) setStatusText("Can not save the settings.");
}

bool MainWindow::isOpening(const ChartOpening* op) const {
  return std::any_of(openings.begin(), openings.end(), [op](const auto& o) { return o.get() == op; });
}

void MainWindow::finishOpening(ChartOpening* op) {
  const auto found = std::find_if(openings.begin(), openings.end(), [op](const auto& o) { return o.get() == op; });
  if (found == openings.end()) return;
  std::unique_ptr<ChartOpening> opening = std::move(*found);
  openings.erase(found);
  // Cancelled: the downloads are dropped and nothing is told.
  opening->ticket.reset();
  delete opening->view;
  if (opening->progress) {
    opening->progress->disconnect(this);
    opening->progress->close();
  }
  endWaitCursor();
}

void MainWindow::cancelChartOpenings() {
  while (!openings.empty()) finishOpening(openings.front().get());
}

BrowserView* MainWindow::openBrowser(const QString& url) {
  auto* view = new BrowserView(url);
  addChild(view, fromQString(url), QSize(), false);
  return view;
}

void MainWindow::openStationByName(const std::string& name) {
  // Recent entries may be paths: the name is the last part.
  const std::size_t slash = name.find_last_of("/\\");
  const std::string shortName = slash == std::string::npos ? name : name.substr(slash + 1);
  const Station* found = nullptr;
  {
    BusyScope busy(*this);
    found = findFirstStation(shortName, *stations);
  }
  if (found == nullptr) {
    showMessage(noStationMessage(shortName));
    return;
  }
  const Station chosen = *found;
  openStationChart(chosen);
}

void MainWindow::findStation(const StationList& searched) {
  FindStationDialog dialog(this);
  if (dialog.exec() != QDialog::Accepted) return;
  lastFindText = dialog.enteredText();
  StationList found;
  {
    BusyScope busy(*this);
    found = findStations(lastFindText, searched);
  }
  if (found.empty()) {
    showMessage(noStationMessage(lastFindText));
    return;
  }
  openResultTable(std::move(found));
}

void MainWindow::showNearestStations(int x, int y) { showNearestStationsAt(MapProjection::toMapPoint(x, y)); }

void MainWindow::showNearestStationsAt(const std::optional<MapPoint>& point) {
  const double minutes = m_settings.nearestMinutes;
  {
    BusyScope busy(*this);
    if (point) {
      setStatusText(MapProjection::statusText(*point));
      StationList found = nearestStations(*stations, *point, minutes);
      if (!found.empty()) {
        openResultTable(std::move(found));
        // The table comes up with the place it lists the stations around.
        setStatusText(MapProjection::statusText(*point));
        return;
      }
    }
  }
  // The busy cursor ends before the message box shows.
  showMessage(noNearestStationMessage(minutes));
}

void MainWindow::stationChartClosed(const Station& station) {
  m_recentList.add(toQString(station.name));
  updateRecentMenu();
  removeOpenStation(m_openStations, station.icao);
  // The chart's own window is half destroyed while this runs, yet still in
  // the area's list: the maps are repainted once it is gone.
  QTimer::singleShot(0, this, [this] {
    for (QMdiSubWindow* sub : area->subWindowList())
      if (auto* map = qobject_cast<WorldMapView*>(sub->widget())) map->update();
  });
}

QWidget* MainWindow::activeView() const {
  QMdiSubWindow* child = area->activeSubWindow();
  return child != nullptr ? child->widget() : nullptr;
}

void MainWindow::updateActions() {
  QWidget* view = activeView();
  auto* map = qobject_cast<WorldMapView*>(view);
  auto* chart = qobject_cast<StationChartView*>(view);
  auto* table = qobject_cast<StationTableView*>(view);
  const bool mapOrChart = map != nullptr || chart != nullptr;
  markAllStationsAction->setEnabled(map != nullptr);
  markAllStationsAction->setChecked(map != nullptr && map->marksAllStations());
  // The current weather comes from the live METAR service only.
  const bool live = m_settings.reportSource == ReportSource::kLiveMetar;
  currentWeatherAction->setEnabled(map != nullptr && live);
  currentWeatherAction->setChecked(map != nullptr && map->showsWeather());
  currentWeatherAction->setToolTip(live ? QStringLiteral("Current weather")
                                        : QStringLiteral("Current weather needs the live METAR source "
                                                         "(Parameters, Report source)"));
  temperatureColouringAction->setEnabled(map != nullptr && map->showsWeather());
  temperatureColouringAction->setChecked(map != nullptr &&
                                         map->weatherColouring() == WeatherColouring::kTemperature);
  parametersAction->setEnabled(mapOrChart);
  showAllStationsAction->setEnabled(mapOrChart);
  findStationAction->setEnabled(mapOrChart || table != nullptr);
  printAction->setEnabled(mapOrChart);
  printPreviewAction->setEnabled(mapOrChart);
}

void MainWindow::onNew() {
  if (newOpensWorldMap) {
    auto* view = new WorldMapView(*this);
    addChild(view, "World Map", kWorldMapSize, false);
  } else {
    openStationChart(lastStation);
  }
}

void MainWindow::onParameters() {
  QWidget* view = activeView();
  auto* chart = qobject_cast<StationChartView*>(view);
  if (chart == nullptr && qobject_cast<WorldMapView*>(view) == nullptr) return;
  const Settings before = m_settings;
  if (!showParametersDialog(this, chart != nullptr ? chart->chart() : nullptr, m_settings)) return;
  if (chart != nullptr) chart->update();
  if (m_settings.units != before.units) {
    storeUnits(m_settings.units);
    for (QMdiSubWindow* sub : area->subWindowList()) sub->widget()->update();
  }
  if (m_settings.reportSource != before.reportSource || m_settings.metarUrl != before.metarUrl) {
    if (m_settings.metarUrl != before.metarUrl) storedMetarUrl = m_settings.metarUrl;
    writeSourceSettings();
    // Without the live source there is no current weather to show.
    if (m_settings.reportSource != ReportSource::kLiveMetar) {
      for (QMdiSubWindow* sub : area->subWindowList())
        if (auto* map = qobject_cast<WorldMapView*>(sub->widget())) map->setShowsWeather(false);
    }
    updateActions();
  }
}

void MainWindow::onFindStation() {
  QWidget* view = activeView();
  if (auto* table = qobject_cast<StationTableView*>(view)) {
    table->findInTable();
  } else if (qobject_cast<WorldMapView*>(view) != nullptr || qobject_cast<StationChartView*>(view) != nullptr) {
    findStation(*stations);
  }
}

void MainWindow::onPrint(bool preview) {
  QWidget* view = activeView();
  if (auto* map = qobject_cast<WorldMapView*>(view)) {
    runPrintDialog(this, preview, [map](QPainter& painter) { map->draw(painter); });
  } else if (auto* chart = qobject_cast<StationChartView*>(view)) {
    runPrintDialog(this, preview, [chart](QPainter& painter) { chart->draw(painter); });
  }
}

void MainWindow::showActiveStatus() {
  QWidget* view = activeView();
  if (auto* table = qobject_cast<StationTableView*>(view)) {
    setStatusText(table->statusText());
  } else if (auto* chart = qobject_cast<StationChartView*>(view)) {
    const std::string note = chart->chartModel().staleNote();
    setStatusText(note.empty() ? std::string("Ready") : note);
  } else if (auto* map = qobject_cast<WorldMapView*>(view); map != nullptr && map->showsWeather()) {
    setStatusText("Ready");
    showWeatherStatus();
  } else {
    setStatusText("Ready");
  }
}

void MainWindow::showWeatherStatus() {
  if (feed->userCount() == 0) return;
  if (feed->isLoading()) {
    setStatusText("Current weather: loading the reports ...");
  } else if (const WeatherSnapshot* snapshot = feed->snapshot()) {
    setStatusText(currentWeatherStatusText(*snapshot));
  }
}

void MainWindow::showMenuSet(bool frameMenu) {
  if (menuShownOnce && frameMenu == frameMenuShown) return;
  menuShownOnce = true;
  frameMenuShown = frameMenu;
  QMenuBar* bar = menuBar();
  bar->clear();
  bar->addMenu(fileMenu);
  if (frameMenu) {
    bar->addMenu(frameViewMenu);
  } else {
    bar->addMenu(childViewMenu);
    bar->addMenu(windowMenu);
  }
  bar->addMenu(helpMenu);
}

void MainWindow::updateRecentMenu() {
  const QStringList& entries = m_recentList.entries();
  for (int i = 0; i < recentActions.size(); ++i) {
    QAction* action = recentActions.at(i);
    const bool used = i < entries.size();
    action->setVisible(used);
    if (!used) continue;
    const QString shown = RecentList::displayName(entries.at(i));
    action->setText(i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(shown) : QStringLiteral("%1 %2").arg(i + 1).arg(shown));
  }
  recentSeparator->setVisible(!entries.isEmpty());
}

void MainWindow::updateTitle() {
  QString title = QStringLiteral("Nimbrel");
  if (QMdiSubWindow* child = area->activeSubWindow(); child != nullptr && !child->windowTitle().isEmpty())
    title += QStringLiteral(" - ") + child->windowTitle();
  setWindowTitle(title);
}

void MainWindow::updateWindowList() {
  // The open windows below the commands, the active one checked, as a
  // window list always reads.
  for (QAction* action : windowMenu->actions())
    if (action->property("windowListEntry").toBool()) delete action;
  const QList<QMdiSubWindow*> windows = area->subWindowList();
  windowListSeparator->setVisible(!windows.isEmpty());
  for (int i = 0; i < windows.size(); ++i) {
    QMdiSubWindow* sub = windows.at(i);
    const QString title = sub->windowTitle();
    auto* action = windowMenu->addAction(i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(title)
                                               : QStringLiteral("%1 %2").arg(i + 1).arg(title));
    action->setProperty("windowListEntry", true);
    action->setCheckable(true);
    action->setChecked(sub == area->activeSubWindow());
    connect(action, &QAction::triggered, this, [this, sub = QPointer<QMdiSubWindow>(sub)] {
      if (sub) area->setActiveSubWindow(sub);
    });
  }
}

void MainWindow::cascadeWindows() {
  // Each window at its own normal size (never what a tiling left it), one
  // title bar's step down and right of the one before.
  const QSize space = area->viewport()->size();
  const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this) + 2;
  QPoint at(0, 0);
  for (QMdiSubWindow* sub : area->subWindowList(QMdiArea::StackingOrder)) {
    if (sub->isMinimized()) continue;
    if (sub->isMaximized()) sub->showNormal();
    QSize size = sub->property(kNormalSizeProperty).toSize();
    if (!size.isValid()) size = sub->size();
    size = size.boundedTo(space);
    if (at.x() + size.width() > space.width() || at.y() + size.height() > space.height()) at = QPoint(0, 0);
    arranging = true;
    sub->setGeometry(QRect(at, size));
    arranging = false;
    sub->raise();
    at += QPoint(step, step);
  }
}

void MainWindow::arrangeIcons() {
  int x = 0;
  const int bottom = area->viewport()->height();
  for (QMdiSubWindow* sub : area->subWindowList()) {
    if (!sub->isMinimized()) continue;
    sub->move(x, bottom - sub->height());
    x += sub->width();
  }
}

void MainWindow::closeAllChildren() {
  if (area == nullptr) return;
  for (QMdiSubWindow* sub : area->subWindowList()) delete sub;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Charts still open do their closing work first: each puts its station
  // back on top of the recent list, which is then saved.
  if (!closed) {
    closed = true;
    cancelChartOpenings();
    closeAllChildren();
    if (!m_recentList.writeList()) setStatusText("Can not save the list of recent stations.");
  }
  QMainWindow::closeEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // A child's normal size follows the user's resizing, not an arrangement's.
  if (event->type() == QEvent::Resize && !arranging) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(watched); sub != nullptr && !sub->isMaximized() && !sub->isMinimized())
      sub->setProperty(kNormalSizeProperty, sub->size());
  }
  if (event->type() == QEvent::Paint && watched == firstPaintWatched) {
    watched->removeEventFilter(this);
    firstPaintWatched = nullptr;
    firstPaintSeen = true;
    if (quitAfterFirstPaint) {
      QTimer::singleShot(0, this, [] {
        std::fputs("first paint\n", stdout);
        std::fflush(stdout);
        QCoreApplication::quit();
      });
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showMessage(const std::string& text) {
  if (messageHook) {
    messageHook(text);
    return;
  }
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Nimbrel"), toQString(text), QMessageBox::Ok, this);
  box.exec();
}

void MainWindow::setStatusText(const std::string& text) { messagePane->setText(toQString(text)); }

QString MainWindow::statusText() const { return messagePane->text(); }

void MainWindow::beginWaitCursor() {
  if (waitCount++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void MainWindow::endWaitCursor() {
  if (waitCount <= 0) return;
  if (--waitCount == 0) QApplication::restoreOverrideCursor();
}

std::time_t MainWindow::currentTime() { return std::time(nullptr); }

void showAboutBox(QWidget* parent) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("About Nimbrel"));
  auto* icon = new QLabel(&dialog);
  icon->setPixmap(programIcon().pixmap(32, 32));
  auto* text = new QLabel(QStringLiteral("Nimbrel Version 1.0"), &dialog);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addWidget(icon);
  row->addSpacing(12);
  row->addWidget(text, 1);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addLayout(row);
  layout->addWidget(buttons);
  dialog.exec();
}

}  // namespace nimbrel
