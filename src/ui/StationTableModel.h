#pragma once
// The rows of a station table: a permutation of its station list's indices.
// The list is shared, not copied: "All stations" shows the catalogue itself.
#include <QAbstractTableModel>
#include <memory>
#include <vector>

#include "catalog/Station.h"

namespace nimbrel {

class StationTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit StationTableModel(std::shared_ptr<const StationList> stations, QObject* parent = nullptr);

  // Reorders the rows by a column; selection and current row move with
  // their stations.
  void sortByColumn(int column, bool descending);

  // New stations in list order (a reset: selection and current row go).
  void setStations(std::shared_ptr<const StationList> stations);

  const Station& stationAt(int row) const;
  const StationList& stations() const { return *list; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  std::shared_ptr<const StationList> list;
  std::vector<int> rows;  // row -> index into list
};

}  // namespace nimbrel
