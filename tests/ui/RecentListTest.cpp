// The recent list in the windows: shown in the File menu, each entry
// opening its station by name, kept when the program ends.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

#include "MainWindowFixture.h"
#include "services/RecentList.h"
#include "services/UserSettings.h"

namespace nimbrel::test {
namespace {

QStringList StoredEntries() {
  QSettings settings(QStringLiteral("Quillfen"), QStringLiteral("Nimbrel"));
  settings.beginGroup(QStringLiteral("Recent File List"));
  QStringList entries;
  for (int i = 1; i <= 40; ++i) {
    const QString value = settings.value(QStringLiteral("File%1").arg(i)).toString();
    if (!value.isEmpty()) entries << value;
  }
  return entries;
}

void Store(const QStringList& names) {
  QSettings settings(QStringLiteral("Quillfen"), QStringLiteral("Nimbrel"));
  settings.beginGroup(QStringLiteral("Recent File List"));
  for (int i = 0; i < names.size(); ++i) settings.setValue(QStringLiteral("File%1").arg(i + 1), names[i]);
}

using RecentListWindowTest = MainWindowFixture;

QMenu* FileMenu(MainWindow* w) { return w->menuBar()->actions().first()->menu(); }

QStringList FileMenuEntries(MainWindow* w) {
  QStringList entries;
  for (QAction* action : FileMenu(w)->actions())
    if (!action->isSeparator() && action->isVisible()) entries << action->text();
  return entries;
}

TEST_F(RecentListWindowTest, SurvivesARestartAndMovesAnExistingNameToTheTop) {
  StartWindow();
  session->recentList().add(QStringLiteral("ZURICH"));
  session->recentList().add(QStringLiteral("GENEVE"));
  session->recentList().add(QStringLiteral("BERN"));
  session->recentList().add(QStringLiteral("ZURICH"));
  StopWindow();
  EXPECT_EQ(StoredEntries(), (QStringList{"ZURICH", "BERN", "GENEVE"}));

  StartWindow();
  EXPECT_EQ(session->recentList().entries(), (QStringList{"ZURICH", "BERN", "GENEVE"}));
  // The File menu lists them, newest first, before Close and Exit.
  EXPECT_EQ(FileMenuEntries(Frame()), (QStringList{"&1 ZURICH", "&2 BERN", "&3 GENEVE", "&Update Station List", "Save Map &Picture...",
                                             "Export Chart &Data...", "Save as P&DF...", "&Close", "E&xit"}));
}

TEST_F(RecentListWindowTest, ExitWritesTheListKeepingWhatAnotherCopyStoredMeanwhile) {
  Store({"ONE", "TWO"});
  StartWindow();
  session->recentList().add(QStringLiteral("THREE"));
  // Another copy of the program ends while this one runs.
  ClearStoredRecentList();
  Store({"OTHER", "ONE"});
  ActionOf(Frame(), "exitAction")->trigger();
  EXPECT_FALSE(Frame()->isVisible());
  // Added here first, then the other copy's, then the rest of this one's.
  EXPECT_EQ(StoredEntries(), (QStringList{"THREE", "OTHER", "ONE", "TWO"}));
}

TEST_F(RecentListWindowTest, MenuShowsTenPlusEntriesWithoutAccelerators) {
  QStringList names;
  for (int i = 1; i <= 12; ++i) names << QStringLiteral("STATION %1").arg(i);
  names << QString(45, QLatin1Char('X'));
  Store(names);
  StartWindow();
  const QStringList entries = FileMenuEntries(Frame());
  // 13 stations, Update Station List, Save Map Picture, Export Chart Data, Save as PDF, Close, Exit
  ASSERT_EQ(entries.size(), 19);
  EXPECT_EQ(entries[0], QStringLiteral("&1 STATION 1"));
  EXPECT_EQ(entries[8], QStringLiteral("&9 STATION 9"));
  EXPECT_EQ(entries[9], QStringLiteral("10 STATION 10"));
  EXPECT_EQ(entries[12], QStringLiteral("13 ") + QString(27, QLatin1Char('X')) + QStringLiteral("..."));
}

TEST_F(RecentListWindowTest, ChoosingAnEntryOpensByNameAndAPathByItsLastPart) {
  Store({"Nowhere Field", "C:\\Data\\Elsewhere"});
  StartWindow();
  messages.clear();
  QList<QAction*> actions = FileMenu(Frame())->actions();
  ASSERT_EQ(actions[0]->text(), QStringLiteral("&1 Nowhere Field"));
  actions[0]->trigger();
  // No such station in the (missing) list: the search says so, in lower case.
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "No station \"nowhere field\" in a list.");
  actions[1]->trigger();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1], "No station \"elsewhere\" in a list.");
  EXPECT_EQ(Children().size(), 1);
  EXPECT_FALSE(WaitCursorShown());
}

// File > "RESOLUTE" is the station of that name, not RESOLUTE CS listed
// before it; an entry no name equals still opens the first that holds it.
TEST_F(RecentListWindowTest, AnEntryReopensTheStationItNames) {
  WriteStations({StationLine("RESOLUTE CS", "CWRU", -94.97, 74.72), StationLine("RESOLUTE", "CYRB", -94.97, 74.72)});
  Store({"RESOLUTE", "RESOLUTE C"});
  StartWithScriptedPages();
  auto* finder = Frame()->findChild<StationFinder*>();
  ASSERT_NE(finder, nullptr);
  std::vector<std::string> chosen;
  QObject::connect(finder, &StationFinder::stationChosen, [&chosen](const Station& s) { chosen.push_back(s.icao); });
  const QList<QAction*> actions = FileMenu(Frame())->actions();
  ASSERT_EQ(actions[0]->text(), QStringLiteral("&1 RESOLUTE"));
  actions[0]->trigger();
  actions[1]->trigger();
  EXPECT_EQ(chosen, (std::vector<std::string>{"CYRB", "CWRU"}));
  WaitForOpenings();
}

// A FIFO where the settings file should be would block any reader for ever:
// the program starts with its defaults, keeps nothing, and says so.
TEST_F(RecentListWindowTest, AFifoAtTheSettingsFileNeitherHangsNorIsWritten) {
  const QByteArray path = userSettingsPath().toLocal8Bit();
  const QByteArray saved = path + ".saved";
  ASSERT_TRUE(QDir().mkpath(QFileInfo(userSettingsPath()).path()));
  const bool existed = QFileInfo::exists(userSettingsPath());
  if (existed) {
    ASSERT_EQ(std::rename(path.constData(), saved.constData()), 0);
  }
  ASSERT_EQ(::mkfifo(path.constData(), 0600), 0);
  // Should a read block after all, a writer opened on the FIFO lets it go.
  std::atomic<bool> done{false};
  std::thread watchdog([&] {
    for (int i = 0; i < 1000 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (done) return;
    ADD_FAILURE() << "blocked on the settings FIFO";
    const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
  });
  WriteStations({StationLine("SAMPLE FIELD", "ZZZZ")});
  StartWindow();
  EXPECT_TRUE(FileMenuEntries(Frame()).contains(QStringLiteral("E&xit")));
  session->recentList().add(QStringLiteral("SAMPLE FIELD"));
  Frame()->close();
  EXPECT_EQ(StatusText(Frame()), QStringLiteral("Can not save the list of recent stations."));
  done = true;
  watchdog.join();
  struct stat info {};
  ASSERT_EQ(::stat(path.constData(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  std::remove(path.constData());
  if (existed) {
    ASSERT_EQ(std::rename(saved.constData(), path.constData()), 0);
  }
}

}  // namespace
}  // namespace nimbrel::test
