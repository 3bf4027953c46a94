// The recent list's keeping in the user's settings, without windows.
#include <gtest/gtest.h>

#include <QSettings>
#include <QStringList>

#include "services/RecentList.h"

namespace nimbrel::test {
namespace {

void ClearStoredRecentList() {
  QSettings(QStringLiteral("Quillfen"), QStringLiteral("Nimbrel")).remove(QStringLiteral("Recent File List"));
}

void Store(const QStringList& names) {
  QSettings settings(QStringLiteral("Quillfen"), QStringLiteral("Nimbrel"));
  settings.beginGroup(QStringLiteral("Recent File List"));
  for (int i = 0; i < names.size(); ++i) settings.setValue(QStringLiteral("File%1").arg(i + 1), names[i]);
}

TEST(RecentList, KeepsAtMostFortyNewestFirstAndShortensLongNames) {
  ClearStoredRecentList();
  RecentList list;
  for (int i = 1; i <= 45; ++i) list.add(QStringLiteral("STATION %1").arg(i));
  ASSERT_EQ(list.entries().size(), 40);
  EXPECT_EQ(list.entries().first(), QStringLiteral("STATION 45"));
  EXPECT_EQ(list.entries().last(), QStringLiteral("STATION 6"));
  list.add(QString());
  EXPECT_EQ(list.entries().first(), QStringLiteral("STATION 45")) << "an empty name is not added";

  EXPECT_EQ(RecentList::displayName(QStringLiteral("SHORT")), QStringLiteral("SHORT"));
  EXPECT_EQ(RecentList::displayName(QString(30, QLatin1Char('Y'))), QString(30, QLatin1Char('Y')));
  const QString shortened = RecentList::displayName(QString(45, QLatin1Char('X')));
  EXPECT_EQ(shortened.size(), 30);
  EXPECT_TRUE(shortened.endsWith(QStringLiteral("X...")));
}

TEST(RecentList, TwoRunningCopiesKeepEachOthersStations) {
  ClearStoredRecentList();
  // Two copies of the program, each read the list at its start and write
  // it back in turns: nothing either added may be lost.
  RecentList first;
  RecentList second;
  first.readList();
  second.readList();
  for (int round = 1; round <= 20; ++round) {
    first.add(QStringLiteral("FIRST %1").arg(round));
    ASSERT_TRUE(first.writeList());
    second.add(QStringLiteral("SECOND %1").arg(round));
    ASSERT_TRUE(second.writeList());
  }
  RecentList reader;
  reader.readList();
  const QStringList stored = reader.entries();
  EXPECT_EQ(stored.size(), 40);
  for (int round = 1; round <= 20; ++round) {
    EXPECT_TRUE(stored.contains(QStringLiteral("FIRST %1").arg(round))) << round;
    EXPECT_TRUE(stored.contains(QStringLiteral("SECOND %1").arg(round))) << round;
  }
  // The writer of the last round put its own stations first.
  EXPECT_EQ(stored.first(), QStringLiteral("SECOND 20"));
  ClearStoredRecentList();
}

TEST(RecentList, ReadingSkipsEmptyAndRepeatedEntries) {
  ClearStoredRecentList();
  Store({"A", "", "B", "A", "C"});
  RecentList list;
  list.add(QStringLiteral("BEFORE"));
  list.readList();
  EXPECT_EQ(list.entries(), (QStringList{"A", "B", "C"}));
  ClearStoredRecentList();
}

}  // namespace
}  // namespace nimbrel::test
