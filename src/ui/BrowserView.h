#pragma once
// A page window. It shows the program's own manual (Markdown pages carried
// as resources) with Back, Forward and Contents; the program hosts no web
// engine, so any other address is an empty page titled with it.
#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolBar;

namespace nimbrel {

class BrowserView : public QWidget {
  Q_OBJECT

 public:
  explicit BrowserView(const QString& url, QWidget* parent = nullptr);

  // The page shown.
  QString url() const { return address; }
  // Shows a manual page ("qrc:/manual/en/map.md"); another address leaves
  // the page empty.
  void open(const QString& url);
  // The page's first heading, or its address.
  QString pageTitle() const;
  QTextBrowser* textBrowser() const { return browser; }

 signals:
  void pageChanged(const QString& title);

 private:
  QTextBrowser* browser = nullptr;
  QToolBar* bar = nullptr;
  QString address;
};

}  // namespace nimbrel
