#include "views/StationTableModel.h"

#include <numeric>

#include "platform/qt/QtText.h"
#include "views/StationSort.h"

namespace nimbrel {

CStationTableModel::CStationTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void CStationTableModel::SetStations(const CStationArray* list) {
  beginResetModel();
  stations = list;
  rows.resize(list != nullptr ? static_cast<std::size_t>(list->GetSize()) : 0);
  std::iota(rows.begin(), rows.end(), 0);
  endResetModel();
}

void CStationTableModel::Sort(int column, bool descending) {
  if (stations == nullptr) return;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const std::vector<int> before = rows;
  SortStationRows(rows, *stations, column, descending);

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

const CStation& CStationTableModel::StationAt(int row) const {
  return stations->GetAt(rows.at(static_cast<std::size_t>(row)));
}

int CStationTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows.size());
}

int CStationTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kStationColumnCount;
}

namespace {

Qt::Alignment AlignmentOf(int column) {
  return kStationColumns[column].alignment == ColumnAlignment::kLeft ? Qt::AlignLeft | Qt::AlignVCenter
                                                                     : Qt::AlignCenter;
}

}  // namespace

QVariant CStationTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.column() >= kStationColumnCount) return {};
  if (role == Qt::DisplayRole) return ToQString(StationCellText(StationAt(index.row()), index.column()));
  if (role == Qt::TextAlignmentRole) return AlignmentOf(index.column()).toInt();
  return {};
}

QVariant CStationTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kStationColumnCount) return {};
  if (role == Qt::DisplayRole) return QString::fromLatin1(kStationColumns[section].header);
  if (role == Qt::TextAlignmentRole) return AlignmentOf(section).toInt();
  return {};
}

}  // namespace nimbrel
