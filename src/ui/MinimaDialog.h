#pragma once
// "Personal Minima": the global limits and each station's overrides in one
// table, every limit optional (an empty cell: none, or for a station the
// global one). Visibility is entered in the user's distance unit; the set
// is kept in metres, feet and knots. Only OK changes anything.
#include <QDialog>
#include <optional>

#include "base/DisplayUnits.h"
#include "watch/Minima.h"

class QLabel;
class QTableWidget;

namespace nimbrel {

class MinimaDialog : public QDialog {
  Q_OBJECT

 public:
  enum Column { kStation, kCeiling, kVisibility, kWind, kGust, kRunway, kCrosswind, kColumnCount };

  MinimaDialog(const MinimaSet& minima, VisibilityUnit visibility, QWidget* parent = nullptr);

  // The set the table holds, or none with problem() saying which cell is wrong.
  std::optional<MinimaSet> entered();
  QString problem() const;
  QTableWidget* table() const { return grid; }
  // A new override row, its code cell ready for typing.
  void addStationRow(const QString& icao = {});
  void removeSelectedRows();

  void accept() override;

 private:
  void addRow(const QString& station, const Minima& limits, bool global);

  VisibilityUnit unit;
  QTableWidget* grid = nullptr;
  QLabel* note = nullptr;
};

// Shows the dialog; true with `minima` changed on OK.
bool editMinima(QWidget* parent, MinimaSet& minima, VisibilityUnit visibility);

}  // namespace nimbrel
