#include "ui/WatchTableModel.h"

#include <QColor>
#include <QCoreApplication>
#include <QFont>

#include <algorithm>
#include <limits>
#include <tuple>
#include <unordered_map>

#include "charts/WeatherLayer.h"
#include "services/QtText.h"

namespace nimbrel {
namespace {

const char* const kHeaders[kWatchColumnCount] = {"ICAO",  "Name",        "Category", "Age",
                                                 "Wind",  "Visibility",  "Ceiling",  "Temp / Dew point",
                                                 "Trend", "Next change", "Minima"};

int trendRank(WatchTrend trend) {
  switch (trend) {
    case WatchTrend::kBetter: return 1;
    case WatchTrend::kSteady: return 2;
    case WatchTrend::kWorse: return 3;
    case WatchTrend::kNone: break;
  }
  return 0;
}

// A missing value sorts before every given one, whichever the column.
double valueOr(const std::optional<double>& value) { return value ? *value : -std::numeric_limits<double>::infinity(); }

// The key a column sorts by; ties keep the order they were in (a stable sort).
std::tuple<double, double, std::string> sortKey(const WatchRow& row, int column) {
  switch (column) {
    case kWatchIcao: return {0, 0, row.icao};
    case kWatchName: return {0, 0, row.name};
    case kWatchCategory: return {double(categorySeverity(row.category)), 0, {}};
    case kWatchAge:
      return {row.ageMinutes < 0 ? std::numeric_limits<double>::infinity() : double(row.ageMinutes), 0, {}};
    case kWatchWind: return {valueOr(row.windKt), valueOr(row.gustKt), {}};
    case kWatchVisibility: return {valueOr(row.visibilityM), 0, {}};
    // No ceiling is the highest of all; no report at all the lowest.
    case kWatchCeiling:
      return {row.ceilingFt         ? double(*row.ceilingFt)
              : row.ageMinutes >= 0 ? std::numeric_limits<double>::infinity()
                                    : -std::numeric_limits<double>::infinity(),
              0,
              {}};
    case kWatchTemperature: return {valueOr(row.temperatureC), 0, {}};
    case kWatchTrend: return {double(trendRank(row.trend)), 0, {}};
    case kWatchNextChange: return {0, 0, row.nextChange};
    case kWatchMinima: return {double(row.belowMinima.size()), 0, minimaVerdictText(row)};
    default: break;
  }
  return {0, 0, {}};
}

QString trendArrow(WatchTrend trend) {
  switch (trend) {
    case WatchTrend::kBetter: return QStringLiteral("\u2191");
    case WatchTrend::kSteady: return QStringLiteral("\u2192");
    case WatchTrend::kWorse: return QStringLiteral("\u2193");
    case WatchTrend::kNone: break;
  }
  return {};
}

QString trendToolTip(WatchTrend trend) {
  switch (trend) {
    case WatchTrend::kBetter: return QCoreApplication::translate("WatchTable", "Better than the report before");
    case WatchTrend::kSteady:
      return QCoreApplication::translate("WatchTable", "The same category as the report before");
    case WatchTrend::kWorse: return QCoreApplication::translate("WatchTable", "Worse than the report before");
    case WatchTrend::kNone: break;
  }
  return QCoreApplication::translate("WatchTable", "No report before this one to compare with");
}

QString cellText(const WatchRow& row, int column) {
  switch (column) {
    case kWatchIcao: return toQString(row.icao);
    case kWatchName: return toQString(row.name);
    case kWatchCategory: return toQString(row.categoryText);
    case kWatchAge: return toQString(row.age);
    case kWatchWind: return toQString(row.wind);
    case kWatchVisibility: return toQString(row.visibility);
    case kWatchCeiling: return toQString(row.ceiling);
    case kWatchTemperature: return toQString(row.temperature);
    case kWatchTrend: return trendArrow(row.trend);
    case kWatchNextChange: return toQString(row.nextChange);
    case kWatchMinima:
      return row.belowMinima.empty()
                 ? QString()
                 : QCoreApplication::translate("WatchTable", "Below: %1").arg(toQString(minimaVerdictText(row)));
    default: break;
  }
  return {};
}

}  // namespace

WatchTableModel::WatchTableModel(QObject* parent) : QAbstractTableModel(parent) {}

QColor WatchTableModel::belowMinimaColour() { return QColor(255, 204, 153); }

void WatchTableModel::setRows(std::vector<WatchRow> fresh) {
  const auto sameStations = [&] {
    if (fresh.size() != rows.size()) return false;
    std::vector<std::string> before, after;
    for (const WatchRow& row : rows) before.push_back(row.icao);
    for (const WatchRow& row : fresh) after.push_back(row.icao);
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    return before == after;
  };
  if (!sameStations()) {
    beginResetModel();
    rows = std::move(fresh);
    if (sortColumn >= 0) sortRows();
    endResetModel();
    return;
  }
  // The same stations with new weather: the rows move as a sort moves them.
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const std::vector<std::string> before = stationOrder();
  rows = std::move(fresh);
  if (sortColumn >= 0) sortRows();
  followMovedRows(before);
  emit dataChanged(index(0, 0), index(rowCount() - 1, kWatchColumnCount - 1));
}

std::vector<std::string> WatchTableModel::stationOrder() const {
  std::vector<std::string> order;
  for (const WatchRow& row : rows) order.push_back(row.icao);
  return order;
}

// The selection and the current row stay on their stations as rows move.
void WatchTableModel::followMovedRows(const std::vector<std::string>& before) {
  std::unordered_map<std::string, int> rowOf;
  for (std::size_t i = 0; i < rows.size(); ++i) rowOf[rows[i].icao] = static_cast<int>(i);
  const QModelIndexList persistent = persistentIndexList();
  QModelIndexList moved;
  for (const QModelIndex& index : persistent)
    moved.append(this->index(rowOf[before[static_cast<std::size_t>(index.row())]], index.column()));
  changePersistentIndexList(persistent, moved);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void WatchTableModel::sortRows() {
  std::stable_sort(rows.begin(), rows.end(), [this](const WatchRow& a, const WatchRow& b) {
    return sortOrder == Qt::AscendingOrder ? sortKey(a, sortColumn) < sortKey(b, sortColumn)
                                           : sortKey(b, sortColumn) < sortKey(a, sortColumn);
  });
}

void WatchTableModel::sort(int column, Qt::SortOrder order) {
  if (column < 0 || column >= kWatchColumnCount) return;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const std::vector<std::string> before = stationOrder();
  sortColumn = column;
  sortOrder = order;
  sortRows();
  followMovedRows(before);
}

int WatchTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows.size());
}

int WatchTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kWatchColumnCount; }

QVariant WatchTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= kWatchColumnCount) return {};
  const WatchRow& row = rowAt(index.row());
  const int column = index.column();
  const bool below = !row.belowMinima.empty();
  switch (role) {
    case Qt::DisplayRole: return cellText(row, column);
    case Qt::ToolTipRole:
      if (column == kWatchTrend) return trendToolTip(row.trend);
      if (below)
        return QCoreApplication::translate("WatchTable", "Below your minima: %1")
            .arg(toQString(minimaVerdictText(row)));
      if (column == kWatchCategory || column == kWatchIcao) return toQString(row.rawReport);
      return {};
    case Qt::BackgroundRole:
      if (column == kWatchCategory && row.category != FlightCategory::Unknown) {
        const Colour colour = flightCategoryColour(row.category);
        return QColor(redOf(colour), greenOf(colour), blueOf(colour));
      }
      if (below) return belowMinimaColour();
      return {};
    case Qt::ForegroundRole:
      if (column == kWatchCategory && row.category != FlightCategory::Unknown) return QColor(Qt::white);
      if (below) return QColor(Qt::black);
      return {};
    case Qt::FontRole:
      if (column == kWatchCategory || (column == kWatchMinima && below)) {
        QFont bold;
        bold.setBold(true);
        return bold;
      }
      return {};
    case Qt::TextAlignmentRole:
      return (column == kWatchIcao || column == kWatchName || column == kWatchNextChange || column == kWatchMinima ||
                      column == kWatchWind
                  ? Qt::AlignLeft | Qt::AlignVCenter
                  : Qt::AlignCenter)
          .toInt();
    default: break;
  }
  return {};
}

QVariant WatchTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kWatchColumnCount) return {};
  if (role == Qt::DisplayRole) return QCoreApplication::translate("WatchTable", kHeaders[section]);
  return {};
}

}  // namespace nimbrel
