#pragma once
// The small card a click on a station opens beside it on the world map:
// the station, its current report in the user's units, the next change of
// its TAF (asked for as the card opens), and a button to its chart. Esc
// closes it.
#include <QFrame>
#include <QPoint>
#include <memory>

#include "base/AsyncPageFetcher.h"
#include "catalog/Station.h"
#include "charts/StationCardText.h"

class QLabel;
class QPushButton;

namespace nimbrel {

class TafSource;
struct WatchToggle;

class StationCard : public QFrame {
  Q_OBJECT

 public:
  explicit StationCard(QWidget* map);
  ~StationCard() override;

  // The Watch button asks this (null: no button).
  void setWatchToggle(const WatchToggle* toggle);
  // Fills the card for a station; a new station asks `forecasts` (null:
  // none to ask) for its TAF, the same one keeps the answer it has.
  void showStation(const Station& station, const StationCardText& text, TafSource* forecasts, bool timeUtc);
  // Places the card beside a view pixel of its map, inside the map, and
  // shows it.
  void placeBeside(QPoint anchor);
  // Hides the card and drops its forecast request.
  void dismiss();
  bool isOpen() const { return !isHidden(); }
  const Station& station() const { return shown; }
  // Every line the card shows, one a line ('\n'), as the program's bytes.
  std::string plainText() const;

 signals:
  void chartRequested(const nimbrel::Station& station);
  void closed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void askForecast(TafSource* forecasts, bool timeUtc);
  void showWatched();

  Station shown;
  bool hasStation = false;
  QLabel* title = nullptr;
  QLabel* body = nullptr;
  QLabel* raw = nullptr;
  QLabel* forecast = nullptr;
  QPushButton* chart = nullptr;
  QPushButton* watchButton = nullptr;
  const WatchToggle* watch = nullptr;
  std::unique_ptr<FetchTicket> forecastTicket;
};

}  // namespace nimbrel
