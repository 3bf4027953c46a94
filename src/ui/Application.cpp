#include "ui/Application.h"

#include <QSettings>
#include <clocale>
#include <cstdio>
#include <exception>

#include "ui/Icons.h"
#include "ui/QtText.h"

namespace nimbrel {

CommandLine parseCommandLine(const QStringList& arguments) {
  CommandLine result;
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
  if (!positional.isEmpty()) result.stationName = fromQString(positional.first());  // the catalogue holds Windows-1252 bytes
  return result;
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setOrganizationName(QStringLiteral("Quillfen"));
  setApplicationName(QStringLiteral("Nimbrel"));
  // Child windows show the program's icon in their title bars.
  setWindowIcon(programIcon());
  // Qt adopts the user's locale; the program's texts are written with the C
  // library's "%.2f" and read with atof rules, which want a decimal point.
  std::setlocale(LC_NUMERIC, "C");
}

bool Application::notify(QObject* receiver, QEvent* event) {
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
