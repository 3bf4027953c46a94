#pragma once
// The view of template 501: a sortable table of one of the main frame's
// station lists ("All stations" or the shared "Nearest stations").
#include <QTableView>
#include <functional>
#include <string>

#include "app/View.h"
#include "catalog/Station.h"

namespace nimbrel {

class CMainFrame;
class CStationCatalog;
class CStationTableModel;
class CListView_Stations;

// The table widget itself; its owner sees every key first, and the table's
// own handling still follows.
class CStationGrid : public QTableView {
  Q_OBJECT

 public:
  explicit CStationGrid(CListView_Stations* owner);

  // True while focus-in lets the table pick a current row of its own.
  bool SettingFocusRow() const { return settingFocusRow; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  CListView_Stations* owner;
  bool settingFocusRow = false;
};

class CListView_Stations : public CView {
  Q_OBJECT

 public:
  CListView_Stations();
  ~CListView_Stations() override;

  bool OnCreate() override;
  void OnInitialUpdate() override;
  bool OnCommand(int id) override;
  bool OnUpdateCommand(int id, CCmdUI& ui) override;

  // Builds the rows once, sorted by the first column in the shared direction.
  void FillStationTable();
  // A header click: sort by that column, then reverse the shared direction.
  void OnColumnClick(int column);
  // A row's selection or focus changed: the status line and currentRow.
  void OnItemChanged(int row);
  // Double-click or Enter: the first station of the list with the row's ICAO code.
  void OpenStationOfRow(int row);
  // Ctrl+F and the "Find station" command: search this table's stations.
  void OnFindStation();
  // Called by the grid for every key before its own handling.
  void OnKeyDown(QKeyEvent* event);

  CStationGrid* Grid() const { return grid; }
  CStationTableModel* Model() const { return model; }
  int RowCount() const;
  // The station list the rows show: the shown list itself, or for the
  // shared result list the copy taken when the rows were built.
  const CStationArray& RowStations() const;

  // Row index of the last item change; -1 before the first.
  int currentRow = -1;
  std::string statusText;
  CMainFrame* mainFrame = nullptr;
  CStationCatalog* catalogue = nullptr;
  // The list this table shows, chosen from the next view kind.
  CStationArray* shownStations = nullptr;
  // Opens a station's graph window: the catalogue's OpenStationGraph unless
  // replaced (tests watch which station a row opens).
  std::function<void(const CStation&)> stationOpener;

 private:
  CStationGrid* grid = nullptr;
  CStationTableModel* model = nullptr;
  // A result table keeps the rows it was built with when a later search
  // refills the shared list.
  CStationArray resultRows;
  bool showsResults = false;
  // Fill and sort in progress: no repaints, item changes ignored.
  bool suspended = false;
};

}  // namespace nimbrel
