#pragma once
// A page window. The program hosts no web engine: it shows an empty page
// titled with its address.
#include <QWidget>

namespace nimbrel {

class BrowserView : public QWidget {
  Q_OBJECT

 public:
  explicit BrowserView(const QString& url, QWidget* parent = nullptr);

  QString url() const { return address; }

 private:
  QString address;
};

}  // namespace nimbrel
