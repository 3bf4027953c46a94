#pragma once
// The stations the user watches, kept current: their rows follow the world
// weather download (no request per station), each one's TAF is asked for at
// the service's pace, and a change worth telling comes out as an alert.
// The list, the minima and the quiet switch are kept in the settings file.
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/AsyncPageFetcher.h"
#include "observations/TafSource.h"
#include "watch/Minima.h"
#include "watch/WatchAlerts.h"
#include "watch/WatchRows.h"

namespace nimbrel {

class Session;

class WatchService : public QObject {
  Q_OBJECT

 public:
  // At most one TAF request a station in this time, and this many a minute
  // for all watched stations together.
  static constexpr int kTafEverySeconds = 30 * 60;
  static constexpr int kTafPerMinute = 10;

  using Clock = std::function<std::int64_t()>;  // seconds since 1970
  // Reads the list, the minima and the quiet switch from the settings file.
  // clock: none for the computer's.
  explicit WatchService(Session& session, Clock clock = {}, QObject* parent = nullptr);
  ~WatchService() override;

  // The watched ICAO codes, in the order the user added them.
  const std::vector<std::string>& stations() const { return codes; }
  bool isWatched(std::string_view icao) const;
  // Adds a code (kept once; a bad code is refused: false) or removes one;
  // both keep the list in the settings file.
  bool add(const std::string& icao);
  void remove(const std::string& icao);

  const MinimaSet& minima() const { return limits; }
  void setMinima(MinimaSet minima);
  bool isQuiet() const { return quiet; }
  void setQuiet(bool on);

  // One row a watched station, in the list's order.
  const std::vector<WatchRow>& rows() const { return shown; }
  // Makes the rows again from the newest download, the stored reports and
  // the TAFs, telling what changed: the user-interface thread's whole share
  // of a download.
  void update();
  // Whether the stored reports are being read (the rows follow when done).
  bool isReadingStore() const;
  // The worst flight category among the rows (Unknown when none has one).
  FlightCategory worstCategory() const;

 signals:
  // A station was added or removed, or the minima changed.
  void listChanged();
  // The rows were made again (new weather, a new TAF, new minima or units).
  void rowsChanged();
  // Something worth telling about a watched station (none while quiet).
  void alerted(const nimbrel::WatchAlert& alert);
  void quietChanged(bool on);

 private:
  void followList();
  void weatherChanged();
  // Reads the watched stations' stored reports and forecasts on a worker,
  // then updates the rows.
  void readStored();
  void remakeRows();
  void makeRows(const std::vector<WatchInput>& inputs);
  // Asks for the TAFs due, within the service's pace.
  void askForecasts();
  void forecastArrived(std::string icao, TafReading reading);

  struct Impl;
  std::unique_ptr<Impl> d;
  Session& session;
  std::vector<std::string> codes;
  MinimaSet limits;
  bool quiet = false;
  std::vector<WatchRow> shown;
  std::vector<WatchInput> lastInputs;
};

}  // namespace nimbrel

// Alerts travel in signals (and in a test's spy).
Q_DECLARE_METATYPE(nimbrel::WatchAlert)
