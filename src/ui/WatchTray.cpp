#include "ui/WatchTray.h"

#include <QAction>
#include <QApplication>
#include <QDBusConnection>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>
#include <algorithm>
#include <utility>

#include "charts/WeatherLayer.h"
#include "services/DesktopNotifier.h"
#include "services/UserSettings.h"
#include "services/WatchService.h"

namespace nimbrel {
namespace {

QColor toQColor(Colour colour) { return QColor(colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff); }

}  // namespace

WatchTray::WatchTray(QWidget& window, QObject* parent) : QObject(parent), window(window) {
  quiet = new QAction(tr("&Quiet Alerts"), this);
  quiet->setObjectName(QStringLiteral("quietAlertsAction"));
  quiet->setCheckable(true);
  quiet->setStatusTip(tr("Hold back the watched stations' alerts"));
  connect(quiet, &QAction::toggled, this, &WatchTray::quietToggled);

  keepInTray = new QAction(tr("&Keep Running in Tray"), this);
  keepInTray->setObjectName(QStringLiteral("keepInTrayAction"));
  keepInTray->setCheckable(true);
  keepInTray->setChecked(readStoredKeepInTray());
  keepInTray->setStatusTip(tr("Closing the window keeps the program watching in the tray"));
  connect(keepInTray, &QAction::toggled, this, [this](bool on) {
    storeKeepInTray(on);
    if (on && !QSystemTrayIcon::isSystemTrayAvailable()) sayNoTray();
    updateVisibility();
  });

  showWindow = new QAction(tr("&Show Nimbrel"), this);
  connect(showWindow, &QAction::triggered, this, &WatchTray::bringBack);
  quit = new QAction(tr("&Quit"), this);
  connect(quit, &QAction::triggered, this, [this] {
    quitting = true;
    // The window's own closing work (charts, the recent list) runs first.
    this->window.close();
    QApplication::quit();
  });

  if (QSystemTrayIcon::isSystemTrayAvailable()) {
    menu = new QMenu(&window);
    menu->addAction(showWindow);
    menu->addSeparator();
    menu->addActions({quiet, keepInTray});
    menu->addSeparator();
    menu->addAction(quit);
    icon = new QSystemTrayIcon(categoryIcon(FlightCategory::Unknown), this);
    icon->setContextMenu(menu);
    icon->setToolTip(tooltipText({}));
    connect(icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
      if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) bringBack();
    });
    updateVisibility();
  } else if (keepInTray->isChecked()) {
    // Said once the window can show it.
    QMetaObject::invokeMethod(this, &WatchTray::sayNoTray, Qt::QueuedConnection);
  }
}

WatchTray::~WatchTray() {
  // The window owns the menu; the icon goes before it.
  delete icon;
}

void WatchTray::sayNoTray() {
  if (std::exchange(noTraySaid, true)) return;
  emit statusNote(tr("Keep Running in Tray does nothing here: the desktop has no system tray"));
}

void WatchTray::updateVisibility() {
  if (icon != nullptr) icon->setVisible(watching || keepInTray->isChecked());
}

FlightCategory WatchTray::worstCategory(const std::vector<WatchRow>& rows) {
  FlightCategory worst = FlightCategory::Unknown;
  for (const WatchRow& row : rows)
    if (categorySeverity(row.category) > categorySeverity(worst)) worst = row.category;
  return worst;
}

QString WatchTray::tooltipText(const std::vector<WatchRow>& rows) {
  if (rows.empty()) return tr("Nimbrel: no watched stations");
  const FlightCategory worst = worstCategory(rows);
  if (worst == FlightCategory::Unknown) return tr("Nimbrel: no flight category at the watched stations");
  QStringList stations;
  for (const WatchRow& row : rows)
    if (row.category == worst) stations << QString::fromStdString(row.icao);
  return tr("Nimbrel: %1 at %2").arg(QString::fromLatin1(flightCategoryText(worst)), stations.join(QStringLiteral(", ")));
}

QIcon WatchTray::categoryIcon(FlightCategory category) {
  QIcon icon;
  const QColor fill = toQColor(flightCategoryColour(category));
  for (const int size : {16, 22, 24, 32, 48, 64}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // A dark ring keeps a light colour visible on a light panel.
    painter.setPen(QPen(QColor(40, 40, 40), std::max(1, size / 16)));
    painter.setBrush(fill);
    const int margin = std::max(1, size / 8);
    painter.drawEllipse(QRectF(margin, margin, size - 2 * margin, size - 2 * margin));
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

void WatchTray::follow(WatchService& watch) { follow(watch, QDBusConnection::sessionBus()); }

void WatchTray::follow(WatchService& watch, const QDBusConnection& bus) {
  setQuiet(watch.isQuiet());
  connect(&watch, &WatchService::quietChanged, this, &WatchTray::setQuiet);
  connect(this, &WatchTray::quietToggled, &watch, &WatchService::setQuiet);
  connect(&watch, &WatchService::rowsChanged, this, [this, &watch] { showRows(watch.rows()); });
  showRows(watch.rows());
  // No watched station, no alerts: the bus is left alone and nothing is said.
  auto notifyWhenWatching = [this, &watch, bus] {
    if (notifications != nullptr || watch.stations().empty()) return;
    notifications = new DesktopNotifier(bus, this);
    connect(notifications, &DesktopNotifier::unavailableNote, this, &WatchTray::statusNote);
    connect(notifications, &DesktopNotifier::chartRequested, this, [this](const QString& icao) {
      bringBack();
      emit chartRequested(icao);
    });
  };
  connect(&watch, &WatchService::listChanged, this, notifyWhenWatching);
  notifyWhenWatching();
  connect(&watch, &WatchService::alerted, this, [this](const WatchAlert& alert) {
    if (notifications != nullptr) notifications->notify(alert);
  });
}

void WatchTray::showRows(const std::vector<WatchRow>& rows) {
  watching = !rows.empty();
  if (icon == nullptr) return;
  icon->setIcon(categoryIcon(worstCategory(rows)));
  icon->setToolTip(tooltipText(rows));
  updateVisibility();
}

void WatchTray::setQuiet(bool on) { quiet->setChecked(on); }

bool WatchTray::hidesOnClose() {
  if (quitting || !keepInTray->isChecked()) return false;
  if (icon == nullptr) {
    sayNoTray();
    return false;
  }
  // Hidden, the window is no longer the last one open: the program stays.
  QApplication::setQuitOnLastWindowClosed(false);
  icon->setVisible(true);
  return true;
}

void WatchTray::bringBack() {
  QApplication::setQuitOnLastWindowClosed(true);
  if (window.isMinimized()) window.showNormal();
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace nimbrel
