#pragma once
// Starts the whole program in a private working folder, with every message
// box recorded instead of shown, and stops it again.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "ui/MainWindow.h"
#include "ui/Application.h"
#include "platform/ViewKind.h"

namespace nimbrel::test {

class AppFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(workDir.isValid());
    previousDir = QDir::currentPath();
    QDir::setCurrent(workDir.path());
    MainWindow::messageHook = [this](const std::string& text) { messages.push_back(text); };
  }

  void TearDown() override {
    StopApp();
    MainWindow::messageHook = nullptr;
    QDir::setCurrent(previousDir);
  }

  // Writes a station list into the working folder before the program starts.
  void WriteStationList(const std::string& content) {
    QFile file(workDir.filePath(QStringLiteral("Stations.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content.data(), static_cast<qint64>(content.size()));
  }

  void StartApp(const QStringList& arguments = {}) {
    nextViewKind = 1;  // as at program load
    app = std::make_unique<CNimbrelApp>();
    ASSERT_TRUE(app->initInstance(parseCommandLine(QStringList{QStringLiteral("nimbrel")} + arguments)));
    QApplication::processEvents();
  }

  void StopApp() {
    app.reset();
    QApplication::processEvents();
  }

  MainWindow* Frame() const { return app->MainFrame(); }
  QList<QMdiSubWindow*> Children() const { return Frame()->MdiArea()->subWindowList(); }

  QTemporaryDir workDir;
  QString previousDir;
  std::unique_ptr<CNimbrelApp> app;
  std::vector<std::string> messages;
};

}  // namespace nimbrel::test
