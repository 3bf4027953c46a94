// Alerts as desktop notifications, against the test's own notification
// service on the private session bus this program runs on.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "services/DesktopNotifier.h"
#include "support/NotificationServer.h"

namespace nimbrel::test {
namespace {

WatchAlert Alert(const std::string& icao, const std::string& what, const std::string& report) {
  WatchAlert alert;
  alert.station = icao;
  alert.what = what;
  alert.report = report;
  alert.categoryChanged = true;
  return alert;
}

bool WaitForCount(const NotificationServer& server, std::size_t count) {
  return QTest::qWaitFor([&] { return server.count() >= count; }, 5000) && server.count() == count;
}

TEST(DesktopNotifierTest, AnAlertArrivesWithStationChangeAndReportAndALaterOneReplacesIt) {
  NotificationServer server;
  ASSERT_TRUE(server.start());
  DesktopNotifier notifier;
  QSignalSpy available(&notifier, &DesktopNotifier::availabilityChanged);
  ASSERT_TRUE(available.wait(5000));
  EXPECT_TRUE(notifier.isAvailable());

  const std::string report = "EGLL 141350Z 22012KT 1500 BR OVC004 09/08 Q1002";
  notifier.notify(Alert("EGLL", "VFR to IFR; below minima: ceiling 400 ft < 500", report));
  ASSERT_TRUE(WaitForCount(server, 1));
  ASSERT_TRUE(QTest::qWaitFor([&] { return notifier.isShowing("EGLL"); }, 5000));
  const ReceivedNotification first = server.received()[0];
  EXPECT_EQ(first.app, "Nimbrel");
  EXPECT_EQ(first.replaces, 0u);
  EXPECT_EQ(first.summary, "EGLL: VFR to IFR; below minima: ceiling 400 ft < 500");
  EXPECT_EQ(first.body, QStringLiteral("VFR to IFR; below minima: ceiling 400 ft < 500\n") + QString::fromStdString(report));
  ASSERT_GE(first.actions.size(), 2);
  EXPECT_EQ(first.actions[0], "default");
  EXPECT_EQ(first.timeout, -1);
  EXPECT_EQ(first.hints.value("desktop-entry").toString(), "io.github.nimbrel.Nimbrel");

  // The station's newer news takes the place of its open notification; another station gets its own.
  notifier.notify(Alert("EGLL", "IFR to MVFR", "EGLL 141420Z 22010KT 4000 BR BKN012 10/08 Q1003"));
  notifier.notify(Alert("KJFK", "TAF amended", "TAF AMD KJFK 141330Z 1414/1518 ..."));
  ASSERT_TRUE(WaitForCount(server, 3));
  EXPECT_EQ(server.received()[1].replaces, first.id);
  EXPECT_EQ(server.received()[1].summary, "EGLL: IFR to MVFR");
  EXPECT_EQ(server.received()[2].replaces, 0u);
  EXPECT_EQ(server.received()[2].body, "TAF amended\nTAF AMD KJFK 141330Z 1414/1518 ...");
}

TEST(DesktopNotifierTest, AClickOnOneOfOursAsksForThatStationsChartOnly) {
  NotificationServer server;
  ASSERT_TRUE(server.start());
  DesktopNotifier notifier;
  QSignalSpy chart(&notifier, &DesktopNotifier::chartRequested);
  notifier.notify(Alert("EGLL", "VFR to IFR", "EGLL 141350Z ..."));
  notifier.notify(Alert("KJFK", "MVFR to VFR", "KJFK 141351Z ..."));
  ASSERT_TRUE(WaitForCount(server, 2));
  const uint london = server.received()[0].id;
  const uint newYork = server.received()[1].id;

  server.close(london, 1);          // expired: forgotten
  server.click(london);             // so its late click does nothing
  server.click(newYork + 100);      // nor does another program's
  server.invoke(newYork, "other");  // nor an action we did not offer
  server.click(newYork);
  // Signals arrive in order: once the last click is in, the others were weighed.
  ASSERT_TRUE(chart.wait(5000));
  ASSERT_EQ(chart.count(), 1);
  EXPECT_EQ(chart[0][0].toString(), "KJFK");
}

TEST(DesktopNotifierTest, WithoutAServiceItSaysSoOnceDropsAlertsAndUsesOneThatStartsLater) {
  DesktopNotifier notifier;
  QSignalSpy notes(&notifier, &DesktopNotifier::unavailableNote);
  QSignalSpy availability(&notifier, &DesktopNotifier::availabilityChanged);
  ASSERT_TRUE(notes.wait(5000));
  EXPECT_EQ(notes[0][0].toString(),
            "Desktop notifications are not available: no notification service on the session bus");
  EXPECT_TRUE(notifier.isUnavailable());
  notifier.notify(Alert("EGLL", "VFR to IFR", "EGLL 141350Z ..."));
  notifier.notify(Alert("EGLL", "IFR to VFR", "EGLL 141450Z ..."));

  NotificationServer server;
  ASSERT_TRUE(server.start());
  ASSERT_TRUE(QTest::qWaitFor([&] { return notifier.isAvailable(); }, 5000));
  notifier.notify(Alert("KJFK", "MVFR to VFR", "KJFK 141351Z ..."));
  // Only the alert sent while the service was there arrives.
  ASSERT_TRUE(WaitForCount(server, 1));
  EXPECT_EQ(server.received()[0].summary, "KJFK: MVFR to VFR");
  EXPECT_EQ(notes.count(), 1);
  EXPECT_EQ(availability.count(), 2);  // off, then on
}

TEST(DesktopNotifierTest, WithoutASessionBusItSaysSoOnce) {
  const QDBusConnection none = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/nimbrel-bus"),
                                                             QStringLiteral("no-bus"));
  ASSERT_FALSE(none.isConnected());
  DesktopNotifier notifier(none);
  QSignalSpy notes(&notifier, &DesktopNotifier::unavailableNote);
  ASSERT_TRUE(notes.wait(5000));
  EXPECT_EQ(notes[0][0].toString(), "Desktop notifications are not available: no session bus");
  notifier.notify(Alert("EGLL", "VFR to IFR", "EGLL 141350Z ..."));
  EXPECT_TRUE(notifier.isUnavailable());
  EXPECT_EQ(notes.count(), 1);
  QDBusConnection::disconnectFromBus(QStringLiteral("no-bus"));
}

}  // namespace
}  // namespace nimbrel::test
