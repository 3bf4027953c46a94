#pragma once
// Where the manual's pages are: carried in the program as resources
// (qrc:/manual/<language>/<page>.md), English whole, the start page also in
// German and French.
#include <QLocale>
#include <QString>
#include <QUrl>

class QWidget;

namespace nimbrel {

// ":/manual", where the manual's pages and pictures are (registered on
// the first call: they are resources of a static library).
QString manualFolder();
// A page of the manual: the start page in the locale's language when there
// is one, every other page in English.
QUrl helpPageUrl(const QString& page, const QLocale& locale = QLocale());
bool isHelpPage(const QUrl& url);
// The manual's page about a window (a map, a chart, a table, ...), the
// start page for any other.
QString helpPageFor(const QWidget* view);

}  // namespace nimbrel
