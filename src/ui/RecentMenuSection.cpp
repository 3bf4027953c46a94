#include "ui/RecentMenuSection.h"

#include <QAction>
#include <QMenu>

namespace nimbrel {

RecentMenuSection::RecentMenuSection(QMenu* menu, QAction* before) : QObject(menu), separator(before) {
  for (int i = 0; i < RecentList::kMaxEntries; ++i) {
    auto* action = new QAction(this);
    action->setStatusTip(tr("Open this station"));
    connect(action, &QAction::triggered, this, [this, i] {
      if (i < shown.size()) emit chosen(shown.at(i));
    });
    menu->insertAction(before, action);
    actions.append(action);
  }
}

void RecentMenuSection::show(const RecentList& list) {
  shown = list.entries();
  for (int i = 0; i < actions.size(); ++i) {
    QAction* action = actions.at(i);
    const bool used = i < shown.size();
    action->setVisible(used);
    if (!used) continue;
    const QString name = RecentList::displayName(shown.at(i));
    action->setText(i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(name) : QStringLiteral("%1 %2").arg(i + 1).arg(name));
  }
  separator->setVisible(!shown.isEmpty());
}

}  // namespace nimbrel
