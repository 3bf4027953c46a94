#pragma once
#include <functional>
// The application object and the command line.
#include <QApplication>
#include <QLocale>
#include <QStringList>
#include <optional>
#include <string>

#include "base/Settings.h"

namespace nimbrel {

struct CommandLine {
  std::string serviceHost;          // --service-host HOST[:PORT]
  std::optional<ReportSource> source;  // --source metar|pages
  std::string metarUrl;             // --metar-url URL
  std::string stationName;          // a single argument: the station to open
  bool quitAfterFirstPaint = false;  // --quit-after-first-paint (start-up timing)
  bool helpRequested = false;        // --help
  bool versionRequested = false;     // --version
  std::string helpText;
  bool valid = true;
  std::string error;
};
CommandLine parseCommandLine(const QStringList& arguments);

// Keeps running when an event handler throws: the exception is caught where
// the event was delivered and reported on stderr. The one such guard.
class Application : public QApplication {
 public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the windows' texts in the locale's language, Qt's own words and the
// program's, where translations exist (German, French); otherwise, and for
// English, the program's own English. Replaces what an earlier call
// installed. True when the program's own translation was found.
bool installTranslations(const QLocale& locale);

// The about box: "About Nimbrel", the icon, "Nimbrel Version <version>",
// a line on the report store and OK.
// The about box: version, licence, data sources, the store's line and a
// link to the manual (openManual, called after the box closed).
void showAboutBox(QWidget* parent, const QString& storeLine, std::function<void()> openManual = {});

// For the start-up timing: once the first child window of the main window
// has painted, prints "first paint" and quits.
void quitAfterFirstChildPaint(QApplication& application);

}  // namespace nimbrel
