#pragma once
// The main window's area of child windows: where a new child is placed and
// how big it starts, and Cascade, Tile and Arrange Icons, each window
// keeping the normal size the user gave it.
#include <QMdiArea>
#include <QSize>

class QMenu;

namespace nimbrel {

class ChildWindowArea : public QMdiArea {
  Q_OBJECT

 public:
  explicit ChildWindowArea(QWidget* parent = nullptr);

  // A child window around `view` with the client size asked for (never
  // larger than the area), centred when asked, else where the area puts it.
  QMdiSubWindow* addChild(QWidget* view, const QString& title, QSize clientSize, bool centred);
  QWidget* activeView() const;

  // Each window at its own normal size, one title bar's step apart.
  void cascade();
  void tile();
  // Minimised windows in a row along the bottom.
  void arrangeIcons();
  // The Window menu: Cascade, Tile, Arrange Icons, then the open windows
  // with the active one checked.
  QMenu* makeWindowMenu(QWidget* parent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void listWindowsIn(QMenu* menu, QAction* separator);

  bool arranging = false;  // Tile or Cascade at work: sizes are not the user's
};

}  // namespace nimbrel
