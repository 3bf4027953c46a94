// Main of the window tests: a real QApplication, on the offscreen platform
// when there is no display, with settings and the report store kept in a
// private folder.
#include <gtest/gtest.h>

#include "ui/Application.h"
#include <QSettings>
#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  QTemporaryDir settingsDir;
  if (!settingsDir.isValid()) return 3;
  const QByteArray path = settingsDir.path().toLocal8Bit();
  setenv("XDG_CONFIG_HOME", path.constData(), 1);
  // The report store too: each test process starts with an empty one.
  setenv("XDG_DATA_HOME", path.constData(), 1);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());

  ::testing::InitGoogleTest(&argc, argv);
  nimbrel::Application app(argc, argv);
  // The tests read the program's English texts, whatever the language of
  // the desktop they run on; the translations have tests of their own.
  nimbrel::installTranslations(QLocale(QLocale::English, QLocale::UnitedStates));
  // Qt adopts the user's locale, which may write a decimal comma: the
  // window tests run under one where the machine has it.
  for (const char* comma : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8"})
    if (std::setlocale(LC_NUMERIC, comma) != nullptr) break;
  return RUN_ALL_TESTS();
}
