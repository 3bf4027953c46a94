#include "ui/HelpPages.h"

#include <QFile>

#include "ui/BrowserView.h"
#include "ui/StationChartView.h"
#include "ui/StationTableView.h"
#include "ui/WatchStationsView.h"
#include "ui/WorldMapView.h"

static void initManualResources() { Q_INIT_RESOURCE(manual); }

namespace nimbrel {

QString manualFolder() {
  static const bool registered = [] {
    initManualResources();
    return true;
  }();
  (void)registered;
  return QStringLiteral(":/manual");
}

QUrl helpPageUrl(const QString& page, const QLocale& locale) {
  manualFolder();
  const QString language = QLocale::languageToCode(locale.language());
  const QString translated = QStringLiteral("/manual/%1/%2").arg(language, page);
  if (language != QLatin1String("en") && QFile::exists(QLatin1Char(':') + translated))
    return QUrl(QStringLiteral("qrc") + QLatin1Char(':') + translated);
  return QUrl(QStringLiteral("qrc:/manual/en/") + page);
}

bool isHelpPage(const QUrl& url) {
  return url.scheme() == QLatin1String("qrc") && url.path().startsWith(QLatin1String("/manual/"));
}

QString helpPageFor(const QWidget* view) {
  if (qobject_cast<const WorldMapView*>(view)) return QStringLiteral("map.md");
  if (qobject_cast<const StationChartView*>(view)) return QStringLiteral("chart.md");
  if (qobject_cast<const StationTableView*>(view)) return QStringLiteral("tables.md");
  if (qobject_cast<const WatchStationsView*>(view)) return QStringLiteral("watch.md");
  return QStringLiteral("index.md");
}

}  // namespace nimbrel
