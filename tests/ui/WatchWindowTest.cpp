// The "Watched stations" window as a user goes through it, from the View
// menu to the settings file, and the Personal Minima dialog's numbers.
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>

#include "ViewsGuiFixture.h"
#include "services/UserSettings.h"
#include "ui/MinimaDialog.h"
#include "ui/StationTableModel.h"
#include "ui/StationTableView.h"
#include "ui/WatchStationsView.h"
#include "ui/WatchTableModel.h"
#include "ui/StationCard.h"
#include "ui/WorldMapView.h"

namespace nimbrel::test {
namespace {

class WatchWindowTest : public ViewsGuiTest {
 protected:
  void SetUp() override {
    // Each test starts from an empty watch in the settings file.
    storeWatchList({});
    storeMinima({});
    ViewsGuiTest::SetUp();
  }
  std::vector<std::string> StationLines() const override {
    return {StationLine("HEATHROW", "EGLL", -0.45, 51.47), StationLine("KENNEDY", "KJFK", -73.78, 40.64),
            StationLine("DE GAULLE", "LFPG", 2.55, 49.01)};
  }

  QAction* ViewMenuEntry(const QString& text) {
    for (QAction* menu : frame->menuBar()->actions())
      if (menu->text() == QStringLiteral("&View"))
        for (QAction* entry : menu->menu()->actions())
          if (entry->text() == text) return entry;
    ADD_FAILURE() << "no View menu entry " << text.toStdString();
    return nullptr;
  }

  static std::vector<std::string> Codes(WatchStationsView* view) {
    std::vector<std::string> codes;
    for (int row = 0; row < view->model()->rowCount(); ++row) codes.push_back(view->model()->rowAt(row).icao);
    return codes;
  }

  // The station names of the no-data messages: which station each opening asked for.
  std::vector<std::string> OpenedNames() const {
    std::vector<std::string> names;
    const std::string prefix = "Sorry, no data available for the Station:\n\n";
    for (const std::string& message : messages)
      if (message.rfind(prefix, 0) == 0)
        names.push_back(message.substr(prefix.size(), message.find(' ', prefix.size()) - prefix.size()));
    return names;
  }
};

TEST_F(WatchWindowTest, AddSortOpenAndRemoveWatchedStations) {
  ViewMenuEntry("Watched Stations")->trigger();
  WatchStationsView* view = LastView<WatchStationsView>();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(ActiveView(frame), view);
  EXPECT_EQ(TitleOf(view), "Watched stations");
  EXPECT_TRUE(view->showsEmptyText());
  auto* field = view->findChild<QLineEdit*>(QStringLiteral("watchCodeField"));
  auto* watchButton = view->findChild<QPushButton*>(QStringLiteral("watchAddButton"));
  ASSERT_TRUE(field != nullptr && watchButton != nullptr);

  // A code the list lacks, and a text that is no code and no name: refused, each with why.
  QTest::keyClicks(field, "EGXX");
  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_EQ(view->message(), "No station EGXX in the station list.");
  field->clear();
  QTest::keyClicks(field, "X-1");
  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_TRUE(view->message().startsWith("\"X-1\" is neither an ICAO code")) << view->message().toStdString();
  EXPECT_TRUE(view->showsEmptyText());
  EXPECT_TRUE(readStoredWatchList().empty());

  // Good ones, typed in small letters and whole; the rows in the order added,
  // which no sort would give.
  for (const char* typed : {"kjfk", "EGLL", "LFPG"}) {
    field->clear();
    QTest::keyClicks(field, typed);
    QTest::mouseClick(watchButton, Qt::LeftButton);
  }
  EXPECT_EQ(view->message(), "");
  EXPECT_FALSE(view->showsEmptyText());
  ASSERT_EQ(Codes(view), (std::vector<std::string>{"KJFK", "EGLL", "LFPG"}));
  EXPECT_EQ(view->model()->index(1, kWatchName).data().toString(), "HEATHROW");
  EXPECT_EQ(readStoredWatchList(), (std::vector<std::string>{"KJFK", "EGLL", "LFPG"}));

  // A header click sorts; a second one turns the order round.
  QHeaderView* header = view->table()->horizontalHeader();
  const QPoint icaoHeader(header->sectionViewportPosition(kWatchIcao) + 10, header->height() / 2);
  QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, icaoHeader);
  const bool ascending = header->sortIndicatorOrder() == Qt::AscendingOrder;
  const std::vector<std::string> sorted{"EGLL", "KJFK", "LFPG"}, reversed{"LFPG", "KJFK", "EGLL"};
  EXPECT_EQ(Codes(view), ascending ? sorted : reversed);
  QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, icaoHeader);
  EXPECT_EQ(Codes(view), ascending ? reversed : sorted);

  // A double-click opens the row's own station.
  const int heathrow = Codes(view)[0] == "EGLL" ? 0 : 2;
  const QPoint at = view->table()->visualRect(view->model()->index(heathrow, kWatchName)).center();
  QTest::mouseClick(view->table()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  QTest::mouseDClick(view->table()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_TRUE(WaitForOpenings());
  EXPECT_EQ(OpenedNames(), (std::vector<std::string>{"HEATHROW"}));
  EXPECT_EQ(FetchedStations(fetched), (std::vector<std::string>{"EGLL"}));

  // Delete on the selected row stops watching it, in the settings file too.
  Activate(view);
  view->table()->selectRow(heathrow);
  QTest::keyClick(view->table(), Qt::Key_Delete);
  EXPECT_EQ(Codes(view).size(), 2u);
  EXPECT_EQ(readStoredWatchList(), (std::vector<std::string>{"KJFK", "LFPG"}));

  // Asked for again, the one window comes to the front.
  Activate(frame->openAllStationsTable());
  ViewMenuEntry("Watched Stations")->trigger();
  EXPECT_EQ(Views<WatchStationsView>().size(), 1u);
  EXPECT_EQ(ActiveView(frame), view);
}

TEST_F(WatchWindowTest, TheWatchEntriesOfATableAndOfTheMapsCard) {
  WatchStationsView* view = frame->openWatchedStations();
  StationTableView* table = frame->openAllStationsTable();
  int paris = -1;
  for (int row = 0; row < table->rowCount(); ++row)
    if (table->model()->stationAt(row).icao == "LFPG") paris = row;
  ASSERT_GE(paris, 0);
  const auto entry = [&] {
    auto* menu = new QMenu(table);
    table->fillRowMenu(*menu, paris);
    QAction* watch = menu->findChild<QAction*>(QStringLiteral("watchEntry"));
    EXPECT_NE(watch, nullptr);
    return watch;
  };
  QAction* watch = entry();
  EXPECT_EQ(watch->text(), "Watch");
  watch->trigger();
  EXPECT_EQ(Codes(view), (std::vector<std::string>{"LFPG"}));
  EXPECT_EQ(readStoredWatchList(), (std::vector<std::string>{"LFPG"}));
  watch = entry();
  EXPECT_EQ(watch->text(), "Stop Watching");
  watch->trigger();
  EXPECT_TRUE(Codes(view).empty());
  EXPECT_TRUE(view->showsEmptyText());

  // The map's card: Watch, then Stop Watching for the same station.
  WorldMapView* map = LastView<WorldMapView>();
  ASSERT_NE(map, nullptr);
  Activate(map);
  std::size_t heathrow = 0;
  while (session->allStations().at(heathrow).icao != "EGLL") ++heathrow;
  map->openStationCard(heathrow);
  auto* button = map->stationCard()->findChild<QPushButton*>(QStringLiteral("stationCardWatch"));
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(button->isVisible());
  EXPECT_EQ(button->text(), "Watch");
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(Codes(view), (std::vector<std::string>{"EGLL"}));
  EXPECT_EQ(button->text(), "Stop Watching");
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_TRUE(readStoredWatchList().empty());
}

TEST(MinimaDialog, ReadsEachLimitInTheUsersUnitsAndRefusesBadNumbers) {
  MinimaSet start = readMinima("* ceiling=1000 visibility=4828\nEGLL runway=270 crosswind=15").minima;
  struct Case {
    VisibilityUnit unit;
    int row, column;
    const char* typed;
    const char* problem;  // empty: read
    const char* minima;   // the set read, in its text form
  };
  const Case cases[] = {
      {VisibilityUnit::kMetric, 0, MinimaDialog::kGust, "35", "",
       "* ceiling=1000 visibility=4828 gust=35\nEGLL runway=270 crosswind=15\n"},
      // Three statute miles are 4828 m, and 1.5 are 2414.
      {VisibilityUnit::kStatuteMile, 1, MinimaDialog::kVisibility, "1.5", "",
       "* ceiling=1000 visibility=4828\nEGLL visibility=2414 runway=270 crosswind=15\n"},
      {VisibilityUnit::kMetric, 0, MinimaDialog::kCeiling, "", "", "* visibility=4828\nEGLL runway=270 crosswind=15\n"},
      {VisibilityUnit::kMetric, 0, MinimaDialog::kWind, "ten",
       "All stations, Wind kt: \"ten\" is not a number from 0 to 200.", ""},
      {VisibilityUnit::kMetric, 1, MinimaDialog::kRunway, "400",
       "EGLL, Runway \u00B0: \"400\" is not a number from 1 to 360.", ""},
      {VisibilityUnit::kMetric, 1, MinimaDialog::kRunway, "", "EGLL: a crosswind limit needs the runway's heading.",
       ""},
      {VisibilityUnit::kMetric, 1, MinimaDialog::kStation, "EG1",
       "\"EG1\" is not an ICAO code: four letters or digits, the first a letter.", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    MinimaDialog dialog(start, c.unit);
    ASSERT_EQ(dialog.table()->rowCount(), 2);
    if (c.unit == VisibilityUnit::kStatuteMile) {
      EXPECT_EQ(dialog.table()->item(0, MinimaDialog::kVisibility)->text(), "3");
    }
    dialog.table()->item(c.row, c.column)->setText(QString::fromUtf8(c.typed));
    const std::optional<MinimaSet> read = dialog.entered();
    EXPECT_EQ(dialog.problem().toStdString(), c.problem);
    EXPECT_EQ(read.has_value(), *c.problem == '\0');
    if (read) {
      EXPECT_EQ(minimaText(*read), c.minima);
    }
  }
  // A station's row added and one taken away.
  MinimaDialog dialog(start, VisibilityUnit::kMetric);
  dialog.addStationRow(QStringLiteral("kjfk"));
  dialog.table()->item(2, MinimaDialog::kGust)->setText(QStringLiteral("30"));
  dialog.table()->selectRow(1);
  dialog.removeSelectedRows();
  EXPECT_EQ(minimaText(*dialog.entered()), "* ceiling=1000 visibility=4828\nKJFK gust=30\n");
}

}  // namespace
}  // namespace nimbrel::test
