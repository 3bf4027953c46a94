#include "ui/RecentList.h"

#include <QSettings>

namespace nimbrel {
namespace {

constexpr const char* kOrganisation = "Quillfen";
constexpr const char* kApplication = "Nimbrel";
constexpr const char* kSection = "Recent File List";

}  // namespace

void RecentList::add(const QString& name) {
  if (name.isEmpty()) return;
  names.removeAll(name);
  names.prepend(name);
  while (names.size() > kMaxEntries) names.removeLast();
}

void RecentList::remove(int index) {
  if (index >= 0 && index < names.size()) names.removeAt(index);
}

QString RecentList::displayName(const QString& name) {
  if (name.size() <= kDisplayLength) return name;
  return name.left(kDisplayLength - 3) + QStringLiteral("...");
}

void RecentList::readList() {
  QSettings settings(kOrganisation, kApplication);
  settings.beginGroup(kSection);
  names.clear();
  for (int i = 1; i <= kMaxEntries; ++i) {
    const QString value = settings.value(QStringLiteral("File%1").arg(i)).toString();
    if (!value.isEmpty() && !names.contains(value)) names.append(value);
  }
}

void RecentList::writeList() const {
  QSettings settings(kOrganisation, kApplication);
  settings.beginGroup(kSection);
  for (int i = 1; i <= kMaxEntries; ++i) {
    const QString key = QStringLiteral("File%1").arg(i);
    if (i <= names.size()) {
      settings.setValue(key, names.at(i - 1));
    } else {
      settings.remove(key);
    }
  }
}

}  // namespace nimbrel
