// The find dialog, and the find command of a map: the matches open in a
// "Nearest stations" table.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ViewsGuiFixture.h"
#include "ui/FindStationDialog.h"
#include "ui/StationTableModel.h"
#include "ui/StationTableView.h"
#include "ui/WorldMapView.h"

namespace nimbrel::test {
namespace {

TEST(FindDialog, TextsButtonsAndTabOrder) {
  FindStationDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Find a station"));
  EXPECT_TRUE(dialog.isModal());
  EXPECT_TRUE(dialog.enteredText().empty());
  EXPECT_TRUE(dialog.findTextEdit()->text().isEmpty());
  // Qt's own words for the standard buttons, English with no translation.
  EXPECT_EQ(dialog.okButton()->text(), QStringLiteral("OK"));
  EXPECT_EQ(dialog.cancelButton()->text(), QStringLiteral("Cancel"));
  EXPECT_TRUE(dialog.okButton()->isDefault());

  const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
  ASSERT_EQ(labels.size(), 1);
  EXPECT_EQ(labels[0]->text(), QStringLiteral("Please enter a part of a name or an  ICAO code:"));
  EXPECT_EQ(dialog.findChildren<QGroupBox*>().size(), 1);

  // The edit box, then OK, then Cancel; the box has the focus on showing.
  EXPECT_EQ(dialog.findTextEdit()->nextInFocusChain(), dialog.okButton());
  EXPECT_EQ(dialog.okButton()->nextInFocusChain(), dialog.cancelButton());
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  EXPECT_TRUE(dialog.findTextEdit()->hasFocus());
  // Roomy enough for the prompt on one line, the buttons below the box.
  EXPECT_GE(dialog.width(), labels[0]->sizeHint().width());
  EXPECT_GT(dialog.okButton()->y(), dialog.findTextEdit()->y());
  EXPECT_LT(dialog.okButton()->x(), dialog.cancelButton()->x());
  dialog.reject();
}

TEST(FindDialog, OkReadsTheTextAsTheCataloguesBytes) {
  FindStationDialog dialog;
  dialog.findTextEdit()->setText(QStringLiteral("Z\u00fcrich"));
  dialog.okButton()->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.enteredText(), "Z\xfcrich");

  FindStationDialog cancelled;
  cancelled.findTextEdit()->setText(QStringLiteral("bern"));
  cancelled.cancelButton()->click();
  EXPECT_EQ(cancelled.result(), QDialog::Rejected);
  EXPECT_TRUE(cancelled.enteredText().empty());
}

class FindCommandGuiTest : public ViewsGuiTest {
 protected:
  std::vector<std::string> StationLines() const override {
    return {StationLine("ZURICH", "LSZH", 8.55, 47.46), StationLine("BERN", "LSZB", 7.5, 46.9),
            StationLine("FRANKFURT MAIN", "EDDF", 8.6, 50.0)};
  }

  void SetUp() override {
    ViewsGuiTest::SetUp();
    ASSERT_NE(qobject_cast<WorldMapView*>(ActiveView(frame)), nullptr);
  }

  // Types a text into the next find dialog and closes it with OK or Cancel.
  static auto Answer(const QString& text, bool ok) {
    return [text, ok](FindStationDialog* dialog) {
      QTest::keyClicks(dialog->findTextEdit(), text);
      QTest::mouseClick(ok ? dialog->okButton() : dialog->cancelButton(), Qt::LeftButton);
    };
  }

  std::vector<std::string> Codes(StationTableView* table) const {
    std::vector<std::string> codes;
    for (int row = 0; row < table->rowCount(); ++row) codes.push_back(table->model()->stationAt(row).icao);
    return codes;
  }
};

// Ctrl+F from the map asks; the list takes the keyboard on its first row.
TEST_F(FindCommandGuiTest, OkWithEmptyTextListsEveryStationReadyForTheKeyboard) {
  frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
  ModalWatch<FindStationDialog> find(Answer(QString(), true));
  QTest::keyClick(ActiveView(frame), Qt::Key_F, Qt::ControlModifier);
  ASSERT_TRUE(find.seen());
  StationTableView* table = LastView<StationTableView>();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(TitleOf(table), QStringLiteral("Nearest stations"));
  EXPECT_EQ(table->size(), QSize(501, 408));
  EXPECT_EQ(table->rowCount(), 3);
  EXPECT_FALSE(WaitCursorShown());
  // The offscreen platform gives the main window back no activation of its own.
  frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
  EXPECT_TRUE(table->grid()->hasFocus());
  EXPECT_EQ(table->currentRow(), 0);
  QTest::keyClick(table->grid(), Qt::Key_Down);
  EXPECT_EQ(table->currentRow(), 1) << "the arrow keys move at once";
}

TEST_F(FindCommandGuiTest, TypedTextIsSearchedIgnoringCase) {
  {
    ModalWatch<FindStationDialog> find(Answer(QStringLiteral("Zur"), true));
    ActionOf(frame, "findStationAction")->trigger();
    ASSERT_TRUE(find.seen());
  }
  StationTableView* table = LastView<StationTableView>();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(Codes(table), std::vector<std::string>{"LSZH"});

  // Enter in the edit box is OK too; an ICAO code finds its station.
  ModalWatch<FindStationDialog> find([](FindStationDialog* dialog) {
    QTest::keyClicks(dialog->findTextEdit(), QStringLiteral("eddf"));
    QTest::keyClick(dialog->findTextEdit(), Qt::Key_Return);
  });
  Activate(LastView<WorldMapView>());
  ActionOf(frame, "findStationAction")->trigger();
  ASSERT_TRUE(find.seen());
  ASSERT_NE(LastView<StationTableView>(), table);
  EXPECT_EQ(LastView<StationTableView>()->model()->stationAt(0).name, "FRANKFURT MAIN");
}

TEST_F(FindCommandGuiTest, CancelOpensNothing) {
  const auto windows = Children().size();
  ModalWatch<FindStationDialog> find(Answer(QStringLiteral("zurich"), false));
  ActionOf(frame, "findStationAction")->trigger();
  EXPECT_TRUE(find.seen());
  EXPECT_EQ(Children().size(), windows);
  EXPECT_TRUE(messages.empty());
}

TEST_F(FindCommandGuiTest, NoMatchShowsTheSearchMessageAndOpensNothing) {
  ModalWatch<FindStationDialog> find(Answer(QStringLiteral("Nowhere"), true));
  ActionOf(frame, "findStationAction")->trigger();
  ASSERT_TRUE(find.seen());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "No station \"nowhere\" in a list.");
  EXPECT_TRUE(Views<StationTableView>().empty());
  EXPECT_FALSE(WaitCursorShown());
}

TEST_F(FindCommandGuiTest, EachFindStartsWithAnEmptyBox) {
  {
    ModalWatch<FindStationDialog> find(Answer(QStringLiteral("bern"), true));
    ActionOf(frame, "findStationAction")->trigger();
  }
  Activate(LastView<WorldMapView>());
  bool empty = false;
  ModalWatch<FindStationDialog> again([&empty](FindStationDialog* dialog) {
    empty = dialog->findTextEdit()->text().isEmpty();
    dialog->reject();
  });
  ActionOf(frame, "findStationAction")->trigger();
  ASSERT_TRUE(again.seen());
  EXPECT_TRUE(empty);
}

}  // namespace
}  // namespace nimbrel::test
