#pragma once
// The application object: start-up, the three document templates and the
// recent list. One exists while the program runs.
#include <QApplication>
#include <QStringList>
#include <memory>
#include <string>

#include "app/RecentFileList.h"

class QWidget;

namespace nimbrel {

class CDocTemplate;
class CMainFrame;
class CView;

// Options of the command line.
struct CCommandLine {
  std::string serviceHost;   // --service-host HOST[:PORT]
  std::string stationName;   // a single argument: the station to open
  bool quitAfterFirstPaint = false;  // --quit-after-first-paint (start-up timing)
  bool valid = true;
  std::string error;
};
CCommandLine ParseCommandLine(const QStringList& arguments);

class CNimbrelApp {
 public:
  CNimbrelApp();
  ~CNimbrelApp();
  CNimbrelApp(const CNimbrelApp&) = delete;
  CNimbrelApp& operator=(const CNimbrelApp&) = delete;

  // Starts the program: templates, main frame, the first window. Returns
  // false when the program is to end.
  bool InitInstance(const CCommandLine& commandLine);
  // Writes the recent list back; the windows close with the main frame.
  void ExitInstance();

  // The open-by-name path of the recent list and the command line.
  void OpenStationByName(const std::string& name);

  CDocTemplate* viewTemplate = nullptr;
  CDocTemplate* browserTemplate = nullptr;
  CDocTemplate* tableTemplate = nullptr;

  CMainFrame* MainFrame() const { return mainFrame.get(); }
  CRecentFileList& RecentList() { return recentList; }

 private:
  std::unique_ptr<CDocTemplate> templates[3];
  CRecentFileList recentList;
  std::unique_ptr<CMainFrame> mainFrame;
  bool exited = false;
};

CNimbrelApp* GetApp();

// The about box: "About Nimbrel", the icon, "Nimbrel Version 1.0" and OK.
void ShowAboutBox(QWidget* parent);

// A QApplication that keeps running when an event handler throws: the
// exception is caught where the event was delivered and reported on stderr.
class CGuardedApplication : public QApplication {
 public:
  CGuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace nimbrel
