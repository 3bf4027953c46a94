#pragma once
// The rows of the "Watched stations" window: the service's rows as they
// come, shown in the order the user sorted them by. Sorting goes by the
// values behind the texts: category by severity, age by minutes.
#include <QAbstractTableModel>
#include <vector>

#include "watch/WatchRows.h"

namespace nimbrel {

enum WatchColumn {
  kWatchIcao, kWatchName, kWatchCategory, kWatchAge, kWatchWind, kWatchVisibility, kWatchCeiling,
  kWatchTemperature, kWatchTrend, kWatchNextChange, kWatchMinima, kWatchColumnCount
};

class WatchTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit WatchTableModel(QObject* parent = nullptr);

  // New rows (new weather, a station added or removed): kept in the sort
  // the user chose; the selection stays with its stations.
  void setRows(std::vector<WatchRow> rows);
  const WatchRow& rowAt(int row) const { return rows.at(static_cast<std::size_t>(row)); }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  // The whole row of a station below its minima has this background.
  static QColor belowMinimaColour();

 private:
  void sortRows();
  std::vector<std::string> stationOrder() const;
  void followMovedRows(const std::vector<std::string>& before);

  std::vector<WatchRow> rows;
  int sortColumn = -1;  // -1: the list's own order
  Qt::SortOrder sortOrder = Qt::AscendingOrder;
};

}  // namespace nimbrel
