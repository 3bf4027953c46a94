#pragma once
// The test's own desktop notification service: owns
// org.freedesktop.Notifications on the session bus of the test process (a
// private bus from dbus-run-session) over a connection of its own, records
// every notification sent to it, and can play the user clicking one.
#include <QDBusConnection>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QStringList>
#include <QVariantMap>
#include <mutex>
#include <vector>

namespace nimbrel::test {

struct ReceivedNotification {
  uint id = 0;
  QString app;
  uint replaces = 0;
  QString summary;
  QString body;
  QStringList actions;
  QVariantMap hints;
  int timeout = 0;
};

class NotificationServer : public QDBusVirtualObject {
 public:
  static constexpr const char* kService = "org.freedesktop.Notifications";
  static constexpr const char* kPath = "/org/freedesktop/Notifications";

  NotificationServer() : bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName())) {}
  ~NotificationServer() override {
    stop();
    QDBusConnection::disconnectFromBus(bus.name());
  }

  // False when there is no session bus or the name is taken.
  bool start() {
    if (!bus.isConnected()) return false;
    if (!bus.registerVirtualObject(QString::fromLatin1(kPath), this)) return false;
    registered = bus.registerService(QString::fromLatin1(kService));
    return registered;
  }
  void stop() {
    if (!bus.isConnected()) return;
    if (registered) bus.unregisterService(QString::fromLatin1(kService));
    bus.unregisterObject(QString::fromLatin1(kPath));
    registered = false;
  }

  std::vector<ReceivedNotification> received() const {
    std::lock_guard lock(mutex);
    return notes;
  }
  std::size_t count() const {
    std::lock_guard lock(mutex);
    return notes.size();
  }

  // What a click does: the default action, then the notification closes.
  void click(uint id) {
    invoke(id, QStringLiteral("default"));
    close(id, 2);
  }
  void invoke(uint id, const QString& action) { emitSignal(QStringLiteral("ActionInvoked"), {id, action}); }
  void close(uint id, uint reason) { emitSignal(QStringLiteral("NotificationClosed"), {id, reason}); }

  QString introspect(const QString&) const override {
    return QStringLiteral(
        "<interface name=\"org.freedesktop.Notifications\">"
        "<method name=\"Notify\"><arg type=\"s\" direction=\"in\"/><arg type=\"u\" direction=\"in\"/>"
        "<arg type=\"s\" direction=\"in\"/><arg type=\"s\" direction=\"in\"/><arg type=\"s\" direction=\"in\"/>"
        "<arg type=\"as\" direction=\"in\"/><arg type=\"a{sv}\" direction=\"in\"/><arg type=\"i\" direction=\"in\"/>"
        "<arg type=\"u\" direction=\"out\"/></method>"
        "<method name=\"GetCapabilities\"><arg type=\"as\" direction=\"out\"/></method>"
        "<method name=\"GetServerInformation\"><arg type=\"s\" direction=\"out\"/><arg type=\"s\" direction=\"out\"/>"
        "<arg type=\"s\" direction=\"out\"/><arg type=\"s\" direction=\"out\"/></method>"
        "<method name=\"CloseNotification\"><arg type=\"u\" direction=\"in\"/></method>"
        "<signal name=\"ActionInvoked\"><arg type=\"u\"/><arg type=\"s\"/></signal>"
        "<signal name=\"NotificationClosed\"><arg type=\"u\"/><arg type=\"u\"/></signal>"
        "</interface>");
  }

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    const QString method = message.member();
    const QList<QVariant> args = message.arguments();
    if (method == QLatin1String("Notify") && message.signature() == QLatin1String("susssasa{sv}i")) {
      ReceivedNotification note;
      note.app = args[0].toString();
      note.replaces = args[1].toUInt();
      note.summary = args[3].toString();
      note.body = args[4].toString();
      note.actions = args[5].toStringList();
      note.hints = qdbus_cast<QVariantMap>(args[6]);
      note.timeout = args[7].toInt();
      {
        std::lock_guard lock(mutex);
        note.id = note.replaces != 0 ? note.replaces : ++lastId;
        notes.push_back(note);
      }
      connection.send(message.createReply(QVariant::fromValue(note.id)));
    } else if (method == QLatin1String("GetCapabilities")) {
      connection.send(message.createReply(QStringList{QStringLiteral("actions"), QStringLiteral("body")}));
    } else if (method == QLatin1String("GetServerInformation")) {
      connection.send(message.createReply(
          QList<QVariant>{QStringLiteral("test server"), QStringLiteral("Nimbrel tests"), QStringLiteral("1"),
                          QStringLiteral("1.2")}));
    } else if (method == QLatin1String("CloseNotification") && !args.isEmpty()) {
      connection.send(message.createReply());
      close(args[0].toUInt(), 3);
    } else {
      connection.send(message.createErrorReply(QDBusError::UnknownMethod, method));
    }
    return true;
  }

 private:
  static QString connectionName() {
    static int made = 0;
    return QStringLiteral("nimbrel-test-notifications-%1").arg(++made);
  }
  void emitSignal(const QString& name, const QList<QVariant>& args) {
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kPath), QString::fromLatin1(kService), name);
    signal.setArguments(args);
    bus.send(signal);
  }

  QDBusConnection bus;
  bool registered = false;
  mutable std::mutex mutex;
  std::vector<ReceivedNotification> notes;
  uint lastId = 0;
};

}  // namespace nimbrel::test
