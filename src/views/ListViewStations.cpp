#include "views/ListViewStations.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "app/MainFrame.h"
#include "catalog/StationCatalog.h"
#include "platform/MainFrame.h"
#include "platform/ViewKind.h"
#include "views/DiaFind.h"
#include "views/Guarded.h"
#include "views/StationSort.h"
#include "views/StationTableModel.h"

namespace nimbrel {

namespace {

// Suspends repaints and item-change handling for a fill or a sort.
class CSuspendTable {
 public:
  CSuspendTable(QWidget* widget, bool& suspended) : widget(widget), suspended(suspended) {
    suspended = true;
    widget->setUpdatesEnabled(false);
  }
  ~CSuspendTable() {
    suspended = false;
    widget->setUpdatesEnabled(true);
  }
  CSuspendTable(const CSuspendTable&) = delete;
  CSuspendTable& operator=(const CSuspendTable&) = delete;

 private:
  QWidget* widget;
  bool& suspended;
};

}  // namespace

CStationGrid::CStationGrid(CListView_Stations* owner) : QTableView(owner), owner(owner) {}

void CStationGrid::keyPressEvent(QKeyEvent* event) {
  Guarded("key", [&] { owner->OnKeyDown(event); });
  QTableView::keyPressEvent(event);
}

void CStationGrid::focusInEvent(QFocusEvent* event) {
  // Gaining focus makes the first row current without the user choosing it;
  // that is no item change of the table.
  settingFocusRow = true;
  QTableView::focusInEvent(event);
  settingFocusRow = false;
}

CListView_Stations::CListView_Stations() {
  mainFrame = GetMainFrame();
  if (mainFrame != nullptr) {
    catalogue = &mainFrame->catalogue;
    showsResults = nextViewKind != kAllStationsTable;
    shownStations = showsResults ? &mainFrame->ResultStations() : &mainFrame->AllStations();
  }

  model = new CStationTableModel(this);
  grid = new CStationGrid(this);
  grid->setModel(model);
  grid->setShowGrid(true);
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setSortingEnabled(false);
  grid->setWordWrap(false);
  grid->setCornerButtonEnabled(false);
  grid->verticalHeader()->hide();
  // Every row the same height and no measuring of contents: the table's cost
  // does not grow with the number of stations.
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);
  QHeaderView* header = grid->horizontalHeader();
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->setStretchLastSection(false);
  header->setSectionsClickable(true);
  header->setHighlightSections(false);
  for (int column = 0; column < kStationColumnCount; ++column) {
    header->resizeSection(column, kStationColumns[column].width);
  }

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(grid);
  setFocusProxy(grid);

  connect(header, &QHeaderView::sectionClicked, this,
          [this](int column) { Guarded("column click", [&] { OnColumnClick(column); }); });
  connect(grid, &QAbstractItemView::doubleClicked, this,
          [this](const QModelIndex& index) { Guarded("double-click", [&] { OpenStationOfRow(index.row()); }); });
  connect(grid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& selected, const QItemSelection& deselected) {
            const QModelIndex current = grid->selectionModel()->currentIndex();
            int row = current.isValid() ? current.row() : -1;
            if (row < 0 && !selected.isEmpty()) row = selected.first().top();
            if (row < 0 && !deselected.isEmpty()) row = deselected.first().top();
            if (row >= 0) OnItemChanged(row);
          });
  connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current, const QModelIndex&) {
            if (current.isValid() && !grid->SettingFocusRow()) OnItemChanged(current.row());
          });
}

CListView_Stations::~CListView_Stations() = default;

bool CListView_Stations::OnCreate() { return mainFrame != nullptr; }

void CListView_Stations::OnInitialUpdate() { FillStationTable(); }

bool CListView_Stations::OnCommand(int id) {
  if (id != ID_FIND_STATION) return false;
  OnFindStation();
  return true;
}

bool CListView_Stations::OnUpdateCommand(int id, CCmdUI& ui) {
  if (id != ID_FIND_STATION) return false;
  ui.Enable(true);
  return true;
}

int CListView_Stations::RowCount() const { return model->rowCount(); }

const CStationArray& CListView_Stations::RowStations() const { return showsResults ? resultRows : *shownStations; }

void CListView_Stations::FillStationTable() {
  if (shownStations == nullptr) return;
  CWaitCursor wait(*mainFrame);
  CSuspendTable suspend(this, suspended);
  if (showsResults) resultRows = *shownStations;
  model->SetStations(&RowStations());
  sortColumn = 0;
  model->Sort(sortColumn, sortDescending);
}

void CListView_Stations::OnColumnClick(int column) {
  if (mainFrame == nullptr) return;
  CWaitCursor wait(*mainFrame);
  CSuspendTable suspend(this, suspended);
  sortColumn = column;
  model->Sort(sortColumn, sortDescending);
  sortDescending = !sortDescending;
}

void CListView_Stations::OnItemChanged(int row) {
  if (suspended || !isVisible() || mainFrame == nullptr) return;
  statusText = FormatLineStatus(row, RowCount());
  mainFrame->SetStatusText(statusText);
  currentRow = row;
}

void CListView_Stations::OpenStationOfRow(int row) {
  if (row < 0 || row >= RowCount() || shownStations == nullptr) return;
  const std::string icao = model->StationAt(row).icao();
  CWaitCursor wait(*mainFrame);
  // The live list, not the rows: a station that left the shared result
  // list since the rows were built opens nothing.
  for (const CStation& station : *shownStations) {
    if (station.icao() == icao) {
      // A copy: the opening may run message boxes, and a find meanwhile
      // could refill the list under a reference.
      const CStation chosen = station;
      if (stationOpener) {
        stationOpener(chosen);
      } else {
        catalogue->OpenStationGraph(chosen);
      }
      return;
    }
  }
}

void CListView_Stations::OnFindStation() {
  if (mainFrame == nullptr) return;
  RunFindCommand(*mainFrame, *catalogue, RowStations());
}

void CListView_Stations::OnKeyDown(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    OpenStationOfRow(currentRow);
  } else if (key == Qt::Key_F && (event->modifiers() & Qt::ControlModifier)) {
    OnFindStation();
  }
}

}  // namespace nimbrel
