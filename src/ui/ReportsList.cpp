#include "ui/ReportsList.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSet>

#include "services/QtText.h"

namespace nimbrel {

ReportsList::ReportsList(QWidget* parent) : QTableWidget(0, 2, parent) {
  setObjectName(QStringLiteral("reportsList"));
  setHorizontalHeaderLabels({tr("Time"), tr("Report")});
  verticalHeader()->hide();
  horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setWordWrap(true);
  setTextElideMode(Qt::ElideNone);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  auto* copy = new QAction(tr("&Copy"), this);
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetShortcut);
  connect(copy, &QAction::triggered, this, &ReportsList::copySelected);
  addAction(copy);
  setContextMenuPolicy(Qt::ActionsContextMenu);
}

void ReportsList::showRows(const std::vector<ReportRow>& rows) {
  QSet<QString> selected;
  for (const QModelIndex& index : selectionModel()->selectedRows(1)) selected.insert(index.data().toString());
  clearContents();
  setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < rowCount(); ++r) {
    const ReportRow& row = rows[static_cast<std::size_t>(r)];
    const QString tip = toQString(row.decoded);
    auto* time = new QTableWidgetItem(toQString(row.timeText));
    auto* report = new QTableWidgetItem(toQString(row.raw));
    time->setToolTip(tip);
    report->setToolTip(tip);
    time->setData(Qt::UserRole, row.kind == ReportRow::Kind::kTaf ? QStringLiteral("TAF") : QStringLiteral("METAR"));
    setItem(r, 0, time);
    setItem(r, 1, report);
    if (selected.contains(report->text())) selectRow(r);
  }
  resizeRowsToContents();
}

QString ReportsList::selectedReports() const {
  QStringList lines;
  for (int r = 0; r < rowCount(); ++r)
    if (selectionModel()->isRowSelected(r, QModelIndex()) && item(r, 1) != nullptr) lines << item(r, 1)->text();
  return lines.join(QLatin1Char('\n'));
}

void ReportsList::copySelected() const {
  const QString text = selectedReports();
  if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

void ReportsList::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    copySelected();
    event->accept();
    return;
  }
  QTableWidget::keyPressEvent(event);
}

void ReportsList::resizeEvent(QResizeEvent* event) {
  QTableWidget::resizeEvent(event);
  // A narrower column wraps a long TAF onto more lines.
  resizeRowsToContents();
}

}  // namespace nimbrel
