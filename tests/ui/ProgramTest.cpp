// The program as a whole process: its command line, and the start-up
// yardstick that quits once the first window has painted.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace nimbrel::test {
namespace {

struct ProgramRun {
  int exitCode = -1;
  QString out;
  QString errors;
};

// Runs the program in a folder of its own, offscreen, with private settings.
ProgramRun RunProgram(const QStringList& arguments, const QString& folder) {
  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder);
  program.setProcessEnvironment(environment);
  program.setWorkingDirectory(folder);
  program.start(QStringLiteral(NIMBREL_PROGRAM), arguments);
  ProgramRun run;
  if (!program.waitForFinished(30000)) {
    program.kill();
    program.waitForFinished();
    return run;
  }
  run.exitCode = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
  run.out = QString::fromLocal8Bit(program.readAllStandardOutput());
  run.errors = QString::fromLocal8Bit(program.readAllStandardError());
  return run;
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.isValid()); }
  QTemporaryDir folder;
};

TEST_F(ProgramTest, QuitsAfterTheFirstPaintWhenAsked) {
  QFile list(folder.filePath(QStringLiteral("Stations.txt")));
  ASSERT_TRUE(list.open(QIODevice::WriteOnly));
  list.close();
  const ProgramRun run = RunProgram({QStringLiteral("--quit-after-first-paint")}, folder.path());
  EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
  EXPECT_EQ(run.out, QStringLiteral("first paint\n"));
}

TEST_F(ProgramTest, VersionHelpAndBadArguments) {
  const ProgramRun version = RunProgram({QStringLiteral("--version")}, folder.path());
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, QStringLiteral("nimbrel 1.0\n"));

  const ProgramRun help = RunProgram({QStringLiteral("--help")}, folder.path());
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(help.out.contains(QStringLiteral("--service-host"))) << help.out.toStdString();

  // A wrong command line is told on standard error with the usage; no window opens.
  const ProgramRun bad = RunProgram({QStringLiteral("--bogus")}, folder.path());
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_TRUE(bad.out.isEmpty());
  EXPECT_TRUE(bad.errors.contains(QStringLiteral("usage: nimbrel"))) << bad.errors.toStdString();
  EXPECT_EQ(RunProgram({QStringLiteral("ONE"), QStringLiteral("TWO")}, folder.path()).exitCode, 2);
}

}  // namespace
}  // namespace nimbrel::test
