#pragma once
// The recent list of opened stations: newest first, at most 40 names, kept
// in the user's settings under "Quillfen" / "Recent File List" / File1..40.
#include <QStringList>

namespace nimbrel {

class RecentList {
 public:
  static constexpr int kMaxEntries = 40;
  static constexpr int kDisplayLength = 30;

  // Puts the name on top; an equal entry already in the list moves there.
  void add(const QString& name);
  void remove(int index);
  const QStringList& entries() const { return names; }
  // The menu text of an entry, shortened to at most 30 characters.
  static QString displayName(const QString& name);

  void readList();
  // Merges with what is stored now and writes the result; false when the
  // settings file could not be written.
  bool writeList();

 private:
  static QStringList readStored();

  QStringList names;
  QStringList addedHere;  // names added since the list was read
};

}  // namespace nimbrel
