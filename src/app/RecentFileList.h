#pragma once
// The recent list of opened stations: newest first, at most 40 names, kept
// in the user's settings under "Quillfen" / "Recent File List" / File1..40.
#include <QStringList>

namespace nimbrel {

class CRecentFileList {
 public:
  static constexpr int kMaxEntries = 40;
  static constexpr int kDisplayLength = 30;

  // Puts the name on top; an equal entry already in the list moves there.
  void Add(const QString& name);
  void Remove(int index);
  const QStringList& Entries() const { return entries; }
  // The menu text of an entry, shortened to at most 30 characters.
  static QString DisplayName(const QString& name);

  void ReadList();
  void WriteList() const;

 private:
  QStringList entries;
};

}  // namespace nimbrel
