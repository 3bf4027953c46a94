#pragma once
// Window tests of the views: a real application with its main frame and
// templates, started in an empty temporary folder, message boxes recorded.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <ostream>
#include <memory>
#include <string>
#include <vector>

#include "ui/MainWindow.h"
#include "ui/Application.h"
#include "app/NimbrelDoc.h"
#include "platform/ViewKind.h"
#include "views/FindCommand.h"
#include "catalog/StationColumns.h"

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace nimbrel::test {

inline Station MakeStation(const std::string& name, const std::string& icao, double longitude, double latitude,
                            const std::string& elevText = "0") {
  Station s;
  s.name() = name;
  s.icao() = icao;
  s.mapLongitude() = 180.0 + longitude;
  s.mapColatitude() = 90.0 - latitude;
  s.elevText() = elevText;
  s.latText() = std::to_string(latitude);
  s.lonText() = std::to_string(longitude);
  return s;
}

class ViewsGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    previousFolder = QDir::currentPath();
    QDir::setCurrent(folder.path());
    MainWindow::messageHook = [this](const std::string& text) {
      messages.push_back(text);
      if (onMessage) onMessage(text);
    };
    sortColumn = 0;
    sortDescending = false;
    lastFindText.clear();
    PrepareFolder(QDir(folder.path()));
    app = std::make_unique<CNimbrelApp>();
    ASSERT_TRUE(app->initInstance(CCommandLine{}));
    frame = app->MainFrame();
    // Repaints paint only once the windows are exposed.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    messages.clear();  // the missing station list's own message
  }

  void TearDown() override {
    QCoreApplication::processEvents();
    if (app) app->exitInstance();
    app.reset();
    MainWindow::messageHook = nullptr;
    QDir::setCurrent(previousFolder);
  }

  // Puts what start-up should find into the current folder (nothing here).
  virtual void PrepareFolder(const QDir&) {}

  template <typename V>
  std::vector<V*> Views() const {
    std::vector<V*> out;
    for (QMdiSubWindow* sub : frame->MdiArea()->subWindowList()) {
      if (auto* view = qobject_cast<V*>(sub->widget())) out.push_back(view);
    }
    return out;
  }

  template <typename V>
  V* LastView() const {
    const std::vector<V*> all = Views<V>();
    return all.empty() ? nullptr : all.back();
  }

  static std::string TitleOf(CView* view) { return view->getDocument()->getTitle(); }

  // Runs an action on the modal dialog that the next call opens; the flag
  // tells whether one appeared.
  std::shared_ptr<bool> OnNextModal(std::function<void(QWidget*)> action) {
    auto seen = std::make_shared<bool>(false);
    QTimer::singleShot(0, [seen, action] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        *seen = true;
        action(modal);
      }
    });
    return seen;
  }

  QTemporaryDir folder;
  QString previousFolder;
  std::unique_ptr<CNimbrelApp> app;
  MainWindow* frame = nullptr;
  std::vector<std::string> messages;
  std::function<void(const std::string&)> onMessage;
};

}  // namespace nimbrel::test
