#pragma once
// The document of every child window: it holds no data and is never saved;
// it carries the window's title and a reference to the main frame.
#include <QObject>
#include <string>

namespace nimbrel {

class CMainFrame;

class CNimbrelDoc : public QObject {
  Q_OBJECT

 public:
  CNimbrelDoc() = default;

  CMainFrame* mainFrame = nullptr;

  void SetTitle(const std::string& title);
  const std::string& GetTitle() const { return title; }

  bool OnNewDocument() { return true; }
  // Opens a station's chart by name (the recent list and the command line
  // hand the name over as a path). Keeps no document of its own: false.
  bool OnOpenDocument(const std::string& path);

 signals:
  void titleChanged();

 private:
  std::string title;
};

}  // namespace nimbrel
