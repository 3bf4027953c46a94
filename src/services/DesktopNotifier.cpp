#include "services/DesktopNotifier.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QStringList>
#include <QVariantMap>

#include "services/QtText.h"

namespace nimbrel {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kBusService = QStringLiteral("org.freedesktop.DBus");
const QString kBusPath = QStringLiteral("/org/freedesktop/DBus");
// The desktop file's and the icon's name, so the desktop can group and badge ours.
const QString kDesktopEntry = QStringLiteral("io.github.nimbrel.Nimbrel");

QDBusMessage busCall(const QString& method) {
  return QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService, method);
}

}  // namespace

DesktopNotifier::DesktopNotifier(QObject* parent) : DesktopNotifier(QDBusConnection::sessionBus(), parent) {}

DesktopNotifier::DesktopNotifier(const QDBusConnection& connection, QObject* parent)
    : QObject(parent), bus(connection) {
  if (bus.isConnected()) {
    bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                SLOT(onActionInvoked(uint, QString)));
    bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                SLOT(onNotificationClosed(uint, uint)));
    // A notification service that starts after us is used from then on.
    auto* services = new QDBusServiceWatcher(kService, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(services, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& owner) {
              if (!owner.isEmpty())
                setState(State::Available);
              else
                probe();  // gone, but perhaps still activatable
            });
  }
  // Asked once the caller has connected to what it says.
  QMetaObject::invokeMethod(this, &DesktopNotifier::probe, Qt::QueuedConnection);
}

DesktopNotifier::~DesktopNotifier() = default;

QDBusPendingCallWatcher* DesktopNotifier::watch(const QDBusPendingCall& call) {
  auto* watcher = new QDBusPendingCallWatcher(call, this);
  connect(watcher, &QDBusPendingCallWatcher::finished, watcher, &QObject::deleteLater);
  return watcher;
}

void DesktopNotifier::probe() {
  if (!bus.isConnected()) {
    setState(State::Unavailable, tr("no session bus"));
    return;
  }
  QDBusMessage hasOwner = busCall(QStringLiteral("NameHasOwner"));
  hasOwner << kService;
  connect(watch(bus.asyncCall(hasOwner)), &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
    QDBusPendingReply<bool> owned = *call;
    if (owned.isValid() && owned.value()) {
      setState(State::Available);
      return;
    }
    QDBusMessage list = busCall(QStringLiteral("ListActivatableNames"));
    connect(watch(bus.asyncCall(list)), &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* names) {
      QDBusPendingReply<QStringList> activatable = *names;
      if (activatable.isValid() && activatable.value().contains(kService))
        setState(State::Available);
      else if (state != State::Available)  // registered meanwhile
        setState(State::Unavailable, tr("no notification service on the session bus"));
    });
  });
}

void DesktopNotifier::setState(State next, const QString& why) {
  if (next == state) return;
  state = next;
  emit availabilityChanged(next == State::Available);
  if (next == State::Unavailable && !std::exchange(noteSaid, true))
    emit unavailableNote(tr("Desktop notifications are not available: %1").arg(why));
}

QString DesktopNotifier::summaryOf(const WatchAlert& alert) {
  return toQString(alert.station) + QStringLiteral(": ") + toQString(alert.what);
}

QString DesktopNotifier::bodyOf(const WatchAlert& alert) {
  // The summary may be cut short by the desktop; the body says it again in full.
  QString body = toQString(alert.what);
  if (!alert.report.empty()) body += QLatin1Char('\n') + toQString(alert.report);
  return body;
}

void DesktopNotifier::notify(const WatchAlert& alert) {
  if (state == State::Unavailable) return;
  const QString icao = toQString(alert.station);
  const uint replaces = open.key(icao, 0);
  QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
  QVariantMap hints;
  hints.insert(QStringLiteral("desktop-entry"), kDesktopEntry);
  message << QStringLiteral("Nimbrel") << replaces << kDesktopEntry << summaryOf(alert) << bodyOf(alert)
          << QStringList{QStringLiteral("default"), tr("Open Chart")} << hints << -1;
  connect(watch(bus.asyncCall(message)), &QDBusPendingCallWatcher::finished, this,
          [this, icao](QDBusPendingCallWatcher* call) {
            QDBusPendingReply<uint> reply = *call;
            if (reply.isError()) {
              const QDBusError::ErrorType type = reply.error().type();
              if (type == QDBusError::ServiceUnknown ||
                  type == QDBusError::Disconnected)
                setState(State::Unavailable, tr("no notification service on the session bus"));
              return;
            }
            // The station's earlier notification, if any, was replaced.
            for (auto it = open.begin(); it != open.end();) it = it.value() == icao ? open.erase(it) : std::next(it);
            open.insert(reply.value(), icao);
            setState(State::Available);
          });
}

void DesktopNotifier::onActionInvoked(uint id, const QString& action) {
  // Other programs' notifications raise the same signal.
  const auto it = open.constFind(id);
  if (it == open.constEnd() || action != QLatin1String("default")) return;
  emit chartRequested(it.value());
}

void DesktopNotifier::onNotificationClosed(uint id, uint) { open.remove(id); }

}  // namespace nimbrel
