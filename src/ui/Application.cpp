#include "ui/Application.h"

#include <QCommandLineParser>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QTimer>
#include <QVBoxLayout>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QDesktopServices>
#include <QUrl>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>

#include "base/Settings.h"
#include "catalog/StationListLocation.h"
#include "ui/Icons.h"
#include "services/QtText.h"

namespace nimbrel {

CommandLine parseCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Nimbrel, a viewer of surface weather observations."));
  const QCommandLineOption helpOption = parser.addHelpOption();
  const QCommandLineOption versionOption = parser.addVersionOption();
  const QCommandLineOption hostOption(QStringLiteral("service-host"),
                                      QStringLiteral("The weather service that report pages come from."),
                                      QStringLiteral("HOST[:PORT]"));
  QCommandLineOption quitOption(QStringLiteral("quit-after-first-paint"),
                                QStringLiteral("Quit once the first window has painted (start-up timing)."));
  // For the start-up benchmark, not for users.
  quitOption.setFlags(QCommandLineOption::HiddenFromHelp);
  const QCommandLineOption sourceOption(QStringLiteral("source"),
                                        QStringLiteral("Where charts get their reports: live METAR or the service host's "
                                                       "report pages (for this run)."),
                                        QStringLiteral("metar|pages"));
  const QCommandLineOption metarOption(
      QStringLiteral("metar-url"),
      QStringLiteral("The METAR service's address (default %1).").arg(QString::fromLatin1(kDefaultMetarUrl)),
      QStringLiteral("URL"));
  parser.addOption(hostOption);
  parser.addOption(sourceOption);
  parser.addOption(metarOption);
  parser.addOption(quitOption);
  parser.addPositionalArgument(QStringLiteral("STATION NAME"),
                               QStringLiteral("A station whose chart opens at start-up (quote a name with spaces)."),
                               QStringLiteral("[STATION NAME]"));

  CommandLine result;
  if (!parser.parse(arguments)) {
    result.valid = false;
    result.error = parser.errorText().toStdString();
    return result;
  }
  result.helpText = parser.helpText().toStdString();
  result.helpRequested = parser.isSet(helpOption) || parser.isSet(QStringLiteral("help-all"));
  result.versionRequested = parser.isSet(versionOption);
  result.serviceHost = parser.value(hostOption).toStdString();
  result.quitAfterFirstPaint = parser.isSet(quitOption);
  if (parser.isSet(sourceOption)) {
    result.source = reportSourceNamed(parser.value(sourceOption).toStdString());
    if (!result.source) {
      result.valid = false;
      result.error = "--source takes metar or pages";
      return result;
    }
  }
  result.metarUrl = parser.value(metarOption).toStdString();
  const QStringList positional = parser.positionalArguments();
  if (positional.size() > 1) {
    result.valid = false;
    result.error = "give at most one station name (quote a name with spaces)";
    return result;
  }
  // The catalogue holds Windows-1252 bytes, as the recent list does.
  if (!positional.isEmpty()) result.stationName = fromQString(positional.first());
  return result;
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setOrganizationName(QStringLiteral("Quillfen"));
  setApplicationName(QStringLiteral("Nimbrel"));
  setApplicationVersion(QStringLiteral(NIMBREL_VERSION));
  // Child windows show the program's icon in their title bars.
  setWindowIcon(programIcon());
  installTranslations(QLocale());
}

}  // namespace nimbrel

// Outside the namespace, as Qt's macro wants; the library is static, so its
// resources are brought in by hand.
static void initTranslationResources() { Q_INIT_RESOURCE(translations); }

namespace nimbrel {
namespace {

const char kTranslatorName[] = "nimbrelTranslator";

// Loads name_<language>.qm for the locale's first language that has one,
// from the first folder holding it. English is the program's own language:
// a user who puts it before others gets it.
QTranslator* loadTranslation(const QLocale& locale, const QString& name, const QStringList& folders) {
  for (const QString& language : locale.uiLanguages()) {
    const QLocale::Language spoken = QLocale(language).language();
    if (spoken == QLocale::English || spoken == QLocale::C) return nullptr;
    for (const QString& folder : folders) {
      auto translator = std::make_unique<QTranslator>();
      if (translator->load(QLocale(language), name, QStringLiteral("_"), folder)) return translator.release();
    }
  }
  return nullptr;
}

}  // namespace

bool installTranslations(const QLocale& locale) {
  initTranslationResources();
  QCoreApplication* application = QCoreApplication::instance();
  const QString translatorName = QString::fromLatin1(kTranslatorName);
  for (QTranslator* old : application->findChildren<QTranslator*>(translatorName, Qt::FindDirectChildrenOnly)) {
    QCoreApplication::removeTranslator(old);
    delete old;
  }
  auto install = [application, &translatorName](QTranslator* translator) {
    if (translator == nullptr) return false;
    translator->setParent(application);
    translator->setObjectName(translatorName);
    QCoreApplication::installTranslator(translator);
    return true;
  };
  // Qt's own words (standard buttons, file dialogs) too, when Qt has them.
  install(loadTranslation(locale, QStringLiteral("qtbase"), {QLibraryInfo::path(QLibraryInfo::TranslationsPath)}));
  // An installed translation first, so that a translator can try a new one.
  const std::filesystem::path installed =
      installedDataDir(QCoreApplication::applicationFilePath().toStdString()) / "translations";
  return install(loadTranslation(locale, QStringLiteral("nimbrel"),
                                 {QString::fromStdString(installed.string()), QStringLiteral(":/i18n")}));
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

void showAboutBox(QWidget* parent, const QString& storeLine, std::function<void()> openManual) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QCoreApplication::translate("AboutBox", "About Nimbrel"));
  auto* icon = new QLabel(&dialog);
  icon->setPixmap(programIcon().pixmap(32, 32));
  auto* text = new QLabel(
      QCoreApplication::translate("AboutBox", "Nimbrel Version %1").arg(QCoreApplication::applicationVersion()), &dialog);
  auto* store = new QLabel(storeLine, &dialog);
  store->setObjectName(QStringLiteral("aboutStore"));
  // Where it comes from and under what terms, each source named with its address.
  auto* sources = new QLabel(
      QCoreApplication::translate(
          "AboutBox",
          "Free software under the MIT License.<br>"
          "Weather reports and forecasts: the aviation weather service "
          "(<a href=\"https://aviationweather.gov\">aviationweather.gov</a>).<br>"
          "Map data: <a href=\"https://www.naturalearthdata.com\">Natural Earth</a> (public domain).<br>"
          "<a href=\"manual\">Nimbrel Help</a>"),
      &dialog);
  sources->setObjectName(QStringLiteral("aboutSources"));
  sources->setTextFormat(Qt::RichText);
  sources->setWordWrap(true);
  bool manualAsked = false;
  QObject::connect(sources, &QLabel::linkActivated, &dialog, [&](const QString& link) {
    if (link == QLatin1String("manual")) {
      manualAsked = true;
      dialog.accept();
    } else {
      QDesktopServices::openUrl(QUrl(link));
    }
  });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addWidget(icon);
  row->addSpacing(12);
  row->addWidget(text, 1);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addLayout(row);
  layout->addWidget(sources);
  layout->addWidget(store);
  layout->addWidget(buttons);
  dialog.exec();
  if (manualAsked && openManual) openManual();
}

namespace {

class FirstPaintProbe : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::Paint && widget != nullptr &&
        qobject_cast<QMdiSubWindow*>(widget->parentWidget()) != nullptr) {
      QCoreApplication::instance()->removeEventFilter(this);
      QTimer::singleShot(0, QCoreApplication::instance(), [] {
        std::fputs("first paint\n", stdout);
        std::fflush(stdout);
        QCoreApplication::quit();
      });
    }
    return false;
  }
};

}  // namespace

void quitAfterFirstChildPaint(QApplication& application) {
  application.installEventFilter(new FirstPaintProbe(&application));
}

}  // namespace nimbrel
