#pragma once
#include <QList>
#include <QObject>
#include <QStringList>

#include "services/RecentList.h"

class QAction;
class QMenu;

namespace nimbrel {

// The recent list's entries in a menu, above `before`: one action per
// place, made once and renamed as the list changes.
class RecentMenuSection : public QObject {
  Q_OBJECT

 public:
  RecentMenuSection(QMenu* menu, QAction* before);
  void show(const RecentList& list);

 signals:
  void chosen(const QString& name);

 private:
  QList<QAction*> actions;
  QAction* separator;
  QStringList shown;
};

}  // namespace nimbrel
