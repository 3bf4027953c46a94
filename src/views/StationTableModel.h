#pragma once
// The rows of a station table: a permutation of a station list's indices,
// read straight from the list for every cell shown.
#include <QAbstractTableModel>
#include <vector>

#include "catalog/Station.h"

namespace nimbrel {

class CStationTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit CStationTableModel(QObject* parent = nullptr);

  // Shows one row per station of the list, in list order. The list must
  // outlive the model and keep its size while the model shows it.
  void SetStations(const CStationArray* list);
  // Reorders the rows by a column; selection and current row move with
  // their stations.
  void Sort(int column, bool descending);

  const CStation& StationAt(int row) const;
  const CStationArray* Stations() const { return stations; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  const CStationArray* stations = nullptr;
  std::vector<int> rows;  // row -> index into stations
};

}  // namespace nimbrel
