#pragma once
// Alerts as desktop notifications through the freedesktop notification
// service on the session bus. Every call is asynchronous: the user-interface
// thread never waits on the bus. Where there is no bus or no notification
// service, alerts are dropped and that is said once (unavailableNote).
#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QString>
#include <algorithm>

#include "watch/WatchAlerts.h"

class QDBusPendingCallWatcher;

namespace nimbrel {

class DesktopNotifier : public QObject {
  Q_OBJECT

 public:
  // On the session bus.
  explicit DesktopNotifier(QObject* parent = nullptr);
  // On a given bus (tests); asks at once whether the service is there.
  explicit DesktopNotifier(const QDBusConnection& bus, QObject* parent = nullptr);
  ~DesktopNotifier() override;

  // The service was found registered or activatable, or took a notification.
  bool isAvailable() const { return state == State::Available; }
  // Known to be missing (no bus, or nothing registered nor activatable).
  bool isUnavailable() const { return state == State::Unavailable; }

  // One of ours is open for the station (sent, not yet closed).
  bool isShowing(const QString& icao) const { return std::find(open.begin(), open.end(), icao) != open.end(); }

  // Shows the alert; one open notification a station, a newer one replacing it.
  void notify(const WatchAlert& alert);

  // "EGLL: VFR to IFR", and what changed over the report.
  static QString summaryOf(const WatchAlert& alert);
  static QString bodyOf(const WatchAlert& alert);

 signals:
  // The user clicked one of our notifications.
  void chartRequested(const QString& icao);
  // Known either way after the first question to the bus.
  void availabilityChanged(bool available);
  // The one sentence the program says when notifications cannot be shown.
  void unavailableNote(const QString& text);

 private slots:
  void onActionInvoked(uint id, const QString& action);
  void onNotificationClosed(uint id, uint reason);

 private:
  enum class State { Unknown, Available, Unavailable };
  void probe();
  void setState(State next, const QString& why = {});
  QDBusPendingCallWatcher* watch(const class QDBusPendingCall& call);

  QDBusConnection bus;
  State state = State::Unknown;
  bool noteSaid = false;
  QHash<uint, QString> open;  // notification id -> station
};

}  // namespace nimbrel
