#include "ui/PlainCellDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>

namespace nimbrel {

void PlainCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& given, const QModelIndex& index) const {
  const QWidget* widget = given.widget;
  const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  QStyleOptionViewItem option = given;
  const QVariant background = index.data(Qt::BackgroundRole);
  if (background.isValid()) option.backgroundBrush = qvariant_cast<QBrush>(background);
  style->drawPrimitive(QStyle::PE_PanelItemViewItem, &option, painter, widget);

  const bool selected = (option.state & QStyle::State_Selected) != 0;
  const QPalette::ColorGroup group = (option.state & QStyle::State_Enabled) == 0   ? QPalette::Disabled
                                     : (option.state & QStyle::State_Active) != 0 ? QPalette::Normal
                                                                                   : QPalette::Inactive;
  const QVariant fontData = index.data(Qt::FontRole);
  const QFont font = fontData.isValid() ? qvariant_cast<QFont>(fontData).resolve(option.font) : option.font;
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
  const QRect area = option.rect.adjusted(margin, 0, -margin, 0);
  const QString text = index.data(Qt::DisplayRole).toString();
  const bool left = index.data(Qt::TextAlignmentRole).toInt() & Qt::AlignLeft;
  // Whole pixels down, as a laid-out line sits; a centred text may start between pixels.
  const QFontMetrics rows = fontData.isValid() ? QFontMetrics(font) : option.fontMetrics;
  const int baseline = area.top() + (area.height() - rows.height()) / 2 + rows.ascent();
  QColor pen = option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
  if (const QVariant foreground = index.data(Qt::ForegroundRole); foreground.isValid() && !selected)
    pen = qvariant_cast<QBrush>(foreground).color();
  painter->save();
  painter->setPen(pen);
  if (shapeOnce) {
    if (option.font != keptFor) {
      kept.clear();
      keptFor = option.font;
    }
    const Shaped& glyphs = shaped(Key{text, area.width(), fontData.isValid()}, font);
    const qreal x = left ? area.left() : area.left() + (area.width() - glyphs.width) / 2;
    for (const QGlyphRun& run : glyphs.runs) painter->drawGlyphRun(QPointF(x, baseline), run);
  } else {
    QString shown = text;
    const QFontMetricsF metrics(font);
    qreal width = metrics.horizontalAdvance(shown);
    if (width > area.width()) {
      shown = metrics.elidedText(shown, Qt::ElideRight, area.width());
      width = metrics.horizontalAdvance(shown);
    }
    const qreal x = left ? area.left() : area.left() + (area.width() - width) / 2;
    painter->setFont(font);
    painter->drawText(QPointF(x, baseline), shown);
  }
  painter->restore();

  if ((option.state & QStyle::State_HasFocus) != 0) {
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(option);
    focus.rect = option.rect;
    focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
    focus.backgroundColor = option.palette.color(group, selected ? QPalette::Highlight : QPalette::Window);
    style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
  }
}

const PlainCellDelegate::Shaped& PlainCellDelegate::shaped(const Key& key, const QFont& font) const {
  if (const auto found = kept.constFind(key); found != kept.constEnd()) return *found;
  // A table's texts change with its rows: what it showed long ago goes.
  if (kept.size() > 4000) kept.clear();
  const QFontMetricsF metrics(font);
  QString fitted = key.text;
  if (metrics.horizontalAdvance(fitted) > key.room) fitted = metrics.elidedText(fitted, Qt::ElideRight, key.room);
  QTextLayout layout(fitted, font);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  layout.endLayout();
  Shaped result;
  result.width = line.isValid() ? line.naturalTextWidth() : 0;
  const qreal ascent = line.isValid() ? line.ascent() : 0;
  for (QGlyphRun run : layout.glyphRuns()) {
    QList<QPointF> positions = run.positions();
    for (QPointF& at : positions) at.ry() -= ascent;
    run.setPositions(positions);
    result.runs.append(run);
  }
  return *kept.insert(key, result);
}

}  // namespace nimbrel
