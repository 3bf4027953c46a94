#include "app/NimbrelApp.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <cstdio>
#include <exception>

#include "app/AppStyle.h"
#include "app/DocTemplate.h"
#include "app/Icons.h"
#include "app/MainFrame.h"
#include "app/NimbrelDoc.h"
#include "app/PageFetcherFactory.h"
#include "views/HtmlView.h"
#include "views/ListViewStations.h"
#include "views/NimbrelView.h"

namespace nimbrel {
namespace {

CNimbrelApp* theApp = nullptr;

}  // namespace

CNimbrelApp* GetApp() { return theApp; }

CCommandLine ParseCommandLine(const QStringList& arguments) {
  CCommandLine result;
  QStringList positional;
  for (int i = 1; i < arguments.size(); ++i) {
    const QString& arg = arguments.at(i);
    if (arg == QLatin1String("--service-host")) {
      if (i + 1 >= arguments.size()) {
        result.valid = false;
        result.error = "--service-host needs HOST[:PORT]";
        return result;
      }
      result.serviceHost = arguments.at(++i).toStdString();
    } else if (arg.startsWith(QLatin1String("--service-host="))) {
      result.serviceHost = arg.mid(15).toStdString();
    } else if (arg == QLatin1String("--quit-after-first-paint")) {
      result.quitAfterFirstPaint = true;
    } else if (arg.startsWith(QLatin1String("--"))) {
      result.valid = false;
      result.error = "unknown option " + arg.toStdString();
      return result;
    } else {
      positional.append(arg);
    }
  }
  if (positional.size() > 1) {
    result.valid = false;
    result.error = "give at most one station name";
    return result;
  }
  if (!positional.isEmpty()) result.stationName = positional.first().toLocal8Bit().toStdString();
  return result;
}

CNimbrelApp::CNimbrelApp() { theApp = this; }

CNimbrelApp::~CNimbrelApp() {
  ExitInstance();
  mainFrame.reset();
  if (theApp == this) theApp = nullptr;
}

bool CNimbrelApp::InitInstance(const CCommandLine& commandLine) {
  QApplication::setOrganizationName(QStringLiteral("Quillfen"));
  QApplication::setApplicationName(QStringLiteral("Nimbrel"));
  QApplication::setStyle(new CAppStyle);
  // Child windows show the program's icon in their title bars (instead of
  // the toolkit's logo, which is decoded and scaled for each new window).
  QApplication::setWindowIcon(ProgramIcon());
  recentList.ReadList();

  templates[0] = std::make_unique<CDocTemplate>(129, [] { return new CNimbrelView(); });
  templates[1] = std::make_unique<CDocTemplate>(500, [] { return new CHtmlView_(); });
  templates[2] = std::make_unique<CDocTemplate>(501, [] { return new CListView_Stations(); });
  viewTemplate = templates[0].get();
  browserTemplate = templates[1].get();
  tableTemplate = templates[2].get();

  mainFrame = std::make_unique<CMainFrame>(MakePageFetcher(), &recentList);
  if (!commandLine.serviceHost.empty()) mainFrame->catalogue.serviceHost = commandLine.serviceHost;
  mainFrame->SetQuitAfterFirstPaint(commandLine.quitAfterFirstPaint);

  // The first window: a world map, as the main frame left the next kind at 0.
  viewTemplate->OpenDocumentFile();
  if (!commandLine.stationName.empty()) OpenStationByName(commandLine.stationName);

  mainFrame->show();
  return true;
}

void CNimbrelApp::ExitInstance() {
  if (exited) return;
  exited = true;
  // Windows still open do their closing work first: a chart puts its
  // station back on top of the recent list, which is then saved.
  if (mainFrame) mainFrame->CloseAllChildren();
  recentList.WriteList();
}

void CNimbrelApp::OpenStationByName(const std::string& name) {
  if (!mainFrame) return;
  CNimbrelDoc document;
  document.mainFrame = mainFrame.get();
  document.OnOpenDocument(name);
}

void ShowAboutBox(QWidget* parent) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("About Nimbrel"));
  auto* icon = new QLabel(&dialog);
  icon->setPixmap(ProgramIcon().pixmap(32, 32));
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

bool CGuardedApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "nimbrel: an event handler failed: %s\n", error.what());
  } catch (...) {
    std::fprintf(stderr, "nimbrel: an event handler failed\n");
  }
  return false;
}

}  // namespace nimbrel
