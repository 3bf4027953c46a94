#pragma once
// The "Watched stations" window: one row a watched station, sortable by
// every column, a field to add a station by its code or name, and Delete or
// "Stop Watching" to remove one. The list is the watch service's: this view
// shows its rows and says what the user asked for by signals.
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "catalog/Station.h"
#include "ui/ChildView.h"
#include "watch/WatchRows.h"

class QLabel;
class QPushButton;
class QStackedWidget;
class QTableView;

namespace nimbrel {

class GoToField;
class WatchTableModel;

class WatchStationsView : public QWidget, public ChildView {
  Q_OBJECT

 public:
  explicit WatchStationsView(std::shared_ptr<const StationList> catalogue, QWidget* parent = nullptr);
  ~WatchStationsView() override;

  void setRows(std::vector<WatchRow> rows);
  void setCatalogue(std::shared_ptr<const StationList> catalogue);

  // The field's text as a station to add: the signal, or a message why not.
  void addFromField();
  // The stations of the selected rows stop being watched.
  void removeSelected();
  void openRow(int row);

  QTableView* table() const { return grid; }
  WatchTableModel* model() const { return rows; }
  // What the field's last entry was refused for; empty after a good one.
  QString message() const;
  bool showsEmptyText() const;

  std::string statusText() const override;
  bool offers(Command) const override { return false; }

 signals:
  void addRequested(const std::string& icao);
  void removeRequested(const std::string& icao);
  void stationActivated(const nimbrel::Station& station);
  void minimaRequested();

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  const Station* findStation(const std::string& icao) const;
  void showMessage(const QString& text);

  std::shared_ptr<const StationList> catalogue;
  WatchTableModel* rows = nullptr;
  QTableView* grid = nullptr;
  GoToField* field = nullptr;
  QLabel* note = nullptr;
  QLabel* emptyText = nullptr;
  QStackedWidget* pages = nullptr;
};

}  // namespace nimbrel
