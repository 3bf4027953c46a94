#pragma once
// A sortable table of stations ("All stations" or "Nearest stations").
// Every table keeps its own rows: a later search never changes them.
#include <QTableView>

class QMenu;
#include <QWidget>
#include <memory>
#include <string>

#include "base/UserPort.h"
#include "catalog/Station.h"
#include "ui/StationColumns.h"
#include "ui/ChildView.h"

namespace nimbrel {

class StationTableModel;
class StationTableView;
struct WatchToggle;

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

class StationTableView : public QWidget, public ChildView {
  Q_OBJECT

 public:
  // Every table shares one sort state; the busy cursor and the status
  // line go to `port`.
  StationTableView(TableSortState& sort, UserPort& port, std::shared_ptr<const StationList> rows);
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

  // The "Watch" entry of the rows' context menu asks this (null: no entry).
  void setWatchToggle(const WatchToggle* toggle) { watch = toggle; }
  // The context menu of a row: its chart, and Watch or Stop Watching.
  void fillRowMenu(QMenu& menu, int row);

  // New stations (a new catalogue), in the order the table shows now.
  void replaceStations(std::shared_ptr<const StationList> rows);

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
  std::string statusText() const override;

  // ChildView
  bool offers(Command command) const override { return command == Command::kFind; }
  const StationList* ownStations() const override { return &stations(); }

 signals:
  void stationActivated(const nimbrel::Station& station);
  void findRequested(const nimbrel::StationList& searched);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void showSortOrder();

  TableSortState& sort;
  UserPort& port;
  const WatchToggle* watch = nullptr;
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
