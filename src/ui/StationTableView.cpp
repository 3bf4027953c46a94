#include "ui/StationTableView.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QContextMenuEvent>
#include <QMenu>
#include <QVBoxLayout>

#include "ui/PlainCellDelegate.h"
#include "ui/StationColumns.h"
#include "ui/StationTableModel.h"
#include "ui/WatchToggle.h"

namespace nimbrel {
namespace {

// Suspends repaints and item-change handling for a fill or a sort.
class TableUpdateSuspender {
 public:
  TableUpdateSuspender(QWidget* widget, bool& suspended) : widget(widget), suspended(suspended) {
    suspended = true;
    widget->setUpdatesEnabled(false);
  }
  ~TableUpdateSuspender() {
    suspended = false;
    widget->setUpdatesEnabled(true);
  }
  TableUpdateSuspender(const TableUpdateSuspender&) = delete;
  TableUpdateSuspender& operator=(const TableUpdateSuspender&) = delete;

 private:
  QWidget* widget;
  bool& suspended;
};

}  // namespace

StationGrid::StationGrid(StationTableView* owner) : QTableView(owner), owner(owner) {}

void StationGrid::keyPressEvent(QKeyEvent* event) {
  owner->onKeyDown(event);
  QTableView::keyPressEvent(event);
}

void StationGrid::focusInEvent(QFocusEvent* event) {
  // Gaining focus makes the first row current without the user choosing it;
  // that is no item change of the table.
  focusRow = true;
  QTableView::focusInEvent(event);
  focusRow = false;
}

StationTableView::StationTableView(TableSortState& sort, UserPort& port, std::shared_ptr<const StationList> rows)
    : sort(sort), port(port) {
  rowModel = new StationTableModel(std::move(rows), this);
  // Rows start sorted by the first column in the shared direction, before
  // any view listens, so the sort moves no header sections.
  sort.column = 0;
  rowModel->sortByColumn(sort.column, sort.descending);
  sortedColumn = sort.column;
  sortedDescending = sort.descending;

  table = new StationGrid(this);
  // Every row the same height and no measuring of contents: the table's cost
  // does not grow with the number of stations. Set before the model comes,
  // as a header resizes each of its sections, one signal each, otherwise.
  table->verticalHeader()->hide();
  table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
  table->setModel(rowModel);
  table->setItemDelegate(new PlainCellDelegate(table));
  table->setShowGrid(true);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSortingEnabled(false);
  table->setWordWrap(false);
  table->setCornerButtonEnabled(false);
  QHeaderView* header = table->horizontalHeader();
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->setStretchLastSection(false);
  header->setSectionsClickable(true);
  header->setHighlightSections(false);
  header->setSortIndicatorShown(true);
  for (int column = 0; column < kStationColumnCount; ++column)
    header->resizeSection(column, kStationColumns[column].width);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(table);
  setFocusProxy(table);

  connect(header, &QHeaderView::sectionClicked, this, &StationTableView::onColumnClick);
  // The header turns its arrow on every click by itself, after or before
  // the sort has run: the arrow is put back to the order the rows are in.
  connect(header, &QHeaderView::sortIndicatorChanged, this, &StationTableView::showSortOrder);
  connect(table, &QAbstractItemView::doubleClicked, this,
          [this](const QModelIndex& index) { openStationOfRow(index.row()); });
  connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& selected, const QItemSelection& deselected) {
            const QModelIndex currentIndex = table->selectionModel()->currentIndex();
            int row = currentIndex.isValid() ? currentIndex.row() : -1;
            if (row < 0 && !selected.isEmpty()) row = selected.first().top();
            if (row < 0 && !deselected.isEmpty()) row = deselected.first().top();
            if (row >= 0) onItemChanged(row);
          });
  connect(table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& currentIndex, const QModelIndex&) {
            if (currentIndex.isValid() && !table->settingFocusRow()) onItemChanged(currentIndex.row());
          });

  showSortOrder();
}

StationTableView::~StationTableView() = default;

int StationTableView::rowCount() const { return rowModel->rowCount(); }

const StationList& StationTableView::stations() const { return rowModel->stations(); }

void StationTableView::onColumnClick(int column) {
  BusyScope busy(port);
  TableUpdateSuspender suspend(this, suspended);
  sort.column = column;
  // The row Enter opens moves with its station, as the selection does.
  const QPersistentModelIndex currentStation = current >= 0 ? rowModel->index(current, 0) : QModelIndex();
  rowModel->sortByColumn(sort.column, sort.descending);
  if (currentStation.isValid()) current = currentStation.row();
  sortedColumn = sort.column;
  sortedDescending = sort.descending;
  showSortOrder();
  sort.descending = !sort.descending;
}

void StationTableView::replaceStations(std::shared_ptr<const StationList> rows) {
  TableUpdateSuspender suspend(this, suspended);
  rowModel->setStations(std::move(rows));
  rowModel->sortByColumn(sortedColumn, sortedDescending);
  current = -1;
}

void StationTableView::showSortOrder() {
  // Setting the arrow it already shows changes nothing and signals nothing.
  table->horizontalHeader()->setSortIndicator(sortedColumn,
                                              sortedDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void StationTableView::onItemChanged(int row) {
  if (suspended || !isVisible()) return;
  port.setStatusText(formatLineStatus(row, rowCount()));
  current = row;
}

void StationTableView::openStationOfRow(int row) {
  if (row < 0 || row >= rowCount()) return;
  // A copy: the opening may run message boxes while this table closes.
  const Station chosen = rowModel->stationAt(row);
  BusyScope busy(port);
  emit stationActivated(chosen);
}

void StationTableView::fillRowMenu(QMenu& menu, int row) {
  if (row < 0 || row >= rowCount()) return;
  menu.addAction(tr("Open Chart"), this, [this, row] { openStationOfRow(row); });
  addWatchEntry(menu, watch, rowModel->stationAt(row));
}

void StationTableView::contextMenuEvent(QContextMenuEvent* event) {
  const QModelIndex at = table->indexAt(table->viewport()->mapFrom(this, event->pos()));
  if (!at.isValid() || watch == nullptr) return;
  table->setCurrentIndex(at);
  QMenu menu(this);
  fillRowMenu(menu, at.row());
  menu.exec(event->globalPos());
}

void StationTableView::findInTable() { emit findRequested(stations()); }

void StationTableView::focusFirstRow() {
  if (rowCount() == 0) return;
  // Chosen for the user, not by them: the status bar keeps what the search said.
  suspended = true;
  table->setFocus(Qt::OtherFocusReason);
  table->setCurrentIndex(rowModel->index(0, 0));
  table->selectRow(0);
  suspended = false;
  current = 0;
}

std::string StationTableView::statusText() const {
  return current >= 0 && current < rowCount() ? formatLineStatus(current, rowCount()) : readyText();
}

void StationTableView::onKeyDown(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    openStationOfRow(current);
  } else if (key == Qt::Key_F && (event->modifiers() & Qt::ControlModifier)) {
    findInTable();
  }
}

}  // namespace nimbrel
