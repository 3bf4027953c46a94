#include "app/RecentFileList.h"

#include <QSettings>

namespace nimbrel {
namespace {

constexpr const char* kOrganisation = "Quillfen";
constexpr const char* kApplication = "Nimbrel";
constexpr const char* kSection = "Recent File List";

}  // namespace

void CRecentFileList::Add(const QString& name) {
  if (name.isEmpty()) return;
  entries.removeAll(name);
  entries.prepend(name);
  while (entries.size() > kMaxEntries) entries.removeLast();
}

void CRecentFileList::Remove(int index) {
  if (index >= 0 && index < entries.size()) entries.removeAt(index);
}

QString CRecentFileList::DisplayName(const QString& name) {
  if (name.size() <= kDisplayLength) return name;
  return name.left(kDisplayLength - 3) + QStringLiteral("...");
}

void CRecentFileList::ReadList() {
  QSettings settings(kOrganisation, kApplication);
  settings.beginGroup(kSection);
  entries.clear();
  for (int i = 1; i <= kMaxEntries; ++i) {
    const QString value = settings.value(QStringLiteral("File%1").arg(i)).toString();
    if (!value.isEmpty() && !entries.contains(value)) entries.append(value);
  }
}

void CRecentFileList::WriteList() const {
  QSettings settings(kOrganisation, kApplication);
  settings.beginGroup(kSection);
  for (int i = 1; i <= kMaxEntries; ++i) {
    const QString key = QStringLiteral("File%1").arg(i);
    if (i <= entries.size()) {
      settings.setValue(key, entries.at(i - 1));
    } else {
      settings.remove(key);
    }
  }
}

}  // namespace nimbrel
