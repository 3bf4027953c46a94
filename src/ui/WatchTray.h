#pragma once
// The watched stations' place on the desktop: a tray icon in the colour of
// the worst flight category among them, with a menu to bring the window
// back, hold alerts ("Quiet Alerts", shared with the View menu), keep the
// program running in the tray when the window closes, and quit. Where the
// desktop has no tray, the program works as before and says so once.
// It also carries the watch's alerts to the desktop's notifications, and a
// click on one back to the station's chart.
#include <QIcon>
#include <QObject>
#include <QString>
#include <vector>

#include "metar/FlightCategory.h"
#include "watch/WatchRows.h"

class QAction;
class QDBusConnection;
class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace nimbrel {

class DesktopNotifier;
class WatchService;

class WatchTray : public QObject {
  Q_OBJECT

 public:
  // `window` is the one the tray shows, raises and hides.
  explicit WatchTray(QWidget& window, QObject* parent = nullptr);
  ~WatchTray() override;

  QAction* quietAction() const { return quiet; }
  QAction* keepInTrayAction() const { return keepInTray; }

  // Follows the watch: its rows, its quiet switch both ways, and its
  // alerts as desktop notifications (on `bus`, else the session bus),
  // asked for once a station is watched.
  void follow(WatchService& watch);
  void follow(WatchService& watch, const QDBusConnection& bus);
  // Null until a station was watched.
  DesktopNotifier* notifier() const { return notifications; }

  // The watched stations' rows: the icon's colour and the tooltip follow them.
  void showRows(const std::vector<WatchRow>& rows);
  void setQuiet(bool on);

  // Asked by the window's close: true when it should only hide (keep
  // running in the tray is on and there is a tray).
  bool hidesOnClose();
  // Shows, raises and activates the window (a tray click, a notification's).
  void bringBack();

  // The worst category of the rows (LIFR over IFR over MVFR over VFR), Unknown when none has one.
  static FlightCategory worstCategory(const std::vector<WatchRow>& rows);
  // "Nimbrel: IFR at EGLL, EGKK", "Nimbrel: no watched stations".
  static QString tooltipText(const std::vector<WatchRow>& rows);
  // A disc in the map's colour of the category (grey for unknown).
  static QIcon categoryIcon(FlightCategory category);

 signals:
  void quietToggled(bool on);
  // A notification was clicked: the window is back, the chart is wanted.
  void chartRequested(const QString& icao);
  // A sentence for the status bar, said once.
  void statusNote(const QString& text);

 private:
  void updateVisibility();
  void sayNoTray();

  QWidget& window;
  DesktopNotifier* notifications = nullptr;
  QSystemTrayIcon* icon = nullptr;
  QMenu* menu = nullptr;
  QAction* showWindow = nullptr;
  QAction* quiet = nullptr;
  QAction* keepInTray = nullptr;
  QAction* quit = nullptr;
  bool watching = false;
  bool noTraySaid = false;
  bool quitting = false;
};

}  // namespace nimbrel
