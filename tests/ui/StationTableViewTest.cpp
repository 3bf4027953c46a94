// Station tables: columns, the shared sort, the status line, opening a
// row's station and the find command of a table.
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <memory>

#include "ViewsGuiFixture.h"
#include "ui/FindStationDialog.h"
#include "ui/StationChartView.h"
#include "ui/StationTableModel.h"
#include "ui/StationTableView.h"

namespace nimbrel::test {
namespace {

class StationTableTest : public ViewsGuiTest {
 protected:
  // One station that only the whole list holds.
  std::vector<std::string> StationLines() const override { return {StationLine("ZURS", "LOZS", 10.1, 47.2)}; }

  StationTableView* OpenTable(StationList rows) {
    StationTableView* table =
        frame->openStationTable("All stations", std::make_shared<const StationList>(std::move(rows)), QSize(501, 608));
    EXPECT_NE(table, nullptr);
    return table;
  }
  StationTableView* OpenNames(std::initializer_list<const char*> names) {
    StationList rows;
    int i = 0;
    for (const char* name : names) rows.push_back(MakeStation(name, "IC" + std::to_string(i++)));
    return OpenTable(std::move(rows));
  }

  static std::vector<std::string> Column(StationTableView* table, int column) {
    std::vector<std::string> out;
    for (int row = 0; row < table->rowCount(); ++row)
      out.push_back(table->model()->index(row, column).data().toString().toStdString());
    return out;
  }

  static void ClickHeader(StationTableView* table, int column) {
    QHeaderView* header = table->grid()->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  }

  static QPoint RowPoint(StationTableView* table, int row) {
    return table->grid()->visualRect(table->model()->index(row, 0)).center();
  }

  // Press, release, double-click, release: what a real double-click
  // delivers; then waits for the opening it began.
  void DoubleClickRow(StationTableView* table, int row) {
    QWidget* viewport = table->grid()->viewport();
    const QPoint at = RowPoint(table, row);
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_TRUE(WaitForOpenings());
  }
  // A key on the grid, then waits for any opening it began.
  void PressKey(StationTableView* table, Qt::Key key) {
    QTest::keyClick(table->grid(), key);
    EXPECT_TRUE(WaitForOpenings());
  }

  // The station names of the no-data messages: which station each opening asked for.
  std::vector<std::string> OpenedNames() const {
    std::vector<std::string> names;
    const std::string prefix = "Sorry, no data available for the Station:\n\n";
    for (const std::string& message : messages) {
      if (message.rfind(prefix, 0) != 0) continue;
      const std::string rest = message.substr(prefix.size());
      names.push_back(rest.substr(0, rest.find(' ')));
    }
    return names;
  }
};

TEST_F(StationTableTest, ColumnsHeadersWidthsAlignmentAndSelection) {
  StationTableView* table = OpenTable({});
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->rowCount(), 0) << "an empty list gives the headers and no rows";

  const char* headers[] = {"STATION", "LAT", "LON", "ELEV", "CY", "CD", "ICAO", "IATA"};
  const int widths[] = {120, 70, 70, 50, 30, 30, 50, 50};
  QHeaderView* header = table->grid()->horizontalHeader();
  ASSERT_EQ(header->count(), 8);
  for (int c = 0; c < 8; ++c) {
    EXPECT_EQ(table->model()->headerData(c, Qt::Horizontal).toString().toStdString(), headers[c]);
    EXPECT_EQ(header->sectionSize(c), widths[c]);
    const int alignment = table->model()->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).toInt();
    EXPECT_EQ(alignment & Qt::AlignHorizontal_Mask, c == 0 ? int(Qt::AlignLeft) : int(Qt::AlignHCenter));
  }
  EXPECT_TRUE(table->grid()->showGrid());
  EXPECT_EQ(table->grid()->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(table->grid()->selectionMode(), QAbstractItemView::ExtendedSelection);
  EXPECT_EQ(table->grid()->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(StationTableTest, CellsShowTheStationTextsUnchanged) {
  Station s = MakeStation("ZURICH", "LSZH", "432");
  s.latText = "47 28N";
  s.lonText = "008 33E";
  s.country = "CH";
  s.cd = "SZ";
  s.iata = "ZRH";
  StationTableView* table = OpenTable({s});
  ASSERT_EQ(table->rowCount(), 1);
  const char* cells[] = {"ZURICH", "47 28N", "008 33E", "432", "CH", "SZ", "LSZH", "ZRH"};
  for (int c = 0; c < 8; ++c) EXPECT_EQ(Column(table, c)[0], cells[c]) << c;
  EXPECT_EQ(table->model()->index(0, 0).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
            int(Qt::AlignLeft));
  EXPECT_EQ(table->model()->index(0, 6).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
            int(Qt::AlignHCenter));
}

// The table draws its cells itself, for speed; it must look as Qt's own
// item drawing would: same places, highlight, focus frame and "…".
TEST_F(StationTableTest, CellsLookAsTheStandardItemDrawingWouldDrawThem) {
  Station s = MakeStation("A NAME FAR TOO LONG FOR ITS COLUMN", "LSZH", "432");
  s.latText = "47 28N";
  s.country = "CH";
  StationTableView* table = OpenTable({s, MakeStation("BERN", "LSZB", "510")});
  table->focusFirstRow();
  QTableView* grid = table->grid();
  grid->selectRow(1);
  auto picture = [grid] {
    QImage image(grid->viewport()->size(), QImage::Format_RGB32);
    grid->viewport()->render(&image);
    return image;
  };
  const QImage own = picture();
  QStyledItemDelegate standard;
  QAbstractItemDelegate* ownDelegate = grid->itemDelegate();
  grid->setItemDelegate(&standard);
  const QImage expected = picture();
  grid->setItemDelegate(ownDelegate);
  // Glyphs may sit a fraction of a pixel apart; a misplaced or missing text,
  // highlight or frame changes far more.
  int differing = 0;
  for (int y = 0; y < own.height(); ++y)
    for (int x = 0; x < own.width(); ++x) differing += own.pixel(x, y) != expected.pixel(x, y) ? 1 : 0;
  EXPECT_LT(differing, 40);
}

TEST_F(StationTableTest, SortDirectionIsSharedByEveryTable) {
  StationTableView* first = OpenNames({"BERN", "AARAU", "CHUR"});
  const std::vector<std::string> ascending = {"AARAU", "BERN", "CHUR"};
  const std::vector<std::string> descending = {"CHUR", "BERN", "AARAU"};
  EXPECT_EQ(Column(first, 0), ascending) << "a new table is sorted by STATION ascending";

  ClickHeader(first, 0);
  EXPECT_EQ(Column(first, 0), ascending) << "the first click sorts ascending: no change";

  // A table filled after an odd number of clicks starts descending.
  StationTableView* second = OpenNames({"BERN", "AARAU", "CHUR"});
  EXPECT_EQ(Column(second, 0), descending);

  ClickHeader(second, 0);
  EXPECT_EQ(Column(second, 0), descending);

  ClickHeader(first, 0);
  EXPECT_EQ(Column(first, 0), ascending);
  ClickHeader(first, 0);
  EXPECT_EQ(Column(first, 0), descending) << "every later click reverses";
  // The header's arrow shows the order the rows are in.
  EXPECT_EQ(first->grid()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
  EXPECT_EQ(second->grid()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
  EXPECT_EQ(first->grid()->horizontalHeader()->sortIndicatorSection(), 0);
  ClickHeader(first, 6);
  EXPECT_EQ(first->grid()->horizontalHeader()->sortIndicatorSection(), 6);
  EXPECT_EQ(first->grid()->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
  EXPECT_FALSE(WaitCursorShown());
}

TEST_F(StationTableTest, ElevationSortsNumericallyOtherColumnsByBytes) {
  StationTableView* table = OpenTable({MakeStation("zeta", "KJFK", "12"), MakeStation("Alpha", "1ABC", "-5"),
                                       MakeStation("Zulu", "kjfk", "7"), MakeStation("alpha", "ABCD", "n/a")});
  EXPECT_EQ(Column(table, 0), (std::vector<std::string>{"Alpha", "Zulu", "alpha", "zeta"}));

  ClickHeader(table, 3);
  EXPECT_EQ(Column(table, 3), (std::vector<std::string>{"-5", "n/a", "7", "12"}));
  ClickHeader(table, 6);
  EXPECT_EQ(Column(table, 6), (std::vector<std::string>{"kjfk", "KJFK", "ABCD", "1ABC"})) << "second click: descending";
  ClickHeader(table, 6);
  EXPECT_EQ(Column(table, 6), (std::vector<std::string>{"1ABC", "ABCD", "KJFK", "kjfk"}));
}

TEST_F(StationTableTest, SelectedRowsMoveWithTheirStationsWhenSorted) {
  StationTableView* table = OpenNames({"BERN", "AARAU", "CHUR"});
  QTest::mouseClick(table->grid()->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(table, 0));
  ClickHeader(table, 0);  // ascending, no change
  ClickHeader(table, 0);  // descending
  const QModelIndexList selected = table->grid()->selectionModel()->selectedRows();
  ASSERT_EQ(selected.size(), 1);
  EXPECT_EQ(selected[0].row(), 2);
  EXPECT_EQ(selected[0].data().toString(), QStringLiteral("AARAU"));
}

TEST_F(StationTableTest, StatusLineTellsTheChangedRow) {
  StationList rows;
  for (int i = 0; i < 250; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "S%03d", i);
    rows.push_back(MakeStation(name, name));
  }
  StationTableView* table = OpenTable(std::move(rows));
  EXPECT_EQ(table->currentRow(), -1);
  QTest::mouseClick(table->grid()->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(table, 2));
  EXPECT_EQ(StatusText(frame), QStringLiteral(" Line:      3 /    250"));
  EXPECT_EQ(table->currentRow(), 2);

  QTest::keyClick(table->grid(), Qt::Key_Down);
  EXPECT_EQ(StatusText(frame), QStringLiteral(" Line:      4 /    250")) << "the table's own keys still work";
  EXPECT_EQ(table->currentRow(), 3);
}

TEST_F(StationTableTest, EnterOpensTheChangedRowAndNothingBeforeIt) {
  StationTableView* table = OpenNames({"BERN", "AARAU", "CHUR"});
  table->grid()->setFocus();
  // Focus makes the first row current on its own; that is no row change.
  ASSERT_TRUE(table->grid()->hasFocus());
  PressKey(table, Qt::Key_Return);
  EXPECT_TRUE(fetched.empty()) << "Enter before any row changed does nothing";
  EXPECT_EQ(table->currentRow(), -1);

  QTest::mouseClick(table->grid()->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(table, 1));
  PressKey(table, Qt::Key_Return);
  EXPECT_EQ(OpenedNames(), std::vector<std::string>{"BERN"});
  PressKey(table, Qt::Key_Enter);
  EXPECT_EQ(OpenedNames(), (std::vector<std::string>{"BERN", "BERN"}));
  EXPECT_EQ(FetchedStations(fetched), (std::vector<std::string>{"IC0", "IC0"})) << fetched.all().size() << (fetched.empty() ? "" : fetched.all()[0]);
  EXPECT_FALSE(WaitCursorShown());
}

TEST_F(StationTableTest, EnterAfterASortOpensTheStationStillSelected) {
  StationTableView* table = OpenNames({"BERN", "AARAU", "CHUR", "DAVOS"});
  QTest::mouseClick(table->grid()->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(table, 0));
  ASSERT_EQ(Column(table, 0)[0], "AARAU");
  ClickHeader(table, 0);  // ascending, no change
  ClickHeader(table, 0);  // descending: AARAU moves to the last row
  ASSERT_EQ(Column(table, 0), (std::vector<std::string>{"DAVOS", "CHUR", "BERN", "AARAU"}));
  EXPECT_EQ(table->currentRow(), 3);
  PressKey(table, Qt::Key_Return);
  EXPECT_EQ(OpenedNames(), std::vector<std::string>{"AARAU"});
}

TEST_F(StationTableTest, DoubleClickOpensTheStationOfTheRowItself) {
  // Two stations share a code: each row opens its own.
  StationTableView* table = OpenTable({MakeStation("ZZSECOND", "DUPL"), MakeStation("MMNOCODE", ""),
                                       MakeStation("AAFIRST", "DUPL"), MakeStation("CCCASE", "dupl")});
  ASSERT_EQ(Column(table, 0), (std::vector<std::string>{"AAFIRST", "CCCASE", "MMNOCODE", "ZZSECOND"}));
  DoubleClickRow(table, 3);
  DoubleClickRow(table, 0);
  DoubleClickRow(table, 1);
  EXPECT_EQ(OpenedNames(), (std::vector<std::string>{"ZZSECOND", "AAFIRST", "CCCASE"}));
  EXPECT_EQ(FetchedStations(fetched), (std::vector<std::string>{"DUPL", "DUPL", "dupl"}));
  EXPECT_FALSE(WaitCursorShown());
  EXPECT_TRUE(Views<StationChartView>().empty()) << "no data, no chart";
}

TEST_F(StationTableTest, AnOlderResultTableKeepsItsRowsAndOpensWhatItShows) {
  StationTableView* older = frame->openResultTable({MakeStation("BERN", "LSZB"), MakeStation("ZURICH", "LSZH")});
  StationTableView* newer = frame->openResultTable({MakeStation("GENEVA", "LSGG")});
  ASSERT_NE(older, newer);
  EXPECT_EQ(Column(older, 0), (std::vector<std::string>{"BERN", "ZURICH"}));
  EXPECT_EQ(Column(newer, 0), std::vector<std::string>{"GENEVA"});

  Activate(older);
  DoubleClickRow(older, 0);
  DoubleClickRow(older, 1);
  EXPECT_EQ(OpenedNames(), (std::vector<std::string>{"BERN", "ZURICH"}));
}

TEST_F(StationTableTest, CtrlFOpensTheFindDialogAndFAloneDoesNot) {
  StationTableView* table = OpenNames({"BERN", "AARAU", "CHUR"});
  table->grid()->setFocus();
  {
    ModalWatch<FindStationDialog> find([](FindStationDialog* dialog) { dialog->reject(); });
    QTest::keyClick(table->grid(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(find.seen());
  }
  ModalWatch<QDialog> other([](QDialog* dialog) { dialog->reject(); });
  QTest::keyClick(table->grid(), Qt::Key_F);
  QCoreApplication::processEvents();
  EXPECT_FALSE(other.seen());
}

TEST_F(StationTableTest, TableFindSearchesItsOwnRows) {
  StationTableView* results =
      frame->openResultTable({MakeStation("BERN", "LSZB"), MakeStation("ZURICH", "LSZH")});
  ASSERT_EQ(ActiveView(frame), results);
  ModalWatch<FindStationDialog> find([](FindStationDialog* dialog) {
    dialog->findTextEdit()->setText(QStringLiteral("zur"));
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
  });
  // The Find command with a table active searches that table.
  ActionOf(frame, "findStationAction")->trigger();
  ASSERT_TRUE(find.seen());
  StationTableView* found = LastView<StationTableView>();
  ASSERT_NE(found, results);
  EXPECT_EQ(TitleOf(found), QStringLiteral("Nearest stations"));
  EXPECT_EQ(Column(found, 0), std::vector<std::string>{"ZURICH"}) << "ZURS is not among the table's rows";
  EXPECT_EQ(Column(results, 0), (std::vector<std::string>{"BERN", "ZURICH"})) << "the searched table is unchanged";
}

}  // namespace
}  // namespace nimbrel::test
