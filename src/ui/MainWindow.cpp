#include "ui/MainWindow.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <utility>

#include "ui/Application.h"
#include "ui/BrowserView.h"
#include "ui/HelpPages.h"
#include "ui/ChartExport.h"
#include "ui/ChartOpener.h"
#include "ui/ChildWindowArea.h"
#include "ui/FrameParts.h"
#include "ui/MinimaDialog.h"
#include "ui/WatchStationsView.h"
#include "services/WatchService.h"
#include "ui/GoToField.h"
#include "ui/Icons.h"
#include "ui/MapActions.h"
#include "ui/AviationPanelAction.h"
#include "ui/MapFilterMenu.h"
#include "ui/ParametersDialog.h"
#include "ui/Printing.h"
#include "services/QtText.h"
#include "services/Session.h"
#include "ui/StationChartView.h"
#include "ui/StationFinder.h"
#include "ui/RecentMenuSection.h"
#include "ui/UpdateStationListAction.h"
#include "ui/StationTableView.h"
#include "ui/WatchTray.h"
#include "services/WatchService.h"
#include "services/WeatherFeed.h"
#include "ui/WorldMapView.h"

namespace nimbrel {
namespace {

// Client sizes of the child windows.
constexpr QSize kWorldMapSize(550, 350);
constexpr QSize kStationChartSize(650, 670);
constexpr QSize kResultTableSize(501, 408);
// Wide enough for the manual's tables, tall enough for a picture and text.
constexpr QSize kHelpWindowSize(720, 640);
constexpr QSize kAllStationsTableSize(501, 608);
constexpr QSize kWatchedStationsSize(760, 320);

}  // namespace

MainWindow::MainWindow(Session& session, QWidget* parent) : QMainWindow(parent), state(session) {
  opener = new ChartOpener(session, *this, this);
  finder = new StationFinder(session, *this, this);
  connect(finder, &StationFinder::stationChosen, this, &MainWindow::openStationChart);
  connect(finder, &StationFinder::stationsFound, this, [this](const StationList& found) { openResultTable(found); });
  connect(opener, &ChartOpener::chartOpened, this, &MainWindow::adoptChart);
  finder->setObjectName(QStringLiteral("stationFinder"));
  connect(&session.weatherFeed(), &WeatherFeed::changed, this, [this] {
    const std::string text = state.weatherFeed().statusText(state.settings().timeUtc);
    if (!text.empty()) setStatusText(text);
  });
  connect(&session.stations(), &StationService::recentListChanged, this, [this] { recentMenu->show(state.recentList()); });
  connect(&session.sources(), &ReportSources::statusNote, this, &MainWindow::setStatusText);
  connect(&session.settingsService(), &SettingsService::statusNote, this, &MainWindow::setStatusText);
  connect(&session.settingsService(), &SettingsService::sourceChanged, this, &MainWindow::updateActions);
  // Open views follow the settings themselves; the status bar shows the
  // one in front as it now reads.
  connect(&session.settingsService(), &SettingsService::settingsChanged, this, &MainWindow::showActiveStatus);
  setWindowIcon(programIcon());
  resize(800, 800);
  area = new ChildWindowArea(this);
  area->setObjectName(QStringLiteral("childWindowArea"));
  setCentralWidget(area);
  connect(area, &QMdiArea::subWindowActivated, this, [this] {
    QWidget* view = activeView();
    // A map or chart window brings its own menu; with anything else the
    // frame's own, so "World Map" is always at hand.
    const bool ownMenu = offering(ChildView::Command::kParameters) != nullptr;
    if (view != nullptr || area->subWindowList().isEmpty()) showMenuSet(!ownMenu);
    updateActions();
    updateTitle();
    if (view != nullptr) showActiveStatus();
  });
  // The service is made on first use: a program that never watches asks nothing.
  watchToggle.isWatched = [this](const std::string& icao) { return state.watchService().isWatched(icao); };
  watchToggle.setWatched = [this](const Station& station, bool watch) {
    if (watch) state.watchService().add(station.icao);
    else state.watchService().remove(station.icao);
    setStatusText(station.icao + (watch ? " is watched" : " is no longer watched"));
  };
  watchTray = new WatchTray(*this, this);
  createActions();
  createMenus();
  messagePane = addStatusPanes(*this);
  connect(watchTray, &WatchTray::statusNote, messagePane, &QLabel::setText);
  // Once the status bar can show what the weather feed says.
  watchTray->follow(session.watchService());
  connect(watchTray, &WatchTray::chartRequested, this, [this](const QString& icao) {
    const auto catalogue = state.catalogue();
    const auto known = std::find_if(catalogue->begin(), catalogue->end(),
                                    [code = icao.toStdString()](const Station& s) { return s.icao == code; });
    if (known != catalogue->end()) openStationChart(*known);
  });
  // Stays while the store is off, whatever the message pane says meanwhile.
  QLabel* storePane = addStorePane(*this);
  connect(&session.sources(), &ReportSources::storeOffChanged, storePane, [storePane](const QString& reason) {
    storePane->setToolTip(reason);
    storePane->setVisible(!reason.isEmpty());
  });
  showMenuSet(true);
  updateActions();
  updateTitle();
  // 800 x 800 where the screen has room.
  fitToScreen(*this);
}

MainWindow::~MainWindow() {
  opener->cancelAll();
  closeAllChildren();
  // Any child window left goes now, while this window is still whole: their
  // destroyed signals reach it.
  area->disconnect(this);
  delete std::exchange(area, nullptr);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Once framed, fitted again with the frame's true size.
  if (!std::exchange(fittedAfterShow, true)) QTimer::singleShot(0, this, [this] { fitToScreen(*this, true); });
}

void MainWindow::start(const std::string& stationName) {
  state.recentList().readList();
  recentMenu->show(state.recentList());
  std::vector<std::string> messages;
  {
    BusyScope busy(*this);
    messages = state.loadStationList();
  }
  goTo->setCatalogue(state.catalogue());
  for (const std::string& message : messages) showMessage(message);
  if (const std::string note = state.sources().takeStoreNote(); !note.empty()) setStatusText(note);
  // The first window is opened as New would open it, not by an opener.
  onNew();
  // The window is on the screen before the named station's chart is asked
  // for, which is then centred in it.
  show();
  if (!stationName.empty()) finder->openByName(stationName);
}

void MainWindow::createActions() {
  // Each found by its name (tests use findChild).
  auto command = [this](const char* name, const QString& text, const QString& statusTip, const QString& toolTip,
                        auto act) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setStatusTip(statusTip);
    if (!toolTip.isEmpty()) action->setToolTip(toolTip);
    connect(action, &QAction::triggered, this, act);
    return action;
  };
  // Keys that work from every window, the toolbar shown or not.
  auto everywhere = [this](QAction* action, const QKeySequence& keys) {
    action->setShortcut(keys);
    action->setShortcutContext(Qt::ApplicationShortcut);
    addAction(action);
  };
  command("worldMapAction", tr("World Map"), tr("Show World Map"), tr("Show World Map"), [this] { openWorldMap(); });
  parametersAction = command("parametersAction", tr("Parameters"), tr("Show Parameters Dialog"),
                             tr("Show Parameters Dialog"), [this] { onParameters(); });
  parametersAction->setIcon(toolbarIcon(ToolbarImage::kParameters));
  showAllStationsAction = command("showAllStationsAction", tr("Show all stations"), tr("Show all stations"),
                                  tr("Show all stations table"), [this] { openAllStationsTable(); });
  showAllStationsAction->setIcon(toolbarIcon(ToolbarImage::kShowAllStations));
  findStationAction =
      command("findStationAction", tr("Find station"), tr("Find station"), tr("Find station"), [this] { onFindStation(); });
  findStationAction->setIcon(toolbarIcon(ToolbarImage::kFindStation));
  everywhere(findStationAction, QKeySequence::Find);
  watchedStationsAction = command("watchedStationsAction", tr("Watched Stations"), tr("Show the watched stations"),
                                  tr("Watched stations"), [this] { openWatchedStations(); });
  watchedStationsAction->setIcon(toolbarIcon(ToolbarImage::kWatchedStations));
  everywhere(watchedStationsAction, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W));
  minimaAction = command("personalMinimaAction", tr("Personal Minima..."),
                         tr("Set the ceiling, visibility and wind below which a watched station is highlighted"), {},
                         [this] { editPersonalMinima(); });
  mapActions = new MapActions(this, [this] { return activeMap(); });
  connect(mapActions, &MapActions::changed, this, [this] {
    updateActions();
    showActiveStatus();
  });
  addActions(mapActions->zoom);
  chartActions = new ChartActions(this, [this] { return qobject_cast<StationChartView*>(activeView()); });
  everywhere(command("newAction", tr("&New"), {}, {}, [this] { onNew(); }), QKeySequence(Qt::CTRL | Qt::Key_N));
  printAction = command("printAction", tr("&Print..."), {}, {}, [this] { onPrint(false); });
  everywhere(printAction, QKeySequence(Qt::CTRL | Qt::Key_P));
  printPreviewAction = command("printPreviewAction", tr("Print Pre&view"), {}, {}, [this] { onPrint(true); });
  closeAction = command("closeAction", tr("&Close"), tr("Close the active window"), {},
                        [this] { area->closeActiveSubWindow(); });
  command("exitAction", tr("E&xit"), tr("Quit the application"), {}, [this] { close(); });
  command("aboutAction", tr("&About Nimbrel..."), tr("Display program information and version"), {},
          [this] { showAboutBox(this, state.sources().storeSummary(), [this] { openHelp(QStringLiteral("index.md")); }); });
  command("helpTopicsAction", tr("&Help Topics"), tr("Open the manual"), {},
          [this] { openHelp(QStringLiteral("index.md")); });
  // F1: the manual's page about the window in front.
  everywhere(command("windowHelpAction", tr("Help"), tr("Open the manual at this window's page"), {},
                     [this] { openHelp(helpPageFor(activeView())); }),
             QKeySequence::HelpContents);
}

void MainWindow::createMenus() {
  fileMenu = new QMenu(tr("&File"), this);
  recentSeparator = fileMenu->addSeparator();
  fileMenu->addAction(makeUpdateStationListAction(state, *this, this));
  fileMenu->addAction(mapActions->savePicture);
  fileMenu->addAction(chartActions->exportData);
  fileMenu->addAction(chartActions->savePdf);
  fileMenu->addSeparator();
  fileMenu->addAction(closeAction);
  fileMenu->addAction(findChild<QAction*>(QStringLiteral("exitAction")));
  connect(fileMenu, &QMenu::aboutToShow, this, [this] { closeAction->setEnabled(area->activeSubWindow() != nullptr); });
  recentMenu = new RecentMenuSection(fileMenu, recentSeparator);
  connect(recentMenu, &RecentMenuSection::chosen, this,
          [this](const QString& name) { finder->openByName(fromQString(name)); });

  tools = new QToolBar(tr("Toolbar"), this);
  tools->setObjectName(QStringLiteral("toolBar"));
  tools->setIconSize(QSize(17, 18));
  tools->addActions({parametersAction, mapActions->markAllStations, showAllStationsAction, findStationAction});
  tools->addSeparator();
  tools->addAction(mapActions->currentWeather);
  tools->addAction(watchedStationsAction);
  tools->addSeparator();
  goTo = new GoToField(tools);
  tools->addWidget(goTo);
  connect(goTo, &GoToField::stationChosen, this, [this](const Station& station) {
    if (WorldMapView* map = activeMap()) map->goToStation(station);
  });
  connect(&state.stations(), &StationService::catalogueChanged, goTo, [this] { goTo->setCatalogue(state.catalogue()); });
  addToolBar(Qt::TopToolBarArea, tools);

  QAction* toolbarToggle = tools->toggleViewAction();
  toolbarToggle->setText(tr("&Toolbar"));
  toolbarToggle->setStatusTip(tr("Show or hide the toolbar"));
  auto* statusToggle = new QAction(tr("&Status Bar"), this);
  statusToggle->setCheckable(true);
  statusToggle->setStatusTip(tr("Show or hide the status bar"));
  connect(statusToggle, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
  auto viewMenu = [&](std::initializer_list<QAction*> commands) {
    auto* menu = new QMenu(tr("&View"), this);
    menu->addActions({toolbarToggle, statusToggle});
    menu->addSeparator();
    for (QAction* command : commands) menu->addAction(command);
    connect(menu, &QMenu::aboutToShow, this, [this, statusToggle] {
      statusToggle->setChecked(statusBar()->isVisible());
      updateActions();
    });
    return menu;
  };
  frameViewMenu = viewMenu({findChild<QAction*>(QStringLiteral("worldMapAction")), watchedStationsAction, minimaAction});
  childViewMenu = viewMenu({mapActions->markAllStations, showAllStationsAction, parametersAction, findStationAction,
                            watchedStationsAction, minimaAction});
  childViewMenu->addSeparator();
  childViewMenu->addActions({mapActions->currentWeather, mapActions->temperatureColouring});
  childViewMenu->addMenu(new MapFilterMenu(state.settingsService(), this));
  childViewMenu->addSeparator();
  childViewMenu->addActions(mapActions->zoom);
  // What a chart window shows beside its chart.
  childViewMenu->addSeparator();
  childViewMenu->addAction(new AviationPanelAction(state.settingsService(), this));
  childViewMenu->addAction(chartActions->showReports);
  for (QMenu* menu : {frameViewMenu, childViewMenu}) {
    menu->addSeparator();
    menu->addAction(watchTray->quietAction());
  }

  windowMenu = area->makeWindowMenu(this);

  helpMenu = new QMenu(tr("&Help"), this);
  helpMenu->addAction(findChild<QAction*>(QStringLiteral("helpTopicsAction")));
  helpMenu->addSeparator();
  helpMenu->addAction(findChild<QAction*>(QStringLiteral("aboutAction")));
}

QMdiSubWindow* MainWindow::addChild(QWidget* view, const std::string& title, QSize clientSize, bool centred) {
  QMdiSubWindow* child = area->addChild(view, toQString(title), clientSize, centred);
  connect(child, &QObject::destroyed, this, [this] {
    // The last child gone: the frame's own menu comes back.
    QTimer::singleShot(0, this, [this] {
      if (area->subWindowList().isEmpty()) showMenuSet(true);
      updateActions();
      updateTitle();
    });
  });
  connect(child, &QWidget::windowTitleChanged, this, &MainWindow::updateTitle);
  return child;
}

WorldMapView* MainWindow::openWorldMap() {
  newOpensWorldMap = false;
  auto* view = new WorldMapView(state, *this);
  connect(view, &WorldMapView::stationActivated, this, &MainWindow::openStationChart);
  connect(view, &WorldMapView::nearestRequested, finder, &StationFinder::nearest);
  view->setWatchToggle(&watchToggle);
  // A world map closed: New opens a world map again.
  connect(view, &QObject::destroyed, this, [this] { newOpensWorldMap = true; });
  addChild(view, fromQString(tr("World Map")), kWorldMapSize, false);
  return view;
}

StationTableView* MainWindow::openStationTable(const std::string& title, std::shared_ptr<const StationList> rows,
                                               QSize clientSize) {
  newOpensWorldMap = false;
  BusyScope busy(*this);
  const bool wholeCatalogue = rows == state.catalogue();
  auto* view = new StationTableView(sortState, *this, std::move(rows));
  // A new station list (Update Station List) reaches the table by the stations' signal.
  connect(&state.stations(), &StationService::catalogueChanged, view, [this, view, wholeCatalogue] {
    view->replaceStations(rowsUnderNewCatalogue(view->stations(), wholeCatalogue, state.catalogue()));
  });
  connect(view, &StationTableView::stationActivated, this, &MainWindow::openStationChart);
  connect(view, &StationTableView::findRequested, finder, &StationFinder::find);
  view->setWatchToggle(&watchToggle);
  addChild(view, title, clientSize, false);
  return view;
}

StationTableView* MainWindow::openAllStationsTable() {
  return openStationTable(fromQString(tr("All stations")), state.catalogue(), kAllStationsTableSize);
}

StationTableView* MainWindow::openResultTable(StationList rows) {
  StationTableView* view =
      openStationTable(fromQString(tr("Nearest stations")), std::make_shared<const StationList>(std::move(rows)), kResultTableSize);
  view->focusFirstRow();
  return view;
}

BrowserView* MainWindow::openBrowser(const QString& url) {
  auto* view = new BrowserView(url);
  addChild(view, fromQString(url), QSize(), false);
  return view;
}

BrowserView* MainWindow::openHelp(const QString& page) {
  // One manual window: a second call turns its page.
  for (QMdiSubWindow* child : area->subWindowList()) {
    auto* help = qobject_cast<BrowserView*>(child->widget());
    if (help == nullptr || !isHelpPage(QUrl(help->url()))) continue;
    help->open(helpPageUrl(page).toString());
    area->setActiveSubWindow(child);
    return help;
  }
  auto* view = new BrowserView(helpPageUrl(page).toString());
  QMdiSubWindow* child = addChild(view, fromQString(view->pageTitle()), kHelpWindowSize, false);
  connect(view, &BrowserView::pageChanged, child, &QMdiSubWindow::setWindowTitle);
  return view;
}

WatchStationsView* MainWindow::openWatchedStations() {
  if (watchView != nullptr) {
    area->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(watchView->parentWidget()));
    watchView->setFocus();
    return watchView;
  }
  WatchService& watch = state.watchService();
  auto* view = new WatchStationsView(state.catalogue());
  watchView = view;
  view->setRows(watch.rows());
  connect(&watch, &WatchService::rowsChanged, view, [view, &watch] { view->setRows(watch.rows()); });
  connect(&watch, &WatchService::listChanged, view, [view, &watch] { view->setRows(watch.rows()); });
  connect(&state.stations(), &StationService::catalogueChanged, view, [this, view] { view->setCatalogue(state.catalogue()); });
  connect(view, &WatchStationsView::addRequested, this, [this, &watch](const std::string& icao) {
    watch.add(icao);
    setStatusText(icao + " is watched");
  });
  connect(view, &WatchStationsView::removeRequested, &watch, &WatchService::remove);
  connect(view, &WatchStationsView::stationActivated, this, &MainWindow::openStationChart);
  connect(view, &WatchStationsView::minimaRequested, this, &MainWindow::editPersonalMinima);
  connect(view, &QObject::destroyed, this, [this] { watchView = nullptr; });
  addChild(view, "Watched stations", kWatchedStationsSize, false);
  view->setFocus();
  return view;
}

void MainWindow::editPersonalMinima() {
  WatchService& watch = state.watchService();
  MinimaSet minima = watch.minima();
  if (editMinima(this, minima, shownUnits(state.settings()).visibility)) watch.setMinima(std::move(minima));
}

void MainWindow::openStationChart(const Station& station) {
  newOpensWorldMap = false;
  lastStation = station;
  opener->open(station);
}

void MainWindow::adoptChart(std::unique_ptr<StationChartView>& handed) {
  // Closing: the chart is dropped with its handing over.
  if (closed) return;
  StationChartView* view = handed.release();
  const Station opened = view->chartModel().station();
  connect(view, &StationChartView::statusChanged, this, [this, view] {
    if (activeView() == view) showActiveStatus();
  });
  connect(view, &StationChartView::chartClosed, this, [this](const Station& station) {
    state.stations().addRecent(station.name);
    state.stations().removeOpenStation(station.icao);
  });
  view->setWatchToggle(&watchToggle);
  addChild(view, opened.name, kStationChartSize, true);
  state.stations().addOpenStation(opened);
  state.stations().addRecent(opened.name);
  emit stationChartOpened(view);
}

QWidget* MainWindow::activeView() const { return area->activeView(); }

ChildView* MainWindow::activeChild() const { return dynamic_cast<ChildView*>(activeView()); }

ChildView* MainWindow::offering(ChildView::Command command) const {
  ChildView* child = activeChild();
  return child != nullptr && child->offers(command) ? child : nullptr;
}

WorldMapView* MainWindow::activeMap() const { return qobject_cast<WorldMapView*>(activeView()); }

void MainWindow::updateActions() {
  using Command = ChildView::Command;
  mapActions->update(activeMap(), state.settings().reportSource == ReportSource::kLiveMetar);
  chartActions->update(qobject_cast<StationChartView*>(activeView()));
  goTo->setEnabled(activeMap() != nullptr);
  parametersAction->setEnabled(offering(Command::kParameters) != nullptr);
  showAllStationsAction->setEnabled(offering(Command::kParameters) != nullptr);
  findStationAction->setEnabled(offering(Command::kFind) != nullptr);
  printAction->setEnabled(offering(Command::kPrint) != nullptr);
  printPreviewAction->setEnabled(offering(Command::kPrint) != nullptr);
}

void MainWindow::onNew() {
  if (newOpensWorldMap) {
    openWorldMap();
    newOpensWorldMap = true;
  } else {
    openStationChart(lastStation);
  }
}

void MainWindow::onParameters() {
  ChildView* child = offering(ChildView::Command::kParameters);
  Settings edited = state.settings();
  const ReportSources::StoreLimits kept = state.sources().storeLimits();
  // The box holds up to a terabyte: a larger limit stays unless changed.
  StoreLimits shown{kept.retentionDays, static_cast<int>(std::min<long long>(kept.sizeLimitMegabytes, 1024 * 1024)),
                    kept.usage};
  StoreLimits store = shown;
  if (child == nullptr || !showParametersDialog(this, child->parametersChart(), edited, &store)) return;
  state.applySettings(edited);
  if (store.retentionDays != shown.retentionDays || store.sizeLimitMegabytes != shown.sizeLimitMegabytes)
    state.sources().setStoreLimits(store.retentionDays, store.sizeLimitMegabytes);
}

void MainWindow::onFindStation() {
  if (ChildView* child = offering(ChildView::Command::kFind))
    finder->find(child->ownStations() != nullptr ? *child->ownStations() : state.allStations());
}

void MainWindow::onPrint(bool preview) {
  if (ChildView* child = offering(ChildView::Command::kPrint))
    runPrintDialog(this, preview, [child](QPainter& painter) { child->print(painter); });
}

void MainWindow::showActiveStatus() {
  ChildView* child = activeChild();
  setStatusText(child != nullptr ? child->statusText() : readyText());
}

void MainWindow::showMenuSet(bool frameMenu) {
  if (menuShownOnce && frameMenu == frameMenuShown) return;
  menuShownOnce = true;
  frameMenuShown = frameMenu;
  QMenuBar* bar = menuBar();
  bar->clear();
  bar->addMenu(fileMenu);
  bar->addMenu(frameMenu ? frameViewMenu : childViewMenu);
  if (!frameMenu) bar->addMenu(windowMenu);
  bar->addMenu(helpMenu);
}

void MainWindow::updateTitle() {
  QString title = QStringLiteral("Nimbrel");
  if (QMdiSubWindow* child = area->activeSubWindow(); child != nullptr && !child->windowTitle().isEmpty())
    title += QStringLiteral(" - ") + child->windowTitle();
  setWindowTitle(title);
}

void MainWindow::closeAllChildren() {
  // Closed, not deleted: charts write their export and say if it failed.
  for (QMdiSubWindow* sub : area->subWindowList()) {
    sub->close();
    delete sub;
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Kept running in the tray: the charts stay open and the watch goes on.
  if (watchTray->hidesOnClose()) {
    hide();
    event->ignore();
    return;
  }
  // Charts still open do their closing work first: each puts its station
  // back on top of the recent list, which is then saved.
  if (!std::exchange(closed, true)) {
    opener->cancelAll();
    closeAllChildren();
    if (!state.recentList().writeList()) setStatusText(fromQString(tr("Can not save the list of recent stations.")));
  }
  QMainWindow::closeEvent(event);
}

void MainWindow::showMessage(const std::string& text) {
  if (messageHook) {
    messageHook(text);
    return;
  }
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Nimbrel"), toQString(text), QMessageBox::Ok, this);
  box.exec();
}

void MainWindow::showInformation(const std::string& text) {
  if (messageHook) {
    messageHook(text);
    return;
  }
  QMessageBox box(QMessageBox::Information, QStringLiteral("Nimbrel"), toQString(text), QMessageBox::Ok, this);
  box.exec();
}

void MainWindow::setStatusText(const std::string& text) { messagePane->setText(toQString(text)); }

}  // namespace nimbrel
