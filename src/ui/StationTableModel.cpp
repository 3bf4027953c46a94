#include "ui/StationTableModel.h"

#include <QCoreApplication>

#include <numeric>

#include "services/QtText.h"
#include "ui/StationColumns.h"

namespace nimbrel {

StationTableModel::StationTableModel(std::shared_ptr<const StationList> stations, QObject* parent)
    : QAbstractTableModel(parent), list(std::move(stations)), rows(list->size()) {
  std::iota(rows.begin(), rows.end(), 0);
}

void StationTableModel::setStations(std::shared_ptr<const StationList> stations) {
  beginResetModel();
  list = std::move(stations);
  rows.resize(list->size());
  std::iota(rows.begin(), rows.end(), 0);
  endResetModel();
}

void StationTableModel::sortByColumn(int column, bool descending) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const std::vector<int> before = rows;
  sortStationRows(rows, *list, column, descending);

  // Only the selected and current rows hold persistent indexes, so this map
  // is the only per-row work beyond the sort itself.
  const QModelIndexList persistent = persistentIndexList();
  if (!persistent.isEmpty()) {
    std::vector<int> newRowOfStation(rows.size());
    for (std::size_t row = 0; row < rows.size(); ++row) newRowOfStation[static_cast<std::size_t>(rows[row])] = static_cast<int>(row);
    QModelIndexList moved;
    moved.reserve(persistent.size());
    for (const QModelIndex& index : persistent) {
      const int station = before[static_cast<std::size_t>(index.row())];
      moved.append(this->index(newRowOfStation[static_cast<std::size_t>(station)], index.column()));
    }
    changePersistentIndexList(persistent, moved);
  }
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

const Station& StationTableModel::stationAt(int row) const {
  return list->at(static_cast<std::size_t>(rows.at(static_cast<std::size_t>(row))));
}

int StationTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows.size());
}

int StationTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kStationColumnCount;
}

namespace {

Qt::Alignment alignmentOf(int column) {
  return kStationColumns[column].alignment == ColumnAlignment::kLeft ? Qt::AlignLeft | Qt::AlignVCenter
                                                                     : Qt::AlignCenter;
}

}  // namespace

QVariant StationTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.column() >= kStationColumnCount) return {};
  if (role == Qt::DisplayRole) return toQString(stationCellText(stationAt(index.row()), index.column()));
  if (role == Qt::TextAlignmentRole) return alignmentOf(index.column()).toInt();
  return {};
}

QVariant StationTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kStationColumnCount) return {};
  // The column names are the core's; the table reads them in the user's language.
  if (role == Qt::DisplayRole) return QCoreApplication::translate("StationTable", kStationColumns[section].header);
  if (role == Qt::TextAlignmentRole) return alignmentOf(section).toInt();
  return {};
}

}  // namespace nimbrel
