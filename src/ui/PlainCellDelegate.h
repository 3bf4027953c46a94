#pragma once
// A table cell that is one line of plain text, drawn straight, without the
// general item delegate's text layout, which costs most of a table's paint.
// The look is the delegate's: its margins, highlight, focus frame and "…",
// and the model's background, text colour and font where it gives them.
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QStyledItemDelegate>

namespace nimbrel {

class PlainCellDelegate : public QStyledItemDelegate {
 public:
  // shapeOnce: each text is shaped once and its glyphs kept, for a table of
  // few rows that repaints often; a table of thousands shapes as it draws.
  explicit PlainCellDelegate(QObject* parent, bool shapeOnce = false)
      : QStyledItemDelegate(parent), shapeOnce(shapeOnce) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  struct Shaped {
    QList<QGlyphRun> runs;  // baseline at y = 0
    qreal width = 0;
  };
  struct Key {
    QString text;
    int room;
    bool ownFont;  // the model's font rather than the table's
    bool operator==(const Key&) const = default;
    friend size_t qHash(const Key& key, size_t seed = 0) { return qHashMulti(seed, key.text, key.room, key.ownFont); }
  };
  // The text as it fits the width, shaped.
  const Shaped& shaped(const Key& key, const QFont& font) const;

  bool shapeOnce;
  mutable QHash<Key, Shaped> kept;
  mutable QFont keptFor;  // the table's font the glyphs were shaped in
};

}  // namespace nimbrel
