#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "platform/qt/DialogUnits.h"
#include "ui/FindStationDialog.h"
#include "ui/StationTableView.h"
#include "ui/WorldMapView.h"
#include "ui/StationTableModel.h"
#include "views/ViewsGuiFixture.h"

namespace nimbrel {
namespace {

using test::MakeStation;

TEST(FindDialog, TextsAndLayoutFromDialogUnits) {
  FindStationDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Find a station"));
  EXPECT_TRUE(dialog.enteredText.empty());
  EXPECT_TRUE(dialog.FindTextEdit()->text().isEmpty());
  EXPECT_EQ(dialog.OkButton()->text(), QStringLiteral("OK"));
  EXPECT_EQ(dialog.CancelButton()->text(), QStringLiteral("Abbrechen"));
  EXPECT_TRUE(dialog.OkButton()->isDefault());

  const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
  ASSERT_EQ(labels.size(), 1);
  EXPECT_EQ(labels[0]->text(), QStringLiteral("Please enter a part of a name or an  ICAO code:"));
  EXPECT_EQ(dialog.findChildren<QGroupBox*>().size(), 1);

  const QFont font = dialog.font();
  const DialogBaseUnits base = baseUnitsOf(font);
  auto x = [&](int units) { return MulDivRounded(units, base.x, 4); };
  auto y = [&](int units) { return MulDivRounded(units, base.y, 8); };
  EXPECT_EQ(dialog.size(), QSize(x(215), y(97)));
  EXPECT_EQ(dialog.FindTextEdit()->geometry(), QRect(x(39), y(39), x(137), y(14)));
  EXPECT_EQ(dialog.OkButton()->geometry(), QRect(x(100), y(76), x(50), y(14)));
  EXPECT_EQ(dialog.CancelButton()->geometry(), QRect(x(158), y(76), x(50), y(14)));
  EXPECT_EQ(labels[0]->geometry(), QRect(x(28), y(17), x(159), y(12)));
  // Dialog units scale with the font: four horizontal units are one average
  // character, eight vertical units one line.
  EXPECT_GT(x(4), 2);
  EXPECT_LT(x(4), 20);
  EXPECT_EQ(y(8), QFontMetrics(font).height());
}

class FindCommandGuiTest : public test::ViewsGuiTest {
 protected:
  void SetUp() override {
    ViewsGuiTest::SetUp();
    frame->allStations().add(MakeStation("ZURICH", "LSZH", 8.55, 47.46));
    frame->allStations().add(MakeStation("BERN", "LSZB", 7.5, 46.9));
    frame->allStations().add(MakeStation("FRANKFURT MAIN", "EDDF", 8.6, 50.0));
    map = LastView<WorldMapView>();
  }

  // Types a text into the next find dialog and closes it with OK or Cancel.
  std::shared_ptr<bool> AnswerFind(const QString& text, bool ok) {
    return OnNextModal([text, ok](QWidget* modal) {
      auto* dialog = qobject_cast<FindStationDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      QTest::keyClicks(dialog->FindTextEdit(), text);
      QTest::mouseClick(ok ? dialog->OkButton() : dialog->CancelButton(), Qt::LeftButton);
    });
  }

  WorldMapView* map = nullptr;
};

TEST_F(FindCommandGuiTest, OkWithEmptyTextListsEveryStation) {
  lastFindText = "something";
  auto shown = AnswerFind(QString(), true);
  ASSERT_TRUE(map->onCommand(ID_FIND_STATION));
  EXPECT_TRUE(*shown);
  EXPECT_EQ(lastFindText, "");
  StationTableView* table = LastView<StationTableView>();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(TitleOf(table), "Nearest stations");
  EXPECT_EQ(table->rowCount(), 3);
  EXPECT_EQ(frame->resultStations().getSize(), 3);
  EXPECT_EQ(nextViewKind, 1);
}

TEST_F(FindCommandGuiTest, TypedTextIsRememberedAndSearchedIgnoringCase) {
  AnswerFind(QStringLiteral("Zur"), true);
  map->onCommand(ID_FIND_STATION);
  EXPECT_EQ(lastFindText, "Zur");
  StationTableView* table = LastView<StationTableView>();
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->rowCount(), 1);
  EXPECT_EQ(table->Model()->stationAt(0).icao(), "LSZH");

  // Enter in the edit box is OK too; an ICAO code finds its station.
  OnNextModal([](QWidget* modal) {
    auto* dialog = qobject_cast<FindStationDialog*>(modal);
    QTest::keyClicks(dialog->FindTextEdit(), QStringLiteral("eddf"));
    QTest::keyClick(dialog->FindTextEdit(), Qt::Key_Return);
  });
  map->onCommand(ID_FIND_STATION);
  EXPECT_EQ(lastFindText, "eddf");
  EXPECT_EQ(LastView<StationTableView>()->Model()->stationAt(0).name(), "FRANKFURT MAIN");
}

TEST_F(FindCommandGuiTest, CancelChangesNothing) {
  AnswerFind(QStringLiteral("bern"), true);
  map->onCommand(ID_FIND_STATION);
  const std::size_t windows = frame->MdiArea()->subWindowList().size();
  ASSERT_EQ(frame->resultStations().getSize(), 1);

  auto shown = AnswerFind(QStringLiteral("zurich"), false);
  map->onCommand(ID_FIND_STATION);
  EXPECT_TRUE(*shown);
  EXPECT_EQ(lastFindText, "bern");
  ASSERT_EQ(frame->resultStations().getSize(), 1);
  EXPECT_EQ(frame->resultStations().getAt(0).icao(), "LSZB");
  EXPECT_EQ(static_cast<std::size_t>(frame->MdiArea()->subWindowList().size()), windows);
  EXPECT_TRUE(messages.empty());
}

TEST_F(FindCommandGuiTest, NoMatchShowsTheSearchMessageAndOpensNothing) {
  AnswerFind(QStringLiteral("Nowhere"), true);
  map->onCommand(ID_FIND_STATION);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "No station \"nowhere\" in a list.");
  EXPECT_TRUE(Views<StationTableView>().empty());
}

TEST_F(FindCommandGuiTest, EachFindStartsWithAnEmptyBox) {
  lastFindText = "bern";
  auto shown = OnNextModal([](QWidget* modal) {
    auto* dialog = qobject_cast<FindStationDialog*>(modal);
    EXPECT_TRUE(dialog->FindTextEdit()->text().isEmpty());
    dialog->reject();
  });
  map->onCommand(ID_FIND_STATION);
  EXPECT_TRUE(*shown);
  EXPECT_EQ(lastFindText, "bern");
}

}  // namespace
}  // namespace nimbrel
