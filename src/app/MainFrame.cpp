#include "app/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <cstdio>

#include "app/ChildFrame.h"
#include "app/DocTemplate.h"
#include "app/Icons.h"
#include "app/NimbrelApp.h"
#include "app/RecentFileList.h"
#include "app/View.h"
#include "platform/ViewKind.h"
#include "platform/qt/QtText.h"

namespace nimbrel {
namespace {

CMainFrame* theMainFrame = nullptr;

struct CommandText {
  int id;
  const char* menuText;
  const char* statusText;
  const char* toolTip;
};

// Menu texts, status-bar prompts and tooltips of the commands.
constexpr CommandText kCommands[] = {
    {ID_WORLD_MAP, "World Map", "Show World Map", "Show World Map"},
    {ID_SHOW_PARAMETERS, "Parameters", "Show Parameters Dialog", "Show Parameters Dialog"},
    {ID_MARK_ALL_STATIONS, "Mark all stations", "Mark all stations", "Mark all stations"},
    {ID_SHOW_ALL_STATIONS, "Show all stations", "Show all stations", "Show all stations table"},
    {ID_FIND_STATION, "Find station", "Find station", "Find station"},
};

// The commands the active view decides on.
constexpr int kViewCommands[] = {ID_SHOW_PARAMETERS, ID_MARK_ALL_STATIONS, ID_SHOW_ALL_STATIONS,
                                 ID_FIND_STATION, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW};

}  // namespace

std::function<void(const std::string&)> CMainFrame::messageHook;

CMainFrame* GetMainFrame() { return theMainFrame; }

CMainFrame::CMainFrame(std::unique_ptr<IPageFetcher> pageFetcher, CRecentFileList* recentList)
    : fetcher(std::move(pageFetcher)), recentList(recentList) {
  theMainFrame = this;
  SetDefaultSettings(currentRecord);

  catalogue.fetcher = fetcher.get();
  catalogue.mainFrame = this;
  catalogue.currentRecord = &currentRecord;
  catalogue.stations = &allStations;

  openStations.RemoveAll();
  resultStations.RemoveAll();
  allStations.RemoveAll();
  {
    CWaitCursor wait(*this);
    catalogue.LoadStations(true);
  }
  nextViewKind = kWorldMap;

  setWindowIcon(ProgramIcon());
  resize(800, 800);
  mdiArea = new QMdiArea(this);
  mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdiArea);
  connect(mdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);

  CreateActions();
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();
  ShowMenu(128);
  UpdateCommandStates();
  UpdateTitle();

  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect area = screen->availableGeometry();
    move(area.center() - rect().center());
  }
}

CMainFrame::~CMainFrame() {
  // Child windows do their closing work while the lists still exist.
  CloseAllChildren();
  allStations.RemoveAll();
  resultStations.RemoveAll();
  openStations.RemoveAll();
  if (theMainFrame == this) theMainFrame = nullptr;
}

void CMainFrame::CreateActions() {
  for (const CommandText& c : kCommands) {
    auto* action = new QAction(QString::fromLatin1(c.menuText), this);
    action->setStatusTip(QString::fromLatin1(c.statusText));
    action->setToolTip(QString::fromLatin1(c.toolTip));
    if (c.id != ID_WORLD_MAP) action->setIcon(ToolbarIcon(c.id));
    actions[c.id] = action;
  }
  connect(actions[ID_WORLD_MAP], &QAction::triggered, this, &CMainFrame::OnWorldMap);
  actions[ID_MARK_ALL_STATIONS]->setCheckable(true);
  for (int id : {ID_SHOW_PARAMETERS, ID_MARK_ALL_STATIONS, ID_SHOW_ALL_STATIONS, ID_FIND_STATION}) {
    connect(actions[id], &QAction::triggered, this, [this, id] { RouteCommand(id); });
  }

  auto* newAction = new QAction(QStringLiteral("&New"), this);
  newAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  newAction->setShortcutContext(Qt::ApplicationShortcut);
  connect(newAction, &QAction::triggered, this, &CMainFrame::OnNewDocument);
  addAction(newAction);
  actions[ID_FILE_NEW] = newAction;

  auto* printAction = new QAction(QStringLiteral("&Print..."), this);
  printAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  printAction->setShortcutContext(Qt::ApplicationShortcut);
  connect(printAction, &QAction::triggered, this, [this] { RouteCommand(ID_FILE_PRINT); });
  addAction(printAction);
  actions[ID_FILE_PRINT] = printAction;

  auto* previewAction = new QAction(QStringLiteral("Print Pre&view"), this);
  connect(previewAction, &QAction::triggered, this, [this] { RouteCommand(ID_FILE_PRINT_PREVIEW); });
  actions[ID_FILE_PRINT_PREVIEW] = previewAction;

  auto* closeAction = new QAction(QStringLiteral("&Close"), this);
  closeAction->setStatusTip(QStringLiteral("Close the active window"));
  connect(closeAction, &QAction::triggered, this, [this] { mdiArea->closeActiveSubWindow(); });
  actions[ID_FILE_CLOSE] = closeAction;

  auto* exitAction = new QAction(QStringLiteral("E&xit"), this);
  exitAction->setStatusTip(QStringLiteral("Quit the application"));
  connect(exitAction, &QAction::triggered, this, &QWidget::close);
  actions[ID_APP_EXIT] = exitAction;

  auto* aboutAction = new QAction(QStringLiteral("&About Nimbrel..."), this);
  aboutAction->setStatusTip(QStringLiteral("Display program information and version"));
  connect(aboutAction, &QAction::triggered, this, [this] { ShowAboutBox(this); });
  actions[ID_APP_ABOUT] = aboutAction;
}

void CMainFrame::CreateMenus() {
  fileMenu = new QMenu(QStringLiteral("&File"), this);
  recentSeparator = fileMenu->addSeparator();
  fileMenu->addAction(actions[ID_FILE_CLOSE]);
  fileMenu->addAction(actions[ID_APP_EXIT]);
  connect(fileMenu, &QMenu::aboutToShow, this, [this] {
    actions[ID_FILE_CLOSE]->setEnabled(mdiArea->activeSubWindow() != nullptr);
  });
  RebuildRecentMenu();

  auto addBarToggles = [this](QMenu* menu) {
    QAction* toolbarToggle = menu->addAction(QStringLiteral("&Toolbar"));
    toolbarToggle->setCheckable(true);
    toolbarToggle->setStatusTip(QStringLiteral("Show or hide the toolbar"));
    connect(toolbarToggle, &QAction::toggled, this, [this](bool on) {
      if (toolBar != nullptr) toolBar->setVisible(on);
    });
    QAction* statusToggle = menu->addAction(QStringLiteral("&Status Bar"));
    statusToggle->setCheckable(true);
    statusToggle->setStatusTip(QStringLiteral("Show or hide the status bar"));
    connect(statusToggle, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
    connect(menu, &QMenu::aboutToShow, this, [this, toolbarToggle, statusToggle] {
      toolbarToggle->setChecked(toolBar != nullptr && toolBar->isVisible());
      statusToggle->setChecked(statusBar()->isVisible());
      UpdateCommandStates();
    });
    menu->addSeparator();
  };

  viewMenu128 = new QMenu(QStringLiteral("&View"), this);
  addBarToggles(viewMenu128);
  viewMenu128->addAction(actions[ID_WORLD_MAP]);

  viewMenu129 = new QMenu(QStringLiteral("&View"), this);
  addBarToggles(viewMenu129);
  for (int id : {ID_MARK_ALL_STATIONS, ID_SHOW_ALL_STATIONS, ID_SHOW_PARAMETERS, ID_FIND_STATION}) {
    viewMenu129->addAction(actions[id]);
  }

  windowMenu = new QMenu(QStringLiteral("&Window"), this);
  QAction* cascade = windowMenu->addAction(QStringLiteral("&Cascade"));
  cascade->setStatusTip(QStringLiteral("Arrange windows so they overlap"));
  connect(cascade, &QAction::triggered, mdiArea, &QMdiArea::cascadeSubWindows);
  QAction* tile = windowMenu->addAction(QStringLiteral("&Tile"));
  tile->setStatusTip(QStringLiteral("Arrange windows as non-overlapping tiles"));
  connect(tile, &QAction::triggered, mdiArea, &QMdiArea::tileSubWindows);
  QAction* arrange = windowMenu->addAction(QStringLiteral("&Arrange Icons"));
  arrange->setStatusTip(QStringLiteral("Arrange icons at the bottom of the window"));
  connect(arrange, &QAction::triggered, this, &CMainFrame::ArrangeIcons);

  helpMenu = new QMenu(QStringLiteral("&Help"), this);
  QAction* topics = helpMenu->addAction(QStringLiteral("&Help Topics"));
  topics->setEnabled(false);  // no help file ships with the program
  helpMenu->addSeparator();
  helpMenu->addAction(actions[ID_APP_ABOUT]);
}

void CMainFrame::CreateToolBar() {
  toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
  toolBar->setObjectName(QStringLiteral("toolBar"));
  toolBar->setIconSize(QSize(17, 18));
  toolBar->setMovable(true);
  toolBar->setAllowedAreas(Qt::AllToolBarAreas);
  for (int id : {ID_SHOW_PARAMETERS, ID_MARK_ALL_STATIONS, ID_SHOW_ALL_STATIONS, ID_FIND_STATION}) {
    toolBar->addAction(actions[id]);
  }
  addToolBar(Qt::TopToolBarArea, toolBar);
}

void CMainFrame::CreateStatusBar() {
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
  // Menu and toolbar prompts go to the message pane, as status texts do.
  connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& text) {
    messagePane->setVisible(text.isEmpty());
  });
}

void CMainFrame::ShowMessage(const std::string& text) {
  if (messageHook) {
    messageHook(text);
    return;
  }
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Nimbrel"), ToQString(text), QMessageBox::Ok, this);
  box.exec();
}

void CMainFrame::SetStatusText(const std::string& text) {
  // Shown at the next paint: a status text may be set while a view paints.
  if (messagePane != nullptr) messagePane->setText(ToQString(text));
}

QString CMainFrame::StatusText() const { return messagePane != nullptr ? messagePane->text() : QString(); }

void CMainFrame::BeginWaitCursor() {
  if (waitCount++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CMainFrame::EndWaitCursor() {
  if (waitCount <= 0) return;
  if (--waitCount == 0) QApplication::restoreOverrideCursor();
}

bool CMainFrame::OpenWindow(int kind, const std::string& title) {
  CNimbrelApp* app = GetApp();
  if (app == nullptr) return false;
  CDocTemplate* docTemplate = (kind == kResultTable || kind == kAllStationsTable) ? app->tableTemplate : app->viewTemplate;
  nextViewKind = kind;
  CNimbrelDoc* doc = docTemplate != nullptr ? docTemplate->OpenDocumentFile() : nullptr;
  if (doc != nullptr && !title.empty()) doc->SetTitle(title);
  nextViewKind = kStationGraph;
  return doc != nullptr;
}

void CMainFrame::AddToRecentList(const std::string& name) {
  if (recentList == nullptr) return;
  // Written back when the program ends, with the rest of its settings.
  recentList->Add(ToQString(name));
  RebuildRecentMenu();
}

std::time_t CMainFrame::CurrentTime() { return std::time(nullptr); }

CChildFrame* CMainFrame::AddChildFrame(std::unique_ptr<CChildFrame> child) {
  CChildFrame* frame = child.release();
  mdiArea->addSubWindow(frame);
  connect(frame->GetDocument(), &CNimbrelDoc::titleChanged, this, &CMainFrame::UpdateTitle);
  connect(frame, &QObject::destroyed, this, [this] {
    // The last child window gone: the frame's own menu comes back.
    QTimer::singleShot(0, this, [this] {
      if (mdiArea->subWindowList().isEmpty()) ShowMenu(128);
      UpdateCommandStates();
      UpdateTitle();
    });
  });
  if (!firstPaintSeen && firstPaintWatched.isNull() && frame->widget() != nullptr) {
    firstPaintWatched = frame->widget();
    frame->widget()->installEventFilter(this);
  }
  return frame;
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Paint && watched == firstPaintWatched) {
    watched->removeEventFilter(this);
    firstPaintWatched = nullptr;
    firstPaintSeen = true;
    // Once the first window is on the screen, the station list left for its
    // first use is read (start-up timing reads the "first paint" line).
    QTimer::singleShot(0, this, [this] {
      if (quitAfterFirstPaint) {
        std::fputs("first paint\n", stdout);
        std::fflush(stdout);
      }
      allStations.GetSize();
      if (quitAfterFirstPaint) QCoreApplication::quit();
    });
  }
  return QMainWindow::eventFilter(watched, event);
}

CChildFrame* CMainFrame::ActiveChildFrame() const {
  return qobject_cast<CChildFrame*>(mdiArea->activeSubWindow());
}

CView* CMainFrame::ActiveView() const {
  CChildFrame* child = ActiveChildFrame();
  return child != nullptr ? child->GetView() : nullptr;
}

QAction* CMainFrame::CommandAction(int id) const {
  auto it = actions.find(id);
  return it != actions.end() ? it->second : nullptr;
}

void CMainFrame::CloseAllChildren() {
  if (mdiArea == nullptr) return;
  for (QMdiSubWindow* sub : mdiArea->subWindowList()) delete sub;
}

void CMainFrame::RouteCommand(int id) {
  UpdateCommandStates();
  if (CView* view = ActiveView()) view->OnCommand(id);
  UpdateCommandStates();
}

void CMainFrame::UpdateCommandStates() {
  CView* view = ActiveView();
  for (int id : kViewCommands) {
    QAction* action = actions[id];
    CCmdUI ui;
    const bool handled = view != nullptr && view->OnUpdateCommand(id, ui);
    action->setEnabled(handled && ui.enabled);
    if (action->isCheckable()) action->setChecked(handled && ui.checked);
  }
}

void CMainFrame::OnNewDocument() {
  CNimbrelApp* app = GetApp();
  if (app != nullptr && app->viewTemplate != nullptr) app->viewTemplate->OpenDocumentFile();
}

void CMainFrame::OnWorldMap() { OpenWindow(kWorldMap, ""); }

void CMainFrame::OnSubWindowActivated() {
  if (CChildFrame* child = ActiveChildFrame()) {
    // Only a map or chart window brings its own menu; tables leave it as it is.
    if (child->GetTemplate() != nullptr && child->GetTemplate()->ResourceId() == 129) ShowMenu(129);
  } else if (mdiArea->subWindowList().isEmpty()) {
    ShowMenu(128);
  }
  UpdateCommandStates();
  UpdateTitle();
}

void CMainFrame::ShowMenu(int menuId) {
  if (menuId == currentMenu) return;
  currentMenu = menuId;
  QMenuBar* bar = menuBar();
  bar->clear();
  bar->addMenu(fileMenu);
  if (menuId == 129) {
    bar->addMenu(viewMenu129);
    bar->addMenu(windowMenu);
  } else {
    bar->addMenu(viewMenu128);
  }
  bar->addMenu(helpMenu);
}

void CMainFrame::RebuildRecentMenu() {
  if (recentList == nullptr) return;
  // One action per place in the list, made once; a change only renames them.
  if (recentActions.isEmpty()) {
    for (int i = 0; i < CRecentFileList::kMaxEntries; ++i) {
      auto* action = new QAction(this);
      action->setStatusTip(QStringLiteral("Open this station"));
      connect(action, &QAction::triggered, this, [this, i] {
        const QStringList& names = this->recentList->Entries();
        if (i >= names.size()) return;
        if (CNimbrelApp* app = GetApp()) app->OpenStationByName(FromQString(names.at(i)));
      });
      fileMenu->insertAction(recentSeparator, action);
      recentActions.append(action);
    }
  }
  const QStringList& entries = recentList->Entries();
  for (int i = 0; i < recentActions.size(); ++i) {
    QAction* action = recentActions.at(i);
    const bool used = i < entries.size();
    action->setVisible(used);
    if (!used) continue;
    const QString shown = CRecentFileList::DisplayName(entries.at(i));
    action->setText(i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(shown) : QStringLiteral("%1 %2").arg(i + 1).arg(shown));
  }
  recentSeparator->setVisible(!entries.isEmpty());
}

void CMainFrame::UpdateTitle() {
  QString title = QStringLiteral("Nimbrel");
  if (CChildFrame* child = ActiveChildFrame()) {
    const std::string& docTitle = child->GetDocument()->GetTitle();
    if (!docTitle.empty()) title += QStringLiteral(" - ") + ToQString(docTitle);
  }
  setWindowTitle(title);
}

void CMainFrame::ArrangeIcons() {
  int x = 0;
  const int bottom = mdiArea->viewport()->height();
  for (QMdiSubWindow* sub : mdiArea->subWindowList()) {
    if (!sub->isMinimized()) continue;
    sub->move(x, bottom - sub->height());
    x += sub->width();
  }
}

}  // namespace nimbrel
