// The watch list and the minima kept in the settings file and read back,
// and what a hand-edited file gives.
#include <gtest/gtest.h>

#include <QSettings>

#include "services/UserSettings.h"

namespace nimbrel {
namespace {

TEST(WatchSettings, RoundTripAndHandEditedValues) {
  EXPECT_TRUE(storeWatchList({"LFPG", "EGLL", "KJFK"}));
  EXPECT_EQ(readStoredWatchList(), (std::vector<std::string>{"LFPG", "EGLL", "KJFK"}));
  const MinimaReading minima = readMinima("* ceiling=1000 visibility=5000 wind=25 gust=35\nEGLL ceiling=500 runway=270 crosswind=20");
  ASSERT_EQ(minima.error, "");
  EXPECT_TRUE(storeMinima(minima.minima));
  EXPECT_EQ(readStoredMinima(), minima.minima);

  {
    QSettings stored(QStringLiteral("Quillfen"), QStringLiteral("Nimbrel"));
    stored.setValue(QStringLiteral("Watch/Stations"), QStringLiteral("egll, KJFK,XX,EGLL,lfpg"));
    stored.setValue(QStringLiteral("Watch/Minima"), QStringLiteral("* ceiling=1000\nEGLL fog=3"));
  }
  EXPECT_EQ(readStoredWatchList(), (std::vector<std::string>{"EGLL", "KJFK", "LFPG"}));
  // Half a set is no set: none rather than a guess.
  EXPECT_EQ(readStoredMinima(), MinimaSet{});

  EXPECT_TRUE(storeWatchList({}));
  EXPECT_TRUE(readStoredWatchList().empty());
}

}  // namespace
}  // namespace nimbrel
