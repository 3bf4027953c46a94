#include <QAction>
#include <QMenuBar>
#include <QSettings>

#include "ui/RecentList.h"
#include "support/AppFixture.h"

namespace nimbrel::test {
namespace {

using RecentList = AppFixture;

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

TEST_F(RecentList, SurvivesARestartAndMovesAnExistingNameToTheTop) {
  QSettings(QStringLiteral("Quillfen"), QStringLiteral("Nimbrel")).remove(QStringLiteral("Recent File List"));
  StartApp();
  Frame()->addToRecentList("ZURICH");
  Frame()->addToRecentList("GENEVE");
  Frame()->addToRecentList("BERN");
  Frame()->addToRecentList("ZURICH");
  StopApp();
  EXPECT_EQ(StoredEntries(), (QStringList{"ZURICH", "BERN", "GENEVE"}));

  StartApp();
  EXPECT_EQ(app->RecentList().Entries(), (QStringList{"ZURICH", "BERN", "GENEVE"}));
  // The File menu lists them, newest first, before Close and Exit.
  QStringList fileEntries;
  for (QAction* action : Frame()->menuBar()->actions().first()->menu()->actions()) {
    if (!action->isSeparator() && action->isVisible()) fileEntries << action->text();
  }
  EXPECT_EQ(fileEntries, (QStringList{"&1 ZURICH", "&2 BERN", "&3 GENEVE", "&Close", "E&xit"}));
}

TEST_F(RecentList, KeepsAtMostFortyAndShortensLongNames) {
  RecentList list;
  for (int i = 1; i <= 45; ++i) list.add(QStringLiteral("STATION %1").arg(i));
  ASSERT_EQ(list.Entries().size(), 40);
  EXPECT_EQ(list.Entries().first(), QStringLiteral("STATION 45"));
  EXPECT_EQ(list.Entries().last(), QStringLiteral("STATION 6"));

  EXPECT_EQ(RecentList::displayName(QStringLiteral("SHORT")), QStringLiteral("SHORT"));
  const QString longName(45, QLatin1Char('X'));
  EXPECT_EQ(RecentList::displayName(longName).size(), 30);
  EXPECT_EQ(RecentList::displayName(QString(30, QLatin1Char('Y'))), QString(30, QLatin1Char('Y')));
}

TEST_F(RecentList, ChoosingAnEntryRunsTheOpenByName) {
  QSettings(QStringLiteral("Quillfen"), QStringLiteral("Nimbrel")).remove(QStringLiteral("Recent File List"));
  StartApp();
  Frame()->addToRecentList("Nowhere Field");
  messages.clear();
  QAction* entry = Frame()->menuBar()->actions().first()->menu()->actions().first();
  ASSERT_EQ(entry->text(), QStringLiteral("&1 Nowhere Field"));
  entry->trigger();
  // No such station in the (empty) catalogue: the search says so, in lower case.
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages.front(), "No station \"nowhere field\" in a list.");
  EXPECT_EQ(Children().size(), 1);
}

}  // namespace
}  // namespace nimbrel::test
