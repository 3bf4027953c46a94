#pragma once
// A sortable table of stations ("All stations" or "Nearest stations").
// Every table keeps its own rows: a later search never changes them.
#include <QTableView>
#include <QWidget>
#include <string>

#include "catalog/Station.h"

namespace nimbrel {

class MainWindow;
class StationTableModel;
class StationTableView;

// The table widget itself; its owner sees every key first, and the table's
// own handling still follows.
class StationGrid : public QTableView {
  Q_OBJECT

 public:
  explicit StationGrid(StationTableView* owner);

  // True while focus-in lets the table pick a current row of its own.
  bool settingFocusRow() const { return focusRow; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  StationTableView* owner;
  bool focusRow = false;
};

class StationTableView : public QWidget {
  Q_OBJECT

 public:
  StationTableView(MainWindow& window, StationList rows);
  ~StationTableView() override;

  // A header click: sort by that column, then reverse the shared direction.
  void onColumnClick(int column);
  // A row's selection or focus changed: the status line and currentRow.
  void onItemChanged(int row);
  // Double-click or Enter: the row's station.
  void openStationOfRow(int row);
  // Ctrl+F and the "Find station" command: search this table's stations.
  void findInTable();
  // Called by the grid for every key before its own handling.
  void onKeyDown(QKeyEvent* event);

  // New stations (a new catalogue), in the order the table shows now.
  void replaceStations(StationList rows);

  StationGrid* grid() const { return table; }
  StationTableModel* model() const { return rowModel; }
  int rowCount() const;
  const StationList& stations() const;
  // Row index of the last item change; -1 before the first.
  int currentRow() const { return current; }
  // Takes the keyboard with the first row chosen, so Enter and the arrows
  // work at once (the result of a search).
  void focusFirstRow();
  // What the status bar says of this table: its current line, if any.
  std::string statusText() const;

 private:
  void showSortOrder();

  MainWindow& window;
  StationGrid* table = nullptr;
  StationTableModel* rowModel = nullptr;
  int current = -1;
  // Fill and sort in progress: no repaints, item changes ignored.
  bool suspended = false;
  // The order the rows are in, which the header's arrow shows.
  int sortedColumn = 0;
  bool sortedDescending = false;
};

}  // namespace nimbrel
