// Main of the services' tests: a QCoreApplication (no window system), with
// settings and the report store kept in a private folder.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdlib>

int main(int argc, char** argv) {
  QTemporaryDir settingsDir;
  if (!settingsDir.isValid()) return 3;
  const QByteArray path = settingsDir.path().toLocal8Bit();
  setenv("XDG_CONFIG_HOME", path.constData(), 1);
  setenv("XDG_DATA_HOME", path.constData(), 1);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());

  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Quillfen"));
  QCoreApplication::setApplicationName(QStringLiteral("Nimbrel"));
  return RUN_ALL_TESTS();
}
