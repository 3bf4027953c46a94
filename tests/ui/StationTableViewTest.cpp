#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "ui/FindStationDialog.h"
#include "ui/StationTableView.h"
#include "ui/WorldMapView.h"
#include "ui/StationTableModel.h"
#include "views/ViewsGuiFixture.h"

namespace nimbrel {
namespace {

using test::MakeStation;

class StationTableTest : public test::ViewsGuiTest {
 protected:
  StationTableView* OpenAllStations() {
    EXPECT_TRUE(frame->openWindow(3, "All stations"));
    StationTableView* table = LastView<StationTableView>();
    if (table != nullptr) {
      table->stationOpener = [this](const Station& s) { opened.push_back(s); };
    }
    return table;
  }

  static std::vector<std::string> Column(StationTableView* table, int column) {
    std::vector<std::string> out;
    for (int row = 0; row < table->rowCount(); ++row) {
      out.push_back(table->Model()->index(row, column).data().toString().toStdString());
    }
    return out;
  }

  static void ClickHeader(StationTableView* table, int column) {
    QHeaderView* header = table->Grid()->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  }

  static QPoint RowPoint(StationTableView* table, int row) {
    return table->Grid()->visualRect(table->Model()->index(row, 0)).center();
  }

  // Press, release, double-click, release: what a real double-click delivers.
  static void DoubleClickRow(StationTableView* table, int row) {
    QWidget* viewport = table->Grid()->viewport();
    const QPoint at = RowPoint(table, row);
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, at);
  }

  void AddNames(std::initializer_list<const char*> names) {
    int i = 0;
    for (const char* name : names) frame->allStations().add(MakeStation(name, "IC" + std::to_string(i++), 0, 0));
  }

  std::vector<Station> opened;
};

TEST_F(StationTableTest, ColumnsHeadersWidthsAlignmentAndSelection) {
  StationTableView* table = OpenAllStations();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(TitleOf(table), "All stations");
  EXPECT_EQ(table->rowCount(), 0) << "an empty list gives the headers and no rows";

  const char* headers[] = {"STATION", "LAT", "LON", "ELEV", "CY", "CD", "ICAO", "IATA"};
  const int widths[] = {120, 70, 70, 50, 30, 30, 50, 50};
  QHeaderView* header = table->Grid()->horizontalHeader();
  ASSERT_EQ(header->count(), 8);
  for (int c = 0; c < 8; ++c) {
    EXPECT_EQ(table->Model()->headerData(c, Qt::Horizontal).toString().toStdString(), headers[c]);
    EXPECT_EQ(header->sectionSize(c), widths[c]);
    const int alignment = table->Model()->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).toInt();
    EXPECT_EQ(alignment & Qt::AlignHorizontal_Mask, c == 0 ? int(Qt::AlignLeft) : int(Qt::AlignHCenter));
  }
  EXPECT_TRUE(table->Grid()->showGrid());
  EXPECT_EQ(table->Grid()->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(table->Grid()->selectionMode(), QAbstractItemView::ExtendedSelection);
}

TEST_F(StationTableTest, CellsShowTheStationTextsUnchanged) {
  Station s = MakeStation("ZURICH", "LSZH", 8.55, 47.46, "432");
  s.latText() = "47 28N";
  s.lonText() = "008 33E";
  s.cy() = "CH";
  s.cd() = "SZ";
  s.iata() = "ZRH";
  frame->allStations().add(s);
  StationTableView* table = OpenAllStations();
  ASSERT_EQ(table->rowCount(), 1);
  const char* cells[] = {"ZURICH", "47 28N", "008 33E", "432", "CH", "SZ", "LSZH", "ZRH"};
  for (int c = 0; c < 8; ++c) EXPECT_EQ(Column(table, c)[0], cells[c]);
  EXPECT_EQ(table->Model()->index(0, 0).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
            int(Qt::AlignLeft));
  EXPECT_EQ(table->Model()->index(0, 6).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
            int(Qt::AlignHCenter));
}

TEST_F(StationTableTest, SortDirectionIsSharedByEveryTable) {
  AddNames({"BERN", "AARAU", "CHUR"});
  StationTableView* first = OpenAllStations();
  const std::vector<std::string> ascending = {"AARAU", "BERN", "CHUR"};
  const std::vector<std::string> descending = {"CHUR", "BERN", "AARAU"};
  EXPECT_EQ(Column(first, 0), ascending) << "a new table is sorted by STATION ascending";

  ClickHeader(first, 0);
  EXPECT_EQ(Column(first, 0), ascending) << "the first click sorts ascending: no change";
  EXPECT_TRUE(sortDescending);

  // A table filled after an odd number of clicks starts descending.
  StationTableView* second = OpenAllStations();
  EXPECT_EQ(Column(second, 0), descending);
  EXPECT_TRUE(sortDescending) << "filling does not flip the direction";

  ClickHeader(second, 0);
  EXPECT_EQ(Column(second, 0), descending);
  EXPECT_FALSE(sortDescending);

  ClickHeader(first, 0);
  EXPECT_EQ(Column(first, 0), ascending);
  ClickHeader(first, 0);
  EXPECT_EQ(Column(first, 0), descending) << "every later click reverses";
  EXPECT_EQ(frame->WaitCursorCount(), 0);
}

TEST_F(StationTableTest, ElevationSortsNumericallyOtherColumnsByBytes) {
  frame->allStations().add(MakeStation("zeta", "KJFK", 0, 0, "12"));
  frame->allStations().add(MakeStation("Alpha", "1ABC", 0, 0, "-5"));
  frame->allStations().add(MakeStation("Zulu", "kjfk", 0, 0, "7"));
  frame->allStations().add(MakeStation("alpha", "ABCD", 0, 0, "n/a"));
  StationTableView* table = OpenAllStations();
  EXPECT_EQ(Column(table, 0), (std::vector<std::string>{"Alpha", "Zulu", "alpha", "zeta"}));

  ClickHeader(table, 3);
  EXPECT_EQ(Column(table, 3), (std::vector<std::string>{"-5", "n/a", "7", "12"}));
  ClickHeader(table, 6);
  EXPECT_EQ(Column(table, 6), (std::vector<std::string>{"kjfk", "KJFK", "ABCD", "1ABC"})) << "second click: descending";
  ClickHeader(table, 6);
  EXPECT_EQ(Column(table, 6), (std::vector<std::string>{"1ABC", "ABCD", "KJFK", "kjfk"}));
}

TEST_F(StationTableTest, SelectedRowsMoveWithTheirStationsWhenSorted) {
  AddNames({"BERN", "AARAU", "CHUR"});
  StationTableView* table = OpenAllStations();
  QTest::mouseClick(table->Grid()->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(table, 0));
  ClickHeader(table, 0);  // ascending, no change
  ClickHeader(table, 0);  // descending
  const QModelIndexList selected = table->Grid()->selectionModel()->selectedRows();
  ASSERT_EQ(selected.size(), 1);
  EXPECT_EQ(selected[0].row(), 2);
  EXPECT_EQ(selected[0].data().toString(), QStringLiteral("AARAU"));
}

TEST_F(StationTableTest, StatusLineTellsTheChangedRow) {
  for (int i = 0; i < 250; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "S%03d", i);
    frame->allStations().add(MakeStation(name, name, 0, 0));
  }
  StationTableView* table = OpenAllStations();
  EXPECT_EQ(table->currentRow, -1);
  QTest::mouseClick(table->Grid()->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(table, 2));
  EXPECT_EQ(frame->StatusText(), QStringLiteral(" Line:      3 /    250"));
  EXPECT_EQ(table->statusText, " Line:      3 /    250");
  EXPECT_EQ(table->currentRow, 2);

  QTest::keyClick(table->Grid(), Qt::Key_Down);
  EXPECT_EQ(frame->StatusText(), QStringLiteral(" Line:      4 /    250")) << "the table's own keys still work";
  EXPECT_EQ(table->currentRow, 3);
}

TEST_F(StationTableTest, EnterOpensTheChangedRowAndNothingBeforeIt) {
  AddNames({"BERN", "AARAU", "CHUR"});
  StationTableView* table = OpenAllStations();
  table->Grid()->setFocus();
  // Focus makes the first row current on its own; that is no row change.
  ASSERT_TRUE(table->Grid()->hasFocus());
  QTest::keyClick(table->Grid(), Qt::Key_Return);
  EXPECT_TRUE(opened.empty()) << "Enter before any row changed does nothing";
  EXPECT_EQ(table->currentRow, -1);

  QTest::mouseClick(table->Grid()->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(table, 1));
  QTest::keyClick(table->Grid(), Qt::Key_Return);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].name(), "BERN");
  QTest::keyClick(table->Grid(), Qt::Key_Enter);
  EXPECT_EQ(opened.size(), 2u);
}

TEST_F(StationTableTest, DoubleClickOpensTheFirstStationWithTheRowsCode) {
  frame->allStations().add(MakeStation("ZZ SECOND", "DUPL", 0, 0));
  frame->allStations().add(MakeStation("MM NO CODE", "", 0, 0));
  frame->allStations().add(MakeStation("AA FIRST OF DUPL", "DUPL", 0, 0));
  frame->allStations().add(MakeStation("BB EMPTY CODE", "", 0, 0));
  frame->allStations().add(MakeStation("CC CASE", "dupl", 0, 0));
  StationTableView* table = OpenAllStations();
  ASSERT_EQ(Column(table, 0).back(), "ZZ SECOND");

  DoubleClickRow(table, 4);
  ASSERT_FALSE(opened.empty());
  EXPECT_EQ(opened.back().name(), "ZZ SECOND") << "first in the list, not first in the table";

  DoubleClickRow(table, 0);
  EXPECT_EQ(opened.back().name(), "ZZ SECOND");
  DoubleClickRow(table, 1);
  EXPECT_EQ(opened.back().name(), "MM NO CODE") << "an empty code opens the first station without one";
  DoubleClickRow(table, 2);
  EXPECT_EQ(opened.back().name(), "CC CASE") << "codes compare case-sensitively";
  EXPECT_EQ(frame->WaitCursorCount(), 0);
}

TEST_F(StationTableTest, ResultTableKeepsItsRowsWhenTheSharedListIsRefilled) {
  frame->resultStations().add(MakeStation("BERN", "LSZB", 0, 0));
  frame->resultStations().add(MakeStation("ZURICH", "LSZH", 0, 0));
  ASSERT_TRUE(frame->openWindow(2, "Nearest stations"));
  StationTableView* table = LastView<StationTableView>();
  std::vector<std::string> opens;
  table->stationOpener = [&](const Station& s) { opens.push_back(s.icao()); };

  frame->resultStations().removeAll();
  frame->resultStations().add(MakeStation("ZURICH", "LSZH", 0, 0));
  table->repaint();
  EXPECT_EQ(Column(table, 0), (std::vector<std::string>{"BERN", "ZURICH"}));

  // Opening looks the code up in the list as it is now.
  DoubleClickRow(table, 0);
  EXPECT_TRUE(opens.empty());
  DoubleClickRow(table, 1);
  EXPECT_EQ(opens, std::vector<std::string>{"LSZH"});
}

TEST_F(StationTableTest, CtrlFOpensTheFindDialogAndFAloneDoesNot) {
  AddNames({"BERN", "AARAU", "CHUR"});
  StationTableView* table = OpenAllStations();
  table->Grid()->setFocus();

  auto sawFind = OnNextModal([](QWidget* modal) {
    EXPECT_NE(qobject_cast<FindStationDialog*>(modal), nullptr);
    static_cast<QDialog*>(modal)->reject();
  });
  QTest::keyClick(table->Grid(), Qt::Key_F, Qt::ControlModifier);
  EXPECT_TRUE(*sawFind);

  auto sawOther = OnNextModal([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
  QTest::keyClick(table->Grid(), Qt::Key_F);
  QCoreApplication::processEvents();
  EXPECT_FALSE(*sawOther);
}

TEST_F(StationTableTest, TableFindSearchesItsOwnRows) {
  frame->allStations().add(MakeStation("BERN", "LSZB", 0, 0));
  frame->allStations().add(MakeStation("ZURICH", "LSZH", 0, 0));
  frame->allStations().add(MakeStation("ZURS", "LOZS", 0, 0));
  frame->resultStations().add(frame->allStations().getAt(0));
  frame->resultStations().add(frame->allStations().getAt(1));
  ASSERT_TRUE(frame->openWindow(2, "Nearest stations"));
  StationTableView* results = LastView<StationTableView>();

  OnNextModal([](QWidget* modal) {
    auto* dialog = qobject_cast<FindStationDialog*>(modal);
    dialog->FindTextEdit()->setText(QStringLiteral("zur"));
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
  });
  ASSERT_TRUE(results->onCommand(ID_FIND_STATION));
  StationTableView* found = LastView<StationTableView>();
  ASSERT_NE(found, results);
  EXPECT_EQ(TitleOf(found), "Nearest stations");
  EXPECT_EQ(Column(found, 0), std::vector<std::string>{"ZURICH"}) << "ZURS is not among the table's rows";
}

}  // namespace
}  // namespace nimbrel
