#include "services/RecentList.h"

#include "services/UserSettings.h"

namespace nimbrel {
namespace {

constexpr const char* kSection = "Recent File List";

}  // namespace

void RecentList::add(const QString& name) {
  if (name.isEmpty()) return;
  names.removeAll(name);
  names.prepend(name);
  if (!addedHere.contains(name)) addedHere.append(name);
  while (names.size() > kMaxEntries) names.removeLast();
}

void RecentList::remove(int index) {
  if (index >= 0 && index < names.size()) names.removeAt(index);
}

QString RecentList::displayName(const QString& name) {
  if (name.size() <= kDisplayLength) return name;
  return name.left(kDisplayLength - 3) + QStringLiteral("...");
}

QStringList RecentList::readStored() {
  QStringList stored;
  const std::unique_ptr<QSettings> settings = openUserSettings();
  if (!settings) return stored;
  settings->beginGroup(kSection);
  for (int i = 1; i <= kMaxEntries; ++i) {
    const QString value = settings->value(QStringLiteral("File%1").arg(i)).toString();
    if (!value.isEmpty() && !stored.contains(value)) stored.append(value);
  }
  return stored;
}

void RecentList::readList() {
  names = readStored();
  addedHere.clear();
}

bool RecentList::writeList() {
  // Another running copy of the program may have written since this one
  // read: its entries are kept behind the ones added here.
  QStringList merged;
  for (const QString& name : names)
    if (addedHere.contains(name)) merged.append(name);
  for (const QString& name : readStored())
    if (!merged.contains(name)) merged.append(name);
  for (const QString& name : names)
    if (!merged.contains(name)) merged.append(name);
  while (merged.size() > kMaxEntries) merged.removeLast();
  names = merged;

  const std::unique_ptr<QSettings> settings = openUserSettings();
  if (!settings) return false;
  settings->beginGroup(kSection);
  for (int i = 1; i <= kMaxEntries; ++i) {
    const QString key = QStringLiteral("File%1").arg(i);
    if (i <= names.size()) {
      settings->setValue(key, names.at(i - 1));
    } else {
      settings->remove(key);
    }
  }
  settings->endGroup();
  settings->sync();
  return settings->status() == QSettings::NoError;
}

}  // namespace nimbrel
